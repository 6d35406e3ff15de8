// The filter wheel page's sets: choosing another set with and without unsaved
// changes, Save, Delete and Archive from the page, and the host's close and
// apply calls that settle unsaved changes.
#include "device_pages_api.h"

namespace {
using Names = std::vector<std::string>;

// Wheel slot 0 uses set "Alpha" (A1 to A6); set "Beta" (B1 to B6) is listed too.
class WheelSetPage : public DevicePageTest {
  protected:
    void SetUp() override {
        WriteSet("Beta", 0, 6, "B");
        GiveWheel(0, "Alpha", 6, "A");
        page = ShowWheel(0);
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(Text(page, kSetBox), "Alpha");
    }
    WheelEntry Wheel() const { return config.Roster().wheels[0]; }
    // An unsaved change: a name typed for position 1, taken when the box is left.
    void RenameFirstPosition(const char* name) {
        TypeText(page, kPositionBox, name);
        MoveFocusTo(host.get());
        ASSERT_EQ(State().filterSetDirty, 1);
    }
    bool SaveEnabled() const { return IsWindowEnabled(Control(page, kSaveButton)) != FALSE; }

    HWND page = nullptr;
};
} // namespace

TEST_F(WheelSetPage, ChoosingASetWithoutChangesLoadsIt) {
    ChooseEntry(page, kSetBox, EntryIndex(page, kSetBox, "Beta"));
    PumpMessages();
    EXPECT_STREQ(Wheel().name, "Beta");
    EXPECT_EQ(PositionNames(Wheel(), 6), Numbered("B", 1, 6));
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("B", 1, 6));
    EXPECT_EQ(Stored("FilterWheel1", "Name"), "Beta");
    EXPECT_FALSE(SaveEnabled());
    EXPECT_TRUE(boxes.seen().empty()) << "nothing unsaved, nothing asked";
}

TEST_F(WheelSetPage, UnsavedChangesAnsweredYesAreDropped) {
    RenameFirstPosition("Mine");
    boxes.Press(IDYES);
    ChooseEntry(page, kSetBox, EntryIndex(page, kSetBox, "Beta"));
    PumpMessages();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, kCaption);
    EXPECT_EQ(boxes.seen()[0].text, kDropChangesQuestion);
    EXPECT_STREQ(Wheel().name, "Beta");
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("B", 1, 6));
    EXPECT_EQ(State().filterSetDirty, 0);
    EXPECT_FALSE(SaveEnabled());
    EXPECT_EQ(Text(page, kSetBox), "Beta");
}

TEST_F(WheelSetPage, UnsavedChangesAnsweredNoAreKeptWithTheOldName) {
    RenameFirstPosition("Mine");
    boxes.Press(IDNO);
    ChooseEntry(page, kSetBox, EntryIndex(page, kSetBox, "Beta"));
    EXPECT_EQ(State().filterSetDirty, 1);
    PumpMessages(); // the page's own 5001
    EXPECT_EQ(Text(page, kSetBox), "Alpha");
    EXPECT_EQ(Selection(page, kSetBox), EntryIndex(page, kSetBox, "Alpha"));
    EXPECT_STREQ(Wheel().name, "Alpha");
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(State().filterSetDirty, 1);
    EXPECT_EQ(Entries(page, kPositionBox), Joined(Names{"Mine"}, Numbered("A", 2, 6)));
    EXPECT_EQ(PositionNames(Wheel(), 6), Joined(Names{"Mine"}, Numbered("A", 2, 6)));
    EXPECT_EQ(Stored("FilterWheel1", "Name"), "<absent>") << "nothing loaded";
}

TEST_F(WheelSetPage, ATypedSetNameKeptWithNoBecomesTheWheelsName) {
    TypeText(page, kSetBox, "Gamma");
    EXPECT_EQ(State().filterSetDirty, 1);
    EXPECT_TRUE(SaveEnabled());
    boxes.Press(IDNO);
    ChooseEntry(page, kSetBox, EntryIndex(page, kSetBox, "Beta"));
    PumpMessages();
    EXPECT_STREQ(Wheel().name, "Gamma");
    EXPECT_EQ(Text(page, kSetBox), "Gamma");
    EXPECT_EQ(Selection(page, kSetBox), -1) << "no listed set is called so";
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("A", 1, 6));
}

