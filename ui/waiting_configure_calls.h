// Configure calls that arrive while an earlier one is still at work. The
// first-time notice and the set questions run message loops, from which the
// host can call again; such a call waits and is carried out, in the order of
// arrival, when the outermost configure call has finished, that is once the
// box has closed and the page it belongs to is settled.
#pragma once
#include <windows.h>

// A configure call as it arrived: `run` carries it out with its arguments.
struct ConfigureRequest {
    void (*run)(const ConfigureRequest& request);
    HWND parent;
    int top;
    int kind;
    int slot;
};

// Lives for the work of one configure call. The outermost one, when it ends,
// carries out the calls that waited meanwhile.
class ConfigureWork {
  public:
    ConfigureWork();
    ~ConfigureWork();
    ConfigureWork(const ConfigureWork&) = delete;
    ConfigureWork& operator=(const ConfigureWork&) = delete;
};

// True, with `request` kept for later, while a configure call is at work;
// false when the caller may carry it out now.
bool WaitsForEarlierCall(const ConfigureRequest& request);
