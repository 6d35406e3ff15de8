/*
 * STolvo32.h - the exports of STolvo32.dll, the Tolvo motion controller
 * driver, for a host that loads it (C or C++, 32-bit Windows).
 *
 * Every export is a plain function with the standard Windows calling
 * convention (WINAPI, __stdcall) exported under its undecorated name; its
 * ordinal is given beside it (@n). Each has a prototype and a pointer type
 * STOLVO_PFN_<name> for GetProcAddress. All results are 32-bit signed
 * integers unless stated otherwise.
 *
 * The driver keeps its files (STolvo.INI, the filter set files
 * "<set name>.TolvoFW") beside itself and reads the host's KROHW.INI and name
 * list files from the same folder; see docs/install.md. The host must have
 * initialised OLE on the calling thread before calling an initialise export.
 *
 * A host written against this header links either by name at run time
 * (LoadLibrary, GetProcAddress and the pointer types) or through an import
 * library of the kit: lib/libSTolvo32.a for MinGW, lib/STolvo32.lib for
 * Microsoft's linker (lib/STolvo32.def lists the exports with their decorated
 * stdcall names, for making an import library with other tools).
 */
#ifndef STOLVO32_H
#define STOLVO32_H

#if defined(_WIN64) || defined(__x86_64__) || defined(_M_X64) || defined(_M_ARM64)
#error "STolvo32.dll is a 32-bit module: build the host for 32-bit Windows (x86)."
#endif

#include <windows.h>

/* The version of the driver this header belongs to; STOLVO32_VERSION is
 * 0x00MMmmpp (major, minor, patch), for comparisons. */
#define STOLVO32_VERSION_MAJOR 1
#define STOLVO32_VERSION_MINOR 1
#define STOLVO32_VERSION_PATCH 0
#define STOLVO32_VERSION_TEXT "1.1.0"
#define STOLVO32_VERSION                                                                           \
    ((STOLVO32_VERSION_MAJOR << 16) | (STOLVO32_VERSION_MINOR << 8) | STOLVO32_VERSION_PATCH)

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes of the exports. */
#define STOLVO_OK 0
#define STOLVO_NOT_BOUND 1         /* the automation object is not bound; nothing done */
#define STOLVO_LINK_FAILED (-1)    /* the connection failed (initialise) or is not open */
#define STOLVO_NOT_CONFIGURED (-2) /* the serial line or the device is not configured */
#define STOLVO_BAD_SLOT (-5)       /* slot not handed out or not configured, or none left */
#define STOLVO_BAD_POSITION (-6)   /* filter position out of range */

#if defined(__cplusplus)
#define STOLVO_INLINE inline
#elif defined(_MSC_VER) || defined(__GNUC__)
#define STOLVO_INLINE __inline
#else
#define STOLVO_INLINE
#endif

/* What a status code means, for a host's log or message. ShtrGetOpen,
 * FWGetCount, FWGetPosition and the GetInstance exports return a value (a
 * state, a count, a position, a slot) unless they return STOLVO_BAD_SLOT. */
static STOLVO_INLINE const char* StolvoResultText(int code) {
    switch (code) {
    case STOLVO_OK:
        return "done";
    case STOLVO_NOT_BOUND:
        return "not bound: the controller's automation object is not bound, nothing was done";
    case STOLVO_LINK_FAILED:
        return "link failed: the controller connection failed or is not open";
    case STOLVO_NOT_CONFIGURED:
        return "not configured: the serial line or the device is not configured";
    case STOLVO_BAD_SLOT:
        return "bad slot: the slot was not handed out or is not configured, or none is left";
    case STOLVO_BAD_POSITION:
        return "bad position: the filter position is out of range";
    default:
        return "unknown result code";
    }
}

/* Device kinds, as the host numbers them, and the driver's own two codes. */
#define STOLVO_KIND_ALL (-1) /* every device of this driver */
#define STOLVO_KIND_SHUTTER 1
#define STOLVO_KIND_FILTER_WHEEL 2
#define STOLVO_KIND_SLIDER 3
#define STOLVO_KIND_OBJECTIVES 4
#define STOLVO_KIND_LAMP 5
#define STOLVO_KIND_APERTURE 6
#define STOLVO_KIND_CONDENSER 7
#define STOLVO_KIND_FOCUS 8
#define STOLVO_KIND_SERIAL_LINE 100 /* the serial line settings */

