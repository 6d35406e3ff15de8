// The default configuration as a page opening gives it: the defaults of the
// driver's devices, the questions about archived sets that writing them back
// may ask, and the first-time notice, all owned by the page.
#pragma once
#include <windows.h>

// The first time (STolvo.INI's "DefaultAll" missing or not 0) every device the
// host's hardware file gives this driver, and the serial line, gets defaults
// for what it lacks, and a notice owned by `owner` says so; later only device
// (`kind`, `slot`) does, silently (kinds 1, 2, 8 and 100). Changed records are
// written back.
void ApplyDefaults(HWND owner, int kind, int slot);
