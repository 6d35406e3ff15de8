// A rig for real dialogs under Wine: a window that plays the host's
// configuration window, the user's actions on a page's controls (with the
// notifications the controls themselves send), and answers to the message
// boxes and modal dialogs that a call brings up on the test thread.
#pragma once
#include <windows.h>
#include <functional>
#include <set>
#include <string>
#include <vector>

// A visible top-level window of the given outer size, destroyed at the end.
class HostWindow {
  public:
    explicit HostWindow(int width = 640, int height = 480, const char* title = "Host");
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND get() const { return window_; }
    // The first dialog-class child (a page), or nullptr.
    HWND Page() const;

  private:
    HWND window_;
};

// Handles the messages waiting on this thread, posted page commands among them.
void PumpMessages();

// The user's actions on control `id` of `page`.
HWND Control(HWND page, int id);
// Selects entry `index` of a combo box and sends CBN_SELCHANGE, as a click in
// the open list does.
void ChooseEntry(HWND page, int id, int index);
// Gives the edit part of a combo box (or an edit control) the focus, selects
// its text and types `text` over it one character at a time.
void TypeText(HWND page, int id, const std::string& text);
// Moves the focus to `target`; the control that had it sends its kill-focus
// notification.
void MoveFocusTo(HWND target);
// Presses a button with the mouse: a check box or radio button changes its
// state and the parent gets BN_CLICKED.
void Click(HWND page, int id);
// Sends the parent the notification `code` of control `id`, as the control would.
void SendNotification(HWND page, int id, int code);

// What a page's control shows.
std::string Text(HWND window);
std::string Text(HWND page, int id);
std::vector<std::string> Entries(HWND page, int id);
int Selection(HWND page, int id);
// The control's own visibility flag (the page may be hidden).
bool IsShown(HWND page, int id);
bool IsChecked(HWND page, int id);

// A message box or modal dialog the answerer met.
struct SeenDialog {
    std::string caption;
    std::string text; // the texts of its static controls, one per line
    int pressed;      // the button pressed to close it
    bool expected;    // an answer was waiting for it
};

// Answers the message boxes and modal dialogs of this thread while it lives:
// each one takes the next waiting answer. One without a waiting answer is
// closed with Cancel (No or OK when it has no Cancel) and noted as unexpected.
class DialogAnswerer {
  public:
    // Works on the dialog as a user would and returns the button to press.
    using Action = std::function<int(HWND dialog)>;

    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    void Press(int button);
    void Act(Action action);
    const std::vector<SeenDialog>& seen() const { return seen_; }
    size_t waiting() const { return answers_.size(); }

  private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    void Answer(HWND dialog);

    HHOOK hook_ = nullptr;
    std::vector<Action> answers_;
    std::vector<SeenDialog> seen_;
    std::set<HWND> pending_;
    std::set<HWND> handled_;
};
