// What the local server's tests share: switching the prefix's registration
// between TolvoSimServer.exe and TolvoSim.dll, and the server's control
// object ("tolvo.simcontrol") with the process it lives in.
#pragma once
#include <memory>
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include "core/server_members.h"
#include "test_support.h"

// Runs a command line and waits for its end within `timeoutMs`: its exit code,
// or -1 when it did not start or did not end in time (it is then ended).
int RunProgram(const std::string& commandLine, DWORD timeoutMs);

// The controller classes reach TolvoSimServer.exe (/regserver).
bool RegisterLocalServer();
// Back to what the other test programs expect: the EXE's entries removed
// (/unregserver) and TolvoSim.dll registered in process again (regsvr32).
bool RestoreInProcessServer();
// The file named by the LocalServer32 or InprocServer32 key of the class of
// `progId`, without quotes; empty when the key is missing.
std::wstring RegisteredServer(const wchar_t* progId, const wchar_t* serverKey);

// The control object of one server process. Every call that fails is a test
// failure naming the member and its HRESULT.
class SimServer {
  public:
    // Creates the control object: COM starts a server, or reaches one started
    // for this process whose control class was not taken yet.
    HRESULT Connect();
    void Disconnect() { control_.Reset(); }
    bool connected() const { return control_ != nullptr; }

    void Reset();
    DWORD ProcessId();
    int LiveObjects();
    int OutstandingRefs();
    int JournalCount();
    std::vector<std::string> Journal(); // the lines of JournalText
    void ClearJournal();
    void SetBusyPolls(int polls);
    void SetMotionSpeed(double unitsPerSecond);
    int BusyPollCount();
    void SetFault(int object, DISPID dispid, HRESULT hr);
    // As SimSetStrictArguments and SimSetVariant in process.
    void SetStrictArguments(bool strict);
    void SetVariant(int variant);
    void SetAnswerDelay(int object, DISPID dispid, DWORD milliseconds);
    bool IsLinkOpen();
    int LastOpenedPort();
    void SetStagePosition(double x, double y);
    std::pair<double, double> StagePosition();
    double FocusPosition();
    int WheelPosition(int wheel);
    int ShutterState(int shutter);
    Microsoft::WRL::ComPtr<IDispatch> CreateObject(int kind);
    void WithdrawClasses();
    // How many controller objects the server cut off their clients.
    int DisconnectObjects();
    // The control object's proxy, for marshaling it to another thread.
    Microsoft::WRL::ComPtr<IDispatch> control() const { return control_; }

  private:
    // Invokes with `args` in declaration order; `result` may be null.
    HRESULT Call(const ServerMember& member, std::initializer_list<VARIANTARG> args,
                 VARIANT* result);
    LONG GetI4(const ServerMember& member, std::initializer_list<VARIANTARG> args = {});

    Microsoft::WRL::ComPtr<IDispatch> control_;
};

// A server process, held open by a handle so that it can be watched to its end
// and killed.
class ServerProcess {
  public:
    explicit ServerProcess(DWORD processId);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;
    bool opened() const { return handle_ != nullptr; }
    DWORD Id() const;
    bool Kill(UINT exitCode);
    // Asks it to end as it does once unused (WM_QUIT to its threads): it takes
    // its classes back from COM first. Whether it ended within `timeoutMs`.
    bool End(DWORD timeoutMs);
    // Whether it ended within `timeoutMs`.
    bool WaitForEnd(DWORD timeoutMs);
    // Its exit code, STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

  private:
    HANDLE handle_;
};

// The server processes a test reached through its control object, watched to
// their end when the test is over.
class ReachedServers {
  public:
    // Connects `server`'s control object and notes the server's process;
    // nullptr (with a failure noted) when it cannot be reached.
    ServerProcess* Connect(SimServer& server);
    // Each noted process ends within `timeoutMs` once nothing is in use; one
    // that does not is noted as a failure and killed with `killedCode`.
    void ExpectAllEnded(DWORD timeoutMs, UINT killedCode);

  private:
    std::vector<std::unique_ptr<ServerProcess>> processes_;
};

// The process ids of the TolvoSimServer.exe of this build's folder running in
// the prefix.
std::vector<DWORD> RunningServers();
// Stops COM's class registry (the RpcSs service), which starts again at the
// next use: a killed server's class registrations, which would answer the
// next creation of their class with a failure, go with it.
bool RestartClassRegistry();

// The settings every family's init needs beside `driver`: the link on
// "COMM 1", shutter 0 and wheel 0 with ten named positions.
void WriteEveryFamilySettings(const LoadedDriver& driver);

// Invokes `member` on `target` with `args` in declaration order, as a client
// without the driver does; `exception` may be null.
HRESULT InvokeMember(IDispatch* target, const ServerMember& member,
                     std::initializer_list<VARIANTARG> args, VARIANT* result,
                     EXCEPINFO* exception = nullptr);
VARIANTARG MakeI4(LONG value);
VARIANTARG MakeR8(double value);
VARIANTARG MakeRefR8(double* variable);
