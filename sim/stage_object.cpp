// "tolvo.stage": the XY stage, in server units.
#include "sim/automation_object.h"
#include "sim/class_table.h"
#include "core/stage_members.h"

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

const MemberEntry kMembers[] = {
    {&StageMember::Speed, &PutSpeed},     {&StageMember::TravelX, &GetTravelX},
    {&StageMember::TravelY, &GetTravelY}, {&StageMember::StageQuery, &StageQuery},
    {&StageMember::GetXY, &GetXY},        {&StageMember::StepY, &StepY},
    {&StageMember::StepX, &StepX},        {&StageMember::MoveXY, &MoveXY},
    {&StageMember::RunX, &RunX},          {&StageMember::RunY, &RunY},
    {&StageMember::SetXY, &SetXY},
};

const ObjectInterface kStageInterface = {SimStage, kMembers,
                                         sizeof(kMembers) / sizeof(kMembers[0])};
} // namespace

HRESULT CreateStageObject(IDispatch** out) {
    return CreateAutomationObject(kStageInterface, out);
}
