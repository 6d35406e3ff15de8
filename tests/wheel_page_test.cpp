// The filter wheel page: how it comes up, the number of positions, the
// position names, and the wheel turned from the page and by the host.
#include "device_pages_api.h"
#include <cstring>

namespace {
using Names = std::vector<std::string>;

class WheelPageTest : public DevicePageTest {
  protected:
    WheelEntry Wheel(int slot) const { return config.Roster().wheels[slot]; }
    DevicePageState state() const { return State(); }
};
class TurningWheelPage : public TurningWheelTest {};

// Nothing but the list of names in the host's filter list.
void WriteFilterList(const LoadedDriver& driver, const Names& names) {
    std::string text = "[Filters]\r\n";
    for (size_t i = 0; i < names.size(); ++i) {
        text += "Name" + std::to_string(i) + "=" + names[i] + "\r\n";
    }
    WriteDriverFile(driver, "KROFWLST.INI", text);
}
} // namespace

TEST_F(WheelPageTest, ComesUpWithTheWheelsSetPositionsAndCurrentPosition) {
    WriteSet("Red Set", 2, 8, "R");
    GiveWheel(2, "Blue Set", 8, "B");
    EditRoster([](DeviceRosterTable& r) { r.wheels[2].currentPosition = 4; });
    HWND page = ShowWheel(2, 40);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Text(page, kWheelTitle), "Filter Wheel Number 3 Filter Set:");
    EXPECT_EQ(Sorted(Entries(page, kSetBox)), (Names{"Blue Set", "Red Set"}));
    EXPECT_EQ(Text(page, kSetBox), "Blue Set");
    EXPECT_EQ(Selection(page, kSetBox), EntryIndex(page, kSetBox, "Blue Set"));
    EXPECT_TRUE(IsChecked(page, kEightPositions));
    EXPECT_FALSE(IsChecked(page, kSixPositions));
    EXPECT_FALSE(IsChecked(page, kTenPositions));
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("B", 1, 8));
    EXPECT_EQ(Selection(page, kPositionBox), 4);
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 5");
    EXPECT_FALSE(IsWindowEnabled(Control(page, kSaveButton)));
    EXPECT_EQ(GetParent(GetFocus()), Control(page, kSetBox)) << "the set box's edit part";
    EXPECT_EQ(state().filterSetDirty, 0);
    char title[80] = "";
    char position[80] = "";
    driver.Fn<decltype(&ProbeLabelFormats)>("ProbeLabelFormats")(title, position);
    EXPECT_STREQ(title, "Filter Wheel Number %d Filter Set:");
    EXPECT_STREQ(position, "Position Number: %d");
}

TEST_F(WheelPageTest, ASetThatIsNotListedLeavesTheSetBoxEmpty) {
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Nowhere", 6, "N");
        r.wheelCount = 1;
    });
    WriteSet("Elsewhere", 0, 6, "E");
    HWND page = ShowWheel(0);
    EXPECT_EQ(Selection(page, kSetBox), -1);
    EXPECT_EQ(Text(page, kSetBox), "");
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("N", 1, 6));
}

