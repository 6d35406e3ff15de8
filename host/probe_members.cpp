#include "host/probe_members.h"
#include "host/probe_text.h"
#include "host/probe_usage.h"
#include <oleauto.h>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {
// One member as the type information declares it.
struct Declared {
    std::string name;
    INVOKEKIND kind;
    bool isVariable = false; // a dispinterface property: both get and put
    std::vector<VARTYPE> params;
    std::vector<bool> optional;
    VARTYPE result = VT_EMPTY;
};

const char* KindName(CallKind kind) {
    return kind == CallKind::Method ? "method" : kind == CallKind::PropertyGet ? "get" : "put";
}

const char* KindName(INVOKEKIND kind) {
    return kind == INVOKE_FUNC ? "method" : kind == INVOKE_PROPERTYGET ? "get" : "put";
}

INVOKEKIND InvokeKind(CallKind kind) {
    return kind == CallKind::Method        ? INVOKE_FUNC
           : kind == CallKind::PropertyGet ? INVOKE_PROPERTYGET
                                           : INVOKE_PROPERTYPUT;
}

// The VARTYPE a type description stands for: a pointer is by reference, an
// alias is what it names, an enumeration a VT_I4.
VARTYPE TypeOf(ITypeInfo* info, const TYPEDESC& type, int depth = 0) {
    if (type.vt == VT_PTR && type.lptdesc != nullptr && depth < 4) {
        return static_cast<VARTYPE>(TypeOf(info, *type.lptdesc, depth + 1) | VT_BYREF);
    }
    if (type.vt != VT_USERDEFINED || depth >= 4) {
        return type.vt;
    }
    ComPtr<ITypeInfo> named;
    TYPEATTR* attributes = nullptr;
    if (FAILED(info->GetRefTypeInfo(type.hreftype, &named)) ||
        FAILED(named->GetTypeAttr(&attributes))) {
        return VT_USERDEFINED;
    }
    VARTYPE result = VT_USERDEFINED;
    if (attributes->typekind == TKIND_ALIAS) {
        result = TypeOf(named.Get(), attributes->tdescAlias, depth + 1);
    } else if (attributes->typekind == TKIND_ENUM) {
        result = VT_I4;
    }
    named->ReleaseTypeAttr(attributes);
    return result;
}

std::string NameOf(ITypeInfo* info, MEMBERID id) {
    BSTR name = nullptr;
    std::string text;
    if (SUCCEEDED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) {
        text = Narrow(name);
    }
    SysFreeString(name);
    return text;
}

// Every declaration with the member's DISPID, functions and properties.
std::vector<Declared> DeclarationsOf(ITypeInfo* info, const TYPEATTR& attributes, DISPID id) {
    std::vector<Declared> found;
    for (WORD f = 0; f < attributes.cFuncs; ++f) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(f, &function))) {
            continue;
        }
        if (function->memid == id) {
            Declared d;
            d.name = NameOf(info, id);
            d.kind = function->invkind;
            for (SHORT p = 0; p < function->cParams; ++p) {
                const ELEMDESC& param = function->lprgelemdescParam[p];
                const USHORT flags = param.paramdesc.wParamFlags;
                if ((flags & PARAMFLAG_FRETVAL) != 0) {
                    d.result = static_cast<VARTYPE>(TypeOf(info, param.tdesc) & ~VT_BYREF);
                    continue;
                }
                d.params.push_back(TypeOf(info, param.tdesc));
                d.optional.push_back((flags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) != 0 ||
                                     p >= function->cParams - function->cParamsOpt);
            }
            if (d.result == VT_EMPTY) {
                d.result = TypeOf(info, function->elemdescFunc.tdesc);
            }
            found.push_back(d);
        }
        info->ReleaseFuncDesc(function);
    }
    for (WORD v = 0; v < attributes.cVars; ++v) {
        VARDESC* variable = nullptr;
        if (FAILED(info->GetVarDesc(v, &variable))) {
            continue;
        }
        if (variable->memid == id && variable->varkind == VAR_DISPATCH) {
            Declared d;
            d.name = NameOf(info, id);
            d.kind = INVOKE_PROPERTYGET;
            d.isVariable = true;
            d.result = TypeOf(info, variable->elemdescVar.tdesc);
            found.push_back(d);
        }
        info->ReleaseVarDesc(variable);
    }
    return found;
}

bool Numeric(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_BOOL:
    case VT_DATE:
        return true;
    default:
        return false;
    }
}

