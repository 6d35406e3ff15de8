#include "ui/device_page_state.h"
#include "config/device_kind.h"
#include "ui/resource_ids.h"

ShutterEntry* PageShutter(const DevicePage& state) {
    const int slot = state.slot;
    return state.kind == kKindShutter && slot >= 0 && slot < kShutterSlots
               ? &DeviceRoster.shutters[slot]
               : nullptr;
}

WheelEntry* PageWheel(const DevicePage& state) {
    const int slot = state.slot;
    return state.kind == kKindFilterWheel && slot >= 0 && slot < kWheelSlots
               ? &DeviceRoster.wheels[slot]
               : nullptr;
}

void MarkSetChanged(HWND page, DevicePage& state) {
    state.filterSetDirty = true;
    EnableSave(page, true);
}

void EnableSave(HWND page, bool enabled) {
    EnableWindow(GetDlgItem(page, IDC_SAVE_SET), enabled ? TRUE : FALSE);
}
