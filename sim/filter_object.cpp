// "tolvo.filter": the filter wheels, numbered from 1 as are their positions.
#include "sim/automation_object.h"
#include "sim/class_table.h"
#include "core/filter_members.h"

namespace {
// Homing leaves a wheel at its first position.
constexpr int kHomePosition = 1;

HRESULT GetWheelPositionCount(ControllerModel& model, const Arguments& args, VARIANT* result) {
    result->vt = VT_I2;
    result->iVal = model.WheelPositionCount(args[0].lVal);
    return S_OK;
}

// Positions are kept as sent, also beyond the wheel's count: the driver's
// range checks are what the tests look at, not the server's.
HRESULT MoveWheel(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveWheel(args[0].lVal, args[1].lVal);
    return S_OK;
}

HRESULT HomeWheel(ControllerModel& model, const Arguments& args, VARIANT*) {
    model.MoveWheel(args[0].lVal, kHomePosition);
    return S_OK;
}

const MemberEntry kMembers[] = {
    {&FilterMember::WheelPositionCount, &GetWheelPositionCount},
    {&FilterMember::MoveWheel, &MoveWheel},
    {&FilterMember::HomeWheel, &HomeWheel},
};

const ObjectInterface kFilterInterface = {SimFilter, kMembers,
                                          sizeof(kMembers) / sizeof(kMembers[0])};
} // namespace

HRESULT CreateFilterObject(IDispatch** out) {
    return CreateAutomationObject(kFilterInterface, out);
}
