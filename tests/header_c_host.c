/*
 * A host written in C against include/STolvo32.h: it loads a copy of the
 * driver at run time, fetches exports through the header's pointer types
 * and checks their results with the header's constants. Built as C90, so the
 * header must not need anything newer or any C++.
 */
#include <stdio.h>
#include <string.h>
#include <ole2.h>
#include "STolvo32.h"

static int failures = 0;

static void Expect(int ok, const char* what, long seen) {
    printf("%s %s (seen %ld)\n", ok ? "ok  " : "FAIL", what, seen);
    if (!ok) {
        ++failures;
    }
}

static int HostReady(void) {
    return 0;
}

/* Paths here are built from a folder of at most MAX_PATH characters. */
#define PATH_BUFFER (2 * MAX_PATH)

/* The folder of this program, with a trailing backslash. */
static void ProgramFolder(char* folder) {
    char* slash;
    GetModuleFileNameA(NULL, folder, MAX_PATH);
    slash = strrchr(folder, '\\');
    slash[1] = '\0';
}

static void InFolder(char* path, const char* folder, const char* file) {
    lstrcpyA(path, folder);
    lstrcatA(path, file);
}

static void Ini(const char* folder, const char* section, const char* key, const char* value) {
    char path[PATH_BUFFER];
    InFolder(path, folder, "STolvo.INI");
    WritePrivateProfileStringA(section, key, value, path);
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
}

#define FETCH(name) ((STOLVO_PFN_##name)GetProcAddress(driver, #name))