TEST_F(WheelPageTest, PositionCountsWriteTheirKeyAndFillDefaultNames) {
    GiveWheel(0, "Six", 6, "S");
    EditRoster([](DeviceRosterTable& r) {
        for (int p = 6; p < kMaxWheelPositions; ++p) {
            r.wheels[0].positionNames[p][0] = '\0';
        }
    });
    HWND page = ShowWheel(0);
    ASSERT_TRUE(IsChecked(page, kSixPositions));

    Click(page, kTenPositions);
    EXPECT_EQ(Stored("FilterWheel1", "NumberPositions"), "10");
    EXPECT_EQ(Wheel(0).positionCount, 10);
    EXPECT_EQ(Entries(page, kPositionBox),
              Joined(Numbered("S", 1, 6), Numbered("Position ", 7, 10)));
    EXPECT_TRUE(IsChecked(page, kTenPositions));
    EXPECT_TRUE(IsWindowEnabled(Control(page, kSaveButton)));
    EXPECT_EQ(state().filterSetDirty, 1);

    Click(page, kEightPositions);
    EXPECT_EQ(Stored("FilterWheel1", "NumberPositions"), "8");
    EXPECT_EQ(Entries(page, kPositionBox),
              Joined(Numbered("S", 1, 6), Numbered("Position ", 7, 8)));
    EXPECT_TRUE(IsChecked(page, kEightPositions));
    EXPECT_FALSE(IsChecked(page, kTenPositions));

    Click(page, kSixPositions);
    EXPECT_EQ(Stored("FilterWheel1", "NumberPositions"), "6");
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("S", 1, 6));
    EXPECT_EQ(state().filterSetDirty, 1);
    EXPECT_EQ(Text(page, kWheelTitle), "Filter Wheel Number 1 Filter Set:")
        << "refreshed from the kept format";
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");
}

TEST_F(WheelPageTest, AStoredCountOf7ComesUpAs6AndInvalid) {
    GiveWheel(1, "Seven", 7, "V");
    HWND page = ShowWheel(1);
    EXPECT_TRUE(IsChecked(page, kSixPositions));
    EXPECT_EQ(Wheel(1).positionCount, 6);
    EXPECT_EQ(Wheel(1).valid, 0);
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("V", 1, 6));
}

TEST_F(WheelPageTest, ACurrentPositionBeyondTheCountComesUpAtPosition1) {
    GiveWheel(0, "Six", 6, "S");
    EditRoster([](DeviceRosterTable& r) { r.wheels[0].currentPosition = 8; });
    HWND page = ShowWheel(0);
    EXPECT_EQ(Wheel(0).currentPosition, 0);
    EXPECT_EQ(Selection(page, kPositionBox), 0);
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");

    pages.FWConfigure(host.get(), 0, 0, 0);
    EditRoster([](DeviceRosterTable& r) { r.wheels[0].currentPosition = -4; });
    page = ShowWheel(0);
    EXPECT_EQ(Wheel(0).currentPosition, 0) << "nor one below the first";
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");
}

TEST_F(WheelPageTest, WithoutTheControllerAChosenPositionIsNotRecorded) {
    Sim().JournalClear();
    GiveWheel(0, "Six", 6, "S");
    HWND page = ShowWheel(0);
    ChooseEntry(page, kPositionBox, 3);
    EXPECT_EQ(Wheel(0).currentPosition, 0);
    EXPECT_EQ(Selection(page, kPositionBox), 3) << "the box keeps the choice";
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1") << "the label the recorded one";
    EXPECT_TRUE(Trace().empty());
}

TEST_F(WheelPageTest, ATypedNameIsTakenWhenTheBoxLosesTheFocus) {
    GiveWheel(0, "Six", 6, "S");
    HWND page = ShowWheel(0);
    TypeText(page, kPositionBox, "DAPI");
    EXPECT_EQ(state().positionNameEdited, 1);
    EXPECT_TRUE(IsWindowEnabled(Control(page, kSaveButton)));
    EXPECT_EQ(state().filterSetDirty, 0) << "typing alone is not a set change yet";
    MoveFocusTo(host.get());
    EXPECT_STREQ(Wheel(0).positionNames[0], "DAPI");
    EXPECT_EQ(Entries(page, kPositionBox), Joined(Names{"DAPI"}, Numbered("S", 2, 6)));
    EXPECT_EQ(Selection(page, kPositionBox), 0);
    EXPECT_EQ(state().positionNameEdited, 0);
    EXPECT_EQ(state().filterSetDirty, 1);
    EXPECT_EQ(IniValue(DriverFilePath(driver, "KROFWLST.INI"), "Filters", "Name0"), "DAPI")
        << "the name joins the host's filter list";
    EXPECT_EQ(SetKeys("Six", 0, 1), Names{"S1"}) << "the set file waits for Save";
}

