// The EXE is the server module: its registration names the program COM starts.
#include "sim/server_module.h"

HMODULE ServerModule() {
    return GetModuleHandleW(nullptr);
}

ServerHosting Hosting() {
    return ServerHosting::LocalServer;
}
