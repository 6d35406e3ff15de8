// The wheel page's positions: the count, the names, and moves of the wheel.
#include "ui/wheel_page.h"
#include "config/default_config.h"
#include "config/device_kind.h"
#include "config/name_field.h"
#include "config/name_lists.h"
#include "core/module_state.h"
#include "core/settings_keys.h"
#include "devices/filter_wheels.h"
#include "ui/device_page_state.h"
#include "ui/name_list_editor.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"

namespace {
constexpr int kHome = -1;

// The text last typed into the position box. While a new entry is being
// chosen the box may already show that entry, so the typed text is kept as
// it is typed, not read back at the commit.
char typedPositionName[kNameSize] = "";

// Positions that have a name field, whatever count the controller reports.
bool IsNamedPosition(int position) {
    return position >= 0 && position < kMaxWheelPositions;
}

LRESULT PositionBox(HWND page, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(page, IDC_POSITION_NAME, message, wParam, lParam);
}

// Entry `index` of the position box reads `name`.
void ReplacePositionEntry(HWND page, int index, const char* name) {
    PositionBox(page, CB_DELETESTRING, static_cast<WPARAM>(index));
    PositionBox(page, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name));
}

void ChoosePositionCount(HWND page, WheelEntry& wheel, int count) {
    wheel.positionCount = count;
    WriteSetting(kNumberPositionsKey, count, CurrentDeviceIndex + 1);
    // Saving the defaulted set may ask about an archived set.
    const PageDevice asking = NotePageDevice(page);
    ApplyDefaults(page, CurrentPageKind, CurrentDeviceIndex);
    if (!StillStandsFor(asking)) {
        return;
    }
    InitWheelPage(page, CurrentDeviceIndex, false);
    MarkSetChanged(page);
}

// The user chose a position from the list: the wheel turns there.
void ChoosePosition(HWND page, WheelEntry& wheel) {
    if (PositionNameEdited) {
        CommitPositionName(page);
        MarkSetChanged(page);
    }
    const LRESULT chosen = PositionBox(page, CB_GETCURSEL);
    if (chosen < 0) {
        PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(wheel.currentPosition));
        return;
    }
    TurnWheel(CurrentDeviceIndex, static_cast<int>(chosen));
    ShowPositionNumber(page);
}

void PositionBoxCommand(HWND page, WheelEntry& wheel, int code) {
    switch (code) {
    case CBN_EDITCHANGE:
        typedPositionName[0] = '\0';
        GetDlgItemTextA(page, IDC_POSITION_NAME, typedPositionName, sizeof typedPositionName);
        PositionNameEdited = true;
        EnableSave(page, true);
        break;
    case CBN_KILLFOCUS:
    case CBN_DROPDOWN:
        if (PositionNameEdited) {
            CommitPositionName(page);
            MarkSetChanged(page);
            // The list shows the name as it was kept, and where the wheel stands.
            if (PositionBox(page, CB_GETCURSEL) < 0) {
                PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(wheel.currentPosition));
            }
        }
        break;
    case CBN_SELCHANGE:
        ChoosePosition(page, wheel);
        break;
    default:
        break;
    }
}

// "...": the name list editor names the current position.
void PickPositionName(HWND page, const WheelEntry& wheel) {
    const PageDevice opener = NotePageDevice(page);
    const INT_PTR result =
        DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_NAME_LIST), page, KroNameListProc, 0);
    if (result <= 0 || !StillStandsFor(opener) || !IsNamedPosition(wheel.currentPosition)) {
        return;
    }
    LRESULT shown = PositionBox(page, CB_GETCURSEL);
    if (shown < 0) {
        shown = wheel.currentPosition;
    }
    MarkSetChanged(page);
    char name[kNameSize];
    CopyNameField(name, wheel.positionNames[wheel.currentPosition]);
    ReplacePositionEntry(page, static_cast<int>(shown), name);
    PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(shown));
}

void Home(HWND page) {
    if (PositionNameEdited) {
        CommitPositionName(page);
        // A taken-over name is an unsaved change, whichever way it was taken.
        MarkSetChanged(page);
    }
    TurnWheel(CurrentDeviceIndex, kHome);
    PositionBox(page, CB_SETCURSEL, 0);
    ShowPositionNumber(page);
}
} // namespace

void CommitPositionName(HWND page) {
    PositionNameEdited = false;
    WheelEntry* wheel = PageWheel();
    if (wheel == nullptr || !IsNamedPosition(wheel->currentPosition)) {
        return;
    }
    const int position = wheel->currentPosition;
    CopyNameField(wheel->positionNames[position], typedPositionName);
    ReplacePositionEntry(page, position, wheel->positionNames[position]);
    AddListName(wheel->positionNames[position], STOLVO_KIND_FILTER_WHEEL);
}

bool HandlePositionCommand(HWND page, int id, int code) {
    switch (id) {
    case IDC_SIX_POSITIONS:
    case IDC_EIGHT_POSITIONS:
    case IDC_TEN_POSITIONS:
    case IDC_POSITION_NAME:
    case IDC_NAME_LIST_BUTTON:
    case IDC_HOME:
        break;
    default:
        return false;
    }
    // Only the wheel page has these controls, and a page for a slot outside
    // the roster has no wheel to change or turn.
    WheelEntry* wheel = PageWheel();
    if (wheel == nullptr || CurrentPageKind != STOLVO_KIND_FILTER_WHEEL ||
        GetDlgItem(page, id) == nullptr) {
        return true;
    }
    switch (id) {
    case IDC_SIX_POSITIONS:
        ChoosePositionCount(page, *wheel, 6);
        break;
    case IDC_EIGHT_POSITIONS:
        ChoosePositionCount(page, *wheel, 8);
        break;
    case IDC_TEN_POSITIONS:
        ChoosePositionCount(page, *wheel, 10);
        break;
    case IDC_POSITION_NAME:
        PositionBoxCommand(page, *wheel, code);
        break;
    case IDC_NAME_LIST_BUTTON:
        PickPositionName(page, *wheel);
        break;
    default:
        Home(page);
        break;
    }
    return true;
}
