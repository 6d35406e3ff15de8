// A call into the host's utility library whose calling convention is not
// documented: the function may pop its arguments (stdcall) or leave them to the
// caller (cdecl).
#pragma once

// Calls `function(value, buffer, precision)` and returns its result. The stack
// pointer is restored from a saved copy after the call, so either convention
// leaves the caller's stack as it was.
extern "C" char* CallEitherConvention(void* function, double value, char* buffer, int precision);
