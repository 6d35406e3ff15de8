// Loading a wheel's position names from its filter set file.
#include <gtest/gtest.h>
#include "config_api.h"
#include <climits>
#include <cstring>

namespace {
class FilterSetTest : public ::testing::Test {
  protected:
    // Wheel `slot` named `name` with `count` positions, every position name
    // a sentinel "old<p>", and a sentinel in every other slot.
    void PrepareWheel(int slot, const char* name, int count) {
        DeviceRosterTable roster = probe.Roster();
        for (int w = 0; w < kWheelSlots; ++w) {
            WheelEntry& wheel = roster.wheels[w];
            std::snprintf(wheel.name, sizeof wheel.name, "%s", w == slot ? name : "other");
            wheel.positionCount = w == slot ? count : 10;
            wheel.valid = 7;
            wheel.currentPosition = 3;
            for (int p = 0; p < kMaxWheelPositions; ++p) {
                std::snprintf(wheel.positionNames[p], kNameSize, "old%d", p + 1);
            }
        }
        probe.SetRoster(&roster);
        before = roster;
    }

    std::string Names(int slot) const {
        const DeviceRosterTable roster = probe.Roster();
        std::string text;
        for (int p = 0; p < kMaxWheelPositions; ++p) {
            text += std::string(p > 0 ? "," : "") + roster.wheels[slot].positionNames[p];
        }
        return text;
    }

    // The other slots, and everything of this slot but its position names,
    // as they were.
    void ExpectOnlyNamesOf(int slot) const {
        DeviceRosterTable after = probe.Roster();
        std::memcpy(after.wheels[slot].positionNames, before.wheels[slot].positionNames,
                    sizeof after.wheels[slot].positionNames);
        EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }

