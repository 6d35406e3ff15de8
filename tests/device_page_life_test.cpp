// The device page's life: which page the configure calls show, the page
// rebuilt when it is asked to stand for another device, the first-time
// defaults, the serial port box and its refresh, and calls in any order.
#include "device_pages_api.h"
#include <climits>
#include <cstring>
#include <thread>

namespace {
using Names = std::vector<std::string>;

class DevicePageLife : public DevicePageTest {
  protected:
    // The XY page and the page of wheel 0 ("Alpha", six positions) shown
    // together in the host's window.
    void ShowStageAndWheelPages(HWND& stage, HWND& device) {
        GiveWheel(0, "Alpha", 6, "A");
        ASSERT_EQ(pages.XYConfigure(host.get(), 0, 1), 0);
        stage = State().stagePage;
        device = ShowWheel(0, 220);
        ASSERT_NE(stage, nullptr);
        ASSERT_NE(device, nullptr);
    }
};

class FreshSettings : public DevicePageTest {
  protected:
    FreshSettings() : DevicePageTest(true) {}
};

bool IsWheelPage(HWND page) {
    return Control(page, kSetBox) != nullptr;
}
bool IsShutterPage(HWND page) {
    return Control(page, kShutterName) != nullptr;
}
} // namespace

TEST_F(FreshSettings, TheFirstPageGivesEveryDeviceItsDefaultsOnce) {
    driver.SetFileKey("KROHW.INI", "Shutter1", "Module", "STolvo32.dll");
    driver.SetFileKey("KROHW.INI", "FilterWheel1", "Module", "STolvo32.dll");
    boxes.Press(IDOK);
    HWND page = ShowShutter(0);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, kCaption);
    EXPECT_EQ(boxes.seen()[0].text, kDefaultsNotice);
    EXPECT_EQ(StoredSetting(driver, "DefaultAll"), "0");
    EXPECT_EQ(StoredSetting(driver, "Port"), "0");
    EXPECT_EQ(Text(page, kShutterName), "Shutter 1");
    EXPECT_EQ(Stored("FilterWheel1", "Name"), "Filter Wheel 1") << "every device of the driver";
    EXPECT_EQ(SetKeys("Filter Wheel 1", 0, 10), Numbered("Position ", 1, 10));

    ShowWheel(0);
    pages.FWConfigure(host.get(), 0, 0, 0);
    ShowShutter(1);
    ShowFocus();
    EXPECT_EQ(boxes.seen().size(), 1u) << "the notice comes once per settings file";
}

// A device page opened before its device's initialisation (the user opens it
// to mend a failed init) shows the stored record and writes nothing over it.
TEST_F(DevicePageLife, APageBeforeItsDevicesInitShowsAndKeepsTheStoredRecord) {
    driver.SetIni("Port", "-1");
    driver.SetIni("Name", "Epi", "Shutter2");
    driver.SetIni("ShutterNumber", "1", "Shutter2");
    driver.SetIni("Name", "Dapi Set", "FilterWheel1");
    WriteSet("Dapi Set", 0, 10, "D");
    const std::string settings = driver.IniFileText();
    const std::string set = ReadDriverFile(driver, "Dapi Set.TolvoFW");
    ShutterApi shutters(driver);
    ASSERT_EQ(shutters.GetInstance(0), 0);
    ASSERT_EQ(shutters.GetInstance(0), 1);
    EXPECT_EQ(shutters.Init(1, nullptr), -2) << "no port: the record is not loaded";

    HWND page = ShowShutter(1);
    EXPECT_EQ(Text(page, kShutterName), "Epi");
    page = ShowWheel(0);
    EXPECT_EQ(Text(page, kSetBox), "Dapi Set");
    EXPECT_EQ(Entries(page, kPositionBox), Numbered("D", 1, 10));
    pages.FWConfigure(host.get(), 0, 0, 0);
    EXPECT_EQ(driver.IniFileText(), settings);
    EXPECT_EQ(ReadDriverFile(driver, "Dapi Set.TolvoFW"), set);
    EXPECT_EQ(Sorted(FilesIn(driver.folder(), "*.TolvoFW")), Names{"Dapi Set.TolvoFW"});
}

