#include "host/pages_window.h"
#include "host/command_args.h"
#include "host/probe_command.h"
#include "host/rig_devices.h"
#include "host/trace_capture.h"
#include <cstdio>
#include <vector>

namespace {
constexpr int kListId = 100;
constexpr int kApplyId = 101;
constexpr int kCloseId = 102;
constexpr int kProbeId = 103;
constexpr int kProbeReportWidth = 860;
constexpr int kProbeReportHeight = 520;
constexpr UINT_PTR kStatusTimer = 1;
constexpr UINT kStatusPeriod = 500;
constexpr int kMargin = 8;
constexpr int kListHeight = 96;
// The pages' top: below the list, as the host places them.
constexpr int kPageTop = kMargin + kListHeight + kMargin;
constexpr int kClientWidth = 400;
// Wider with the trace pane, so that most trace lines fit a line of it.
constexpr int kTracingClientWidth = 600;
constexpr int kClientHeight = 470;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 24;
constexpr int kStatusHeight = 34;
// The trace pane below the status line, which the window grows to hold.
constexpr int kTraceTop = kClientHeight;
constexpr int kTraceHeight = 180;

struct PagesState {
    const DriverExports* driver;
    std::vector<RigDevice> devices;
    HWND window;
    HWND list;
    HWND status;
    int shown; // index into devices, -1 for none
    bool selftest;
    int failures;
    bool tracing;
    HWND trace;               // the pane, when tracing
    unsigned long traceShown; // lines kept when the pane was last written
    HWND probeReport;         // the probe's report window, while it is open
    std::string rigFolder;    // where the probe's report goes, beside the driver's files
};

PagesState* State(HWND window) {
    return reinterpret_cast<PagesState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// Shows (show true) or closes the device's page; FALSE when the driver lacks
// the export, which the window then skips.
bool Configure(const PagesState& s, const RigDevice& device, bool show) {
    const DriverExports& d = *s.driver;
    const int mode = show ? STOLVO_PAGE_SHOW : STOLVO_PAGE_CLOSE;
    switch (device.kind) {
    case RigKind::XyStage:
        return d.StgXYConfigure != nullptr && (d.StgXYConfigure(s.window, kPageTop, mode), true);
    case RigKind::Focus:
        return d.StgZConfigure != nullptr && (d.StgZConfigure(s.window, kPageTop, mode), true);
    case RigKind::Shutter:
        return d.ShtrConfigure != nullptr &&
               (d.ShtrConfigure(s.window, device.slot, kPageTop, mode), true);
    case RigKind::FilterWheel:
        return d.FWConfigure != nullptr &&
               (d.FWConfigure(s.window, device.slot, kPageTop, mode), true);
    }
    return false;
}

// The page the driver made: a visible child dialog of the host window.
HWND FindPage(HWND window) {
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

void Select(PagesState& s, int index) {
    if (s.shown >= 0) {
        Configure(s, s.devices[static_cast<size_t>(s.shown)], false);
        s.shown = -1;
    }
    if (index < 0 || index >= static_cast<int>(s.devices.size())) {
        return;
    }
    const RigDevice& device = s.devices[static_cast<size_t>(index)];
    if (!Configure(s, device, true)) {
        std::printf("pages: %s: the driver has no configure export for it yet\n",
                    device.label.c_str());
        return;
    }
    s.shown = index;
    if (!s.selftest) {
        return;
    }
    const HWND page = FindPage(s.window);
    RECT rect{};
    POINT corner{};
    if (page != nullptr) {
        GetWindowRect(page, &rect);
        corner = {rect.left, rect.top};
        ScreenToClient(s.window, &corner);
    }
    const bool placed = page != nullptr && corner.y == kPageTop;
    std::printf("selftest: %s: %s (top %ld)\n", device.label.c_str(),
                placed ? "page shown below the list" : "NO PAGE at the expected top",
                page != nullptr ? static_cast<long>(corner.y) : -1L);
    s.failures += placed ? 0 : 1;
}

// Apply: the filter wheel page saves its set; the shutter page has nothing to
// save; the stage pages write each choice at once.
void Apply(const PagesState& s) {
    if (s.shown < 0) {
        return;
    }
    const RigDevice& device = s.devices[static_cast<size_t>(s.shown)];
    if (device.kind == RigKind::FilterWheel && s.driver->FWConfigure != nullptr) {
        s.driver->FWConfigure(s.window, device.slot, kPageTop, STOLVO_PAGE_APPLY);
    } else if (device.kind == RigKind::Shutter && s.driver->ShtrConfigure != nullptr) {
        s.driver->ShtrConfigure(s.window, device.slot, kPageTop, STOLVO_PAGE_APPLY);
    }
}

std::string WheelText(const DriverExports& d, int slot) {
    if (d.FWGetPosition == nullptr || d.FWGetName == nullptr) {
        return "";
    }
    const int position = d.FWGetPosition(slot);
    char name[STOLVO_NAME_SIZE] = "";
    d.FWGetName(slot, position, name);
    return Format("  wheel %d: %s", slot + 1, name[0] != '\0' ? name : "?");
}

// Rewritten only when lines came since, and scrolled to the newest.
void RefreshTrace(PagesState& s) {
    const unsigned long kept = TraceLinesKept();
    if (s.trace == nullptr || kept == s.traceShown) {
        return;
    }
    s.traceShown = kept;
    std::string text;
    for (const std::string& line : RecentTraceLines()) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    SetWindowTextA(s.trace, text.c_str());
    const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthA(s.trace));
    SendMessageA(s.trace, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(s.trace, EM_SCROLLCARET, 0, 0);
}

std::string StatusText(const PagesState& s) {
    const DriverExports& d = *s.driver;
    std::string text;
    int x = 0;
    int y = 0;
    if (d.StgXYReport != nullptr && d.StgXYReport(&x, &y) == STOLVO_OK) {
        text += Format("XY %d, %d", x, y);
    }
    std::string devices;
    for (const RigDevice& device : s.devices) {
        int z = 0;
        if (device.kind == RigKind::Focus && d.StgZReport != nullptr &&
            d.StgZReport(&z) == STOLVO_OK) {
            text += Format("   Z %d", z);
        } else if (device.kind == RigKind::Shutter && d.ShtrGetOpen != nullptr) {
            devices += Format("  shutter %d: %s", device.slot + 1,
                              d.ShtrGetOpen(device.slot) == 1 ? "open" : "closed");
        } else if (device.kind == RigKind::FilterWheel) {
            devices += WheelText(d, device.slot);
        }
    }
    return text + "\r\n" + (devices.empty() ? devices : devices.substr(2));
}

void RefreshStatus(PagesState& s) {
    std::string text;
    {
        // The status line's own reads twice a second would push everything
        // else out of the pane; the file still has them.
        const TraceQuiet quiet;
        text = StatusText(s);
    }
    SetWindowTextA(s.status, text.c_str());
    RefreshTrace(s);
}

// The pane after the self-test: the status line's reads are left out, so it
// ends with the last page call, an Apply or a page shown.
void CheckTracePane(PagesState& s) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(s.trace)) + 1, '\0');
    GetWindowTextA(s.trace, &text[0], static_cast<int>(text.size()));
    text.resize(text.size() - 1);
    const size_t lastLine = text.rfind("\r\n");
    const std::string last = lastLine == std::string::npos ? text : text.substr(lastLine + 2);
    const bool shown = last.find("Configure = 0") != std::string::npos;
    std::printf("selftest: trace pane: %ld lines, %s\n",
                static_cast<long>(SendMessageA(s.trace, EM_GETLINECOUNT, 0, 0)),
                shown ? "the last page call at the end" : "NOT ending with the last page call");
    s.failures += shown ? 0 : 1;
}

