// Shows a configuration page inside a host-like window for a screenshot.
// Arguments: the view, a file that receives the window's screen rectangle once
// it is drawn, and a file whose appearance ends the program. Views: the stage
// pages "xy", "xy-steps" (step list open), "z-serial" and "z"; the device pages
// "focus", "shutter" and "wheel"; "name-list", the name list editor opened
// from the wheel page's "..." button.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {
using Configure = int(WINAPI*)(HWND, int, int);
using DeviceConfigure = int(WINAPI*)(HWND, int, int, int);
using Init = int(WINAPI*)(int (*)());
using DeviceInit = int(WINAPI*)(int, int (*)());
using GetInstance = int(WINAPI*)(int);

const char* rectFile = nullptr;
const char* stopFile = nullptr;
HWND hostWindow = nullptr;

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\'));
}

// A copy of the driver in a folder of its own, so the page's settings file
// starts empty and does not land beside the build's driver.
std::string DriverFolder() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "stolvo-viewer-" + std::to_string(GetCurrentProcessId());
}

std::string DriverFile(const char* name) {
    return DriverFolder() + "\\" + name;
}

HMODULE LoadDriverCopy() {
    CreateDirectoryA(DriverFolder().c_str(), nullptr);
    CopyFileA((ProgramFolder() + "\\STolvo32.dll").c_str(), DriverFile("STolvo32.dll").c_str(),
              FALSE);
    return LoadLibraryA(DriverFile("STolvo32.dll").c_str());
}

// Everything the views leave beside the driver copy goes with the folder.
void RemoveDriverCopy() {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(DriverFile("*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string path = DriverFile(found.cFileName);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(DriverFolder().c_str());
}

void WriteKey(const char* file, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, DriverFile(file).c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, DriverFile(file).c_str());
}

template <typename F> F Export(HMODULE driver, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(driver, name)));
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(20);
    }
}

void WriteRect() {
    RECT frame{};
    GetWindowRect(hostWindow, &frame);
    if (FILE* out = std::fopen(rectFile, "w")) {
        std::fprintf(out, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top);
        std::fclose(out);
    }
}

bool StopAsked() {
    return GetFileAttributesA(stopFile) != INVALID_FILE_ATTRIBUTES;
}

// No system menu: the frame buttons would need the Marlett font, which a bare
// prefix lacks.
HWND MakeHostWindow(const char* title, int width, int height) {
    WNDCLASSA host{};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = GetModuleHandleA(nullptr);
    host.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = "PageViewerHost";
    RegisterClassA(&host);
    HWND window = CreateWindowExA(0, host.lpszClassName, title,
                                  WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE, 20, 20,
                                  width, height, nullptr, nullptr, host.hInstance, nullptr);
    UpdateWindow(window);
    return window;
}

bool IsStageView(const std::string& view) {
    return view == "xy" || view == "xy-steps" || view == "z-serial" || view == "z";
}

// As a host does: the families initialise before their pages are shown.
// Without a port StgXYInit only loads the settings (and returns -2); the
// family that comes first owns the serial line.
void ShowStagePage(HMODULE driver, const std::string& view, int top) {
    const auto xyConfigure = Export<Configure>(driver, "StgXYConfigure");
    const auto zConfigure = Export<Configure>(driver, "StgZConfigure");
    const auto xyInit = Export<Init>(driver, "StgXYInit");
    if (view == "xy" || view == "xy-steps") {
        xyInit(nullptr);
        xyConfigure(hostWindow, top, 1);
    } else if (view == "z-serial") {
        zConfigure(hostWindow, top, 0);
        xyInit(nullptr);
        zConfigure(hostWindow, top, 1);
    } else {
        xyInit(nullptr);
        zConfigure(hostWindow, top, 1);
    }
    if (view == "xy-steps") {
        HWND page = FindWindowExA(hostWindow, nullptr, "#32770", nullptr);
        Pump(500);
        SetFocus(GetDlgItem(page, 1001));
        SendDlgItemMessageA(page, 1001, CB_SHOWDROPDOWN, TRUE, 0);
    }
}

// A wheel whose set names its filters, a second set in the list, and the
// host's filter list for the name list editor. There is no controller here:
// FWInit loads the wheel's record and set, then fails to connect.
void ShowWheelPage(HMODULE driver, int top) {
    const char* const filters[] = {"Open", "DAPI", "FITC", "TRITC", "Cy5", "GFP"};
    WriteKey("STolvo.INI", "FilterWheel1", "Name", "Fluorescence");
    WriteKey("STolvo.INI", "FilterWheel1", "NumberPositions", "6");
    for (int p = 0; p < 6; ++p) {
        const std::string key = "Position" + std::to_string(p + 1) + "Name";
        WriteKey("Fluorescence.TolvoFW", "FilterWheel1", key.c_str(), filters[p]);
        WriteKey("Brightfield.TolvoFW", "FilterWheel1", key.c_str(), p == 0 ? "Open" : "ND 4");
        WriteKey("KROFWLST.INI", "Filters", ("Name" + std::to_string(p)).c_str(), filters[p]);
    }
    WriteKey("KROFWLST.INI", "Filters", "Name6", "Texas Red");
    Export<GetInstance>(driver, "FWGetInstance")(0);
    Export<DeviceInit>(driver, "FWInit")(0, nullptr);
    Export<DeviceConfigure>(driver, "FWConfigure")(hostWindow, 0, top, 1);
}

