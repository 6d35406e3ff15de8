// Records an export call in the diagnostic trace: its arguments when it
// starts, its result, the values it returned and its duration when it ends.
// Pointer arguments are the host's out-parameters; what they point at is shown
// only when the call answered 0, as only then has the driver written there.
#pragma once
#include <windows.h>
#include "core/diagnostic_trace.h"

struct TraceArg {
    enum class Kind : unsigned char { Int, Unsigned, IntOut, NumberOut, TextOut, Handle };
    Kind kind;
    union {
        long long number;
        int* intOut;
        double* numberOut;
        char* textOut;
        const void* handle;
    };
};

inline TraceArg MakeTraceArg(int value) {
    TraceArg arg{TraceArg::Kind::Int, {}};
    arg.number = value;
    return arg;
}
inline TraceArg MakeTraceArg(long value) {
    TraceArg arg{TraceArg::Kind::Int, {}};
    arg.number = value;
    return arg;
}
inline TraceArg MakeTraceArg(unsigned int value) {
    TraceArg arg{TraceArg::Kind::Unsigned, {}};
    arg.number = value;
    return arg;
}
inline TraceArg MakeTraceArg(int* out) {
    TraceArg arg{TraceArg::Kind::IntOut, {}};
    arg.intOut = out;
    return arg;
}
inline TraceArg MakeTraceArg(double* out) {
    TraceArg arg{TraceArg::Kind::NumberOut, {}};
    arg.numberOut = out;
    return arg;
}
inline TraceArg MakeTraceArg(char* out) {
    TraceArg arg{TraceArg::Kind::TextOut, {}};
    arg.textOut = out;
    return arg;
}
inline TraceArg MakeTraceArg(HWND window) {
    TraceArg arg{TraceArg::Kind::Handle, {}};
    arg.handle = window;
    return arg;
}
// The host's callbacks: only their address is shown; the driver never calls them.
inline TraceArg MakeTraceArg(int (*callback)()) {
    TraceArg arg{TraceArg::Kind::Handle, {}};
    arg.handle = reinterpret_cast<const void*>(callback);
    return arg;
}

constexpr int kMaxTraceArgs = 4;

class ExportTrace {
  public:
    // A null `name` records nothing (a dialog message not worth a line).
    template <typename... Args> TRACE_INLINE explicit ExportTrace(const char* name, Args... args) {
        static_assert(sizeof...(Args) <= kMaxTraceArgs, "too many arguments to trace");
        if (name != nullptr && TraceIsOn()) {
            const TraceArg list[] = {MakeTraceArg(args)..., TraceArg{}};
            Begin(name, list, sizeof...(Args));
        }
    }
    TRACE_INLINE ~ExportTrace() {
        if (name_ != nullptr) {
            End();
        }
    }
    ExportTrace(const ExportTrace&) = delete;
    ExportTrace& operator=(const ExportTrace&) = delete;

    // Passes the export's result through, noting it.
    template <typename Result> TRACE_INLINE Result Return(Result result) {
        if (name_ != nullptr) {
            result_ = static_cast<long long>(result);
            returned_ = true;
        }
        return result;
    }

  private:
    void Begin(const char* name, const TraceArg* args, int count);
    void End();

    // Only `name_` is set when the trace is off; Begin sets the rest.
    const char* name_ = nullptr;
    TraceArg args_[kMaxTraceArgs];
    int count_;
    long long result_;
    bool returned_;
    LONGLONG start_;
};

// Runs an export's body, recording the call when the trace is on.
template <typename Work, typename... Args>
auto Traced(const char* name, Work&& work, Args... args) -> decltype(work()) {
    ExportTrace trace(name, args...);
    return trace.Return(work());
}

// Dialog procedures are recorded for the messages they act on, not for the
// stream of painting and input messages.
inline const char* TracedDialogCall(const char* name, UINT message) {
    return message == WM_INITDIALOG || message == WM_COMMAND || message == WM_NCDESTROY ? name
                                                                                        : nullptr;
}
