// The pages listen to the device exports: the wheel page follows the host's
// turns of its wheel, and the stage page goes when the XY stage is closed.
#include "devices/page_notices.h"
#include "ui/page_state.h"
#include "ui/wheel_page_follow.h"

namespace {
const bool listening =
    (ListenToDevices({&SettlePageBeforeTurn, &FollowTurnOnPage, &DestroyStagePage}), true);
} // namespace
