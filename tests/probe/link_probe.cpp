// The link holders and line owners, as the close rules leave them.
#include "core/controller_link.h"
#include "tests/probe/link_probe.h"

extern "C" void WINAPI ProbeLinkState(LinkState* out) {
    if (out != nullptr) {
        *out = LinkState{Link.Connected(), Link.StageClientOpen(), Link.DeviceClientOpen(),
                         Link.StagePortOwner(), Link.DevicePortOwner()};
    }
}
