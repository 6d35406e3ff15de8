// The host's device kinds, and the driver's two codes of its own.
#pragma once

enum DeviceKind {
    kKindAll = -1, // every device of this driver
    kKindShutter = 1,
    kKindFilterWheel = 2,
    kKindSlider = 3,
    kKindObjectives = 4,
    kKindLamp = 5,
    kKindAperture = 6,
    kKindCondenser = 7,
    kKindFocus = 8,
    kKindSerialLine = 100, // the serial line settings of the XY stage's section
};

// Section of a host device in the host's hardware file: the kind's format with
// the host's device number (host index + 1); nullptr for the driver's own codes.
const char* HostSectionFormat(int kind);