TEST_F(WheelPageTest, AnOverlongPositionNameIsCutToTheField) {
    GiveWheel(0, "Six", 6, "S");
    HWND page = ShowWheel(0);
    // The box's edit does not scroll, so typing ends at its width; a longer
    // text can only be set.
    SetDlgItemTextA(page, kPositionBox, std::string(100, 'P').c_str());
    SendNotification(page, kPositionBox, CBN_EDITCHANGE);
    SendNotification(page, kPositionBox, CBN_DROPDOWN);
    EXPECT_EQ(std::string(Wheel(0).positionNames[0]), std::string(59, 'P'));
    EXPECT_EQ(Entries(page, kPositionBox)[0], std::string(59, 'P'));
}

TEST_F(WheelPageTest, TheNameListEditorNamesTheCurrentPosition) {
    GiveWheel(0, "Six", 6, "S");
    WriteFilterList(driver, {"GFP", "Texas Red", "Cy5"});
    EditRoster([](DeviceRosterTable& r) { r.wheels[0].currentPosition = 2; });
    HWND page = ShowWheel(0);

    boxes.Act([](HWND editor) {
        EXPECT_EQ(Entries(editor, 1211), (Names{"GFP", "Texas Red", "Cy5"}));
        ChooseEntry(editor, 1211, 1);
        return IDOK;
    });
    Click(page, kNameListButton);
    EXPECT_STREQ(Wheel(0).positionNames[2], "Texas Red");
    EXPECT_EQ(Entries(page, kPositionBox)[2], "Texas Red");
    EXPECT_EQ(Selection(page, kPositionBox), 2);
    EXPECT_EQ(Text(page, kPositionBox), "Texas Red");
    EXPECT_EQ(state().filterSetDirty, 1);
    EXPECT_TRUE(IsWindowEnabled(Control(page, kSaveButton)));

    boxes.Press(IDCANCEL);
    Click(page, kNameListButton);
    EXPECT_STREQ(Wheel(0).positionNames[2], "Texas Red");
    ASSERT_EQ(boxes.seen().size(), 2u);
    EXPECT_EQ(boxes.seen()[1].caption, "Filter Names");
}

// A host that opens the editor itself names the position of the wheel whose
// page is shown.
TEST_F(WheelPageTest, TheHostsOwnNameListEditorNamesTheShownWheelsPosition) {
    GiveWheel(1, "Six", 6, "S");
    WriteFilterList(driver, {"GFP", "Cy5"});
    EditRoster([](DeviceRosterTable& r) { r.wheels[1].currentPosition = 3; });
    ShowWheel(1);
    boxes.Act([](HWND editor) {
        EXPECT_EQ(Entries(editor, 1211), (Names{"GFP", "Cy5"}));
        ChooseEntry(editor, 1211, 1);
        return IDOK;
    });
    const auto proc = driver.Fn<DLGPROC>("KroNameListProc");
    EXPECT_EQ(DialogBoxParamA(driver.module(), MAKEINTRESOURCEA(121), host.get(), proc, 0), 1);
    EXPECT_STREQ(Wheel(1).positionNames[3], "Cy5");
    EXPECT_EQ(PositionNames(Wheel(1), 3), Numbered("S", 1, 3));
}

TEST_F(WheelPageTest, CancelledNameListChangesNothing) {
    GiveWheel(0, "Six", 6, "S");
    WriteFilterList(driver, {"GFP"});
    HWND page = ShowWheel(0);
    boxes.Press(IDCANCEL);
    Click(page, kNameListButton);
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("S", 1, 6));
    EXPECT_EQ(state().filterSetDirty, 0);
    EXPECT_FALSE(IsWindowEnabled(Control(page, kSaveButton)));
}

