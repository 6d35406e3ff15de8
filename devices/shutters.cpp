#include "devices/shutters.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/device_roster.h"
#include "core/automation_objects.h"
#include "core/controller_connection.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/link_holders.h"
#include "core/scan_members.h"
#include "devices/device_codes.h"
#include "devices/export_guard.h"
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
    CallMethod(ScanObject.get(), ScanMember::SetShutter, slot + 1, state);
}
} // namespace

extern "C" {

int WINAPI ShtrGetInstance(int unused) {
    ExportTrace trace("ShtrGetInstance", unused);
    if (DeviceRoster.shutterCount + 1 > kShutterSlots) {
        return trace.Return(kBadSlot);
    }
    return trace.Return(DeviceRoster.shutterCount++);
}

int WINAPI ShtrInit(int slot, HostCallback callback) {
    ExportTrace trace("ShtrInit", slot, callback);
    return trace.Return(Guarded(kNotBound, [&] {
        if (!IsHandedOut(slot)) {
            return kBadSlot;
        }
        ClaimDevicePort(kShutterFamily);
        if (DevicePortOwner == kShutterFamily) {
            LoadDeviceRecord(0, kKindSerialLine);
            if (DriverSettings.port == -1) {
                return kNotConfigured;
            }
        }
        LoadDeviceRecord(slot, kKindShutter);
        ShutterEntry& shutter = DeviceRoster.shutters[slot];
        if (shutter.configured == 0) {
            return kNotConfigured;
        }
        shutter.openState = 0;
        DeviceClientCallback = callback;
        if (ConnectController() == 0) {
            return kLinkFailed;
        }
        HoldLink(LinkHolder::Device);
        if (!ScanObject.IsBound()) {
            return kNotBound;
        }
        SendShutterState(slot, 0);
        shutter.openState = 0;
        return kDone;
    }));
}

int WINAPI ShtrSetOpen(int slot, int state) {
    ExportTrace trace("ShtrSetOpen", slot, state);
    return trace.Return(Guarded(kNotBound, [&] {
        ShutterEntry* shutter = UsableShutter(slot);
        if (shutter == nullptr) {
            return kBadSlot;
        }
        if (state == shutter->openState) {
            return kDone;
        }
        if (!ScanObject.IsBound()) {
            return kNotBound;
        }
        // A refused call leaves the recorded state, so that the host's next
        // request is sent again.
        SendShutterState(slot, state);
        shutter->openState = state;
        return kDone;
    }));
}

int WINAPI ShtrGetOpen(int slot) {
    ExportTrace trace("ShtrGetOpen", slot);
    const ShutterEntry* shutter = UsableShutter(slot);
    return trace.Return(shutter != nullptr ? shutter->openState : kBadSlot);
}

int WINAPI ShtrGetName(int slot, char* name) {
    ExportTrace trace("ShtrGetName", slot, name);
    const ShutterEntry* shutter = UsableShutter(slot);
    if (shutter == nullptr) {
        return trace.Return(kBadSlot);
    }
    if (name != nullptr) {
        const size_t length = strnlen(shutter->name, kNameSize - 1);
        std::memcpy(name, shutter->name, length);
        name[length] = '\0';
    }
    return trace.Return(kDone);
}

int WINAPI ShtrClose(int slot) {
    ExportTrace trace("ShtrClose", slot);
    return trace.Return(Guarded(kDone, [&] {
        ReleaseDeviceFamily(kShutterFamily, slot);
        return kDone;
    }));
}

int WINAPI ShtrWrite(int unused1, int unused2) {
    ExportTrace trace("ShtrWrite", unused1, unused2);
    return trace.Return(Connected != 0 ? kDone : kLinkFailed);
}

int WINAPI ShtrRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("ShtrRead", unused1, unused2, unused3);
    return trace.Return(Connected != 0 ? kDone : kLinkFailed);
}
}
