#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"

bool PositionNameEdited = false;
bool ShutterNameEdited = false;

ShutterEntry* PageShutter() {
    const int slot = CurrentDeviceIndex;
    return slot >= 0 && slot < kShutterSlots ? &DeviceRoster.shutters[slot] : nullptr;
}

WheelEntry* PageWheel() {
    const int slot = CurrentDeviceIndex;
    return slot >= 0 && slot < kWheelSlots ? &DeviceRoster.wheels[slot] : nullptr;
}

PageDevice NotePageDevice(HWND page) {
    return PageDevice{page, CurrentPageKind, CurrentDeviceIndex};
}

bool StillStandsFor(const PageDevice& noted) {
    return IsWindow(noted.page) && noted.kind == CurrentPageKind &&
           noted.slot == CurrentDeviceIndex;
}

void MarkSetChanged(HWND page) {
    FilterSetDirty = true;
    EnableSave(page, true);
}

void EnableSave(HWND page, bool enabled) {
    EnableWindow(GetDlgItem(page, IDC_SAVE_SET), enabled ? TRUE : FALSE);
}