// What the driver makes of a get whose value comes as `declared`.
void JudgeResult(const ServerMember& member, VARTYPE declared, Verdict* verdict,
                 std::vector<std::string>* findings) {
    if (member.kind == CallKind::PropertyPut) {
        return;
    }
    if (member.kind == CallKind::Method) {
        if (declared != VT_I4 && declared != VT_VOID && declared != VT_HRESULT &&
            declared != VT_EMPTY) {
            findings->push_back("returns " + TypeName(declared) +
                                ", which the driver discards (harmless)");
            *verdict = *verdict == Verdict::Ok ? Verdict::Harmless : *verdict;
        }
        return;
    }
    if (declared == member.resultType) {
        return;
    }
    const std::string tabled = TypeName(member.resultType);
    if (Numeric(declared) || declared == VT_VARIANT || declared == VT_BSTR) {
        findings->push_back(
            "its value is " + TypeName(declared) + ", tabled " + tabled +
            ": the driver converts it" +
            (declared == VT_BSTR ? ", a number as text in the user's number format" : "") +
            " (harmless)");
        *verdict = *verdict == Verdict::Ok ? Verdict::Harmless : *verdict;
        return;
    }
    findings->push_back("its value is " + TypeName(declared) +
                        ", which the driver cannot take as " + tabled);
    *verdict = Verdict::Fails;
}

void JudgeArguments(const ServerMember& member, const Declared& d, Verdict* verdict,
                    std::vector<std::string>* findings) {
    const size_t sent = member.argCount;
    const size_t declared =
        d.isVariable ? (member.kind == CallKind::PropertyPut ? 1 : 0) : d.params.size();
    bool countFits = declared == sent;
    if (declared > sent) {
        countFits = true;
        for (size_t p = sent; p < declared; ++p) {
            countFits = countFits && d.optional[p];
        }
        if (countFits) {
            findings->push_back(Format("declares %u more optional argument(s) (harmless)",
                                       static_cast<unsigned>(declared - sent)));
            *verdict = *verdict == Verdict::Ok ? Verdict::Harmless : *verdict;
        }
    }
    if (!countFits) {
        findings->push_back(Format("declares %u argument(s), the driver sends %u",
                                   static_cast<unsigned>(declared), static_cast<unsigned>(sent)));
        *verdict = Verdict::Fails;
        return;
    }
    for (size_t a = 0; a < sent && a < declared; ++a) {
        const VARTYPE want = d.isVariable ? d.result : d.params[a];
        const VARTYPE send = member.argTypes[a];
        if (want == send || want == VT_VARIANT) {
            continue;
        }
        const bool wantRef = (want & VT_BYREF) != 0;
        const bool sendRef = (send & VT_BYREF) != 0;
        const std::string what =
            Format("argument %u is %s, the driver sends %s", static_cast<unsigned>(a + 1),
                   TypeName(want).c_str(), TypeName(send).c_str());
        if (!wantRef && !sendRef) {
            findings->push_back(what + ": standard dispatch converts values (harmless)");
            *verdict = *verdict == Verdict::Ok ? Verdict::Harmless : *verdict;
        } else if (want == (VT_VARIANT | VT_BYREF) && sendRef) {
            findings->push_back(what + ": the server reaches the driver's variable through a "
                                       "VARIANT (harmless; the calls below show the answers)");
            *verdict = *verdict == Verdict::Ok ? Verdict::Harmless : *verdict;
        } else {
            findings->push_back(what + ": by-reference arguments are not converted");
            *verdict = Verdict::Fails;
        }
    }
}

void CheckMember(ITypeInfo* info, const TYPEATTR& attributes, const char* object,
                 const ServerMember& member, ProbeReport& report) {
    const std::string subject = Format("%s.%s (DISPID %ld, %s)", object, member.name,
                                       static_cast<long>(member.dispid), KindName(member.kind));
    const std::vector<Declared> found = DeclarationsOf(info, attributes, member.dispid);
    const Declared* match = nullptr;
    for (const Declared& d : found) {
        if (d.kind == InvokeKind(member.kind) ||
            (d.isVariable && member.kind != CallKind::Method)) {
            match = &d;
        }
    }
    if (found.empty()) {
        report.Add(Verdict::Missing,
                   subject + ": not in the type information; fails: " + WhatFailsWithout(member));
        return;
    }
    if (match == nullptr) {
        report.Add(Verdict::Fails, subject + ": declared as a " + KindName(found[0].kind) +
                                       "; fails: " + WhatFailsWithout(member));
        return;
    }
    Verdict verdict = Verdict::Ok;
    std::vector<std::string> findings;
    if (lstrcmpiA(match->name.c_str(), member.name) != 0) {
        findings.push_back("named " + match->name + " (harmless: the driver calls by DISPID)");
        verdict = Verdict::Harmless;
    }
    JudgeArguments(member, *match, &verdict, &findings);
    JudgeResult(member, match->result, &verdict, &findings);
    std::string text = subject + ": ";
    if (findings.empty()) {
        text += Format("%u argument(s)", member.argCount);
        for (UINT a = 0; a < member.argCount; ++a) {
            text += (a == 0 ? " " : ", ") + TypeName(member.argTypes[a]);
        }
        if (member.kind == CallKind::PropertyGet) {
            text += ", value " + TypeName(member.resultType);
        }
        text += " as the driver sends them";
    } else {
        for (size_t i = 0; i < findings.size(); ++i) {
            text += (i == 0 ? "" : "; ") + findings[i];
        }
    }
    if (verdict == Verdict::Fails) {
        text += Format("; fails: %s", WhatFailsWithout(member));
    }
    report.Add(verdict, text);
}

