// "tolvo.Z": the focus drive, in server units.
#include "sim/automation_object.h"
#include "sim/class_table.h"
#include "core/focus_members.h"

namespace {
HRESULT GetPosition(ControllerModel& model, const Arguments&, VARIANT* result) {
    result->vt = VT_R8;
    result->dblVal = model.FocusPosition();
    return S_OK;
}

// Steps take the distance with its sign as given: the controller does not
// check what a client sends.
HRESULT StepNegative(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveFocusBy(-args[0].dblVal);
    return S_OK;
}

HRESULT StepPositive(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveFocusBy(args[0].dblVal);
    return S_OK;
}

HRESULT MoveTo(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveFocusTo(args[0].dblVal);
    return S_OK;
}

const MemberEntry kMembers[] = {
    {&FocusMember::Position, &GetPosition},
    {&FocusMember::StepNegative, &StepNegative},
    {&FocusMember::StepPositive, &StepPositive},
    {&FocusMember::MoveTo, &MoveTo},
};

const ObjectInterface kFocusInterface = {SimFocus, kMembers,
                                         sizeof(kMembers) / sizeof(kMembers[0])};
} // namespace

HRESULT CreateFocusObject(IDispatch** out) {
    return CreateAutomationObject(kFocusInterface, out);
}
