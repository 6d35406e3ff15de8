// The stage configuration page as the host shows it and a user works it:
// the configure exports, the serial controls, placement and the file.
#include <gtest/gtest.h>
#include "stage_page_api.h"
#include "xy_api.h"

namespace {
const std::vector<std::string> kPortNames = {"COMM 1", "COMM 2", "COMM 3", "COMM 4",
                                             "PCI Interface"};
const int kSerialDetails[] = {kBaudBox,     kBaudLabel,  kStopBitsLabel, kOneStopBit, kTwoStopBits,
                              kParityLabel, kParityNone, kParityEven,    kParityOdd};

class PageFixture : public ::testing::Test {
  protected:
    explicit PageFixture(const char* build = "STolvo32.dll") : driver(build) {}

    HWND OpenXY(int top = 0) {
        EXPECT_EQ(pages.XYConfigure(host.get(), top, 1), 0);
        return host.Page();
    }
    HWND OpenZ(int top = 0) {
        EXPECT_EQ(pages.ZConfigure(host.get(), top, 1), 0);
        return host.Page();
    }
    // Makes the XY family the serial line's owner without leaving a page.
    void LetXYFamilyOwnTheLine() {
        pages.XYConfigure(host.get(), 0, 1);
        pages.XYConfigure(host.get(), 0, 0);
    }

    LoadedDriver driver;
    StagePageApi pages{driver};
    XYApi xy{driver};
    HostWindow host;
};

class StagePage : public PageFixture {};

class ProbedStagePage : public PageFixture {
  protected:
    ProbedStagePage() : PageFixture("STolvo32Probe.dll") {}

    DriverSettingsRecord Settings() {
        DriverSettingsRecord s{};
        probe.GetSettings(&s);
        return s;
    }

    ProbeApi probe{driver};
    UiProbeApi ui{driver};
};

// Hidden buttons take no mouse clicks; their state is set and announced as a
// click would.
void SetRadioButton(HWND page, int first, int last, int id) {
    CheckRadioButton(page, first, last, id);
    SendNotification(page, id, BN_CLICKED);
}

// The page command 5000 waiting for `window`, taken out of the queue.
bool TakeRefreshCommand(HWND window) {
    MSG message;
    if (!PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        return false;
    }
    return message.wParam == kRefreshSerialControls && message.lParam == 0;
}
} // namespace

TEST_F(StagePage, FirstOpenChoosesComm1AndStoresEverySetting) {
    ASSERT_EQ(xy.Init(nullptr), -2) << "no port yet; the settings are loaded";
    HWND page = OpenXY();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(Entries(page, kPortBox), kPortNames);
    EXPECT_EQ(Selection(page, kPortBox), 0);
    EXPECT_EQ(Text(page, kPortBox), "COMM 1");
    EXPECT_EQ(StoredSetting(driver, "Port"), "0");
    EXPECT_EQ(StoredSetting(driver, "BaudRate"), "9600");
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "4");
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "2");
    EXPECT_EQ(StoredSetting(driver, "HasJoystick"), "1");
    EXPECT_EQ(Entries(page, kStepBox),
              (std::vector<std::string>{"0.1", "0.25", "0.4", "0.5", "1", "2"}));
    EXPECT_EQ(Selection(page, kStepBox), 4);
}

// A host's setup dialog, or a host that drives only the focus through the
// driver, shows a page before any StgXYInit: the page shows and writes back
// what the file holds, not the values of a module that loaded nothing.
TEST(StagePageBeforeInit, ShowsAndKeepsTheStoredSettings) {
    const struct {
        const char* key;
        const char* value;
    } stored[] = {{"Port", "2"},         {"BaudRate", "2400"}, {"StopBits", "2"},
                  {"Parity", "1"},       {"StageStep", "3"},   {"FocusStep", "1"},
                  {"CanAutoFocus", "1"}, {"TimeOut", "900"}};
    for (const bool zPage : {false, true}) {
        SCOPED_TRACE(zPage ? "Z page" : "XY page");
        LoadedDriver driver;
        StagePageApi pages{driver};
        HostWindow host;
        for (const auto& k : stored) {
            driver.SetIni(k.key, k.value);
        }
        EXPECT_EQ((zPage ? pages.ZConfigure : pages.XYConfigure)(host.get(), 0, 1), 0);
        HWND page = host.Page();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Text(page, kPortBox), "COMM 3");
        EXPECT_EQ(Selection(page, kBaudBox), 1);
        EXPECT_TRUE(IsChecked(page, kTwoStopBits));
        EXPECT_TRUE(IsChecked(page, kParityEven));
        EXPECT_EQ(Selection(page, kStepBox), zPage ? 1 : 3);
        for (const auto& k : stored) {
            EXPECT_EQ(StoredSetting(driver, k.key), k.value) << k.key;
        }
    }
}

