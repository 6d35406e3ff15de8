#include "sim_server.h"
#include "core/unique_variant.h"
#include "test_support.h"
#include "sim/local_server/control_members.h"
#include <gtest/gtest.h>
#include <objbase.h>
#include <oleauto.h>
#include <iterator>
#include <tlhelp32.h>

using Microsoft::WRL::ComPtr;

namespace {
constexpr DWORD kRegistrationTimeoutMs = 30000;

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

std::string ServerProgram() {
    return Quoted(BinDir() + "\\TolvoSimServer.exe");
}

using Variant = UniqueVariant;

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text != nullptr && *text != L'\0'; ++text) {
        narrow += static_cast<char>(*text);
    }
    return narrow;
}
} // namespace

int RunProgram(const std::string& commandLine, DWORD timeoutMs) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}

bool RegisterLocalServer() {
    return RunProgram(ServerProgram() + " /regserver", kRegistrationTimeoutMs) == 0;
}

bool RestoreInProcessServer() {
    const bool removed = RunProgram(ServerProgram() + " /unregserver", kRegistrationTimeoutMs) == 0;
    const bool registered = RunProgram("regsvr32 /s " + Quoted(BinDir() + "\\TolvoSim.dll"),
                                       kRegistrationTimeoutMs) == 0;
    return removed && registered;
}

std::wstring RegisteredServer(const wchar_t* progId, const wchar_t* serverKey) {
    CLSID classId;
    wchar_t idText[40];
    if (FAILED(CLSIDFromProgID(progId, &classId)) || StringFromGUID2(classId, idText, 40) == 0) {
        return std::wstring();
    }
    const std::wstring key = std::wstring(L"CLSID\\") + idText + L"\\" + serverKey;
    wchar_t value[MAX_PATH] = L"";
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    std::wstring path = value;
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') {
        path = path.substr(1, path.size() - 2);
    }
    return path;
}

ServerProcess::ServerProcess(DWORD processId)
    : handle_(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                          FALSE, processId)) {}

ServerProcess::~ServerProcess() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

bool ServerProcess::Kill(UINT exitCode) {
    return handle_ != nullptr && TerminateProcess(handle_, exitCode);
}

bool ServerProcess::End(DWORD timeoutMs) {
    if (handle_ == nullptr) {
        return false;
    }
    const DWORD id = Id();
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more;
             more = Thread32Next(snapshot, &entry)) {
            if (entry.th32OwnerProcessID == id) {
                PostThreadMessageW(entry.th32ThreadID, WM_QUIT, 0, 0);
            }
        }
        CloseHandle(snapshot);
    }
    return WaitForEnd(timeoutMs);
}

DWORD ServerProcess::Id() const {
    return handle_ != nullptr ? GetProcessId(handle_) : 0;
}

bool ServerProcess::WaitForEnd(DWORD timeoutMs) {
    return handle_ != nullptr && WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ServerProcess::ExitCode() const {
    DWORD code = 0;
    return handle_ != nullptr && GetExitCodeProcess(handle_, &code) ? code : 0;
}

std::vector<DWORD> RunningServers() {
    std::vector<DWORD> servers;
    const std::string program = BinDir() + "\\TolvoSimServer.exe";
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return servers;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        const HANDLE process =
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process == nullptr) {
            continue;
        }
        char image[MAX_PATH] = "";
        DWORD size = MAX_PATH;
        if (QueryFullProcessImageNameA(process, 0, image, &size) &&
            CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, image, -1, program.c_str(), -1) ==
                CSTR_EQUAL) {
            servers.push_back(entry.th32ProcessID);
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return servers;
}

bool RestartClassRegistry() {
    constexpr DWORD kStopMs = 10000;
    const SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service =
        manager != nullptr ? OpenServiceA(manager, "RpcSs", SERVICE_STOP | SERVICE_QUERY_STATUS)
                           : nullptr;
    SERVICE_STATUS status{};
    bool stopped = false;
    if (service != nullptr) {
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        const DWORD start = GetTickCount();
        while (QueryServiceStatus(service, &status) && status.dwCurrentState != SERVICE_STOPPED &&
               GetTickCount() - start < kStopMs) {
            Sleep(50);
        }
        stopped = status.dwCurrentState == SERVICE_STOPPED;
        CloseServiceHandle(service);
    }
    if (manager != nullptr) {
        CloseServiceHandle(manager);
    }
    return stopped;
}

