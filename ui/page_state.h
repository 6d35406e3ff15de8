// Which configuration pages exist, where the next one goes and which device
// the device page shows. Who claimed the serial line is in core/controller_link.h.
#pragma once
#include <windows.h>

// The one stage page (XY or Z) and the one device page, or nullptr.
extern HWND StagePageWindow;
extern HWND DevicePageWindow;
// Vertical position of the next page in the host's window.
extern int PageTop;
// Device kind (8, 1 or 2) and slot of the device page.
extern int CurrentPageKind;
extern int CurrentDeviceIndex;
// The filter wheel page holds set changes that "Save" has not written yet.
extern bool FilterSetDirty;

// Destroys the stage page if there is one.
void DestroyStagePage();
