/*
 * A host written in C against include/STolvo32.h and linked through the
 * kit's import library (libSTolvo32.a), as an integrator's host is. It
 * imports every export and checks that each was bound by name to the
 * driver's export (import_check.h), calls each device family against the
 * simulator and checks the results with the header's constants and
 * StolvoResultText. Built as C90, so the header must
 * not need anything newer or any C++.
 *
 * Run without arguments, it copies itself and the driver into a new folder
 * and runs the copy there with "session", so that the driver's settings
 * files land in that folder and not beside the build.
 */
#include <stdio.h>
#include <string.h>
#include <ole2.h>
#include "STolvo32.h"
#include "import_check.h"

/* Every export, so that the program imports all of them: a definition with
 * external linkage, which neither the compiler nor the linker drops. */
typedef void (*AnyExport)(void);
#define STOLVO_EXPORT(name) (AnyExport) & name,
extern const AnyExport everyExport[];
const AnyExport everyExport[] = {
#include "stolvo_exports.h"
};

static int failures = 0;

static void Expect(int ok, const char* what, long seen) {
    printf("%s %s (seen %ld)\n", ok ? "ok  " : "FAIL", what, seen);
    if (!ok) {
        ++failures;
    }
}

/* A status code with its meaning from the header. */
static void ExpectCode(int code, int expected, const char* what) {
    printf("%s %s: %d, %s\n", code == expected ? "ok  " : "FAIL", what, code,
           StolvoResultText(code));
    if (code != expected) {
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

static void Profile(const char* folder, const char* file, const char* section, const char* key,
                    const char* value) {
    char path[PATH_BUFFER];
    InFolder(path, folder, file);
    WritePrivateProfileStringA(section, key, value, path);
    WritePrivateProfileStringA(NULL, NULL, NULL, path);
}

static void Ini(const char* folder, const char* section, const char* key, const char* value) {
    Profile(folder, "STolvo.INI", section, key, value);
}

static void ResultTexts(void) {
    static const int codes[] = {STOLVO_OK,          STOLVO_NOT_BOUND,
                                STOLVO_LINK_FAILED, STOLVO_NOT_CONFIGURED,
                                STOLVO_BAD_SLOT,    STOLVO_BAD_POSITION};
    static const char* const starts[] = {"done",           "not bound", "link failed",
                                         "not configured", "bad slot",  "bad position"};
    int i;
    for (i = 0; i < (int)(sizeof codes / sizeof codes[0]); ++i) {
        Expect(strncmp(StolvoResultText(codes[i]), starts[i], strlen(starts[i])) == 0,
               StolvoResultText(codes[i]), codes[i]);
    }
    Expect(strcmp(StolvoResultText(7), "unknown result code") == 0, "an unknown code", 7);
}

static void Stage(const char* folder) {
    int type = -1;
    int x = 0;
    int y = 0;
    int z = 0;
    double cx = 0.0;
    double cy = 0.0;

    ExpectCode(StgXYType(&type), STOLVO_OK, "StgXYType");
    Expect(type == (STOLVO_XY_STAGE_TYPE | STOLVO_XY_TYPE_JOYSTICK),
           "the stage type with a joystick", type);
    type = 77;
    ExpectCode(StgZType(&type), STOLVO_OK, "StgZType");
    Expect(type == 0, "StgZType reports 0", type);

    /* A step size but no port: nothing is contacted. */
    Ini(folder, "Tolvo Stage", "StageStep", "3");
    ExpectCode(StgXYInit(HostReady), STOLVO_NOT_CONFIGURED, "StgXYInit without a port");
    ExpectCode(StgXYCalib(&cx, &cy), STOLVO_OK, "StgXYCalib");
    Expect(cx == 0.5 && cy == 0.5, "the chosen step 0.5", (long)(cx * 1000));

    Ini(folder, "Tolvo Stage", "Port", "0");
    ExpectCode(StgXYInit(HostReady), STOLVO_OK, "StgXYInit against the simulator");
    ExpectCode(StgXYMove(1000, -250, 1), STOLVO_OK, "StgXYMove, waited");
    ExpectCode(StgXYReport(&x, &y), STOLVO_OK, "StgXYReport");
    Expect(x == 1000 && y == -250, "the stage where it was sent", (long)x);

    /* The host's hardware file does not give the focus to the driver: the
     * focus runs on the stage's link. */
    ExpectCode(StgZInit(HostReady), STOLVO_OK, "StgZInit");
    ExpectCode(StgZMove(40, 0), STOLVO_OK, "StgZMove");
    ExpectCode(StgZStep(-3), STOLVO_OK, "StgZStep");
    ExpectCode(StgZReport(&z), STOLVO_OK, "StgZReport");
    Expect(z == 37, "the focus where it was sent", z);
    ExpectCode(StgZClose(), STOLVO_OK, "StgZClose");
    ExpectCode(StgXYClose(), STOLVO_OK, "StgXYClose");
}

static void Shutters(const char* folder) {
    char name[STOLVO_NAME_SIZE];
    char longName[2 * STOLVO_NAME_SIZE];
    const char* end;
    int i;

    for (i = 0; i < STOLVO_MAX_SHUTTERS; ++i) {
        Expect(ShtrGetInstance(0) == i, "ShtrGetInstance hands out the next slot", i);
    }
    ExpectCode(ShtrGetInstance(0), STOLVO_BAD_SLOT, "ShtrGetInstance with no slot left");
    ExpectCode(ShtrGetName(0, name), STOLVO_BAD_SLOT, "ShtrGetName before ShtrInit");

    /* A shutter whose name is longer than a name field holds. */
    memset(longName, 'N', sizeof longName - 1);
    longName[sizeof longName - 1] = '\0';
    Ini(folder, "Shutter1", "Name", longName);
    Ini(folder, "Shutter1", "ShutterNumber", "0");
    ExpectCode(ShtrInit(0, HostReady), STOLVO_OK, "ShtrInit against the simulator");
    memset(name, 'x', sizeof name);
    ExpectCode(ShtrGetName(0, name), STOLVO_OK, "ShtrGetName");
    end = (const char*)memchr(name, '\0', sizeof name);
    Expect(end == name + STOLVO_NAME_SIZE - 1 && strspn(name, "N") == STOLVO_NAME_SIZE - 1,
           "a name field with the name cut to 59 characters",
           end != NULL ? (long)(end - name) : -1L);
    ExpectCode(ShtrSetOpen(0, 1), STOLVO_OK, "ShtrSetOpen");
    i = ShtrGetOpen(0);
    Expect(i == 1, "ShtrGetOpen reports it open", i);
    ExpectCode(ShtrGetOpen(STOLVO_MAX_SHUTTERS), STOLVO_BAD_SLOT,
               "ShtrGetOpen of a slot beyond the last");
    ExpectCode(ShtrClose(0), STOLVO_OK, "ShtrClose");
}

static void Wheels(const char* folder) {
    char name[STOLVO_NAME_SIZE];
    char key[32];
    char value[32];
    int i;

    for (i = 0; i < STOLVO_MAX_FILTER_WHEELS; ++i) {
        Expect(FWGetInstance(0) == i, "FWGetInstance hands out the next slot", i);
    }
    ExpectCode(FWGetInstance(0), STOLVO_BAD_SLOT, "FWGetInstance with no slot left");
    ExpectCode(FWGetName(0, STOLVO_WHEEL_ITSELF, name), STOLVO_BAD_SLOT,
               "FWGetName of a wheel without a set");

    for (i = 1; i <= STOLVO_MAX_WHEEL_POSITIONS; ++i) {
        sprintf(key, "Position%dName", i);
        sprintf(value, "Filter %d", i);
        Profile(folder, "Blue.TolvoFW", "FilterWheel1", key, value);
    }
    Ini(folder, "FilterWheel1", "Name", "Blue");
    ExpectCode(FWInit(0, HostReady), STOLVO_OK, "FWInit against the simulator");
    i = FWGetCount(0);
    Expect(i == STOLVO_MAX_WHEEL_POSITIONS, "FWGetCount", i);
    ExpectCode(FWSetPosition(0, 3), STOLVO_OK, "FWSetPosition");
    i = FWGetPosition(0);
    Expect(i == 3, "FWGetPosition", i);
    ExpectCode(FWGetName(0, 3, name), STOLVO_OK, "FWGetName of a position");
    Expect(strcmp(name, "Filter 4") == 0, "the position's name", (long)strlen(name));
    ExpectCode(FWSetPosition(0, STOLVO_MAX_WHEEL_POSITIONS), STOLVO_BAD_POSITION,
               "FWSetPosition beyond the last position");
    ExpectCode(FWClose(0), STOLVO_OK, "FWClose");
}

static int Session(void) {
    char folder[PATH_BUFFER];
    int bound;
    int wrong;
    ProgramFolder(folder);
    if (FAILED(OleInitialize(NULL))) {
        printf("FAIL OLE could not be initialised\n");
        return 1;
    }
    bound = DriverImportsBound(&wrong);
    Expect(bound == (int)(sizeof everyExport / sizeof everyExport[0]) && wrong == 0,
           "every export but DllMain imported by name and bound to the driver's export", bound);
    ResultTexts();
    Stage(folder);
    Shutters(folder);
    Wheels(folder);
    Expect(StgConfigProc(NULL, WM_NULL, 0, 0) == FALSE, "StgConfigProc leaves other messages alone",
           0);
    Expect(KroConfigProc(NULL, WM_NULL, 0, 0) == FALSE, "KroConfigProc leaves other messages alone",
           0);
    OleUninitialize();
    printf("%d failure(s)\n", failures);
    return failures == 0 ? 0 : 1;
}

/* Copies `file` from `from` to `to`; FALSE when it cannot. */
static int CopyInto(const char* from, const char* to, const char* file) {
    char source[PATH_BUFFER];
    char copy[PATH_BUFFER];
    InFolder(source, from, file);
    InFolder(copy, to, file);
    if (!CopyFileA(source, copy, FALSE)) {
        printf("FAIL cannot copy %s\n", source);
        return 0;
    }
    return 1;
}

static void RemoveFolder(const char* folder) {
    static const char* const files[] = {"header_c_host.exe", "STolvo32.dll", "STolvo.INI",
                                        "Blue.TolvoFW"};
    char path[PATH_BUFFER];
    int i;
    for (i = 0; i < (int)(sizeof files / sizeof files[0]); ++i) {
        InFolder(path, folder, files[i]);
        DeleteFileA(path);
    }
    RemoveDirectoryA(folder);
}

int main(int argc, char** argv) {
    char bin[PATH_BUFFER];
    char temp[PATH_BUFFER];
    char own[32];
    char folder[PATH_BUFFER];
    char command[3 * PATH_BUFFER];
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD status = 1;

    if (argc == 2 && strcmp(argv[1], "session") == 0) {
        return Session();
    }
    ProgramFolder(bin);
    GetTempPathA(MAX_PATH, temp);
    sprintf(own, "stolvo-c-host-%lu\\", GetCurrentProcessId());
    InFolder(folder, temp, own);
    CreateDirectoryA(folder, NULL);
    if (!CopyInto(bin, folder, "header_c_host.exe") || !CopyInto(bin, folder, "STolvo32.dll")) {
        RemoveFolder(folder);
        return 1;
    }
    sprintf(command, "\"%sheader_c_host.exe\" session", folder);
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        printf("FAIL cannot start %s\n", command);
        RemoveFolder(folder);
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    RemoveFolder(folder);
    return (int)status;
}
