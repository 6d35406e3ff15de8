#include "core/module_state.h"
#include "core/controller_link.h"
#include "core/diagnostic_trace.h"

// Module-wide; its owner is DllMain, which sets it at process attach and
// clears it at detach.
HINSTANCE ModuleInstance = nullptr;

namespace {
// Module-wide; its owner is RunAtUnload, and DllMain runs it at detach.
void (*unloadWork)() = nullptr;
} // namespace

void RunAtUnload(void (*work)()) {
    unloadWork = work;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ModuleInstance = instance;
        StartDiagnosticTrace();
        break;
    case DLL_PROCESS_DETACH:
        // On FreeLibrary the objects in this process get their references
        // back, while a proxy's release would call its server from under the
        // loader lock, which hangs once the process's idle RPC threads have
        // ended: proxies are left to COM, which gives their references back
        // when the host's thread leaves COM. At process termination
        // (reserved non-null) COM may already be gone, so nothing is given back.
        if (reserved == nullptr) {
            if (unloadWork != nullptr) {
                unloadWork();
            }
            Link.LetGoAtUnload();
        } else {
            Link.AbandonAtUnload();
        }
        StopDiagnosticTrace(reserved != nullptr);
        ModuleInstance = nullptr;
        break;
    default:
        break;
    }
    return TRUE;
}
