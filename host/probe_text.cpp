#include "host/probe_text.h"
#include "core/hresult_names.h"
#include <oleauto.h>
#include <cstdio>

std::string Narrow(const wchar_t* text) {
    if (text == nullptr) {
        return std::string();
    }
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

std::string TypeName(VARTYPE type) {
    static const struct {
        VARTYPE type;
        const char* name;
    } kNames[] = {
        {VT_EMPTY, "VT_EMPTY"},
        {VT_NULL, "VT_NULL"},
        {VT_I2, "VT_I2"},
        {VT_I4, "VT_I4"},
        {VT_R4, "VT_R4"},
        {VT_R8, "VT_R8"},
        {VT_CY, "VT_CY"},
        {VT_DATE, "VT_DATE"},
        {VT_BSTR, "VT_BSTR"},
        {VT_DISPATCH, "VT_DISPATCH"},
        {VT_ERROR, "VT_ERROR"},
        {VT_BOOL, "VT_BOOL"},
        {VT_VARIANT, "VT_VARIANT"},
        {VT_UNKNOWN, "VT_UNKNOWN"},
        {VT_DECIMAL, "VT_DECIMAL"},
        {VT_I1, "VT_I1"},
        {VT_UI1, "VT_UI1"},
        {VT_UI2, "VT_UI2"},
        {VT_UI4, "VT_UI4"},
        {VT_I8, "VT_I8"},
        {VT_UI8, "VT_UI8"},
        {VT_INT, "VT_INT"},
        {VT_UINT, "VT_UINT"},
        {VT_VOID, "VT_VOID"},
        {VT_HRESULT, "VT_HRESULT"},
        {VT_PTR, "VT_PTR"},
        {VT_SAFEARRAY, "VT_SAFEARRAY"},
        {VT_USERDEFINED, "VT_USERDEFINED"},
    };
    const VARTYPE base = type & VT_TYPEMASK;
    std::string name = Format("VT %u", static_cast<unsigned>(base));
    for (const auto& entry : kNames) {
        if (entry.type == base) {
            name = entry.name;
        }
    }
    if ((type & VT_ARRAY) != 0) {
        name = "VT_ARRAY of " + name;
    }
    return (type & VT_BYREF) != 0 ? name + " by reference" : name;
}

std::string ResultName(HRESULT hr) {
    const std::string number = Format("0x%08lX", static_cast<unsigned long>(hr));
    const char* name = hr == S_OK ? "S_OK" : HresultName(hr);
    return name != nullptr ? number + " " + name : number;
}

std::string ValueText(const VARIANT& value) {
    if (value.vt == VT_BSTR) {
        return "\"" + Narrow(value.bstrVal) + "\"";
    }
    VARIANT number;
    VariantInit(&number);
    std::string text = TypeName(value.vt);
    if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(&value), 0, VT_R8))) {
        text = Format("%.15g", number.dblVal);
    }
    VariantClear(&number);
    return text;
}
