#include "devices/filter_wheels.h"
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
#include "ui/wheel_page_follow.h"
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
        SettlePageBeforeTurn(slot);
        const int result = TurnWheel(slot, position);
        if (result == kDone) {
            FollowTurnOnPage(slot);
        }
        return result;
    });
}

extern "C" {

int WINAPI FWGetInstance(int) {
    if (DeviceRoster.wheelCount + 1 > kWheelSlots) {
        return kBadSlot;
    }
    return DeviceRoster.wheelCount++;
}

int WINAPI FWInit(int slot, HostCallback callback) {
    return Guarded(kLinkFailed, [&] {
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
    });
}

int WINAPI FWClose(int slot) {
    return Guarded(kDone, [&] {
        ReleaseDeviceFamily(kWheelFamily, slot);
        return kDone;
    });
}

int WINAPI FWGetCount(int slot) {
    return Guarded(kBadSlot, [&] {
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
    });
}

int WINAPI FWGetName(int slot, int position, char* name) {
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return kBadSlot;
    }
    if (position == -1) {
        CopyName(name, wheel->name);
        return kDone;
    }
    // Names exist for the first ten positions only, whatever the wheel reports.
    if (position < 0 || position >= wheel->positionCount || position >= kMaxWheelPositions) {
        return kBadPosition;
    }
    CopyName(name, wheel->positionNames[position]);
    return kDone;
}

int WINAPI FWSetPosition(int slot, int position) {
    const WheelEntry* wheel = UsableWheel(slot);
    if (wheel == nullptr) {
        return kBadSlot;
    }
    if (position < 0 || position >= wheel->positionCount) {
        return kBadPosition;
    }
    return TurnWheelFollowed(slot, position);
}

int WINAPI FWGetPosition(int slot) {
    const WheelEntry* wheel = UsableWheel(slot);
    return wheel != nullptr ? wheel->currentPosition : kBadSlot;
}

int WINAPI FWWrite(int, int) {
    return Connected != 0 ? kDone : kLinkFailed;
}

int WINAPI FWRead(int, int, int) {
    return Connected != 0 ? kDone : kLinkFailed;
}
}
