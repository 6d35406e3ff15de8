// The wheel page's set box and set buttons.
#include "ui/wheel_page.h"
#include "config/device_kind.h"
#include "config/name_field.h"
#include "config/set_files.h"
#include "config/wheel_page_sets.h"
#include "ui/device_page_state.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include <cstring>

namespace {
// What the set box showed before the user chose another set. The box may
// already show the chosen entry while its selection change is reported, so
// the text is noted whenever the page or the user changes it.
char shownSetName[kNameSize] = "";

// Another set was chosen while changes are unsaved: may they be lost?
bool MayDropChanges(HWND page) {
    // The two texts share one buffer: the caption is copied first.
    char caption[80];
    std::strncpy(caption, LoadResourceText(IDS_CAPTION), sizeof caption - 1);
    caption[sizeof caption - 1] = '\0';
    return MessageBoxA(page, LoadResourceText(IDS_DISCARD_WHEEL_CHANGES), caption,
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ChooseSet(HWND page, WheelEntry* wheel) {
    if (FilterSetDirty) {
        const PageDevice asked = NotePageDevice(page);
        const bool drop = MayDropChanges(page);
        if (!StillStandsFor(asked)) {
            return;
        }
        if (!drop) {
            // The wheel keeps the name the box showed; the box shows it again
            // once the combo box has finished its selection change.
            CopyNameField(wheel->name, shownSetName);
            PostMessageA(page, WM_COMMAND, kRestoreSetName, 0);
            return;
        }
    }
    LoadWheelFromPage(page, CurrentDeviceIndex);
    FilterSetDirty = false;
    EnableSave(page, false);
    CopyNameField(shownSetName, wheel->name);
}

// Page command 5001: the unsaved changes stay, and so does the set name.
void RestoreSetName(HWND page, const WheelEntry* wheel) {
    MarkSetChanged(page);
    char name[kNameSize];
    CopyNameField(name, wheel->name);
    // The list's selection follows the text, so that list and box agree.
    const LRESULT found = SendDlgItemMessageA(page, IDC_FILTER_SET, CB_FINDSTRINGEXACT, 0,
                                              reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(page, IDC_FILTER_SET, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    SetDlgItemTextA(page, IDC_FILTER_SET, name);
    CopyNameField(shownSetName, name);
}

void SaveSet(HWND page) {
    SaveWheelFromPage(CurrentDeviceIndex, page);
    ReselectSavedSet(page);
    NoteShownSetName(page);
}
} // namespace

void NoteShownSetName(HWND page) {
    char text[kNameSize] = "";
    GetDlgItemTextA(page, IDC_FILTER_SET, text, sizeof text);
    CopyNameField(shownSetName, text);
}

bool HandleSetCommand(HWND page, int id, int code) {
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
    WheelEntry* wheel = PageWheel();
    if (wheel == nullptr || CurrentPageKind != STOLVO_KIND_FILTER_WHEEL ||
        GetDlgItem(page, IDC_FILTER_SET) == nullptr) {
        return true;
    }
    switch (id) {
    case IDC_FILTER_SET:
        if (code == CBN_EDITCHANGE) {
            NoteShownSetName(page);
            MarkSetChanged(page);
        } else if (code == CBN_SELCHANGE) {
            ChooseSet(page, wheel);
        }
        return true;
    case IDC_DELETE_SET:
        if (DeleteFilterSet(page) != 0) {
            MarkSetChanged(page);
        }
        return true;
    case IDC_SAVE_SET:
        SaveSet(page);
        return true;
    case IDC_ARCHIVE_SET:
        ArchiveWheelSet(page);
        NoteShownSetName(page);
        return true;
    default:
        RestoreSetName(page, wheel);
        return true;
    }
}
