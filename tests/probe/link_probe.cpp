// The link holders and line owners, as the close rules leave them.
#include "core/link_holders.h"
#include "tests/probe/link_probe.h"

extern "C" void WINAPI ProbeLinkState(LinkState* out) {
    if (out != nullptr) {
        *out = LinkState{Connected, StageClientOpen, DeviceClientOpen, StagePortOwner,
                         DevicePortOwner};
    }
}
