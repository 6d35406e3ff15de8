// The default configuration: the first time every device the host's hardware
// file gives the driver, later only the device whose page opens, and the
// write-back of the records.
#include <gtest/gtest.h>
#include "sets_api.h"
#include "config/device_kind.h"
#include <algorithm>
#include <cstring>

namespace {
const char kDefaultsNotice[] = "All components have been set up with a default configuration.\n"
                               "You will want to review the default configuration,\n"
                               "especially serial port settings and filter wheel positions.";

class DefaultConfig : public SetsTest {
  protected:
    void GiveToDriver(const std::string& section, const char* module = "STolvo32.dll") const {
        driver.SetFileKey("KROHW.INI", section.c_str(), "Module", module);
    }
    std::string Setting(const std::string& section, const std::string& key) const {
        return IniValue(driver.IniPath(), section, key);
    }
    std::string Stage(const std::string& key) const { return Setting("Tolvo Stage", key); }
    void FirstTimeAlreadyDone() const { driver.SetIni("DefaultAll", "0"); }
    std::vector<std::string> IniSections() const { return Sections(driver.IniPath()); }
};

std::string ShutterSection(int slot) {
    return "Shutter" + std::to_string(slot + 1);
}
std::string WheelSection(int slot) {
    return "FilterWheel" + std::to_string(slot + 1);
}
} // namespace

TEST_F(DefaultConfig, FirstTimeEveryDeviceTheHostGivesTheDriver) {
    GiveToDriver("Shutter1", "OtherDriver.dll");
    GiveToDriver("Shutter2");
    GiveToDriver("FilterWheel1", "stolvo32.DLL");
    GiveToDriver("FilterWheel2", "STolvo32");
    GiveToDriver("FilterWheel3");
    const DeviceRosterTable before = config.Roster();

    DialogAnswerer boxes;
    BoxLook look;
    boxes.Act([&](HWND box) {
        look = LookAt(box);
        return IDOK;
    });
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 0);

    EXPECT_EQ(Setting("Shutter1", "ShutterNumber"), "0");
    EXPECT_EQ(Setting("Shutter1", "Name"), "Shutter 1");
    EXPECT_EQ(Setting("FilterWheel1", "Name"), "Filter Wheel 1");
    EXPECT_EQ(Setting("FilterWheel2", "Name"), "Filter Wheel 2");
    EXPECT_EQ(IniSections(), (std::vector<std::string>{"FilterWheel1", "FilterWheel2", "Shutter1",
                                                       "Tolvo Stage"}));
    EXPECT_EQ(SetKeys("Filter Wheel 1", 0, 11), Joined(Numbered("Position ", 1, 10), {"<absent>"}));
    EXPECT_EQ(SetKeys("Filter Wheel 2", 1, 10), Numbered("Position ", 1, 10));
    EXPECT_EQ(Sections(SetPath("Filter Wheel 2")), std::vector<std::string>{"FilterWheel2"});
    EXPECT_EQ(Stage("Port"), "0");
    EXPECT_EQ(Stage("BaudRate"), "9600");
    EXPECT_EQ(Stage("StopBits"), "2");
    EXPECT_EQ(Stage("Parity"), "0");
    EXPECT_EQ(Stage("DefaultAll"), "0");
    EXPECT_EQ(Stage("FocusStep"), "<absent>") << "the host keeps the focus";
    EXPECT_EQ(WrittenFiles(),
              (std::vector<std::string>{"Filter Wheel 1.TolvoFW", "Filter Wheel 2.TolvoFW",
                                        "KROHW.INI", "STolvo.INI"}));

    const DeviceRosterTable roster = config.Roster();
    EXPECT_STREQ(roster.shutters[0].name, "Shutter 1");
    EXPECT_EQ(roster.shutters[0].shutterNumber, 0);
    EXPECT_EQ(roster.shutters[0].configured, 1);
    EXPECT_EQ(std::memcmp(&roster.shutters[1], &before.shutters[1], sizeof roster.shutters[1]), 0);
    for (int slot : {0, 1}) {
        EXPECT_EQ(std::string(roster.wheels[slot].name),
                  "Filter Wheel " + std::to_string(slot + 1));
        EXPECT_EQ(roster.wheels[slot].valid, 1);
        EXPECT_EQ(PositionNames(roster.wheels[slot]), Numbered("Position ", 1, 10));
    }
    EXPECT_EQ(std::memcmp(&roster.wheels[2], &before.wheels[2], sizeof roster.wheels[2]), 0);
    const DriverSettingsRecord settings = config.Settings();
    EXPECT_EQ(settings.port, 0);
    EXPECT_EQ(settings.baudIndex, 0);
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_EQ(settings.stopBits, 2);
    EXPECT_EQ(settings.parity, 0);
    EXPECT_EQ(settings.focusStepIndex, -1);

    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Tolvo Configuration");
    EXPECT_EQ(boxes.seen()[0].text, kDefaultsNotice);
    EXPECT_EQ(look.owner, host.get());
    EXPECT_EQ(look.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(look.icon, SystemIcon(IDI_INFORMATION));
}

