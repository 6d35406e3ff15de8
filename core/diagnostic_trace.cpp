#include "core/diagnostic_trace.h"
#include "core/module_files.h"
#include "core/settings_keys.h"
#include "core/trace_line.h"
#include "core/trace_session.h"
#include <cstring>

DiagnosticTraceState DiagnosticTrace{TraceMode::Unread, 0};

namespace {
constexpr DWORD kMinFileKB = 4;
constexpr DWORD kMaxFileKB = 65536;
constexpr int kIndentStep = 2;

// TraceOutput: the one owner of the trace's state besides its switch
// (DiagnosticTrace): the lock and the thread slot set up at attach, where the
// lines go, and the line held back while it repeats.
struct TraceOutputState {
    CRITICAL_SECTION lock;
    bool lockReady = false;
    // Each thread's depth in traced export calls.
    DWORD levelSlot = TLS_OUT_OF_INDEXES;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD fileBytes = 0;
    char filePath[kPathSize] = "";
    char oldFilePath[kPathSize] = "";
    LONGLONG clockFrequency = 0;
    // What the session's header says.
    TraceSwitches sessionSwitches{0, false, 0};
    TraceLine heldKey;
    DWORD heldThread = 0;
    int heldDepth = 0;
    unsigned long heldRepeats = 0;
};
TraceOutputState TraceOutput;

class TraceLock {
  public:
    TraceLock() {
        if (TraceOutput.lockReady) {
            EnterCriticalSection(&TraceOutput.lock);
        }
    }
    ~TraceLock() {
        if (TraceOutput.lockReady) {
            LeaveCriticalSection(&TraceOutput.lock);
        }
    }
    TraceLock(const TraceLock&) = delete;
    TraceLock& operator=(const TraceLock&) = delete;
};

TraceMode ModeOf(int value) {
    switch (value) {
    case 1:
        return TraceMode::DebugOutput;
    case 2:
        return TraceMode::DebugOutputAndFile;
    default:
        return TraceMode::Off;
    }
}

// The environment's value when it is one of the three switch values.
bool ReadEnvironmentMode(TraceMode& mode) {
    char value[8] = "";
    const DWORD length = GetEnvironmentVariableA(kTraceEnvironment, value, sizeof value);
    if (length != 1 || value[0] < '0' || value[0] > '2') {
        return false;
    }
    mode = ModeOf(value[0] - '0');
    return true;
}

// The full path of `name` beside the module, or false when it does not fit.
bool BuildTracePath(const char* name, char (&out)[kPathSize]) {
    BuildModuleFilePath(name, out);
    const size_t length = std::strlen(out);
    const size_t nameLength = std::strlen(name);
    return length >= nameLength && std::strcmp(out + length - nameLength, name) == 0;
}

void CloseTraceFile() {
    if (TraceOutput.file != INVALID_HANDLE_VALUE) {
        CloseHandle(TraceOutput.file);
        TraceOutput.file = INVALID_HANDLE_VALUE;
    }
}

// Opens the file for appending (or, with `disposition` CREATE_ALWAYS, empties
// it); others may read it while the host runs.
void OpenTraceFile(DWORD disposition) {
    TraceOutput.file =
        CreateFileA(TraceOutput.filePath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (TraceOutput.file == INVALID_HANDLE_VALUE) {
        return;
    }
    // A size that cannot be read counts as full, so that the next line
    // starts a new file.
    const DWORD size = GetFileSize(TraceOutput.file, nullptr);
    TraceOutput.fileBytes = size == INVALID_FILE_SIZE ? DiagnosticTrace.fileLimit : size;
}

// A whole line: "STolvo32 ", the time and the thread, the body indented by
// `depth` steps, and "\n". Returns its length without the "\n".
size_t FormatLine(const TraceLine& body, int depth, char (&text)[kTraceLineSize + 2]) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    TraceLine line;
    line.Add("STolvo32 ");
    const WORD parts[3] = {now.wHour, now.wMinute, now.wSecond};
    for (int i = 0; i < 3; ++i) {
        line.AddChar(static_cast<char>('0' + parts[i] / 10 % 10));
        line.AddChar(static_cast<char>('0' + parts[i] % 10)).AddChar(i < 2 ? ':' : '.');
    }
    line.AddChar(static_cast<char>('0' + now.wMilliseconds / 100 % 10));
    line.AddChar(static_cast<char>('0' + now.wMilliseconds / 10 % 10));
    line.AddChar(static_cast<char>('0' + now.wMilliseconds % 10));
    line.Add(" [").AddInt(GetCurrentThreadId()).Add("] ");
    for (int i = 0; i < depth * kIndentStep && i < 40; ++i) {
        line.AddChar(' ');
    }
    line.Add(body.text());
    // The line end must survive a body that filled the buffer.
    const size_t length = static_cast<size_t>(line.length());
    std::memcpy(text, line.text(), length);
    text[length] = '\n';
    text[length + 1] = '\0';
    return length;
}

// Into the file as it is, without its bound: a new file's header.
void WriteHeaderLine(const TraceLine& body) {
    char text[kTraceLineSize + 2];
    const size_t length = FormatLine(body, 0, text);
    text[length] = '\r';
    text[length + 1] = '\n';
    DWORD written = 0;
    if (TraceOutput.file != INVALID_HANDLE_VALUE &&
        WriteFile(TraceOutput.file, text, static_cast<DWORD>(length + 2), &written, nullptr)) {
        TraceOutput.fileBytes += written;
    }
}

// A full file becomes the old one, so that the newest calls are always kept
// and the two together never exceed twice the limit. A viewer that holds
// either file open without letting it be renamed makes the full file start
// afresh instead.
void StartNewFile() {
    CloseTraceFile();
    const bool moved =
        MoveFileExA(TraceOutput.filePath, TraceOutput.oldFilePath, MOVEFILE_REPLACE_EXISTING) != 0;
    OpenTraceFile(moved ? OPEN_ALWAYS : CREATE_ALWAYS);
    // Each file says where it came from, also when read on its own.
    if (TraceOutput.file != INVALID_HANDLE_VALUE && TraceOutput.fileBytes == 0) {
        ForEachSessionHeaderLine(TraceOutput.sessionSwitches, true, WriteHeaderLine);
    }
}

void WriteToFile(const char* text, DWORD length) {
    if (TraceOutput.file == INVALID_HANDLE_VALUE) {
        return;
    }
    if (TraceOutput.fileBytes + length > DiagnosticTrace.fileLimit) {
        StartNewFile();
        // A file that could be neither renamed nor emptied is left alone.
        if (TraceOutput.file != INVALID_HANDLE_VALUE &&
            TraceOutput.fileBytes + length > DiagnosticTrace.fileLimit) {
            CloseTraceFile();
        }
        if (TraceOutput.file == INVALID_HANDLE_VALUE) {
            return;
        }
    }
    DWORD written = 0;
    if (WriteFile(TraceOutput.file, text, length, &written, nullptr)) {
        TraceOutput.fileBytes += written;
    }
}

void Send(const TraceLine& body, int depth) {
    char text[kTraceLineSize + 2];
    const size_t length = FormatLine(body, depth, text);
    // One call per line: each costs the debugger an exception.
    OutputDebugStringA(text);
    if (DiagnosticTrace.mode == TraceMode::DebugOutputAndFile) {
        text[length] = '\r';
        text[length + 1] = '\n';
        WriteToFile(text, static_cast<DWORD>(length + 2));
    }
}

void SendHeaderLine(const TraceLine& body) {
    Send(body, 0);
}

// A session starts with its header, set apart by a blank line and a rule from
// an earlier session's lines in the same file.
void StartSession() {
    if (TraceOutput.file != INVALID_HANDLE_VALUE && TraceOutput.fileBytes > 0) {
        DWORD written = 0;
        if (WriteFile(TraceOutput.file, "\r\n", 2, &written, nullptr)) {
            TraceOutput.fileBytes += written;
        }
        TraceLine ruleLine;
        ruleLine.Add(kTraceSessionRule);
        WriteHeaderLine(ruleLine);
    }
    ForEachSessionHeaderLine(TraceOutput.sessionSwitches, false, SendHeaderLine);
}

void SendHeldRepeats() {
    if (TraceOutput.heldRepeats == 0) {
        return;
    }
    TraceLine note;
    note.Add("(the line above ").AddInt(static_cast<long long>(TraceOutput.heldRepeats));
    note.Add(TraceOutput.heldRepeats == 1 ? " more time)" : " more times)");
    Send(note, TraceOutput.heldDepth);
    TraceOutput.heldRepeats = 0;
}
} // namespace