void ShowShutterPage(HMODULE driver, int top) {
    WriteKey("STolvo.INI", "Shutter1", "ShutterNumber", "0");
    WriteKey("STolvo.INI", "Shutter1", "Name", "Transmitted Light");
    Export<GetInstance>(driver, "ShtrGetInstance")(0);
    Export<DeviceInit>(driver, "ShtrInit")(0, nullptr);
    Export<DeviceConfigure>(driver, "ShtrConfigure")(hostWindow, 0, top, 1);
}

void ShowFocusPage(HMODULE driver, int top) {
    WriteKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
    WriteKey("STolvo.INI", "Tolvo Stage", "CanAutoFocus", "1");
    Export<Configure>(driver, "StgZConfigure")(hostWindow, top, 1);
}

// Runs inside the name list editor's modal loop: reports the window once the
// editor is drawn and closes the editor when asked to stop. The editor's
// close button, like the host window's, would need the Marlett font that a
// bare prefix lacks; the picture shows the editor without it.
void CALLBACK WatchNameListEditor(HWND, UINT, UINT_PTR, DWORD) {
    static int ticks = 0;
    ++ticks;
    HWND editor = FindWindowA("#32770", "Filter Names");
    if (ticks == 5 && editor != nullptr) {
        SetWindowLongA(editor, GWL_STYLE, GetWindowLongA(editor, GWL_STYLE) & ~WS_SYSMENU);
        SetWindowPos(editor, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    if (ticks == 15) {
        WriteRect();
    }
    if (StopAsked() && editor != nullptr) {
        PostMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    }
}

void OpenNameListEditor() {
    HWND page = FindWindowExA(hostWindow, nullptr, "#32770", nullptr);
    SetTimer(nullptr, 0, 100, WatchNameListEditor);
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(1039, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, 1039)));
}

const char* TitleOf(const std::string& view) {
    if (view.rfind("xy", 0) == 0) {
        return "XY stage configuration";
    }
    if (view == "z-serial" || view == "z") {
        return "Z stage configuration";
    }
    if (view == "focus") {
        return "Focus configuration";
    }
    if (view == "shutter") {
        return "Shutter configuration";
    }
    return "Filter wheel configuration";
}
} // namespace

int main(int argc, char** argv) {
    const std::string view = argc == 4 ? argv[1] : "";
    const bool known = IsStageView(view) || view == "focus" || view == "shutter" ||
                       view == "wheel" || view == "name-list";
    if (!known) {
        std::fprintf(stderr, "usage: page_viewer xy|xy-steps|z-serial|z|focus|shutter|wheel|"
                             "name-list RECT_FILE STOP_FILE\n");
        return 2;
    }
    rectFile = argv[2];
    stopFile = argv[3];
    HMODULE driver = LoadDriverCopy();
    if (driver == nullptr || GetProcAddress(driver, "KroConfigProc") == nullptr) {
        std::fprintf(stderr, "no driver\n");
        RemoveDriverCopy();
        return 1;
    }
    // The device pages open with the first-time defaults notice unless the
    // settings file says they were given; a chosen port keeps its defaults out.
    if (!IsStageView(view)) {
        WriteKey("STolvo.INI", "Tolvo Stage", "DefaultAll", "0");
        WriteKey("STolvo.INI", "Tolvo Stage", "Port", "0");
    }
    const bool tall = view == "wheel" || view == "name-list";
    hostWindow = MakeHostWindow(TitleOf(view), 440, tall ? 340 : 300);
    const int top = 12;
    if (IsStageView(view)) {
        ShowStagePage(driver, view, top);
    } else if (view == "focus") {
        ShowFocusPage(driver, top);
    } else if (view == "shutter") {
        ShowShutterPage(driver, top);
    } else {
        ShowWheelPage(driver, top);
    }
    if (view == "name-list") {
        OpenNameListEditor();
    }
    Pump(1500);
    if (view != "name-list") {
        WriteRect();
    }
    for (int i = 0; i < 3000 && !StopAsked(); ++i) {
        Pump(20);
    }
    DestroyWindow(hostWindow);
    FreeLibrary(driver);
    RemoveDriverCopy();
    return 0;
}
