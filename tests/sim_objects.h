// The controller's four objects as a client reaches them: the kind the
// simulator's control functions take, the ProgID the driver binds and the
// member table, in SimObjectKind order.
#pragma once
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "sim/sim_control.h"

struct SimObject {
    int kind; // SimObjectKind
    const wchar_t* progId;
    const ServerInterface* members;
};

inline constexpr SimObject kSimObjects[] = {
    {SimScan, L"tolvo.scan", &ScanMember::kInterface},
    {SimStage, L"tolvo.stage", &StageMember::kInterface},
    {SimFocus, L"tolvo.Z", &FocusMember::kInterface},
    {SimFilter, L"tolvo.filter", &FilterMember::kInterface},
};

// The kind of the object whose table holds `member`, -1 when none does.
inline int ObjectOf(const ServerMember& member) {
    for (const SimObject& object : kSimObjects) {
        for (UINT i = 0; i < object.members->memberCount; ++i) {
            if (object.members->members[i] == &member) {
                return object.kind;
            }
        }
    }
    return -1;
}
