#include "config/set_archive.h"
#include <windows.h>

bool IsFilterSetArchived(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void SetFilterSetArchived(const char* path, bool archived) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    // FILE_ATTRIBUTE_NORMAL is valid only alone: dropped while another
    // attribute stays, given when none is left.
    DWORD wanted = archived ? attributes | FILE_ATTRIBUTE_READONLY
                            : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    wanted &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(path, wanted != 0 ? wanted : FILE_ATTRIBUTE_NORMAL);
}

bool MayChangeFilterSet(const char* path, const char* setName, ArchivedSetChange change,
                        SetConsent& consent) {
    if (!IsFilterSetArchived(path)) {
        return true;
    }
    if (!consent.MayUnarchive(change, setName)) {
        return false;
    }
    SetFilterSetArchived(path, false);
    return true;
}
