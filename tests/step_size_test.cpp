// The step-size box of the stage pages: choosing a size, typing one, and what
// the file and the driver hold afterwards.
#include <gtest/gtest.h>
#include "stage_page_api.h"
#include "xy_api.h"

namespace {
using Sizes = std::vector<std::string>;
const Sizes kXYSizes = {"0.1", "0.25", "0.4", "0.5", "1", "2"};
const Sizes kZSizes = {"0.05", "0.1", "0.5", "1"};

Sizes With(Sizes sizes, const std::string& user) {
    sizes.push_back(user);
    return sizes;
}

class StepSize : public ::testing::Test {
  protected:
    // The host initialises the stage (here without a port: the settings are
    // loaded, nothing is connected) before it shows a page.
    HWND OpenXY() {
        EXPECT_EQ(xy.Init(nullptr), -2);
        EXPECT_EQ(pages.XYConfigure(host.get(), 0, 1), 0);
        return host.Page();
    }
    HWND OpenZ() {
        EXPECT_EQ(xy.Init(nullptr), -2);
        EXPECT_EQ(pages.ZConfigure(host.get(), 0, 1), 0);
        return host.Page();
    }
    void Reopen() {
        pages.XYConfigure(host.get(), 0, 0);
        EXPECT_EQ(host.Page(), nullptr);
    }
    double XYStep() {
        double x = 0.0;
        double y = 0.0;
        xy.Calib(&x, &y);
        return x;
    }
    DriverSettingsRecord Settings() {
        DriverSettingsRecord s{};
        probe.GetSettings(&s);
        return s;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    StagePageApi pages{driver};
    XYApi xy{driver};
    ProbeApi probe{driver};
    UiProbeApi ui{driver};
    HostWindow host;
};
} // namespace

TEST_F(StepSize, ChoosingAnEntrySetsTheStepAtOnce) {
    HWND page = OpenXY();
    EXPECT_EQ(Entries(page, kStepBox), kXYSizes);
    EXPECT_EQ(Selection(page, kStepBox), 4);
    ChooseEntry(page, kStepBox, 1);
    EXPECT_EQ(XYStep(), 0.25);
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "1");
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "2") << "the XY page leaves Z alone";
}

TEST_F(StepSize, ChoosingAZEntrySetsTheZStep) {
    HWND page = OpenZ();
    EXPECT_EQ(Entries(page, kStepBox), kZSizes);
    EXPECT_EQ(Selection(page, kStepBox), 2);
    ChooseEntry(page, kStepBox, 3);
    EXPECT_EQ(Settings().zStep, 1.0);
    EXPECT_EQ(Settings().focusStepIndex, 3);
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "3");
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "4");
}

TEST_F(StepSize, TypedSizeIsHeldUntilTheBoxLosesTheFocus) {
    HWND page = OpenXY();
    TypeText(page, kStepBox, "0.75");
    EXPECT_EQ(ui.UserStepEdited(0), 1);
    const DriverSettingsRecord s = Settings();
    EXPECT_EQ(s.userXYStep, 0.75);
    EXPECT_EQ(probe.XYStepSlot(6), 0.75);
    EXPECT_EQ(s.stageStepIndex, 6);
    EXPECT_EQ(s.xyStepChoices, 7);
    EXPECT_EQ(XYStep(), 1.0) << "typing does not change the step in effect";
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "4") << "nothing written while typing";
    EXPECT_EQ(Entries(page, kStepBox), kXYSizes);

    MoveFocusTo(host.get());
    EXPECT_EQ(ui.UserStepEdited(0), 0);
    EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, "0.75"));
    EXPECT_EQ(Selection(page, kStepBox), 6);
    EXPECT_EQ(StoredSetting(driver, "dUserDefinedXYStepSize"), "0.75");
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "6");
}

// A Z page that the host makes itself, with the Z flag as its creation
// parameter, keeps a typed size of its own until the box loses the focus.
TEST_F(StepSize, AStagePageTheHostMakesItselfTakesATypedSize) {
    EXPECT_EQ(xy.Init(nullptr), -2);
    HWND page =
        CreateDialogParamA(driver.module(), MAKEINTRESOURCEA(102), host.get(), pages.ConfigProc, 1);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Entries(page, kStepBox), kZSizes);
    TypeText(page, kStepBox, "0.3");
    MoveFocusTo(host.get());
    EXPECT_EQ(Entries(page, kStepBox), With(kZSizes, "0.3"));
    EXPECT_EQ(StoredSetting(driver, "dUserDefinedZStepSize"), "0.3");
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "4");
    EXPECT_EQ(ui.StagePageWindow(), nullptr) << "not the configure calls' page";
    DestroyWindow(page);
}

