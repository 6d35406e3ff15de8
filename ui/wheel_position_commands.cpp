// The wheel page's positions: the count, the names, and moves of the wheel.
#include "ui/wheel_page.h"
#include "config/device_kind.h"
#include "config/name_field.h"
#include "config/name_lists.h"
#include "core/settings_keys.h"
#include "devices/filter_wheels.h"
#include "ui/apply_defaults.h"
#include "ui/device_page_state.h"
#include "ui/name_list_editor.h"
#include "ui/resource_ids.h"

namespace {
constexpr int kHome = -1;

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

void ChoosePositionCount(HWND page, DevicePage& state, WheelEntry& wheel, int count) {
    wheel.positionCount = count;
    WriteSetting(kNumberPositionsKey, count, state.slot + 1);
    // Saving the defaulted set may ask about an archived set; a page closed
    // while the question was open took its state along.
    ApplyDefaults(page, state.kind, state.slot);
    if (!IsWindow(page)) {
        return;
    }
    InitWheelPage(page, state, false);
    MarkSetChanged(page, state);
}

// The user chose a position from the list: the wheel turns there.
void ChoosePosition(HWND page, DevicePage& state, WheelEntry& wheel) {
    TakeTypedPositionName(page, state);
    const LRESULT chosen = PositionBox(page, CB_GETCURSEL);
    if (chosen < 0) {
        PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(wheel.currentPosition));
        return;
    }
    TurnWheel(state.slot, static_cast<int>(chosen));
    ShowPositionNumber(page, state);
}

void PositionBoxCommand(HWND page, DevicePage& state, WheelEntry& wheel, int code) {
    switch (code) {
    case CBN_EDITCHANGE:
        state.typedPositionName[0] = '\0';
        GetDlgItemTextA(page, IDC_POSITION_NAME, state.typedPositionName,
                        sizeof state.typedPositionName);
        state.positionNameEdited = true;
        EnableSave(page, true);
        break;
    case CBN_KILLFOCUS:
    case CBN_DROPDOWN:
        if (state.positionNameEdited) {
            TakeTypedPositionName(page, state);
            // The list shows the name as it was kept, and where the wheel stands.
            if (PositionBox(page, CB_GETCURSEL) < 0) {
                PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(wheel.currentPosition));
            }
        }
        break;
    case CBN_SELCHANGE:
        ChoosePosition(page, state, wheel);
        break;
    default:
        break;
    }
}

// "...": the name list editor names the current position.
void PickPositionName(HWND page, DevicePage& state, const WheelEntry& wheel) {
    const INT_PTR result = OpenNameListEditor(page, state.kind, state.slot);
    // A page closed while the editor was open took its state along.
    if (result <= 0 || !IsWindow(page) || !IsNamedPosition(wheel.currentPosition)) {
        return;
    }
    LRESULT shown = PositionBox(page, CB_GETCURSEL);
    if (shown < 0) {
        shown = wheel.currentPosition;
    }
    MarkSetChanged(page, state);
    char name[kNameSize];
    CopyNameField(name, wheel.positionNames[wheel.currentPosition]);
    ReplacePositionEntry(page, static_cast<int>(shown), name);
    PositionBox(page, CB_SETCURSEL, static_cast<WPARAM>(shown));
}

void Home(HWND page, DevicePage& state) {
    // A taken-over name is an unsaved change, whichever way it was taken.
    TakeTypedPositionName(page, state);
    TurnWheel(state.slot, kHome);
    PositionBox(page, CB_SETCURSEL, 0);
    ShowPositionNumber(page, state);
}
} // namespace

void CommitPositionName(HWND page, DevicePage& state) {
    state.positionNameEdited = false;
    WheelEntry* wheel = PageWheel(state);
    if (wheel == nullptr || !IsNamedPosition(wheel->currentPosition)) {
        return;
    }
    const int position = wheel->currentPosition;
    CopyNameField(wheel->positionNames[position], state.typedPositionName);
    ReplacePositionEntry(page, position, wheel->positionNames[position]);
    AddListName(wheel->positionNames[position], STOLVO_KIND_FILTER_WHEEL);
}

void TakeTypedPositionName(HWND page, DevicePage& state) {
    if (state.positionNameEdited) {
        CommitPositionName(page, state);
        MarkSetChanged(page, state);
    }
}

bool HandlePositionCommand(HWND page, DevicePage& state, int id, int code) {
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
    WheelEntry* wheel = PageWheel(state);
    if (wheel == nullptr || GetDlgItem(page, id) == nullptr) {
        return true;
    }
    switch (id) {
    case IDC_SIX_POSITIONS:
        ChoosePositionCount(page, state, *wheel, 6);
        break;
    case IDC_EIGHT_POSITIONS:
        ChoosePositionCount(page, state, *wheel, 8);
        break;
    case IDC_TEN_POSITIONS:
        ChoosePositionCount(page, state, *wheel, 10);
        break;
    case IDC_POSITION_NAME:
        PositionBoxCommand(page, state, *wheel, code);
        break;
    case IDC_NAME_LIST_BUTTON:
        PickPositionName(page, state, *wheel);
        break;
    default:
        Home(page, state);
        break;
    }
    return true;
}