// The host calls again while the first-time notice is open (its message loop
// runs the host's): the call takes effect once the box has closed.
TEST_F(FreshSettings, ACallDuringTheFirstTimeNoticeTakesEffectAfterIt) {
    driver.SetFileKey("KROHW.INI", "Shutter1", "Module", "STolvo32.dll");
    const struct {
        const char* label;
        std::function<void()> call;
        int kind; // of the page afterwards; 0: no page
        int slot;
    } cases[] = {
        {"close", [&] { pages.ShtrConfigure(host.get(), 0, 0, 0); }, 0, 0},
        {"a wheel", [&] { pages.FWConfigure(host.get(), 3, 40, 1); }, 2, 3},
        {"another shutter", [&] { pages.ShtrConfigure(host.get(), 1, 40, 1); }, 1, 1},
        {"the wheel's apply, then its close",
         [&] {
             pages.FWConfigure(host.get(), 0, 0, 2);
             pages.FWConfigure(host.get(), 0, 0, 0);
         },
         0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        DeleteFileA(driver.IniPath().c_str());
        boxes.Act([&](HWND) {
            c.call();
            EXPECT_EQ(State().kind, 1) << "nothing changes while the box is open";
            return IDOK;
        });
        ShowShutter(0);
        ASSERT_EQ(boxes.waiting(), 0u) << "the notice came";
        if (c.kind == 0) {
            EXPECT_EQ(Page(), nullptr);
        } else {
            ASSERT_NE(Page(), nullptr);
            EXPECT_TRUE(IsWindowVisible(Page()));
            EXPECT_EQ(State().kind, c.kind);
            EXPECT_EQ(State().slot, c.slot);
            EXPECT_EQ(State().top, 40);
        }
        EXPECT_EQ(FindWindowExA(host.get(), Page(), "#32770", nullptr), nullptr) << "one page";
        pages.ShtrConfigure(host.get(), 0, 0, 0);
    }
}

// The same while the question about unsaved set changes is open.
TEST_F(DevicePageLife, ACloseDuringTheSaveQuestionTakesEffectAfterIt) {
    GiveWheel(0, "Alpha", 6, "A");
    GiveWheel(1, "Beta", 6, "B");
    HWND first = ShowWheel(0);
    TypeText(first, kPositionBox, "Mine");
    MoveFocusTo(host.get());
    boxes.Act([&](HWND) {
        pages.FWConfigure(host.get(), 0, 0, 0);
        return IDYES;
    });
    ShowWheel(1);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, kSaveNowQuestion);
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"});
    EXPECT_EQ(Page(), nullptr) << "closed after the wheel 2 page it interrupted was made";
    EXPECT_EQ(FindWindowExA(host.get(), nullptr, "#32770", nullptr), nullptr);
}

TEST_F(DevicePageLife, AShowingCallForAnotherSlotRebuildsThePage) {
    EditRoster([](DeviceRosterTable& r) {
        r.shutterCount = 2;
        for (int k = 0; k < 2; ++k) {
            std::strcpy(r.shutters[k].name, k == 0 ? "First" : "Second");
            r.shutters[k].shutterNumber = k;
            r.shutters[k].configured = 1;
        }
    });
    HWND first = ShowShutter(0);
    ASSERT_EQ(Text(first, kShutterTitle), "Shutter Number: 1");
    HWND second = ShowShutter(1);
    EXPECT_FALSE(IsWindow(first));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(second));
    EXPECT_EQ(Text(second, kShutterTitle), "Shutter Number: 2");
    EXPECT_EQ(Text(second, kShutterName), "Second");
    // What the page shows is where the edit goes.
    TypeText(second, kShutterName, "Renamed");
    MoveFocusTo(host.get());
    EXPECT_EQ(Stored("Shutter2", "Name"), "Renamed");
    EXPECT_EQ(Stored("Shutter1", "Name"), "<absent>");
    EXPECT_STREQ(config.Roster().shutters[0].name, "First");
}

