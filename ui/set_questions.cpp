#include "ui/set_questions.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "ui/resource_ids.h"
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

bool OwnerConsent::MayUnarchive(ArchivedSetChange change, const char* setName) {
    const bool saving = change == ArchivedSetChange::Save;
    // The two texts share one buffer: the caption is copied before the
    // question is loaded.
    char caption[kTextSize];
    std::strncpy(caption,
                 LoadResourceText(saving ? IDS_SAVE_ARCHIVED_CAPTION : IDS_DELETE_ARCHIVED_CAPTION),
                 sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    char question[kTextSize + kNameSize];
    FillInSetName(LoadResourceText(saving ? IDS_SAVE_ARCHIVED_SET : IDS_DELETE_ARCHIVED_SET),
                  setName, question);
    return MessageBoxA(owner_, question, caption, MB_YESNO | MB_ICONWARNING) == IDYES;
}
