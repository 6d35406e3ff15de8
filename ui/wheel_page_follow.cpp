#include "ui/wheel_page_follow.h"
#include "config/device_kind.h"
#include "config/device_roster.h"
#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/wheel_page.h"

namespace {
// The wheel page, when it shows wheel `slot`; otherwise nullptr.
HWND PageShowing(int slot) {
    if (DevicePageWindow == nullptr || !IsWindow(DevicePageWindow) ||
        CurrentPageKind != STOLVO_KIND_FILTER_WHEEL || CurrentDeviceIndex != slot ||
        PageWheel() == nullptr) {
        return nullptr;
    }
    return DevicePageWindow;
}
} // namespace

void SettlePageBeforeTurn(int slot) {
    HWND page = PageShowing(slot);
    if (page != nullptr && PositionNameEdited) {
        CommitPositionName(page);
        MarkSetChanged(page);
    }
}

void FollowTurnOnPage(int slot) {
    HWND page = PageShowing(slot);
    if (page == nullptr) {
        return;
    }
    SendDlgItemMessageA(page, IDC_POSITION_NAME, CB_SETCURSEL,
                        static_cast<WPARAM>(PageWheel()->currentPosition), 0);
    ShowPositionNumber(page);
}
