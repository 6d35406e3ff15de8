// The shutter page: its number, the shutter's name, and the name stored when
// the user leaves the box after changing it.
#include "device_pages_api.h"
#include <climits>
#include <cstring>

namespace {
class ShutterPage : public DevicePageTest {
  protected:
    // Two shutters handed out; slot 1 is configured as "Left Lamp".
    void SetUp() override {
        EditRoster([](DeviceRosterTable& r) {
            r.shutterCount = 2;
            std::strcpy(r.shutters[1].name, "Left Lamp");
            r.shutters[1].shutterNumber = 1;
            r.shutters[1].configured = 1;
        });
    }
    std::string ShutterName(int slot) const { return config.Roster().shutters[slot].name; }
};
} // namespace

TEST_F(ShutterPage, ShowsTheSlotNumberAndTheName) {
    HWND page = ShowShutter(1, 25);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(GetParent(page), host.get());
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(Text(page, kShutterTitle), "Shutter Number: 2");
    EXPECT_EQ(Text(page, kShutterName), "Left Lamp");
    EXPECT_EQ(SendDlgItemMessageA(page, kShutterName, EM_GETLIMITTEXT, 0, 0), 60);
    EXPECT_EQ(GetFocus(), Control(page, kShutterName));
    const DevicePageState state = State();
    EXPECT_EQ(state.kind, 1);
    EXPECT_EQ(state.slot, 1);
    EXPECT_EQ(state.top, 25);
    EXPECT_EQ(state.shutterNameEdited, 0) << "showing the name is no edit";
    char title[80] = "";
    char position[80] = "";
    driver.Fn<decltype(&ProbeLabelFormats)>("ProbeLabelFormats")(title, position);
    EXPECT_STREQ(title, "Shutter Number: %d") << "the format is kept for later";
}

TEST_F(ShutterPage, TheNameIsStoredOnlyWhenItChanged) {
    HWND page = ShowShutter(1);
    MoveFocusTo(host.get());
    EXPECT_EQ(Stored("Shutter2", "Name"), "<absent>") << "focus in and out, nothing typed";

    TypeText(page, kShutterName, "Right Lamp");
    EXPECT_EQ(State().shutterNameEdited, 1);
    EXPECT_EQ(Stored("Shutter2", "Name"), "<absent>") << "not while typing";
    MoveFocusTo(host.get());
    EXPECT_EQ(Stored("Shutter2", "Name"), "Right Lamp");
    EXPECT_EQ(ShutterName(1), "Right Lamp");
    EXPECT_EQ(State().shutterNameEdited, 0);
    char name[60] = "";
    EXPECT_EQ(ShutterApi(driver).GetName(1, name), 0);
    EXPECT_STREQ(name, "Right Lamp");

    // Stored once: leaving the box again writes nothing new.
    driver.SetIni("Name", "Changed behind the page", "Shutter2");
    SetFocus(Control(page, kShutterName));
    MoveFocusTo(host.get());
    EXPECT_EQ(Stored("Shutter2", "Name"), "Changed behind the page");
}

TEST_F(ShutterPage, AnOverlongNameIsCutToTheField) {
    HWND page = ShowShutter(1);
    TypeText(page, kShutterName, std::string(100, 'N'));
    EXPECT_EQ(Text(page, kShutterName), std::string(60, 'N')) << "the box takes 60";
    MoveFocusTo(host.get());
    EXPECT_EQ(ShutterName(1), std::string(59, 'N'));
    EXPECT_EQ(Stored("Shutter2", "Name"), std::string(59, 'N'));
}

TEST_F(ShutterPage, AnUnconfiguredShutterGetsItsDefaults) {
    HWND page = ShowShutter(0);
    EXPECT_EQ(Text(page, kShutterTitle), "Shutter Number: 1");
    EXPECT_EQ(Text(page, kShutterName), "Shutter 1");
    EXPECT_EQ(Stored("Shutter1", "Name"), "Shutter 1");
    EXPECT_EQ(Stored("Shutter1", "ShutterNumber"), "0");
    EXPECT_EQ(config.Roster().shutters[0].configured, 1);
}

TEST_F(ShutterPage, ApplyDoesNothingAndCloseDestroysThePage) {
    HWND page = ShowShutter(1);
    TypeText(page, kShutterName, "Pending");
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 1, 0, 2), 0);
    EXPECT_TRUE(IsWindow(page));
    EXPECT_EQ(Stored("Shutter2", "Name"), "<absent>");
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 1, 0, 0), 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(Page(), nullptr);
    EXPECT_EQ(pages.ShtrConfigure(host.get(), 1, 0, 0), 0) << "closing twice";
}

TEST_F(ShutterPage, SlotsOutsideTheRosterShowAPageThatStoresNothing) {
    const DeviceRosterTable before = config.Roster();
    for (int slot : {3, -1, 99, INT_MAX, INT_MIN}) {
        SCOPED_TRACE(slot);
        HWND page = ShowShutter(slot);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Text(page, kShutterTitle), "Shutter Number: " + std::to_string(slot + 1LL));
        EXPECT_EQ(Text(page, kShutterName), "");
        TypeText(page, kShutterName, "Nowhere");
        MoveFocusTo(host.get());
        EXPECT_EQ(State().shutterNameEdited, 0);
    }
    const DeviceRosterTable after = config.Roster();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0) << "the roster is untouched";
    for (const char* section : {"Shutter4", "Shutter0", "Shutter100"}) {
        EXPECT_EQ(Stored(section, "Name"), "<absent>") << section;
    }
}