// The probe's report window: its text in a read-only edit control that fills it.
LRESULT CALLBACK ProbeReportProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        MoveWindow(GetWindow(window, GW_CHILD), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Probe: the controller's servers checked as the command does (no port
// opened), the report written where the command writes it and shown.
void ShowProbe(PagesState& s) {
    const ProbeReport report = RunProbe(ProbeOptions{});
    const std::string path = s.rigFolder + "tolvo-probe.txt";
    std::string text = report.Text();
    text += WriteProbeReport(path, text) ? "report written to " + path + "\n"
                                         : "cannot write the report to " + path + "\n";
    std::string shown;
    for (const char c : text) {
        shown += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    if (s.probeReport == nullptr || !IsWindow(s.probeReport)) {
        WNDCLASSA reportClass{};
        reportClass.lpfnWndProc = &ProbeReportProc;
        reportClass.hInstance = GetModuleHandleA(nullptr);
        reportClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        reportClass.lpszClassName = "TolvoHostProbeReport";
        RegisterClassA(&reportClass);
        s.probeReport = CreateWindowExA(
            0, reportClass.lpszClassName, "Tolvo host bench - the controller's servers",
            WS_OVERLAPPEDWINDOW, 40, 40, kProbeReportWidth, kProbeReportHeight, s.window, nullptr,
            reportClass.hInstance, nullptr);
        const HWND edit =
            CreateWindowExA(0, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                            0, 0, 0, 0, s.probeReport, nullptr, reportClass.hInstance, nullptr);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)),
                     TRUE);
        RECT client{};
        GetClientRect(s.probeReport, &client);
        MoveWindow(edit, 0, 0, client.right, client.bottom, FALSE);
    }
    SetWindowTextA(GetWindow(s.probeReport, GW_CHILD), shown.c_str());
    ShowWindow(s.probeReport, SW_SHOW);
}

