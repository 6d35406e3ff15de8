// Whether a dispatch call fits the member it names, as the simulator's objects
// check every call before acting on it.
#pragma once
#include "core/server_members.h"

// The argument count, the named argument a put needs and each argument's type
// (a by-reference argument also needs its variable). On a bad argument
// `argError`, when given, receives its index in DISPPARAMS order.
HRESULT CheckArguments(const ServerMember& member, const DISPPARAMS& params, UINT* argError);
