// "tolvo.stage": the XY stage.
#pragma once
#include "core/server_members.h"

namespace StageMember {
inline constexpr ServerMember Speed{"Speed", 9, CallKind::PropertyPut, 1, {VT_R8}};
inline constexpr ServerMember TravelX{"TravelX", 16, CallKind::PropertyGet, 0, {}, VT_R8};
inline constexpr ServerMember TravelY{"TravelY", 17, CallKind::PropertyGet, 0, {}, VT_R8};
inline constexpr ServerMember StageQuery{
    "StageQuery", 18, CallKind::Method, 6, {kRefI4, kRefBstr, kRefI4, kRefI4, kRefI4, kRefI4}};
inline constexpr ServerMember GetXY{"GetXY", 20, CallKind::Method, 2, {kRefR8, kRefR8}};
inline constexpr ServerMember StepY{"StepY", 23, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember StepX{"StepX", 24, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember MoveXY{"MoveXY", 27, CallKind::Method, 2, {VT_R8, VT_R8}};
inline constexpr ServerMember RunX{"RunX", 28, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember RunY{"RunY", 29, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember SetXY{"SetXY", 30, CallKind::Method, 2, {VT_R8, VT_R8}};

inline constexpr const ServerMember* kAll[] = {
    &Speed, &TravelX, &TravelY, &StageQuery, &GetXY, &StepY, &StepX, &MoveXY, &RunX, &RunY, &SetXY};
inline constexpr ServerInterface kInterface{"stage", kAll, sizeof kAll / sizeof kAll[0]};
} // namespace StageMember