TEST_F(WheelSetPage, SaveTakesTheTypedNameAndSelectsTheNewSet) {
    RenameFirstPosition("Mine");
    TypeText(page, kSetBox, "  My Set  ");
    Click(page, kSaveButton);
    EXPECT_STREQ(Wheel().name, "My Set");
    EXPECT_EQ(Wheel().valid, 1);
    EXPECT_EQ(SetKeys("My Set", 0, 6), Joined(Names{"Mine"}, Numbered("A", 2, 6)));
    EXPECT_EQ(Stored("FilterWheel1", "Name"), "My Set");
    EXPECT_EQ(Text(page, kSetBox), "My Set");
    EXPECT_EQ(Selection(page, kSetBox), EntryIndex(page, kSetBox, "My Set"));
    EXPECT_FALSE(SaveEnabled());
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(WheelSetPage, SetNamesLeavingTheFolderOrNamingADeviceAreRefused) {
    for (const char* name : {"..\\Escape", "C:\\Escape", "sub/Escape", "COM1", "lpt1.set", "   "}) {
        SCOPED_TRACE(name);
        TypeText(page, kSetBox, name);
        Click(page, kSaveButton);
        EXPECT_EQ(Wheel().valid, 0);
        EXPECT_STREQ(Wheel().name, "Alpha");
    }
    EXPECT_EQ(GetFileAttributesA((driver.folder() + "\\..\\Escape.TolvoFW").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Sorted(FilesIn(driver.folder(), "*.TolvoFW")),
              (Names{"Alpha.TolvoFW", "Beta.TolvoFW"}));
}

TEST_F(WheelSetPage, AnOverlongSetNameIsCutToTheField) {
    // The box's edit does not scroll, so typing ends at its width; a longer
    // text can only be set.
    SetDlgItemTextA(page, kSetBox, std::string(100, 'L').c_str());
    SendNotification(page, kSetBox, CBN_EDITCHANGE);
    Click(page, kSaveButton);
    EXPECT_EQ(std::string(Wheel().name), std::string(59, 'L'));
    EXPECT_EQ(Text(page, kSetBox), std::string(59, 'L'));
    EXPECT_EQ(SetKeys(std::string(59, 'L'), 0, 6), Numbered("A", 1, 6));
}

TEST_F(WheelSetPage, DeleteRemovesTheChosenSetFile) {
    ChooseEntry(page, kSetBox, EntryIndex(page, kSetBox, "Beta"));
    PumpMessages();
    Click(page, kDeleteSet);
    EXPECT_EQ(GetFileAttributesA(SetPath("Beta").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(EntryIndex(page, kSetBox, "Beta"), -1) << "the entry stays";
    EXPECT_EQ(State().filterSetDirty, 1);
    EXPECT_TRUE(SaveEnabled());
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("B", 1, 6)) << "the names stay in memory";
}

TEST_F(WheelSetPage, DeleteOfAnArchivedSetAnsweredNoKeepsIt) {
    SetFileAttributesA(SetPath("Alpha").c_str(), FILE_ATTRIBUTE_READONLY);
    boxes.Press(IDNO);
    Click(page, kDeleteSet);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Deleting Filter Wheel Set");
    EXPECT_TRUE(IsReadOnly(SetPath("Alpha")));
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(WheelSetPage, ArchiveSavesUnsavedChangesFirst) {
    RenameFirstPosition("Mine");
    Click(page, kArchiveSet);
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"});
    EXPECT_TRUE(IsReadOnly(SetPath("Alpha")));
    EXPECT_EQ(State().filterSetDirty, 0);
    EXPECT_FALSE(SaveEnabled());

    // Saving over the archived set asks first; No leaves it as it is.
    RenameFirstPosition("Other");
    boxes.Press(IDNO);
    Click(page, kSaveButton);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Saving Filter Wheel Set");
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"});
    EXPECT_EQ(Wheel().valid, 0);
}

TEST_F(WheelSetPage, ArchiveOfATypedNewSetSavesItThenMarksIt) {
    TypeText(page, kSetBox, "Fresh");
    Click(page, kArchiveSet);
    EXPECT_STREQ(Wheel().name, "Fresh");
    EXPECT_EQ(SetKeys("Fresh", 0, 6), Numbered("A", 1, 6));
    EXPECT_TRUE(IsReadOnly(SetPath("Fresh")));
    EXPECT_EQ(Selection(page, kSetBox), EntryIndex(page, kSetBox, "Fresh"));
}

TEST_F(WheelSetPage, ArchiveOfASetNeverSavedCreatesNoFile) {
    pages.FWConfigure(host.get(), 0, 0, 0);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Never", 6, "N"); });
    page = ShowWheel(0);
    Click(page, kArchiveSet);
    EXPECT_EQ(GetFileAttributesA(SetPath("Never").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WheelSetPage, CloseAsksToSaveAndYesSaves) {
    RenameFirstPosition("Mine");
    boxes.Press(IDYES);
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, kCaption);
    EXPECT_EQ(boxes.seen()[0].text, kSaveNowQuestion);
    EXPECT_EQ(SetKeys("Alpha", 0, 6), Joined(Names{"Mine"}, Numbered("A", 2, 6)));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(Page(), nullptr);
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(WheelSetPage, CloseAnsweredNoReloadsTheSet) {
    RenameFirstPosition("Mine");
    boxes.Press(IDNO);
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(PositionNames(Wheel(), 6), Numbered("A", 1, 6));
    EXPECT_EQ(SetKeys("Alpha", 0, 6), Numbered("A", 1, 6));
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(WheelSetPage, CloseWithoutChangesAsksNothing) {
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_FALSE(IsWindow(page));
}

TEST_F(WheelSetPage, ATypedNameCountsWhenTheHostClosesThePage) {
    TypeText(page, kPositionBox, "Typed");
    EXPECT_EQ(State().filterSetDirty, 0);
    boxes.Press(IDYES);
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Typed"});
}

TEST_F(WheelSetPage, ApplySavesUnsavedChanges) {
    RenameFirstPosition("Mine");
    EXPECT_EQ(pages.FWConfigure(host.get(), 5, 0, 2), 0) << "the page's wheel, whatever slot";
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"});
    EXPECT_EQ(State().filterSetDirty, 0);
    EXPECT_FALSE(SaveEnabled());
    EXPECT_TRUE(IsWindow(page));
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(WheelSetPage, ApplyWithoutChangesWritesNothing) {
    const std::string before = ReadDriverFile(driver, "Alpha.TolvoFW");
    const std::string settings = driver.IniFileText();
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 2), 0);
    EXPECT_EQ(ReadDriverFile(driver, "Alpha.TolvoFW"), before);
    EXPECT_EQ(driver.IniFileText(), settings);
}
