// Which close lets the shared controller link go: every order of inits and
// closes across the XY stage, the focus drive on both paths and the shutters.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "xy_api.h"

namespace {
class LinkHoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Sim().Reset();
        driver.SetIni("Port", "0");
        driver.SetIni("Name", "Excitation", "Shutter1");
        driver.SetIni("ShutterNumber", "0", "Shutter1");
        ASSERT_EQ(shutter.GetInstance(0), 0);
    }
    void TearDown() override {
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0) << "unloading gives every reference back";
    }
    void FocusOnDevicePath() const {
        driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
    }
    bool LinkOpen() const {
        const bool open = ReadLinkState(driver).connected == 1;
        EXPECT_EQ(open, Sim().IsLinkOpen() != FALSE) << "the driver's flag and the link agree";
        return open;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    XYApi xy{driver};
    FocusApi z{driver};
    ShutterApi shutter{driver};
};
} // namespace

TEST_F(LinkHoldersTest, XYCloseKeepsTheLinkForADeviceFamily) {
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    xy.Close();
    EXPECT_TRUE(LinkOpen());
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 0);
    shutter.Close(0);
    EXPECT_FALSE(LinkOpen());
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

TEST_F(LinkHoldersTest, ShutterCloseKeepsTheLinkForTheStage) {
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(xy.Init(nullptr), 0);
    shutter.Close(0);
    EXPECT_TRUE(LinkOpen());
    EXPECT_EQ(ReadLinkState(driver).deviceClientOpen, 0);
    EXPECT_EQ(xy.Move(5, 5, 0), 0);
    xy.Close();
    EXPECT_FALSE(LinkOpen());
}

TEST_F(LinkHoldersTest, XYCloseDisconnectsEvenWhenNotConnected) {
    EXPECT_EQ(xy.Close(), 0);
    EXPECT_FALSE(LinkOpen());
    EXPECT_EQ(Sim().JournalCount(), 0);
}

TEST_F(LinkHoldersTest, StagePathFocusCloseLetsTheStageClientsGo) {
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    z.Close();
    EXPECT_FALSE(LinkOpen()) << "the stage clients share one holder flag";
    EXPECT_EQ(xy.Move(1, 1, 0), 1);
    EXPECT_EQ(Sim().LiveObjects(), 0);
}

TEST_F(LinkHoldersTest, StagePathFocusCloseKeepsTheLinkForADeviceFamily) {
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    z.Close();
    EXPECT_TRUE(LinkOpen());
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 0);
    z.Close();
    EXPECT_TRUE(LinkOpen()) << "a second close finds no stage client and does nothing";
}

// A focus close before any focus initialisation follows the stage path's rule.
TEST_F(LinkHoldersTest, FocusCloseBeforeItsInitLetsTheStageClientsGo) {
    ASSERT_EQ(xy.Init(nullptr), 0);
    EXPECT_EQ(z.Close(), 0);
    EXPECT_FALSE(LinkOpen());
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 0);
}

TEST_F(LinkHoldersTest, FocusCloseWithoutAnOpenLinkDoesNothing) {
    driver.SetIni("Port", "-1");
    EXPECT_EQ(z.Init(nullptr), -1);
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 1);
    Sim().JournalClear();
    z.Close();
    EXPECT_EQ(Sim().JournalCount(), 0) << "no ClosePort while the link is not open";
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 0);
}

TEST_F(LinkHoldersTest, DevicePathFocusThatOwnsTheLineKeepsItUntilUnload) {
    FocusOnDevicePath();
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 8);
    z.Close();
    shutter.Close(0);
    xy.Close();
    EXPECT_TRUE(LinkOpen()) << "no close clears the focus family's device holder";
    EXPECT_EQ(ReadLinkState(driver).deviceClientOpen, 1);
}

// The focus close on the device path leaves the XY stage's hold alone: closing
// the line-owning shutter afterwards must not take the link from the stage.
TEST_F(LinkHoldersTest, DevicePathFocusCloseLeavesTheStageHold) {
    FocusOnDevicePath();
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(xy.Init(nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    z.Close();
    EXPECT_EQ(ReadLinkState(driver).stageClientOpen, 1);
    shutter.Close(0);
    EXPECT_TRUE(LinkOpen());
    EXPECT_EQ(xy.Move(10, 10, 0), 0) << "the XY stage still works";
    xy.Close();
    EXPECT_FALSE(LinkOpen());
}

TEST_F(LinkHoldersTest, DevicePathFocusJoinsTheShutterOwnersHold) {
    FocusOnDevicePath();
    ASSERT_EQ(shutter.Init(0, nullptr), 0);
    ASSERT_EQ(z.Init(nullptr), 0);
    EXPECT_EQ(ReadLinkState(driver).devicePortOwner, 1);
    z.Close();
    EXPECT_TRUE(LinkOpen()) << "the focus close never clears the device holder";
    shutter.Close(0);
    EXPECT_FALSE(LinkOpen());
    EXPECT_EQ(z.Move(1, 0), 1) << "the disconnect emptied the focus object too";
}