TEST_F(StagePage, SerialDetailsAreHiddenOnTheXYPage) {
    HWND page = OpenXY();
    EXPECT_TRUE(IsShown(page, kPortLabel));
    EXPECT_TRUE(IsShown(page, kPortBox));
    for (int id : kSerialDetails) {
        EXPECT_FALSE(IsShown(page, id)) << id;
    }
    // Hidden, but filled and selected from the settings all the same.
    EXPECT_EQ(Entries(page, kBaudBox), (std::vector<std::string>{"9600", "2400", "600", "150"}));
    EXPECT_EQ(Selection(page, kBaudBox), 0);
    EXPECT_TRUE(IsChecked(page, kOneStopBit));
    EXPECT_TRUE(IsChecked(page, kParityNone));
}

TEST_F(StagePage, ZPageOfTheLineOwnerShowsOnlyThePort) {
    HWND page = OpenZ();
    EXPECT_TRUE(IsShown(page, kPortLabel));
    EXPECT_TRUE(IsShown(page, kPortBox));
    for (int id : kSerialDetails) {
        EXPECT_FALSE(IsShown(page, id)) << id;
    }
    EXPECT_EQ(Entries(page, kPortBox), kPortNames);
    EXPECT_EQ(Text(page, kPortBox), "COMM 1");
    EXPECT_EQ(StoredSetting(driver, "Port"), "0");
}

TEST_F(StagePage, ZPageHidesTheSerialControlsWhileTheXYFamilyOwnsTheLine) {
    LetXYFamilyOwnTheLine();
    HWND page = OpenZ();
    ASSERT_NE(page, nullptr);
    EXPECT_NE(Control(page, kAutoFocusBox), nullptr) << "the Z page";
    EXPECT_FALSE(IsShown(page, kPortLabel));
    EXPECT_FALSE(IsShown(page, kPortBox));
    for (int id : kSerialDetails) {
        EXPECT_FALSE(IsShown(page, id)) << id;
    }
    EXPECT_TRUE(IsShown(page, kStepBox));
    EXPECT_TRUE(IsShown(page, kAutoFocusBox));
    EXPECT_TRUE(Entries(page, kPortBox).empty());

    PostMessageA(page, WM_COMMAND, kRefreshSerialControls, 0);
    PumpMessages();
    EXPECT_TRUE(Entries(page, kPortBox).empty());
    EXPECT_EQ(Selection(page, kPortBox), -1);
    EXPECT_EQ(Selection(page, kBaudBox), -1);
    EXPECT_FALSE(IsChecked(page, kOneStopBit));
    EXPECT_FALSE(IsShown(page, kPortBox));
}

TEST_F(StagePage, AHidingZCallClaimsTheLineForTheZFamily) {
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_EQ(host.Page(), nullptr);
    LetXYFamilyOwnTheLine();
    HWND page = OpenZ();
    EXPECT_TRUE(IsShown(page, kPortBox)) << "the Z family claimed the line first";
}

TEST_F(StagePage, ShowingXYWhileAZPageExistsShowsTheZPageAgain) {
    HWND zPage = OpenZ();
    ASSERT_NE(Control(zPage, kAutoFocusBox), nullptr);
    ShowWindow(zPage, SW_HIDE);
    EXPECT_EQ(pages.XYConfigure(host.get(), 0, 1), 0);
    EXPECT_EQ(host.Page(), zPage);
    EXPECT_TRUE(IsWindowVisible(zPage));
    EXPECT_EQ(FindWindowExA(host.get(), zPage, "#32770", nullptr), nullptr) << "one page only";

    EXPECT_EQ(pages.XYConfigure(host.get(), 0, 0), 0);
    EXPECT_FALSE(IsWindow(zPage));
    HWND xyPage = OpenXY();
    ASSERT_NE(xyPage, nullptr);
    EXPECT_EQ(Control(xyPage, kAutoFocusBox), nullptr) << "an XY page now";

    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_FALSE(IsWindow(xyPage)) << "a hiding Z call destroys the stage page";
}

