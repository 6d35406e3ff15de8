#include "bench/bench_pages.h"
#include "config/device_kind.h"
#include "ui/resource_ids.h"
#include <cstdio>
#include <functional>

namespace {
constexpr double kPageGoalMs = 50.0;
constexpr int kPageRuns = 11;
constexpr int kSizes[] = {10, 100, 1000};
// Linear growth keeps the cost per item; fixed costs make small sizes dearer
// per item, so anything up to half as much again counts as linear.
constexpr double kGrowthGoal = 1.5;

const char* const kHostClass = "TolvoBenchHost";

class HostWindow {
  public:
    HostWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kHostClass;
        RegisterClassA(&windowClass);
        window_ =
            CreateWindowExA(0, kHostClass, "bench host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                            0, 800, 600, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ShowWindow(window_, SW_SHOW);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND get() const { return window_; }
    HWND Page() const { return FindWindowExA(window_, nullptr, "#32770", nullptr); }

  private:
    HWND window_;
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from `act` to `done` holding, messages pumped meanwhile; a
// negative time when it did not hold within a second.
double MsUntil(const std::function<void()>& act, const std::function<bool()>& done) {
    const double start = NowMs();
    act();
    for (;;) {
        PumpMessages();
        const double now = NowMs();
        if (done()) {
            return now - start;
        }
        if (now - start > 1000.0) {
            return -1.0;
        }
    }
}

// The median time to a page shown by `show`, which `hide` takes away again.
double PageShownMs(const HostWindow& host, const std::function<void()>& show,
                   const std::function<void()>& hide) {
    std::vector<double> times;
    for (int run = 0; run < kPageRuns; ++run) {
        times.push_back(MsUntil(show, [&] {
            const HWND page = host.Page();
            return page != nullptr && IsWindowVisible(page);
        }));
        hide();
        PumpMessages();
    }
    return Median(times);
}

std::string ProfileText(const std::string& ini, const char* section, const char* key) {
    char text[64];
    GetPrivateProfileStringA(section, key, "", text, sizeof text, ini.c_str());
    return text;
}

void WriteWholeFile(const std::string& path, const std::string& text) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
}

// `count` set files and a filter name list of `count` names beside the driver.
void WriteSetsAndNames(const std::string& folder, int count) {
    std::string names = "[Filters]\r\n";
    for (int i = 0; i < count; ++i) {
        const std::string name = "Set " + std::to_string(i);
        std::string set = "[FilterWheel1]\r\n";
        for (int p = 1; p <= 10; ++p) {
            set += "Position" + std::to_string(p) + "Name=Filter " + std::to_string(p) + "\r\n";
        }
        WriteWholeFile(folder + "\\" + name + ".TolvoFW", set);
        names += "Name" + std::to_string(i) + "=Filter name " + std::to_string(i) + "\r\n";
    }
    WriteWholeFile(folder + "\\KROFWLST.INI", names);
}

// Cost per item at each size, and the largest size's against the smallest's.
void AddGrowth(Report& report, const std::string& name, const double (&perItemUs)[3]) {
    for (int i = 0; i < 3; ++i) {
        report.AddValue(name + "_" + std::to_string(kSizes[i]) + "_per_item", perItemUs[i], "us",
                        -1.0);
    }
    report.AddRatio(name + "_growth_1000_vs_10", kGrowthGoal, {perItemUs[2], perItemUs[0]}, "us");
}
} // namespace

void RunPages(Report& report, const BenchDriver& driver) {
    const DriverApi& api = driver.api();
    HostWindow host;
    const HWND parent = host.get();
    report.AddValue("page_StgXYConfigure_shown",
                    PageShownMs(
                        host, [&] { api.StgXYConfigure(parent, 0, 1); },
                        [&] { api.StgXYConfigure(parent, 0, 0); }),
                    "ms", kPageGoalMs);
    report.AddValue("page_StgZConfigure_shown",
                    PageShownMs(
                        host, [&] { api.StgZConfigure(parent, 0, 1); },
                        [&] { api.StgZConfigure(parent, 0, 0); }),
                    "ms", kPageGoalMs);
    // A port chosen on the XY page, to the port key written.
    api.StgXYConfigure(parent, 0, 1);
    PumpMessages();
    const HWND page = host.Page();
    const HWND box = GetDlgItem(page, IDC_PORT);
    const std::string ini = driver.IniPath();
    std::vector<double> times;
    for (int run = 0; run < kPageRuns; ++run) {
        const int entry = 1 + run % 2;
        const std::string before = ProfileText(ini, "Tolvo Stage", "Port");
        times.push_back(MsUntil(
            [&] {
                SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
                SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_PORT, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(box));
            },
            [&] { return ProfileText(ini, "Tolvo Stage", "Port") != before; }));
    }
    api.StgXYConfigure(parent, 0, 0);
    PumpMessages();
    report.AddValue("page_port_choice_to_key", Median(times), "ms", kPageGoalMs);
}

void RunScaling(Report& report) {
    double listUs[3] = {};
    double addUs[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int count = kSizes[i];
        BenchDriver probe("STolvo32Probe.dll");
        if (!probe.loaded()) {
            report.Note("STolvo32Probe.dll did not load: no scaling figures");
            return;
        }
        WriteSetsAndNames(probe.folder(), count);
        const auto listSets = reinterpret_cast<int(WINAPI*)(HWND, int)>(
            reinterpret_cast<void*>(GetProcAddress(probe.module(), "ProbeListFilterSets")));
        const auto addName = reinterpret_cast<void(WINAPI*)(const char*, int)>(
            reinterpret_cast<void*>(GetProcAddress(probe.module(), "ProbeAddListName")));
        HostWindow host;
        CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200, 200, host.get(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FILTER_SET)),
                        GetModuleHandleA(nullptr), nullptr);
        std::vector<double> list;
        std::vector<double> add;
        const std::string names = probe.folder() + "\\KROFWLST.INI";
        const std::string newKey = "Name" + std::to_string(count);
        for (int run = 0; run < 7; ++run) {
            list.push_back(TimeCalls(1, [&] {
                if (listSets(host.get(), IDC_FILTER_SET) != count) {
                    report.Note("ListFilterSets missed set files");
                }
            }));
            add.push_back(TimeCalls(1, [&] { addName("A new filter", kKindFilterWheel); }));
            // Back to `count` names for the next run.
            WritePrivateProfileStringA("Filters", newKey.c_str(), nullptr, names.c_str());
        }
        listUs[i] = Median(list) / 1000.0 / count;
        addUs[i] = Median(add) / 1000.0 / count;
    }
    AddGrowth(report, "ListFilterSets", listUs);
    AddGrowth(report, "AddListName", addUs);
}
