/*
 * The kit's import library for Microsoft's linker (STolvo32.lib) put to use:
 * this file, compiled to an object without any C runtime, is linked by
 * lld-link, which reads import libraries as link.exe does, against
 * STolvo32.lib and the system's kernel32 import library. It imports every
 * export and checks that each was bound by name to the driver's export
 * (import_check.h); its exit code has a bit for each check that failed.
 */
#include "STolvo32.h"
#include "import_check.h"

typedef void (*AnyExport)(void);
#define STOLVO_EXPORT(name) (AnyExport) & name,
extern const AnyExport everyExport[];
const AnyExport everyExport[] = {
#include "stolvo_exports.h"
};

int __stdcall LinkCheckEntry(void);

int __stdcall LinkCheckEntry(void) {
    UINT failed = 0;
    int type = 0;
    int wrong = 0;
    if (DriverImportsBound(&wrong) != (int)(sizeof everyExport / sizeof everyExport[0]) ||
        wrong != 0) {
        failed |= 8;
    }
    if (StgXYType(&type) != STOLVO_OK || type != (STOLVO_XY_STAGE_TYPE | STOLVO_XY_TYPE_JOYSTICK)) {
        failed |= 1;
    }
    if (FWGetInstance(0) != 0 || FWGetInstance(0) != 1) {
        failed |= 2;
    }
    if (ShtrGetOpen(STOLVO_MAX_SHUTTERS) != STOLVO_BAD_SLOT) {
        failed |= 4;
    }
    ExitProcess(failed);
    return 0;
}
