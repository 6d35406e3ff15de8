// The built module's export and import tables, as the host and Windows see them.
#include <gtest/gtest.h>
#include "test_support.h"
#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <set>

namespace {
const std::map<std::string, int> kExports = {{"DllMain", 1},
                                             {"StgXYInit", 3},
                                             {"StgXYType", 4},
                                             {"StgXYClose", 5},
                                             {"StgXYStatus", 6},
                                             {"StgXYMove", 7},
                                             {"StgXYCommand", 8},
                                             {"StgXYReport", 9},
                                             {"StgXYStep", 10},
                                             {"StgXStep", 11},
                                             {"StgYStep", 12},
                                             {"StgXYOrigin", 13},
                                             {"StgXYCalib", 14},
                                             {"StgXYSetSpeed", 15},
                                             {"StgXYJoystick", 16},
                                             {"StgXYWrite", 17},
                                             {"StgXYRead", 18},
                                             {"StgXStepSize", 35},
                                             {"StgYStepSize", 36},
                                             // Focus drive.
                                             {"StgZInit", 20},
                                             {"StgZClose", 21},
                                             {"StgZStatus", 22},
                                             {"StgZMove", 23},
                                             {"StgZReport", 24},
                                             {"StgZStep", 25},
                                             {"StgZOrigin", 26},
                                             {"StgZCalib", 27},
                                             {"StgZSetSpeed", 28},
                                             {"StgZWrite", 29},
                                             {"StgZRead", 30},
                                             {"StgZCanAutoFocus", 31},
                                             {"StgZAutoFocus", 32},
                                             {"StgZStepSize", 37},
                                             {"StgZType", 38},
                                             // Shutters.
                                             {"ShtrConfigure", 50},
                                             {"ShtrInit", 51},
                                             {"ShtrClose", 52},
                                             {"ShtrGetName", 53},
                                             {"ShtrSetOpen", 54},
                                             {"ShtrGetOpen", 55},
                                             {"ShtrWrite", 56},
                                             {"ShtrRead", 57},
                                             {"ShtrGetInstance", 58},
                                             // Filter wheels.
                                             {"FWConfigure", 60},
                                             {"FWInit", 61},
                                             {"FWClose", 62},
                                             {"FWGetCount", 63},
                                             {"FWGetName", 64},
                                             {"FWSetPosition", 65},
                                             {"FWGetPosition", 66},
                                             {"FWWrite", 67},
                                             {"FWRead", 68},
                                             {"FWGetInstance", 69},
                                             // Device pages and name list editor.
                                             {"KroConfigProc", 70},
                                             {"KroNameListProc", 71},
                                             // Stage configuration page.
                                             {"StgXYConfigure", 2},
                                             {"StgZConfigure", 19},
                                             {"StgConfigProc", 33}};

// Ordinals that stay empty whatever the module exports.
const int kEmptyOrdinals[] = {34, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 59};

template <typename T> const T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
}

const IMAGE_DATA_DIRECTORY& Directory(HMODULE module, int entry) {
    const auto* dos = At<IMAGE_DOS_HEADER>(module, 0);
    const auto* nt = At<IMAGE_NT_HEADERS32>(module, dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[entry];
}

std::map<std::string, int> ExportTable(HMODULE module) {
    const auto* dir = At<IMAGE_EXPORT_DIRECTORY>(
        module, Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    const auto* names = At<DWORD>(module, dir->AddressOfNames);
    const auto* ordinals = At<WORD>(module, dir->AddressOfNameOrdinals);
    std::map<std::string, int> table;
    for (DWORD i = 0; i < dir->NumberOfNames; ++i) {
        table[At<char>(module, names[i])] = static_cast<int>(dir->Base + ordinals[i]);
    }
    return table;
}

std::set<int> UsedOrdinals(HMODULE module) {
    const auto* dir = At<IMAGE_EXPORT_DIRECTORY>(
        module, Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
    const auto* functions = At<DWORD>(module, dir->AddressOfFunctions);
    std::set<int> used;
    for (DWORD i = 0; i < dir->NumberOfFunctions; ++i) {
        if (functions[i] != 0) {
            used.insert(static_cast<int>(dir->Base + i));
        }
    }
    return used;
}

std::vector<std::string> ImportedModules(HMODULE module) {
    const auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(
        module, Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress);
    std::vector<std::string> names;
    for (; entry->Name != 0; ++entry) {
        std::string name = At<char>(module, entry->Name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        names.push_back(name);
    }
    return names;
}
} // namespace

TEST(ExportTable, NamesAndOrdinalsAreExactlyTheHostContract) {
    LoadedDriver driver;
    EXPECT_EQ(ExportTable(driver.module()), kExports);
    std::set<int> expectedOrdinals;
    for (const auto& e : kExports) {
        expectedOrdinals.insert(e.second);
    }
    EXPECT_EQ(UsedOrdinals(driver.module()), expectedOrdinals);
    for (int ordinal : kEmptyOrdinals) {
        EXPECT_EQ(GetProcAddress(driver.module(), MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
    }
}

TEST(ExportTable, EveryOrdinalFrom1To71IsAnExportOrLeftEmpty) {
    EXPECT_EQ(kExports.size(), 58u) << "57 exports and DllMain";
    const std::set<int> empty(std::begin(kEmptyOrdinals), std::end(kEmptyOrdinals));
    std::set<int> expected;
    for (int ordinal = 1; ordinal <= 71; ++ordinal) {
        if (empty.count(ordinal) == 0) {
            expected.insert(ordinal);
        }
    }
    LoadedDriver driver;
    EXPECT_EQ(UsedOrdinals(driver.module()), expected);
}

TEST(ExportTable, ByNameAndByOrdinalReachTheSameFunction) {
    LoadedDriver driver;
    for (const auto& e : kExports) {
        FARPROC byName = driver.Raw(e.first.c_str());
        EXPECT_NE(byName, nullptr) << e.first;
        EXPECT_EQ(byName, GetProcAddress(driver.module(), MAKEINTRESOURCEA(e.second))) << e.first;
    }
}

TEST(ImportTable, OnlyWindowsSystemModules) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "advapi32.dll", "ole32.dll",   "oleaut32.dll",
                                          "msvcrt.dll",   "comctl32.dll"};
    LoadedDriver driver;
    const std::vector<std::string> imports = ImportedModules(driver.module());
    EXPECT_FALSE(imports.empty());
    for (const std::string& name : imports) {
        EXPECT_TRUE(system.count(name)) << name << " is not a Windows system module";
    }
}
