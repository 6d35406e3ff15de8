// The host's device kinds are STOLVO_KIND_* of the driver's header, with the
// driver's two codes of its own (STOLVO_KIND_ALL, STOLVO_KIND_SERIAL_LINE).
#pragma once
#include "include/STolvo32.h"

// Section of a host device in the host's hardware file: the kind's format with
// the host's device number (host index + 1); nullptr for the driver's own codes.
const char* HostSectionFormat(int kind);
