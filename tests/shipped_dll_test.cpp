// The driver module as it ships: it must load on 32-bit Windows XP SP3 and
// later, so it may import only system modules and only functions that XP's
// system modules already export; and it is stripped and small.
#include <gtest/gtest.h>
#include "pe_file.h"
#include "test_support.h"
#include <cstdio>
#include <set>

namespace {
std::string ShippedDriverPath() {
    return BinDir() + "\\STolvo32.dll";
}

// Functions that came with Vista or later; a trailing '*' stands for every
// name that begins with the text before it. The posix thread runtime of
// MinGW-w64 pulls the first ones in.
const char* const kAfterXP[] = {"GetTickCount64",
                                "InitializeSRWLock",
                                "AcquireSRWLockExclusive",
                                "ReleaseSRWLockExclusive",
                                "AcquireSRWLockShared",
                                "ReleaseSRWLockShared",
                                "TryAcquireSRWLock*",
                                "InitializeConditionVariable",
                                "SleepConditionVariableCS",
                                "SleepConditionVariableSRW",
                                "WakeConditionVariable",
                                "WakeAllConditionVariable",
                                "InitOnceExecuteOnce",
                                "InitOnceBeginInitialize",
                                "InitOnceComplete",
                                "InitOnceInitialize",
                                "InitializeCriticalSectionEx",
                                "GetFileInformationByHandleEx",
                                "SetFileInformationByHandle",
                                "CreateSymbolicLink*",
                                "GetFinalPathNameByHandle*",
                                "FlsAlloc",
                                "FlsGetValue",
                                "FlsSetValue",
                                "FlsFree",
                                "CompareStringEx",
                                "LCMapStringEx",
                                "GetLocaleInfoEx",
                                "LocaleNameToLCID",
                                "LCIDToLocaleName",
                                "GetUserDefaultLocaleName",
                                "GetSystemTimePreciseAsFileTime",
                                "RegDeleteTreeW",
                                "RegDeleteTreeA",
                                "RegGetValue*",
                                "RegSetKeyValue*",
                                "CreateEventEx*",
                                "CreateMutexEx*",
                                "CreateSemaphoreEx*",
                                "CreateWaitableTimerEx*",
                                "GetErrorMode",
                                "GetThreadErrorMode",
                                "SetThreadErrorMode",
                                "GetThreadId",
                                "GetProcessIdOfThread",
                                "QueryFullProcessImageName*",
                                "CancelIoEx",
                                "GetQueuedCompletionStatusEx",
                                "GetCurrentProcessorNumber",
                                "CreateFile2",
                                "WaitOnAddress",
                                "WakeByAddress*"};

bool CameAfterXP(const std::string& function) {
    for (const std::string pattern : kAfterXP) {
        if (pattern.back() == '*'
                ? function.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0
                : function == pattern) {
            return true;
        }
    }
    return false;
}

// The complete driver stays under 200 KB. Most of it is the static C++ and C
// runtime; the driver's own containers are plain heap blocks, since the C++
// library's string and container code alone would add about 100 KB.
constexpr size_t kSizeBound = 200 * 1024;
} // namespace

TEST(ShippedDriver, ThePatternsMatchWhatTheyName) {
    EXPECT_TRUE(CameAfterXP("GetTickCount64"));
    EXPECT_TRUE(CameAfterXP("TryAcquireSRWLockExclusive"));
    EXPECT_TRUE(CameAfterXP("CreateEventExW"));
    EXPECT_FALSE(CameAfterXP("GetTickCount"));
    EXPECT_FALSE(CameAfterXP("CreateEventA"));
    EXPECT_FALSE(CameAfterXP("GetThreadContext"));
}

TEST(ShippedDriver, ImportsSystemModulesOnly) {
    const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",
                                          "advapi32.dll", "ole32.dll",   "oleaut32.dll",
                                          "msvcrt.dll",   "comctl32.dll"};
    const PeFile driver(ShippedDriverPath());
    ASSERT_TRUE(driver.valid());
    const auto imports = driver.Imports();
    EXPECT_FALSE(imports.empty());
    for (const auto& module : imports) {
        EXPECT_TRUE(system.count(module.first))
            << module.first << " is not a Windows system module";
    }
}

TEST(ShippedDriver, ImportsNothingThatCameAfterWindowsXP) {
    const PeFile driver(ShippedDriverPath());
    ASSERT_TRUE(driver.valid());
    size_t count = 0;
    for (const auto& module : driver.Imports()) {
        for (const std::string& function : module.second) {
            ++count;
            EXPECT_FALSE(CameAfterXP(function)) << module.first << "!" << function;
            EXPECT_NE(function.front(), '#') << module.first << " imported by ordinal";
        }
    }
    std::printf("STolvo32.dll imports %zu functions\n", count);
    EXPECT_GT(count, 0u);
}

TEST(ShippedDriver, IsStripped) {
    const PeFile driver(ShippedDriverPath());
    ASSERT_TRUE(driver.valid());
    EXPECT_EQ(driver.fileHeader().PointerToSymbolTable, 0u);
    EXPECT_EQ(driver.fileHeader().NumberOfSymbols, 0u);
    for (const std::string& name : driver.SectionNames()) {
        // Debug sections have long names, kept in the symbol table ("/4").
        EXPECT_NE(name.front(), '/') << name;
        EXPECT_NE(name.rfind(".debug", 0), 0u) << name;
    }
}

TEST(ShippedDriver, IsSmall) {
    const PeFile driver(ShippedDriverPath());
    ASSERT_TRUE(driver.valid());
    std::printf("STolvo32.dll: %zu bytes (%.1f KB)\n", driver.size(), driver.size() / 1024.0);
    EXPECT_LT(driver.size(), kSizeBound);
}
