#include "test_support.h"
#include "sim/journal/journal_text.h"
#include <gtest/gtest.h>
#include <ole2.h>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
// The host initialises OLE on its thread before it calls the driver.
class OleEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};
const auto* const oleEnvironment = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// A test that hangs (a wait that never ends, a dialog nobody answers) ends the
// program within a bound and names itself, rather than running into ctest's
// limit for the whole program.
class HangWatchdog : public ::testing::EmptyTestEventListener {
  public:
    static constexpr DWORD kLimitMs = 60000;

    HangWatchdog() : armed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    void OnTestStart(const ::testing::TestInfo& test) override {
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        ResetEvent(armed_);
        thread_ = CreateThread(nullptr, 0, &HangWatchdog::Watch, this, 0, nullptr);
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        SetEvent(armed_);
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
    }

  private:
    static DWORD WINAPI Watch(void* self) {
        auto* watchdog = static_cast<HangWatchdog*>(self);
        if (WaitForSingleObject(watchdog->armed_, kLimitMs) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "\n%s did not finish within %lu s: ended as hung\n",
                         watchdog->name_.c_str(), kLimitMs / 1000);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }

    HANDLE armed_;
    HANDLE thread_ = nullptr;
    std::string name_;
};

struct WatchdogInstaller {
    WatchdogInstaller() {
        ::testing::UnitTest::GetInstance()->listeners().Append(new HangWatchdog);
    }
} const watchdogInstaller;

std::string ModuleFolder(HMODULE module) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\'));
}

template <typename F> F SimFunction(HMODULE module, const char* name) {
    auto function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (function == nullptr) {
        std::fprintf(stderr, "TolvoSim.dll has no %s\n", name);
        std::abort();
    }
    return function;
}

} // namespace

std::string BinDir() {
    return ModuleFolder(nullptr);
}
std::string HostLibDir() {
    return BinDir() + "\\..\\hostlib";
}
std::string PortFile(const std::string& port) {
    char prefix[MAX_PATH] = "";
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix || prefix[0] != '/') {
        return "";
    }
    std::string path = std::string("Z:") + prefix + "/ports/" + port;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

TempFolder::TempFolder() {
    static int counter = 0;
    char base[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, base);
    for (;;) {
        path_ = std::string(base) + "stolvo-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr)) {
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            std::fprintf(stderr, "cannot create %s\n", path_.c_str());
            std::abort();
        }
    }
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string file = path_ + "\\" + found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

LoadedDriver::LoadedDriver(const char* build) {
    const std::string target = folder() + "\\STolvo32.dll";
    if (!CopyFileA((BinDir() + "\\" + build).c_str(), target.c_str(), FALSE)) {
        std::fprintf(stderr, "cannot copy %s\n", build);
        std::abort();
    }
    module_ = LoadLibraryA(target.c_str());
    if (module_ == nullptr) {
        std::fprintf(stderr, "cannot load %s\n", target.c_str());
        std::abort();
    }
}

LoadedDriver::~LoadedDriver() {
    Unload();
}

void LoadedDriver::Unload() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

void LoadedDriver::SetIni(const char* key, const char* value, const char* section) const {
    SetFileKey("STolvo.INI", section, key, value);
}