/* Field sizes: names are NUL-terminated texts of at most 59 characters. */
#define STOLVO_NAME_SIZE 60
#define STOLVO_PATH_SIZE 260

/* Slots handed out by ShtrGetInstance and FWGetInstance, numbered from 0. */
#define STOLVO_MAX_SHUTTERS 3
#define STOLVO_MAX_FILTER_WHEELS 10
#define STOLVO_MAX_WHEEL_POSITIONS 10

/* StgXYType: the stage type word; bit 0 is set when a joystick is fitted. */
#define STOLVO_XY_STAGE_TYPE 0xC00A
#define STOLVO_XY_TYPE_JOYSTICK 0x0001

/* FWGetName: the position that names the wheel itself. */
#define STOLVO_WHEEL_ITSELF (-1)

/* Mode of ShtrConfigure and FWConfigure: any value but 0 and 2 shows the page;
 * 2 saves unsaved filter set changes (FWConfigure) or does nothing (ShtrConfigure). */
#define STOLVO_PAGE_CLOSE 0
#define STOLVO_PAGE_SHOW 1
#define STOLVO_PAGE_APPLY 2

/* The host's callback, recorded by the initialise exports and never called. */
typedef int (*STOLVO_HOST_CALLBACK)(void);

/*
 * DllMain (ordinal 1) is exported as well. Only its pointer type is given: a
 * host that is itself a DLL declares a DllMain of its own.
 */
typedef BOOL(WINAPI* STOLVO_PFN_DllMain)(HINSTANCE instance, DWORD reason, LPVOID reserved);

/* XY stage. */
int WINAPI StgXYConfigure(HWND parent, int top, int show);   /* @2 */
int WINAPI StgXYInit(STOLVO_HOST_CALLBACK callback);         /* @3 */
int WINAPI StgXYType(int* type);                             /* @4 */
int WINAPI StgXYClose(void);                                 /* @5 */
int WINAPI StgXYStatus(void);                                /* @6 */
int WINAPI StgXYMove(int x, int y, int wait);                /* @7 */
int WINAPI StgXYCommand(int command);                        /* @8 */
int WINAPI StgXYReport(int* x, int* y);                      /* @9 */
int WINAPI StgXYStep(int dx, int dy);                        /* @10 */
int WINAPI StgXStep(int dx);                                 /* @11 */
int WINAPI StgYStep(int dy);                                 /* @12 */
int WINAPI StgXYOrigin(void);                                /* @13 */
int WINAPI StgXYCalib(double* x, double* y);                 /* @14 */
int WINAPI StgXYSetSpeed(int percent);                       /* @15 */
int WINAPI StgXYJoystick(int unused);                        /* @16 */
int WINAPI StgXYWrite(int unused1, int unused2);             /* @17 */
int WINAPI StgXYRead(int unused1, int unused2, int unused3); /* @18 */
int WINAPI StgXStepSize(int stepSize);                       /* @35 */
int WINAPI StgYStepSize(int stepSize);                       /* @36 */

typedef int(WINAPI* STOLVO_PFN_StgXYConfigure)(HWND parent, int top, int show);
typedef int(WINAPI* STOLVO_PFN_StgXYInit)(STOLVO_HOST_CALLBACK callback);
typedef int(WINAPI* STOLVO_PFN_StgXYType)(int* type);
typedef int(WINAPI* STOLVO_PFN_StgXYClose)(void);
typedef int(WINAPI* STOLVO_PFN_StgXYStatus)(void);
typedef int(WINAPI* STOLVO_PFN_StgXYMove)(int x, int y, int wait);
typedef int(WINAPI* STOLVO_PFN_StgXYCommand)(int command);
typedef int(WINAPI* STOLVO_PFN_StgXYReport)(int* x, int* y);
typedef int(WINAPI* STOLVO_PFN_StgXYStep)(int dx, int dy);
typedef int(WINAPI* STOLVO_PFN_StgXStep)(int dx);
typedef int(WINAPI* STOLVO_PFN_StgYStep)(int dy);
typedef int(WINAPI* STOLVO_PFN_StgXYOrigin)(void);
typedef int(WINAPI* STOLVO_PFN_StgXYCalib)(double* x, double* y);
typedef int(WINAPI* STOLVO_PFN_StgXYSetSpeed)(int percent);
typedef int(WINAPI* STOLVO_PFN_StgXYJoystick)(int unused);
typedef int(WINAPI* STOLVO_PFN_StgXYWrite)(int unused1, int unused2);
typedef int(WINAPI* STOLVO_PFN_StgXYRead)(int unused1, int unused2, int unused3);
typedef int(WINAPI* STOLVO_PFN_StgXStepSize)(int stepSize);
typedef int(WINAPI* STOLVO_PFN_StgYStepSize)(int stepSize);

