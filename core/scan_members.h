// "tolvo.scan": the controller's serial link, busy state, scans and shutters.
#pragma once
#include "core/server_members.h"

namespace ScanMember {
inline constexpr ServerMember OpenPort{"OpenPort", 1, CallKind::Method, 1, {kRefI4}};
inline constexpr ServerMember GetBusy{"GetBusy", 2, CallKind::Method, 1, {kRefI4}};
inline constexpr ServerMember ScanCommand{"ScanCommand", 5, CallKind::Method, 0, {}};
inline constexpr ServerMember SetShutter{"SetShutter", 9, CallKind::Method, 2, {VT_I4, VT_I4}};
inline constexpr ServerMember LinkValue{"LinkValue", 10, CallKind::PropertyGet, 0, {}, VT_R4};
inline constexpr ServerMember LinkReady{"LinkReady", 18, CallKind::Method, 0, {}};
inline constexpr ServerMember ClosePort{"ClosePort", 21, CallKind::Method, 0, {}};

inline constexpr const ServerMember* kAll[] = {&OpenPort,  &GetBusy,   &ScanCommand, &SetShutter,
                                               &LinkValue, &LinkReady, &ClosePort};
inline constexpr ServerInterface kInterface{"scan", kAll, sizeof kAll / sizeof kAll[0]};
} // namespace ScanMember
