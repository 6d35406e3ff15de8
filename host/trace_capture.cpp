#include "host/trace_capture.h"
#include <cstdio>
#include <cstring>
#include <deque>

namespace {
constexpr char kDriverWord[] = "STolvo32 ";
constexpr size_t kDriverWordLength = sizeof kDriverWord - 1;
constexpr size_t kKeptLines = 200;

CRITICAL_SECTION lock;
void* handler = nullptr;
bool printing = false;
DWORD quietThread = 0;
std::deque<std::string> kept;
unsigned long keptCount = 0;

class Locked {
  public:
    Locked() { EnterCriticalSection(&lock); }
    ~Locked() { LeaveCriticalSection(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the length and the
// text; a vectored handler sees it before the system's own handler, which
// then passes it to a debugger if there is one.
LONG CALLBACK CatchDriverLine(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    const size_t length = static_cast<size_t>(record->ExceptionInformation[0]);
    if (text == nullptr || length <= kDriverWordLength ||
        std::strncmp(text, kDriverWord, kDriverWordLength) != 0) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    const void* end = std::memchr(text, '\0', length);
    size_t textLength =
        end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : length;
    // Each line comes with its own end.
    while (textLength > kDriverWordLength &&
           (text[textLength - 1] == '\n' || text[textLength - 1] == '\r')) {
        --textLength;
    }
    const std::string line(text + kDriverWordLength, textLength - kDriverWordLength);
    Locked locked;
    if (quietThread == GetCurrentThreadId()) {
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (printing) {
        std::printf("    | %s\n", line.c_str());
        std::fflush(stdout);
    }
    kept.push_back(line);
    if (kept.size() > kKeptLines) {
        kept.pop_front();
    }
    ++keptCount;
    return EXCEPTION_CONTINUE_SEARCH;
}
} // namespace

void StartTraceCapture(bool print) {
    InitializeCriticalSection(&lock);
    printing = print;
    // The driver reads the switch at its first call after it is loaded.
    SetEnvironmentVariableA("STOLVO_TRACE", "2");
    handler = AddVectoredExceptionHandler(1, &CatchDriverLine);
}

void StopTraceCapture() {
    RemoveVectoredExceptionHandler(handler);
    handler = nullptr;
    DeleteCriticalSection(&lock);
}

TraceQuiet::TraceQuiet() {
    if (handler != nullptr) {
        Locked locked;
        quietThread = GetCurrentThreadId();
    }
}

TraceQuiet::~TraceQuiet() {
    if (handler != nullptr) {
        Locked locked;
        quietThread = 0;
    }
}

std::vector<std::string> RecentTraceLines() {
    if (handler == nullptr) {
        return {};
    }
    Locked locked;
    return std::vector<std::string>(kept.begin(), kept.end());
}

unsigned long TraceLinesKept() {
    if (handler == nullptr) {
        return 0;
    }
    Locked locked;
    return keptCount;
}

std::string TraceFilePath(HMODULE driver) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(driver, path, MAX_PATH);
    const std::string module = path;
    return module.substr(0, module.find_last_of('\\') + 1) + "STolvoTrace.log";
}