void WriteEveryFamilySettings(const LoadedDriver& driver) {
    driver.SetIni("Port", "0");
    driver.SetIni("Name", "Excitation", "Shutter1");
    driver.SetIni("ShutterNumber", "0", "Shutter1");
    driver.SetIni("Name", "Emission", "FilterWheel1");
    driver.WriteSet("Emission", "FilterWheel1", "Filter");
}

HRESULT InvokeMember(IDispatch* target, const ServerMember& member,
                     std::initializer_list<VARIANTARG> args, VARIANT* result,
                     EXCEPINFO* exception) {
    std::vector<VARIANTARG> reversed(std::rbegin(args), std::rend(args));
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    const WORD flags = DispatchFlags(member.kind);
    if (flags == DISPATCH_PROPERTYPUT) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &putId;
    }
    UINT argError = 0;
    return target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                          exception, &argError);
}

VARIANTARG MakeI4(LONG value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANTARG MakeR8(double value) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANTARG MakeRefR8(double* variable) {
    VARIANTARG v;
    VariantInit(&v);
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = variable;
    return v;
}

HRESULT SimServer::Connect() {
    control_.Reset();
    CLSID classId;
    HRESULT hr = CLSIDFromProgID(ControlMember::kProgId, &classId);
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, &control_);
    }
    // As in process: the tests catch a driver that sends a wrong argument type.
    if (SUCCEEDED(hr)) {
        hr = Call(ControlMember::SetStrictArguments, {MakeI4(1)}, nullptr);
    }
    return hr;
}

HRESULT SimServer::Call(const ServerMember& member, std::initializer_list<VARIANTARG> args,
                        VARIANT* result) {
    if (!control_) {
        ADD_FAILURE() << "control." << member.name << ": no control object";
        return E_POINTER;
    }
    const HRESULT hr = InvokeMember(control_.Get(), member, args, result);
    EXPECT_EQ(S_OK, hr) << "control." << member.name;
    return hr;
}

LONG SimServer::GetI4(const ServerMember& member, std::initializer_list<VARIANTARG> args) {
    Variant result;
    if (FAILED(Call(member, args, result.get()))) {
        return -99999;
    }
    EXPECT_EQ(VT_I4, result->vt) << "control." << member.name;
    return result->vt == VT_I4 ? result->lVal : -99999;
}

void SimServer::Reset() {
    Call(ControlMember::Reset, {}, nullptr);
}

DWORD SimServer::ProcessId() {
    return static_cast<DWORD>(GetI4(ControlMember::ProcessId));
}

int SimServer::LiveObjects() {
    return GetI4(ControlMember::LiveObjects);
}

int SimServer::OutstandingRefs() {
    return GetI4(ControlMember::OutstandingRefs);
}

int SimServer::JournalCount() {
    return GetI4(ControlMember::JournalCount);
}

std::vector<std::string> SimServer::Journal() {
    Variant text;
    std::vector<std::string> lines;
    if (FAILED(Call(ControlMember::JournalText, {}, text.get())) || text->vt != VT_BSTR) {
        ADD_FAILURE() << "control.JournalText gave no text";
        return lines;
    }
    const std::string all = Narrow(text->bstrVal);
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find('\n', start);
        lines.push_back(all.substr(start, end - start));
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return lines;
}

void SimServer::ClearJournal() {
    Call(ControlMember::ClearJournal, {}, nullptr);
}

void SimServer::SetBusyPolls(int polls) {
    Call(ControlMember::SetBusyPolls, {MakeI4(polls)}, nullptr);
}

void SimServer::SetMotionSpeed(double unitsPerSecond) {
    Call(ControlMember::SetMotionSpeed, {MakeR8(unitsPerSecond)}, nullptr);
}

