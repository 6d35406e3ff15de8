#include "config/name_lists.h"
#include "config/name_field.h"
#include "config/name_list_files.h"
#include "config/name_list_reader.h"
#include "core/profile_file.h"
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {
// The list as "Name%d=text" entries each ending in a NUL, from the combo box's
// entries cut to name fields. False when it does not fit in memory.
bool ListSectionText(HWND combo, std::string& text) noexcept {
    try {
        const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
        std::vector<char> entry;
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
            entry.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, '\0');
            if (length > 0) {
                SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
                entry.back() = '\0';
            }
            char key[24];
            std::snprintf(key, sizeof key, "Name%ld", static_cast<long>(i));
            text.append(key).append(1, '=').append(entry.data(), NameFieldLength(entry.data()));
            text.append(1, '\0');
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
} // namespace

int FillNameList(HWND dialog, int controlId, int kind, const char* selectName) {
    std::vector<std::string> names;
    ReadNameList(NameListFileFor(kind), names);
    for (const std::string& name : names) {
        SendDlgItemMessageA(dialog, controlId, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(name.c_str()));
    }
    // A search after entry 0 starts at the second entry and wraps to the first.
    const LRESULT found =
        SendDlgItemMessageA(dialog, controlId, CB_FINDSTRINGEXACT, 0,
                            reinterpret_cast<LPARAM>(selectName != nullptr ? selectName : ""));
    SendDlgItemMessageA(dialog, controlId, CB_SETCURSEL, found != CB_ERR ? found : 0, 0);
    return static_cast<int>(names.size());
}

void AddListName(const char* name, int kind) {
    char wanted[kNameSize];
    CopyNameField(wanted, name);
    // An empty name would not be a name of the list, only its end.
    if (wanted[0] == '\0') {
        return;
    }
    const NameListFile file = NameListFileFor(kind);
    // The host may have changed the list since it was last read.
    FlushProfileCache(file.path);
    std::vector<std::string> names;
    if (!ReadNameList(file, names)) {
        return;
    }
    for (const std::string& listed : names) {
        if (lstrcmpiA(listed.c_str(), wanted) == 0) {
            return;
        }
    }
    char key[24];
    std::snprintf(key, sizeof key, "Name%u", static_cast<unsigned>(names.size()));
    WriteProfileText(file.path, file.section, key, wanted);
}

void RewriteNameList(HWND dialog, int controlId, int kind) {
    // Without its combo box there is nothing to write the list from, and the
    // host's file stays as it is.
    const HWND combo = GetDlgItem(dialog, controlId);
    if (combo == nullptr) {
        return;
    }
    std::string text;
    if (!ListSectionText(combo, text)) {
        return;
    }
    const NameListFile file = NameListFileFor(kind);
    FlushProfileCache(file.path);
    DeleteFileA(file.path);
    // One section write instead of a key write per name: each key write
    // rewrites the whole file, which makes a long list slow.
    if (!text.empty()) {
        WritePrivateProfileSectionA(file.section, text.c_str(), file.path);
    }
    FlushProfileCache(file.path);
}