TEST_F(DevicePageLife, AShowingCallForAnotherKindRebuildsThePage) {
    GiveWheel(0, "Alpha", 6, "A");
    HWND shutter = ShowShutter(0);
    ASSERT_TRUE(IsShutterPage(shutter));
    HWND wheel = ShowWheel(0);
    EXPECT_FALSE(IsWindow(shutter));
    ASSERT_TRUE(IsWheelPage(wheel));
    EXPECT_EQ(Text(wheel, kWheelTitle), "Filter Wheel Number 1 Filter Set:");
    HWND focus = ShowFocus();
    EXPECT_FALSE(IsWindow(wheel));
    EXPECT_NE(Control(focus, kAutoFocusBox), nullptr);
    EXPECT_EQ(State().kind, 8);
}

TEST_F(DevicePageLife, ShowingTheSameDeviceAgainKeepsThePage) {
    HWND page = ShowShutter(0, 10);
    ShowWindow(page, SW_HIDE);
    EXPECT_EQ(ShowShutter(0, 70), page);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(State().top, 70);
    RECT frame{};
    GetWindowRect(page, &frame);
    MapWindowPoints(nullptr, host.get(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_EQ(frame.top, 10) << "shown again where it stands";
}

TEST_F(DevicePageLife, UnsavedChangesAreSettledBeforeARebuildYes) {
    GiveWheel(0, "Alpha", 6, "A");
    GiveWheel(1, "Beta", 6, "B");
    HWND first = ShowWheel(0);
    TypeText(first, kPositionBox, "Mine");
    MoveFocusTo(host.get());
    boxes.Press(IDYES);
    HWND second = ShowWheel(1);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, kSaveNowQuestion);
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"}) << "saved for the wheel it was made on";
    EXPECT_EQ(SetKeys("Beta", 1, 1), Names{"B1"});
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(Text(second, kWheelTitle), "Filter Wheel Number 2 Filter Set:");
    EXPECT_EQ(Text(second, kSetBox), "Beta");
    EXPECT_EQ(State().filterSetDirty, 0);
}

TEST_F(DevicePageLife, UnsavedChangesAreSettledBeforeARebuildNo) {
    GiveWheel(0, "Alpha", 6, "A");
    HWND first = ShowWheel(0);
    TypeText(first, kPositionBox, "Mine");
    MoveFocusTo(host.get());
    boxes.Press(IDNO);
    HWND shutter = ShowShutter(0);
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_STREQ(config.Roster().wheels[0].positionNames[0], "A1") << "reloaded from its file";
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"A1"});
    EXPECT_TRUE(IsShutterPage(shutter));
}

TEST_F(DevicePageLife, AnotherFamilysCloseSettlesUnsavedChangesToo) {
    GiveWheel(0, "Alpha", 6, "A");
    HWND page = ShowWheel(0);
    TypeText(page, kPositionBox, "Mine");
    MoveFocusTo(host.get());
    boxes.Press(IDYES);
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(SetKeys("Alpha", 0, 1), Names{"Mine"});
    EXPECT_FALSE(IsWindow(page));
}

