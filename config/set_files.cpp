#include "config/set_files.h"
#include "config/combo_names.h"
#include "config/filter_sets.h"
#include "config/name_field.h"
#include "config/set_archive.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"
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

int ListFilterSets(HWND dialog, int controlId) {
    const HWND combo = GetDlgItem(dialog, controlId);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    char pattern[kPathSize];
    BuildModuleFilePath("*.TolvoFW", pattern);
    int count = 0;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                continue;
            }
            char name[kNameSize];
            SetNameOf(found.cFileName, name);
            if (!IsUsableSetName(name)) {
                continue;
            }
            SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(name));
            ++count;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    FitDropDown(combo);
    return count;
}

int DeleteFilterSet(HWND dialog) {
    char setName[kNameSize];
    if (!SelectedComboName(GetDlgItem(dialog, IDC_FILTER_SET), setName) || setName[0] == '\0') {
        return 0;
    }
    char path[kPathSize];
    if (!FilterSetPath(setName, path)) {
        return 0;
    }
    // A cached copy of the file would outlive it and could be written back.
    FlushProfileCache(path);
    if (!MayChangeFilterSet(dialog, path, setName, IDS_DELETE_ARCHIVED_SET,
                            IDS_DELETE_ARCHIVED_CAPTION)) {
        return 0;
    }
    DeleteFileA(path);
    return 1;
}
