// Server variants of the simulator: objects that answer the controller's
// members otherwise than the table of members says, as another maker's server
// might, so that the driver's conversions and the field probe can be tried
// without one. Exported by TolvoSim.dll; the local server's control object
// offers the same as its SetVariant member.
#pragma once
#include <windows.h>

extern "C" {

enum SimVariant {
    // Every member as tabled (the state at load).
    SimAsTabled = 0,
    // Other result types, declared so in the objects' type information:
    // methods answer VT_I2, LinkValue VT_R8, TravelX and TravelY a BSTR
    // number, Position VT_R4, WheelPositionCount VT_I4. OpenPort and GetBusy
    // answer VT_I2 and GetXY VT_R4 in the argument itself, in place of the
    // caller's reference, which keeps what it held, as a server that converts
    // its arguments in place does.
    SimOtherTypes = 1,
    // "tolvo.Z" has no StepNegative: its type information leaves it out and
    // a call answers DISP_E_MEMBERNOTFOUND.
    SimMissingMember = 2,
    // "tolvo.stage" refuses GetXY with DISP_E_EXCEPTION, and no object offers
    // type information of its own (GetTypeInfoCount 0), as servers that leave
    // it to their registered type library do.
    SimRefusedCall = 3,
    // Every property get succeeds without a value (VT_EMPTY), as a server
    // with nothing to report may answer.
    SimEmptyValues = 4,
};

// Switches every object of the server to the variant, also those already
// made; E_INVALIDARG for an unknown one. SimReset leaves the variant alone, as
// it does the argument mode.
HRESULT WINAPI SimSetVariant(int variant);
}
