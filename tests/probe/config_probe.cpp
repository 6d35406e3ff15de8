// Test build exports that reach the device roster, the device records, the
// host's files and the filter sets.
#include "config/device_records.h"
#include "config/device_roster.h"
#include "config/filter_sets.h"
#include "config/host_hardware_file.h"
#include "config/name_lists.h"
#include "ui/name_list_box.h"
#include <algorithm>
#include <cstring>
#include <iterator>

extern "C" {
void WINAPI ProbeGetRoster(DeviceRosterTable* out) {
    *out = DeviceRoster;
}
// A roster set by a test stands for records the module has read.
void WINAPI ProbeSetRoster(const DeviceRosterTable* in) {
    DeviceRoster = *in;
    std::fill(std::begin(RecordsRead.shutters), std::end(RecordsRead.shutters), true);
    std::fill(std::begin(RecordsRead.wheels), std::end(RecordsRead.wheels), true);
}
void WINAPI ProbeLoadDeviceRecord(int slot, int kind) {
    LoadDeviceRecord(slot, kind);
}
int WINAPI ProbeIsHostDeviceOurs(int kind, int hostIndex) {
    return IsHostDeviceOurs(kind, hostIndex) ? 1 : 0;
}
int WINAPI ProbeLoadFilterSet(int slot) {
    return LoadFilterSet(slot);
}
int WINAPI ProbeFilterSetPath(const char* setName, char* out, int size) {
    char path[kPathSize];
    const bool fits = FilterSetPath(setName, path);
    std::strncpy(out, path, static_cast<size_t>(size) - 1);
    out[size - 1] = '\0';
    return fits ? 1 : 0;
}
int WINAPI ProbeFillNameList(HWND dialog, int controlId, int kind, const char* selectName) {
    return FillNameList(dialog, controlId, kind, selectName);
}
void WINAPI ProbeAddListName(const char* name, int kind) {
    AddListName(name, kind);
}
void WINAPI ProbeRewriteNameList(HWND dialog, int controlId, int kind) {
    RewriteNameList(dialog, controlId, kind);
}
}
