#include "core/export_trace.h"
#include "core/trace_line.h"

namespace {
void AddOutValue(TraceLine& line, const TraceArg& arg) {
    switch (arg.kind) {
    case TraceArg::Kind::IntOut:
        line.AddInt(*arg.intOut);
        break;
    case TraceArg::Kind::NumberOut:
        line.AddNumber(*arg.numberOut);
        break;
    default:
        line.AddQuoted(arg.textOut);
        break;
    }
}

// The host's buffer behind an out-parameter; null for other arguments.
const void* OutAddress(const TraceArg& arg) {
    switch (arg.kind) {
    case TraceArg::Kind::IntOut:
        return arg.intOut;
    case TraceArg::Kind::NumberOut:
        return arg.numberOut;
    case TraceArg::Kind::TextOut:
        return arg.textOut;
    default:
        return nullptr;
    }
}
} // namespace

void ExportTrace::Begin(const char* name, const TraceArg* args, int count) {
    name_ = name;
    count_ = count;
    result_ = 0;
    returned_ = false;
    TraceLine line;
    line.Add("> ").Add(name).AddChar('(');
    for (int i = 0; i < count; ++i) {
        args_[i] = args[i];
        if (i > 0) {
            line.Add(", ");
        }
        switch (args[i].kind) {
        case TraceArg::Kind::Int:
            line.AddInt(args[i].number);
            break;
        case TraceArg::Kind::Unsigned:
            line.AddHex(static_cast<DWORD>(args[i].number));
            break;
        case TraceArg::Kind::Handle:
            line.AddPointer(args[i].handle);
            break;
        default:
            // An out-parameter: the host's buffer, shown as NULL or "out".
            line.Add(OutAddress(args[i]) == nullptr ? "NULL" : "out");
            break;
        }
    }
    line.AddChar(')');
    const int level = TraceLevel();
    EmitTraceLine(line, level);
    SetTraceLevel(level + 1);
    start_ = TraceClock();
}

void ExportTrace::End() {
    const LONGLONG end = TraceClock();
    const int level = TraceLevel() - 1;
    SetTraceLevel(level < 0 ? 0 : level);
    TraceLine line;
    line.Add("< ").Add(name_);
    if (returned_) {
        line.Add(" = ").AddInt(result_);
    } else {
        // Only a C++ exception escaping the export's own guard would get here.
        line.Add(" did not return");
    }
    if (returned_ && result_ == 0) {
        bool first = true;
        for (int i = 0; i < count_; ++i) {
            if (OutAddress(args_[i]) == nullptr) {
                continue;
            }
            line.Add(first ? " [" : ", ");
            AddOutValue(line, args_[i]);
            first = false;
        }
        if (!first) {
            line.AddChar(']');
        }
    }
    line.Add("  ").AddMilliseconds(TraceMilliseconds(start_, end));
    EmitTraceLine(line, level < 0 ? 0 : level);
}
