// The field probe's calls: only those that move nothing (GetBusy, GetXY,
// Position, WheelPositionCount, and LinkValue once the link is open), each
// made as the driver makes it, with what came back and in which type.
#pragma once
#include "host/probe_servers.h"

struct ProbeLink {
    bool open = false;     // asked to open the link
    LONG portArgument = 0; // as OpenPort takes it: 1 to 4 COM1 to COM4, 0 the PCI interface
};

// `servers` in DescribeServers order; an unbound one is left out.
void MakeSafeCalls(ProbedServer (&servers)[kProbedServerCount], const ProbeLink& link,
                   ProbeReport& report);
