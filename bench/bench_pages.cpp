#include "bench/bench_pages.h"
#include "config/device_kind.h"
#include "ui/resource_ids.h"
#include <cstdio>
#include <cstring>
#include <functional>

namespace {
constexpr double kPageGoalMs = 50.0;
// A page shown against the bare dialog of its template, the two taken in
// turn this many times each: a page takes milliseconds of the window system,
// which the machine's other work slows in bursts.
constexpr double kPageGoal = 1.5;
constexpr int kPagePairs = 31;
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

// The time to a page shown by `show`, which `hide` takes away again.
double PageShownOnceMs(const HostWindow& host, const std::function<void()>& show,
                       const std::function<void()>& hide) {
    const double time = MsUntil(show, [&] {
        const HWND page = host.Page();
        return page != nullptr && IsWindowVisible(page);
    });
    hide();
    PumpMessages();
    return time;
}

// The median time to a page shown by `show`.
double PageShownMs(const HostWindow& host, const std::function<void()>& show,
                   const std::function<void()>& hide) {
    std::vector<double> times;
    for (int run = 0; run < kPageRuns; ++run) {
        times.push_back(PageShownOnceMs(host, show, hide));
    }
    return Median(times);
}

INT_PTR CALLBACK TrivialPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The page shown by `show` against its dialog template `templateId` from the
// driver's own resources, created and shown with a procedure that does
// nothing: what any page of that template costs. Taken in turn, each going
// first every other time.
Pair PageAgainstTemplate(const HostWindow& host, const BenchDriver& driver, int templateId,
                         const std::function<void()>& show, const std::function<void()>& hide) {
    const HRSRC found = FindResourceA(driver.module(), MAKEINTRESOURCEA(templateId), RT_DIALOG);
    const HGLOBAL loaded = found != nullptr ? LoadResource(driver.module(), found) : nullptr;
    const auto* dialog = static_cast<const DLGTEMPLATE*>(loaded ? LockResource(loaded) : nullptr);
    if (dialog == nullptr) {
        return {-1.0, -1.0};
    }
    HWND bare = nullptr;
    const auto showBare = [&] {
        bare = CreateDialogIndirectParamA(driver.module(), dialog, host.get(), TrivialPageProc, 0);
        ShowWindow(bare, SW_SHOW);
    };
    const auto hideBare = [&] { DestroyWindow(bare); };
    std::vector<double> driverMs;
    std::vector<double> bareMs;
    for (int run = 0; run < kPagePairs; ++run) {
        if (run % 2 == 0) {
            driverMs.push_back(PageShownOnceMs(host, show, hide));
            bareMs.push_back(PageShownOnceMs(host, showBare, hideBare));
        } else {
            bareMs.push_back(PageShownOnceMs(host, showBare, hideBare));
            driverMs.push_back(PageShownOnceMs(host, show, hide));
        }
    }
    return {Median(driverMs), Median(bareMs)};
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

// `sets` set files and a filter name list of `count` names beside the driver.
void WriteSetsAndNames(const std::string& folder, int sets, int count) {
    std::string names = "[Filters]\r\n";
    for (int i = 0; i < count; ++i) {
        names += "Name" + std::to_string(i) + "=Filter name " + std::to_string(i) + "\r\n";
    }
    for (int i = 0; i < sets; ++i) {
        const std::string name = "Set " + std::to_string(i);
        std::string set = "[FilterWheel1]\r\n";
        for (int p = 1; p <= 10; ++p) {
            set += "Position" + std::to_string(p) + "Name=Filter " + std::to_string(p) + "\r\n";
        }
        WriteWholeFile(folder + "\\" + name + ".TolvoFW", set);
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

// Answers any message box on this thread, so that none can hold the bench up:
// No where there is one (a set is then reloaded, not saved), else OK. A box
// answered falls inside some time, so the count goes into the report.
class BoxAnswerer {
  public:
    BoxAnswerer() {
        active = this;
        hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~BoxAnswerer() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
        active = nullptr;
    }
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;
    int answered() const { return answered_; }

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = "";
        if (code == HCBT_ACTIVATE && active != nullptr &&
            GetClassNameA(window, name, sizeof name) && std::strcmp(name, "#32770") == 0 &&
            (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0) {
            // Answered from the box's own loop, once its buttons exist.
            active->pending_ = window;
            SetTimer(nullptr, 0, 0, Answer);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void CALLBACK Answer(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        if (active == nullptr || !IsWindow(active->pending_)) {
            return;
        }
        const HWND box = active->pending_;
        const int button = GetDlgItem(box, IDNO) != nullptr   ? IDNO
                           : GetDlgItem(box, IDOK) != nullptr ? IDOK
                                                              : IDCANCEL;
        ++active->answered_;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
    static BoxAnswerer* active;
    HHOOK hook_;
    HWND pending_ = nullptr;
    int answered_ = 0;
};
BoxAnswerer* BoxAnswerer::active = nullptr;

void NoteBoxes(Report& report, const BoxAnswerer& boxes, const char* where) {
    if (boxes.answered() != 0) {
        report.Note(std::to_string(boxes.answered()) +
                    " message box(es) came up and were answered during " + where +
                    ": those figures include them");
    }
}

// Types `text` into control `id` of `page` (into the edit of a combo box) and
// moves the focus to `away`, as a user leaving the box does.
void TypeAndLeave(HWND page, int id, const std::string& text, HWND away) {
    const HWND control = GetDlgItem(page, id);
    HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
    if (edit == nullptr) {
        edit = control;
    }
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    SetFocus(away);
}

// Without "DefaultAll" = 0 the first device page would give every device its
// defaults and say so in a message box.
void SkipFirstTimeDefaults(const std::string& ini) {
    WritePrivateProfileStringA("Tolvo Stage", "DefaultAll", "0", ini.c_str());
}

void RunDevicePages(Report& report, const BenchDriver& driver, const HostWindow& host);

// The cost of each item added from one size to the next: a page's fixed cost
// dwarfs the items' at small sizes, so the cost per item alone hides growth.
void AddMarginal(Report& report, const std::string& name, const double (&perItemUs)[3]) {
    for (int i = 0; i + 1 < 3; ++i) {
        const double added = perItemUs[i + 1] * kSizes[i + 1] - perItemUs[i] * kSizes[i];
        report.AddValue(name + "_added_" + std::to_string(kSizes[i]) + "_" +
                            std::to_string(kSizes[i + 1]),
                        added / (kSizes[i + 1] - kSizes[i]), "us", -1.0);
    }
}
} // namespace

void RunPages(Report& report, const BenchDriver& driver) {
    const DriverApi& api = driver.api();
    HostWindow host;
    const HWND parent = host.get();
    report.AddRatio("page_StgXYConfigure_shown", kPageGoal,
                    PageAgainstTemplate(
                        host, driver, IDD_XY_PAGE, [&] { api.StgXYConfigure(parent, 0, 1); },
                        [&] { api.StgXYConfigure(parent, 0, 0); }),
                    "ms");
    report.AddRatio("page_StgZConfigure_shown", kPageGoal,
                    PageAgainstTemplate(
                        host, driver, IDD_Z_PAGE, [&] { api.StgZConfigure(parent, 0, 1); },
                        [&] { api.StgZConfigure(parent, 0, 0); }),
                    "ms");
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
    RunDevicePages(report, driver, host);
}

namespace {
// The device pages: shutter, wheel and focus (on the device path) to shown,
// and a name typed or a port chosen on them to its key written.
void RunDevicePages(Report& report, const BenchDriver& driver, const HostWindow& host) {
    const DriverApi& api = driver.api();
    const HWND parent = host.get();
    const std::string ini = driver.IniPath();
    SkipFirstTimeDefaults(ini);
    BoxAnswerer boxes;
    report.AddRatio("page_ShtrConfigure_shown", kPageGoal,
                    PageAgainstTemplate(
                        host, driver, IDD_SHUTTER_PAGE, [&] { api.ShtrConfigure(parent, 0, 0, 1); },
                        [&] { api.ShtrConfigure(parent, 0, 0, 0); }),
                    "ms");
    report.AddRatio("page_FWConfigure_shown", kPageGoal,
                    PageAgainstTemplate(
                        host, driver, IDD_WHEEL_PAGE, [&] { api.FWConfigure(parent, 0, 0, 1); },
                        [&] { api.FWConfigure(parent, 0, 0, 0); }),
                    "ms");
    // The host's hardware file gives the focus drive to the driver: device path.
    const std::string hardware = driver.folder() + "\\KROHW.INI";
    WritePrivateProfileStringA("Focus", "Module", "STolvo32.dll", hardware.c_str());
    report.AddRatio("page_StgZConfigure_device_shown", kPageGoal,
                    PageAgainstTemplate(
                        host, driver, IDD_Z_PAGE, [&] { api.StgZConfigure(parent, 0, 1); },
                        [&] { api.StgZConfigure(parent, 0, 0); }),
                    "ms");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, hardware.c_str());
    DeleteFileA(hardware.c_str());

    // The shutter's name typed and the box left, to "Name" written; then a
    // port chosen on the same page, which owns the device line (the shutters
    // were initialised first).
    api.ShtrConfigure(parent, 0, 0, 1);
    PumpMessages();
    const HWND page = host.Page();
    std::vector<double> times;
    for (int run = 0; run < kPageRuns; ++run) {
        const std::string name = "Bench shutter " + std::to_string(run);
        times.push_back(MsUntil([&] { TypeAndLeave(page, IDC_SHUTTER_NAME, name, parent); },
                                [&] { return ProfileText(ini, "Shutter1", "Name") == name; }));
    }
    report.AddValue("page_shutter_name_to_key", Median(times), "ms", kPageGoalMs);
    const HWND box = GetDlgItem(page, IDC_PORT);
    if (!IsWindowVisible(box)) {
        report.Note("the shutter page shows no port choice");
    }
    times.clear();
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
    report.AddValue("page_device_port_choice_to_key", Median(times), "ms", kPageGoalMs);
    api.ShtrConfigure(parent, 0, 0, 0);
    PumpMessages();
    NoteBoxes(report, boxes, "the device page figures");
}
} // namespace

void RunWheelScaling(Report& report) {
    double shownUs[3] = {};
    double nameUs[3] = {};
    BoxAnswerer boxes;
    for (int i = 0; i < 3; ++i) {
        const int count = kSizes[i];
        BenchDriver driver;
        if (!driver.loaded()) {
            report.Note("STolvo32.dll did not load: no wheel page scaling figures");
            return;
        }
        const DriverApi& api = driver.api();
        driver.WriteFullSettings();
        SkipFirstTimeDefaults(driver.IniPath());
        // The wheel's own set is one of the `count`.
        WriteSetsAndNames(driver.folder(), count - 1, count);
        const int slot = api.FWGetInstance(0);
        if (slot != 0 || api.FWInit(0, nullptr) != 0) {
            report.Note("FWInit failed: no wheel page scaling figures");
            return;
        }
        HostWindow host;
        const HWND parent = host.get();
        shownUs[i] = PageShownMs(
                         host, [&] { api.FWConfigure(parent, 0, 0, 1); },
                         [&] { api.FWConfigure(parent, 0, 0, 0); }) *
                     1000.0 / count;

        // A position name typed and the box left, to the name appended to
        // KROFWLST.INI, which is searched first for the name.
        api.FWConfigure(parent, 0, 0, 1);
        PumpMessages();
        const HWND page = host.Page();
        const std::string names = driver.folder() + "\\KROFWLST.INI";
        const std::string newKey = "Name" + std::to_string(count);
        std::vector<double> times;
        for (int run = 0; run < kPageRuns; ++run) {
            const std::string name = "Typed filter " + std::to_string(run);
            times.push_back(
                MsUntil([&] { TypeAndLeave(page, IDC_POSITION_NAME, name, parent); },
                        [&] { return ProfileText(names, "Filters", newKey.c_str()) == name; }));
            // Back to `count` names for the next run.
            WritePrivateProfileStringA("Filters", newKey.c_str(), nullptr, names.c_str());
        }
        nameUs[i] = Median(times) * 1000.0 / count;
        // Saved, so that closing the page asks nothing.
        api.FWConfigure(parent, 0, 0, 2);
        api.FWConfigure(parent, 0, 0, 0);
        PumpMessages();
        api.FWClose(0);
    }
    AddGrowth(report, "FWConfigure_sets", shownUs);
    AddMarginal(report, "FWConfigure_sets", shownUs);
    AddGrowth(report, "FWNameToList", nameUs);
    AddMarginal(report, "FWNameToList", nameUs);
    NoteBoxes(report, boxes, "the wheel page scaling figures");
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
        WriteSetsAndNames(probe.folder(), count, count);
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
            add.push_back(TimeCalls(1, [&] { addName("A new filter", STOLVO_KIND_FILTER_WHEEL); }));
            // Back to `count` names for the next run.
            WritePrivateProfileStringA("Filters", newKey.c_str(), nullptr, names.c_str());
        }
        listUs[i] = Median(list) / 1000.0 / count;
        addUs[i] = Median(add) / 1000.0 / count;
    }
    AddGrowth(report, "ListFilterSets", listUs);
    AddGrowth(report, "AddListName", addUs);
}