void LoadedDriver::SetFileKey(const char* file, const char* section, const char* key,
                              const char* value) const {
    const std::string path = folder() + "\\" + file;
    WritePrivateProfileStringA(section, key, value, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

void LoadedDriver::WriteSet(const char* set, const char* section, const char* prefix,
                            int names) const {
    const std::string file = std::string(set) + ".TolvoFW";
    for (int p = 1; p <= names; ++p) {
        const std::string key = "Position" + std::to_string(p) + "Name";
        const std::string value = std::string(prefix) + " " + std::to_string(p);
        SetFileKey(file.c_str(), section, key.c_str(), value.c_str());
    }
}

std::string LoadedDriver::IniFileText() const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, IniPath().c_str());
    std::ifstream file(IniPath(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const SimApi& Sim() {
    static const SimApi api = [] {
        HMODULE module = LoadLibraryA((BinDir() + "\\TolvoSim.dll").c_str());
        if (module == nullptr) {
            std::fprintf(stderr, "cannot load TolvoSim.dll\n");
            std::abort();
        }
        SimApi a;
        a.module = module;
        a.Reset = SimFunction<decltype(a.Reset)>(module, "SimReset");
        a.SetStrictArguments =
            SimFunction<decltype(a.SetStrictArguments)>(module, "SimSetStrictArguments");
        // The tests want a driver that sends a wrong argument type caught, so
        // they take the simulator strict; SimReset keeps the mode.
        a.SetStrictArguments(TRUE);
        a.SetVariant = SimFunction<decltype(a.SetVariant)>(module, "SimSetVariant");
        a.JournalCount = SimFunction<decltype(a.JournalCount)>(module, "SimJournalCount");
        a.JournalEntry = SimFunction<decltype(a.JournalEntry)>(module, "SimJournalEntry");
        a.JournalClear = SimFunction<decltype(a.JournalClear)>(module, "SimJournalClear");
        a.JournalNote = SimFunction<decltype(a.JournalNote)>(module, "SimJournalNote");
        a.SetBusyPolls = SimFunction<decltype(a.SetBusyPolls)>(module, "SimSetBusyPolls");
        a.SetMotionSpeed = SimFunction<decltype(a.SetMotionSpeed)>(module, "SimSetMotionSpeed");
        a.BusyPollCount = SimFunction<decltype(a.BusyPollCount)>(module, "SimGetBusyPollCount");
        a.SetFault = SimFunction<decltype(a.SetFault)>(module, "SimSetFault");
        a.SetAnswerDelay = SimFunction<decltype(a.SetAnswerDelay)>(module, "SimSetAnswerDelay");
        a.SetBusyForever = SimFunction<decltype(a.SetBusyForever)>(module, "SimSetBusyForever");
        a.SetOpenablePorts =
            SimFunction<decltype(a.SetOpenablePorts)>(module, "SimSetOpenablePorts");
        a.IsLinkOpen = SimFunction<decltype(a.IsLinkOpen)>(module, "SimIsLinkOpen");
        a.LastOpenedPort = SimFunction<decltype(a.LastOpenedPort)>(module, "SimLastOpenedPort");
        a.SetOpenPortStatus =
            SimFunction<decltype(a.SetOpenPortStatus)>(module, "SimSetOpenPortStatus");
        a.SetTravel = SimFunction<decltype(a.SetTravel)>(module, "SimSetTravel");
        a.SetStagePosition =
            SimFunction<decltype(a.SetStagePosition)>(module, "SimSetStagePosition");
        a.GetStagePosition =
            SimFunction<decltype(a.GetStagePosition)>(module, "SimGetStagePosition");
        a.StageSpeed = SimFunction<decltype(a.StageSpeed)>(module, "SimGetStageSpeed");
        a.ShutterState = SimFunction<decltype(a.ShutterState)>(module, "SimGetShutterState");
        a.CanUnloadNow = SimFunction<decltype(a.CanUnloadNow)>(module, "DllCanUnloadNow");
        a.LiveObjects = SimFunction<decltype(a.LiveObjects)>(module, "SimLiveObjects");
        a.OutstandingRefs = SimFunction<decltype(a.OutstandingRefs)>(module, "SimOutstandingRefs");
        a.CreateObject = SimFunction<decltype(a.CreateObject)>(module, "SimCreateObject");
        a.GetClassId = SimFunction<decltype(a.GetClassId)>(module, "SimGetClassId");
        a.SetClassRegistered =
            SimFunction<decltype(a.SetClassRegistered)>(module, "SimSetClassRegistered");
        a.SetCreationFault =
            SimFunction<decltype(a.SetCreationFault)>(module, "SimSetCreationFault");
        a.SetFocusPosition =
            SimFunction<decltype(a.SetFocusPosition)>(module, "SimSetFocusPosition");
        a.FocusPosition = SimFunction<decltype(a.FocusPosition)>(module, "SimGetFocusPosition");
        a.SetWheelPositionCount =
            SimFunction<decltype(a.SetWheelPositionCount)>(module, "SimSetWheelPositionCount");
        a.WheelPositionCount =
            SimFunction<decltype(a.WheelPositionCount)>(module, "SimGetWheelPositionCount");
        a.WheelPosition = SimFunction<decltype(a.WheelPosition)>(module, "SimGetWheelPosition");
        return a;
    }();
    return api;
}

std::vector<SimCall> Journal() {
    std::vector<SimCall> calls;
    const int count = Sim().JournalCount();
    for (int i = 0; i < count; ++i) {
        SimCall call{};
        if (Sim().JournalEntry(i, &call)) {
            calls.push_back(call);
        }
    }
    return calls;
}

std::vector<std::string> Trace() {
    return JournalText(Journal());
}

RunningInstance::RunningInstance(int kind) {
    CLSID clsid;
    if (FAILED(Sim().CreateObject(kind, object_.GetAddressOf())) ||
        FAILED(Sim().GetClassId(kind, &clsid)) ||
        FAILED(RegisterActiveObject(object_.Get(), clsid, ACTIVEOBJECT_STRONG, &cookie_))) {
        cookie_ = 0;
    }
}

RunningInstance::~RunningInstance() {
    if (cookie_ != 0) {
        RevokeActiveObject(cookie_, nullptr);
    }
}