TEST_F(DefaultConfig, LaterOnlyThePagesDeviceAndSilently) {
    GiveToDriver("Shutter1");
    GiveToDriver("FilterWheel1");
    {
        DialogAnswerer boxes;
        boxes.Press(IDOK);
        sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
        ASSERT_EQ(boxes.seen().size(), 1u);
    }
    const std::vector<std::string> sectionsBefore = IniSections();
    const std::string stageBefore = Stage("Port") + Stage("BaudRate") + Stage("StopBits");

    DialogAnswerer boxes;
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 2);
    EXPECT_EQ(Setting("Shutter3", "Name"), "Shutter 3");
    EXPECT_EQ(Setting("Shutter3", "ShutterNumber"), "2");
    EXPECT_EQ(Setting("Shutter2", "Name"), "<absent>") << "the host file is not asked";
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 4);
    EXPECT_EQ(Setting("FilterWheel5", "Name"), "Filter Wheel 5");
    EXPECT_EQ(SetKeys("Filter Wheel 5", 4, 10), Numbered("Position ", 1, 10));
    EXPECT_EQ(Sections(SetPath("Filter Wheel 5")), std::vector<std::string>{"FilterWheel5"});
    EXPECT_EQ(Stage("FocusStep"), "<absent>");
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FOCUS, 0);
    EXPECT_EQ(Stage("FocusStep"), "2");
    EXPECT_DOUBLE_EQ(config.Settings().zStep, 0.5);

    EXPECT_EQ(IniSections(), Sorted(Joined(sectionsBefore, {"FilterWheel5", "Shutter3"})));
    EXPECT_EQ(Stage("Port") + Stage("BaudRate") + Stage("StopBits"), stageBefore);
    EXPECT_EQ(Stage("DefaultAll"), "0");
    EXPECT_TRUE(boxes.seen().empty()) << "the notice comes once";
    EXPECT_EQ(WrittenFiles(),
              (std::vector<std::string>{"Filter Wheel 1.TolvoFW", "Filter Wheel 5.TolvoFW",
                                        "KROHW.INI", "STolvo.INI"}));
}

TEST_F(DefaultConfig, FocusTheHostGivesTheDriverGetsItsStepTheFirstTime) {
    GiveToDriver("Focus");
    DialogAnswerer boxes;
    boxes.Press(IDOK);
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
    EXPECT_EQ(Stage("FocusStep"), "2");
    EXPECT_EQ(config.Settings().focusStepIndex, 2);
    EXPECT_DOUBLE_EQ(config.Settings().zStep, 0.5);
}

