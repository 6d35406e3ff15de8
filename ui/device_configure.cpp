// The configure exports of the shutters and the filter wheels.
#include "ui/device_page.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "core/controller_link.h"
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
            Link.ClaimDevicePort(STOLVO_KIND_SHUTTER);
            ShowDevicePage(parent, top, STOLVO_KIND_SHUTTER, slot);
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
            Link.ClaimDevicePort(STOLVO_KIND_FILTER_WHEEL);
            ShowDevicePage(parent, top, STOLVO_KIND_FILTER_WHEEL, slot);
        }
        return 0;
    }));
}
}
