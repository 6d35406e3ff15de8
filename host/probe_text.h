// How the field probe writes what it finds: variant types, HRESULTs, values
// and wide texts in plain words.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include "host/format_text.h"
#include <string>

// In the ANSI code page, as the console and the report file take it.
std::string Narrow(const wchar_t* text);
// "VT_R8", "VT_I4 by reference", "VT_ARRAY of VT_I2", ...
std::string TypeName(VARTYPE type);
// "0x80020003 DISP_E_MEMBERNOTFOUND"; the number alone for a code it does not know.
std::string ResultName(HRESULT hr);
// The variant's value as text: a number, a quoted text, or its type.
std::string ValueText(const VARIANT& value);
