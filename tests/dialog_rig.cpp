#include "dialog_rig.h"
#include <cstring>

namespace {
const char* const kHostClass = "TolvoTestHost";
const char* const kDialogClass = "#32770";

// The hook and timer procedures have no context of their own.
DialogAnswerer* activeAnswerer = nullptr;

void RegisterHostClass() {
    static const bool registered = [] {
        WNDCLASSA host{};
        host.lpfnWndProc = DefWindowProcA;
        host.hInstance = GetModuleHandleA(nullptr);
        host.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        host.lpszClassName = kHostClass;
        return RegisterClassA(&host) != 0;
    }();
    (void)registered;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Message boxes and modal dialogs: dialog-class windows that are not pages.
bool IsModalCandidate(HWND window) {
    return ClassOf(window) == kDialogClass && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM out) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const std::string text = Text(child);
    if (_stricmp(ClassOf(child).c_str(), "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON &&
        !text.empty()) {
        auto& all = *reinterpret_cast<std::string*>(out);
        all += (all.empty() ? "" : "\n") + text;
    }
    return TRUE;
}

// The texts of a dialog's static controls, icons left out, one per line.
std::string StaticTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// The button that closes a dialog nobody expected.
int DismissButton(HWND dialog) {
    for (int button : {IDCANCEL, IDNO, IDOK}) {
        if (GetDlgItem(dialog, button) != nullptr) {
            return button;
        }
    }
    return IDCANCEL;
}
} // namespace

HostWindow::HostWindow(int width, int height, const char* title) {
    RegisterHostClass();
    window_ = CreateWindowExA(0, kHostClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
}

HostWindow::~HostWindow() {
    if (IsWindow(window_)) {
        DestroyWindow(window_);
    }
}

HWND HostWindow::Page() const {
    return FindWindowExA(window_, nullptr, kDialogClass, nullptr);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND Control(HWND page, int id) {
    return GetDlgItem(page, id);
}

void ChooseEntry(HWND page, int id, int index) {
    HWND box = Control(page, id);
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
}

void TypeText(HWND page, int id, const std::string& text) {
    HWND control = Control(page, id);
    HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
    if (edit == nullptr) {
        edit = control;
    }
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void MoveFocusTo(HWND target) {
    SetFocus(target);
}

void Click(HWND page, int id) {
    SendMessageA(Control(page, id), BM_CLICK, 0, 0);
}

void SendNotification(HWND page, int id, int code) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(Control(page, id)));
}

std::string Text(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int read = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}

std::string Text(HWND page, int id) {
    return Text(Control(page, id));
}

std::vector<std::string> Entries(HWND page, int id) {
    HWND box = Control(page, id);
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string entry(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
        SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&entry[0]));
        entry.resize(std::strlen(entry.c_str()));
        entries.push_back(entry);
    }
    return entries;
}

int Selection(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
}

bool IsShown(HWND page, int id) {
    return (GetWindowLongA(Control(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

bool IsChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

DialogAnswerer::DialogAnswerer() {
    activeAnswerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer() {
    if (hook_ != nullptr) {
        UnhookWindowsHookEx(hook_);
    }
    activeAnswerer = nullptr;
}

void DialogAnswerer::Press(int button) {
    answers_.push_back([button](HWND) { return button; });
}

void DialogAnswerer::Act(Action action) {
    answers_.push_back(std::move(action));
}

// A dialog is answered once its modal loop runs: activation comes after its
// texts are set, and the timer fires from inside the loop.
LRESULT CALLBACK DialogAnswerer::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    DialogAnswerer* self = activeAnswerer;
    HWND window = reinterpret_cast<HWND>(wParam);
    if (self != nullptr && code == HCBT_ACTIVATE && IsModalCandidate(window) &&
        self->handled_.count(window) == 0 && self->pending_.insert(window).second) {
        SetTimer(nullptr, 0, 0, TimerProc);
    }
    if (self != nullptr && code == HCBT_DESTROYWND) {
        self->handled_.erase(window);
        self->pending_.erase(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogAnswerer::TimerProc(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    DialogAnswerer* self = activeAnswerer;
    if (self == nullptr) {
        return;
    }
    const std::set<HWND> pending = self->pending_;
    self->pending_.clear();
    for (HWND dialog : pending) {
        if (IsWindow(dialog)) {
            self->Answer(dialog);
        }
    }
}

void DialogAnswerer::Answer(HWND dialog) {
    handled_.insert(dialog);
    SeenDialog seen{Text(dialog), StaticTexts(dialog), 0, !answers_.empty()};
    if (seen.expected) {
        const Action action = answers_.front();
        answers_.erase(answers_.begin());
        seen.pressed = action(dialog);
    } else {
        seen.pressed = DismissButton(dialog);
    }
    seen_.push_back(seen);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(seen.pressed, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, seen.pressed)));
}
