// The focus drive's page on the device path: StgZConfigure while the host's
// hardware file gives "Focus" to this driver, the Z template on KroConfigProc.
#include "device_pages_api.h"

namespace {
class FocusDevicePage : public DevicePageTest {
  protected:
    DriverSettingsRecord Settings() const { return config.Settings(); }
    void SetSettings(const DriverSettingsRecord& s) const { config.SetSettings(&s); }
};
} // namespace

TEST_F(FocusDevicePage, IsTheDevicePageNotTheStagePage) {
    HWND page = ShowFocus(30);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(State().stagePage, nullptr);
    EXPECT_EQ(State().kind, 8);
    EXPECT_EQ(State().slot, 0);
    EXPECT_NE(Control(page, kAutoFocusBox), nullptr) << "the Z template";
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 8);
    EXPECT_EQ(ReadLinkState(driver).stagePortOwner, -1) << "the stage side is not claimed";
    // Unlike the stage page it does not store every setting when it opens.
    EXPECT_EQ(Settings().hasJoystick, 1);
    EXPECT_EQ(StoredSetting(driver, "HasJoystick"), "<absent>");
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 0), 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(Page(), nullptr);
}

TEST_F(FocusDevicePage, SelectsTheStepByItsStoredIndex) {
    DriverSettingsRecord s = Settings();
    s.focusStepIndex = 1;
    s.zStep = config.ZStepSlot(3);
    SetSettings(s);
    HWND page = ShowFocus();
    const std::vector<std::string> steps = Entries(page, kStepBox);
    EXPECT_EQ(steps.size(), static_cast<size_t>(Settings().zStepChoices));
    EXPECT_EQ(Selection(page, kStepBox), 1) << "the index, not the size in effect";

    pages.ZConfigure(host.get(), 0, 0);
    s.focusStepIndex = 17;
    SetSettings(s);
    page = ShowFocus();
    EXPECT_EQ(Selection(page, kStepBox), -1) << "an index outside the list selects nothing";
}

TEST_F(FocusDevicePage, ANeverSetStepIndexGetsTheDefault) {
    DriverSettingsRecord s = Settings();
    s.focusStepIndex = -1;
    SetSettings(s);
    HWND page = ShowFocus();
    EXPECT_EQ(Settings().focusStepIndex, 2);
    EXPECT_EQ(Selection(page, kStepBox), 2);
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "2");
}

TEST_F(FocusDevicePage, StepChoiceAndTypedStepsAreStored) {
    HWND page = ShowFocus();
    ChooseEntry(page, kStepBox, 3);
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "3");
    EXPECT_EQ(Settings().zStep, config.ZStepSlot(3));

    const size_t offered = Entries(page, kStepBox).size();
    TypeText(page, kStepBox, "0.35");
    MoveFocusTo(host.get());
    TypeText(page, kStepBox, "0.125xyz9999");
    MoveFocusTo(host.get());
    const std::vector<std::string> steps = Entries(page, kStepBox);
    ASSERT_EQ(steps.size(), 5u) << offered << " offered before";
    EXPECT_EQ(steps[4], "0.125xyz9") << "nine characters are kept";
    EXPECT_EQ(Selection(page, kStepBox), 4);
    EXPECT_EQ(StoredSetting(driver, "dUserDefinedZStepSize"), "0.125xyz9");
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "4");
    EXPECT_EQ(Settings().userZStep, 0.125);
    EXPECT_EQ(UiProbeApi(driver).UserStepEdited(1), 0);
}

TEST_F(FocusDevicePage, AutoFocusComesFromTheFileAndIsStored) {
    driver.SetIni("CanAutoFocus", "1");
    HWND page = ShowFocus();
    EXPECT_TRUE(IsChecked(page, kAutoFocusBox));
    Click(page, kAutoFocusBox);
    EXPECT_EQ(StoredSetting(driver, "CanAutoFocus"), "0");
    EXPECT_EQ(Settings().canAutoFocus, 0);
    Click(page, kAutoFocusBox);
    EXPECT_EQ(StoredSetting(driver, "CanAutoFocus"), "1");
}

TEST_F(FocusDevicePage, TheLineOwnersFocusPageChoosesThePort) {
    HWND page = ShowFocus();
    EXPECT_TRUE(IsShown(page, kPortBox));
    EXPECT_TRUE(IsShown(page, kPortLabel));
    EXPECT_FALSE(IsShown(page, kBaudBox));
    EXPECT_EQ(Text(page, kPortBox), "COMM 1");
    // A never set port gets the line's defaults, stored.
    EXPECT_EQ(StoredSetting(driver, "Port"), "0");
    EXPECT_EQ(StoredSetting(driver, "BaudRate"), "9600");
    EXPECT_EQ(StoredSetting(driver, "StopBits"), "2");
    EXPECT_EQ(StoredSetting(driver, "Parity"), "0");
    ChooseEntry(page, kPortBox, 4);
    EXPECT_EQ(StoredSetting(driver, "Port"), "4");
}

TEST_F(FocusDevicePage, WithoutTheHostsFocusTheStagePageComesUp) {
    EXPECT_EQ(pages.ZConfigure(host.get(), 0, 1), 0);
    EXPECT_EQ(State().page, nullptr);
    EXPECT_NE(State().stagePage, nullptr);
}
