// "tolvo.filter": the filter wheels. Wheel and position numbers are 1-based.
#pragma once
#include "core/server_members.h"

namespace FilterMember {
// Indexed by the wheel number; the count arrives as a 16-bit integer.
inline constexpr ServerMember WheelPositionCount{
    "WheelPositionCount", 7, CallKind::PropertyGet, 1, {VT_I4}, VT_I2};
inline constexpr ServerMember MoveWheel{"MoveWheel", 10, CallKind::Method, 2, {VT_I4, VT_I4}};
inline constexpr ServerMember HomeWheel{"HomeWheel", 11, CallKind::Method, 1, {VT_I4}};

inline constexpr const ServerMember* kAll[] = {&WheelPositionCount, &MoveWheel, &HomeWheel};
inline constexpr ServerInterface kInterface{"filter", kAll, sizeof kAll / sizeof kAll[0]};
} // namespace FilterMember
