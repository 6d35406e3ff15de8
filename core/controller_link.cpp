#include "core/controller_link.h"

ControllerLink Link;

void ControllerLink::Connections::Empty() {
    scan.Empty();
    stage.Empty();
    focus.Empty();
    filter.Empty();
}

void ControllerLink::Connections::Abandon() {
    scan.Abandon();
    stage.Abandon();
    focus.Abandon();
    filter.Abandon();
}

void ControllerLink::Connections::LetGoAtUnload() {
    scan.LetGoAtUnload();
    stage.LetGoAtUnload();
    focus.LetGoAtUnload();
    filter.LetGoAtUnload();
}

void ControllerLink::Disconnect() {
    DisconnectController();
    connected_ = 0;
}

void ControllerLink::ClaimStagePort(int owner) {
    if (stagePortOwner_ == -1) {
        stagePortOwner_ = owner;
    }
}

void ControllerLink::ClaimDevicePort(int owner) {
    if (devicePortOwner_ == -1) {
        devicePortOwner_ = owner;
    }
}

void ControllerLink::HoldLink(Holder holder) {
    (holder == Holder::Stage ? stageClientOpen_ : deviceClientOpen_) = 1;
}

void ControllerLink::HoldLinkForFocus(Holder holder) {
    focusHolder_ = holder;
    HoldLink(holder);
}

void ControllerLink::ReleaseXYStage() {
    if (deviceClientOpen_ == 0) {
        Disconnect();
    }
    stageClientOpen_ = 0;
}

void ControllerLink::ReleaseFocus() {
    if (focusHolder_ == Holder::Device) {
        return;
    }
    if (deviceClientOpen_ == 0 && stageClientOpen_ == 1 && connected_ == 1) {
        Disconnect();
    }
    stageClientOpen_ = 0;
}

void ControllerLink::ReleaseDeviceFamily(int family, int slot) {
    if (devicePortOwner_ != family || slot != 0) {
        return;
    }
    deviceClientOpen_ = 0;
    if (stageClientOpen_ == 0) {
        Disconnect();
    }
}

void ControllerLink::LetGoAtUnload() {
    objects_.LetGoAtUnload();
    retired_.LetGoAtUnload();
}

void ControllerLink::AbandonAtUnload() {
    objects_.Abandon();
    retired_.Abandon();
}