// The self-test's probe: its report window holds a whole report.
void CheckProbe(PagesState& s) {
    SendMessageA(s.window, WM_COMMAND, MAKEWPARAM(kProbeId, BN_CLICKED), 0);
    const HWND edit = s.probeReport != nullptr ? GetWindow(s.probeReport, GW_CHILD) : nullptr;
    std::string text(edit != nullptr ? static_cast<size_t>(GetWindowTextLengthA(edit)) + 1 : 1,
                     '\0');
    if (edit != nullptr) {
        GetWindowTextA(edit, &text[0], static_cast<int>(text.size()));
    }
    const size_t verdict = text.find("verdict: ");
    const bool shown = IsWindowVisible(s.probeReport) && verdict != std::string::npos;
    std::printf("selftest: probe: %s\n",
                shown ? text.substr(verdict, text.find('\r', verdict) - verdict).c_str()
                      : "NO REPORT WINDOW");
    s.failures += shown ? 0 : 1;
}

void RunSelftest(PagesState& s) {
    for (size_t i = 0; i < s.devices.size(); ++i) {
        SendMessageA(s.list, LB_SETCURSEL, i, 0);
        Select(s, static_cast<int>(i));
        Apply(s);
        RefreshStatus(s);
    }
    if (s.trace != nullptr) {
        CheckTracePane(s);
    }
    CheckProbe(s);
    PostMessageA(s.window, WM_COMMAND, MAKEWPARAM(kCloseId, BN_CLICKED), 0);
}

HWND Control(HWND parent, const char* type, const char* text, DWORD style, int x, int y, int width,
             int height, int id) {
    HWND control = CreateWindowExA(
        0, type, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 TRUE);
    return control;
}

