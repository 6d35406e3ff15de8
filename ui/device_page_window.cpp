#include "ui/device_page_window.h"
#include "config/device_kind.h"
#include "config/wheel_page_sets.h"
#include "core/module_state.h"
#include "ui/device_page.h"
#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include "ui/waiting_configure_calls.h"
#include "ui/wheel_page.h"
#include <cstring>

namespace {
int TemplateOf(int kind) {
    switch (kind) {
    case STOLVO_KIND_SHUTTER:
        return IDD_SHUTTER_PAGE;
    case STOLVO_KIND_FILTER_WHEEL:
        return IDD_WHEEL_PAGE;
    default:
        return IDD_Z_PAGE;
    }
}

// The device page, or nullptr; a page gone with its host window counts as none.
HWND ExistingPage() {
    if (DevicePageWindow != nullptr && !IsWindow(DevicePageWindow)) {
        DevicePageWindow = nullptr;
    }
    return DevicePageWindow;
}

bool IsWheelPage() {
    return CurrentPageKind == STOLVO_KIND_FILTER_WHEEL;
}

// A name typed into the position box counts as a change of the set.
void TakeTypedPositionName(HWND page) {
    if (IsWheelPage() && PositionNameEdited) {
        CommitPositionName(page);
        MarkSetChanged(page);
    }
}

bool WantsSaveNow(HWND page) {
    // The two texts share one buffer: the caption is copied first.
    char caption[80];
    std::strncpy(caption, LoadResourceText(IDS_CAPTION), sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    return MessageBoxA(page, LoadResourceText(IDS_SAVE_SET_NOW), caption,
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Yes saves the wheel's set from the page; No reloads it from its file.
void SettleWheelSet(HWND page) {
    TakeTypedPositionName(page);
    if (IsWheelPage() && FilterSetDirty) {
        const PageDevice asked = NotePageDevice(page);
        const bool save = WantsSaveNow(page);
        // A page gone meanwhile has no set name left to save under.
        if (StillStandsFor(asked)) {
            if (save) {
                SaveWheelFromPage(CurrentDeviceIndex, page);
            } else {
                LoadWheelFromPage(page, CurrentDeviceIndex);
            }
        }
    }
    FilterSetDirty = false;
}

void DestroyDevicePage() {
    HWND page = ExistingPage();
    DevicePageWindow = nullptr;
    if (page != nullptr) {
        DestroyWindow(page);
    }
}
} // namespace

void ShowDevicePage(HWND parent, int top, int kind, int slot) {
    if (WaitsForEarlierCall(
            {[](const ConfigureRequest& r) { ShowDevicePage(r.parent, r.top, r.kind, r.slot); },
             parent, top, kind, slot})) {
        return;
    }
    const ConfigureWork work;
    if (HWND page = ExistingPage()) {
        if (CurrentPageKind != kind || CurrentDeviceIndex != slot) {
            SettleWheelSet(page);
            DestroyDevicePage();
        }
    }
    CurrentPageKind = kind;
    CurrentDeviceIndex = slot;
    PageTop = top;
    if (ExistingPage() == nullptr) {
        HWND page = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(TemplateOf(kind)), parent,
                                       KroConfigProc, 0);
        DevicePageWindow = page != nullptr && IsWindow(page) ? page : nullptr;
    }
    if (DevicePageWindow != nullptr) {
        ShowWindow(DevicePageWindow, SW_SHOW);
    }
}

void CloseDevicePage() {
    if (WaitsForEarlierCall(
            {[](const ConfigureRequest&) { CloseDevicePage(); }, nullptr, 0, 0, 0})) {
        return;
    }
    const ConfigureWork work;
    if (HWND page = ExistingPage()) {
        SettleWheelSet(page);
        DestroyDevicePage();
    }
}

void ApplyDevicePage() {
    if (WaitsForEarlierCall(
            {[](const ConfigureRequest&) { ApplyDevicePage(); }, nullptr, 0, 0, 0})) {
        return;
    }
    const ConfigureWork work;
    HWND page = ExistingPage();
    if (page == nullptr || !IsWheelPage()) {
        return;
    }
    TakeTypedPositionName(page);
    if (FilterSetDirty) {
        SaveWheelFromPage(CurrentDeviceIndex, page);
        FilterSetDirty = false;
        EnableSave(page, false);
        NoteShownSetName(page);
    }
}
