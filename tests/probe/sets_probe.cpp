// Test build exports for the filter sets, the filter wheel page's set
// operations and the default configuration.
#include "config/default_config.h"
#include "config/device_store.h"
#include "config/filter_sets.h"
#include "config/set_archive.h"
#include "config/set_files.h"
#include "config/trim_blanks.h"
#include "config/wheel_page_sets.h"
#include "ui/page_state.h"

extern "C" {
int WINAPI ProbeListFilterSets(HWND dialog, int controlId) {
    return ListFilterSets(dialog, controlId);
}
int WINAPI ProbeSaveFilterSet(int slot, HWND owner) {
    return SaveFilterSet(slot, owner);
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
    ReselectSavedSet(dialog);
}
void WINAPI ProbeShowWheelPositions(int slot, HWND dialog) {
    ShowWheelPositions(slot, dialog);
}
void WINAPI ProbeArchiveWheelSet(HWND dialog) {
    ArchiveWheelSet(dialog);
}
void WINAPI ProbeApplyDefaults(HWND owner, int kind, int slot) {
    ApplyDefaults(owner, kind, slot);
}
void WINAPI ProbeStoreDeviceRecords(HWND owner, int kind, int slot) {
    StoreDeviceRecords(owner, kind, slot);
}
void WINAPI ProbeSetWheelPage(int slot, int dirty) {
    CurrentDeviceIndex = slot;
    FilterSetDirty = dirty != 0;
}
int WINAPI ProbeFilterSetDirty() {
    return FilterSetDirty ? 1 : 0;
}
}
