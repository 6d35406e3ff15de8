#include "devices/shutters.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/device_roster.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/scan_members.h"
#include "devices/export_guard.h"
#include "include/STolvo32.h"
#include <cstring>

namespace {
DISPATCH_INLINE bool IsHandedOut(int slot) {
    return slot >= 0 && slot < DeviceRoster.shutterCount && slot < kShutterSlots;
}

// The slot's entry when the host may use it: handed out and configured.
// Inline, as is the state's call below, in the exports on the host's path: on
// a small in-process server each call of our own costs about as much as the
// server's answer.
DISPATCH_INLINE ShutterEntry* UsableShutter(int slot) {
    if (!IsHandedOut(slot) || DeviceRoster.shutters[slot].configured != 1) {
        return nullptr;
    }
    return &DeviceRoster.shutters[slot];
}

DISPATCH_INLINE void SendShutterState(int slot, int state) {
    CallMethod(Link.ScanObject().get(), ScanMember::SetShutter, slot + 1, state);
}
} // namespace

extern "C" {

int WINAPI ShtrGetInstance(int unused) {
    ExportTrace trace("ShtrGetInstance", unused);
    if (DeviceRoster.shutterCount + 1 > kShutterSlots) {
        return trace.Return(STOLVO_BAD_SLOT);
    }
    return trace.Return(DeviceRoster.shutterCount++);
}

int WINAPI ShtrInit(int slot, HostCallback callback) {
    ExportTrace trace("ShtrInit", slot, callback);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        if (!IsHandedOut(slot)) {
            return STOLVO_BAD_SLOT;
        }
        Link.ClaimDevicePort(STOLVO_KIND_SHUTTER);
        if (Link.DevicePortOwner() == STOLVO_KIND_SHUTTER) {
            LoadDeviceRecord(0, STOLVO_KIND_SERIAL_LINE);
            if (DriverSettings.port == -1) {
                return STOLVO_NOT_CONFIGURED;
            }
        }
        LoadDeviceRecord(slot, STOLVO_KIND_SHUTTER);
        ShutterEntry& shutter = DeviceRoster.shutters[slot];
        if (shutter.configured == 0) {
            return STOLVO_NOT_CONFIGURED;
        }
        shutter.openState = 0;
        DeviceFamilies.DeviceClientCallback = callback;
        if (Link.ConnectController() == 0) {
            return STOLVO_LINK_FAILED;
        }
        Link.HoldLink(ControllerLink::Holder::Device);
        if (!Link.ScanObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        SendShutterState(slot, 0);
        shutter.openState = 0;
        return STOLVO_OK;
    }));
}

int WINAPI ShtrSetOpen(int slot, int state) {
    ExportTrace trace("ShtrSetOpen", slot, state);
    return trace.Return(Guarded(STOLVO_NOT_BOUND, [&] {
        ShutterEntry* shutter = UsableShutter(slot);
        if (shutter == nullptr) {
            return STOLVO_BAD_SLOT;
        }
        if (state == shutter->openState) {
            return STOLVO_OK;
        }
        if (!Link.ScanObject().IsBound()) {
            return STOLVO_NOT_BOUND;
        }
        // A refused call leaves the recorded state, so that the host's next
        // request is sent again.
        SendShutterState(slot, state);
        shutter->openState = state;
        return STOLVO_OK;
    }));
}

int WINAPI ShtrGetOpen(int slot) {
    ExportTrace trace("ShtrGetOpen", slot);
    const ShutterEntry* shutter = UsableShutter(slot);
    return trace.Return(shutter != nullptr ? shutter->openState : STOLVO_BAD_SLOT);
}

int WINAPI ShtrGetName(int slot, char* name) {
    ExportTrace trace("ShtrGetName", slot, name);
    const ShutterEntry* shutter = UsableShutter(slot);
    if (shutter == nullptr) {
        return trace.Return(STOLVO_BAD_SLOT);
    }
    if (name != nullptr) {
        const size_t length = strnlen(shutter->name, kNameSize - 1);
        std::memcpy(name, shutter->name, length);
        name[length] = '\0';
    }
    return trace.Return(STOLVO_OK);
}

int WINAPI ShtrClose(int slot) {
    ExportTrace trace("ShtrClose", slot);
    return trace.Return(Guarded(STOLVO_OK, [&] {
        Link.ReleaseDeviceFamily(STOLVO_KIND_SHUTTER, slot);
        return STOLVO_OK;
    }));
}

int WINAPI ShtrWrite(int unused1, int unused2) {
    ExportTrace trace("ShtrWrite", unused1, unused2);
    return trace.Return(Link.Connected() != 0 ? STOLVO_OK : STOLVO_LINK_FAILED);
}

int WINAPI ShtrRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("ShtrRead", unused1, unused2, unused3);
    return trace.Return(Link.Connected() != 0 ? STOLVO_OK : STOLVO_LINK_FAILED);
}
}