TEST_F(StagePage, PageIsCentredAtThePageTop) {
    HWND page = OpenXY(37);
    RECT units = {0, 0, 227, 150};
    MapDialogRect(page, &units);
    RECT hostFrame{};
    GetWindowRect(host.get(), &hostFrame);
    RECT frame{};
    GetWindowRect(page, &frame);
    MapWindowPoints(nullptr, host.get(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_EQ(frame.top, 37);
    EXPECT_EQ(frame.left, ((hostFrame.right - hostFrame.left) - units.right) / 2);
    EXPECT_EQ(frame.right - frame.left, units.right + 1);
    EXPECT_EQ(frame.bottom - frame.top, units.bottom + 1);

    // Shown again with another top, the page stays where it is.
    EXPECT_EQ(pages.XYConfigure(host.get(), 90, 1), 0);
    RECT again{};
    GetWindowRect(page, &again);
    MapWindowPoints(nullptr, host.get(), reinterpret_cast<POINT*>(&again), 2);
    EXPECT_EQ(again.top, 37);
}

TEST_F(StagePage, PageWiderThanItsHostStartsLeftOfIt) {
    // The page's width in pixels depends on the font; the narrow host is made
    // 41 pixels narrower, so that halving the odd difference must round.
    RECT units = {0, 0, 227, 150};
    MapDialogRect(OpenXY(), &units);
    pages.XYConfigure(host.get(), 0, 0);
    HostWindow narrow(units.right - 41, 300, "Narrow host");
    RECT hostFrame{};
    GetWindowRect(narrow.get(), &hostFrame);
    ASSERT_EQ(hostFrame.right - hostFrame.left, units.right - 41);

    EXPECT_EQ(pages.ZConfigure(narrow.get(), 5, 1), 0);
    HWND page = narrow.Page();
    ASSERT_NE(page, nullptr);
    RECT frame{};
    GetWindowRect(page, &frame);
    MapWindowPoints(nullptr, narrow.get(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_EQ(frame.left, -20) << "-41 / 2, toward zero";
    EXPECT_EQ(frame.top, 5);
}

TEST_F(StagePage, PCIInterfaceIsStoredAsPort4) {
    HWND page = OpenXY();
    ChooseEntry(page, kPortBox, 4);
    EXPECT_EQ(Text(page, kPortBox), "PCI Interface");
    EXPECT_EQ(StoredSetting(driver, "Port"), "4");
}

TEST_F(StagePage, AutoFocusBoxComesFromTheFileAndWritesIt) {
    driver.SetIni("CanAutoFocus", "1");
    driver.SetIni("HasJoystick", "0");
    HWND page = OpenZ();
    EXPECT_TRUE(IsChecked(page, kAutoFocusBox));
    EXPECT_EQ(StoredSetting(driver, "HasJoystick"), "1");

    Click(page, kAutoFocusBox);
    EXPECT_FALSE(IsChecked(page, kAutoFocusBox));
    EXPECT_EQ(StoredSetting(driver, "CanAutoFocus"), "0");
    Click(page, kAutoFocusBox);
    EXPECT_TRUE(IsChecked(page, kAutoFocusBox));
    EXPECT_EQ(StoredSetting(driver, "CanAutoFocus"), "1");
}

TEST_F(StagePage, AutoFocusIsOffWhenTheFileDoesNotSayIt) {
    HWND page = OpenZ();
    EXPECT_FALSE(IsChecked(page, kAutoFocusBox));
    EXPECT_EQ(StoredSetting(driver, "CanAutoFocus"), "0");
}

TEST_F(StagePage, HiddenSerialDetailsStillStoreTheirChanges) {
    HWND page = OpenXY();
    ChooseEntry(page, kBaudBox, 1);
    EXPECT_EQ(StoredSetting(driver, "BaudRate"), "2400");
    SetRadioButton(page, kOneStopBit, kTwoStopBits, kTwoStopBits);
    EXPECT_EQ(StoredSetting(driver, "StopBits"), "2");
    SetRadioButton(page, kOneStopBit, kTwoStopBits, kOneStopBit);
    EXPECT_EQ(StoredSetting(driver, "StopBits"), "1");
    SetRadioButton(page, kParityNone, kParityOdd, kParityOdd);
    EXPECT_EQ(StoredSetting(driver, "Parity"), "2");
    SetRadioButton(page, kParityNone, kParityOdd, kParityEven);
    EXPECT_EQ(StoredSetting(driver, "Parity"), "1");
}

TEST_F(StagePage, BogusParentsGiveNoPageAndNoCrash) {
    EXPECT_EQ(pages.XYConfigure(nullptr, 0, 1), 0);
    EXPECT_EQ(pages.ZConfigure(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), 10, 1), 0);
    HWND gone = nullptr;
    {
        HostWindow shortLived;
        gone = shortLived.get();
    }
    EXPECT_EQ(pages.XYConfigure(gone, 0, 1), 0);
    EXPECT_EQ(FindWindowExA(nullptr, nullptr, "#32770", nullptr), nullptr);
    EXPECT_EQ(pages.XYConfigure(nullptr, 0, 0), 0);

    HWND page = OpenXY();
    EXPECT_NE(page, nullptr) << "a good parent afterwards gets its page";
}

TEST_F(StagePage, PageGoneWithItsHostIsCreatedAgain) {
    {
        HostWindow first;
        EXPECT_EQ(pages.XYConfigure(first.get(), 0, 1), 0);
        EXPECT_NE(first.Page(), nullptr);
    }
    HWND page = OpenXY();
    EXPECT_NE(page, nullptr);
}

TEST_F(StagePage, XYCloseDestroysThePage) {
    HWND page = OpenXY();
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_NE(OpenXY(), nullptr);
}

TEST_F(StagePage, FocusDevicePathShowsTheDevicePageNotTheStagePage) {
    WritePrivateProfileStringA("Focus", "Module", "STolvo32.dll",
                               (driver.folder() + "\\KROHW.INI").c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr,
                               (driver.folder() + "\\KROHW.INI").c_str());
    driver.SetIni("DefaultAll", "0");
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 1), 0);
    HWND devicePage = host.Page();
    ASSERT_NE(devicePage, nullptr);
    EXPECT_EQ(StoredSetting(driver, "HasJoystick"), "<absent>")
        << "a stage page would have stored every setting";
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_FALSE(IsWindow(devicePage));
    // The device path claims nothing on the stage side: the XY family still can.
    LetXYFamilyOwnTheLine();
    DeleteFileA((driver.folder() + "\\KROHW.INI").c_str());
    EXPECT_FALSE(IsShown(OpenZ(), kPortBox));
}

TEST_F(ProbedStagePage, AStoredPortIsSelected) {
    driver.SetIni("Port", "2");
    probe.LoadSettings();
    HWND page = OpenXY();
    EXPECT_EQ(Text(page, kPortBox), "COMM 3");
    EXPECT_EQ(StoredSetting(driver, "Port"), "2");
}

TEST_F(ProbedStagePage, PortChoiceIsAnnouncedToTheDevicePage) {
    HostWindow devicePage(300, 200, "Device page");
    ui.SetDevicePageWindow(devicePage.get());
    HWND page = OpenXY();
    PumpMessages();
    ChooseEntry(page, kPortBox, 2);
    EXPECT_EQ(Settings().port, 2);
    EXPECT_EQ(StoredSetting(driver, "Port"), "2");
    EXPECT_TRUE(TakeRefreshCommand(devicePage.get()));

    SetRadioButton(page, kParityNone, kParityOdd, kParityEven);
    EXPECT_TRUE(TakeRefreshCommand(devicePage.get()));
    ChooseEntry(page, kBaudBox, 3);
    EXPECT_EQ(Settings().baudRate, 150);
    EXPECT_TRUE(TakeRefreshCommand(devicePage.get()));
    SetRadioButton(page, kOneStopBit, kTwoStopBits, kTwoStopBits);
    EXPECT_TRUE(TakeRefreshCommand(devicePage.get()));

    ChooseEntry(page, kStepBox, 1);
    Click(page, kAutoFocusBox);
    EXPECT_FALSE(TakeRefreshCommand(devicePage.get())) << "only serial changes are announced";
}

TEST_F(ProbedStagePage, WithoutADevicePageNothingIsPosted) {
    HWND page = OpenXY();
    PumpMessages();
    ChooseEntry(page, kPortBox, 1);
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    EXPECT_EQ(StoredSetting(driver, "Port"), "1");
}

TEST_F(ProbedStagePage, RefreshCommandReselectsTheSerialControls) {
    HWND page = OpenXY();
    DriverSettingsRecord s = Settings();
    s.port = 3;
    s.baudIndex = 2;
    s.baudRate = 600;
    s.stopBits = 2;
    s.parity = 1;
    probe.SetSettings(&s);
    PostMessageA(page, WM_COMMAND, kRefreshSerialControls, 0);
    PumpMessages();
    EXPECT_EQ(Selection(page, kPortBox), 3);
    EXPECT_EQ(Entries(page, kPortBox).size(), 5u) << "re-selected, not filled again";
    EXPECT_EQ(Selection(page, kBaudBox), 2);
    EXPECT_TRUE(IsChecked(page, kTwoStopBits));
    EXPECT_FALSE(IsChecked(page, kOneStopBit));
    EXPECT_TRUE(IsChecked(page, kParityEven));
}

TEST_F(ProbedStagePage, ConfigureCallsSetTheLineOwnerAndThePageTop) {
    EXPECT_EQ(probe.StagePortOwner(), -1);
    EXPECT_EQ(pages.XYConfigure(host.get(), 12, 0), 0);
    EXPECT_EQ(probe.StagePortOwner(), -1) << "a hiding XY call claims nothing";
    OpenZ(44);
    EXPECT_EQ(probe.StagePortOwner(), 8);
    EXPECT_EQ(ui.PageTop(), 44);
    EXPECT_EQ(ui.StagePageWindow(), host.Page());
    OpenXY(55);
    EXPECT_EQ(probe.StagePortOwner(), 8) << "only the first claim counts";
    EXPECT_EQ(ui.PageTop(), 55);
    pages.XYConfigure(host.get(), 0, 0);
    EXPECT_EQ(ui.StagePageWindow(), nullptr);
}

TEST_F(ProbedStagePage, NoSequenceOfControlMessagesBreaksThePage) {
    for (bool zPage : {false, true}) {
        HWND page = zPage ? OpenZ() : OpenXY();
        ASSERT_NE(page, nullptr);
        for (int id : {kPortBox, kBaudBox, kStepBox}) {
            SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        }
        const int ids[] = {0,    1,    2,    1000, 1001, 1002, 1003, 1004, 1005,  1006,
                           1007, 1008, 1009, 1010, 1013, 5000, 5001, -1,   65535, 99999};
        const int codes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xFFFF};
        for (int round = 0; round < 2; ++round) {
            for (int id : ids) {
                for (int code : codes) {
                    pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, code),
                                     round == 0 ? 0 : 0x5678);
                }
            }
        }
        PumpMessages();
        EXPECT_TRUE(IsWindow(page));
        const DriverSettingsRecord s = Settings();
        EXPECT_GE(s.port, 0);
        EXPECT_LE(s.port, 4);
        EXPECT_GE(s.baudIndex, 0);
        EXPECT_LE(s.baudIndex, 3);
        EXPECT_LE(Entries(page, kStepBox).size(), zPage ? 5u : 7u);
        EXPECT_LE(Entries(page, kPortBox).size(), 5u);
        pages.XYConfigure(host.get(), 0, 0);
    }
    // The procedure's answers: handled rows TRUE, anything else FALSE.
    HWND page = OpenXY();
    for (int id : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 5000}) {
        EXPECT_EQ(pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, 0), 0), TRUE) << id;
    }
    for (int id : {1009, 1010, 1011, 1012, 1013, 5001, 0, 1, 2}) {
        EXPECT_EQ(pages.ConfigProc(page, WM_COMMAND, MAKEWPARAM(id, 0), 0), FALSE) << id;
    }
    EXPECT_EQ(pages.ConfigProc(page, WM_TIMER, 1, 0), FALSE);
    EXPECT_EQ(pages.ConfigProc(page, WM_SIZE, 0, 0), FALSE);
    // Commands for windows that are not pages at all.
    EXPECT_EQ(pages.ConfigProc(nullptr, WM_COMMAND, MAKEWPARAM(1001, CBN_KILLFOCUS), 0), TRUE);
    EXPECT_EQ(pages.ConfigProc(nullptr, WM_COMMAND, MAKEWPARAM(1001, CBN_EDITUPDATE), 0), TRUE);
    EXPECT_EQ(pages.ConfigProc(nullptr, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE), 0), TRUE);
    EXPECT_EQ(pages.ConfigProc(host.get(), WM_COMMAND, kRefreshSerialControls, 0), TRUE);
    EXPECT_TRUE(IsWindow(page));
}
