#include "core/dispatch_trace.h"
#include "core/diagnostic_trace.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/hresult_names.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "core/trace_line.h"
#include <oleauto.h>

namespace {
// What a server that raises an error describes it with; its texts are given
// back on every path.
class ExceptionRecord {
  public:
    ExceptionRecord() : value_{} {}
    ~ExceptionRecord() {
        SysFreeString(value_.bstrSource);
        SysFreeString(value_.bstrDescription);
        SysFreeString(value_.bstrHelpFile);
    }
    ExceptionRecord(const ExceptionRecord&) = delete;
    ExceptionRecord& operator=(const ExceptionRecord&) = delete;
    EXCEPINFO* get() { return &value_; }

  private:
    EXCEPINFO value_;
};

const char* ObjectNameOf(const ServerMember& member) {
    static const ServerInterface* const objects[] = {
        &ScanMember::kInterface, &StageMember::kInterface, &FocusMember::kInterface,
        &FilterMember::kInterface};
    for (const ServerInterface* object : objects) {
        for (UINT i = 0; i < object->memberCount; ++i) {
            if (object->members[i] == &member) {
                return object->objectName;
            }
        }
    }
    return "?";
}

// "hr=0x80020003 DISP_E_MEMBERNOTFOUND"; a success shows only its number.
void AddHresult(TraceLine& line, HRESULT hr) {
    line.AddHex(static_cast<DWORD>(hr));
    const char* name = FAILED(hr) ? HresultName(hr) : nullptr;
    if (name != nullptr) {
        line.AddChar(' ').Add(name);
    }
}

void AddVariant(TraceLine& line, const VARIANT& value) {
    const bool byRef = (value.vt & VT_BYREF) != 0;
    if (byRef) {
        line.AddChar('&');
        if (value.byref == nullptr) {
            line.Add("NULL");
            return;
        }
    }
    switch (value.vt & ~VT_BYREF) {
    case VT_EMPTY:
        line.Add("empty");
        break;
    case VT_I2:
        line.AddInt(byRef ? *value.piVal : value.iVal);
        break;
    case VT_I4:
        line.AddInt(byRef ? *value.plVal : value.lVal);
        break;
    case VT_R4:
        line.AddNumber(byRef ? *value.pfltVal : value.fltVal);
        break;
    case VT_R8:
        line.AddNumber(byRef ? *value.pdblVal : value.dblVal);
        break;
    case VT_BOOL:
        line.Add((byRef ? *value.pboolVal : value.boolVal) != VARIANT_FALSE ? "true" : "false");
        break;
    case VT_BSTR:
        line.AddQuotedWide(byRef ? *value.pbstrVal : value.bstrVal);
        break;
    default:
        line.Add("vt=").AddHex(value.vt);
        break;
    }
}
} // namespace

HRESULT InvokeTraced(IDispatch* target, const ServerMember& member, DISPPARAMS& params,
                     VARIANT* result) {
    const WORD flags = DispatchFlags(member.kind);
    UINT argError = 0;
    if (!TraceIsOn()) {
        return target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                              nullptr, &argError);
    }
    ExceptionRecord exception;
    const LONGLONG start = TraceClock();
    const HRESULT hr = target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      result, exception.get(), &argError);
    const LONGLONG end = TraceClock();
    TraceLine key;
    key.Add(ObjectNameOf(member)).AddChar('.').Add(member.name).AddChar('(');
    // DISPPARAMS lists the arguments last first.
    for (UINT i = params.cArgs; i > 0; --i) {
        AddVariant(key, params.rgvarg[i - 1]);
        if (i > 1) {
            key.Add(", ");
        }
    }
    key.Add(") hr=");
    AddHresult(key, hr);
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION) {
            key.Add(" exception ");
            const EXCEPINFO& raised = *exception.get();
            AddHresult(key, raised.scode != 0 ? raised.scode : raised.wCode);
            if (raised.bstrDescription != nullptr) {
                key.AddChar(' ').AddQuotedWide(raised.bstrDescription);
            }
        }
    } else if (result != nullptr && member.kind != CallKind::PropertyPut) {
        key.Add(" = ");
        AddVariant(key, *result);
    }
    TraceLine line = key;
    line.Add("  ").AddMilliseconds(TraceMilliseconds(start, end));
    EmitTraceLine(line, TraceLevel(), &key);
    return hr;
}

void TraceBinding(const wchar_t* progId, const char* outcome, HRESULT hr) {
    if (!TraceIsOn()) {
        return;
    }
    TraceLine line;
    line.Add("bind ").AddQuotedWide(progId).Add(": ").Add(outcome).Add(" hr=");
    AddHresult(line, hr);
    EmitTraceLine(line, TraceLevel());
}
