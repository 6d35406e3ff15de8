#include "sim/server_variant.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include <oleauto.h>

namespace {
volatile LONG currentVariant = SimAsTabled;

struct MemberOfKind {
    int kind;
    const ServerMember* member;
    VARTYPE type; // what the variant answers
};

const MemberOfKind kOtherResults[] = {
    {SimScan, &ScanMember::LinkValue, VT_R8},
    {SimStage, &StageMember::TravelX, VT_BSTR},
    {SimStage, &StageMember::TravelY, VT_BSTR},
    {SimFocus, &FocusMember::Position, VT_R4},
    {SimFilter, &FilterMember::WheelPositionCount, VT_I4},
};
// Answered in the argument in place of the caller's reference.
const MemberOfKind kInPlaceAnswers[] = {
    {SimScan, &ScanMember::OpenPort, VT_I2},
    {SimScan, &ScanMember::GetBusy, VT_I2},
    {SimStage, &StageMember::GetXY, VT_R4},
};
constexpr VARTYPE kOtherMethodResult = VT_I2;
constexpr MemberOfKind kMissing{SimFocus, &FocusMember::StepNegative, VT_EMPTY};
constexpr MemberOfKind kRefused{SimStage, &StageMember::GetXY, VT_EMPTY};
// TolvoSimVariants.idl: the four objects with other types, then the focus
// without StepNegative.
constexpr int kMissingMemberInterface = 4;

bool Is(const MemberOfKind& entry, int kind, const ServerMember& member) {
    return entry.kind == kind && entry.member == &member;
}

template <size_t N>
const MemberOfKind* Find(const MemberOfKind (&table)[N], int kind, const ServerMember& member) {
    for (const MemberOfKind& entry : table) {
        if (Is(entry, kind, member)) {
            return &entry;
        }
    }
    return nullptr;
}

// The variable of a by-reference argument, held while the handler writes it.
union Slot {
    LONG i4;
    double r8;
};

bool AnswersInPlace(const VARIANTARG& arg, VARTYPE declared) {
    return arg.vt == declared && arg.byref != nullptr &&
           (declared == (VT_I4 | VT_BYREF) || declared == (VT_R8 | VT_BYREF));
}
} // namespace

HRESULT SetServerVariant(int variant) {
    if (variant < SimAsTabled || variant > SimEmptyValues) {
        return E_INVALIDARG;
    }
    InterlockedExchange(&currentVariant, variant);
    return S_OK;
}

int ServerVariant() {
    return static_cast<int>(InterlockedCompareExchange(&currentVariant, 0, 0));
}

bool VariantLacks(int kind, const ServerMember& member) {
    return ServerVariant() == SimMissingMember && Is(kMissing, kind, member);
}

bool VariantRefuses(int kind, const ServerMember& member) {
    return ServerVariant() == SimRefusedCall && Is(kRefused, kind, member);
}

bool VariantOffersTypeInfo() {
    return ServerVariant() != SimRefusedCall;
}

int VariantInterfaceIndex(int kind) {
    switch (ServerVariant()) {
    case SimOtherTypes:
        return kind;
    case SimMissingMember:
        return kind == kMissing.kind ? kMissingMemberInterface : -1;
    default:
        return -1;
    }
}

HRESULT CallMemberHandler(int kind, const MemberEntry& entry, ControllerModel& model,
                          const DISPPARAMS& callerParams, const DISPPARAMS& handlerParams,
                          VARIANT* value) {
    const MemberOfKind* inPlace =
        ServerVariant() == SimOtherTypes ? Find(kInPlaceAnswers, kind, *entry.member) : nullptr;
    if (inPlace == nullptr) {
        return entry.handler(model, Arguments(handlerParams), value);
    }
    // The handler writes into slots of its own; the caller's variables are
    // left as they were.
    VARIANTARG args[kMaxMemberArgs];
    Slot slots[kMaxMemberArgs];
    const UINT count = handlerParams.cArgs < kMaxMemberArgs ? handlerParams.cArgs : kMaxMemberArgs;
    for (UINT i = 0; i < count; ++i) {
        args[i] = handlerParams.rgvarg[i];
        const VARTYPE declared = entry.member->argTypes[count - 1 - i];
        if (i < callerParams.cArgs && AnswersInPlace(callerParams.rgvarg[i], declared)) {
            if (declared == (VT_I4 | VT_BYREF)) {
                slots[i].i4 = *args[i].plVal;
                args[i].plVal = &slots[i].i4;
            } else {
                slots[i].r8 = *args[i].pdblVal;
                args[i].pdblVal = &slots[i].r8;
            }
        }
    }
    DISPPARAMS params = handlerParams;
    params.rgvarg = count > 0 ? args : nullptr;
    const HRESULT hr = entry.handler(model, Arguments(params), value);
    if (FAILED(hr)) {
        return hr;
    }
    for (UINT i = 0; i < count; ++i) {
        VARIANTARG& arg = callerParams.rgvarg[i];
        const VARTYPE declared = entry.member->argTypes[count - 1 - i];
        if (!AnswersInPlace(arg, declared)) {
            continue;
        }
        VARIANTARG answer;
        VariantInit(&answer);
        if (declared == (VT_I4 | VT_BYREF)) {
            answer.vt = VT_I4;
            answer.lVal = slots[i].i4;
        } else {
            answer.vt = VT_R8;
            answer.dblVal = slots[i].r8;
        }
        if (FAILED(VariantChangeType(&arg, &answer, 0, inPlace->type))) {
            return DISP_E_OVERFLOW;
        }
    }
    return S_OK;
}

HRESULT AnswerInVariantType(int kind, const ServerMember& member, VARIANT* value) {
    if (ServerVariant() == SimEmptyValues && member.kind == CallKind::PropertyGet) {
        VariantClear(value);
        return S_OK;
    }
    if (ServerVariant() != SimOtherTypes) {
        return S_OK;
    }
    const MemberOfKind* other = Find(kOtherResults, kind, member);
    VARTYPE type = VT_EMPTY;
    if (other != nullptr) {
        type = other->type;
    } else if (member.kind == CallKind::Method) {
        type = kOtherMethodResult;
    } else {
        return S_OK;
    }
    // A BSTR number is written in the user's locale, as the server's own
    // number formatting would.
    const HRESULT hr = VariantChangeType(value, value, 0, type);
    return SUCCEEDED(hr) ? S_OK : DISP_E_OVERFLOW;
}
