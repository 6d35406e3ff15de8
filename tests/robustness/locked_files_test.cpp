// Files the driver may not write: a read-only STolvo.INI, a set file held
// open without sharing while it is saved, a read-only driver folder. The
// writes fail quietly, memory stays consistent and no other file changes.
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include "driver_api.h"
#include "file_loads.h"
#include "robust_support.h"
#include "sets_api.h"
#include "stage_page_api.h"
#include "ui/device_page.h"
#include "ui/stage_page.h"

namespace {

// Whether the system refuses to open `path` for writing.
bool WritesRefused(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return true;
    }
    CloseHandle(file);
    return false;
}

// FolderDifferences without the files that appeared.
std::string ChangedOrLost(const FolderSnapshot& before, const FolderSnapshot& after) {
    FolderSnapshot kept;
    for (const auto& entry : after) {
        if (before.count(entry.first) != 0) {
            kept.insert(entry);
        }
    }
    return FolderDifferences(before, kept);
}

class LockedFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Sim().Reset();
        WriteGoodConfiguration(driver);
    }
    void TearDown() override {
        SetFileAttributesA(driver.folder().c_str(), FILE_ATTRIBUTE_NORMAL);
        SetFileAttributesA(driver.IniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(LeakedAfterUnload(driver), 0);
    }
    // Shows the filter wheel page (first-time defaults included) and the XY
    // page, chooses another port there, and hides both.
    void UseThePages() {
        auto wheelConfigure = driver.Fn<decltype(&FWConfigure)>("FWConfigure");
        auto xyConfigure = driver.Fn<decltype(&StgXYConfigure)>("StgXYConfigure");
        wheelConfigure(host.get(), 0, 0, 1);
        PumpMessages();
        wheelConfigure(host.get(), 0, 0, 0);
        xyConfigure(host.get(), 0, 1);
        PumpMessages();
        ChooseEntry(host.Page(), kPortBox, 2);
        PumpMessages();
        xyConfigure(host.get(), 0, 0);
        PumpMessages();
        EXPECT_EQ(host.Page(), nullptr);
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
    SetsProbe sets{driver};
    HostWindow host;
    DialogAnswerer answers;
};

TEST_F(LockedFiles, SettingsFileHeldOpenIsLeftAsItWas) {
    // Unreadable too: the driver then takes it for a first start and gives
    // every device its defaults, which may add set files but rewrite none.
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    HANDLE held = CreateFileA(driver.IniPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(XYApi(driver).Init(nullptr), -2) << "no port can be read";
    UseThePages();
    EXPECT_EQ(probe.Settings().port, 2) << "the choice holds in memory";
    EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
    CloseHandle(held);
    EXPECT_EQ(ChangedOrLost(before, SnapshotFolder(driver.folder())), "");
    XYApi(driver).Close();
}

TEST_F(LockedFiles, ReadOnlySettingsFile) {
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    ASSERT_TRUE(SetFileAttributesA(driver.IniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(XYApi(driver).Init(nullptr), 0);
    UseThePages();
    EXPECT_EQ(probe.Settings().port, 2) << "the choice holds in memory";
    EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
    XYApi(driver).Close();
    if (!WritesRefused(driver.IniPath())) {
        GTEST_SKIP() << "this user may write read-only files (root under Wine): only the calls "
                        "were checked";
    }
    EXPECT_EQ(FolderDifferences(before, SnapshotFolder(driver.folder())), "");
}

TEST_F(LockedFiles, SetFileHeldOpenDuringASave) {
    WheelApi wheels(driver);
    ASSERT_EQ(wheels.GetInstance(0), 0);
    probe.LoadDeviceRecord(0, 2);
    const DeviceRosterTable roster = probe.Roster();
    const std::string setPath = driver.folder() + "\\Cubes.TolvoFW";
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    HANDLE held = CreateFileA(setPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const int saved = sets.SaveFilterSet(0, host.get());
    CloseHandle(held);
    EXPECT_TRUE(saved == 0 || saved == 1);
    EXPECT_TRUE(SameRoster(roster, probe.Roster())) << "a save changes nothing in memory";
    FolderSnapshot after = SnapshotFolder(driver.folder());
    EXPECT_EQ(after["Cubes.TolvoFW"], before.at("Cubes.TolvoFW")) << "the held file kept its bytes";
    // The save may record the wheel's set name; every other file stays.
    FolderSnapshot othersBefore = before;
    othersBefore.erase("STolvo.INI");
    after.erase("STolvo.INI");
    EXPECT_EQ(FolderDifferences(othersBefore, after), "");
}

TEST_F(LockedFiles, ReadOnlyDriverFolder) {
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    ASSERT_TRUE(SetFileAttributesA(driver.folder().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(XYApi(driver).Init(nullptr), 0);
    UseThePages();
    sets.SaveFilterSet(0, host.get());
    EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
    XYApi(driver).Close();
    if (!WritesRefused(driver.folder() + "\\probe.tmp")) {
        GTEST_SKIP() << "this user may write in read-only folders (root under Wine): only the "
                        "calls were checked";
    }
    EXPECT_EQ(ChangedOrLost(before, SnapshotFolder(driver.folder())), "");
}
} // namespace