TEST_F(StepSize, TypingAgainReplacesTheUserEntry) {
    HWND page = OpenXY();
    for (const char* typed : {"0.75", "1.5", "3"}) {
        TypeText(page, kStepBox, typed);
        MoveFocusTo(host.get());
        EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, typed));
        EXPECT_EQ(Selection(page, kStepBox), 6);
        EXPECT_EQ(StoredSetting(driver, "dUserDefinedXYStepSize"), typed);
    }
}

TEST_F(StepSize, TypedZSizeKeepsTheZListAtFiveEntries) {
    HWND page = OpenZ();
    for (const char* typed : {"0.2", "0.3"}) {
        TypeText(page, kStepBox, typed);
        EXPECT_EQ(ui.UserStepEdited(1), 1);
        EXPECT_EQ(ui.UserStepEdited(0), 0);
        MoveFocusTo(host.get());
        EXPECT_EQ(Entries(page, kStepBox), With(kZSizes, typed));
        EXPECT_EQ(Selection(page, kStepBox), 4);
        EXPECT_EQ(StoredSetting(driver, "dUserDefinedZStepSize"), typed);
        EXPECT_EQ(StoredSetting(driver, "FocusStep"), "4");
    }
    EXPECT_EQ(Settings().userZStep, 0.3);
    EXPECT_EQ(Settings().zStepChoices, 5);
    EXPECT_EQ(probe.ZStepSlot(4), 0.3);
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "4");
}

// The host takes the size as its calibration: 0, a negative size or no
// number at all would be a calibration it cannot use.
TEST_F(StepSize, TypedTextThatIsNotAPositiveNumberIsNotTaken) {
    HWND page = OpenXY();
    const std::string unchanged = driver.IniFileText();
    DialogAnswerer boxes;
    TypeText(page, kStepBox, "0");
    EXPECT_EQ(Settings().stageStepIndex, 4) << "not while typing either";
    EXPECT_EQ(Settings().xyStepChoices, 6);
    MoveFocusTo(host.get());
    EXPECT_EQ(ui.UserStepEdited(0), 0);
    EXPECT_EQ(Entries(page, kStepBox), kXYSizes);
    EXPECT_EQ(Selection(page, kStepBox), 4);
    EXPECT_EQ(Text(page, kStepBox), "1");
    EXPECT_EQ(driver.IniFileText(), unchanged);

    TypeText(page, kStepBox, "0.75");
    MoveFocusTo(host.get());
    const std::string stored = driver.IniFileText();
    // "\b" deletes the selected text: the box is left empty.
    for (const char* typed : {"abc", "0", "-.5", "0x10", "inf", "nan", ".", "1e999", "-0", "\b"}) {
        SCOPED_TRACE(typed);
        TypeText(page, kStepBox, typed);
        MoveFocusTo(host.get());
        EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, "0.75"));
        EXPECT_EQ(Selection(page, kStepBox), 6) << "the choice from before";
        EXPECT_EQ(Text(page, kStepBox), "0.75");
        EXPECT_EQ(driver.IniFileText(), stored);
        const DriverSettingsRecord s = Settings();
        EXPECT_EQ(s.userXYStep, 0.75);
        EXPECT_EQ(probe.XYStepSlot(6), 0.75);
        EXPECT_EQ(s.stageStepIndex, 6);
    }
    ChooseEntry(page, kStepBox, 6);
    EXPECT_EQ(XYStep(), 0.75);
    EXPECT_TRUE(boxes.seen().empty()) << "no message";

    Reopen();
    ASSERT_EQ(pages.ZConfigure(host.get(), 0, 1), 0);
    page = host.Page();
    TypeText(page, kStepBox, "-2");
    MoveFocusTo(host.get());
    EXPECT_EQ(Entries(page, kStepBox), kZSizes);
    EXPECT_EQ(Settings().zStepChoices, 4);
    EXPECT_EQ(Settings().focusStepIndex, 2);
    EXPECT_EQ(StoredSetting(driver, "FocusStep"), "2");
}

