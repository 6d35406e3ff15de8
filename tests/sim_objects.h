// The controller's four objects as a client reaches them: the kind the
// simulator's control functions take, the ProgID the driver binds and the
// member table, in SimObjectKind order.
#pragma once
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "sim/sim_control.h"
#include <ostream>
#include <vector>

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

// Test names and failure messages name the object as traces do.
inline void PrintTo(const SimObject& object, std::ostream* out) {
    *out << object.members->objectName;
}

inline std::vector<const ServerMember*> MembersOf(const ServerInterface& table) {
    return {table.members, table.members + table.memberCount};
}

// The kind of the object whose table holds `member`, -1 when none does.
inline int ObjectOf(const ServerMember& member) {
    for (const SimObject& object : kSimObjects) {
        for (const ServerMember* tabled : MembersOf(*object.members)) {
            if (tabled == &member) {
                return object.kind;
            }
        }
    }
    return -1;
}
