// What the black-box tests share: a fresh copy of the driver per test, the
// simulator's control functions, and the simulator's journal as text.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <wrl/client.h>
#include "sim/sim_control.h"
#include "sim/sim_variant.h"

std::string BinDir();     // folder of the test program, the driver and the simulator
std::string HostLibDir(); // folder of the host utility library stand-in
// The plain file that stands for serial or printer port `port` ("com1",
// "lpt1") in the Wine prefix (scripts/wine-env.sh), as a Windows path; ""
// when the tests do not run in such a prefix.
std::string PortFile(const std::string& port);

// A new empty folder, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A copy of a driver build, loaded from its own temporary folder as
// "STolvo32.dll", so that each test starts with fresh module state and
// its own settings files.
class LoadedDriver {
  public:
    explicit LoadedDriver(const char* build = "STolvo32.dll");
    ~LoadedDriver();
    LoadedDriver(const LoadedDriver&) = delete;
    LoadedDriver& operator=(const LoadedDriver&) = delete;

    HMODULE module() const { return module_; }
    const std::string& folder() const { return folder_.path(); }
    std::string IniPath() const { return folder() + "\\STolvo.INI"; }

    FARPROC Raw(const char* name) const { return GetProcAddress(module_, name); }
    template <typename F> F Fn(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(Raw(name)));
    }

    void SetIni(const char* key, const char* value, const char* section = "Tolvo Stage") const;
    // Writes one key of another file beside the driver ("KROHW.INI", a list file).
    void SetFileKey(const char* file, const char* section, const char* key,
                    const char* value) const;
    // A filter set file `set`.TolvoFW whose section holds the position names
    // "`prefix` 1" to "`prefix` `names`".
    void WriteSet(const char* set, const char* section, const char* prefix, int names = 10) const;
    std::string IniFileText() const;
    void Unload();

  private:
    TempFolder folder_;
    HMODULE module_ = nullptr;
};

// The simulator's control functions, from the module COM loads for the
// registered classes; loaded once and kept.
struct SimApi {
    HMODULE module;
    decltype(&SimReset) Reset;
    decltype(&SimSetStrictArguments) SetStrictArguments;
    decltype(&SimSetVariant) SetVariant;
    decltype(&SimJournalCount) JournalCount;
    decltype(&SimJournalEntry) JournalEntry;
    decltype(&SimJournalClear) JournalClear;
    decltype(&SimJournalNote) JournalNote;
    decltype(&SimSetBusyPolls) SetBusyPolls;
    decltype(&SimSetMotionSpeed) SetMotionSpeed;
    decltype(&SimGetBusyPollCount) BusyPollCount;
    decltype(&SimSetFault) SetFault;
    decltype(&SimSetAnswerDelay) SetAnswerDelay;
    decltype(&SimSetBusyForever) SetBusyForever;
    decltype(&SimSetOpenablePorts) SetOpenablePorts;
    decltype(&SimIsLinkOpen) IsLinkOpen;
    decltype(&SimLastOpenedPort) LastOpenedPort;
    decltype(&SimSetOpenPortStatus) SetOpenPortStatus;
    decltype(&SimGetShutterState) ShutterState;
    decltype(&SimSetTravel) SetTravel;
    decltype(&SimSetStagePosition) SetStagePosition;
    decltype(&SimGetStagePosition) GetStagePosition;
    decltype(&SimGetStageSpeed) StageSpeed;
    decltype(&SimLiveObjects) LiveObjects;
    decltype(&SimOutstandingRefs) OutstandingRefs;
    decltype(&SimCreateObject) CreateObject;
    decltype(&SimGetClassId) GetClassId;
    HRESULT(STDAPICALLTYPE* CanUnloadNow)();
    decltype(&SimSetClassRegistered) SetClassRegistered;
    decltype(&SimSetCreationFault) SetCreationFault;
    decltype(&SimSetFocusPosition) SetFocusPosition;
    decltype(&SimGetFocusPosition) FocusPosition;
    decltype(&SimSetWheelPositionCount) SetWheelPositionCount;
    decltype(&SimGetWheelPositionCount) WheelPositionCount;
    decltype(&SimGetWheelPosition) WheelPosition;
};
const SimApi& Sim();

std::vector<SimCall> Journal();
// The journal as text (JournalText in sim/journal/journal_text.h).
std::vector<std::string> Trace();

// Puts a new simulator object in the running object table for its lifetime.
class RunningInstance {
  public:
    explicit RunningInstance(int kind);
    ~RunningInstance();
    RunningInstance(const RunningInstance&) = delete;
    RunningInstance& operator=(const RunningInstance&) = delete;
    bool registered() const { return cookie_ != 0; }

  private:
    Microsoft::WRL::ComPtr<IDispatch> object_;
    DWORD cookie_ = 0;
};