TEST_F(DefaultConfig, WithoutAHostFileOnlyTheSerialLineIsDefaulted) {
    const DeviceRosterTable before = config.Roster();
    DialogAnswerer boxes;
    boxes.Press(IDOK);
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
    EXPECT_EQ(IniSections(), std::vector<std::string>{"Tolvo Stage"});
    EXPECT_EQ(Stage("Port"), "0");
    EXPECT_EQ(Stage("StopBits"), "2");
    EXPECT_EQ(Stage("DefaultAll"), "0");
    const DeviceRosterTable after = config.Roster();
    EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, kDefaultsNotice);
}

TEST(DefaultConfigSlots, TheFirstTimeTakesTheFirstFiveHostShuttersAndSaysSo) {
    const struct {
        const char* label;
        std::vector<int> hostShutters; // host device numbers naming the driver
        int slots;
        bool lineSet = false; // a port in memory: the serial line needs no default
    } cases[] = {
        {"the sixth only", {6}, 0},     {"four", {1, 2, 3, 4}, 3},
        {"five", {1, 2, 3, 4, 5}, 3},   {"second, fourth, fifth", {2, 4, 5}, 3},
        {"fifth and sixth", {5, 6}, 1}, {"nothing to default", {}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LoadedDriver driver{"STolvo32Probe.dll"};
        ConfigProbe config{driver};
        SetsProbe sets{driver};
        HostWindow host;
        for (int number : c.hostShutters) {
            driver.SetFileKey("KROHW.INI", ("Shutter" + std::to_string(number)).c_str(), "Module",
                              "STolvo32.dll");
        }
        if (c.lineSet) {
            DriverSettingsRecord settings = config.Settings();
            settings.port = 0;
            config.SetSettings(&settings);
        }
        DialogAnswerer boxes;
        boxes.Press(IDOK);
        sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
        ASSERT_EQ(boxes.seen().size(), 1u) << "the first time says so, whatever it changed";
        EXPECT_EQ(boxes.seen()[0].text, kDefaultsNotice);
        EXPECT_EQ(IniValue(driver.IniPath(), "Tolvo Stage", "Port"), c.lineSet ? "<absent>" : "0");
        const DeviceRosterTable roster = config.Roster();
        for (int slot = 0; slot < kShutterSlots; ++slot) {
            const bool reached = slot < c.slots;
            EXPECT_EQ(IniValue(driver.IniPath(), ShutterSection(slot), "Name"),
                      reached ? "Shutter " + std::to_string(slot + 1) : "<absent>")
                << slot;
            EXPECT_EQ(roster.shutters[slot].shutterNumber, reached ? slot : -1) << slot;
            EXPECT_EQ(roster.shutters[slot].configured, reached ? 1 : 0) << slot;
        }
        EXPECT_EQ(IniValue(driver.IniPath(), "Shutter4", "Name"), "<absent>");
    }
}

TEST_F(DefaultConfig, FiveHostWheelsTakeFiveSlots) {
    for (int number = 1; number <= 6; ++number) {
        GiveToDriver(WheelSection(number - 1));
    }
    DialogAnswerer boxes;
    boxes.Press(IDOK);
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 0);
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(Setting(WheelSection(slot), "Name"), "Filter Wheel " + std::to_string(slot + 1));
    }
    EXPECT_EQ(Setting(WheelSection(5), "Name"), "<absent>");
}

