// Symbolic names of the HRESULTs that automation calls and object binding
// commonly end with, for the diagnostic trace.
#pragma once
#include <windows.h>

// The name, or nullptr for a code not in the list.
const char* HresultName(HRESULT hr);
