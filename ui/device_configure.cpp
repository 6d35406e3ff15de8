// The configure exports of the shutters and the filter wheels.
#include "ui/device_page.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "core/link_holders.h"
#include "devices/export_guard.h"
#include "ui/device_page_window.h"

namespace {
constexpr int kClose = 0;
constexpr int kApply = 2;
} // namespace

extern "C" {

int WINAPI ShtrConfigure(HWND parent, int slot, int top, int mode) {
    ExportTrace trace("ShtrConfigure", parent, slot, top, mode);
    return trace.Return(Guarded(0, [&] {
        if (mode == kClose) {
            CloseDevicePage();
        } else if (mode != kApply) {
            ClaimDevicePort(kShutterFamily);
            ShowDevicePage(parent, top, kKindShutter, slot);
        }
        return 0;
    }));
}

int WINAPI FWConfigure(HWND parent, int slot, int top, int mode) {
    ExportTrace trace("FWConfigure", parent, slot, top, mode);
    return trace.Return(Guarded(0, [&] {
        if (mode == kClose) {
            CloseDevicePage();
        } else if (mode == kApply) {
            ApplyDevicePage();
        } else {
            ClaimDevicePort(kWheelFamily);
            ShowDevicePage(parent, top, kKindFilterWheel, slot);
        }
        return 0;
    }));
}
}
