#include "bench/bench_support.h"
#include "bench/pe_imports.h"
#include <algorithm>
#include <cstdio>
#include <cstring>

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

void Report::AddRatio(const std::string& name, double goal, Pair pair, const std::string& unit) {
    rows_.push_back({name, true, pair.driver, pair.bare, goal, unit});
}

void Report::AddValue(const std::string& name, double value, const std::string& unit,
                      double limit) {
    rows_.push_back({name, false, value, 0.0, limit, unit});
}

bool Report::Met(const Row& row) {
    if (row.goal < 0.0) {
        return true;
    }
    const double value = row.ratio ? row.driver / row.bare : row.driver;
    return value <= row.goal;
}

bool Report::AllMet() const {
    return std::all_of(rows_.begin(), rows_.end(), Met);
}

void Report::Print() const {
    std::printf("%-34s %14s %12s %7s %8s %4s\n", "figure", "driver", "bare", "ratio", "goal",
                "met");
    for (const Row& row : rows_) {
        const char* met = row.goal < 0.0 ? "-" : Met(row) ? "yes" : "no";
        char goal[24] = "-";
        if (row.ratio) {
            std::snprintf(goal, sizeof goal, "<=%.2f", row.goal);
            std::printf("%-34s %11.1f %-2s %9.1f %-2s %7.2f %8s %4s\n", row.name.c_str(),
                        row.driver, row.unit.c_str(), row.bare, row.unit.c_str(),
                        row.driver / row.bare, goal, met);
        } else {
            if (row.goal >= 0.0) {
                std::snprintf(goal, sizeof goal, "<=%g", row.goal);
            }
            std::printf("%-34s %11.6g %-3s %12s %7s %8s %4s\n", row.name.c_str(), row.driver,
                        row.unit.c_str(), "-", "-", goal, met);
        }
    }
    for (const std::string& note : notes_) {
        std::printf("note: %s\n", note.c_str());
    }
    for (const Row& row : rows_) {
        const char* met = row.goal < 0.0 ? "-" : Met(row) ? "yes" : "no";
        if (row.ratio) {
            std::printf("BENCH name=%s driver_%s=%.1f bare_%s=%.1f ratio=%.3f goal=%.2f met=%s\n",
                        row.name.c_str(), row.unit.c_str(), row.driver, row.unit.c_str(), row.bare,
                        row.driver / row.bare, row.goal, met);
        } else if (row.goal >= 0.0) {
            std::printf("BENCH name=%s value=%.6g unit=%s goal=%g met=%s\n", row.name.c_str(),
                        row.driver, row.unit.c_str(), row.goal, met);
        } else {
            std::printf("BENCH name=%s value=%.6g unit=%s goal=- met=-\n", row.name.c_str(),
                        row.driver, row.unit.c_str());
        }
    }
    std::fflush(stdout);
}

std::string BinDir() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\'));
}

BenchFolder::BenchFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static LONG serial = 0;
    path_ = std::string(base) + "tolvo_bench_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(InterlockedIncrement(&serial));
    CreateDirectoryA(path_.c_str(), nullptr);
}

