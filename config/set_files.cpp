#include "config/set_files.h"
#include "config/filter_sets.h"
#include "config/name_field.h"
#include "config/set_archive.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include <cstring>

namespace {
// The set name of a set file's name: everything before its last dot.
void SetNameOf(const char* fileName, char (&name)[kNameSize]) {
    char cut[MAX_PATH];
    std::strncpy(cut, fileName, sizeof cut - 1);
    cut[sizeof cut - 1] = '\0';
    char* dot = std::strrchr(cut, '.');
    if (dot != nullptr) {
        *dot = '\0';
    }
    CopyNameField(name, cut);
}
} // namespace

void FindFilterSets(NameArray& names) {
    char pattern[kPathSize];
    BuildModuleFilePath("*.TolvoFW", pattern);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        char name[kNameSize];
        SetNameOf(found.cFileName, name);
        if (IsUsableSetName(name) && !names.Add(name)) {
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int DeleteFilterSetNamed(const char* setName, SetConsent& consent) {
    char name[kNameSize];
    CopyNameField(name, setName);
    char path[kPathSize];
    if (name[0] == '\0' || !FilterSetPath(name, path)) {
        return 0;
    }
    // A cached copy of the file would outlive it and could be written back.
    FlushProfileCache(path);
    if (!MayChangeFilterSet(path, name, ArchivedSetChange::Delete, consent)) {
        return 0;
    }
    DeleteFileA(path);
    return 1;
}