bool ReadTraceSwitch() {
    TraceLock lock;
    if (DiagnosticTrace.mode != TraceMode::Unread) {
        return DiagnosticTrace.mode != TraceMode::Off;
    }
    TraceMode mode = TraceMode::Off;
    const bool fromEnvironment = ReadEnvironmentMode(mode);
    if (!fromEnvironment) {
        mode = ModeOf(ReadSetting<kTraceKey>());
    }
    int kiloBytes = ReadSetting<kTraceFileKBKey>();
    if (kiloBytes < static_cast<int>(kMinFileKB)) {
        kiloBytes = static_cast<int>(kMinFileKB);
    } else if (kiloBytes > static_cast<int>(kMaxFileKB)) {
        kiloBytes = static_cast<int>(kMaxFileKB);
    }
    DiagnosticTrace.fileLimit = static_cast<DWORD>(kiloBytes) * 1024;
    if (mode == TraceMode::DebugOutputAndFile) {
        // A path cut short by a deep folder would name some other file.
        if (BuildTracePath(kTraceFileName, TraceOutput.filePath) &&
            BuildTracePath(kTraceOldFileName, TraceOutput.oldFilePath)) {
            OpenTraceFile(OPEN_ALWAYS);
        }
    }
    LARGE_INTEGER frequency;
    TraceOutput.clockFrequency = QueryPerformanceFrequency(&frequency) ? frequency.QuadPart : 0;
    DiagnosticTrace.mode = mode;
    if (mode == TraceMode::Off) {
        return false;
    }
    TraceOutput.sessionSwitches = {mode == TraceMode::DebugOutput ? 1 : 2, fromEnvironment,
                                   kiloBytes};
    StartSession();
    return true;
}

