#include "devices/filter_wheels.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/device_records.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "core/automation_objects.h"
#include "core/controller_connection.h"
#include "core/dispatch_call.h"
#include "core/driver_settings.h"
#include "core/filter_members.h"
#include "core/link_holders.h"
#include "devices/device_codes.h"
#include "devices/export_guard.h"
#include "devices/page_notices.h"
#include <cstring>

namespace {
constexpr int kHome = -1;
// FWInit's code for a "tolvo.filter" that is registered but cannot be made.
constexpr int kFilterNotCreated = 1;

bool IsWheelSlot(int slot) {
    return slot >= 0 && slot < kWheelSlots;
}

// The slot's entry when the host may use it: handed out and its set valid.
WheelEntry* UsableWheel(int slot) {
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
} // namespace

int TurnWheel(int slot, int position) {
    return Guarded(kNotBound, [&] {
        if (!FilterObject.IsBound() || !IsWheelSlot(slot)) {
            return kNotBound;
        }
        WheelEntry& wheel = DeviceRoster.wheels[slot];
        if (position == kHome) {
            CallMethod(FilterObject.get(), FilterMember::HomeWheel, {ArgI4(slot + 1)});
            wheel.currentPosition = 0;
        } else {
            CallMethod(FilterObject.get(), FilterMember::MoveWheel,
                       {ArgI4(slot + 1), ArgI4(position + 1)});
            wheel.currentPosition = position;
        }
        return kDone;
    });
}

int TurnWheelFollowed(int slot, int position) {
    return Guarded(kNotBound, [&] {
        NoteWheelTurning(slot);
        const int result = TurnWheel(slot, position);
        if (result == kDone) {
            NoteWheelTurned(slot);
        }
        return result;
    });
}

extern "C" {

int WINAPI FWGetInstance(int unused) {
    ExportTrace trace("FWGetInstance", unused);
    if (DeviceRoster.wheelCount + 1 > kWheelSlots) {
        return trace.Return(kBadSlot);
    }
    return trace.Return(DeviceRoster.wheelCount++);
}

int WINAPI FWInit(int slot, HostCallback callback) {
    ExportTrace trace("FWInit", slot, callback);
    return trace.Return(Guarded(kLinkFailed, [&] {
        // A slot that was not handed out is accepted here; every other
        // wheel export refuses it.
        if (!IsWheelSlot(slot)) {
            return kBadSlot;
        }
        ClaimDevicePort(kWheelFamily);
        if (DevicePortOwner == kWheelFamily) {
            LoadDeviceRecord(0, kKindSerialLine);
            if (DriverSettings.port == -1) {
                return kNotConfigured;
            }
        }
        LoadDeviceRecord(slot, kKindFilterWheel);
        if (DeviceRoster.wheels[slot].valid == 0) {
            return kNotConfigured;
        }
        if (ConnectController() == 0) {
            return kLinkFailed;
        }
        HoldLink(LinkHolder::Device);
        if (!FilterObject.IsBound()) {
            switch (FilterObject.Bind(L"tolvo.filter")) {
            case BindResult::NoClass:
                return kDone; // the wheels keep working from the roster
            case BindResult::NotCreated:
                return kFilterNotCreated;
            case BindResult::Bound:
                break;
            }
        }
        DeviceClientCallback = callback;
        return TurnWheelFollowed(slot, kHome);
    }));
}

int WINAPI FWClose(int slot) {
    ExportTrace trace("FWClose", slot);
    return trace.Return(Guarded(kDone, [&] {
        ReleaseDeviceFamily(kWheelFamily, slot);
        return kDone;
    }));
}

int WINAPI FWGetCount(int slot) {
    ExportTrace trace("FWGetCount", slot);
    return trace.Return(Guarded(kBadSlot, [&] {
        if (FilterObject.IsBound() && IsWheelSlot(slot)) {
            try {
                DeviceRoster.wheels[slot].positionCount = GetIndexedPropertyI2(
                    FilterObject.get(), FilterMember::WheelPositionCount, slot + 1);
            } catch (const DispatchFailure&) {
                // The stored count stands when the controller cannot tell.
            }
        }
        const WheelEntry* wheel = UsableWheel(slot);
        return wheel != nullptr ? wheel->positionCount : kBadSlot;
    }));
}

int WINAPI FWGetName(int slot, int position, char* name) {
    ExportTrace trace("FWGetName", slot, position, name);
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return trace.Return(kBadSlot);
    }
    if (position == -1) {
        CopyName(name, wheel->name);
        return trace.Return(kDone);
    }
    // Names exist for the first ten positions only, whatever the wheel reports.
    if (position < 0 || position >= wheel->positionCount || position >= kMaxWheelPositions) {
        return trace.Return(kBadPosition);
    }
    CopyName(name, wheel->positionNames[position]);
    return trace.Return(kDone);
}

int WINAPI FWSetPosition(int slot, int position) {
    ExportTrace trace("FWSetPosition", slot, position);
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return trace.Return(kBadSlot);
    }
    if (position < 0 || position >= wheel->positionCount) {
        return trace.Return(kBadPosition);
    }
    return trace.Return(TurnWheelFollowed(slot, position));
}

int WINAPI FWGetPosition(int slot) {
    ExportTrace trace("FWGetPosition", slot);
    const WheelEntry* wheel = UsableWheel(slot);
    return trace.Return(wheel != nullptr ? wheel->currentPosition : kBadSlot);
}

int WINAPI FWWrite(int unused1, int unused2) {
    ExportTrace trace("FWWrite", unused1, unused2);
    return trace.Return(Connected != 0 ? kDone : kLinkFailed);
}

int WINAPI FWRead(int unused1, int unused2, int unused3) {
    ExportTrace trace("FWRead", unused1, unused2, unused3);
    return trace.Return(Connected != 0 ? kDone : kLinkFailed);
}
}
