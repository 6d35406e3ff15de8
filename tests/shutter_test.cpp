// The shutter exports: slots, codes, and the SetShutter calls they send.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "core/scan_members.h"
#include "config/device_roster.h"
#include <climits>
#include <cstring>

namespace {
using Lines = std::vector<std::string>;

class ShutterTest : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0) << "every reference is given back";
    }
    void ConfigureShutter(int slot, const char* name, const char* number = "0") const {
        const std::string section = "Shutter" + std::to_string(slot + 1);
        driver.SetIni("Name", name, section.c_str());
        driver.SetIni("ShutterNumber", number, section.c_str());
    }
    // Two configured shutters on "COMM 1", both initialised.
    void TwoShutters() {
        driver.SetIni("Port", "0");
        ConfigureShutter(0, "Excitation");
        ConfigureShutter(1, "Transmitted", "5");
        ASSERT_EQ(shutter.GetInstance(0), 0);
        ASSERT_EQ(shutter.GetInstance(0), 1);
        ASSERT_EQ(shutter.Init(0, nullptr), 0);
        ASSERT_EQ(shutter.Init(1, nullptr), 0);
        Sim().JournalClear();
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ShutterApi shutter{driver};
};
} // namespace

TEST_F(ShutterTest, SlotsAreHandedOutInOrderUpToThree) {
    EXPECT_EQ(shutter.GetInstance(7), 0);
    EXPECT_EQ(shutter.GetInstance(0), 1);
    EXPECT_EQ(shutter.GetInstance(-1), 2);
    EXPECT_EQ(shutter.GetInstance(0), -5);
    EXPECT_EQ(shutter.GetInstance(0), -5);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(ShutterTest, InitRefusesSlotsNotHandedOut) {
    ConfigureShutter(1, "Second");
    driver.SetIni("Port", "0");
    ASSERT_EQ(shutter.GetInstance(0), 0);
    for (int slot : {1, 2, 3, -1, INT_MIN, INT_MAX}) {
        EXPECT_EQ(shutter.Init(slot, nullptr), -5) << slot;
    }
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, -1) << "refused before any claim";
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(ShutterTest, InitCodesForLineShutterAndConnection) {
    ASSERT_EQ(shutter.GetInstance(0), 0);
    EXPECT_EQ(shutter.Init(0, nullptr), -2) << "no port: the line is not configured";
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 1);

    driver.SetIni("Port", "0");
    EXPECT_EQ(shutter.Init(0, nullptr), -2) << "no shutter record";
    ConfigureShutter(0, "Named", "-1");
    EXPECT_EQ(shutter.Init(0, nullptr), -2) << "a name without a shutter number";
    ConfigureShutter(0, "", "0");
    EXPECT_EQ(shutter.Init(0, nullptr), -2) << "a number without a name";
    EXPECT_EQ(Sim().JournalCount(), 0);

    ConfigureShutter(0, "Excitation", "0");
    Sim().SetOpenablePorts(0);
    EXPECT_EQ(shutter.Init(0, nullptr), -1) << "the link does not open";
    EXPECT_EQ(ReadLinkState(driver).deviceClientOpen, 0);

    Sim().SetOpenablePorts(0x1F);
    driver.SetIni("Port", "1"); // a dead port is not tried again
    Sim().JournalClear();
    EXPECT_EQ(shutter.Init(0, nullptr), 0);
    EXPECT_EQ(Trace(), (Lines{"scan.OpenPort(&2)", "scan.LinkValue?", "scan.LinkReady()",
                              "scan.SetShutter(1,0)"}));
    const LinkState state = ReadLinkState(driver);
    EXPECT_EQ(state.connected, 1);
    EXPECT_EQ(state.deviceClientOpen, 1);
    EXPECT_EQ(Sim().ShutterState(1), 0);
}

TEST_F(ShutterTest, OnlyTheLineOwnerNeedsAPort) {
    // The focus family owns the line; a shutter initialised later uses
    // whatever line settings are in memory.
    driver.SetFileKey("KROHW.INI", "Focus", "Module", "stolvo32.DLL");
    FocusApi z{driver};
    driver.SetIni("Port", "0");
    ASSERT_EQ(z.Init(nullptr), -1) << "the focus claims the line; port -1 in memory";
    ConfigureShutter(0, "Excitation");
    ASSERT_EQ(shutter.GetInstance(0), 0);
    EXPECT_EQ(shutter.Init(0, nullptr), -1) << "no line load: port -1 does not open";
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 8);
}