TEST_F(StepSize, OnlyTheLeadingDecimalNumberCounts) {
    HWND page = OpenXY();
    // The settings file trims the spaces around a value.
    const struct {
        const char* typed;
        double value;
        const char* stored;
    } cases[] = {{"2.5mm", 2.5, "2.5mm"}, {"1e-3", 0.001, "1e-3"}, {"7e", 7.0, "7e"},
                 {" 4", 4.0, "4"},        {"+.5", 0.5, "+.5"},     {"3x10", 3.0, "3x10"}};
    for (const auto& c : cases) {
        TypeText(page, kStepBox, c.typed);
        EXPECT_EQ(Settings().userXYStep, c.value) << c.typed;
        MoveFocusTo(host.get());
        EXPECT_EQ(StoredSetting(driver, "dUserDefinedXYStepSize"), c.stored);
    }
}

TEST_F(StepSize, LongTypedTextIsCutToNineCharacters) {
    HWND page = OpenXY();
    TypeText(page, kStepBox, "123456789012345678901234567890");
    // The box takes what fits its width, which is more than the page reads.
    EXPECT_GT(Text(page, kStepBox).size(), 9u);
    EXPECT_EQ(Text(page, kStepBox).rfind("1234567890", 0), 0u);
    EXPECT_EQ(Settings().userXYStep, 123456789.0);
    MoveFocusTo(host.get());
    EXPECT_EQ(StoredSetting(driver, "dUserDefinedXYStepSize"), "123456789");
    EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, "123456789"));
    EXPECT_EQ(Settings().stageStepIndex, 6);
    EXPECT_EQ(Settings().zStepChoices, 4) << "the settings beside the buffer are untouched";
}

TEST_F(StepSize, LeavingWithoutTypingWritesNothing) {
    HWND page = OpenXY();
    const std::string before = driver.IniFileText();
    SetFocus(Control(page, kStepBox));
    MoveFocusTo(host.get());
    SendNotification(page, kStepBox, CBN_KILLFOCUS);
    EXPECT_EQ(driver.IniFileText(), before);
    EXPECT_EQ(Entries(page, kStepBox), kXYSizes);
}

TEST_F(StepSize, AChoiceAfterTypingStillYieldsToTheTypedSize) {
    HWND page = OpenXY();
    TypeText(page, kStepBox, "0.75");
    ChooseEntry(page, kStepBox, 2);
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "2");
    EXPECT_EQ(XYStep(), 0.4);
    MoveFocusTo(host.get());
    EXPECT_EQ(Selection(page, kStepBox), 6);
    EXPECT_EQ(Text(page, kStepBox), "0.75");
    EXPECT_EQ(StoredSetting(driver, "StageStep"), "6");
    EXPECT_EQ(StoredSetting(driver, "dUserDefinedXYStepSize"), "0.75");
}

TEST_F(StepSize, StoredUserSizeIsOfferedAndSelectedWhenChosen) {
    driver.SetIni("StageStep", "6");
    driver.SetIni("dUserDefinedXYStepSize", "0.3");
    HWND page = OpenXY();
    EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, "0.3"));
    EXPECT_EQ(Selection(page, kStepBox), 6);
    EXPECT_EQ(XYStep(), 0.3);
}

TEST_F(StepSize, StoredUserSizeIsNotOfferedWhenAnotherIndexIsStored) {
    driver.SetIni("StageStep", "5");
    driver.SetIni("dUserDefinedXYStepSize", "0.3");
    HWND page = OpenXY();
    EXPECT_EQ(Entries(page, kStepBox), kXYSizes);
    EXPECT_EQ(Selection(page, kStepBox), 5);
}

TEST_F(StepSize, TypedSizeIsOfferedWhenThePageOpensAgain) {
    HWND page = OpenXY();
    TypeText(page, kStepBox, "0.6");
    MoveFocusTo(host.get());
    Reopen();
    // The host's next StgXYInit would connect now that a port is stored; the
    // load it starts with is what counts here.
    probe.LoadSettings();
    ASSERT_EQ(pages.XYConfigure(host.get(), 0, 1), 0);
    page = host.Page();
    EXPECT_EQ(Entries(page, kStepBox), With(kXYSizes, "0.6"));
    EXPECT_EQ(Selection(page, kStepBox), 6);
    EXPECT_EQ(XYStep(), 0.6);
}
