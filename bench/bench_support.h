// What the benchmark's figures share: timing, the report, a driver copy of its
// own and the switch of the prefix's registration to the local server.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "include/STolvo32.h"

// Medians of the driver's and the bare work, in nanoseconds per call.
struct Pair {
    double driver;
    double bare;
};

double Median(std::vector<double> values);

// Nanoseconds per run of `calls` runs of `work`.
template <typename Work> double TimeCalls(int calls, Work&& work) {
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i) {
        work();
    }
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1e9 /
           static_cast<double>(frequency.QuadPart) / calls;
}

// `batches` batches of `calls` runs of each, taken in turn and each going
// first every other time, so that a burst of other work on the machine falls
// on both alike.
template <typename Driver, typename Bare>
Pair Compare(int batches, int calls, Driver&& driver, Bare&& bare) {
    std::vector<double> driverNs;
    std::vector<double> bareNs;
    for (int batch = 0; batch < batches; ++batch) {
        if (batch % 2 == 0) {
            driverNs.push_back(TimeCalls(calls, driver));
            bareNs.push_back(TimeCalls(calls, bare));
        } else {
            bareNs.push_back(TimeCalls(calls, bare));
            driverNs.push_back(TimeCalls(calls, driver));
        }
    }
    return {Median(driverNs), Median(bareNs)};
}

// The table and the machine-readable lines.
class Report {
  public:
    // The driver's time against the bare time; met when the ratio is at most `goal`.
    void AddRatio(const std::string& name, double goal, Pair pair, const std::string& unit = "ns");
    // A value met when at most `limit`; a negative limit means no goal.
    void AddValue(const std::string& name, double value, const std::string& unit, double limit);
    void Note(const std::string& text) { notes_.push_back(text); }
    void Print() const;
    bool AllMet() const;

  private:
    struct Row {
        std::string name;
        bool ratio;
        double driver;
        double bare;
        double goal;
        std::string unit;
    };
    static bool Met(const Row& row);
    std::vector<Row> rows_;
    std::vector<std::string> notes_;
};

// The exports the figures call.
struct DriverApi {
    STOLVO_PFN_StgXYInit StgXYInit;
    STOLVO_PFN_StgXYClose StgXYClose;
    STOLVO_PFN_StgXYMove StgXYMove;
    STOLVO_PFN_StgXYReport StgXYReport;
    STOLVO_PFN_StgXYConfigure StgXYConfigure;
    STOLVO_PFN_StgZInit StgZInit;
    STOLVO_PFN_StgZClose StgZClose;
    STOLVO_PFN_StgZReport StgZReport;
    STOLVO_PFN_StgZConfigure StgZConfigure;
    STOLVO_PFN_ShtrGetInstance ShtrGetInstance;
    STOLVO_PFN_ShtrInit ShtrInit;
    STOLVO_PFN_ShtrClose ShtrClose;
    STOLVO_PFN_ShtrSetOpen ShtrSetOpen;
    STOLVO_PFN_ShtrConfigure ShtrConfigure;
    STOLVO_PFN_FWGetInstance FWGetInstance;
    STOLVO_PFN_FWInit FWInit;
    STOLVO_PFN_FWClose FWClose;
    STOLVO_PFN_FWSetPosition FWSetPosition;
    STOLVO_PFN_FWConfigure FWConfigure;
};

std::string BinDir();

// A folder of its own under the temporary folder, removed with its files.
class BenchFolder {
  public:
    BenchFolder();
    ~BenchFolder();
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A copy of a driver build from the program's folder (or from a full path),
// loaded from a folder of its own so that its settings files are the
// benchmark's.
class BenchDriver {
  public:
    explicit BenchDriver(const char* build = "STolvo32.dll");
    ~BenchDriver();
    BenchDriver(const BenchDriver&) = delete;
    BenchDriver& operator=(const BenchDriver&) = delete;
    bool loaded() const { return module_ != nullptr; }
    const DriverApi& api() const { return api_; }
    HMODULE module() const { return module_; }
    const std::string& folder() const { return folder_.path(); }
    std::string IniPath() const { return folder() + "\\STolvo.INI"; }
    // Every key of the stage section, a shutter and a wheel with its set.
    void WriteFullSettings() const;

  private:
    BenchFolder folder_;
    HMODULE module_ = nullptr;
    DriverApi api_{};
};

// Reads the keys the XY family reads from `ini`, without the driver.
void ReadStageKeys(const std::string& ini);

// The prefix's controller classes served by TolvoSimServer.exe for its
// lifetime; afterwards the server process is waited for (ended when it
// outlives its clients) and TolvoSim.dll registered again.
class LocalServerRegistration {
  public:
    LocalServerRegistration();
    ~LocalServerRegistration();
    LocalServerRegistration(const LocalServerRegistration&) = delete;
    LocalServerRegistration& operator=(const LocalServerRegistration&) = delete;
    bool switched() const { return switched_; }
    void WatchServer(DWORD processId);

  private:
    bool switched_;
    HANDLE server_ = nullptr;
};

// The module's own figures: size, imports, load and unload.
void RunModule(Report& report);