TEST_F(ShutterTest, SetOpenSendsEachChangeOnce) {
    TwoShutters();
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(shutter.GetOpen(0), 1);
    EXPECT_EQ(shutter.SetOpen(0, 2), 0);
    EXPECT_EQ(shutter.GetOpen(0), 2);
    EXPECT_EQ(shutter.SetOpen(1, -3), 0);
    EXPECT_EQ(shutter.SetOpen(0, 0), 0);
    EXPECT_EQ(shutter.SetOpen(0, 0), 0);
    EXPECT_EQ(Trace(), (Lines{"scan.SetShutter(1,1)", "scan.SetShutter(1,2)",
                              "scan.SetShutter(2,-3)", "scan.SetShutter(1,0)"}))
        << "shutter number 5 of the record plays no part; no wait follows";
    EXPECT_EQ(Sim().ShutterState(2), -3);
    EXPECT_EQ(shutter.GetOpen(1), -3);
}

TEST_F(ShutterTest, InvalidSlotsGiveMinusFiveEverywhere) {
    TwoShutters();
    char name[kNameSize];
    for (int slot : {2, 3, -1, INT_MIN, INT_MAX}) {
        std::memset(name, 'S', sizeof name);
        EXPECT_EQ(shutter.SetOpen(slot, 1), -5) << slot;
        EXPECT_EQ(shutter.GetOpen(slot), -5) << slot;
        EXPECT_EQ(shutter.GetName(slot, name), -5) << slot;
        EXPECT_EQ(name[0], 'S') << "buffer untouched for slot " << slot;
    }
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(ShutterTest, GetNameCopiesTheStoredName) {
    const std::string longest(59, 'n');
    driver.SetIni("Port", "0");
    ConfigureShutter(0, (longest + "cut").c_str());
    ASSERT_EQ(shutter.GetInstance(0), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    char name[kNameSize + 4];
    std::memset(name, 'S', sizeof name);
    EXPECT_EQ(shutter.GetName(0, name), 0);
    EXPECT_EQ(std::string(name), longest) << "59 characters and the terminator";
    EXPECT_EQ(name[kNameSize], 'S') << "nothing written past 60 bytes";
    EXPECT_EQ(shutter.GetName(0, nullptr), 0) << "a null buffer is not written through";
}

TEST_F(ShutterTest, ARefusedSetShutterIsNotDoneAndIsSentAgain) {
    TwoShutters();
    Sim().SetFault(SimScan, ScanMember::SetShutter.dispid, DISP_E_EXCEPTION);
    EXPECT_EQ(shutter.SetOpen(0, 1), 1);
    EXPECT_EQ(shutter.GetOpen(0), 0) << "the state the controller last took";
    Sim().SetFault(SimScan, ScanMember::SetShutter.dispid, S_OK);
    EXPECT_EQ(shutter.SetOpen(0, 1), 0);
    EXPECT_EQ(Sim().ShutterState(1), 1);

    Sim().SetFault(SimScan, ScanMember::SetShutter.dispid, E_FAIL);
    EXPECT_EQ(shutter.Init(1, nullptr), 1) << "the closing command was refused";
}

TEST_F(ShutterTest, WriteAndReadFollowTheLink) {
    EXPECT_EQ(shutter.Write(1, 2), -1);
    EXPECT_EQ(shutter.Read(1, 2, 3), -1);
    TwoShutters();
    EXPECT_EQ(shutter.Write(1, 2), 0);
    EXPECT_EQ(shutter.Read(1, 2, 3), 0);
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(ShutterTest, CloseReleasesOnlyThroughSlotZeroOfTheOwner) {
    TwoShutters();
    EXPECT_EQ(shutter.Close(1), 0);
    EXPECT_EQ(shutter.Close(-1), 0);
    EXPECT_EQ(ReadLinkState(driver).deviceClientOpen, 1);
    EXPECT_TRUE(Sim().IsLinkOpen());
    EXPECT_EQ(shutter.Close(0), 0);
    const LinkState state = ReadLinkState(driver);
    EXPECT_EQ(state.deviceClientOpen, 0);
    EXPECT_EQ(state.connected, 0);
    EXPECT_EQ(Trace(), (Lines{"scan.ClosePort()"}));
    EXPECT_EQ(Sim().LiveObjects(), 0);
    EXPECT_EQ(shutter.GetOpen(0), 0) << "the slot stays handed out and configured";
    EXPECT_EQ(shutter.SetOpen(0, 1), 1) << "nothing bound after the close";
}
