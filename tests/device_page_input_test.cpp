// Control messages in any order and with any codes, as a confused host or a
// stray message might send them: no page breaks and every setting stays in
// its range.
#include "device_pages_api.h"

namespace {
class DevicePageInput : public DevicePageTest {
  protected:
    HWND Show(int kind) {
        switch (kind) {
        case 1:
            return ShowShutter(0);
        case 2:
            return ShowWheel(0);
        default:
            return ShowFocus();
        }
    }
};

const int kTableIds[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1020, 1030,
                         1032, 1033, 1034, 1037, 1039, 1044, 1046, 1049, 1222, 5000, 5001};
const int kOtherIds[] = {0,    1,    2,    1009, 1010, 1011, 1012, 1013, 1021,
                         1031, 1035, 1036, 1038, 1211, 1212, 4999, 5002, 65535};
} // namespace

TEST_F(DevicePageInput, NoSequenceOfControlMessagesBreaksAPage) {
    // Stray "..." presses open the name list editor and a stray set choice
    // asks about unsaved changes: the answerer closes whatever comes up.
    questionsChecked = false;
    GiveWheel(0, "Alpha", 6, "A");
    WriteSet("Beta", 0, 6, "B");
    for (int kind : {8, 1, 2}) {
        SCOPED_TRACE(kind);
        HWND page = Show(kind);
        ASSERT_NE(page, nullptr);
        const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xFFFF};
        for (int round = 0; round < 2; ++round) {
            for (int id : kTableIds) {
                for (int code : codes) {
                    pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, code),
                                     round == 0 ? 0 : 0x5678);
                }
            }
        }
        PumpMessages();
        EXPECT_TRUE(IsWindow(page));
        EXPECT_EQ(Page(), page);
        const DriverSettingsRecord s = config.Settings();
        EXPECT_GE(s.port, 0);
        EXPECT_LE(s.port, 4);
        EXPECT_GE(s.baudIndex, 0);
        EXPECT_LE(s.baudIndex, 3);
        EXPECT_LE(Entries(page, kStepBox).size(), 5u);
        EXPECT_LE(Entries(page, kPortBox).size(), 5u);
        EXPECT_LE(Entries(page, kPositionBox).size(), 10u);
        const WheelEntry wheel = config.Roster().wheels[0];
        EXPECT_GE(wheel.currentPosition, 0);
        EXPECT_LT(wheel.currentPosition, wheel.positionCount);
    }
}

TEST_F(DevicePageInput, TheProcedureAnswersTrueOnlyForItsCommands) {
    GiveWheel(0, "Alpha", 6, "A");
    HWND page = ShowShutter(0);
    for (int id : kTableIds) {
        // Codes no control sends: nothing happens, but the id is the page's.
        EXPECT_EQ(pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, 0x7777), 0), TRUE) << id;
    }
    for (int id : kOtherIds) {
        EXPECT_EQ(pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, 0), 0), FALSE) << id;
    }
    EXPECT_EQ(pages.ConfigProc(page, WM_TIMER, 1, 0), FALSE);
    EXPECT_EQ(pages.ConfigProc(page, WM_SIZE, 0, 0), FALSE);
    EXPECT_EQ(pages.ConfigProc(page, WM_PAINT, 0, 0), FALSE);
    EXPECT_TRUE(IsWindow(page));
}

TEST_F(DevicePageInput, CommandsForWindowsThatAreNoPagesChangeNothing) {
    GiveWheel(0, "Alpha", 6, "A");
    ShowWheel(0);
    const DeviceRosterTable before = config.Roster();
    for (HWND window : {static_cast<HWND>(nullptr), host.get()}) {
        for (int id : {1020, 1030, 1037, 1044, 1049, 1222, 5001}) {
            for (int code : {CBN_SELCHANGE, CBN_EDITCHANGE, CBN_KILLFOCUS, EN_KILLFOCUS}) {
                pages.ConfigProc(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
            }
        }
    }
    PumpMessages();
    const DeviceRosterTable after = config.Roster();
    EXPECT_STREQ(after.wheels[0].name, before.wheels[0].name);
    EXPECT_EQ(PositionNames(after.wheels[0], 6), PositionNames(before.wheels[0], 6));
    EXPECT_TRUE(IsWindow(Page()));
}

// A device page that the host makes itself stands for the device of the page
// the configure calls show, keeps its own edits, and goes without that page.
TEST_F(DevicePageInput, APageTheHostMakesItselfStandsForTheShownDevice) {
    GiveWheel(1, "Alpha", 6, "A");
    HWND shown = ShowWheel(1);
    HWND own =
        CreateDialogParamA(driver.module(), MAKEINTRESOURCEA(104), host.get(), pages.ConfigProc, 0);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(Text(own, kWheelTitle), "Filter Wheel Number 2 Filter Set:");
    EXPECT_EQ(Entries(own, kPositionBox), Numbered("A", 1, 6));
    TypeText(own, kPositionBox, "Mine");
    MoveFocusTo(host.get());
    EXPECT_STREQ(config.Roster().wheels[1].positionNames[0], "Mine");
    EXPECT_EQ(State().filterSetDirty, 0) << "the shown page has no unsaved change";
    DestroyWindow(own);
    EXPECT_EQ(Page(), shown);
    EXPECT_TRUE(IsWindow(shown));
}

TEST_F(DevicePageInput, ShutterCommandsOnAWheelPageTouchNoShutter) {
    EditRoster([](DeviceRosterTable& r) {
        r.shutterCount = 1;
        std::snprintf(r.shutters[0].name, kNameSize, "Kept");
        r.shutters[0].configured = 1;
    });
    GiveWheel(0, "Alpha", 6, "A");
    HWND page = ShowWheel(0);
    SendNotification(page, kShutterName, EN_CHANGE);
    SendNotification(page, kShutterName, EN_KILLFOCUS);
    EXPECT_STREQ(config.Roster().shutters[0].name, "Kept");
    EXPECT_EQ(Stored("Shutter1", "Name"), "<absent>");
}