/* StgXYCommand: command numbers; any other number does nothing. */
#define STOLVO_XY_SCAN_COMMAND 0  /* the controller's scan command, then wait */
#define STOLVO_XY_CORNER_ORIGIN 1 /* to (-250000, -250000), which becomes the origin */
#define STOLVO_XY_FAR_CORNER 2    /* query the stage, then to (250000, 250000) */
#define STOLVO_XY_CENTRE 3        /* run to both ends; the middle becomes the origin */
#define STOLVO_XY_TO_ORIGIN 4     /* back to (0, 0) */

/* Focus (Z) drive. */
int WINAPI StgZConfigure(HWND parent, int top, int show);   /* @19 */
int WINAPI StgZInit(STOLVO_HOST_CALLBACK callback);         /* @20 */
int WINAPI StgZClose(void);                                 /* @21 */
int WINAPI StgZStatus(void);                                /* @22 */
int WINAPI StgZMove(int z, int unused);                     /* @23 */
int WINAPI StgZReport(int* z);                              /* @24 */
int WINAPI StgZStep(int steps);                             /* @25 */
int WINAPI StgZOrigin(void);                                /* @26 */
int WINAPI StgZCalib(double* stepSize);                     /* @27 */
int WINAPI StgZSetSpeed(int speed);                         /* @28 */
int WINAPI StgZWrite(int unused1, int unused2);             /* @29 */
int WINAPI StgZRead(int unused1, int unused2, int unused3); /* @30 */
int WINAPI StgZCanAutoFocus(void);                          /* @31 */
int WINAPI StgZAutoFocus(int unused);                       /* @32 */
int WINAPI StgZStepSize(int stepSize);                      /* @37 */
int WINAPI StgZType(int* type);                             /* @38 */

typedef int(WINAPI* STOLVO_PFN_StgZConfigure)(HWND parent, int top, int show);
typedef int(WINAPI* STOLVO_PFN_StgZInit)(STOLVO_HOST_CALLBACK callback);
typedef int(WINAPI* STOLVO_PFN_StgZClose)(void);
typedef int(WINAPI* STOLVO_PFN_StgZStatus)(void);
typedef int(WINAPI* STOLVO_PFN_StgZMove)(int z, int unused);
typedef int(WINAPI* STOLVO_PFN_StgZReport)(int* z);
typedef int(WINAPI* STOLVO_PFN_StgZStep)(int steps);
typedef int(WINAPI* STOLVO_PFN_StgZOrigin)(void);
typedef int(WINAPI* STOLVO_PFN_StgZCalib)(double* stepSize);
typedef int(WINAPI* STOLVO_PFN_StgZSetSpeed)(int speed);
typedef int(WINAPI* STOLVO_PFN_StgZWrite)(int unused1, int unused2);
typedef int(WINAPI* STOLVO_PFN_StgZRead)(int unused1, int unused2, int unused3);
typedef int(WINAPI* STOLVO_PFN_StgZCanAutoFocus)(void);
typedef int(WINAPI* STOLVO_PFN_StgZAutoFocus)(int unused);
typedef int(WINAPI* STOLVO_PFN_StgZStepSize)(int stepSize);
typedef int(WINAPI* STOLVO_PFN_StgZType)(int* type);

/* Dialog procedure of the stage configuration page (XY and Z). */
INT_PTR CALLBACK StgConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam); /* @33 */

typedef INT_PTR(CALLBACK* STOLVO_PFN_StgConfigProc)(HWND page, UINT message, WPARAM wParam,
                                                    LPARAM lParam);

