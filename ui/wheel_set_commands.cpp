// The wheel page's set box and set buttons.
#include "ui/wheel_page.h"
#include "config/name_field.h"
#include "ui/device_page_state.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include "ui/wheel_page_sets.h"
#include <cstring>

namespace {
// Another set was chosen while changes are unsaved: may they be lost?
bool MayDropChanges(HWND page) {
    // The two texts share one buffer: the caption is copied first.
    char caption[80];
    std::strncpy(caption, LoadResourceText(IDS_CAPTION), sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    return MessageBoxA(page, LoadResourceText(IDS_DISCARD_WHEEL_CHANGES), caption,
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ChooseSet(HWND page, DevicePage& state, WheelEntry* wheel) {
    if (state.filterSetDirty) {
        const bool drop = MayDropChanges(page);
        // A page closed while the question was open took its state along.
        if (!IsWindow(page)) {
            return;
        }
        if (!drop) {
            // The wheel keeps the name the box showed; the box shows it again
            // once the combo box has finished its selection change.
            CopyNameField(wheel->name, state.shownSetName);
            PostMessageA(page, WM_COMMAND, kRestoreSetName, 0);
            return;
        }
    }
    LoadWheelFromPage(page, state.slot);
    state.filterSetDirty = false;
    EnableSave(page, false);
    CopyNameField(state.shownSetName, wheel->name);
}

// Page command 5001: the unsaved changes stay, and so does the set name.
void RestoreSetName(HWND page, DevicePage& state, const WheelEntry* wheel) {
    MarkSetChanged(page, state);
    char name[kNameSize];
    CopyNameField(name, wheel->name);
    // The list's selection follows the text, so that list and box agree.
    const LRESULT found = SendDlgItemMessageA(page, IDC_FILTER_SET, CB_FINDSTRINGEXACT, 0,
                                              reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(page, IDC_FILTER_SET, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    SetDlgItemTextA(page, IDC_FILTER_SET, name);
    CopyNameField(state.shownSetName, name);
}

void SaveSet(HWND page, DevicePage& state) {
    SaveWheelFromPage(state.slot, page);
    // The save may have asked about an archived set meanwhile.
    if (!IsWindow(page)) {
        return;
    }
    ReselectSavedSet(page, state);
    NoteShownSetName(page, state);
}
} // namespace

void NoteShownSetName(HWND page, DevicePage& state) {
    char text[kNameSize] = "";
    GetDlgItemTextA(page, IDC_FILTER_SET, text, sizeof text);
    CopyNameField(state.shownSetName, text);
}

bool HandleSetCommand(HWND page, DevicePage& state, int id, int code) {
    switch (id) {
    case IDC_FILTER_SET:
    case IDC_DELETE_SET:
    case IDC_SAVE_SET:
    case IDC_ARCHIVE_SET:
    case kRestoreSetName:
        break;
    default:
        return false;
    }
    // Only the wheel page has these controls, and a page for a slot outside
    // the roster has no set to change.
    WheelEntry* wheel = PageWheel(state);
    if (wheel == nullptr || GetDlgItem(page, IDC_FILTER_SET) == nullptr) {
        return true;
    }
    switch (id) {
    case IDC_FILTER_SET:
        if (code == CBN_EDITCHANGE) {
            NoteShownSetName(page, state);
            MarkSetChanged(page, state);
        } else if (code == CBN_SELCHANGE) {
            ChooseSet(page, state, wheel);
        }
        return true;
    case IDC_DELETE_SET:
        if (DeleteFilterSet(page) != 0 && IsWindow(page)) {
            MarkSetChanged(page, state);
        }
        return true;
    case IDC_SAVE_SET:
        SaveSet(page, state);
        return true;
    case IDC_ARCHIVE_SET:
        ArchiveWheelSet(page, state);
        if (IsWindow(page)) {
            NoteShownSetName(page, state);
        }
        return true;
    default:
        RestoreSetName(page, state, wheel);
        return true;
    }
}