TEST_F(DevicePageLife, OnlyTheLineOwnersFirstDeviceShowsThePort) {
    GiveWheel(0, "Alpha", 6, "A");
    GiveWheel(1, "Beta", 6, "B");
    // The wheel family shows its page first and owns the line.
    HWND page = ShowWheel(0);
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 2);
    EXPECT_TRUE(IsShown(page, kPortBox));
    EXPECT_TRUE(IsShown(page, kPortLabel));
    EXPECT_EQ(Entries(page, kPortBox).size(), 5u);
    for (int id : {kBaudBox, kBaudLabel, kStopBitsLabel, kOneStopBit, kTwoStopBits, kParityLabel,
                   kParityNone, kParityEven, kParityOdd}) {
        EXPECT_FALSE(IsShown(page, id)) << id;
    }
    struct Other {
        const char* what;
        std::function<HWND()> show;
    };
    const Other others[] = {{"wheel 1", [&] { return ShowWheel(1); }},
                            {"shutter 0", [&] { return ShowShutter(0); }},
                            {"focus", [&] { return ShowFocus(); }}};
    for (const Other& other : others) {
        SCOPED_TRACE(other.what);
        page = other.show();
        ASSERT_NE(page, nullptr);
        EXPECT_FALSE(IsShown(page, kPortBox));
        EXPECT_FALSE(IsShown(page, kPortLabel));
        EXPECT_TRUE(Entries(page, kPortBox).empty());
        PostMessageA(page, WM_COMMAND, kRefreshSerialControls, 0);
        PumpMessages();
        EXPECT_EQ(Selection(page, kPortBox), -1) << "5000 leaves it alone";
    }
}

TEST_F(DevicePageLife, TheShutterFamilyOwnsTheLineWhenItInitialisesFirst) {
    ShutterApi shutters(driver);
    ASSERT_EQ(shutters.GetInstance(0), 0);
    EXPECT_EQ(shutters.Init(0, nullptr), -2) << "no port yet; the line is claimed";
    EXPECT_FALSE(IsShown(ShowWheel(0), kPortBox));
    EXPECT_TRUE(IsShown(ShowShutter(0), kPortBox));
    EXPECT_FALSE(IsShown(ShowShutter(1), kPortBox)) << "slot 0 only";
}

TEST_F(DevicePageLife, APortChoiceOnEitherPageIsShownOnTheOther) {
    HWND stage = nullptr;
    HWND device = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowStageAndWheelPages(stage, device));
    PumpMessages();
    ASSERT_EQ(Selection(device, kPortBox), 0);

    ChooseEntry(stage, kPortBox, 2);
    EXPECT_EQ(Selection(device, kPortBox), 0) << "posted, not sent";
    PumpMessages();
    EXPECT_EQ(Selection(device, kPortBox), 2);
    EXPECT_EQ(Entries(device, kPortBox).size(), 5u) << "re-selected, not filled again";

    ChooseEntry(device, kPortBox, 3);
    EXPECT_EQ(StoredSetting(driver, "Port"), "3");
    PumpMessages();
    EXPECT_EQ(Selection(stage, kPortBox), 3);
    EXPECT_EQ(Text(stage, kPortBox), "COMM 4");
}

TEST_F(DevicePageLife, CallsInAnyOrderNeitherCrashNorLeaveAStalePage) {
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0) << "close before any show";
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 2), 0) << "apply before any show";
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 0, 0, 2), 0);
    GiveFocusToDriver();
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_EQ(Page(), nullptr);

    HWND page = ShowWheel(0);
    EXPECT_EQ(ShowWheel(0), page) << "shown twice";
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 0, 0, 2), 0);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_FALSE(IsWindow(page)) << "any family's close closes the one device page";
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);

    // A page that went with its host window leaves no stale handle.
    {
        HostWindow shortLived;
        EXPECT_EQ(pages.FWConfigure(shortLived.get(), 0, 0, 1), 0);
        EXPECT_NE(Page(), nullptr);
    }
    EXPECT_EQ(Page(), nullptr);
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 2), 0);
    EXPECT_EQ(pages.FWConfigure(host.get(), 0, 0, 0), 0);
    EXPECT_NE(ShowWheel(0), nullptr);
}

TEST_F(DevicePageLife, BogusParentsGiveNoPage) {
    HWND gone = nullptr;
    {
        HostWindow shortLived;
        gone = shortLived.get();
    }
    for (HWND parent :
         {static_cast<HWND>(nullptr), reinterpret_cast<HWND>(INT_PTR{0x1234}), gone}) {
        EXPECT_EQ(pages.FWConfigure(parent, 0, 0, 1), 0);
        EXPECT_EQ(pages.ShtrConfigure(parent, 0, 0, 1), 0);
        EXPECT_EQ(Page(), nullptr);
    }
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "#32770", nullptr), nullptr);
    EXPECT_NE(ShowShutter(0), nullptr) << "a good parent afterwards gets its page";
}