void CreateControls(PagesState& s) {
    const int width = s.tracing ? kTracingClientWidth : kClientWidth;
    s.list = Control(s.window, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY, kMargin, kMargin,
                     width - 2 * kMargin, kListHeight, kListId);
    for (const RigDevice& device : s.devices) {
        SendMessageA(s.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(device.label.c_str()));
    }
    const int buttonTop = kClientHeight - kStatusHeight - kMargin - kButtonHeight;
    Control(s.window, "BUTTON", "Apply", BS_PUSHBUTTON, width - 2 * (kButtonWidth + kMargin),
            buttonTop, kButtonWidth, kButtonHeight, kApplyId);
    Control(s.window, "BUTTON", "Close", BS_PUSHBUTTON, width - kButtonWidth - kMargin, buttonTop,
            kButtonWidth, kButtonHeight, kCloseId);
    Control(s.window, "BUTTON", "Probe", BS_PUSHBUTTON, kMargin, buttonTop, kButtonWidth,
            kButtonHeight, kProbeId);
    s.status =
        Control(s.window, "STATIC", "", SS_LEFT | WS_BORDER, kMargin,
                kClientHeight - kStatusHeight - 2, width - 2 * kMargin, kStatusHeight - 4, 0);
    if (s.tracing) {
        // Without sideways scrolling the pane wraps long lines, so each is seen whole.
        s.trace = Control(s.window, "EDIT", "",
                          WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                          kMargin, kTraceTop, width - 2 * kMargin, kTraceHeight, 0);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PagesState* s = State(window);
    switch (message) {
    case WM_CREATE: {
        s = static_cast<PagesState*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(s));
        s->window = window;
        CreateControls(*s);
        SetTimer(window, kStatusTimer, kStatusPeriod, nullptr);
        return 0;
    }
    case WM_TIMER:
        RefreshStatus(*s);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE) {
            Select(*s, static_cast<int>(SendMessageA(s->list, LB_GETCURSEL, 0, 0)));
        } else if (LOWORD(wParam) == kApplyId) {
            Apply(*s);
        } else if (LOWORD(wParam) == kCloseId) {
            DestroyWindow(window);
        } else if (LOWORD(wParam) == kProbeId) {
            ShowProbe(*s);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        Select(*s, -1);
        KillTimer(window, kStatusTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The host's order before configuring: slots, then each family initialised,
// so that the status line can read the devices.
void InitialiseFamilies(const DriverExports& d, const std::vector<RigDevice>& devices) {
    for (const RigDevice& device : devices) {
        if (device.kind == RigKind::Shutter && d.ShtrGetInstance != nullptr) {
            d.ShtrGetInstance(0);
        } else if (device.kind == RigKind::FilterWheel && d.FWGetInstance != nullptr) {
            d.FWGetInstance(0);
        }
    }
    d.StgXYInit(&HostCallback);
    for (const RigDevice& device : devices) {
        if (device.kind == RigKind::Focus) {
            d.StgZInit(&HostCallback);
        } else if (device.kind == RigKind::Shutter && d.ShtrInit != nullptr) {
            d.ShtrInit(device.slot, &HostCallback);
        } else if (device.kind == RigKind::FilterWheel && d.FWInit != nullptr) {
            d.FWInit(device.slot, &HostCallback);
        }
    }
}

void CloseFamilies(const DriverExports& d, const std::vector<RigDevice>& devices) {
    for (const RigDevice& device : devices) {
        if (device.kind == RigKind::Focus) {
            d.StgZClose();
        } else if (device.kind == RigKind::Shutter && d.ShtrClose != nullptr) {
            d.ShtrClose(device.slot);
        } else if (device.kind == RigKind::FilterWheel && d.FWClose != nullptr) {
            d.FWClose(device.slot);
        }
    }
    d.StgXYClose();
}
} // namespace

int RunPagesWindow(const DriverExports& driver, const std::string& folder, bool selftest, int first,
                   bool tracePane) {
    PagesState state{};
    state.driver = &driver;
    state.devices = ReadRigDevices(folder);
    state.rigFolder = folder;
    state.shown = -1;
    state.selftest = selftest;
    state.tracing = tracePane;
    InitialiseFamilies(driver, state.devices);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "TolvoHostPages";
    RegisterClassA(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const int height = kClientHeight + (tracePane ? kTraceHeight + kMargin : 0);
    RECT frame{0, 0, tracePane ? kTracingClientWidth : kClientWidth, height};
    AdjustWindowRect(&frame, style, FALSE);
    const HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, "Tolvo host bench - device configuration",
                        style, 20, 20, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                        nullptr, windowClass.hInstance, &state);
    if (window == nullptr) {
        std::fprintf(stderr, "cannot create the window\n");
        return 1;
    }
    ShowWindow(window, SW_SHOW);
    if (selftest) {
        RunSelftest(state);
    } else {
        SendMessageA(state.list, LB_SETCURSEL, static_cast<WPARAM>(first), 0);
        Select(state, first);
        RefreshStatus(state);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Keyboard navigation inside the embedded page.
        const HWND page = IsWindow(window) ? FindPage(window) : nullptr;
        if (page == nullptr || !IsDialogMessageA(page, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    CloseFamilies(driver, state.devices);
    if (selftest) {
        std::printf("selftest: %zu devices, %d without their page\n", state.devices.size(),
                    state.failures);
    }
    return state.failures == 0 ? 0 : 1;
}
