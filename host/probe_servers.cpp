#include "host/probe_servers.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "host/probe_text.h"
#include <oleauto.h>

using Microsoft::WRL::ComPtr;

namespace {
std::wstring ClassText(const CLSID& classId) {
    wchar_t text[40] = L"";
    StringFromGUID2(classId, text, 40);
    return text;
}

// A string value under HKEY_CLASSES_ROOT (an expandable one comes expanded);
// empty when it is not there.
std::wstring ClassesValue(const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t value[1024] = L"";
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    return value;
}

// The program of a LocalServer32 command line: quoted, up to ".exe", or up
// to the first space.
std::wstring ProgramOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t end = commandLine.find(L'"', 1);
        return commandLine.substr(1, end == std::wstring::npos ? end : end - 1);
    }
    std::wstring lower = commandLine;
    CharLowerW(&lower[0]);
    const size_t exe = lower.find(L".exe");
    if (exe != std::wstring::npos) {
        return commandLine.substr(0, exe + 4);
    }
    return commandLine.substr(0, commandLine.find(L' '));
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// A standard proxy, which stands for an object in another process, answers
// for IClientSecurity; an object in this process does not.
bool InAnotherProcess(IDispatch* object) {
    ComPtr<IClientSecurity> security;
    return SUCCEEDED(object->QueryInterface(IID_PPV_ARGS(&security)));
}

std::string Where(IDispatch* object) {
    return InAnotherProcess(object) ? "served by another process" : "served in this process";
}
} // namespace

void DescribeServers(ProbedServer (&servers)[kProbedServerCount]) {
    static const struct {
        const wchar_t* progId;
        const ServerInterface* members;
        const char* withoutIt;
    } kServers[kProbedServerCount] = {
        {L"tolvo.scan", &ScanMember::kInterface, "every family's init returns -1"},
        {L"tolvo.stage", &StageMember::kInterface, "every family's init returns -1"},
        {L"tolvo.Z", &FocusMember::kInterface,
         "StgZInit returns 1 or 0 and the focus exports return 1"},
        {L"tolvo.filter", &FilterMember::kInterface,
         "FWInit returns 0 or 1 and FWSetPosition returns 1"},
    };
    for (int i = 0; i < kProbedServerCount; ++i) {
        servers[i].progId = kServers[i].progId;
        servers[i].members = kServers[i].members;
        servers[i].withoutIt = kServers[i].withoutIt;
    }
}

void CheckRegistration(ProbedServer& server, ProbeReport& report) {
    const std::string name = Narrow(server.progId);
    const HRESULT found = CLSIDFromProgID(server.progId, &server.classId);
    if (FAILED(found)) {
        report.Add(Verdict::Missing,
                   Format("%s: not registered (CLSIDFromProgID %s); fails: %s", name.c_str(),
                          ResultName(found).c_str(), server.withoutIt));
        return;
    }
    server.registered = true;
    const std::wstring classKey = L"CLSID\\" + ClassText(server.classId);
    report.Add(Verdict::Ok, Format("%s: registered, class %s", name.c_str(),
                                   Narrow(ClassText(server.classId).c_str()).c_str()));
    const std::wstring inproc = ClassesValue(classKey + L"\\InprocServer32");
    const std::wstring local = ClassesValue(classKey + L"\\LocalServer32");
    if (inproc.empty() && local.empty()) {
        report.Add(Verdict::Missing,
                   Format("%s: neither InprocServer32 nor LocalServer32 is registered; fails: %s",
                          name.c_str(), server.withoutIt));
        return;
    }
    if (!inproc.empty()) {
        const std::wstring model = ClassesValue(classKey + L"\\InprocServer32", L"ThreadingModel");
        const bool there = FileExists(inproc);
        report.Add(there ? Verdict::Ok : Verdict::Missing,
                   Format("%s: in-process server %s (threading model %s)%s", name.c_str(),
                          Narrow(inproc.c_str()).c_str(),
                          model.empty() ? "none given" : Narrow(model.c_str()).c_str(),
                          there ? "" : ": the file is not there"));
    }
    if (!local.empty()) {
        const bool there = FileExists(ProgramOf(local));
        report.Add(there ? Verdict::Ok : Verdict::Missing,
                   Format("%s: local server %s%s%s", name.c_str(), Narrow(local.c_str()).c_str(),
                          there ? "" : ": the program is not there",
                          inproc.empty() ? "" : " (the driver takes the in-process one first)"));
    }
}

void BindServer(ProbedServer& server, ProbeReport& report) {
    if (!server.registered) {
        return;
    }
    const std::string name = Narrow(server.progId);
    ComPtr<IUnknown> unknown;
    const HRESULT running = GetActiveObject(server.classId, nullptr, &unknown);
    if (SUCCEEDED(running) && unknown && SUCCEEDED(unknown.As(&server.object))) {
        report.Add(Verdict::Ok, Format("%s: bound to the running instance (GetActiveObject), %s",
                                       name.c_str(), Where(server.object.Get()).c_str()));
        return;
    }
    unknown.Reset();
    HRESULT hr = CoCreateInstance(server.classId, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown);
    const char* step = "CoCreateInstance";
    if (hr == E_INVALIDARG) {
        hr = CoCreateInstance(server.classId, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, &unknown);
    }
    if (SUCCEEDED(hr)) {
        step = "OleRun";
        hr = OleRun(unknown.Get());
    }
    if (SUCCEEDED(hr)) {
        step = "QueryInterface(IDispatch)";
        hr = unknown.As(&server.object);
    }
    if (FAILED(hr)) {
        server.object.Reset();
        report.Add(Verdict::Missing,
                   Format("%s: not bound: no running instance, and %s answered %s; fails: %s",
                          name.c_str(), step, ResultName(hr).c_str(), server.withoutIt));
        return;
    }
    report.Add(Verdict::Ok,
               Format("%s: bound to a new instance (no running one: GetActiveObject %s), %s",
                      name.c_str(), ResultName(running).c_str(),
                      Where(server.object.Get()).c_str()));
}

ComPtr<ITypeLib> RegisteredTypeLibrary(const ProbedServer& server, std::string* how) {
    const std::wstring classKey = L"CLSID\\" + ClassText(server.classId);
    const std::wstring libraryText = ClassesValue(classKey + L"\\TypeLib");
    GUID libraryId;
    if (libraryText.empty() || FAILED(CLSIDFromString(libraryText.c_str(), &libraryId))) {
        *how = "the class names no type library (no TypeLib key)";
        return nullptr;
    }
    // The class's Version key, else the library's first registered version.
    std::wstring version = ClassesValue(classKey + L"\\Version");
    if (version.empty()) {
        HKEY key = nullptr;
        wchar_t first[64] = L"";
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"TypeLib\\" + libraryText).c_str(), 0, KEY_READ,
                          &key) == ERROR_SUCCESS) {
            DWORD size = 64;
            RegEnumKeyExW(key, 0, first, &size, nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(key);
        }
        version = first;
    }
    unsigned major = 0;
    unsigned minor = 0;
    swscanf(version.c_str(), L"%x.%x", &major, &minor);
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadRegTypeLib(libraryId, static_cast<WORD>(major), static_cast<WORD>(minor),
                                      LANG_NEUTRAL, &library);
    if (FAILED(hr)) {
        *how = Format("its type library %s %u.%u does not load: %s",
                      Narrow(libraryText.c_str()).c_str(), major, minor, ResultName(hr).c_str());
        return nullptr;
    }
    *how = Format("the registered type library %s %u.%u", Narrow(libraryText.c_str()).c_str(),
                  major, minor);
    return library;
}
