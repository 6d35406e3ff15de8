// The filter wheel page's set operations on the page's real controls: the
// typed set name saved, a listed set loaded, the saved set selected again and
// the position names shown.
#include <gtest/gtest.h>
#include "sets_api.h"
#include <cstring>

namespace {
class WheelPageSets : public SetsTest {};
} // namespace

TEST_F(WheelPageSets, SaveTakesTheTypedNameWithoutItsBlanks) {
    const struct {
        std::string typed;
        std::string name;
    } cases[] = {
        {"  Blue Set  ", "Blue Set"},
        {"Plain", "Plain"},
        {std::string(100, 'T'), std::string(59, 'T')},
        {"   " + std::string(100, 'U'), std::string(56, 'U')},
    };
    DialogAnswerer boxes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EditRoster([](DeviceRosterTable& r) {
            NameWheel(r.wheels[2], "Before", 10, "P");
            r.wheels[2].valid = 0;
        });
        SetDlgItemTextA(page.get(), kSetBox, c.typed.c_str());
        sets.SaveWheelFromPage(2, page.get());
        const WheelEntry wheel = config.Roster().wheels[2];
        EXPECT_EQ(std::string(wheel.name), c.name);
        EXPECT_EQ(wheel.valid, 1);
        EXPECT_EQ(Text(page.get(), kSetBox), c.name);
        EXPECT_EQ(SetKeys(c.name, 2, 10), Numbered("P", 1, 10));
        EXPECT_EQ(WheelNameKey(2), c.name);
    }
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(WheelPageSets, SaveOfAnEmptyOrBlankNameOnlyInvalidatesTheWheel) {
    DialogAnswerer boxes;
    for (const char* typed : {"", " ", "          "}) {
        SCOPED_TRACE('"' + std::string(typed) + '"');
        EditRoster([](DeviceRosterTable& r) {
            NameWheel(r.wheels[0], "Before", 10, "P");
            r.wheels[0].valid = 1;
        });
        SetDlgItemTextA(page.get(), kSetBox, typed);
        sets.SaveWheelFromPage(0, page.get());
        const WheelEntry wheel = config.Roster().wheels[0];
        EXPECT_EQ(wheel.valid, 0);
        EXPECT_STREQ(wheel.name, "Before");
        EXPECT_TRUE(WrittenFiles().empty()) << "neither a set file nor the Name key";
    }
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(WheelPageSets, SaveWithAnEmptyPositionNameTakesTheNameButSavesNothing) {
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Before", 10, "P");
        r.wheels[0].positionNames[1][0] = '\0';
        r.wheels[0].valid = 1;
    });
    SetDlgItemTextA(page.get(), kSetBox, " Good ");
    sets.SaveWheelFromPage(0, page.get());
    const WheelEntry wheel = config.Roster().wheels[0];
    EXPECT_EQ(wheel.valid, 0);
    EXPECT_STREQ(wheel.name, "Good");
    EXPECT_EQ(Text(page.get(), kSetBox), "Good");
    EXPECT_TRUE(WrittenFiles().empty());
}

TEST_F(WheelPageSets, SaveOverAnArchivedSetAnsweredNoInvalidatesTheWheel) {
    WriteDriverFile(driver, "Kept.TolvoFW", SetSectionText(1, 10, "K"));
    SetFileAttributesA(SetPath("Kept").c_str(), FILE_ATTRIBUTE_READONLY);
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Before", 10, "P");
        r.wheels[0].valid = 1;
    });
    SetDlgItemTextA(page.get(), kSetBox, "Kept");
    DialogAnswerer boxes;
    boxes.Press(IDNO);
    sets.SaveWheelFromPage(0, page.get());
    EXPECT_EQ(config.Roster().wheels[0].valid, 0);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Saving Filter Wheel Set");
    EXPECT_EQ(ReadDriverFile(driver, "Kept.TolvoFW"), SetSectionText(1, 10, "K"));
    EXPECT_TRUE(IsReadOnly(SetPath("Kept")));
}

TEST_F(WheelPageSets, LoadNamesTheWheelAfterTheChosenSet) {
    WriteDriverFile(driver, "Red.TolvoFW", SetSectionText(3, 10, "R"));
    WriteDriverFile(driver, "Green.TolvoFW", SetSectionText(3, 5, "G"));
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 2);
    for (int valid : {0, 1}) {
        SCOPED_TRACE(valid);
        EditRoster([&](DeviceRosterTable& r) {
            NameWheel(r.wheels[2], "Before", 10, "old");
            r.wheels[2].valid = valid;
            r.wheels[2].currentPosition = 4;
        });
        ChooseEntry(page.get(), kSetBox, EntryIndex("Red"));
        sets.LoadWheelFromPage(page.get(), 2);
        WheelEntry wheel = config.Roster().wheels[2];
        EXPECT_STREQ(wheel.name, "Red");
        EXPECT_EQ(PositionNames(wheel), Numbered("R", 1, 10));
        EXPECT_EQ(wheel.valid, valid) << "validity waits for the next save or init";
        EXPECT_EQ(Entries(page.get(), kPositionBox), Numbered("R", 1, 10));
        EXPECT_EQ(Selection(page.get(), kPositionBox), 4);
        EXPECT_EQ(WheelNameKey(2), "Red");

        // Five names for ten positions: the load fails after replacing five.
        ChooseEntry(page.get(), kSetBox, EntryIndex("Green"));
        sets.LoadWheelFromPage(page.get(), 2);
        wheel = config.Roster().wheels[2];
        EXPECT_STREQ(wheel.name, "Green");
        EXPECT_EQ(PositionNames(wheel), Joined(Numbered("G", 1, 5), Numbered("R", 6, 10)));
        EXPECT_EQ(wheel.valid, valid);
        EXPECT_EQ(Entries(page.get(), kPositionBox), PositionNames(wheel));
        EXPECT_EQ(WheelNameKey(2), "Red") << "a failed load records nothing";
    }
}

