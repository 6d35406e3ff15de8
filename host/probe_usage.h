// Which of the driver's exports need a member of the controller's objects,
// as the field probe names them when the member would fail.
#pragma once
#include "core/server_members.h"

// "StgXYReport returns 1", ...; a general text for a member it does not know.
const char* WhatFailsWithout(const ServerMember& member);
