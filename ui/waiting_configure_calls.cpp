#include "ui/waiting_configure_calls.h"

namespace {
int depth = 0;
// A host that calls more often than this during one box keeps its latest calls.
constexpr int kMostWaiting = 16;
ConfigureRequest waiting[kMostWaiting];
int waitingCount = 0;

void RunWaiting() {
    while (waitingCount > 0) {
        const ConfigureRequest next = waiting[0];
        for (int i = 1; i < waitingCount; ++i) {
            waiting[i - 1] = waiting[i];
        }
        --waitingCount;
        // Each runs as a call of its own: calls arriving during it wait for it.
        try {
            next.run(next);
        } catch (...) {
        }
    }
}
} // namespace

ConfigureWork::ConfigureWork() {
    ++depth;
}

ConfigureWork::~ConfigureWork() {
    if (--depth == 0) {
        RunWaiting();
    }
}

bool WaitsForEarlierCall(const ConfigureRequest& request) {
    if (depth == 0) {
        return false;
    }
    if (waitingCount == kMostWaiting) {
        for (int i = 1; i < waitingCount; ++i) {
            waiting[i - 1] = waiting[i];
        }
        --waitingCount;
    }
    waiting[waitingCount++] = request;
    return true;
}
