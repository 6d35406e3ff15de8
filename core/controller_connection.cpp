#include "core/controller_connection.h"
#include "core/automation_objects.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/link_holders.h"
#include "core/outgoing_calls.h"
#include "core/scan_members.h"

namespace {
int LastPortArgument = -1;
// Set while the last attempt on LastPortArgument failed to open the link: a
// dead port is not tried again until another port has been tried.
int PortAttempted = 0;

// A server that cannot close the link still gets its references back.
void ClosePort(const DispatchConnection& scan) noexcept {
    try {
        CallMethod(scan.get(), ScanMember::ClosePort);
    } catch (...) {
    }
}

void EmptyScanAndStage() {
    ScanObject.Empty();
    StageObject.Empty();
}

// Opens the link and runs the start-up exchange; false when it did not open.
bool OpenLink(int portArgument) {
    LONG status = portArgument;
    try {
        CallMethod(ScanObject.get(), ScanMember::OpenPort, &status);
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
        GetPropertyR4(ScanObject.get(), ScanMember::LinkValue);
    } catch (const DispatchFailure& failure) {
        serverGone = IsServerGone(failure.result);
    }
    if (!serverGone) {
        try {
            CallMethod(ScanObject.get(), ScanMember::LinkReady);
        } catch (const DispatchFailure& failure) {
            serverGone = IsServerGone(failure.result);
        }
    }
    if (!serverGone) {
        return true;
    }
    // The controller must not keep the link open for a driver that counts
    // itself unconnected, should the server answer after all.
    ClosePort(ScanObject);
    return false;
}
} // namespace

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

int ConnectController() {
    if (Connected == 1) {
        return 1;
    }
    // An init from a message handler while one of the driver's calls waits:
    // no link is opened under it.
    if (CallUnderWay()) {
        return 0;
    }
    const int portArgument = PortArgument(DriverSettings.port);
    if (portArgument != LastPortArgument) {
        PortAttempted = 0;
    }
    LastPortArgument = portArgument;
    if (PortAttempted == 1) {
        return 0;
    }
    if (ScanObject.Bind(L"tolvo.scan") != BindResult::Bound) {
        return 0;
    }
    if (StageObject.Bind(L"tolvo.stage") != BindResult::Bound) {
        return 0;
    }
    PortAttempted = 1;
    if (!OpenLink(portArgument)) {
        EmptyScanAndStage();
        return 0;
    }
    PortAttempted = 0;
    Connected = 1;
    return 1;
}

void DisconnectController() {
    if (!ScanObject.IsBound()) {
        return;
    }
    // A close from a message handler while one of the driver's calls waits:
    // that call still uses the objects, and a handler of a sent message may
    // not call out. The exports find the link closed at once; the link is
    // closed and the objects given back when the call has ended, before the
    // driver returns to the host.
    if (CallUnderWay()) {
        RetireAllConnections();
        WhenCallsHaveEnded(&CloseRetiredLink);
        return;
    }
    ClosePort(ScanObject);
    EmptyAllConnections();
}

void CloseRetiredLink() noexcept {
    ClosePort(Retired.scan);
    Retired.Empty();
}