TEST_F(DefaultConfig, ASetPortMakesTheSerialLineCallChangeNothing) {
    FirstTimeAlreadyDone();
    driver.SetIni("Port", "3");
    DriverSettingsRecord settings = config.Settings();
    settings.port = 2;
    settings.stopBits = 1;
    config.SetSettings(&settings);
    const std::string before = driver.IniFileText();

    DialogAnswerer boxes;
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SERIAL_LINE, 0);
    EXPECT_EQ(driver.IniFileText(), before);
    const DriverSettingsRecord after = config.Settings();
    EXPECT_EQ(std::memcmp(&after, &settings, sizeof after), 0);
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(DefaultConfig, AnUnsetPortIsDefaultedByTheSerialLineCall) {
    FirstTimeAlreadyDone();
    GiveToDriver("Shutter1");
    DialogAnswerer boxes;
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SERIAL_LINE, 0);
    EXPECT_EQ(Stage("Port"), "0");
    EXPECT_EQ(Stage("BaudRate"), "9600");
    EXPECT_EQ(Stage("StopBits"), "2");
    EXPECT_EQ(Stage("Parity"), "0");
    EXPECT_EQ(IniSections(), std::vector<std::string>{"Tolvo Stage"}) << "no device record";
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(DefaultConfig, AConfiguredShutterKeepsItsRecord) {
    GiveToDriver("Shutter1");
    GiveToDriver("Shutter2");
    EditRoster([](DeviceRosterTable& r) {
        std::strcpy(r.shutters[0].name, "Main");
        r.shutters[0].shutterNumber = 5;
        r.shutters[0].configured = 1;
        std::strcpy(r.shutters[1].name, "Named");
        r.shutters[1].shutterNumber = -1;
        r.shutters[1].configured = 0;
    });
    DialogAnswerer boxes;
    boxes.Press(IDOK);
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
    EXPECT_EQ(Setting("Shutter1", "Name"), "Main");
    EXPECT_EQ(Setting("Shutter1", "ShutterNumber"), "5");
    EXPECT_EQ(Setting("Shutter2", "Name"), "Named") << "a name of the user's stays";
    EXPECT_EQ(Setting("Shutter2", "ShutterNumber"), "1");
    const DeviceRosterTable roster = config.Roster();
    EXPECT_STREQ(roster.shutters[0].name, "Main");
    EXPECT_EQ(roster.shutters[0].shutterNumber, 5);
    EXPECT_STREQ(roster.shutters[1].name, "Named");
    EXPECT_EQ(roster.shutters[1].configured, 1);
}

