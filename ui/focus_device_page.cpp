#include "ui/focus_device_page.h"
#include "config/device_kind.h"
#include "core/controller_link.h"
#include "devices/export_guard.h"
#include "ui/device_page_window.h"

int ConfigureFocusDevicePage(HWND parent, int top, int show) {
    return Guarded(0, [&] {
        if (show == 0) {
            CloseDevicePage();
        } else {
            Link.ClaimDevicePort(STOLVO_KIND_FOCUS);
            // The focus drive has no slots: its page is always slot 0.
            ShowDevicePage(parent, top, STOLVO_KIND_FOCUS, 0);
        }
        return 0;
    });
}
