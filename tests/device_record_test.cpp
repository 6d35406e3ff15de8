// The device records of STolvo.INI as LoadDeviceRecord reads them into the
// roster and the driver settings.
#include <gtest/gtest.h>
#include "config_api.h"
#include "config/device_kind.h"
#include <climits>
#include <cstddef>
#include <cstring>

namespace {
class DeviceRecordTest : public ::testing::Test {
  protected:
    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
};

// Every byte of the roster set to something a load would never write.
DeviceRosterTable SentinelRoster() {
    DeviceRosterTable roster;
    std::memset(&roster, 0x5A, sizeof roster);
    return roster;
}

bool SameRoster(const DeviceRosterTable& a, const DeviceRosterTable& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Settings no file would give, to see which fields a load leaves alone.
DriverSettingsRecord SentinelSettings() {
    DriverSettingsRecord s{};
    s.port = 77;
    s.baudRate = 1234;
    s.baudIndex = 9;
    s.stopBits = 7;
    s.parity = 8;
    s.stageStepIndex = 55;
    s.focusStepIndex = 66;
    s.xyStep = 3.25;
    s.zStep = 7.25;
    s.userXYStep = 11.5;
    s.userZStep = 12.5;
    s.xyStepChoices = 6;
    s.zStepChoices = 4;
    s.canAutoFocus = 5;
    s.hasJoystick = 6;
    s.timeOut = 4321;
    return s;
}

std::string Repeat(char c, size_t count) {
    return std::string(count, c);
}
} // namespace

TEST_F(DeviceRecordTest, ShutterConfiguredNeedsNameAndNumber) {
    const struct {
        const char* name;   // nullptr: no key
        const char* number; // nullptr: no key
        const char* expectedName;
        int expectedNumber;
        int configured;
    } cases[] = {
        {"Main", nullptr, "Main", -1, 0}, {"Main", "0", "Main", 0, 1},
        {"Main", "2", "Main", 2, 1},      {"Main", "-1", "Main", -1, 0},
        {nullptr, "2", "", 2, 0},         {"", "1", "", 1, 0},
        {nullptr, nullptr, "", -1, 0},    {"  Lamp side  ", "1", "Lamp side", 1, 1},
    };
    for (const auto& c : cases) {
        WriteDriverFile(driver, "STolvo.INI", "");
        if (c.name != nullptr) {
            driver.SetIni("Name", c.name, "Shutter1");
        }
        if (c.number != nullptr) {
            driver.SetIni("ShutterNumber", c.number, "Shutter1");
        }
        DeviceRosterTable roster = probe.Roster();
        std::strcpy(roster.shutters[0].name, "stale");
        roster.shutters[0].shutterNumber = 42;
        roster.shutters[0].configured = c.configured == 0 ? 1 : 0;
        roster.shutters[0].openState = 3;
        probe.SetRoster(&roster);

        probe.LoadDeviceRecord(0, STOLVO_KIND_SHUTTER);

        const ShutterEntry& shutter = probe.Roster().shutters[0];
        const std::string label = std::string("name ") + (c.name ? c.name : "(none)") +
                                  ", number " + (c.number ? c.number : "(none)");
        EXPECT_STREQ(shutter.name, c.expectedName) << label;
        EXPECT_EQ(shutter.shutterNumber, c.expectedNumber) << label;
        EXPECT_EQ(shutter.configured, c.configured) << label;
        EXPECT_EQ(shutter.openState, 3) << label;
    }
}

TEST_F(DeviceRecordTest, EachShutterSlotReadsItsOwnSection) {
    WriteDriverFile(driver, "STolvo.INI",
                    "[Shutter0]\r\nName=zero\r\nShutterNumber=9\r\n"
                    "[Shutter1]\r\nName=one\r\nShutterNumber=1\r\n"
                    "[Shutter2]\r\nName=two\r\nShutterNumber=2\r\n"
                    "[Shutter3]\r\nName=three\r\nShutterNumber=3\r\n"
                    "[Shutter4]\r\nName=four\r\nShutterNumber=4\r\n");
    const DeviceRosterTable before = probe.Roster();
    for (int slot = 0; slot < kShutterSlots; ++slot) {
        probe.LoadDeviceRecord(slot, STOLVO_KIND_SHUTTER);
    }
    const DeviceRosterTable after = probe.Roster();
    const char* names[] = {"one", "two", "three"};
    for (int slot = 0; slot < kShutterSlots; ++slot) {
        EXPECT_STREQ(after.shutters[slot].name, names[slot]) << slot;
        EXPECT_EQ(after.shutters[slot].shutterNumber, slot + 1) << slot;
        EXPECT_EQ(after.shutters[slot].configured, 1) << slot;
    }
    EXPECT_EQ(std::memcmp(&after.wheelCount, &before.wheelCount,
                          sizeof before - offsetof(DeviceRosterTable, wheelCount)),
              0)
        << "the wheels are not touched";
}

TEST_F(DeviceRecordTest, LongNamesAreCutTo59Characters) {
    const std::string longName = Repeat('a', 58) + "bcdefgh" + Repeat('z', 200);
    driver.SetIni("Name", longName.c_str(), "Shutter3");
    driver.SetIni("ShutterNumber", "1", "Shutter3");
    driver.SetIni("Name", longName.c_str(), "FilterWheel10");

    DeviceRosterTable roster = SentinelRoster();
    probe.SetRoster(&roster);
    probe.LoadDeviceRecord(2, STOLVO_KIND_SHUTTER);
    probe.LoadDeviceRecord(9, STOLVO_KIND_FILTER_WHEEL);

    const DeviceRosterTable after = probe.Roster();
    const std::string expected = Repeat('a', 58) + "b";
    EXPECT_EQ(std::string(after.shutters[2].name), expected);
    EXPECT_EQ(std::string(after.wheels[9].name), expected);
    EXPECT_EQ(after.shutters[2].configured, 1);
    EXPECT_EQ(after.wheels[9].valid, 0) << "there is no set of that name";
    EXPECT_EQ(after.wheelCount, roster.wheelCount);
}

TEST_F(DeviceRecordTest, SlotsOutsideTheRosterDoNothing) {
    // Sections a wrong slot number would reach, and a set it would load.
    std::string ini;
    for (int number : {-2, -1, 0, 4, 5, 11, 12}) {
        ini += "[Shutter" + std::to_string(number) + "]\r\nName=wrong\r\nShutterNumber=1\r\n";
        ini += "[FilterWheel" + std::to_string(number) + "]\r\nName=Wrong\r\n";
    }
    WriteDriverFile(driver, "STolvo.INI", ini);
    std::string set;
    for (int number : {-2, -1, 0, 11, 12}) {
        set += "[FilterWheel" + std::to_string(number) + "]\r\n";
        for (int p = 1; p <= 10; ++p) {
            set += "Position" + std::to_string(p) + "Name=wrong\r\n";
        }
    }
    WriteDriverFile(driver, "Wrong.TolvoFW", set);

    DeviceRosterTable roster = SentinelRoster();
    for (WheelEntry& wheel : roster.wheels) {
        std::strcpy(wheel.name, "Wrong");
        wheel.positionCount = 10;
    }
    probe.SetRoster(&roster);
    const struct {
        int slot;
        int kind;
    } cases[] = {
        {-1, 1}, {3, 1},  {4, 1},  {INT_MAX, 1}, {INT_MIN, 1}, {-1, 2},
        {10, 2}, {11, 2}, {-2, 2}, {INT_MAX, 2}, {INT_MIN, 2}, {-2, 1},
    };
    for (const auto& c : cases) {
        probe.LoadDeviceRecord(c.slot, c.kind);
        EXPECT_TRUE(SameRoster(probe.Roster(), roster)) << "slot " << c.slot << " kind " << c.kind;
    }
    EXPECT_EQ(ReadDriverFile(driver, "STolvo.INI"), ini) << "nothing is written";
}

TEST_F(DeviceRecordTest, OtherKindsDoNothing) {
    WriteDriverFile(driver, "STolvo.INI",
                    "[Tolvo Stage]\r\nPort=3\r\nBaudRate=600\r\nStopBits=1\r\nParity=2\r\n"
                    "FocusStep=1\r\ndUserDefinedZStepSize=0.2\r\nTimeOut=99\r\n"
                    "[Shutter1]\r\nName=one\r\nShutterNumber=1\r\n"
                    "[FilterWheel1]\r\nName=Set\r\n");
    const DeviceRosterTable roster = SentinelRoster();
    probe.SetRoster(&roster);
    const DriverSettingsRecord settings = SentinelSettings();
    probe.SetSettings(&settings);
    for (int kind : {0, 3, 4, 5, 6, 7, 9, 99, 101, -1, INT_MIN, INT_MAX}) {
        probe.LoadDeviceRecord(0, kind);
        EXPECT_TRUE(SameRoster(probe.Roster(), roster)) << kind;
        const DriverSettingsRecord after = probe.Settings();
        EXPECT_EQ(std::memcmp(&after, &settings, sizeof after), 0) << kind;
    }
    EXPECT_DOUBLE_EQ(probe.ZStepSlot(4), 0.0);
}

TEST_F(DeviceRecordTest, WheelLoadsItsSetWhenNamed) {
    driver.SetIni("Name", "Fluo", "FilterWheel2");
    driver.SetIni("NumberPositions", "7", "FilterWheel2");
    std::string set = "[FilterWheel2]\r\n";
    for (int p = 1; p <= 10; ++p) {
        set += "Position" + std::to_string(p) + "Name=F" + std::to_string(p) + "\r\n";
    }
    WriteDriverFile(driver, "Fluo.TolvoFW", set);

    probe.LoadDeviceRecord(1, STOLVO_KIND_FILTER_WHEEL);
    DeviceRosterTable roster = probe.Roster();
    const WheelEntry& wheel = roster.wheels[1];
    EXPECT_STREQ(wheel.name, "Fluo");
    EXPECT_EQ(wheel.valid, 1);
    EXPECT_EQ(wheel.positionCount, 10) << "a NumberPositions other than 6, 8 or 10 is not taken";
    EXPECT_STREQ(wheel.positionNames[0], "F1");
    EXPECT_STREQ(wheel.positionNames[9], "F10");

    // A set that lost a name fails and the wheel is no longer valid.
    WriteDriverFile(driver, "Fluo.TolvoFW", "[FilterWheel2]\r\nPosition1Name=G1\r\n");
    probe.LoadDeviceRecord(1, STOLVO_KIND_FILTER_WHEEL);
    roster = probe.Roster();
    EXPECT_EQ(roster.wheels[1].valid, 0);
    EXPECT_STREQ(roster.wheels[1].positionNames[0], "G1");
    EXPECT_STREQ(roster.wheels[1].positionNames[1], "F2");
}

TEST_F(DeviceRecordTest, WheelWithoutNameKeepsValid) {
    driver.SetIni("Other", "x", "FilterWheel1");
    for (int valid : {0, 1}) {
        DeviceRosterTable roster = probe.Roster();
        std::strcpy(roster.wheels[0].name, "Before");
        std::strcpy(roster.wheels[0].positionNames[0], "kept");
        roster.wheels[0].valid = valid;
        probe.SetRoster(&roster);
        probe.LoadDeviceRecord(0, STOLVO_KIND_FILTER_WHEEL);
        const DeviceRosterTable after = probe.Roster();
        EXPECT_STREQ(after.wheels[0].name, "") << "the name is read even when empty";
        EXPECT_EQ(after.wheels[0].valid, valid);
        EXPECT_STREQ(after.wheels[0].positionNames[0], "kept");
    }
    EXPECT_EQ(SectionKeys(ReadDriverFile(driver, "STolvo.INI"), "FilterWheel1"),
              std::vector<std::string>{"Other"})
        << "a wheel without a set writes nothing";
}

TEST_F(DeviceRecordTest, WheelWithMissingSetBecomesInvalid) {
    driver.SetIni("Name", "Nowhere", "FilterWheel1");
    DeviceRosterTable roster = probe.Roster();
    roster.wheels[0].valid = 1;
    probe.SetRoster(&roster);
    probe.LoadDeviceRecord(0, STOLVO_KIND_FILTER_WHEEL);
    EXPECT_EQ(probe.Roster().wheels[0].valid, 0);
    EXPECT_STREQ(probe.Roster().wheels[0].name, "Nowhere");
}

TEST_F(DeviceRecordTest, SerialLineKeysAndTheirDefaults) {
    const struct {
        const char* ini;
        int port, baudRate, baudIndex, stopBits, parity, timeOut, canAutoFocus;
    } cases[] = {
        {"", -1, 9600, 0, 2, 0, 60000, 1},
        {"Port=2\r\nBaudRate=600\r\nStopBits=1\r\nParity=2\r\nTimeOut=1500\r\nCanAutoFocus=0\r\n",
         2, 600, 2, 1, 2, 1500, 0},
        {"BaudRate=19200\r\n", -1, 9600, 0, 2, 0, 60000, 1},
        {"BaudRate=2400\r\nStopBits=2\r\n", -1, 2400, 1, 2, 0, 60000, 1},
        {"BaudRate=150\r\nPort=4\r\n", 4, 150, 3, 2, 0, 60000, 1},
        {"BaudRate=fast\r\nPort=0\r\n", 0, 9600, 0, 2, 0, 60000, 1},
    };
    for (const auto& c : cases) {
        WriteDriverFile(driver, "STolvo.INI",
                        std::string("[Tolvo Stage]\r\nStageStep=6\r\nFocusStep=4\r\n"
                                    "dUserDefinedXYStepSize=0.3\r\ndUserDefinedZStepSize=0.2\r\n"
                                    "HasJoystick=0\r\n") +
                            c.ini);
        const DriverSettingsRecord before = SentinelSettings();
        probe.SetSettings(&before);
        probe.LoadDeviceRecord(0, STOLVO_KIND_SERIAL_LINE);
        const DriverSettingsRecord s = probe.Settings();
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(s.port, c.port);
        EXPECT_EQ(s.baudRate, c.baudRate);
        EXPECT_EQ(s.baudIndex, c.baudIndex);
        EXPECT_EQ(s.stopBits, c.stopBits);
        EXPECT_EQ(s.parity, c.parity);
        EXPECT_EQ(s.timeOut, c.timeOut);
        EXPECT_EQ(s.canAutoFocus, c.canAutoFocus);
        // The step sizes and the joystick flag are not this record's.
        EXPECT_EQ(s.stageStepIndex, before.stageStepIndex);
        EXPECT_EQ(s.focusStepIndex, before.focusStepIndex);
        EXPECT_EQ(s.xyStep, before.xyStep);
        EXPECT_EQ(s.zStep, before.zStep);
        EXPECT_EQ(s.userXYStep, before.userXYStep);
        EXPECT_EQ(s.userZStep, before.userZStep);
        EXPECT_EQ(s.xyStepChoices, before.xyStepChoices);
        EXPECT_EQ(s.zStepChoices, before.zStepChoices);
        EXPECT_EQ(s.hasJoystick, before.hasJoystick);
        EXPECT_DOUBLE_EQ(probe.ZStepSlot(4), 0.0);
    }
    EXPECT_FALSE(ReadDriverFile(driver, "STolvo.INI").empty());
}

TEST(FocusRecordTest, UserSizeIsOfferedWhateverTheChoice) {
    const double kUnchanged = 7.25;
    const struct {
        const char* ini;
        int focusStepIndex;
        double userZStep;
        double tableSlot4;
        int zStepChoices;
        double zStep;
    } cases[] = {
        {"dUserDefinedZStepSize=0.2\r\n", -1, 0.2, 0.2, 5, kUnchanged},
        {"", -1, -1.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=0.2\r\n", 4, 0.2, 0.2, 5, 0.2},
        {"FocusStep=1\r\n", 1, -1.0, 0.0, 4, 0.1},
        {"FocusStep=1\r\ndUserDefinedZStepSize=0.2\r\n", 1, 0.2, 0.2, 5, 0.1},
        {"FocusStep=0\r\n", 0, -1.0, 0.0, 4, 0.05},
        {"FocusStep=3\r\n", 3, -1.0, 0.0, 4, 1.0},
        {"FocusStep=4\r\n", 4, -1.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=-1.0\r\n", 4, -1.0, 0.0, 4, kUnchanged},
        {"FocusStep=5\r\ndUserDefinedZStepSize=0.2\r\n", 5, 0.2, 0.2, 5, kUnchanged},
        {"FocusStep=-3\r\n", -3, -1.0, 0.0, 4, kUnchanged},
        {"FocusStep=2147483647\r\ndUserDefinedZStepSize=0.2\r\n", INT_MAX, 0.2, 0.2, 5, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=0.07um\r\n", 4, 0.07, 0.07, 5, 0.07},
        // A stored size that is not a positive decimal number is not offered.
        {"FocusStep=4\r\ndUserDefinedZStepSize=none\r\n", 4, 0.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=0\r\n", 4, 0.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=-0.2\r\n", 4, -0.2, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=nan\r\n", 4, 0.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=inf\r\n", 4, 0.0, 0.0, 4, kUnchanged},
        {"FocusStep=4\r\ndUserDefinedZStepSize=0x10\r\n", 4, 0.0, 0.0, 4, kUnchanged},
        // At most 14 characters of the size are read.
        {"FocusStep=2\r\ndUserDefinedZStepSize=0.12345678901234567\r\n", 2, 0.123456789012,
         0.123456789012, 5, 0.5},
    };
    for (const auto& c : cases) {
        // A fresh driver each time: the table slot and the choices persist.
        LoadedDriver driver{"STolvo32Probe.dll"};
        ConfigProbe probe{driver};
        WriteDriverFile(driver, "STolvo.INI",
                        std::string("[Tolvo Stage]\r\nPort=2\r\nStageStep=6\r\n"
                                    "dUserDefinedXYStepSize=0.3\r\nStopBits=1\r\n") +
                            c.ini);
        DriverSettingsRecord before = SentinelSettings();
        before.zStep = kUnchanged;
        probe.SetSettings(&before);
        probe.LoadDeviceRecord(0, STOLVO_KIND_FOCUS);
        const DriverSettingsRecord s = probe.Settings();
        SCOPED_TRACE(c.ini);
        EXPECT_EQ(s.focusStepIndex, c.focusStepIndex);
        EXPECT_DOUBLE_EQ(s.userZStep, c.userZStep);
        EXPECT_DOUBLE_EQ(probe.ZStepSlot(4), c.tableSlot4);
        EXPECT_EQ(s.zStepChoices, c.zStepChoices);
        EXPECT_DOUBLE_EQ(s.zStep, c.zStep);
        // Only the focus keys are read.
        EXPECT_EQ(s.port, before.port);
        EXPECT_EQ(s.stopBits, before.stopBits);
        EXPECT_EQ(s.stageStepIndex, before.stageStepIndex);
        EXPECT_EQ(s.xyStep, before.xyStep);
        EXPECT_EQ(s.userXYStep, before.userXYStep);
        EXPECT_EQ(s.xyStepChoices, before.xyStepChoices);
        EXPECT_EQ(s.timeOut, before.timeOut);
        EXPECT_EQ(s.canAutoFocus, before.canAutoFocus);
        const double fixedSizes[] = {0.05, 0.1, 0.5, 1.0};
        for (int i = 0; i < 4; ++i) {
            EXPECT_DOUBLE_EQ(probe.ZStepSlot(i), fixedSizes[i]);
        }
    }
}

TEST(FocusRecordTest, AFiveChoiceListStaysWhenTheSizeIsGone) {
    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
    driver.SetIni("dUserDefinedZStepSize", "0.2");
    probe.LoadDeviceRecord(0, STOLVO_KIND_FOCUS);
    driver.SetIni("dUserDefinedZStepSize", nullptr);
    driver.SetIni("FocusStep", "4");
    probe.LoadDeviceRecord(0, STOLVO_KIND_FOCUS);
    const DriverSettingsRecord s = probe.Settings();
    EXPECT_EQ(s.zStepChoices, 5);
    EXPECT_DOUBLE_EQ(s.userZStep, -1.0);
    EXPECT_DOUBLE_EQ(probe.ZStepSlot(4), 0.2) << "the earlier size stays in the table";
    EXPECT_DOUBLE_EQ(s.zStep, 0.2);
}

// Each load of the module starts every slot from the same values, whatever an
// earlier load left in its roster.
TEST_F(DeviceRecordTest, EveryLoadStartsTheRosterAfresh) {
    const DeviceRosterTable sentinel = SentinelRoster();
    probe.SetRoster(&sentinel);
    ASSERT_TRUE(SameRoster(probe.Roster(), sentinel));
    driver.Unload();
    const LoadedDriver again{"STolvo32Probe.dll"};
    const DeviceRosterTable roster = ConfigProbe{again}.Roster();
    EXPECT_EQ(roster.shutterCount, 0);
    EXPECT_EQ(roster.wheelCount, 0);
    for (const ShutterEntry& shutter : roster.shutters) {
        EXPECT_STREQ(shutter.name, "");
        EXPECT_EQ(shutter.configured, 0);
        EXPECT_EQ(shutter.shutterNumber, -1);
        EXPECT_EQ(shutter.openState, 0);
    }
    for (const WheelEntry& wheel : roster.wheels) {
        EXPECT_STREQ(wheel.name, "");
        EXPECT_EQ(wheel.valid, 0);
        EXPECT_EQ(wheel.positionCount, 10);
        EXPECT_EQ(wheel.currentPosition, 0);
        for (const char* name : wheel.positionNames) {
            EXPECT_STREQ(name, "");
        }
    }
}