// The defaults judge what the file holds, also for devices whose records the
// module has not loaded (no ShtrInit or FWInit since it was loaded), and fill
// only what the file lacks. Each case is a fresh driver with files only; keys
// are "section/key=value" of STolvo.INI, "Stage" for "Tolvo Stage".
TEST(DefaultConfigFromTheFile, StoredRecordsAreReadBeforeTheDefaultsJudgeThem) {
    using Keys = std::vector<std::string>;
    const struct {
        const char* label;
        int kind;
        int slot;
        Keys stored; // each stays as it is
        Keys filled; // what the defaults add
    } cases[] = {
        {"an old file without DefaultAll", STOLVO_KIND_SHUTTER, 0,
         Keys{"Stage/Port=2", "Stage/BaudRate=2400", "Stage/StopBits=1", "Stage/Parity=1",
              "Stage/FocusStep=3", "Shutter1/Name=Epi", "Shutter1/ShutterNumber=0",
              "Shutter2/Name=Trans", "Shutter2/ShutterNumber=1", "FilterWheel1/Name=Dapi Set"},
         Keys{"Stage/DefaultAll=0", "FilterWheel2/Name=Filter Wheel 2"}},
        {"partial records", STOLVO_KIND_SHUTTER, 0,
         Keys{"Stage/BaudRate=2400", "Shutter1/Name=Epi", "Shutter2/ShutterNumber=1"},
         Keys{"Stage/Port=0", "Stage/StopBits=2", "Stage/Parity=0", "Stage/FocusStep=2",
              "Shutter1/ShutterNumber=0", "Shutter2/Name=Shutter 2",
              "FilterWheel1/Name=Filter Wheel 1"}},
        {"a later shutter page", STOLVO_KIND_SHUTTER, 1,
         Keys{"Stage/DefaultAll=0", "Shutter2/Name=Epi", "Shutter2/ShutterNumber=1"}, Keys{}},
        {"a later wheel page", STOLVO_KIND_FILTER_WHEEL, 0,
         Keys{"Stage/DefaultAll=0", "FilterWheel1/Name=Dapi Set", "FilterWheel1/NumberPositions=6"},
         Keys{}},
        {"a later serial line", STOLVO_KIND_SERIAL_LINE, 0,
         Keys{"Stage/DefaultAll=0", "Stage/Port=2", "Stage/BaudRate=600"},
         Keys{"Stage/StopBits=<absent>"}},
        {"a later focus page", STOLVO_KIND_FOCUS, 0,
         Keys{"Stage/DefaultAll=0", "Stage/FocusStep=3"}, Keys{}},
    };
    struct Entry {
        std::string section, key, value;
    };
    const auto parse = [](const std::string& line) {
        const size_t slash = line.find('/');
        const size_t equals = line.find('=');
        const std::string section = line.substr(0, slash);
        return Entry{section == "Stage" ? "Tolvo Stage" : section,
                     line.substr(slash + 1, equals - slash - 1), line.substr(equals + 1)};
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        LoadedDriver driver{"STolvo32Probe.dll"};
        SetsProbe sets{driver};
        HostWindow host;
        for (const char* section :
             {"Shutter1", "Shutter2", "FilterWheel1", "FilterWheel2", "Focus"}) {
            driver.SetFileKey("KROHW.INI", section, "Module", "STolvo32.dll");
        }
        for (const std::string& line : c.stored) {
            const Entry e = parse(line);
            driver.SetIni(e.key.c_str(), e.value.c_str(), e.section.c_str());
        }
        // The stored wheel's set: names of the user's for positions 1 to 6 but
        // the fourth; only what the set lacks may be filled.
        for (int p : {1, 2, 3, 5, 6}) {
            driver.SetFileKey("Dapi Set.TolvoFW", "FilterWheel1",
                              ("Position" + std::to_string(p) + "Name").c_str(),
                              ("Dapi " + std::to_string(p)).c_str());
        }
        DialogAnswerer boxes;
        boxes.Press(IDOK);
        sets.ApplyDefaults(host.get(), c.kind, c.slot);
        for (const Keys* keys : {&c.stored, &c.filled}) {
            for (const std::string& line : *keys) {
                const Entry e = parse(line);
                EXPECT_EQ(IniValue(driver.IniPath(), e.section, e.key), e.value) << line;
            }
        }
        EXPECT_EQ(IniValue(driver.IniPath(), "Tolvo Stage", "StageStep"), "<absent>");
        const bool first =
            std::find(c.stored.begin(), c.stored.end(), "Stage/DefaultAll=0") == c.stored.end();
        const bool wheelJudged = IniValue(driver.IniPath(), "FilterWheel1", "Name") == "Dapi Set" &&
                                 (first || c.kind == STOLVO_KIND_FILTER_WHEEL);
        const std::string set = DriverFilePath(driver, "Dapi Set.TolvoFW");
        for (int p = 1; p <= (c.kind == STOLVO_KIND_FILTER_WHEEL ? 6 : 10); ++p) {
            EXPECT_EQ(IniValue(set, "FilterWheel1", "Position" + std::to_string(p) + "Name"),
                      p != 4 && p <= 6 ? "Dapi " + std::to_string(p)
                      : wheelJudged    ? "Position " + std::to_string(p)
                                       : "<absent>")
                << p;
        }
        EXPECT_EQ(boxes.seen().size(), first ? 1u : 0u) << "the notice the first time only";
    }
}

TEST_F(DefaultConfig, ANamedWheelKeepsItsNameAndGetsItsMissingPositions) {
    GiveToDriver("FilterWheel1");
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Mine", 10, "P");
        for (int p = 3; p < kMaxWheelPositions; ++p) {
            r.wheels[0].positionNames[p][0] = '\0';
        }
    });
    DialogAnswerer boxes;
    boxes.Press(IDOK);
    sets.ApplyDefaults(host.get(), STOLVO_KIND_SHUTTER, 0);
    const std::vector<std::string> names =
        Joined(Numbered("P", 1, 3), Numbered("Position ", 4, 10));
    EXPECT_EQ(PositionNames(config.Roster().wheels[0]), names);
    EXPECT_EQ(Setting("FilterWheel1", "Name"), "Mine");
    EXPECT_EQ(SetKeys("Mine", 0, 10), names);
}

