#include "config/name_lists.h"
#include "config/name_field.h"
#include "config/name_list_files.h"
#include "config/name_list_reader.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include <cstdio>
#include <cstring>

namespace {
// The list as "Name%d=text" entries each ending in a NUL and a final NUL.
// False when it does not fit in memory.
bool ListSectionText(const NameArray& names, HeapBlock& text) {
    size_t used = 0;
    for (size_t i = 0; i < names.count(); ++i) {
        char key[24];
        const int keyLength = std::snprintf(key, sizeof key, "Name%ld", static_cast<long>(i));
        const size_t nameLength = std::strlen(names[i]);
        const size_t needed = used + static_cast<size_t>(keyLength) + 1 + nameLength + 2;
        if (text.size() < needed && !text.Resize(needed * 2)) {
            return false;
        }
        char* at = text.get() + used;
        std::memcpy(at, key, static_cast<size_t>(keyLength));
        at[keyLength] = '=';
        std::memcpy(at + keyLength + 1, names[i], nameLength + 1);
        used = needed - 1;
    }
    if (!text.Resize(used + 1)) {
        return false;
    }
    text.get()[used] = '\0';
    return true;
}
// Puts file `fresh` in the place of `target`. An existing target is replaced
// as a whole, keeping its attributes, also while another program holds it open
// with delete sharing (where a rename over it fails); a missing one is made.
bool PutInPlace(const char* fresh, const char* target) {
    if (GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExA(fresh, target, MOVEFILE_WRITE_THROUGH) != 0;
    }
    return ReplaceFileA(target, fresh, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr) != 0;
}

// Writes the list into a new file beside the old one and then puts it in the
// old one's place, so that a failure at any step (a full disk, a file that
// another program holds open) leaves the old list whole. The one section
// write beats a key write per name: each key write rewrites the whole file.
void WriteListBeside(const NameListFile& file, const char* sectionText) {
    char folder[kPathSize];
    std::strncpy(folder, file.path, sizeof folder - 1);
    folder[sizeof folder - 1] = '\0';
    char* lastSlash = std::strrchr(folder, '\\');
    if (lastSlash == nullptr) {
        return;
    }
    lastSlash[1] = '\0';
    char fresh[kPathSize];
    if (GetTempFileNameA(folder, "kro", 0, fresh) == 0) {
        return;
    }
    const bool written = WritePrivateProfileSectionA(file.section, sectionText, fresh) != 0;
    FlushProfileCache(fresh);
    if (!written || !PutInPlace(fresh, file.path)) {
        DeleteFileA(fresh);
    }
}
} // namespace

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
    NameList names;
    if (!names.Read(file)) {
        return;
    }
    for (size_t i = 0; i < names.count(); ++i) {
        if (lstrcmpiA(names[i], wanted) == 0) {
            return;
        }
    }
    char key[24];
    std::snprintf(key, sizeof key, "Name%u", static_cast<unsigned>(names.count()));
    WriteProfileText(file.path, file.section, key, wanted);
}

void WriteNameList(const NameArray& names, int kind) {
    HeapBlock text;
    if (!ListSectionText(names, text)) {
        return;
    }
    const NameListFile file = NameListFileFor(kind);
    FlushProfileCache(file.path);
    if (text.get()[0] == '\0') {
        // An empty list leaves no file.
        DeleteFileA(file.path);
    } else {
        WriteListBeside(file, text.get());
    }
    FlushProfileCache(file.path);
}