// The dispatch view of `info`: a coclass's default interface, a dual
// interface's dispinterface; nullptr when there is none.
ComPtr<ITypeInfo> DispatchView(ComPtr<ITypeInfo> info, std::string* what) {
    for (int step = 0; step < 3 && info; ++step) {
        TYPEATTR* attributes = nullptr;
        if (FAILED(info->GetTypeAttr(&attributes))) {
            return nullptr;
        }
        const TYPEKIND kind = attributes->typekind;
        const bool dual = (attributes->wTypeFlags & TYPEFLAG_FDUAL) != 0;
        const WORD implemented = attributes->cImplTypes;
        info->ReleaseTypeAttr(attributes);
        HREFTYPE next = 0;
        if (kind == TKIND_DISPATCH) {
            *what = NameOf(info.Get(), MEMBERID_NIL);
            return info;
        }
        if (kind == TKIND_INTERFACE && dual) {
            if (FAILED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &next))) {
                return nullptr;
            }
        } else if (kind == TKIND_COCLASS) {
            UINT chosen = 0;
            for (UINT i = 0; i < implemented; ++i) {
                INT flags = 0;
                info->GetImplTypeFlags(i, &flags);
                if ((flags & IMPLTYPEFLAG_FDEFAULT) != 0 && (flags & IMPLTYPEFLAG_FSOURCE) == 0) {
                    chosen = i;
                }
            }
            if (implemented == 0 || FAILED(info->GetRefTypeOfImplType(chosen, &next))) {
                return nullptr;
            }
        } else {
            *what = NameOf(info.Get(), MEMBERID_NIL) + " (not a dispatch interface)";
            return nullptr;
        }
        ComPtr<ITypeInfo> referenced;
        if (FAILED(info->GetRefTypeInfo(next, &referenced))) {
            return nullptr;
        }
        info = referenced;
    }
    return nullptr;
}

// The object's own type information, else its registered library's.
ComPtr<ITypeInfo> TypeInformation(const ProbedServer& server, std::string* source) {
    UINT count = 0;
    ComPtr<ITypeInfo> info;
    HRESULT hr = server.object->GetTypeInfoCount(&count);
    if (SUCCEEDED(hr) && count > 0) {
        hr = server.object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info);
    }
    if (SUCCEEDED(hr) && info) {
        *source = "the object itself (IDispatch::GetTypeInfo)";
        return info;
    }
    const std::string none =
        count == 0 ? "the object offers none" : "its GetTypeInfo answered " + ResultName(hr);
    std::string how;
    ComPtr<ITypeLib> library = RegisteredTypeLibrary(server, &how);
    if (library && SUCCEEDED(library->GetTypeInfoOfGuid(server.classId, &info))) {
        *source = how + " (" + none + ")";
        return info;
    }
    *source = none + ", and " + (library ? "its library does not describe the class" : how);
    return nullptr;
}
} // namespace

void CheckMembers(const ProbedServer& server, ProbeReport& report) {
    if (!server.object) {
        return;
    }
    const ServerInterface& table = *server.members;
    const std::string name = Narrow(server.progId);
    std::string source;
    std::string interfaceName;
    ComPtr<ITypeInfo> info = TypeInformation(server, &source);
    if (info) {
        info = DispatchView(info, &interfaceName);
    }
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes))) {
        report.Add(Verdict::Skipped,
                   Format("%s: members not compared: no dispatch type information (%s%s%s); "
                          "only the calls below tell",
                          name.c_str(), source.c_str(), interfaceName.empty() ? "" : ", ",
                          interfaceName.c_str()));
        return;
    }
    report.Add(Verdict::Ok, Format("%s: type information from %s: interface %s", name.c_str(),
                                   source.c_str(), interfaceName.c_str()));
    for (UINT m = 0; m < table.memberCount; ++m) {
        CheckMember(info.Get(), *attributes, table.objectName, *table.members[m], report);
    }
    info->ReleaseTypeAttr(attributes);
}
