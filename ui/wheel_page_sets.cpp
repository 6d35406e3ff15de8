#include "ui/wheel_page_sets.h"
#include "config/device_roster.h"
#include "config/filter_sets.h"
#include "config/name_array.h"
#include "config/name_field.h"
#include "config/set_archive.h"
#include "config/set_files.h"
#include "config/trim_blanks.h"
#include "ui/combo_names.h"
#include "ui/device_page_state.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"
#include "ui/set_questions.h"

namespace {
WheelEntry* WheelOf(int slot) {
    return slot >= 0 && slot < kWheelSlots ? &DeviceRoster.wheels[slot] : nullptr;
}

// The set list's entry equal to `name` ignoring case: the search starts at
// the second entry and wraps to the first.
LRESULT FindSet(HWND combo, const char* name) {
    return SendMessageA(combo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(name));
}
} // namespace

int ListFilterSets(HWND dialog, int controlId) {
    const HWND combo = GetDlgItem(dialog, controlId);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    NameArray names;
    FindFilterSets(names);
    for (size_t i = 0; i < names.count(); ++i) {
        SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(names[i]));
    }
    FitDropDown(combo);
    return static_cast<int>(names.count());
}

int DeleteFilterSet(HWND dialog) {
    char setName[kNameSize];
    if (!SelectedComboName(GetDlgItem(dialog, IDC_FILTER_SET), setName)) {
        return 0;
    }
    OwnerConsent consent(dialog);
    return DeleteFilterSetNamed(setName, consent);
}

void SaveWheelFromPage(int slot, HWND dialog) {
    WheelEntry* wheel = WheelOf(slot);
    if (wheel == nullptr) {
        return;
    }
    // A buffer of the field's size takes at most 59 characters of the box.
    char typed[kNameSize] = "";
    GetDlgItemTextA(dialog, IDC_FILTER_SET, typed, sizeof typed);
    const char* name = TrimBlanks(typed);
    if (!IsUsableSetName(name)) {
        wheel->valid = 0;
        return;
    }
    CopyNameField(wheel->name, name);
    SetDlgItemTextA(dialog, IDC_FILTER_SET, wheel->name);
    OwnerConsent consent(dialog);
    wheel->valid = SaveFilterSet(slot, consent);
}

void LoadWheelFromPage(HWND dialog, int slot) {
    WheelEntry* wheel = WheelOf(slot);
    if (wheel == nullptr) {
        return;
    }
    char chosen[kNameSize];
    if (SelectedComboName(GetDlgItem(dialog, IDC_FILTER_SET), chosen)) {
        CopyNameField(wheel->name, chosen);
    }
    LoadFilterSet(slot);
    ShowWheelPositions(slot, dialog);
}

void ReselectSavedSet(HWND dialog, DevicePage& state) {
    const HWND combo = GetDlgItem(dialog, IDC_FILTER_SET);
    const WheelEntry* wheel = PageWheel(state);
    LRESULT found = CB_ERR;
    if (wheel != nullptr) {
        char name[kNameSize];
        CopyNameField(name, wheel->name);
        found = FindSet(combo, name);
        if (found == CB_ERR) {
            // A set saved for the first time is not in the list yet.
            ListFilterSets(dialog, IDC_FILTER_SET);
            found = FindSet(combo, name);
        }
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    state.filterSetDirty = false;
    EnableWindow(GetDlgItem(dialog, IDC_SAVE_SET), FALSE);
}

void ShowWheelPositions(int slot, HWND dialog) {
    const WheelEntry* wheel = WheelOf(slot);
    if (wheel == nullptr) {
        return;
    }
    const HWND combo = GetDlgItem(dialog, IDC_POSITION_NAME);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const int count = NamedPositionCount(*wheel);
    for (int p = 0; p < count; ++p) {
        char name[kNameSize];
        CopyNameField(name, wheel->positionNames[p]);
        SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(name));
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(wheel->currentPosition), 0);
}

void ArchiveWheelSet(HWND dialog, DevicePage& state) {
    const WheelEntry* wheel = PageWheel(state);
    if (wheel == nullptr) {
        return;
    }
    if (state.filterSetDirty) {
        SaveWheelFromPage(state.slot, dialog);
        // The save may have asked about an archived set; a page closed
        // meanwhile took its state along, and the set is archived all the same.
        if (IsWindow(dialog)) {
            ReselectSavedSet(dialog, state);
        }
    }
    char name[kNameSize];
    CopyNameField(name, wheel->name);
    char path[kPathSize];
    if (FilterSetPath(name, path)) {
        SetFilterSetArchived(path, true);
    }
}
