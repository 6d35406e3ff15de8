#include "ui/apply_defaults.h"
#include "config/default_config.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include "ui/set_questions.h"
#include <cstring>

void ApplyDefaults(HWND owner, int kind, int slot) {
    OwnerConsent consent(owner);
    if (!GiveDefaults(kind, slot, consent)) {
        return;
    }
    // The two texts share one buffer: the caption is copied first.
    char caption[256];
    std::strncpy(caption, LoadResourceText(IDS_CAPTION), sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    MessageBoxA(owner, LoadResourceText(IDS_DEFAULTS_APPLIED), caption, MB_OK | MB_ICONINFORMATION);
}
