#include "ui/wheel_page_follow.h"
#include "config/device_roster.h"
#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/wheel_page.h"

namespace {
// The state of the wheel page, when it shows wheel `slot`; otherwise nullptr.
DevicePage* PageShowing(int slot) {
    DevicePage* state = DevicePageOf(DevicePageWindow);
    if (state == nullptr || state->slot != slot || PageWheel(*state) == nullptr) {
        return nullptr;
    }
    return state;
}
} // namespace

void SettlePageBeforeTurn(int slot) {
    if (DevicePage* state = PageShowing(slot)) {
        TakeTypedPositionName(DevicePageWindow, *state);
    }
}

void FollowTurnOnPage(int slot) {
    DevicePage* state = PageShowing(slot);
    if (state == nullptr) {
        return;
    }
    SendDlgItemMessageA(DevicePageWindow, IDC_POSITION_NAME, CB_SETCURSEL,
                        static_cast<WPARAM>(PageWheel(*state)->currentPosition), 0);
    ShowPositionNumber(DevicePageWindow, *state);
}
