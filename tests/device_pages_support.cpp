#include "device_pages_api.h"

const char* const kCaption = "Tolvo Configuration";
const char* const kDefaultsNotice =
    "All components have been set up with a default configuration.\nYou will want to review "
    "the default configuration,\nespecially serial port settings and filter wheel positions.";
const char* const kDropChangesQuestion =
    "Your filter wheel configuration has changed, but you have not saved it using the 'Save' "
    "button.\nContinue, losing the changes?";
const char* const kSaveNowQuestion =
    "Your filter set configuration has changed, but you have not saved it using the 'Save' "
    "button.\nWould you like to Save now?";

DevicePageTest::DevicePageTest(bool freshSettings) {
    if (!freshSettings) {
        driver.SetIni("DefaultAll", "0");
    }
}

void DevicePageTest::TearDown() {
    if (!questionsChecked) {
        return;
    }
    for (const SeenDialog& seen : boxes.seen()) {
        EXPECT_TRUE(seen.expected) << "unexpected: " << seen.caption << ": " << seen.text;
    }
    EXPECT_EQ(boxes.waiting(), 0u) << "an expected question never came";
}

DevicePageState DevicePageTest::State() const {
    DevicePageState state{};
    driver.Fn<decltype(&ProbeDevicePageState)>("ProbeDevicePageState")(&state);
    return state;
}

HWND DevicePageTest::ShowShutter(int slot, int top) {
    EXPECT_EQ(pages.ShtrConfigure(host.get(), slot, top, 1), 0);
    return Page();
}

HWND DevicePageTest::ShowWheel(int slot, int top) {
    EXPECT_EQ(pages.FWConfigure(host.get(), slot, top, 1), 0);
    return Page();
}

HWND DevicePageTest::ShowFocus(int top) {
    GiveFocusToDriver();
    EXPECT_EQ(pages.ZConfigure(host.get(), top, 1), 0);
    return Page();
}

void DevicePageTest::GiveFocusToDriver() const {
    driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
}

void DevicePageTest::EditRoster(const std::function<void(DeviceRosterTable&)>& edit) const {
    DeviceRosterTable roster = config.Roster();
    edit(roster);
    config.SetRoster(&roster);
}

void DevicePageTest::GiveWheel(int slot, const char* set, int count,
                               const std::string& prefix) const {
    EditRoster([&](DeviceRosterTable& r) {
        NameWheel(r.wheels[slot], set, count, prefix);
        r.wheels[slot].valid = 1;
        if (r.wheelCount <= slot) {
            r.wheelCount = slot + 1;
        }
    });
    WriteSet(set, slot, count, prefix);
}

void DevicePageTest::WriteSet(const std::string& set, int slot, int names,
                              const std::string& prefix) const {
    for (int p = 1; p <= names; ++p) {
        driver.SetFileKey((set + ".TolvoFW").c_str(),
                          ("FilterWheel" + std::to_string(slot + 1)).c_str(),
                          ("Position" + std::to_string(p) + "Name").c_str(),
                          (prefix + std::to_string(p)).c_str());
    }
}

std::string DevicePageTest::SetPath(const std::string& set) const {
    return DriverFilePath(driver, set + ".TolvoFW");
}

std::vector<std::string> DevicePageTest::SetKeys(const std::string& set, int slot,
                                                 int count) const {
    std::vector<std::string> values;
    for (int p = 1; p <= count; ++p) {
        values.push_back(IniValue(SetPath(set), "FilterWheel" + std::to_string(slot + 1),
                                  "Position" + std::to_string(p) + "Name"));
    }
    return values;
}

std::string DevicePageTest::Stored(const std::string& section, const std::string& key) const {
    return IniValue(driver.IniPath(), section, key);
}

int DevicePageTest::EntryIndex(HWND page, int id, const std::string& text) const {
    const std::vector<std::string> entries = Entries(page, id);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TurningWheelTest::SetUp() {
    Sim().Reset();
    driver.SetIni("Port", "0");
    driver.SetIni("Name", "Filters", "FilterWheel1");
    WriteSet("Filters", 0, 10, "F");
    ASSERT_EQ(wheels.GetInstance(0), 0);
    ASSERT_EQ(wheels.Init(0, nullptr), 0);
    Sim().JournalClear();
}
