// The server variant switch of TolvoSim.dll.
#include "sim/server_variant.h"

extern "C" HRESULT WINAPI SimSetVariant(int variant) {
    return SetServerVariant(variant);
}