int SimServer::BusyPollCount() {
    return GetI4(ControlMember::BusyPollCount);
}

void SimServer::SetFault(int object, DISPID dispid, HRESULT hr) {
    Call(ControlMember::SetFault, {MakeI4(object), MakeI4(dispid), MakeI4(hr)}, nullptr);
}

void SimServer::SetStrictArguments(bool strict) {
    Call(ControlMember::SetStrictArguments, {MakeI4(strict ? 1 : 0)}, nullptr);
}

void SimServer::SetVariant(int variant) {
    Call(ControlMember::SetVariant, {MakeI4(variant)}, nullptr);
}

void SimServer::SetAnswerDelay(int object, DISPID dispid, DWORD milliseconds) {
    Call(ControlMember::SetAnswerDelay,
         {MakeI4(object), MakeI4(dispid), MakeI4(static_cast<LONG>(milliseconds))}, nullptr);
}

bool SimServer::IsLinkOpen() {
    return GetI4(ControlMember::IsLinkOpen) != 0;
}

int SimServer::LastOpenedPort() {
    return GetI4(ControlMember::LastOpenedPort);
}

void SimServer::SetStagePosition(double x, double y) {
    Call(ControlMember::SetStagePosition, {MakeR8(x), MakeR8(y)}, nullptr);
}

std::pair<double, double> SimServer::StagePosition() {
    double x = -1e300;
    double y = -1e300;
    Call(ControlMember::GetStagePosition, {MakeRefR8(&x), MakeRefR8(&y)}, nullptr);
    return {x, y};
}

double SimServer::FocusPosition() {
    Variant result;
    if (FAILED(Call(ControlMember::FocusPosition, {}, result.get())) || result->vt != VT_R8) {
        ADD_FAILURE() << "control.FocusPosition gave no VT_R8";
        return -1e300;
    }
    return result->dblVal;
}

int SimServer::WheelPosition(int wheel) {
    return GetI4(ControlMember::WheelPosition, {MakeI4(wheel)});
}

int SimServer::ShutterState(int shutter) {
    return GetI4(ControlMember::ShutterState, {MakeI4(shutter)});
}

ComPtr<IDispatch> SimServer::CreateObject(int kind) {
    Variant result;
    ComPtr<IDispatch> object;
    if (SUCCEEDED(Call(ControlMember::CreateObject, {MakeI4(kind)}, result.get()))) {
        EXPECT_EQ(VT_DISPATCH, result->vt) << "control.CreateObject";
        if (result->vt == VT_DISPATCH) {
            object = result->pdispVal;
        }
    }
    return object;
}

void SimServer::WithdrawClasses() {
    Call(ControlMember::WithdrawClasses, {}, nullptr);
}

int SimServer::DisconnectObjects() {
    return GetI4(ControlMember::DisconnectObjects);
}

ServerProcess* ReachedServers::Connect(SimServer& server) {
    const HRESULT hr = server.Connect();
    EXPECT_EQ(S_OK, hr) << "tolvo.simcontrol";
    if (FAILED(hr)) {
        return nullptr;
    }
    processes_.push_back(std::make_unique<ServerProcess>(server.ProcessId()));
    EXPECT_TRUE(processes_.back()->opened());
    return processes_.back().get();
}

void ReachedServers::ExpectAllEnded(DWORD timeoutMs, UINT killedCode) {
    constexpr DWORD kEndMs = 5000;
    bool killed = false;
    for (size_t i = 0; i < processes_.size(); ++i) {
        ServerProcess* const process = processes_[i].get();
        if (!process->WaitForEnd(timeoutMs)) {
            // Asked first, so that it takes its classes back; killed only when it will not go.
            const bool asked = process->End(kEndMs);
            ADD_FAILURE() << "server process " << process->Id() << " (reached " << i + 1 << " of "
                          << processes_.size() << ") was still running at the end; "
                          << (asked ? "it ended when asked" : "it did not end when asked");
            if (!asked) {
                killed = process->Kill(killedCode) || killed;
            }
        }
    }
    if (killed) {
        EXPECT_TRUE(RestartClassRegistry());
    }
}
