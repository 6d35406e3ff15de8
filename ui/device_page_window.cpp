#include "ui/device_page_window.h"
#include "config/device_kind.h"
#include "core/module_state.h"
#include "ui/device_page.h"
#include "ui/device_page_state.h"
#include "ui/page_request.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include "ui/waiting_configure_calls.h"
#include "ui/wheel_page.h"
#include "ui/wheel_page_sets.h"
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
    DevicePage* state = DevicePageOf(page);
    if (state == nullptr || state->kind != STOLVO_KIND_FILTER_WHEEL) {
        return;
    }
    TakeTypedPositionName(page, *state);
    if (state->filterSetDirty) {
        const int slot = state->slot;
        const bool save = WantsSaveNow(page);
        // A page gone meanwhile took its state along and has no set name
        // left to save under.
        if (!IsWindow(page)) {
            return;
        }
        if (save) {
            SaveWheelFromPage(slot, page);
        } else {
            LoadWheelFromPage(page, slot);
        }
        if (!IsWindow(page)) {
            return;
        }
    }
    state->filterSetDirty = false;
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
        const DevicePage* shown = DevicePageOf(page);
        if (shown == nullptr || shown->kind != kind || shown->slot != slot) {
            SettleWheelSet(page);
            DestroyDevicePage();
        }
    }
    if (DevicePage* shown = DevicePageOf(ExistingPage())) {
        shown->top = top;
    } else {
        const PageRequest request(DialogKind::DevicePage, kind, slot, top);
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
    DevicePage* state = DevicePageOf(page);
    if (state == nullptr || state->kind != STOLVO_KIND_FILTER_WHEEL) {
        return;
    }
    TakeTypedPositionName(page, *state);
    if (state->filterSetDirty) {
        SaveWheelFromPage(state->slot, page);
        // The save may have asked about an archived set meanwhile.
        if (!IsWindow(page)) {
            return;
        }
        state->filterSetDirty = false;
        EnableSave(page, false);
        NoteShownSetName(page, *state);
    }
}
