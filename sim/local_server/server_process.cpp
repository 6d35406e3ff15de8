#include "sim/local_server/server_process.h"
#include "sim/local_server/class_objects.h"
#include "sim/local_server/starting_process.h"
#include "sim/object_accounting.h"
#include <objbase.h>

namespace {
// A server that nobody has used for this long ends: COM started it for a
// client that never came.
constexpr UINT kUnusedCheckMs = 20000;

DWORD serverThread = 0;

void EndWhenUnused() {
    PostThreadMessageW(serverThread, WM_QUIT, 0, 0);
}

// Serves messages, the calls of clients among them, until the last object and
// lock are gone. Wine does not tell a server of the references of a client
// that died, so the server also ends with the client that started it.
void RunMessageLoop() {
    HANDLE client = OpenStartingProcess();
    const DWORD handles = client != nullptr ? 1 : 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, kUnusedCheckMs, nullptr);
    bool running = true;
    while (running) {
        if (MsgWaitForMultipleObjects(handles, &client, FALSE, INFINITE, QS_ALLINPUT) ==
                WAIT_OBJECT_0 &&
            handles == 1) {
            break;
        }
        MSG message;
        while (running && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                running = false;
            } else if (message.message == WM_TIMER && message.hwnd == nullptr &&
                       message.wParam == timer) {
                running = ModuleInUse();
            } else {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    KillTimer(nullptr, timer);
    if (client != nullptr) {
        CloseHandle(client);
    }
}
} // namespace

int Serve() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    serverThread = GetCurrentThreadId();
    // The thread's queue must exist before anything posts to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetUnusedHandler(&EndWhenUnused);
    const HRESULT offered = RegisterClassObjects();
    if (SUCCEEDED(offered)) {
        RunMessageLoop();
    }
    RevokeClassObjects();
    SetUnusedHandler(nullptr);
    CoUninitialize();
    return SUCCEEDED(offered) ? 0 : 1;
}
