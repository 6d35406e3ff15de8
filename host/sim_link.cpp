#include "host/sim_link.h"
#include "sim/controller_model.h"
#include "sim/journal/journal_text.h"
#include <objbase.h>
#include <cwchar>

namespace {
template <typename F> F Fetch(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The file registered as tolvo.scan's in-process server, or "".
std::wstring RegisteredServer() {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"tolvo.scan", &clsid))) {
        return L"";
    }
    wchar_t text[64];
    StringFromGUID2(clsid, text, 64);
    const std::wstring key = std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = L"";
    LONG size = sizeof path;
    if (RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), path, &size) != ERROR_SUCCESS) {
        return L"";
    }
    return path;
}

bool IsSimulator(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return _wcsicmp(name.c_str(), L"TolvoSim.dll") == 0;
}
} // namespace

bool LoadSimLink(SimLink* out) {
    const std::wstring path = RegisteredServer();
    if (!IsSimulator(path)) {
        return false;
    }
    HMODULE module = LoadLibraryW(path.c_str());
    if (module == nullptr) {
        return false;
    }
    SimLink s{module,
              Fetch<decltype(s.JournalCount)>(module, "SimJournalCount"),
              Fetch<decltype(s.JournalEntry)>(module, "SimJournalEntry"),
              Fetch<decltype(s.JournalClear)>(module, "SimJournalClear"),
              Fetch<decltype(s.SetBusyPolls)>(module, "SimSetBusyPolls"),
              Fetch<decltype(s.SetMotionSpeed)>(module, "SimSetMotionSpeed"),
              Fetch<decltype(s.BusyPollCount)>(module, "SimGetBusyPollCount"),
              Fetch<decltype(s.GetStagePosition)>(module, "SimGetStagePosition"),
              Fetch<decltype(s.GetFocusPosition)>(module, "SimGetFocusPosition"),
              Fetch<decltype(s.GetShutterState)>(module, "SimGetShutterState"),
              Fetch<decltype(s.GetWheelPosition)>(module, "SimGetWheelPosition")};
    if (s.JournalCount == nullptr || s.JournalEntry == nullptr || s.JournalClear == nullptr ||
        s.SetBusyPolls == nullptr || s.SetMotionSpeed == nullptr || s.BusyPollCount == nullptr ||
        s.GetStagePosition == nullptr || s.GetFocusPosition == nullptr ||
        s.GetShutterState == nullptr || s.GetWheelPosition == nullptr) {
        FreeLibrary(module);
        return false;
    }
    *out = s;
    return true;
}

std::vector<std::string> TakeJournal(const SimLink& sim) {
    std::vector<SimCall> calls;
    for (int i = 0; i < sim.JournalCount(); ++i) {
        SimCall entry{};
        if (sim.JournalEntry(i, &entry)) {
            calls.push_back(entry);
        }
    }
    sim.JournalClear();
    std::vector<std::string> lines = JournalText(calls);
    if (calls.size() >= ControllerModel::kJournalLimit) {
        lines.insert(lines.begin(), "(journal full: earlier calls dropped)");
    }
    return lines;
}
