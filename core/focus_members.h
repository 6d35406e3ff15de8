// "tolvo.Z": the focus drive.
#pragma once
#include "core/server_members.h"

namespace FocusMember {
inline constexpr ServerMember Position{"Position", 12, CallKind::PropertyGet, 0, {}, VT_R8};
inline constexpr ServerMember StepNegative{"StepNegative", 16, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember StepPositive{"StepPositive", 17, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember MoveTo{"MoveTo", 18, CallKind::Method, 1, {VT_R8}};

inline constexpr const ServerMember* kAll[] = {&Position, &StepNegative, &StepPositive, &MoveTo};
inline constexpr ServerInterface kInterface{"focus", kAll, sizeof kAll / sizeof kAll[0]};
} // namespace FocusMember
