#include "host/probe_calls.h"
#include "core/dispatch_call.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include "core/unique_variant.h"
#include "host/probe_text.h"
#include "host/probe_usage.h"
#include <oleauto.h>
#include <initializer_list>
#include <vector>

namespace {
// What a by-reference variable holds before the call: a server that answers
// overwrites it.
constexpr LONG kUnansweredI4 = 0x7ABC;
constexpr double kUnansweredR8 = -987654.25;
// The wheel whose count is read.
constexpr LONG kProbedWheel = 1;

using Variant = UniqueVariant;

// One call as the driver makes it; `args` in declaration order, by-reference
// ones as they came back. `failure` says why a failed call failed.
HRESULT InvokeAsDriver(IDispatch* target, const ServerMember& member, std::vector<VARIANTARG>& args,
                       VARIANT* result, std::string* failure) {
    std::vector<VARIANTARG> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    EXCEPINFO exception{};
    UINT argError = 0;
    const HRESULT hr =
        target->Invoke(member.dispid, IID_NULL, LOCALE_USER_DEFAULT, DispatchFlags(member.kind),
                       &params, result, &exception, &argError);
    if (exception.pfnDeferredFillIn != nullptr) {
        exception.pfnDeferredFillIn(&exception);
    }
    if (FAILED(hr)) {
        *failure = "refused: " + ResultName(hr);
        if (exception.bstrSource != nullptr || exception.bstrDescription != nullptr) {
            *failure += ", " + Narrow(exception.bstrSource) + ": \"" +
                        Narrow(exception.bstrDescription) + "\"";
        }
        if (hr == DISP_E_TYPEMISMATCH || hr == DISP_E_PARAMNOTFOUND) {
            *failure += Format(" at argument %u", params.cArgs - argError);
        }
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    std::copy(reversed.rbegin(), reversed.rend(), args.begin());
    return hr;
}

// How a by-reference argument came back: through the reference, in place of
// it (the driver converts what it finds there), or not at all.
Verdict JudgeReference(const VARIANTARG& sent, VARIANTARG& received, const char* what,
                       std::string* text) {
    const VARTYPE type = sent.vt & ~VT_BYREF;
    if (received.vt == sent.vt && received.byref == sent.byref) {
        const double value = type == VT_I4 ? *sent.plVal : *sent.pdblVal;
        const double unanswered = type == VT_I4 ? kUnansweredI4 : kUnansweredR8;
        if (value == unanswered) {
            *text += Format("%s not written", what);
            return Verdict::Fails;
        }
        *text += Format("%s %.15g (%s through the reference)", what, value, TypeName(type).c_str());
        return Verdict::Ok;
    }
    VARIANT converted;
    VariantInit(&converted);
    const HRESULT hr = VariantChangeType(&converted, &received, 0, type);
    *text += Format("%s %s as %s in place of the reference", what, ValueText(received).c_str(),
                    TypeName(received.vt).c_str());
    VariantClear(&converted);
    if ((received.vt & VT_BYREF) == 0) {
        VariantClear(&received);
    }
    if (FAILED(hr)) {
        *text += ", which the driver cannot take as " + TypeName(type);
        return Verdict::Fails;
    }
    return Verdict::Harmless;
}

Verdict Worse(Verdict a, Verdict b) {
    return static_cast<int>(a) > static_cast<int>(b) ? a : b;
}

class Caller {
  public:
    explicit Caller(ProbeReport& report) : report_(report) {}

    // A method whose by-reference arguments carry the answer. True when it
    // answered.
    bool Method(IDispatch* target, const char* object, const ServerMember& member,
                std::initializer_list<VARIANTARG> argList, std::initializer_list<const char*> names,
                const std::string& shown) {
        std::vector<VARIANTARG> args(argList);
        const std::vector<VARIANTARG> sent(argList);
        Variant result;
        std::string failure;
        const std::string call = Format("call %s.%s%s: ", object, member.name, shown.c_str());
        if (FAILED(InvokeAsDriver(target, member, args, result.get(), &failure))) {
            Refused(call + failure, member);
            return false;
        }
        Verdict verdict = Verdict::Ok;
        std::string text = call;
        const char* const* name = names.begin();
        for (size_t a = 0; a < args.size(); ++a, ++name) {
            text += a == 0 ? "" : ", ";
            verdict = Worse(verdict, JudgeReference(sent[a], args[a], *name, &text));
        }
        if (verdict == Verdict::Harmless) {
            text += ": the driver takes the answer from there";
        }
        Add(verdict, text, member);
        return true;
    }

    // A property get converted to the tabled type.
    void Get(IDispatch* target, const char* object, const ServerMember& member,
             std::initializer_list<VARIANTARG> argList, const std::string& shown) {
        std::vector<VARIANTARG> args(argList);
        Variant result;
        std::string failure;
        const std::string call = Format("call %s.%s%s: ", object, member.name, shown.c_str());
        if (FAILED(InvokeAsDriver(target, member, args, result.get(), &failure))) {
            Refused(call + failure, member);
            return;
        }
        const VARTYPE type = (*result).vt;
        if (type == VT_EMPTY) {
            // LinkValue is read only to be discarded; for any other get the
            // driver takes no value for a failure rather than make up a 0.
            const bool used = &member != &ScanMember::LinkValue;
            Add(used ? Verdict::Fails : Verdict::Harmless,
                call + "no value (VT_EMPTY)" + (used ? "" : ": the driver does not use it"),
                member);
            return;
        }
        std::string text = call + ValueText(*result) + " as " + TypeName(type);
        Variant converted;
        const HRESULT hr = VariantChangeType(converted.get(), result.get(), 0, member.resultType);
        Verdict verdict = Verdict::Ok;
        if (FAILED(hr)) {
            text += Format(": the driver cannot take it as %s (%s)",
                           TypeName(member.resultType).c_str(), ResultName(hr).c_str());
            verdict = Verdict::Fails;
        } else if (type != member.resultType) {
            text += ": the driver converts it to " + TypeName(member.resultType) + ", " +
                    ValueText(*converted);
            verdict = Verdict::Harmless;
        }
        Add(verdict, text, member);
    }

    void Open(bool open) { portOpen_ = open; }

  private:
    void Refused(const std::string& text, const ServerMember& member) {
        // The driver opens the link before any of these calls.
        const char* note = portOpen_ ? "" : " (the link was not open; --open-port opens it first)";
        report_.Add(Verdict::Fails, text + note + "; fails: " + WhatFailsWithout(member));
    }
    void Add(Verdict verdict, std::string text, const ServerMember& member) {
        if (verdict == Verdict::Fails) {
            text += std::string("; fails: ") + WhatFailsWithout(member);
        } else if (verdict == Verdict::Harmless) {
            text += " (harmless)";
        }
        report_.Add(verdict, text);
    }

    ProbeReport& report_;
    bool portOpen_ = false;
};

// OpenPort as ConnectController calls it; true when the link opened.
bool OpenLink(IDispatch* scan, const ProbeLink& link, ProbeReport& report) {
    LONG status = link.portArgument;
    std::vector<VARIANTARG> args{RefI4(&status)};
    const VARIANTARG sent = args[0];
    Variant result;
    std::string failure;
    const std::string call =
        Format("call scan.OpenPort(%ld): ", static_cast<long>(link.portArgument));
    if (FAILED(InvokeAsDriver(scan, ScanMember::OpenPort, args, result.get(), &failure))) {
        report.Add(Verdict::Fails,
                   call + failure + "; fails: " + WhatFailsWithout(ScanMember::OpenPort));
        return false;
    }
    std::string inPlace;
    if (args[0].vt != sent.vt || args[0].byref != sent.byref) {
        VARIANT converted;
        VariantInit(&converted);
        const HRESULT hr = VariantChangeType(&converted, &args[0], 0, VT_I4);
        inPlace = " as " + TypeName(args[0].vt) + " in place of the reference";
        VariantClear(&args[0]);
        if (FAILED(hr)) {
            report.Add(Verdict::Fails, call + "status" + inPlace +
                                           ", which the driver cannot take as VT_I4; fails: " +
                                           WhatFailsWithout(ScanMember::OpenPort));
            return false;
        }
        status = converted.lVal;
    }
    const std::string answer = Format("status %ld", static_cast<long>(status)) + inPlace;
    if (status < 0) {
        report.Add(Verdict::Fails, call + answer +
                                       ": the link did not open on this port; fails: every "
                                       "family's init returns -1 with it");
        return false;
    }
    report.Add(inPlace.empty() ? Verdict::Ok : Verdict::Harmless,
               call + answer + ": the link is open" +
                   (inPlace.empty() ? "" : "; the driver takes the status from there (harmless)"));
    return true;
}

void CloseLink(IDispatch* scan, ProbeReport& report) {
    std::vector<VARIANTARG> args;
    Variant result;
    std::string failure;
    if (FAILED(InvokeAsDriver(scan, ScanMember::ClosePort, args, result.get(), &failure))) {
        report.Add(Verdict::Fails, "call scan.ClosePort: " + failure +
                                       "; fails: " + WhatFailsWithout(ScanMember::ClosePort));
        return;
    }
    report.Add(Verdict::Ok, "call scan.ClosePort: the link is closed again");
}
} // namespace

void MakeSafeCalls(ProbedServer (&servers)[kProbedServerCount], const ProbeLink& link,
                   ProbeReport& report) {
    IDispatch* scan = servers[0].object.Get();
    IDispatch* stage = servers[1].object.Get();
    IDispatch* focus = servers[2].object.Get();
    IDispatch* filter = servers[3].object.Get();
    Caller caller(report);
    const bool open = link.open && scan != nullptr && OpenLink(scan, link, report);
    caller.Open(open);
    if (scan != nullptr) {
        LONG busy = kUnansweredI4;
        caller.Method(scan, "scan", ScanMember::GetBusy, {RefI4(&busy)}, {"busy"}, "");
        if (open) {
            caller.Get(scan, "scan", ScanMember::LinkValue, {}, "");
        } else {
            report.Add(Verdict::Skipped,
                       "call scan.LinkValue: not read: the driver reads it only once OpenPort has "
                       "opened the link, and a controller may answer it from the link; "
                       "--open-port N opens it");
        }
    }
    if (stage != nullptr) {
        double x = kUnansweredR8;
        double y = kUnansweredR8;
        caller.Method(stage, "stage", StageMember::GetXY, {RefR8(&x), RefR8(&y)}, {"x", "y"}, "");
    }
    if (focus != nullptr) {
        caller.Get(focus, "focus", FocusMember::Position, {}, "");
    }
    if (filter != nullptr) {
        caller.Get(filter, "filter", FilterMember::WheelPositionCount, {ArgI4(kProbedWheel)},
                   Format("(%ld)", static_cast<long>(kProbedWheel)));
    }
    if (open) {
        CloseLink(scan, report);
    }
}
