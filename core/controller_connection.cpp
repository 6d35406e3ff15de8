// Opening and closing the controller link.
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/outgoing_calls.h"
#include "core/scan_members.h"
#include <utility>

namespace {
// A server that cannot close the link still gets its references back.
void ClosePort(const DispatchConnection& scan) noexcept {
    try {
        CallMethod(scan.get(), ScanMember::ClosePort);
    } catch (...) {
    }
}
} // namespace

bool ControllerLink::OpenLink(int portArgument) {
    LONG status = portArgument;
    try {
        CallMethod(objects_.scan.get(), ScanMember::OpenPort, &status);
    } catch (const DispatchFailure&) {
        return false;
    }
    if (status < 0) {
        return false;
    }
    // The start-up exchange's results are not used: a server that answers it
    // otherwise than ours does (an error, a value of another type) still has
    // an open link. Only a server that has gone away leaves it unusable.
    bool serverGone = false;
    try {
        GetPropertyR4(objects_.scan.get(), ScanMember::LinkValue);
    } catch (const DispatchFailure& failure) {
        serverGone = IsServerGone(failure.result);
    }
    if (!serverGone) {
        try {
            CallMethod(objects_.scan.get(), ScanMember::LinkReady);
        } catch (const DispatchFailure& failure) {
            serverGone = IsServerGone(failure.result);
        }
    }
    if (!serverGone) {
        return true;
    }
    // The controller must not keep the link open for a driver that counts
    // itself unconnected, should the server answer after all.
    ClosePort(objects_.scan);
    return false;
}

int PortArgument(int port) {
    switch (port) {
    case 0:
    case 1:
    case 2:
    case 3:
        return port + 1;
    case 4:
        return 0; // the PCI interface
    default:
        return port;
    }
}

int ControllerLink::ConnectController() {
    if (connected_ == 1) {
        return 1;
    }
    // An init from a message handler while one of the driver's calls waits:
    // no link is opened under it.
    if (CallUnderWay()) {
        return 0;
    }
    const int portArgument = PortArgument(DriverSettings.port);
    if (portArgument != lastPortArgument_) {
        portAttempted_ = 0;
    }
    lastPortArgument_ = portArgument;
    if (portAttempted_ == 1) {
        return 0;
    }
    if (objects_.scan.Bind(L"tolvo.scan") != BindResult::Bound) {
        return 0;
    }
    if (objects_.stage.Bind(L"tolvo.stage") != BindResult::Bound) {
        return 0;
    }
    portAttempted_ = 1;
    if (!OpenLink(portArgument)) {
        objects_.scan.Empty();
        objects_.stage.Empty();
        return 0;
    }
    portAttempted_ = 0;
    connected_ = 1;
    return 1;
}

void ControllerLink::DisconnectController() {
    if (!objects_.scan.IsBound()) {
        return;
    }
    // A close from a message handler while one of the driver's calls waits:
    // that call still uses the objects, and a handler of a sent message may
    // not call out. The exports find the link closed at once; the link is
    // closed and the objects given back when the call has ended, before the
    // driver returns to the host.
    if (CallUnderWay()) {
        retired_ = std::move(objects_);
        retiredLinkWaits_ = true;
        return;
    }
    ClosePort(objects_.scan);
    objects_.Empty();
}

void ControllerLink::CloseRetiredLink() noexcept {
    retiredLinkWaits_ = false;
    ClosePort(retired_.scan);
    retired_.Empty();
}
