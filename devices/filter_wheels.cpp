#include "devices/filter_wheels.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "core/controller_link.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/filter_members.h"
#include "devices/export_guard.h"
#include "devices/page_notices.h"
#include "include/STolvo32.h"
#include <cstring>

namespace {
constexpr int kHome = -1;

bool IsWheelSlot(int slot) {
    return slot >= 0 && slot < kWheelSlots;
}

// The slot's entry when the host may use it: handed out and its set valid.
// Inline, as are the turns below, in the exports on the host's path: on a
// small in-process server each call of our own costs about as much as the
// server's answer.
DISPATCH_INLINE WheelEntry* UsableWheel(int slot) {
    if (!IsWheelSlot(slot) || slot >= DeviceRoster.wheelCount ||
        DeviceRoster.wheels[slot].valid != 1) {
        return nullptr;
    }
    return &DeviceRoster.wheels[slot];
}

void CopyName(char* out, const char* name) {
    if (out != nullptr) {
        const size_t length = NameFieldLength(name);
        std::memcpy(out, name, length);
        out[length] = '\0';
    }
}
// Throws DispatchFailure when the call is refused.
DISPATCH_INLINE int TurnWheelNow(int slot, int position) {
    if (!Link.FilterObject().IsBound() || !IsWheelSlot(slot)) {
        return STOLVO_NOT_BOUND;
    }
    WheelEntry& wheel = DeviceRoster.wheels[slot];
    if (position == kHome) {
        CallMethod(Link.FilterObject().get(), FilterMember::HomeWheel, slot + 1);
        wheel.currentPosition = 0;
    } else {
        CallMethod(Link.FilterObject().get(), FilterMember::MoveWheel, slot + 1, position + 1);
        wheel.currentPosition = position;
    }
    return STOLVO_OK;
}

DISPATCH_INLINE int TurnWheelFollowedNow(int slot, int position) {
    return Guarded(STOLVO_NOT_BOUND, [&]() DISPATCH_INLINE_LAMBDA {
        NoteWheelTurning(slot);
        const int result = TurnWheelNow(slot, position);
        if (result == STOLVO_OK) {
            NoteWheelTurned(slot);
        }
        return result;
    });
}
} // namespace

int TurnWheel(int slot, int position) {
    return Guarded(STOLVO_NOT_BOUND, [&] { return TurnWheelNow(slot, position); });
}

int TurnWheelFollowed(int slot, int position) {
    return TurnWheelFollowedNow(slot, position);
}

extern "C" {

int WINAPI FWGetInstance(int unused) {
    ExportTrace trace("FWGetInstance", unused);
    if (DeviceRoster.wheelCount + 1 > kWheelSlots) {
        return trace.Return(STOLVO_BAD_SLOT);
    }
    return trace.Return(DeviceRoster.wheelCount++);
}

int WINAPI FWInit(int slot, HostCallback callback) {
    ExportTrace trace("FWInit", slot, callback);
    return trace.Return(Guarded(STOLVO_LINK_FAILED, [&] {
        // A slot that was not handed out is accepted here; every other
        // wheel export refuses it.
        if (!IsWheelSlot(slot)) {
            return STOLVO_BAD_SLOT;
        }
        Link.ClaimDevicePort(STOLVO_KIND_FILTER_WHEEL);
        if (Link.DevicePortOwner() == STOLVO_KIND_FILTER_WHEEL) {
            LoadDeviceRecord(0, STOLVO_KIND_SERIAL_LINE);
            if (DriverSettings.port == -1) {
                return STOLVO_NOT_CONFIGURED;
            }
        }
        LoadDeviceRecord(slot, STOLVO_KIND_FILTER_WHEEL);
        if (DeviceRoster.wheels[slot].valid == 0) {
            return STOLVO_NOT_CONFIGURED;
        }
        if (Link.ConnectController() == 0) {
            return STOLVO_LINK_FAILED;
        }
        Link.HoldLink(ControllerLink::Holder::Device);
        if (!Link.FilterObject().IsBound()) {
            switch (Link.BindFilterObject()) {
            case BindResult::NoClass:
                return STOLVO_OK; // the wheels keep working from the roster
            case BindResult::NotCreated:
                return STOLVO_NOT_BOUND; // registered, but no object came
            case BindResult::Bound:
                break;
            }
        }
        DeviceFamilies.DeviceClientCallback = callback;
        return TurnWheelFollowed(slot, kHome);
    }));
}

int WINAPI FWClose(int slot) {
    ExportTrace trace("FWClose", slot);
    return trace.Return(Guarded(STOLVO_OK, [&] {
        Link.ReleaseDeviceFamily(STOLVO_KIND_FILTER_WHEEL, slot);
        return STOLVO_OK;
    }));
}

int WINAPI FWGetCount(int slot) {
    ExportTrace trace("FWGetCount", slot);
    return trace.Return(Guarded(STOLVO_BAD_SLOT, [&] {
        if (Link.FilterObject().IsBound() && IsWheelSlot(slot)) {
            try {
                DeviceRoster.wheels[slot].positionCount = GetIndexedPropertyI2(
                    Link.FilterObject().get(), FilterMember::WheelPositionCount, slot + 1);
            } catch (const DispatchFailure&) {
                // The stored count stands when the controller cannot tell.
            }
        }
        const WheelEntry* wheel = UsableWheel(slot);
        return wheel != nullptr ? wheel->positionCount : STOLVO_BAD_SLOT;
    }));
}

int WINAPI FWGetName(int slot, int position, char* name) {
    ExportTrace trace("FWGetName", slot, position, name);
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return trace.Return(STOLVO_BAD_SLOT);
    }
    if (position == -1) {
        CopyName(name, wheel->name);
        return trace.Return(STOLVO_OK);
    }
    // Names exist for the first ten positions only, whatever the wheel reports.
    if (position < 0 || position >= wheel->positionCount || position >= kMaxWheelPositions) {
        return trace.Return(STOLVO_BAD_POSITION);
    }
    CopyName(name, wheel->positionNames[position]);
    return trace.Return(STOLVO_OK);
}

int WINAPI FWSetPosition(int slot, int position) {
    ExportTrace trace("FWSetPosition", slot, position);
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return trace.Return(STOLVO_BAD_SLOT);
    }
    if (position < 0 || position >= wheel->positionCount) {
        return trace.Return(STOLVO_BAD_POSITION);
    }
    return trace.Return(TurnWheelFollowedNow(slot, position));
}

int WINAPI FWGetPosition(int slot) {
    ExportTrace trace("FWGetPosition", slot);
    const WheelEntry* wheel = UsableWheel(slot);
    return trace.Return(wheel != nullptr ? wheel->currentPosition : STOLVO_BAD_SLOT);
}

int WINAPI FWWrite(int unused1, int unused2) {
    ExportTrace trace("FWWrite", unused1, unused2);
    return trace.Return(Link.Connected() != 0 ? STOLVO_OK : STOLVO_LINK_FAILED);
}

int WINAPI FWRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("FWRead", unused1, unused2, unused3);
    return trace.Return(Link.Connected() != 0 ? STOLVO_OK : STOLVO_LINK_FAILED);
}
}
