// Files the driver may not write: STolvo.INI held open without sharing, or
// without write sharing, a set file held open while it is saved, a driver
// folder that has become a file. The writes fail quietly, memory stays
// consistent and no other file changes. Root under Wine writes read-only files
// and folders, but not through a sharing lock or into a path that is a file.
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

// The driver's folder moved aside and a file put in its place for the
// object's lifetime: the driver's paths then lead through a file.
class FolderMadeAFile {
  public:
    explicit FolderMadeAFile(const std::string& folder)
        : folder_(folder), aside_(folder + ".aside") {
        moved_ = MoveFileA(folder_.c_str(), aside_.c_str()) != FALSE;
        HANDLE file = moved_ ? CreateFileA(folder_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
        }
    }
    ~FolderMadeAFile() { Restore(); }
    FolderMadeAFile(const FolderMadeAFile&) = delete;
    FolderMadeAFile& operator=(const FolderMadeAFile&) = delete;
    bool made() const {
        return moved_ && GetFileAttributesA(folder_.c_str()) != INVALID_FILE_ATTRIBUTES &&
               (GetFileAttributesA(folder_.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }
    void Restore() {
        if (moved_) {
            DeleteFileA(folder_.c_str());
            moved_ = !MoveFileA(aside_.c_str(), folder_.c_str());
        }
    }

  private:
    std::string folder_;
    std::string aside_;
    bool moved_ = false;
};

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

FolderSnapshot WithoutSets(FolderSnapshot snapshot) {
    for (auto entry = snapshot.begin(); entry != snapshot.end();) {
        const std::string& file = entry->first;
        const bool set = file.size() > 8 && file.compare(file.size() - 8, 8, ".TolvoFW") == 0;
        entry = set ? snapshot.erase(entry) : std::next(entry);
    }
    return snapshot;
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

TEST_F(LockedFiles, SettingsFileOpenWithoutWriteSharing) {
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    HANDLE held = CreateFileA(driver.IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(WritesRefused(driver.IniPath())) << "readable, not writable, also for root";
    EXPECT_EQ(XYApi(driver).Init(nullptr), 0) << "the port is read";
    UseThePages();
    EXPECT_EQ(probe.Settings().port, 2) << "the choice holds in memory";
    EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
    XYApi(driver).Close();
    // The wheel page's defaults fill the positions its stored set lacks; the
    // set keeps the name it has, and no other file is rewritten.
    EXPECT_EQ(ChangedOrLost(WithoutSets(before), WithoutSets(SnapshotFolder(driver.folder()))), "");
    CloseHandle(held);
    EXPECT_EQ(ChangedOrLost(WithoutSets(before), WithoutSets(SnapshotFolder(driver.folder()))), "")
        << "and nothing was kept back to be written later";
    char name[60] = "";
    GetPrivateProfileStringA("FilterWheel1", "Position1Name", "", name, sizeof name,
                             (driver.folder() + "\\Cubes.TolvoFW").c_str());
    EXPECT_STREQ(name, "DAPI");
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

TEST_F(LockedFiles, DriverFolderThatHasBecomeAFile) {
    const FolderSnapshot before = SnapshotFolder(driver.folder());
    FolderMadeAFile gone(driver.folder());
    ASSERT_TRUE(gone.made());
    ASSERT_TRUE(WritesRefused(driver.folder() + "\\probe.tmp")) << "also for root";
    EXPECT_EQ(XYApi(driver).Init(nullptr), -2) << "no port can be read";
    UseThePages();
    sets.SaveFilterSet(0, host.get());
    EXPECT_TRUE(RosterNamesTerminated(probe.Roster()));
    XYApi(driver).Close();
    gone.Restore();
    EXPECT_EQ(FolderDifferences(before, SnapshotFolder(driver.folder())), "");
}
} // namespace
