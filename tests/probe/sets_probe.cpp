// Test build exports for the filter sets, the filter wheel page's set
// operations and the default configuration.
#include "config/device_kind.h"
#include "config/device_store.h"
#include "config/filter_sets.h"
#include "config/set_archive.h"
#include "config/trim_blanks.h"
#include "ui/apply_defaults.h"
#include "ui/device_page_state.h"
#include "ui/set_questions.h"
#include "ui/wheel_page_sets.h"

namespace {
// The wheel page state that the page-level set operations work on, for the
// tests' own wheel page (a dialog of the template without the page's procedure).
DevicePage testPage{};
} // namespace

extern "C" {
int WINAPI ProbeListFilterSets(HWND dialog, int controlId) {
    return ListFilterSets(dialog, controlId);
}
int WINAPI ProbeSaveFilterSet(int slot, HWND owner) {
    OwnerConsent consent(owner);
    return SaveFilterSet(slot, consent);
}
int WINAPI ProbeDeleteFilterSet(HWND dialog) {
    return DeleteFilterSet(dialog);
}
int WINAPI ProbeIsFilterSetArchived(const char* path) {
    return IsFilterSetArchived(path) ? 1 : 0;
}
void WINAPI ProbeSetFilterSetArchived(const char* path, int archived) {
    SetFilterSetArchived(path, archived != 0);
}
char* WINAPI ProbeTrimBlanks(char* text) {
    return TrimBlanks(text);
}
void WINAPI ProbeSaveWheelFromPage(int slot, HWND dialog) {
    SaveWheelFromPage(slot, dialog);
}
void WINAPI ProbeLoadWheelFromPage(HWND dialog, int slot) {
    LoadWheelFromPage(dialog, slot);
}
void WINAPI ProbeReselectSavedSet(HWND dialog) {
    ReselectSavedSet(dialog, testPage);
}
void WINAPI ProbeShowWheelPositions(int slot, HWND dialog) {
    ShowWheelPositions(slot, dialog);
}
void WINAPI ProbeArchiveWheelSet(HWND dialog) {
    ArchiveWheelSet(dialog, testPage);
}
void WINAPI ProbeApplyDefaults(HWND owner, int kind, int slot) {
    ApplyDefaults(owner, kind, slot);
}
void WINAPI ProbeStoreDeviceRecords(HWND owner, int kind, int slot) {
    OwnerConsent consent(owner);
    StoreDeviceRecords(kind, slot, consent);
}
void WINAPI ProbeSetWheelPage(int slot, int dirty) {
    testPage.kind = STOLVO_KIND_FILTER_WHEEL;
    testPage.slot = slot;
    testPage.filterSetDirty = dirty != 0;
}
int WINAPI ProbeFilterSetDirty() {
    return testPage.filterSetDirty ? 1 : 0;
}
}
