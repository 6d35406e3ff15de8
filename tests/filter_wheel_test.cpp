// The filter wheel exports: slots, codes, and the MoveWheel and HomeWheel
// calls they send.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "core/filter_members.h"
#include "config/device_roster.h"
#include <climits>
#include <cstring>

namespace {
using Lines = std::vector<std::string>;

class FilterWheelTest : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        Sim().SetClassRegistered(SimFilter, TRUE);
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0) << "every reference is given back";
    }
    // Wheel `slot` named `set`, whose set file holds `names` position names.
    void NameWheel(int slot, const char* set, int names = 10) const {
        const std::string section = "FilterWheel" + std::to_string(slot + 1);
        driver.SetIni("Name", set, section.c_str());
        driver.WriteSet(set, section.c_str(), set, names);
    }
    // Two wheels on "COMM 1", both initialised and homed.
    void TwoWheels() {
        driver.SetIni("Port", "0");
        NameWheel(0, "Excitation");
        NameWheel(1, "Emission");
        ASSERT_EQ(wheel.GetInstance(0), 0);
        ASSERT_EQ(wheel.GetInstance(0), 1);
        ASSERT_EQ(wheel.Init(0, nullptr), 0);
        ASSERT_EQ(wheel.Init(1, nullptr), 0);
        Sim().JournalClear();
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    WheelApi wheel{driver};
};
} // namespace

TEST_F(FilterWheelTest, SlotsAreHandedOutInOrderUpToTen) {
    for (int slot = 0; slot < 10; ++slot) {
        EXPECT_EQ(wheel.GetInstance(slot * 7), slot);
    }
    EXPECT_EQ(wheel.GetInstance(0), -5);
    EXPECT_EQ(wheel.GetInstance(0), -5);
}

TEST_F(FilterWheelTest, InitCodes) {
    for (int slot : {-1, 10, INT_MIN, INT_MAX}) {
        EXPECT_EQ(wheel.Init(slot, nullptr), -5) << slot;
    }
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, -1) << "refused before any claim";
    ASSERT_EQ(wheel.GetInstance(0), 0);
    EXPECT_EQ(wheel.Init(0, nullptr), -2) << "no port";
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 2);
    driver.SetIni("Port", "0");
    EXPECT_EQ(wheel.Init(0, nullptr), -2) << "no set name";
    NameWheel(0, "Short", 9);
    EXPECT_EQ(wheel.Init(0, nullptr), -2) << "nine names for ten positions";
    EXPECT_EQ(Sim().JournalCount(), 0);

    NameWheel(0, "Full");
    Sim().SetOpenablePorts(0);
    EXPECT_EQ(wheel.Init(0, nullptr), -1);
    Sim().SetOpenablePorts(0x1F);
    driver.SetIni("Port", "1");
    Sim().JournalClear();
    EXPECT_EQ(wheel.Init(0, nullptr), 0);
    EXPECT_EQ(Trace(), (Lines{"scan.OpenPort(&2)", "scan.LinkValue?", "scan.LinkReady()",
                              "filter.HomeWheel(1)"}))
        << "homing starts no wait";
    EXPECT_EQ(wheel.GetPosition(0), 0);
    EXPECT_EQ(ReadLinkState(driver).deviceClientOpen, 1);
}

TEST_F(FilterWheelTest, InitAcceptsASlotNotHandedOutButNothingElseDoes) {
    driver.SetIni("Port", "0");
    NameWheel(3, "Spare");
    EXPECT_EQ(wheel.Init(3, nullptr), 0);
    EXPECT_EQ(Sim().WheelPosition(4), 1);
    char name[kNameSize] = "sentinel";
    EXPECT_EQ(wheel.GetName(3, -1, name), -5);
    EXPECT_STREQ(name, "sentinel");
    EXPECT_EQ(wheel.SetPosition(3, 1), -5);
    EXPECT_EQ(wheel.GetPosition(3), -5);
    EXPECT_EQ(wheel.GetCount(3), -5);
}

TEST_F(FilterWheelTest, UnregisteredFilterServerLeavesTheRosterWorking) {
    ASSERT_EQ(Sim().SetClassRegistered(SimFilter, FALSE), S_OK);
    driver.SetIni("Port", "0");
    NameWheel(0, "Excitation");
    ASSERT_EQ(wheel.GetInstance(0), 0);
    EXPECT_EQ(wheel.Init(0, nullptr), 0);
    EXPECT_EQ(wheel.SetPosition(0, 2), 1);
    EXPECT_EQ(wheel.GetPosition(0), 0);
    EXPECT_EQ(wheel.GetCount(0), 10);
    char name[kNameSize] = "";
    EXPECT_EQ(wheel.GetName(0, 2, name), 0);
    EXPECT_STREQ(name, "Excitation 3");
}

TEST_F(FilterWheelTest, FilterServerThatCannotStartGivesOne) {
    Sim().SetCreationFault(SimFilter, E_OUTOFMEMORY);
    driver.SetIni("Port", "0");
    NameWheel(0, "Excitation");
    ASSERT_EQ(wheel.GetInstance(0), 0);
    EXPECT_EQ(wheel.Init(0, nullptr), 1);
    EXPECT_EQ(wheel.SetPosition(0, 2), 1);
}

TEST_F(FilterWheelTest, PositionsAreSentOneBasedWithoutWaiting) {
    TwoWheels();
    EXPECT_EQ(wheel.SetPosition(0, 3), 0);
    EXPECT_EQ(wheel.SetPosition(1, 9), 0);
    EXPECT_EQ(wheel.SetPosition(1, 0), 0);
    EXPECT_EQ(Trace(),
              (Lines{"filter.MoveWheel(1,4)", "filter.MoveWheel(2,10)", "filter.MoveWheel(2,1)"}));
    EXPECT_EQ(wheel.GetPosition(0), 3);
    EXPECT_EQ(wheel.GetPosition(1), 0);
    EXPECT_EQ(Sim().WheelPosition(1), 4);
}

