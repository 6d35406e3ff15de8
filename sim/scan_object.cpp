// "tolvo.scan": the controller's serial link, its busy state, scans and shutters.
#include "sim/automation_object.h"
#include "sim/class_table.h"
#include "core/scan_members.h"

namespace {
// LinkValue reports a constant: nothing in the model depends on it.
constexpr float kLinkValue = 1.0f;

HRESULT OpenPort(ControllerModel& model, const Arguments& args, VARIANT*) {
    LONG* port = args[0].plVal;
    *port = model.OpenPort(*port) ? model.OpenedStatus() : model.RefusedStatus();
    return S_OK;
}

HRESULT GetBusy(ControllerModel& model, const Arguments& args, VARIANT*) {
    *args[0].plVal = model.PollBusy() ? 1 : 0;
    return S_OK;
}

HRESULT ScanCommand(ControllerModel& model, const Arguments&, VARIANT*) {
    model.StartScan();
    return S_OK;
}

HRESULT SetShutter(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.SetShutter(args[0].lVal, args[1].lVal);
    return S_OK;
}

HRESULT LinkValue(ControllerModel&, const Arguments&, VARIANT* result) {
    result->vt = VT_R4;
    result->fltVal = kLinkValue;
    return S_OK;
}

// The model's link is always ready; only the journal sees the call.
HRESULT LinkReady(ControllerModel&, const Arguments&, VARIANT*) {
    return S_OK;
}

HRESULT ClosePort(ControllerModel& model, const Arguments&, VARIANT*) {
    model.ClosePort();
    return S_OK;
}

const MemberEntry kMembers[] = {
    {&ScanMember::OpenPort, &OpenPort},       {&ScanMember::GetBusy, &GetBusy},
    {&ScanMember::ScanCommand, &ScanCommand}, {&ScanMember::SetShutter, &SetShutter},
    {&ScanMember::LinkValue, &LinkValue},     {&ScanMember::LinkReady, &LinkReady},
    {&ScanMember::ClosePort, &ClosePort},
};

const ObjectInterface kScanInterface = {SimScan, kMembers, sizeof(kMembers) / sizeof(kMembers[0])};
} // namespace

HRESULT CreateScanObject(IDispatch** out) {
    return CreateAutomationObject(kScanInterface, out);
}
