// The driver in a folder whose path nearly fills MAX_PATH: its file paths
// no longer fit, and every load, init and page fails cleanly instead of
// overflowing or writing outside its folder.
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include "driver_api.h"
#include "robust_support.h"
#include "ui/device_page.h"
#include "ui/stage_page.h"
#include <cstring>

namespace {

constexpr size_t kDriverPathLength = 250;

// A copy of the test build loaded as ...\STolvo32.dll from folders nested
// under a temporary folder until the module's path is kDriverPathLength long.
class DeepDriver {
  public:
    DeepDriver() {
        std::string folder = root_.path();
        const std::string module = "\\STolvo32.dll";
        while (folder.size() + module.size() < kDriverPathLength) {
            const size_t room = kDriverPathLength - module.size() - folder.size() - 1;
            folder += "\\" + std::string(std::min<size_t>(room == 0 ? 1 : room, 40), 'd');
            CreateDirectoryA(folder.c_str(), nullptr);
            levels_.push_back(folder);
        }
        path_ = folder + module;
        CopyFileA((BinDir() + "\\STolvo32Probe.dll").c_str(), path_.c_str(), FALSE);
        module_ = LoadLibraryA(path_.c_str());
    }
    ~DeepDriver() {
        Unload();
        DeleteEverything();
    }
    DeepDriver(const DeepDriver&) = delete;
    DeepDriver& operator=(const DeepDriver&) = delete;

    void Unload() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
            module_ = nullptr;
        }
    }
    template <typename F> F Fn(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HMODULE module() const { return module_; }
    const std::string& path() const { return path_; }
    const std::string& folder() const { return levels_.back(); }
    // The files and folders above the driver's own folder.
    const std::vector<std::string>& levels() const { return levels_; }
    const std::string& root() const { return root_.path(); }
    void Write(const char* file, const char* section, const char* key, const char* value) const {
        const std::string target = folder() + "\\" + file;
        WritePrivateProfileStringA(section, key, value, target.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, target.c_str());
    }

  private:
    void DeleteEverything() {
        for (auto level = levels_.rbegin(); level != levels_.rend(); ++level) {
            WIN32_FIND_DATAA found;
            HANDLE search = FindFirstFileA((*level + "\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    DeleteFileA((*level + "\\" + found.cFileName).c_str());
                } while (FindNextFileA(search, &found));
                FindClose(search);
            }
            RemoveDirectoryA(level->c_str());
        }
    }

    TempFolder root_;
    std::vector<std::string> levels_;
    std::string path_;
    HMODULE module_ = nullptr;
};

// Names of the entries of a folder, folders included.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return names;
}