/* Shutters; `name` receives at least STOLVO_NAME_SIZE bytes. */
int WINAPI ShtrConfigure(HWND parent, int slot, int top, int mode); /* @50 */
int WINAPI ShtrInit(int slot, STOLVO_HOST_CALLBACK callback);       /* @51 */
int WINAPI ShtrClose(int slot);                                     /* @52 */
int WINAPI ShtrGetName(int slot, char* name);                       /* @53 */
int WINAPI ShtrSetOpen(int slot, int state);                        /* @54 */
int WINAPI ShtrGetOpen(int slot);                                   /* @55 */
int WINAPI ShtrWrite(int unused1, int unused2);                     /* @56 */
int WINAPI ShtrRead(int unused1, int unused2, int unused3);         /* @57 */
int WINAPI ShtrGetInstance(int unused);                             /* @58 */

typedef int(WINAPI* STOLVO_PFN_ShtrConfigure)(HWND parent, int slot, int top, int mode);
typedef int(WINAPI* STOLVO_PFN_ShtrInit)(int slot, STOLVO_HOST_CALLBACK callback);
typedef int(WINAPI* STOLVO_PFN_ShtrClose)(int slot);
typedef int(WINAPI* STOLVO_PFN_ShtrGetName)(int slot, char* name);
typedef int(WINAPI* STOLVO_PFN_ShtrSetOpen)(int slot, int state);
typedef int(WINAPI* STOLVO_PFN_ShtrGetOpen)(int slot);
typedef int(WINAPI* STOLVO_PFN_ShtrWrite)(int unused1, int unused2);
typedef int(WINAPI* STOLVO_PFN_ShtrRead)(int unused1, int unused2, int unused3);
typedef int(WINAPI* STOLVO_PFN_ShtrGetInstance)(int unused);

/* Filter wheels; `name` receives at least STOLVO_NAME_SIZE bytes. */
int WINAPI FWConfigure(HWND parent, int slot, int top, int mode); /* @60 */
int WINAPI FWInit(int slot, STOLVO_HOST_CALLBACK callback);       /* @61 */
int WINAPI FWClose(int slot);                                     /* @62 */
int WINAPI FWGetCount(int slot);                                  /* @63 */
int WINAPI FWGetName(int slot, int position, char* name);         /* @64 */
int WINAPI FWSetPosition(int slot, int position);                 /* @65 */
int WINAPI FWGetPosition(int slot);                               /* @66 */
int WINAPI FWWrite(int unused1, int unused2);                     /* @67 */
int WINAPI FWRead(int unused1, int unused2, int unused3);         /* @68 */
int WINAPI FWGetInstance(int unused);                             /* @69 */

typedef int(WINAPI* STOLVO_PFN_FWConfigure)(HWND parent, int slot, int top, int mode);
typedef int(WINAPI* STOLVO_PFN_FWInit)(int slot, STOLVO_HOST_CALLBACK callback);
typedef int(WINAPI* STOLVO_PFN_FWClose)(int slot);
typedef int(WINAPI* STOLVO_PFN_FWGetCount)(int slot);
typedef int(WINAPI* STOLVO_PFN_FWGetName)(int slot, int position, char* name);
typedef int(WINAPI* STOLVO_PFN_FWSetPosition)(int slot, int position);
typedef int(WINAPI* STOLVO_PFN_FWGetPosition)(int slot);
typedef int(WINAPI* STOLVO_PFN_FWWrite)(int unused1, int unused2);
typedef int(WINAPI* STOLVO_PFN_FWRead)(int unused1, int unused2, int unused3);
typedef int(WINAPI* STOLVO_PFN_FWGetInstance)(int unused);

/* Dialog procedures of the device page and of the name list dialog. */
INT_PTR CALLBACK KroConfigProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);     /* @70 */
INT_PTR CALLBACK KroNameListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam); /* @71 */

typedef INT_PTR(CALLBACK* STOLVO_PFN_KroConfigProc)(HWND page, UINT message, WPARAM wParam,
                                                    LPARAM lParam);
typedef INT_PTR(CALLBACK* STOLVO_PFN_KroNameListProc)(HWND dialog, UINT message, WPARAM wParam,
                                                      LPARAM lParam);

#ifdef __cplusplus
}
#endif

#endif /* STOLVO32_H */
