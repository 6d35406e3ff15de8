// An automation object described by a table of members: IDispatch checks each
// call against the table, journals it and hands it to the member's handler
// under the controller model's lock.
#pragma once
#include "core/server_members.h"
#include "sim/controller_model.h"
#include <oaidl.h>

// The arguments of a checked call, indexed in declaration order.
class Arguments {
  public:
    explicit Arguments(const DISPPARAMS& params) : params_(params) {}
    VARIANTARG& operator[](UINT index) const { return params_.rgvarg[params_.cArgs - 1 - index]; }

  private:
    const DISPPARAMS& params_;
};

// Acts on the model. `result` is an empty variant that a property get fills;
// a method's result is set by the caller of the handler.
using MemberHandler = HRESULT (*)(ControllerModel& model, const Arguments& args, VARIANT* result);

// A member of the shared table and what the simulator does for it.
struct MemberEntry {
    const ServerMember* member;
    MemberHandler handler;
};

struct ObjectInterface {
    SimObjectKind kind;
    const MemberEntry* members;
    UINT memberCount;
};

// A new object with one reference, owned by the caller.
HRESULT CreateAutomationObject(const ObjectInterface& objectInterface, IDispatch** out);
