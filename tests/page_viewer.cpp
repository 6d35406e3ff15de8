// Shows a stage page inside a host-like window for a screenshot. Arguments:
// the view ("xy", "xy-steps" with the step list open, "z-serial" or "z"), a file that receives the
// window's screen rectangle once it is drawn, and a file whose appearance ends the program.
#include <windows.h>
#include <cstdio>
#include <string>

namespace {
using Configure = int(WINAPI*)(HWND, int, int);
using Init = int(WINAPI*)(int (*)());

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

HMODULE LoadDriverCopy() {
    CreateDirectoryA(DriverFolder().c_str(), nullptr);
    const std::string copy = DriverFolder() + "\\STolvo32.dll";
    CopyFileA((ProgramFolder() + "\\STolvo32.dll").c_str(), copy.c_str(), FALSE);
    return LoadLibraryA(copy.c_str());
}

void RemoveDriverCopy() {
    DeleteFileA((DriverFolder() + "\\STolvo32.dll").c_str());
    DeleteFileA((DriverFolder() + "\\STolvo.INI").c_str());
    RemoveDirectoryA(DriverFolder().c_str());
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

// No system menu: the frame buttons would need the Marlett font, which a bare
// prefix lacks.
HWND MakeHostWindow(const char* title) {
    WNDCLASSA host{};
    host.lpfnWndProc = DefWindowProcA;
    host.hInstance = GetModuleHandleA(nullptr);
    host.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = "StagePageViewer";
    RegisterClassA(&host);
    HWND window = CreateWindowExA(0, host.lpszClassName, title,
                                  WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE, 20, 20,
                                  440, 300, nullptr, nullptr, host.hInstance, nullptr);
    UpdateWindow(window);
    return window;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: page_viewer xy|xy-steps|z-serial|z RECT_FILE STOP_FILE\n");
        return 2;
    }
    const std::string view = argv[1];
    HMODULE driver = LoadDriverCopy();
    auto xyConfigure = reinterpret_cast<Configure>(
        reinterpret_cast<void*>(GetProcAddress(driver, "StgXYConfigure")));
    auto zConfigure = reinterpret_cast<Configure>(
        reinterpret_cast<void*>(GetProcAddress(driver, "StgZConfigure")));
    auto xyInit =
        reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(driver, "StgXYInit")));
    if (xyConfigure == nullptr || zConfigure == nullptr || xyInit == nullptr) {
        std::fprintf(stderr, "no driver\n");
        RemoveDriverCopy();
        return 1;
    }
    HWND host = MakeHostWindow(view.rfind("xy", 0) == 0 ? "XY stage configuration"
                                                        : "Z stage configuration");
    const int top = 12;
    // As a host does: the families initialise before their pages are shown.
    // Without a port StgXYInit only loads the settings (and returns -2); the
    // family that comes first owns the serial line.
    if (view == "xy" || view == "xy-steps") {
        xyInit(nullptr);
        xyConfigure(host, top, 1);
    } else if (view == "z-serial") {
        zConfigure(host, top, 0);
        xyInit(nullptr);
        zConfigure(host, top, 1);
    } else {
        xyInit(nullptr);
        zConfigure(host, top, 1);
    }
    if (view == "xy-steps") {
        HWND page = FindWindowExA(host, nullptr, "#32770", nullptr);
        Pump(500);
        SetFocus(GetDlgItem(page, 1001));
        SendDlgItemMessageA(page, 1001, CB_SHOWDROPDOWN, TRUE, 0);
    }
    Pump(1500);

    RECT frame{};
    GetWindowRect(host, &frame);
    if (FILE* out = std::fopen(argv[2], "w")) {
        std::fprintf(out, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top);
        std::fclose(out);
    }
    for (int i = 0; i < 3000 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) {
        Pump(20);
    }
    DestroyWindow(host);
    FreeLibrary(driver);
    RemoveDriverCopy();
    return 0;
}
