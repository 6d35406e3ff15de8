// "tolvo.stage": the XY stage, in server units.
#include "sim/automation_object.h"
#include "sim/class_table.h"

namespace {
constexpr int kAxisX = 0;
constexpr int kAxisY = 1;

HRESULT PutSpeed(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.SetStageSpeed(args[0].dblVal);
    return S_OK;
}

HRESULT GetTravelX(ControllerModel& model, const Arguments&, VARIANT* result) {
    result->vt = VT_R8;
    result->dblVal = model.TravelX();
    return S_OK;
}

HRESULT GetTravelY(ControllerModel& model, const Arguments&, VARIANT* result) {
    result->vt = VT_R8;
    result->dblVal = model.TravelY();
    return S_OK;
}

// The query's answer means nothing to the model: the variables, the string
// included, are left as the caller passed them; the journal keeps the call.
HRESULT StageQuery(ControllerModel&, const Arguments&, VARIANT*) {
    return S_OK;
}

HRESULT GetXY(ControllerModel& model, const Arguments& args, VARIANT*) {
    const auto position = model.Position();
    *args[0].pdblVal = position.first;
    *args[1].pdblVal = position.second;
    return S_OK;
}

HRESULT StepX(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveBy(args[0].dblVal, 0.0);
    return S_OK;
}

HRESULT StepY(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveBy(0.0, args[0].dblVal);
    return S_OK;
}

HRESULT MoveXY(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveTo(args[0].dblVal, args[1].dblVal);
    return S_OK;
}

HRESULT RunX(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.Run(kAxisX, args[0].dblVal);
    return S_OK;
}

HRESULT RunY(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.Run(kAxisY, args[0].dblVal);
    return S_OK;
}

HRESULT SetXY(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.SetOrigin(args[0].dblVal, args[1].dblVal);
    return S_OK;
}

constexpr VARTYPE kRefI4 = VT_I4 | VT_BYREF;
constexpr VARTYPE kRefR8 = VT_R8 | VT_BYREF;

const MemberEntry kMembers[] = {
    {L"Speed", 9, CallKind::PropertyPut, 1, {VT_R8}, &PutSpeed},
    {L"TravelX", 16, CallKind::PropertyGet, 0, {}, &GetTravelX},
    {L"TravelY", 17, CallKind::PropertyGet, 0, {}, &GetTravelY},
    {L"StageQuery",
     18,
     CallKind::Method,
     6,
     {kRefI4, VT_BSTR | VT_BYREF, kRefI4, kRefI4, kRefI4, kRefI4},
     &StageQuery},
    {L"GetXY", 20, CallKind::Method, 2, {kRefR8, kRefR8}, &GetXY},
    {L"StepY", 23, CallKind::Method, 1, {VT_R8}, &StepY},
    {L"StepX", 24, CallKind::Method, 1, {VT_R8}, &StepX},
    {L"MoveXY", 27, CallKind::Method, 2, {VT_R8, VT_R8}, &MoveXY},
    {L"RunX", 28, CallKind::Method, 1, {VT_R8}, &RunX},
    {L"RunY", 29, CallKind::Method, 1, {VT_R8}, &RunY},
    {L"SetXY", 30, CallKind::Method, 2, {VT_R8, VT_R8}, &SetXY},
};

const ObjectInterface kStageInterface = {SimStage, kMembers,
                                         sizeof(kMembers) / sizeof(kMembers[0])};
} // namespace

HRESULT CreateStageObject(IDispatch** out) {
    return CreateAutomationObject(kStageInterface, out);
}
