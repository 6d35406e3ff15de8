// The field probe's comparison of a server's type information with the
// driver's table of its members: DISPID, call kind, argument count and types,
// result type.
#pragma once
#include "host/probe_servers.h"

// The object's own type information (IDispatch::GetTypeInfo), else the
// registered type library of its class; one line per member of the table.
void CheckMembers(const ProbedServer& server, ProbeReport& report);
