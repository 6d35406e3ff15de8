#include "host/probe_usage.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"

namespace {
const struct {
    const ServerMember* member;
    const char* fails;
} kUses[] = {
    {&ScanMember::OpenPort, "every family's init returns -1"},
    {&ScanMember::GetBusy, "waited moves and steps run until their time-out"},
    {&ScanMember::ScanCommand, "StgXYCommand(0) does nothing"},
    {&ScanMember::SetShutter, "ShtrInit and ShtrSetOpen return 1"},
    {&ScanMember::LinkValue, "every family's init returns -1"},
    {&ScanMember::LinkReady, "every family's init returns -1"},
    {&ScanMember::ClosePort, "the close functions leave the link open at the controller"},
    {&StageMember::Speed, "StgXYSetSpeed returns 1"},
    {&StageMember::TravelX, "StgXYCommand(3) stops before centring"},
    {&StageMember::TravelY, "StgXYCommand(3) stops before centring"},
    {&StageMember::StageQuery, "StgXYCommand(2) does not move"},
    {&StageMember::GetXY, "StgXYReport returns 1"},
    {&StageMember::StepY, "StgYStep and StgXYStep return 1"},
    {&StageMember::StepX, "StgXStep and StgXYStep return 1"},
    {&StageMember::MoveXY, "StgXYMove returns 1 and StgXYCommand does not move"},
    {&StageMember::RunX, "StgXYCommand(3) does not move"},
    {&StageMember::RunY, "StgXYCommand(3) does not move"},
    {&StageMember::SetXY, "StgXYOrigin returns 1"},
    {&FocusMember::Position, "StgZReport and StgZOrigin return 1"},
    {&FocusMember::StepNegative, "StgZStep downwards returns 1"},
    {&FocusMember::StepPositive, "StgZStep upwards returns 1"},
    {&FocusMember::MoveTo, "StgZMove returns 1"},
    {&FilterMember::WheelPositionCount, "FWGetCount keeps the stored count"},
    {&FilterMember::MoveWheel, "FWSetPosition returns 1"},
    {&FilterMember::HomeWheel, "FWInit returns 1: the wheel is not homed"},
};
} // namespace

const char* WhatFailsWithout(const ServerMember& member) {
    for (const auto& use : kUses) {
        if (use.member == &member) {
            return use.fails;
        }
    }
    return "the exports that call it return their not-done code";
}
