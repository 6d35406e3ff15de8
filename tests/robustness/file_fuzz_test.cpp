// Damaged and hostile files beside the driver: each loaded through the
// inits, the pages and the loaders, without a crash and with every name
// ending within its field.
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include "driver_api.h"
#include "file_loads.h"
#include "robust_support.h"
#include <cstring>
#include <fstream>
#include <random>

namespace {

std::string Repeat(char c, size_t n) {
    return std::string(n, c);
}

// Random bytes with NUL, 0x1A and line ends among them.
std::string Binary(unsigned seed, size_t size) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) {
        b = static_cast<char>(random() & 0xFF);
    }
    bytes.insert(size / 3, std::string("\0\x1A\r\n[", 5));
    return bytes;
}

// The same keys every file of the driver holds, with `value` for each.
std::string EveryKey(const std::string& value) {
    const char* const sections[] = {"Tolvo Stage", "Shutter1", "FilterWheel1", "FilterWheel2",
                                    "Focus",       "Filters",  "Objectives",   "Condensers"};
    const char* const keys[] = {"Port",      "BaudRate",      "TimeOut",        "StageStep",
                                "FocusStep", "Name",          "ShutterNumber",  "NumberPositions",
                                "Module",    "Position1Name", "Position10Name", "Name0",
                                "Name1"};
    std::string text;
    for (const char* section : sections) {
        text += std::string("[") + section + "]\r\n";
        for (const char* key : keys) {
            text += std::string(key) + "=" +
                    (std::strcmp(key, "Module") == 0 && value.empty() ? "STolvo32.dll" : value) +
                    "\r\n";
        }
    }
    return text;
}

std::string ThousandsOfSections() {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "[FilterWheel" + std::to_string(i) + "]\r\nName=Set" + std::to_string(i) +
                "\r\nNumberPositions=" + std::to_string(i) + "\r\n";
    }
    text += "[Filters]\r\n";
    for (int i = 0; i < 5000; ++i) {
        text += "Name" + std::to_string(i) + "=Filter " + std::to_string(i) + "\r\n";
    }
    return text;
}

struct Content {
    const char* name;
    std::string text;
    bool folder = false; // the file's name given to a folder
};

std::vector<Content> Contents() {
    return {
        {"LongLines", EveryKey(Repeat('A', 100000))},
        {"LongSection", "[" + Repeat('S', 100000) + "]\r\nName=X\r\n" + EveryKey("5")},
        {"Binary", Binary(7, 4096)},
        {"BinaryInValues", EveryKey(std::string("ab\0cd\x1A"
                                                "ef",
                                                8))},
        {"HugeNumbers", EveryKey("99999999999999999999")},
        {"NegativeNumbers", EveryKey("-2147483648")},
        {"Minus", EveryKey("-1")},
        {"ThousandsOfSections", ThousandsOfSections()},
        {"NoSections", "Port=0\r\nName=Loose\r\n"},
        {"Empty", ""},
        {"Folder", "", true},
    };
}

const char* const kFiles[] = {"STolvo.INI",   "KROHW.INI",    "Cubes.TolvoFW",
                              "KROFWLST.INI", "KROOBLST.INI", "KROCNLST.INI"};

struct FileCase {
    std::string file;
    Content content;
};

std::vector<FileCase> AllFileCases() {
    std::vector<FileCase> cases;
    for (const char* file : kFiles) {
        for (const Content& content : Contents()) {
            cases.push_back({file, content});
        }
    }
    return cases;
}

class FileFuzz : public ::testing::TestWithParam<FileCase> {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        const std::string path = driver.folder() + "\\" + GetParam().file;
        RemoveDirectoryA(path.c_str());
        EXPECT_EQ(LeakedAfterUnload(driver), 0);
        ++Figures().filesFuzzed;
    }
    LoadedDriver driver{"STolvo32Probe.dll"};
};

TEST_P(FileFuzz, LoadsWithoutOverflow) {
    const FileCase& c = GetParam();
    WriteGoodConfiguration(driver);
    const std::string path = driver.folder() + "\\" + c.file;
    DeleteFileA(path.c_str());
    if (c.content.folder) {
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    } else {
        std::ofstream(path, std::ios::binary) << c.content.text;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    HostWindow host;
    DialogAnswerer answers;
    LoadEverything(driver, host.get());
}

INSTANTIATE_TEST_SUITE_P(HostileFiles, FileFuzz, ::testing::ValuesIn(AllFileCases()),
                         [](const ::testing::TestParamInfo<FileCase>& info) {
                             std::string name = info.param.file + "_" + info.param.content.name;
                             for (char& ch : name) {
                                 if (ch == '.') {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });
} // namespace