BenchFolder::~BenchFolder() {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileA((path_ + "\\" + found.cFileName).c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

namespace {
template <typename F> void Bind(HMODULE module, const char* name, F& function) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void WriteKey(const std::string& file, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, file.c_str());
}
} // namespace

BenchDriver::BenchDriver(const char* build) {
    const std::string copy = folder() + "\\STolvo32.dll";
    // A full path names a build from elsewhere, a bare name one beside the bench.
    const std::string source =
        std::strchr(build, '\\') != nullptr ? std::string(build) : BinDir() + "\\" + build;
    if (!CopyFileA(source.c_str(), copy.c_str(), FALSE)) {
        return;
    }
    module_ = LoadLibraryA(copy.c_str());
    if (module_ == nullptr) {
        return;
    }
    Bind(module_, "StgXYInit", api_.StgXYInit);
    Bind(module_, "StgXYClose", api_.StgXYClose);
    Bind(module_, "StgXYMove", api_.StgXYMove);
    Bind(module_, "StgXYReport", api_.StgXYReport);
    Bind(module_, "StgXYConfigure", api_.StgXYConfigure);
    Bind(module_, "StgZInit", api_.StgZInit);
    Bind(module_, "StgZClose", api_.StgZClose);
    Bind(module_, "StgZReport", api_.StgZReport);
    Bind(module_, "StgZConfigure", api_.StgZConfigure);
    Bind(module_, "ShtrGetInstance", api_.ShtrGetInstance);
    Bind(module_, "ShtrInit", api_.ShtrInit);
    Bind(module_, "ShtrClose", api_.ShtrClose);
    Bind(module_, "ShtrSetOpen", api_.ShtrSetOpen);
    Bind(module_, "ShtrConfigure", api_.ShtrConfigure);
    Bind(module_, "FWGetInstance", api_.FWGetInstance);
    Bind(module_, "FWInit", api_.FWInit);
    Bind(module_, "FWClose", api_.FWClose);
    Bind(module_, "FWSetPosition", api_.FWSetPosition);
    Bind(module_, "FWConfigure", api_.FWConfigure);
}

BenchDriver::~BenchDriver() {
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

void BenchDriver::WriteFullSettings() const {
    const std::string ini = IniPath();
    const char* stage = "Tolvo Stage";
    WriteKey(ini, stage, "Port", "0");
    WriteKey(ini, stage, "BaudRate", "9600");
    WriteKey(ini, stage, "StopBits", "1");
    WriteKey(ini, stage, "Parity", "0");
    WriteKey(ini, stage, "StageStep", "6");
    WriteKey(ini, stage, "dUserDefinedXYStepSize", "0.75");
    WriteKey(ini, stage, "FocusStep", "4");
    WriteKey(ini, stage, "dUserDefinedZStepSize", "0.02");
    WriteKey(ini, stage, "CanAutoFocus", "1");
    WriteKey(ini, stage, "HasJoystick", "1");
    WriteKey(ini, stage, "TimeOut", "60000");
    WriteKey(ini, "Shutter1", "Name", "Excitation");
    WriteKey(ini, "Shutter1", "ShutterNumber", "0");
    WriteKey(ini, "FilterWheel1", "Name", "Emission");
    const std::string set = folder() + "\\Emission.TolvoFW";
    for (int p = 1; p <= 10; ++p) {
        const std::string key = "Position" + std::to_string(p) + "Name";
        WriteKey(set, "FilterWheel1", key.c_str(), ("Filter " + std::to_string(p)).c_str());
    }
}

void ReadStageKeys(const std::string& ini) {
    const char* path = ini.c_str();
    const char* stage = "Tolvo Stage";
    char text[15];
    GetPrivateProfileIntA(stage, "Port", -1, path);
    GetPrivateProfileIntA(stage, "BaudRate", 9600, path);
    GetPrivateProfileIntA(stage, "StopBits", 1, path);
    GetPrivateProfileIntA(stage, "Parity", 0, path);
    GetPrivateProfileIntA(stage, "StageStep", 2, path);
    GetPrivateProfileStringA(stage, "dUserDefinedXYStepSize", "-1.0", text, sizeof text, path);
    GetPrivateProfileIntA(stage, "FocusStep", 1, path);
    GetPrivateProfileStringA(stage, "dUserDefinedZStepSize", "-1.0", text, sizeof text, path);
    GetPrivateProfileIntA(stage, "CanAutoFocus", 1, path);
    GetPrivateProfileIntA(stage, "TimeOut", 60000, path);
}

namespace {
constexpr DWORD kRegistrationTimeoutMs = 60000;
constexpr DWORD kServerEndTimeoutMs = 30000;

bool RunProgram(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, kRegistrationTimeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

std::string ServerProgram() {
    return "\"" + BinDir() + "\\TolvoSimServer.exe\"";
}
} // namespace

LocalServerRegistration::LocalServerRegistration()
    : switched_(RunProgram(ServerProgram() + " /regserver")) {}

LocalServerRegistration::~LocalServerRegistration() {
    if (server_ != nullptr) {
        // It ends by itself once its last client is gone; one that does not
        // would hold the prefix's registration of its classes.
        if (WaitForSingleObject(server_, kServerEndTimeoutMs) != WAIT_OBJECT_0) {
            std::fprintf(stderr, "TolvoSimServer.exe did not end; ended now\n");
            TerminateProcess(server_, 1);
        }
        CloseHandle(server_);
    }
    RunProgram(ServerProgram() + " /unregserver");
    if (!RunProgram("regsvr32 /s \"" + BinDir() + "\\TolvoSim.dll\"")) {
        std::fprintf(stderr, "regsvr32 TolvoSim.dll failed\n");
    }
}

void LocalServerRegistration::WatchServer(DWORD processId) {
    server_ = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId);
}

void RunModule(Report& report) {
    const std::string path = BinDir() + "\\STolvo32.dll";
    const ModuleImports imports = ReadImports(path);
    if (!imports.read) {
        report.Note("could not read the imports of " + path);
        return;
    }
    report.AddValue("dll_size", static_cast<double>(imports.fileSize), "B", 200.0 * 1024.0);
    report.AddValue("dll_import_modules", imports.modules, "", -1.0);
    report.AddValue("dll_import_functions", imports.functions, "", -1.0);

    BenchFolder folder;
    const std::string copy = folder.path() + "\\STolvo32.dll";
    CopyFileA(path.c_str(), copy.c_str(), FALSE);
    std::vector<double> times;
    for (int i = 0; i < 21; ++i) {
        times.push_back(TimeCalls(1, [&] {
            const HMODULE module = LoadLibraryA(copy.c_str());
            if (module != nullptr) {
                FreeLibrary(module);
            }
        }));
    }
    report.AddValue("dll_load_unload", Median(times) / 1000.0, "us", -1.0);
}
