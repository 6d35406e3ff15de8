#include "ui/waiting_configure_calls.h"

namespace {
// A host that calls more often than this during one box keeps its latest calls.
constexpr int kMostWaiting = 16;

// Module-wide; its owners are the ConfigureWork objects on the configure
// calls' stacks (depth) and WaitsForEarlierCall (the queue).
struct WaitingCalls {
    int depth = 0;
    ConfigureRequest queue[kMostWaiting];
    int count = 0;
} calls;

void DropFirstWaiting() {
    for (int i = 1; i < calls.count; ++i) {
        calls.queue[i - 1] = calls.queue[i];
    }
    --calls.count;
}

void RunWaiting() {
    while (calls.count > 0) {
        const ConfigureRequest next = calls.queue[0];
        DropFirstWaiting();
        // Each runs as a call of its own: calls arriving during it wait for it.
        try {
            next.run(next);
        } catch (...) {
        }
    }
}
} // namespace

ConfigureWork::ConfigureWork() {
    ++calls.depth;
}

ConfigureWork::~ConfigureWork() {
    if (--calls.depth == 0) {
        RunWaiting();
    }
}

bool WaitsForEarlierCall(const ConfigureRequest& request) {
    if (calls.depth == 0) {
        return false;
    }
    if (calls.count == kMostWaiting) {
        DropFirstWaiting();
    }
    calls.queue[calls.count++] = request;
    return true;
}
