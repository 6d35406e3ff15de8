#include "sim/local_server/starting_process.h"
#include <tlhelp32.h>

namespace {
DWORD ParentProcessId() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) {
            parent = entry.th32ParentProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    return parent;
}
} // namespace

HANDLE OpenStartingProcess() {
    const DWORD parent = ParentProcessId();
    return parent != 0 ? OpenProcess(SYNCHRONIZE, FALSE, parent) : nullptr;
}
