// What each member of the control object does to the controller model of the
// server process.
#include "sim/local_server/class_objects.h"
#include "sim/local_server/control_members.h"
#include "sim/local_server/control_object.h"
#include "sim/local_server/tracked_objects.h"
#include "sim/class_table.h"
#include "sim/controller_model.h"
#include "sim/journal/journal_text.h"
#include "sim/member_check.h"
#include "sim/object_accounting.h"
#include "sim/server_variant.h"
#include <oleauto.h>
#include <string>
#include <vector>

namespace {
void SetI4(VARIANT* result, LONG value) {
    result->vt = VT_I4;
    result->lVal = value;
}

void SetR8(VARIANT* result, double value) {
    result->vt = VT_R8;
    result->dblVal = value;
}

// Journal text is plain ASCII: member names and numbers.
HRESULT SetText(VARIANT* result, const std::string& text) {
    const std::wstring wide(text.begin(), text.end());
    result->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (result->bstrVal == nullptr) {
        return E_OUTOFMEMORY;
    }
    result->vt = VT_BSTR;
    return S_OK;
}

HRESULT Reset(const Arguments&, VARIANT*) {
    LockedModel()->Reset();
    return S_OK;
}

HRESULT ProcessId(const Arguments&, VARIANT* result) {
    SetI4(result, static_cast<LONG>(GetCurrentProcessId()));
    return S_OK;
}

HRESULT LiveObjects(const Arguments&, VARIANT* result) {
    SetI4(result, LiveObjectCount());
    return S_OK;
}

HRESULT OutstandingRefs(const Arguments&, VARIANT* result) {
    SetI4(result, OutstandingReferenceCount());
    return S_OK;
}

HRESULT JournalCount(const Arguments&, VARIANT* result) {
    SetI4(result, LockedModel()->JournalCount());
    return S_OK;
}

HRESULT JournalCall(const Arguments& args, VARIANT* result) {
    SimCall call{};
    if (!LockedModel()->JournalEntry(args[0].lVal, &call)) {
        return DISP_E_BADINDEX;
    }
    return SetText(result, CallText(call));
}

HRESULT JournalText(const Arguments&, VARIANT* result) {
    std::vector<SimCall> calls;
    {
        LockedModel model;
        calls.resize(static_cast<std::size_t>(model->JournalCount()));
        for (std::size_t i = 0; i < calls.size(); ++i) {
            model->JournalEntry(static_cast<int>(i), &calls[i]);
        }
    }
    std::string text;
    for (const std::string& line : ::JournalText(calls)) {
        text += text.empty() ? line : "\n" + line;
    }
    return SetText(result, text);
}

HRESULT ClearJournal(const Arguments&, VARIANT*) {
    LockedModel()->ClearJournal();
    return S_OK;
}

HRESULT SetBusyPolls(const Arguments& args, VARIANT*) {
    LockedModel()->SetBusyPolls(args[0].lVal);
    return S_OK;
}

HRESULT SetMotionSpeed(const Arguments& args, VARIANT*) {
    LockedModel()->SetMotionSpeed(args[0].dblVal);
    return S_OK;
}

HRESULT SetStrictArgumentMode(const Arguments& args, VARIANT*) {
    SetStrictArguments(args[0].lVal != 0);
    return S_OK;
}

HRESULT SetVariant(const Arguments& args, VARIANT*) {
    return SetServerVariant(args[0].lVal);
}

HRESULT SetBusyForever(const Arguments& args, VARIANT*) {
    LockedModel()->SetBusyForever(args[0].lVal != 0);
    return S_OK;
}

HRESULT BusyPollCount(const Arguments&, VARIANT* result) {
    SetI4(result, LockedModel()->BusyPollCount());
    return S_OK;
}

HRESULT SetFault(const Arguments& args, VARIANT*) {
    LockedModel()->SetFault(args[0].lVal, args[1].lVal, args[2].lVal);
    return S_OK;
}

HRESULT SetAnswerDelay(const Arguments& args, VARIANT*) {
    LockedModel()->SetAnswerDelay(args[0].lVal, args[1].lVal, static_cast<DWORD>(args[2].lVal));
    return S_OK;
}

HRESULT SetOpenablePorts(const Arguments& args, VARIANT*) {
    LockedModel()->SetOpenablePorts(static_cast<DWORD>(args[0].lVal));
    return S_OK;
}

HRESULT IsLinkOpen(const Arguments&, VARIANT* result) {
    SetI4(result, LockedModel()->IsLinkOpen() ? 1 : 0);
    return S_OK;
}

HRESULT LastOpenedPort(const Arguments&, VARIANT* result) {
    SetI4(result, LockedModel()->LastOpenedPort());
    return S_OK;
}

HRESULT SetStagePosition(const Arguments& args, VARIANT*) {
    LockedModel()->Place(args[0].dblVal, args[1].dblVal);
    return S_OK;
}

HRESULT GetStagePosition(const Arguments& args, VARIANT*) {
    const auto position = LockedModel()->Position();
    *args[0].pdblVal = position.first;
    *args[1].pdblVal = position.second;
    return S_OK;
}

HRESULT SetFocusPosition(const Arguments& args, VARIANT*) {
    LockedModel()->PlaceFocus(args[0].dblVal);
    return S_OK;
}

HRESULT FocusPosition(const Arguments&, VARIANT* result) {
    SetR8(result, LockedModel()->FocusPosition());
    return S_OK;
}

HRESULT SetWheelPositionCount(const Arguments& args, VARIANT*) {
    LockedModel()->SetWheelPositionCount(args[0].lVal, static_cast<SHORT>(args[1].lVal));
    return S_OK;
}

HRESULT WheelPositionCount(const Arguments& args, VARIANT* result) {
    SetI4(result, LockedModel()->WheelPositionCount(args[0].lVal));
    return S_OK;
}

HRESULT WheelPosition(const Arguments& args, VARIANT* result) {
    SetI4(result, LockedModel()->WheelPosition(args[0].lVal));
    return S_OK;
}

HRESULT ShutterState(const Arguments& args, VARIANT* result) {
    SetI4(result, LockedModel()->ShutterState(args[0].lVal));
    return S_OK;
}

HRESULT CreateObject(const Arguments& args, VARIANT* result) {
    const ServerClass* serverClass = FindTrackedClassByKind(args[0].lVal);
    if (serverClass == nullptr) {
        return E_INVALIDARG;
    }
    IDispatch* object = nullptr;
    const HRESULT hr = serverClass->create(&object);
    if (SUCCEEDED(hr)) {
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
    }
    return hr;
}

HRESULT WithdrawClasses(const Arguments&, VARIANT*) {
    RevokeClassObjects();
    return S_OK;
}

HRESULT DisconnectObjects(const Arguments&, VARIANT* result) {
    HRESULT failure = S_OK;
    const LONG disconnected = DisconnectTrackedObjects(&failure);
    if (FAILED(failure)) {
        return failure;
    }
    SetI4(result, disconnected);
    return S_OK;
}

const ControlEntry kEntries[] = {
    {&ControlMember::Reset, &Reset},
    {&ControlMember::ProcessId, &ProcessId},
    {&ControlMember::LiveObjects, &LiveObjects},
    {&ControlMember::OutstandingRefs, &OutstandingRefs},
    {&ControlMember::JournalCount, &JournalCount},
    {&ControlMember::JournalCall, &JournalCall},
    {&ControlMember::JournalText, &JournalText},
    {&ControlMember::ClearJournal, &ClearJournal},
    {&ControlMember::SetBusyPolls, &SetBusyPolls},
    {&ControlMember::SetMotionSpeed, &SetMotionSpeed},
    {&ControlMember::SetBusyForever, &SetBusyForever},
    {&ControlMember::BusyPollCount, &BusyPollCount},
    {&ControlMember::SetFault, &SetFault},
    {&ControlMember::SetOpenablePorts, &SetOpenablePorts},
    {&ControlMember::IsLinkOpen, &IsLinkOpen},
    {&ControlMember::LastOpenedPort, &LastOpenedPort},
    {&ControlMember::SetStagePosition, &SetStagePosition},
    {&ControlMember::GetStagePosition, &GetStagePosition},
    {&ControlMember::SetFocusPosition, &SetFocusPosition},
    {&ControlMember::FocusPosition, &FocusPosition},
    {&ControlMember::SetWheelPositionCount, &SetWheelPositionCount},
    {&ControlMember::WheelPositionCount, &WheelPositionCount},
    {&ControlMember::WheelPosition, &WheelPosition},
    {&ControlMember::ShutterState, &ShutterState},
    {&ControlMember::CreateObject, &CreateObject},
    {&ControlMember::WithdrawClasses, &WithdrawClasses},
    {&ControlMember::SetStrictArguments, &SetStrictArgumentMode},
    {&ControlMember::DisconnectObjects, &DisconnectObjects},
    {&ControlMember::SetVariant, &SetVariant},
    {&ControlMember::SetAnswerDelay, &SetAnswerDelay},
};
} // namespace

const ControlEntry* ControlEntries() {
    return kEntries;
}

UINT ControlEntryCount() {
    return sizeof(kEntries) / sizeof(kEntries[0]);
}
