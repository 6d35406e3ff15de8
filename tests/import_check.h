/*
 * How the running program's imports from STolvo32.dll were bound, read from
 * its own import table. Each import must be by name and must hold the address
 * that GetProcAddress gives for that name: Wine's loader binds a name the
 * driver does not export to a stub that aborts only when called, where
 * Windows refuses to start the program, so the table is checked here. C90
 * and without the C runtime, for programs linked without one.
 */
#ifndef IMPORT_CHECK_H
#define IMPORT_CHECK_H
#include <windows.h>

/* The number of imports from the driver bound to its export of that name;
 * `wrong` receives the number of the others (by ordinal, or bound elsewhere). */
static int DriverImportsBound(int* wrong) {
    const BYTE* base = (const BYTE*)GetModuleHandleA(NULL);
    const IMAGE_NT_HEADERS32* nt =
        (const IMAGE_NT_HEADERS32*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY* directory =
        &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const IMAGE_IMPORT_DESCRIPTOR* module =
        (const IMAGE_IMPORT_DESCRIPTOR*)(base + directory->VirtualAddress);
    HMODULE driver = GetModuleHandleA("STolvo32.dll");
    int bound = 0;
    *wrong = 0;
    for (; directory->VirtualAddress != 0 && module->Name != 0; ++module) {
        const IMAGE_THUNK_DATA32* names;
        const IMAGE_THUNK_DATA32* addresses;
        if (lstrcmpiA((const char*)(base + module->Name), "STolvo32.dll") != 0) {
            continue;
        }
        names = (const IMAGE_THUNK_DATA32*)(base + module->OriginalFirstThunk);
        addresses = (const IMAGE_THUNK_DATA32*)(base + module->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            const IMAGE_IMPORT_BY_NAME* byName;
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal) || driver == NULL) {
                ++*wrong;
                continue;
            }
            byName = (const IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if ((DWORD_PTR)GetProcAddress(driver, (const char*)byName->Name) ==
                (DWORD_PTR)addresses->u1.Function) {
                ++bound;
            } else {
                ++*wrong;
            }
        }
    }
    return bound;
}

#endif
