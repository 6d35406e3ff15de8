// The name list editor: picking a position name from the host's filter list,
// deleting names, and what OK and Cancel leave in the list file.
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include <climits>
#include <cstring>

namespace {
using Names = std::vector<std::string>;
constexpr int kList = 1211;
constexpr int kDeleteButton = 1212;

class NameListEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The wheel page shows wheel slot 1, standing at position 2 ("Blue").
        DeviceRosterTable roster = config.Roster();
        roster.wheelCount = 2;
        WheelEntry& wheel = roster.wheels[1];
        wheel.positionCount = 6;
        wheel.currentPosition = 2;
        const char* const names[] = {"Red", "Green", "Blue", "Cy5", "DAPI", "FITC"};
        for (int p = 0; p < 6; ++p) {
            std::strcpy(wheel.positionNames[p], names[p]);
        }
        config.SetRoster(&roster);
        SetTarget(2, 1);
    }
    // The device page whose wheel the editor names: list kind and wheel slot.
    void SetTarget(int kind, int slot) {
        targetKind = kind;
        targetSlot = slot;
    }
    void WriteList(const Names& names) const {
        std::string text = "[Filters]\r\n";
        for (size_t i = 0; i < names.size(); ++i) {
            text += "Name" + std::to_string(i) + "=" + names[i] + "\r\n";
        }
        WriteDriverFile(driver, "KROFWLST.INI", text);
    }
    Names ListInFile() const {
        Names names;
        for (int i = 0;; ++i) {
            char value[256] = "";
            GetPrivateProfileStringA("Filters", ("Name" + std::to_string(i)).c_str(), "", value,
                                     sizeof value, DriverFilePath(driver, "KROFWLST.INI").c_str());
            if (value[0] == '\0') {
                return names;
            }
            names.push_back(value);
        }
    }
    std::string PositionName(int slot, int position) const {
        return config.Roster().wheels[slot].positionNames[position];
    }
    // Opens the editor as the wheel page's "..." button does; `act` works it.
    INT_PTR Open(DialogAnswerer::Action act) {
        answers.Act(std::move(act));
        const auto open = driver.Fn<INT_PTR(WINAPI*)(HWND, int, int)>("ProbeOpenNameList");
        return open(host.get(), targetKind, targetSlot);
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe config{driver};
    HostWindow host{500, 400};
    DialogAnswerer answers;
    int targetKind = 0;
    int targetSlot = 0;
};
} // namespace

TEST_F(NameListEditorTest, SelectsTheCurrentNameAndOkKeepsIt) {
    WriteList({"Red", "blue", "Cy5"});
    EXPECT_EQ(Open([](HWND d) {
                  EXPECT_EQ(Entries(d, kList), (Names{"Red", "blue", "Cy5"}));
                  EXPECT_EQ(Selection(d, kList), 1) << "found whatever the letter case";
                  return IDOK;
              }),
              1);
    EXPECT_EQ(PositionName(1, 2), "blue") << "the position takes the list's spelling";
    EXPECT_EQ(ListInFile(), (Names{"Red", "blue", "Cy5"})) << "nothing deleted, nothing written";
}

TEST_F(NameListEditorTest, ANameNotInTheListSelectsTheFirst) {
    WriteList({"Texas Red", "GFP"});
    EXPECT_EQ(Open([](HWND d) {
                  EXPECT_EQ(Selection(d, kList), 0);
                  return IDOK;
              }),
              1);
    EXPECT_EQ(PositionName(1, 2), "Texas Red");
    EXPECT_EQ(PositionName(1, 1), "Green") << "only the current position changes";
}

TEST_F(NameListEditorTest, DeletingMovesTheSelectionAndOkRewritesTheList) {
    WriteList({"A", "B", "C", "D", "E"});
    EXPECT_EQ(Open([](HWND d) {
                  ChooseEntry(d, kList, 4);
                  Click(d, kDeleteButton);
                  EXPECT_EQ(Entries(d, kList), (Names{"A", "B", "C", "D"}));
                  EXPECT_EQ(Selection(d, kList), 3) << "the new last entry";
                  ChooseEntry(d, kList, 2);
                  Click(d, kDeleteButton);
                  EXPECT_EQ(Selection(d, kList), 2) << "the entry that moved up";
                  EXPECT_EQ(Text(d, kList), "D");
                  return IDOK;
              }),
              1);
    EXPECT_EQ(ListInFile(), (Names{"A", "B", "D"}));
    EXPECT_EQ(PositionName(1, 2), "D");
}

