#include "ui/name_list_box.h"
#include "config/name_array.h"
#include "config/name_list_files.h"
#include "config/name_list_reader.h"
#include "config/name_lists.h"
#include "ui/combo_names.h"

int FillNameList(HWND dialog, int controlId, int kind, const char* selectName) {
    NameList names;
    names.Read(NameListFileFor(kind));
    for (size_t i = 0; i < names.count(); ++i) {
        SendDlgItemMessageA(dialog, controlId, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(names[i]));
    }
    // A search after entry 0 starts at the second entry and wraps to the first.
    const LRESULT found =
        SendDlgItemMessageA(dialog, controlId, CB_FINDSTRINGEXACT, 0,
                            reinterpret_cast<LPARAM>(selectName != nullptr ? selectName : ""));
    SendDlgItemMessageA(dialog, controlId, CB_SETCURSEL, found != CB_ERR ? found : 0, 0);
    return static_cast<int>(names.count());
}

void RewriteNameList(HWND dialog, int controlId, int kind) {
    const HWND combo = GetDlgItem(dialog, controlId);
    if (combo == nullptr) {
        return;
    }
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    NameArray names;
    for (LRESULT i = 0; i < count; ++i) {
        char name[kNameSize];
        if (!ComboEntryName(combo, i, name) || !names.Add(name)) {
            return;
        }
    }
    WriteNameList(names, kind);
}