TEST_F(TurningWheelPage, AChosenPositionTurnsTheWheel) {
    HWND page = ShowWheel(0);
    ASSERT_EQ(Text(page, kPositionLabel), "Position Number: 1");
    ChooseEntry(page, kPositionBox, 2);
    EXPECT_EQ(Trace(), (Names{"filter.MoveWheel(1,3)"}));
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 3");
    EXPECT_EQ(wheels.GetPosition(0), 2);
    EXPECT_EQ(Sim().WheelPosition(1), 3);
    EXPECT_EQ(State().filterSetDirty, 0) << "a move is no set change";
}

TEST_F(TurningWheelPage, ATypedNameIsTakenBeforeHome) {
    HWND page = ShowWheel(0);
    ChooseEntry(page, kPositionBox, 2);
    TypeText(page, kPositionBox, "Cy5 long pass");
    // "Home" pressed without the box losing the focus first.
    SendNotification(page, kHome, BN_CLICKED);
    EXPECT_STREQ(config.Roster().wheels[0].positionNames[2], "Cy5 long pass");
    EXPECT_EQ(Entries(page, kPositionBox)[2], "Cy5 long pass");
    EXPECT_EQ(Trace(), (Names{"filter.MoveWheel(1,3)", "filter.HomeWheel(1)"}));
    EXPECT_EQ(wheels.GetPosition(0), 0);
    EXPECT_EQ(Selection(page, kPositionBox), 0);
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");
    EXPECT_EQ(State().filterSetDirty, 1) << "the taken name waits for Save";
}

TEST_F(TurningWheelPage, ATypedNameIsTakenForItsPositionBeforeAnotherIsChosen) {
    HWND page = ShowWheel(0);
    TypeText(page, kPositionBox, "Open");
    ChooseEntry(page, kPositionBox, 5);
    const WheelEntry wheel = config.Roster().wheels[0];
    EXPECT_STREQ(wheel.positionNames[0], "Open");
    EXPECT_STREQ(wheel.positionNames[5], "F6");
    EXPECT_EQ(Trace(), (Names{"filter.MoveWheel(1,6)"}));
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 6");
    EXPECT_EQ(Selection(page, kPositionBox), 5);
}

TEST_F(TurningWheelPage, TheHostsTurnsMoveThePagesSelection) {
    HWND page = ShowWheel(0);
    EXPECT_EQ(wheels.SetPosition(0, 3), 0);
    EXPECT_EQ(Selection(page, kPositionBox), 3);
    EXPECT_EQ(Text(page, kPositionBox), "F4");
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 4");
    EXPECT_EQ(wheels.SetPosition(0, 10), -6);
    EXPECT_EQ(Selection(page, kPositionBox), 3);
    // FWInit homes the wheel, and the page follows.
    EXPECT_EQ(wheels.Init(0, nullptr), 0);
    EXPECT_EQ(Selection(page, kPositionBox), 0);
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(TurningWheelPage, ANameTypedWhenTheHostTurnsStaysWithItsPosition) {
    HWND page = ShowWheel(0);
    TypeText(page, kPositionBox, "Typed");
    EXPECT_EQ(wheels.SetPosition(0, 4), 0);
    EXPECT_STREQ(config.Roster().wheels[0].positionNames[0], "Typed");
    EXPECT_STREQ(config.Roster().wheels[0].positionNames[4], "F5");
    EXPECT_EQ(Selection(page, kPositionBox), 4);
    EXPECT_EQ(Text(page, kPositionBox), "F5");
    EXPECT_EQ(State().positionNameEdited, 0);
    EXPECT_EQ(State().filterSetDirty, 1);
}

TEST_F(TurningWheelPage, AnotherWheelsPageDoesNotFollow) {
    GiveWheel(1, "Other", 6, "O");
    HWND page = ShowWheel(1);
    EXPECT_EQ(wheels.SetPosition(0, 3), 0);
    EXPECT_EQ(Selection(page, kPositionBox), 0);
    EXPECT_EQ(Text(page, kPositionLabel), "Position Number: 1");
    EXPECT_EQ(Trace(), (Names{"filter.MoveWheel(1,4)"}));
}
