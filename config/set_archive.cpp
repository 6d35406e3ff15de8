#include "config/set_archive.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "ui/resource_text.h"
#include <cstring>

namespace {
constexpr size_t kTextSize = 256;

// The question with the set name in place of its first "%s". The text is
// never used as a format, so a stray "%" in it prints as itself.
void FillInSetName(const char* question, const char* setName, char (&out)[kTextSize + kNameSize]) {
    size_t at = 0;
    const auto append = [&](const char* text, size_t length) {
        const size_t room = sizeof out - 1 - at;
        const size_t count = length < room ? length : room;
        std::memcpy(out + at, text, count);
        at += count;
    };
    const char* mark = std::strstr(question, "%s");
    if (mark == nullptr) {
        append(question, std::strlen(question));
    } else {
        append(question, static_cast<size_t>(mark - question));
        append(setName, NameFieldLength(setName));
        append(mark + 2, std::strlen(mark + 2));
    }
    out[at] = '\0';
}
} // namespace

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

bool MayChangeFilterSet(HWND owner, const char* path, const char* setName, int questionId,
                        int captionId) {
    if (!IsFilterSetArchived(path)) {
        return true;
    }
    // The two texts share one buffer: the caption is copied before the
    // question is loaded.
    char caption[kTextSize];
    std::strncpy(caption, LoadResourceText(captionId), sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    char question[kTextSize + kNameSize];
    FillInSetName(LoadResourceText(questionId), setName, question);
    if (MessageBoxA(owner, question, caption, MB_YESNO | MB_ICONWARNING) != IDYES) {
        return false;
    }
    SetFilterSetArchived(path, false);
    return true;
}
