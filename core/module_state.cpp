#include "core/module_state.h"
#include "config/device_roster.h"
#include "core/automation_objects.h"
#include "core/diagnostic_trace.h"

HINSTANCE ModuleInstance = nullptr;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ModuleInstance = instance;
        StartDiagnosticTrace();
        ResetDeviceRoster();
        break;
    case DLL_PROCESS_DETACH:
        // On FreeLibrary the servers are still there and get their references
        // back. At process termination (reserved non-null) COM may already be
        // gone and the loader lock is held, so the references are abandoned.
        if (reserved == nullptr) {
            EmptyAllConnections();
        } else {
            AbandonAllConnections();
        }
        StopDiagnosticTrace(reserved != nullptr);
        ModuleInstance = nullptr;
        break;
    default:
        break;
    }
    return TRUE;
}