    std::string WheelNameKey(int slot) const {
        char value[100] = "";
        GetPrivateProfileStringA(("FilterWheel" + std::to_string(slot + 1)).c_str(), "Name",
                                 "(none)", value, sizeof value, driver.IniPath().c_str());
        return value;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
    DeviceRosterTable before{};
};

std::string SetSection(int number, int names, const std::string& prefix = "N") {
    std::string text = "[FilterWheel" + std::to_string(number) + "]\r\n";
    for (int p = 1; p <= names; ++p) {
        text += "Position" + std::to_string(p) + "Name=" + prefix + std::to_string(p) + "\r\n";
    }
    return text;
}
} // namespace

TEST_F(FilterSetTest, PathIsTheSetNameBesideTheModule) {
    char path[MAX_PATH] = "";
    EXPECT_EQ(probe.FilterSetPath("Fluo 2", path, MAX_PATH), 1);
    EXPECT_EQ(std::string(path), driver.folder() + "\\Fluo 2.TolvoFW");

    const size_t room = MAX_PATH - 1 - (driver.folder().size() + 1) - std::strlen(".TolvoFW");
    const std::string fits(room, 'f');
    EXPECT_EQ(probe.FilterSetPath(fits.c_str(), path, MAX_PATH), 1);
    EXPECT_EQ(std::strlen(path), static_cast<size_t>(MAX_PATH - 1));
    const std::string tooLong(room + 1, 'f');
    EXPECT_EQ(probe.FilterSetPath(tooLong.c_str(), path, MAX_PATH), 0);
    EXPECT_STREQ(path, "") << "a cut path would name another file";
}

TEST_F(FilterSetTest, CompleteSetLoadsAndRecordsTheWheelsSet) {
    WriteDriverFile(driver, "Fluo.TolvoFW", SetSection(1, 10, "A") + SetSection(2, 10, "B"));
    PrepareWheel(1, "Fluo", 10);
    EXPECT_EQ(probe.LoadFilterSet(1), 1);
    EXPECT_EQ(Names(1), "B1,B2,B3,B4,B5,B6,B7,B8,B9,B10");
    ExpectOnlyNamesOf(1);
    EXPECT_EQ(WheelNameKey(1), "Fluo");
    EXPECT_EQ(WheelNameKey(0), "(none)");
}

TEST_F(FilterSetTest, LoadStopsAtTheFirstGap) {
    const struct {
        const char* label;
        std::string set;
        const char* names;
    } cases[] = {
        {"missing 4th", SetSection(1, 3) + "Position5Name=N5\r\n",
         "N1,N2,N3,old4,old5,old6,old7,old8,old9,old10"},
        {"empty 2nd",
         "[FilterWheel1]\r\nPosition1Name=N1\r\nPosition2Name=\r\nPosition3Name=N3\r\n",
         "N1,old2,old3,old4,old5,old6,old7,old8,old9,old10"},
        {"blank 1st", "[FilterWheel1]\r\nPosition1Name=   \r\nPosition2Name=N2\r\n",
         "old1,old2,old3,old4,old5,old6,old7,old8,old9,old10"},
        {"six of ten", SetSection(1, 6), "N1,N2,N3,N4,N5,N6,old7,old8,old9,old10"},
        {"other slot's section", SetSection(2, 10),
         "old1,old2,old3,old4,old5,old6,old7,old8,old9,old10"},
        {"no file", "", "old1,old2,old3,old4,old5,old6,old7,old8,old9,old10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (c.set.empty()) {
            DeleteFileA(DriverFilePath(driver, "Fluo.TolvoFW").c_str());
        } else {
            WriteDriverFile(driver, "Fluo.TolvoFW", c.set);
        }
        PrepareWheel(0, "Fluo", 10);
        EXPECT_EQ(probe.LoadFilterSet(0), 0);
        EXPECT_EQ(Names(0), c.names);
        ExpectOnlyNamesOf(0);
        EXPECT_FALSE(DriverFileExists(driver, "STolvo.INI")) << "a failed load records nothing";
    }
}

TEST_F(FilterSetTest, CountBelowTenReadsOnlyThatMany) {
    WriteDriverFile(driver, "Fluo.TolvoFW", SetSection(3, 6));
    PrepareWheel(2, "Fluo", 6);
    EXPECT_EQ(probe.LoadFilterSet(2), 1);
    EXPECT_EQ(Names(2), "N1,N2,N3,N4,N5,N6,old7,old8,old9,old10");
    EXPECT_EQ(WheelNameKey(2), "Fluo");
}

TEST_F(FilterSetTest, NoCountReadsMoreThanTenNames) {
    std::string set;
    for (int number = 1; number <= 10; ++number) {
        set += SetSection(number, 40);
    }
    WriteDriverFile(driver, "Big.TolvoFW", set);
    for (int slot : {0, 4, 9}) {
        for (int count : {11, 12, 40, 1000, INT_MAX}) {
            SCOPED_TRACE("slot " + std::to_string(slot) + " count " + std::to_string(count));
            PrepareWheel(slot, "Big", count);
            EXPECT_EQ(probe.LoadFilterSet(slot), 1);
            EXPECT_EQ(Names(slot), "N1,N2,N3,N4,N5,N6,N7,N8,N9,N10");
            ExpectOnlyNamesOf(slot);
        }
    }
}

TEST_F(FilterSetTest, CountOfZeroOrLessReadsNoName) {
    WriteDriverFile(driver, "Fluo.TolvoFW", SetSection(1, 10));
    for (int count : {0, -1, -10, -11, INT_MIN}) {
        SCOPED_TRACE(count);
        PrepareWheel(0, "Fluo", count);
        EXPECT_EQ(probe.LoadFilterSet(0), 1) << "no name needed is no name missing";
        EXPECT_EQ(Names(0), "old1,old2,old3,old4,old5,old6,old7,old8,old9,old10");
        ExpectOnlyNamesOf(0);
    }
}

TEST_F(FilterSetTest, NamesAreCutTo59Characters) {
    const std::string longName = std::string(59, 'p') + "q" + std::string(10000, 'r');
    WriteDriverFile(driver, "Fluo.TolvoFW",
                    "[FilterWheel1]\r\nPosition1Name=" + longName + "\r\nPosition2Name=\"" +
                        longName + "\"\r\nPosition3Name=short\r\n");
    PrepareWheel(0, "Fluo", 3);
    EXPECT_EQ(probe.LoadFilterSet(0), 1);
    const DeviceRosterTable roster = probe.Roster();
    EXPECT_EQ(std::string(roster.wheels[0].positionNames[0]), std::string(59, 'p'));
    EXPECT_EQ(std::string(roster.wheels[0].positionNames[1]), std::string(59, 'p'));
    EXPECT_STREQ(roster.wheels[0].positionNames[2], "short");
    ExpectOnlyNamesOf(0);
}

TEST_F(FilterSetTest, WithoutNameOrSlotNothingIsRead) {
    WriteDriverFile(driver, "Fluo.TolvoFW", SetSection(1, 10) + SetSection(11, 10));
    WriteDriverFile(driver, ".TolvoFW", SetSection(1, 10));
    PrepareWheel(0, "", 10);
    EXPECT_EQ(probe.LoadFilterSet(0), 0);
    ExpectOnlyNamesOf(0);
    EXPECT_EQ(Names(0), "old1,old2,old3,old4,old5,old6,old7,old8,old9,old10");

    DeviceRosterTable roster = probe.Roster();
    for (WheelEntry& wheel : roster.wheels) {
        std::strcpy(wheel.name, "Fluo");
    }
    probe.SetRoster(&roster);
    for (int slot : {-1, 10, 11, INT_MAX, INT_MIN}) {
        EXPECT_EQ(probe.LoadFilterSet(slot), 0) << slot;
        const DeviceRosterTable after = probe.Roster();
        EXPECT_EQ(std::memcmp(&after, &roster, sizeof after), 0) << slot;
    }
    EXPECT_FALSE(DriverFileExists(driver, "STolvo.INI"));
}

TEST_F(FilterSetTest, FullNameFieldIsReadAsAName) {
    // A name field filled to its last byte is still read as 59 characters.
    const std::string name(59, 'n');
    WriteDriverFile(driver, name + ".TolvoFW", SetSection(1, 2));
    PrepareWheel(0, name.c_str(), 2);
    DeviceRosterTable roster = probe.Roster();
    roster.wheels[0].name[kNameSize - 1] = 'x';
    roster.wheels[0].positionCount = 2;
    probe.SetRoster(&roster);
    EXPECT_EQ(probe.LoadFilterSet(0), 1);
    EXPECT_EQ(WheelNameKey(0), name);
}
