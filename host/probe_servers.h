// The field probe's view of one of the controller's servers: how its ProgID
// is registered, and the object bound to it as the driver binds it.
#pragma once
#include "core/server_members.h"
#include "host/probe_report.h"
#include <wrl/client.h>
#include <string>

struct ProbedServer {
    const wchar_t* progId;
    const ServerInterface* members;
    // What the driver does without this server.
    const char* withoutIt;
    CLSID classId{};
    bool registered = false;
    Microsoft::WRL::ComPtr<IDispatch> object;
};

// The four servers the driver binds, in the order it binds them.
constexpr int kProbedServerCount = 4;
void DescribeServers(ProbedServer (&servers)[kProbedServerCount]);

// Registered? In process or local server, and which file?
void CheckRegistration(ProbedServer& server, ProbeReport& report);
// Binds as the driver does: a running instance first, else a new one.
void BindServer(ProbedServer& server, ProbeReport& report);
// The registered type library of the server's class (its TypeLib and Version
// keys); nullptr when there is none. `how` says which it was or why none.
Microsoft::WRL::ComPtr<ITypeLib> RegisteredTypeLibrary(const ProbedServer& server,
                                                       std::string* how);
