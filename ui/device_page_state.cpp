#include "ui/device_page_state.h"
#include "config/device_kind.h"
#include "ui/page_request.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"

DevicePage DeviceAskedFor(DialogKind dialog) {
    DevicePage asked{};
    if (const PageRequest* request = TakePageRequest(dialog)) {
        asked.kind = request->kind;
        asked.slot = request->slot;
        asked.top = request->top;
    } else if (const DevicePage* shown = DevicePageOf(DevicePageWindow)) {
        asked.kind = shown->kind;
        asked.slot = shown->slot;
        asked.top = shown->top;
    }
    return asked;
}

ShutterEntry* PageShutter(const DevicePage& state) {
    const int slot = state.slot;
    return state.kind == STOLVO_KIND_SHUTTER && slot >= 0 && slot < kShutterSlots
               ? &DeviceRoster.shutters[slot]
               : nullptr;
}

WheelEntry* PageWheel(const DevicePage& state) {
    const int slot = state.slot;
    return state.kind == STOLVO_KIND_FILTER_WHEEL && slot >= 0 && slot < kWheelSlots
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