static void Session(HMODULE driver, const char* folder) {
    STOLVO_PFN_StgXYType stgXYType = FETCH(StgXYType);
    STOLVO_PFN_StgZType stgZType = FETCH(StgZType);
    STOLVO_PFN_StgXYInit stgXYInit = FETCH(StgXYInit);
    STOLVO_PFN_StgXYCalib stgXYCalib = FETCH(StgXYCalib);
    STOLVO_PFN_ShtrGetInstance shtrGetInstance = FETCH(ShtrGetInstance);
    STOLVO_PFN_ShtrInit shtrInit = FETCH(ShtrInit);
    STOLVO_PFN_ShtrGetName shtrGetName = FETCH(ShtrGetName);
    STOLVO_PFN_ShtrSetOpen shtrSetOpen = FETCH(ShtrSetOpen);
    STOLVO_PFN_ShtrGetOpen shtrGetOpen = FETCH(ShtrGetOpen);
    STOLVO_PFN_ShtrClose shtrClose = FETCH(ShtrClose);
    STOLVO_PFN_FWGetInstance fwGetInstance = FETCH(FWGetInstance);
    STOLVO_PFN_FWGetName fwGetName = FETCH(FWGetName);
    STOLVO_PFN_StgConfigProc stgConfigProc = FETCH(StgConfigProc);
    STOLVO_HOST_CALLBACK callback = HostReady;
    char name[STOLVO_NAME_SIZE];
    char longName[2 * STOLVO_NAME_SIZE];
    const char* end;
    int type = -1;
    double x = 0.0;
    double y = 0.0;
    int i;
    int result;

    if (!stgXYType || !stgZType || !stgXYInit || !stgXYCalib || !shtrGetInstance || !shtrInit ||
        !shtrGetName || !shtrSetOpen || !shtrGetOpen || !shtrClose || !fwGetInstance ||
        !fwGetName || !stgConfigProc) {
        Expect(0, "every export used here is found by name", 0);
        return;
    }

    result = stgXYType(&type);
    Expect(result == STOLVO_OK && type == (STOLVO_XY_STAGE_TYPE | STOLVO_XY_TYPE_JOYSTICK),
           "StgXYType reports the stage type with a joystick", type);
    type = 77;
    result = stgZType(&type);
    Expect(result == STOLVO_OK && type == 0, "StgZType reports 0", type);

    /* A step size but no port: nothing is contacted. */
    Ini(folder, "Tolvo Stage", "StageStep", "3");
    result = stgXYInit(callback);
    Expect(result == STOLVO_NOT_CONFIGURED, "StgXYInit without a port", result);
    result = stgXYCalib(&x, &y);
    Expect(result == STOLVO_OK && x == 0.5 && y == 0.5, "StgXYCalib gives the chosen step 0.5",
           (long)(x * 1000));

    for (i = 0; i < STOLVO_MAX_SHUTTERS; ++i) {
        result = shtrGetInstance(0);
        Expect(result == i, "ShtrGetInstance hands out the next slot", result);
    }
    result = shtrGetInstance(0);
    Expect(result == STOLVO_BAD_SLOT, "ShtrGetInstance with no slot left", result);
    for (i = 0; i < STOLVO_MAX_FILTER_WHEELS; ++i) {
        result = fwGetInstance(0);
        Expect(result == i, "FWGetInstance hands out the next slot", result);
    }
    result = fwGetInstance(0);
    Expect(result == STOLVO_BAD_SLOT, "FWGetInstance with no slot left", result);
    result = fwGetName(0, STOLVO_WHEEL_ITSELF, name);
    Expect(result == STOLVO_BAD_SLOT, "FWGetName of a wheel without a set", result);
    result = shtrGetName(0, name);
    Expect(result == STOLVO_BAD_SLOT, "ShtrGetName before ShtrInit", result);

    /* A port and a shutter whose name is longer than a name field holds. */
    memset(longName, 'N', sizeof longName - 1);
    longName[sizeof longName - 1] = '\0';
    Ini(folder, "Tolvo Stage", "Port", "0");
    Ini(folder, "Shutter1", "Name", longName);
    Ini(folder, "Shutter1", "ShutterNumber", "0");
    result = shtrInit(0, callback);
    Expect(result == STOLVO_OK, "ShtrInit against the simulator", result);
    memset(name, 'x', sizeof name);
    result = shtrGetName(0, name);
    end = (const char*)memchr(name, '\0', sizeof name);
    Expect(result == STOLVO_OK && end == name + STOLVO_NAME_SIZE - 1 &&
               strspn(name, "N") == STOLVO_NAME_SIZE - 1,
           "ShtrGetName fills a name field with the name cut to 59 characters",
           end != NULL ? (long)(end - name) : -1L);
    result = shtrSetOpen(0, 1);
    Expect(result == STOLVO_OK, "ShtrSetOpen opens", result);
    result = shtrGetOpen(0);
    Expect(result == 1, "ShtrGetOpen reports it open", result);
    result = shtrGetOpen(STOLVO_MAX_SHUTTERS);
    Expect(result == STOLVO_BAD_SLOT, "ShtrGetOpen of a slot beyond the last", result);
    result = shtrClose(0);
    Expect(result == STOLVO_OK, "ShtrClose", result);

    result = (int)stgConfigProc(NULL, WM_NULL, 0, 0);
    Expect(result == FALSE, "StgConfigProc leaves other messages alone", result);
}

int main(void) {
    char bin[PATH_BUFFER];
    char temp[PATH_BUFFER];
    char own[32];
    char folder[PATH_BUFFER];
    char source[PATH_BUFFER];
    char copy[PATH_BUFFER];
    char ini[PATH_BUFFER];
    HMODULE driver;

    /* A copy in a folder of its own keeps the settings file out of the build. */
    ProgramFolder(bin);
    GetTempPathA(MAX_PATH, temp);
    sprintf(own, "stolvo-c-host-%lu\\", GetCurrentProcessId());
    InFolder(folder, temp, own);
    CreateDirectoryA(folder, NULL);
    InFolder(source, bin, "STolvo32.dll");
    InFolder(copy, folder, "STolvo32.dll");
    InFolder(ini, folder, "STolvo.INI");
    if (!CopyFileA(source, copy, FALSE)) {
        printf("FAIL cannot copy %s\n", source);
        return 1;
    }
    if (FAILED(OleInitialize(NULL))) {
        printf("FAIL OLE could not be initialised\n");
        return 1;
    }
    driver = LoadLibraryA(copy);
    if (driver == NULL) {
        printf("FAIL cannot load %s\n", copy);
        return 1;
    }
    Session(driver, folder);
    FreeLibrary(driver);
    OleUninitialize();

    DeleteFileA(copy);
    DeleteFileA(ini);
    RemoveDirectoryA(folder);
    printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}