TEST_F(FilterWheelTest, PositionsOutOfRangeAreRefusedAndNotSent) {
    TwoWheels();
    for (int position : {10, -1, -2, INT_MIN, INT_MAX}) {
        EXPECT_EQ(wheel.SetPosition(0, position), -6) << position;
    }
    char name[kNameSize];
    for (int position : {10, -2, INT_MIN, INT_MAX}) {
        std::memset(name, 'S', sizeof name);
        EXPECT_EQ(wheel.GetName(0, position, name), -6) << position;
        EXPECT_EQ(name[0], 'S');
    }
    EXPECT_EQ(Sim().JournalCount(), 0);
    EXPECT_EQ(wheel.GetPosition(0), 0);
}

TEST_F(FilterWheelTest, InvalidSlotsGiveMinusFiveEverywhere) {
    TwoWheels();
    char name[kNameSize];
    for (int slot : {2, 9, 10, -1, INT_MIN, INT_MAX}) {
        std::memset(name, 'S', sizeof name);
        EXPECT_EQ(wheel.SetPosition(slot, 0), -5) << slot;
        EXPECT_EQ(wheel.GetPosition(slot), -5) << slot;
        EXPECT_EQ(wheel.GetName(slot, -1, name), -5) << slot;
        EXPECT_EQ(name[0], 'S');
    }
    EXPECT_EQ(wheel.GetCount(10), -5);
    EXPECT_EQ(wheel.GetCount(-1), -5);
    EXPECT_EQ(Sim().JournalCount(), 0) << "no count is read for a slot outside 0 to 9";
}

TEST_F(FilterWheelTest, NamesOfTheWheelAndItsPositions) {
    TwoWheels();
    char name[kNameSize + 4];
    std::memset(name, 'S', sizeof name);
    EXPECT_EQ(wheel.GetName(1, -1, name), 0);
    EXPECT_STREQ(name, "Emission");
    EXPECT_EQ(wheel.GetName(1, 9, name), 0);
    EXPECT_STREQ(name, "Emission 10");
    EXPECT_EQ(name[kNameSize], 'S');
    EXPECT_EQ(wheel.GetName(1, 0, nullptr), 0) << "a null buffer is not written through";
}

TEST_F(FilterWheelTest, TheControllersCountGovernsLaterChecks) {
    TwoWheels();
    Sim().SetWheelPositionCount(1, 8);
    EXPECT_EQ(wheel.GetCount(0), 8);
    EXPECT_EQ(Trace(), (Lines{"filter.WheelPositionCount?(1)"}));
    EXPECT_EQ(wheel.SetPosition(0, 8), -6);
    EXPECT_EQ(wheel.SetPosition(0, 7), 0);

    Sim().SetWheelPositionCount(2, -3);
    EXPECT_EQ(wheel.GetCount(1), -3) << "widened with its sign";
    EXPECT_EQ(wheel.SetPosition(1, 0), -6);
    char name[kNameSize] = "sentinel";
    EXPECT_EQ(wheel.GetName(1, 0, name), -6);

    Sim().SetWheelPositionCount(2, 12);
    EXPECT_EQ(wheel.GetCount(1), 12);
    Sim().JournalClear();
    EXPECT_EQ(wheel.SetPosition(1, 11), 0) << "moves above the named positions are sent";
    EXPECT_EQ(Trace(), (Lines{"filter.MoveWheel(2,12)"}));
    EXPECT_EQ(wheel.GetName(1, 10, name), -6) << "names exist for ten positions only";
}

TEST_F(FilterWheelTest, ARefusedCallRecordsNothing) {
    TwoWheels();
    ASSERT_EQ(wheel.SetPosition(0, 4), 0);
    Sim().SetFault(SimFilter, FilterMember::MoveWheel.dispid, DISP_E_EXCEPTION);
    EXPECT_EQ(wheel.SetPosition(0, 6), 1);
    EXPECT_EQ(wheel.GetPosition(0), 4);
    Sim().SetFault(SimFilter, FilterMember::MoveWheel.dispid, S_OK);

    Sim().SetFault(SimFilter, FilterMember::WheelPositionCount.dispid, E_FAIL);
    EXPECT_EQ(wheel.GetCount(0), 10) << "the stored count stands";
    Sim().SetFault(SimFilter, FilterMember::WheelPositionCount.dispid, S_OK);

    Sim().SetFault(SimFilter, FilterMember::HomeWheel.dispid, E_FAIL);
    EXPECT_EQ(wheel.Init(1, nullptr), 1) << "homing refused";
}

TEST_F(FilterWheelTest, WriteAndReadFollowTheLink) {
    EXPECT_EQ(wheel.Write(1, 2), -1);
    EXPECT_EQ(wheel.Read(1, 2, 3), -1);
    TwoWheels();
    EXPECT_EQ(wheel.Write(1, 2), 0);
    EXPECT_EQ(wheel.Read(1, 2, 3), 0);
}

TEST_F(FilterWheelTest, CloseReleasesOnlyThroughSlotZeroOfTheOwner) {
    TwoWheels();
    EXPECT_EQ(wheel.Close(1), 0);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(wheel.Close(0), 0);
    EXPECT_FALSE(Sim().IsLinkOpen());
    EXPECT_EQ(Sim().LiveObjects(), 0);
    EXPECT_EQ(wheel.GetPosition(0), 0) << "the slot stays handed out";
    EXPECT_EQ(wheel.SetPosition(0, 1), 1) << "nothing bound after the close";
}