TEST_F(WheelPageSets, LoadWithoutAChoiceReloadsTheWheelsOwnSet) {
    WriteDriverFile(driver, "Red.TolvoFW", SetSectionText(1, 10, "R"));
    WriteDriverFile(driver, "Blue.TolvoFW", SetSectionText(1, 10, "B"));
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 2);
    SendDlgItemMessageA(page.get(), kSetBox, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Blue", 10, "old"); });
    sets.LoadWheelFromPage(page.get(), 0);
    const WheelEntry wheel = config.Roster().wheels[0];
    EXPECT_STREQ(wheel.name, "Blue");
    EXPECT_EQ(PositionNames(wheel), Numbered("B", 1, 10));
    EXPECT_EQ(Entries(page.get(), kPositionBox), Numbered("B", 1, 10));
}

TEST_F(WheelPageSets, ReselectFindsTheSavedSetIgnoringCase) {
    WriteDriverFile(driver, "Alpha.TolvoFW", SetSectionText(4, 10, "A"));
    WriteDriverFile(driver, "Beta.TolvoFW", SetSectionText(4, 10, "B"));
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 2);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[3], "beta", 10, "B"); });
    sets.SetWheelPage(3, 1);
    EnableWindow(Control(page.get(), kSaveButton), TRUE);
    sets.ReselectSavedSet(page.get());
    EXPECT_EQ(Selection(page.get(), kSetBox), EntryIndex("Beta"));
    EXPECT_EQ(sets.FilterSetDirty(), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(page.get(), kSaveButton)));
}

TEST_F(WheelPageSets, ReselectListsANewSetAgain) {
    WriteDriverFile(driver, "Alpha.TolvoFW", SetSectionText(1, 10, "A"));
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 1);
    WriteDriverFile(driver, "Gamma.TolvoFW", SetSectionText(1, 10, "G"));
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Gamma", 10, "G"); });
    sets.SetWheelPage(0, 1);
    sets.ReselectSavedSet(page.get());
    EXPECT_EQ(Sorted(Entries(page.get(), kSetBox)), (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(Selection(page.get(), kSetBox), EntryIndex("Gamma"));
    EXPECT_EQ(sets.FilterSetDirty(), 0);
}

TEST_F(WheelPageSets, ReselectOfAnAbsentSetSelectsNothing) {
    WriteDriverFile(driver, "Alpha.TolvoFW", SetSectionText(1, 10, "A"));
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 1);
    ChooseEntry(page.get(), kSetBox, 0);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Nowhere", 10, "N"); });
    sets.SetWheelPage(0, 1);
    EnableWindow(Control(page.get(), kSaveButton), TRUE);
    sets.ReselectSavedSet(page.get());
    EXPECT_EQ(Selection(page.get(), kSetBox), -1);
    EXPECT_EQ(sets.FilterSetDirty(), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(page.get(), kSaveButton)));
}

TEST_F(WheelPageSets, ReselectSearchesFromTheSecondEntry) {
    HWND box = Control(page.get(), kSetBox);
    for (const char* entry : {"Same", "Other", "SAME"}) {
        SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(entry));
    }
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "same", 10, "S"); });
    sets.SetWheelPage(0, 1);
    sets.ReselectSavedSet(page.get());
    EXPECT_EQ(Selection(page.get(), kSetBox), 2) << "the second entry on, wrapping to the first";
}

TEST_F(WheelPageSets, PositionsShownAreTheUsedNamesAtMostTen) {
    const struct {
        int count;
        int shown;
        int selected;
    } cases[] = {{6, 6, 4},  {8, 8, 4},  {10, 10, 4}, {12, 10, 4},
                 {3, 3, -1}, {0, 0, -1}, {-3, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        HWND box = Control(page.get(), kPositionBox);
        SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>("junk"));
        EditRoster([&](DeviceRosterTable& r) {
            NameWheel(r.wheels[5], "Shown", c.count, "Pos ");
            r.wheels[5].currentPosition = 4;
        });
        sets.ShowWheelPositions(5, page.get());
        EXPECT_EQ(Entries(page.get(), kPositionBox), Numbered("Pos ", 1, c.shown));
        EXPECT_EQ(Selection(page.get(), kPositionBox), c.selected);
    }
}

TEST_F(WheelPageSets, AFullNameFieldIsShownAndSavedAs59Characters) {
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Full", 2, "F");
        std::memset(r.wheels[0].positionNames[1], 'z', kNameSize);
    });
    sets.ShowWheelPositions(0, page.get());
    EXPECT_EQ(Entries(page.get(), kPositionBox),
              (std::vector<std::string>{"F1", std::string(59, 'z')}));
    EXPECT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    EXPECT_EQ(SetKeys("Full", 0, 2), (std::vector<std::string>{"F1", std::string(59, 'z')}));
}