TEST_F(NameListEditorTest, CancelWritesNothing) {
    WriteList({"A", "B", "C"});
    const std::string before = ReadDriverFile(driver, "KROFWLST.INI");
    EXPECT_EQ(Open([](HWND d) {
                  ChooseEntry(d, kList, 0);
                  Click(d, kDeleteButton);
                  return IDCANCEL;
              }),
              0);
    EXPECT_EQ(ReadDriverFile(driver, "KROFWLST.INI"), before);
    EXPECT_EQ(PositionName(1, 2), "Blue");
}

TEST_F(NameListEditorTest, DeletingEveryEntryLeavesAnEmptyListAndNoName) {
    WriteList({"A", "B"});
    EXPECT_EQ(Open([](HWND d) {
                  Click(d, kDeleteButton);
                  EXPECT_TRUE(IsWindowEnabled(Control(d, kList)));
                  Click(d, kDeleteButton);
                  EXPECT_TRUE(Entries(d, kList).empty());
                  EXPECT_FALSE(IsWindowEnabled(Control(d, kList)));
                  return IDOK;
              }),
              0);
    EXPECT_FALSE(DriverFileExists(driver, "KROFWLST.INI")) << "an empty list leaves no file";
    EXPECT_EQ(PositionName(1, 2), "Blue");
}

TEST_F(NameListEditorTest, AnEmptyListShowsThePlaceholder) {
    EXPECT_EQ(Open([](HWND d) {
                  EXPECT_EQ(Entries(d, kList), (Names{"(No Filters in list.)"}));
                  EXPECT_EQ(Selection(d, kList), 0);
                  EXPECT_FALSE(IsWindowEnabled(Control(d, kList)));
                  EXPECT_FALSE(IsWindowEnabled(Control(d, IDOK)));
                  EXPECT_TRUE(IsWindowEnabled(Control(d, IDCANCEL)));
                  return IDCANCEL;
              }),
              0);
    EXPECT_FALSE(DriverFileExists(driver, "KROFWLST.INI"));
    EXPECT_EQ(PositionName(1, 2), "Blue");
}

TEST_F(NameListEditorTest, ALongEntryIsCutToTheNameField) {
    const std::string longName(150, 'x');
    WriteList({longName});
    EXPECT_EQ(Open([](HWND) { return IDOK; }), 1);
    EXPECT_EQ(PositionName(1, 2), std::string(59, 'x'));
}

TEST_F(NameListEditorTest, APageTargetOutsideTheRosterTakesNoName) {
    WriteList({"A", "B"});
    const DeviceRosterTable before = config.Roster();
    for (int slot : {-1, 10, INT_MAX}) {
        SetTarget(2, slot);
        EXPECT_EQ(Open([](HWND) { return IDOK; }), 1) << slot;
    }
    DeviceRosterTable roster = config.Roster();
    roster.wheels[1].currentPosition = 12; // a controller with more than ten positions
    config.SetRoster(&roster);
    SetTarget(2, 1);
    EXPECT_EQ(Open([](HWND) { return IDOK; }), 1);
    const DeviceRosterTable after = config.Roster();
    EXPECT_EQ(std::memcmp(&roster, &after, sizeof roster), 0) << "no name was written anywhere";
    EXPECT_EQ(std::memcmp(before.wheels, after.wheels, sizeof before.wheels[0]), 0);
    EXPECT_EQ(std::memcmp(before.wheels[1].positionNames, after.wheels[1].positionNames,
                          sizeof before.wheels[1].positionNames),
              0);
}

TEST_F(NameListEditorTest, CentredOverItsParent) {
    WriteList({"A"});
    RECT parent{};
    GetWindowRect(host.get(), &parent);
    Open([&](HWND d) {
        RECT own{};
        GetWindowRect(d, &own);
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        EXPECT_EQ(own.left, (parent.left + parent.right - width) >> 1);
        EXPECT_EQ(own.top, (parent.top + parent.bottom - height) >> 1);
        return IDCANCEL;
    });
}
