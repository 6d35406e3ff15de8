// TolvoSimServer.exe: the controller simulator as a local automation server.
//   /regserver     register its classes under LocalServer32 (the DLL's
//                  in-process entries are taken away)
//   /unregserver   remove its classes' entries
//   -Embedding     serve, as COM starts it for a client; so does no argument
#include "sim/local_server/class_objects.h"
#include "sim/local_server/server_process.h"
#include "sim/registration.h"
#include <cstdio>
#include <cstring>

namespace {
// Switches start with "/" or "-" and ignore letter case.
bool IsSwitch(const char* argument, const char* name) {
    return (argument[0] == '/' || argument[0] == '-') && _stricmp(argument + 1, name) == 0;
}

int Register() {
    HRESULT hr = RegisterServerClasses();
    if (SUCCEEDED(hr)) {
        hr = RegisterClassEntries(ControlClass());
    }
    return SUCCEEDED(hr) ? 0 : 1;
}

int Unregister() {
    const HRESULT classes = UnregisterServerClasses();
    const HRESULT control = UnregisterClassEntries(ControlClass());
    return SUCCEEDED(classes) && SUCCEEDED(control) ? 0 : 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 1 || (argc == 2 && IsSwitch(argv[1], "Embedding"))) {
        return Serve();
    }
    if (argc == 2 && IsSwitch(argv[1], "regserver")) {
        return Register();
    }
    if (argc == 2 && IsSwitch(argv[1], "unregserver")) {
        return Unregister();
    }
    std::fprintf(stderr, "usage: TolvoSimServer [/regserver | /unregserver | -Embedding]\n");
    return 2;
}