TEST_F(DefaultConfig, APickOfSixOrTenPositions) {
    FirstTimeAlreadyDone();
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[1], "Picked", 6, "N");
        for (int p = 6; p < kMaxWheelPositions; ++p) {
            r.wheels[1].positionNames[p][0] = '\0';
        }
    });
    const std::string before = driver.IniFileText();
    DialogAnswerer boxes;
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 1);
    EXPECT_EQ(driver.IniFileText(), before) << "six names in use, none missing";
    EXPECT_EQ(WrittenFiles(), std::vector<std::string>{"STolvo.INI"});

    EditRoster([](DeviceRosterTable& r) { r.wheels[1].positionCount = 10; });
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 1);
    const std::vector<std::string> names =
        Joined(Numbered("N", 1, 6), Numbered("Position ", 7, 10));
    EXPECT_EQ(PositionNames(config.Roster().wheels[1]), names);
    EXPECT_EQ(SetKeys("Picked", 1, 10), names);
    EXPECT_EQ(Setting("FilterWheel2", "Name"), "Picked");
    EXPECT_EQ(config.Roster().wheels[1].valid, 1);
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(DefaultConfig, AnArchivedSetAnsweredNoStaysAndLeavesTheWheelInvalid) {
    FirstTimeAlreadyDone();
    WriteDriverFile(driver, "Picked.TolvoFW", SetSectionText(2, 6, "N"));
    SetFileAttributesA(SetPath("Picked").c_str(), FILE_ATTRIBUTE_READONLY);
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[1], "Picked", 10, "N");
        r.wheels[1].positionNames[9][0] = '\0';
        r.wheels[1].valid = 1;
    });
    DialogAnswerer boxes;
    BoxLook look;
    boxes.Act([&](HWND box) {
        look = LookAt(box);
        return IDNO;
    });
    sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 1);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].caption, "Saving Filter Wheel Set");
    EXPECT_EQ(look.owner, host.get());
    EXPECT_EQ(config.Roster().wheels[1].valid, 0);
    EXPECT_EQ(ReadDriverFile(driver, "Picked.TolvoFW"), SetSectionText(2, 6, "N"));
    EXPECT_TRUE(IsReadOnly(SetPath("Picked")));
    EXPECT_EQ(Setting("FilterWheel2", "Name"), "Picked") << "the record is written before the set";
}

TEST_F(DefaultConfig, StoringOneShutterWritesOnlyItsRecord) {
    EditRoster([](DeviceRosterTable& r) {
        std::strcpy(r.shutters[1].name, "Side");
        r.shutters[1].shutterNumber = -1;
        r.shutters[1].configured = 1;
        std::strcpy(r.shutters[2].name, "Other");
    });
    sets.StoreDeviceRecords(host.get(), STOLVO_KIND_SHUTTER, 1);
    EXPECT_EQ(IniSections(), std::vector<std::string>{"Shutter2"});
    EXPECT_EQ(Setting("Shutter2", "ShutterNumber"), "-1");
    EXPECT_EQ(Setting("Shutter2", "Name"), "Side");
    EXPECT_EQ(config.Roster().shutters[1].configured, 0) << "no number, not configured";
    for (int slot : {-1, 3, 10, 100}) {
        sets.StoreDeviceRecords(host.get(), STOLVO_KIND_SHUTTER, slot);
    }
    for (int slot : {-1, 10, 100}) {
        sets.StoreDeviceRecords(host.get(), STOLVO_KIND_FILTER_WHEEL, slot);
    }
    EXPECT_EQ(IniSections(), std::vector<std::string>{"Shutter2"}) << "slots outside the roster";
}
