#include "core/link_holders.h"
#include "core/controller_connection.h"

int Connected = 0;
int StageClientOpen = 0;
int DeviceClientOpen = 0;
int StagePortOwner = -1;
int DevicePortOwner = -1;

namespace {
void Disconnect() {
    DisconnectController();
    Connected = 0;
}
} // namespace

void ClaimStagePort(int family) {
    if (StagePortOwner == -1) {
        StagePortOwner = family;
    }
}

void ClaimDevicePort(int family) {
    if (DevicePortOwner == -1) {
        DevicePortOwner = family;
    }
}

void HoldLink(LinkHolder holder) {
    (holder == LinkHolder::Stage ? StageClientOpen : DeviceClientOpen) = 1;
}

void ReleaseXYStage() {
    if (DeviceClientOpen == 0) {
        Disconnect();
    }
    StageClientOpen = 0;
}

void ReleaseFocus(LinkHolder heldAs) {
    if (heldAs == LinkHolder::Device) {
        return;
    }
    if (DeviceClientOpen == 0 && StageClientOpen == 1 && Connected == 1) {
        Disconnect();
    }
    StageClientOpen = 0;
}

void ReleaseDeviceFamily(int family, int slot) {
    if (DevicePortOwner != family || slot != 0) {
        return;
    }
    DeviceClientOpen = 0;
    if (StageClientOpen == 0) {
        Disconnect();
    }
}