void EmitTraceLine(const TraceLine& line, int depth, const TraceLine* key) {
    TraceLock lock;
    const DWORD thread = GetCurrentThreadId();
    if (key != nullptr && TraceOutput.heldThread == thread && TraceOutput.heldDepth == depth &&
        std::strcmp(TraceOutput.heldKey.text(), key->text()) == 0) {
        ++TraceOutput.heldRepeats;
        return;
    }
    SendHeldRepeats();
    TraceOutput.heldKey = key != nullptr ? *key : TraceLine();
    TraceOutput.heldThread = thread;
    TraceOutput.heldDepth = depth;
    Send(line, depth);
}

LONGLONG TraceClock() {
    LARGE_INTEGER now;
    return QueryPerformanceCounter(&now) ? now.QuadPart : 0;
}

double TraceMilliseconds(LONGLONG start, LONGLONG end) {
    if (TraceOutput.clockFrequency <= 0) {
        return 0.0;
    }
    return static_cast<double>(end - start) * 1000.0 /
           static_cast<double>(TraceOutput.clockFrequency);
}

int TraceLevel() {
    if (TraceOutput.levelSlot == TLS_OUT_OF_INDEXES) {
        return 0;
    }
    return static_cast<int>(reinterpret_cast<INT_PTR>(TlsGetValue(TraceOutput.levelSlot)));
}

void SetTraceLevel(int level) {
    if (TraceOutput.levelSlot != TLS_OUT_OF_INDEXES) {
        TlsSetValue(TraceOutput.levelSlot, reinterpret_cast<void*>(static_cast<INT_PTR>(level)));
    }
}

void StartDiagnosticTrace() {
    // A thread slot rather than thread_local: a module loaded at run time on
    // Windows XP cannot have static thread storage.
    TraceOutput.levelSlot = TlsAlloc();
    InitializeCriticalSection(&TraceOutput.lock);
    TraceOutput.lockReady = true;
}

void StopDiagnosticTrace(bool processEnding) {
    // At process exit other threads are gone, perhaps holding the lock, and
    // the system closes the file.
    if (processEnding) {
        return;
    }
    {
        TraceLock lock;
        if (DiagnosticTrace.mode != TraceMode::Off && DiagnosticTrace.mode != TraceMode::Unread) {
            SendHeldRepeats();
        }
        CloseTraceFile();
    }
    TraceOutput.lockReady = false;
    DeleteCriticalSection(&TraceOutput.lock);
    if (TraceOutput.levelSlot != TLS_OUT_OF_INDEXES) {
        TlsFree(TraceOutput.levelSlot);
        TraceOutput.levelSlot = TLS_OUT_OF_INDEXES;
    }
}
