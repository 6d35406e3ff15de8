// "tolvo.simcontrol": the control object of the simulator's local server.
// Through it a client in another process steers and observes the server's
// controller model, as the exports of TolvoSim.dll do in process. It is not
// one of the controller's objects: the counts it reports leave it out. The
// server and its clients share this table.
#pragma once
#include "core/server_members.h"

namespace ControlMember {
inline constexpr wchar_t kProgId[] = L"tolvo.simcontrol";
// {6F0C2B4E-3D1A-4C8B-9E57-A2D41B7C9F30}
inline constexpr CLSID kClassId = {
    0x6F0C2B4E, 0x3D1A, 0x4C8B, {0x9E, 0x57, 0xA2, 0xD4, 0x1B, 0x7C, 0x9F, 0x30}};

// Back to the starting state of SimReset (class registrations aside).
inline constexpr ServerMember Reset{"Reset", 1, CallKind::Method, 0, {}};
// VT_I4 results: the server's process id, its controller objects alive and
// the sum of their reference counts.
inline constexpr ServerMember ProcessId{"ProcessId", 2, CallKind::PropertyGet, 0, {}};
inline constexpr ServerMember LiveObjects{"LiveObjects", 3, CallKind::PropertyGet, 0, {}};
inline constexpr ServerMember OutstandingRefs{"OutstandingRefs", 4, CallKind::PropertyGet, 0, {}};
// The journal: its length, one call as text (VT_BSTR, the form of CallText),
// and all of it as the lines of JournalText joined by "\n".
inline constexpr ServerMember JournalCount{"JournalCount", 5, CallKind::PropertyGet, 0, {}};
inline constexpr ServerMember JournalCall{"JournalCall", 6, CallKind::PropertyGet, 1, {VT_I4}};
inline constexpr ServerMember JournalText{"JournalText", 7, CallKind::PropertyGet, 0, {}};
inline constexpr ServerMember ClearJournal{"ClearJournal", 8, CallKind::Method, 0, {}};
// The busy model, as SimSetBusyPolls, SimSetMotionSpeed, SimSetBusyForever
// (non-zero: on) and SimGetBusyPollCount.
inline constexpr ServerMember SetBusyPolls{"SetBusyPolls", 9, CallKind::Method, 1, {VT_I4}};
inline constexpr ServerMember SetMotionSpeed{"SetMotionSpeed", 10, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember SetBusyForever{"SetBusyForever", 11, CallKind::Method, 1, {VT_I4}};
inline constexpr ServerMember BusyPollCount{"BusyPollCount", 12, CallKind::PropertyGet, 0, {}};
// Object kind, DISPID, HRESULT, as SimSetFault.
inline constexpr ServerMember SetFault{"SetFault", 13, CallKind::Method, 3, {VT_I4, VT_I4, VT_I4}};
// The link, as SimSetOpenablePorts, SimIsLinkOpen (0 or 1), SimLastOpenedPort.
inline constexpr ServerMember SetOpenablePorts{
    "SetOpenablePorts", 14, CallKind::Method, 1, {VT_I4}};
inline constexpr ServerMember IsLinkOpen{"IsLinkOpen", 15, CallKind::PropertyGet, 0, {}};
inline constexpr ServerMember LastOpenedPort{"LastOpenedPort", 16, CallKind::PropertyGet, 0, {}};
// Stage and focus positions in server units.
inline constexpr ServerMember SetStagePosition{
    "SetStagePosition", 17, CallKind::Method, 2, {VT_R8, VT_R8}};
inline constexpr ServerMember GetStagePosition{
    "GetStagePosition", 18, CallKind::Method, 2, {kRefR8, kRefR8}};
inline constexpr ServerMember SetFocusPosition{
    "SetFocusPosition", 19, CallKind::Method, 1, {VT_R8}};
inline constexpr ServerMember FocusPosition{"FocusPosition", 20, CallKind::PropertyGet, 0, {}};
// Filter wheels and shutters by their 1-based numbers, as the Sim functions
// of the same names; the indexed gets answer VT_I4.
inline constexpr ServerMember SetWheelPositionCount{
    "SetWheelPositionCount", 21, CallKind::Method, 2, {VT_I4, VT_I4}};
inline constexpr ServerMember WheelPositionCount{
    "WheelPositionCount", 22, CallKind::PropertyGet, 1, {VT_I4}};
inline constexpr ServerMember WheelPosition{"WheelPosition", 23, CallKind::PropertyGet, 1, {VT_I4}};
inline constexpr ServerMember ShutterState{"ShutterState", 24, CallKind::PropertyGet, 1, {VT_I4}};
// A new controller object of the kind in this process (VT_DISPATCH), made
// without the class objects, as SimCreateObject.
inline constexpr ServerMember CreateObject{"CreateObject", 25, CallKind::Method, 1, {VT_I4}};
// Takes the server's classes back from COM: no new client reaches this
// process, and a kill leaves no registration of it behind. The objects
// already handed out keep working.
inline constexpr ServerMember WithdrawClasses{"WithdrawClasses", 26, CallKind::Method, 0, {}};
// The argument mode of the server's objects, as SimSetStrictArguments
// (non-zero: strict).
inline constexpr ServerMember SetStrictArguments{
    "SetStrictArguments", 27, CallKind::Method, 1, {VT_I4}};
// Cuts every client off every controller object of this process, as
// CoDisconnectObject does for a server shutting down under its clients: their
// calls then fail with RPC_E_DISCONNECTED or CO_E_OBJNOTCONNECTED. The
// objects only the clients held go; the control object stays connected. The
// result (VT_I4) is how many objects were cut off.
inline constexpr ServerMember DisconnectObjects{"DisconnectObjects", 28, CallKind::Method, 0, {}};
// The server variant of the server's objects, as SimSetVariant (sim_variant.h).
inline constexpr ServerMember SetVariant{"SetVariant", 40, CallKind::Method, 1, {VT_I4}};
// Object kind, DISPID, milliseconds, as SimSetAnswerDelay.
inline constexpr ServerMember SetAnswerDelay{
    "SetAnswerDelay", 41, CallKind::Method, 3, {VT_I4, VT_I4, VT_I4}};
} // namespace ControlMember