TEST(DeepFolder, EveryPathFailsCleanly) {
    Sim().Reset();
    DeepDriver driver;
    ASSERT_NE(driver.module(), nullptr) << driver.path();
    EXPECT_GE(driver.path().size(), kDriverPathLength);
    std::printf("driver path: %zu characters\n", driver.path().size());
    // Settings the driver would find if its paths fitted; a set name this long
    // makes the set's path overflow whatever the folder.
    driver.Write("STolvo.INI", "Tolvo Stage", "Port", "0");
    driver.Write("STolvo.INI", "Shutter1", "Name", "Lamp");
    driver.Write("STolvo.INI", "Shutter1", "ShutterNumber", "1");
    driver.Write("STolvo.INI", "FilterWheel1", "Name", std::string(59, 'W').c_str());
    driver.Write("STolvo.INI", "FilterWheel1", "NumberPositions", "6");
    const FolderSnapshot files = SnapshotFolder(driver.folder());

    auto xyInit = driver.Fn<decltype(&StgXYInit)>("StgXYInit");
    auto zInit = driver.Fn<decltype(&StgZInit)>("StgZInit");
    auto shutterInstance = driver.Fn<decltype(&ShtrGetInstance)>("ShtrGetInstance");
    auto shutterInit = driver.Fn<decltype(&ShtrInit)>("ShtrInit");
    auto shutterName = driver.Fn<decltype(&ShtrGetName)>("ShtrGetName");
    auto wheelInstance = driver.Fn<decltype(&FWGetInstance)>("FWGetInstance");
    auto wheelInit = driver.Fn<decltype(&FWInit)>("FWInit");
    auto wheelName = driver.Fn<decltype(&FWGetName)>("FWGetName");
    auto getRoster = driver.Fn<void(WINAPI*)(DeviceRosterTable*)>("ProbeGetRoster");
    auto loadSet = driver.Fn<int(WINAPI*)(int)>("ProbeLoadFilterSet");
    auto setPath = driver.Fn<int(WINAPI*)(const char*, char*, int)>("ProbeFilterSetPath");

    const int xy = xyInit(nullptr);
    EXPECT_TRUE(xy == 0 || xy == -1 || xy == -2) << xy;
    EXPECT_EQ(shutterInstance(0), 0);
    const int shutter = shutterInit(0, nullptr);
    EXPECT_TRUE(shutter == 0 || shutter == -1 || shutter == -2) << shutter;
    EXPECT_EQ(wheelInstance(0), 0);
    const int wheel = wheelInit(0, nullptr);
    EXPECT_TRUE(wheel == 0 || wheel == 1 || wheel == -1 || wheel == -2) << wheel;
    const int z = zInit(nullptr);
    EXPECT_TRUE(z == 0 || z == 1 || z == -1) << z;
    char name[kNameSize + 4];
    std::memset(name, 0xA5, sizeof name);
    shutterName(0, name);
    EXPECT_EQ(static_cast<unsigned char>(name[kNameSize]), 0xA5u);
    std::memset(name, 0xA5, sizeof name);
    wheelName(0, -1, name);
    EXPECT_EQ(static_cast<unsigned char>(name[kNameSize]), 0xA5u);
    loadSet(0);
    char path[MAX_PATH + 8];
    EXPECT_EQ(setPath(std::string(59, 'W').c_str(), path, sizeof path), 0)
        << "a set path that does not fit is refused";
    DeviceRosterTable roster{};
    getRoster(&roster);
    EXPECT_TRUE(RosterNamesTerminated(roster));

    {
        HostWindow host;
        DialogAnswerer answers;
        auto xyConfigure = driver.Fn<decltype(&StgXYConfigure)>("StgXYConfigure");
        auto shutterConfigure = driver.Fn<decltype(&ShtrConfigure)>("ShtrConfigure");
        auto wheelConfigure = driver.Fn<decltype(&FWConfigure)>("FWConfigure");
        xyConfigure(host.get(), 0, 1);
        PumpMessages();
        EXPECT_NE(host.Page(), nullptr) << "the page opens";
        xyConfigure(host.get(), 0, 0);
        shutterConfigure(host.get(), 0, 0, 1);
        PumpMessages();
        EXPECT_NE(host.Page(), nullptr) << "the page opens";
        shutterConfigure(host.get(), 0, 0, 0);
        wheelConfigure(host.get(), 0, 0, 1);
        PumpMessages();
        EXPECT_NE(host.Page(), nullptr) << "the page opens";
        wheelConfigure(host.get(), 0, 0, 0);
        PumpMessages();
        EXPECT_EQ(host.Page(), nullptr);
    }
    driver.Fn<decltype(&StgZClose)>("StgZClose")();
    driver.Fn<decltype(&ShtrClose)>("ShtrClose")(0);
    driver.Fn<decltype(&FWClose)>("FWClose")(0);
    driver.Fn<decltype(&StgXYClose)>("StgXYClose")();
    driver.Unload();

    EXPECT_EQ(Sim().LiveObjects(), 0);
    Figures().leakedReferences += Sim().LiveObjects();
    // Nothing appeared beside any of the folders above the driver's.
    EXPECT_EQ(Entries(driver.root()).size(), 1u);
    for (size_t i = 0; i + 1 < driver.levels().size(); ++i) {
        EXPECT_EQ(Entries(driver.levels()[i]).size(), 1u) << driver.levels()[i];
    }
    const FolderSnapshot after = SnapshotFolder(driver.folder());
    for (const auto& entry : after) {
        EXPECT_TRUE(entry.first == "STolvo32.dll" || files.count(entry.first) == 1)
            << entry.first << " written beside the driver";
    }
}
} // namespace
