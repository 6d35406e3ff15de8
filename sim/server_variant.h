// What the objects do differently in a server variant (sim_variant.h).
#pragma once
#include "sim/automation_object.h"
#include "sim/sim_variant.h"

HRESULT SetServerVariant(int variant);
int ServerVariant();

// Whether the variant's object of `kind` lacks `member`, or refuses it.
bool VariantLacks(int kind, const ServerMember& member);
bool VariantRefuses(int kind, const ServerMember& member);
// Whether objects answer GetTypeInfo themselves.
bool VariantOffersTypeInfo();
// Which dispinterface of the variants' type library (typelib/
// TolvoSimVariants.idl, in its order) describes the object of `kind`; -1 when
// the tabled one does.
int VariantInterfaceIndex(int kind);

// Runs the member's handler on `handlerParams` (the caller's arguments,
// converted when the mode is lenient); a variant that answers in the argument
// itself then rewrites `callerParams`.
HRESULT CallMemberHandler(int kind, const MemberEntry& entry, ControllerModel& model,
                          const DISPPARAMS& callerParams, const DISPPARAMS& handlerParams,
                          VARIANT* value);
// The value of a successful call as the variant answers it.
HRESULT AnswerInVariantType(int kind, const ServerMember& member, VARIANT* value);
