// Whether a dispatch call fits the member it names, as the simulator's objects
// check every call before acting on it.
#pragma once
#include "core/server_members.h"

// The arguments a member's handler works on: the caller's, coerced to the
// member's declared types, in DISPPARAMS order (last first).
class CoercedArguments {
  public:
    CoercedArguments();
    ~CoercedArguments();
    CoercedArguments(const CoercedArguments&) = delete;
    CoercedArguments& operator=(const CoercedArguments&) = delete;
    const DISPPARAMS& params() const { return params_; }

  private:
    friend HRESULT CoerceArguments(const ServerMember&, const DISPPARAMS&, CoercedArguments*,
                                   UINT*);
    VARIANTARG values_[kMaxMemberArgs];
    DISPPARAMS params_;
};

// Strict mode takes each argument only in the declared type, as the driver
// sends it; lenient mode converts the way automation servers do, so that
// scripting clients' small integers and by-reference variants are accepted.
void SetStrictArguments(bool strict);
bool StrictArguments();

// The argument count, the named argument a put needs and each argument's type
// (a by-reference argument also needs its variable). On a bad argument
// `argError`, when given, receives its index in DISPPARAMS order.
HRESULT CheckArguments(const ServerMember& member, const DISPPARAMS& params, UINT* argError);

// The lenient check: count and named arguments as CheckArguments, then each
// by-value argument converted with VariantChangeType; a by-reference argument
// of the declared type stays as it is, and a by-reference variant (what a
// script passes for a variable) is converted in place and handed on as a
// reference to its value, so what the member writes reaches the caller.
HRESULT CoerceArguments(const ServerMember& member, const DISPPARAMS& params, CoercedArguments* out,
                        UINT* argError);