TEST_F(DevicePageLife, WheelSlotsOutsideTheRosterShowAPageThatChangesNothing) {
    GiveWheel(0, "Alpha", 6, "A");
    const DeviceRosterTable before = config.Roster();
    const std::string settings = driver.IniFileText();
    for (int slot : {10, -1, 4096, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(slot);
        HWND page = ShowWheel(slot);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Text(page, kWheelTitle),
                  "Filter Wheel Number " + std::to_string(slot + 1LL) + " Filter Set:");
        EXPECT_TRUE(Entries(page, kPositionBox).empty());
        Click(page, kTenPositions);
        ChooseEntry(page, kSetBox, 0);
        TypeText(page, kPositionBox, "Nothing");
        SendNotification(page, kPositionBox, CBN_KILLFOCUS);
        SendNotification(page, kHome, BN_CLICKED);
        Click(page, kSaveButton);
        Click(page, kArchiveSet);
        SendNotification(page, kNameListButton, BN_CLICKED);
        PostMessageA(page, WM_COMMAND, kRestoreSetName, 0);
        PumpMessages();
        EXPECT_EQ(State().filterSetDirty, 0);
        pages.FWConfigure(host.get(), slot, 0, 2);
    }
    const DeviceRosterTable after = config.Roster();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "the roster is untouched";
    EXPECT_EQ(driver.IniFileText(), settings);
    EXPECT_FALSE(IsReadOnly(SetPath("Alpha")));
}

namespace {
BOOL CALLBACK WorkTheChild(HWND child, LPARAM) {
    SendMessageA(child, WM_COMMAND, MAKEWPARAM(kPortBox, CBN_SELCHANGE), 0);
    SendMessageA(child, WM_COMMAND, 5000, 0);
    InvalidateRect(child, nullptr, TRUE);
    return TRUE;
}

// What a host's window meets after the driver went: it is resized, painted,
// and its children get commands and repaints.
void WorkTheHostWindow(HWND host) {
    RECT area{};
    GetClientRect(host, &area);
    SendMessageA(host, WM_SIZE, SIZE_RESTORED, MAKELPARAM(area.right - 1, area.bottom - 1));
    EnumChildWindows(host, &WorkTheChild, 0);
    InvalidateRect(host, nullptr, TRUE);
    PumpMessages();
}

bool HasDialogProcedure(HWND page) {
    return GetWindowLongPtrA(page, DWLP_DLGPROC) != 0;
}
} // namespace

// The host unloads the driver while its pages are shown, then keeps its window.
TEST_F(DevicePageLife, AnUnloadTakesTheShownPagesAway) {
    HWND stage = nullptr;
    HWND device = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowStageAndWheelPages(stage, device));
    driver.Unload();
    ASSERT_FALSE(IsWindow(stage) && HasDialogProcedure(stage));
    ASSERT_FALSE(IsWindow(device) && HasDialogProcedure(device));
    EXPECT_FALSE(IsWindow(stage)) << "a page of the unloading thread is destroyed";
    EXPECT_FALSE(IsWindow(device));
    WorkTheHostWindow(host.get());
}

// The same unload from another thread, which may not destroy this thread's
// windows: the pages stay without a dialog procedure of the driver's.
TEST_F(DevicePageLife, AnUnloadFromAnotherThreadLeavesThePagesHarmless) {
    HWND stage = nullptr;
    HWND device = nullptr;
    ASSERT_NO_FATAL_FAILURE(ShowStageAndWheelPages(stage, device));
    std::thread([this] { driver.Unload(); }).join();
    ASSERT_TRUE(IsWindow(stage));
    ASSERT_FALSE(HasDialogProcedure(stage));
    ASSERT_FALSE(HasDialogProcedure(device));
    WorkTheHostWindow(host.get());
    EXPECT_TRUE(IsWindow(device)) << "left to the host, which destroys its window";
}
