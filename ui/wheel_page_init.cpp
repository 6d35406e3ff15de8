#include "ui/wheel_page.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "ui/device_page_state.h"
#include "ui/page_controls.h"
#include "ui/resource_ids.h"
#include "ui/wheel_page_sets.h"

namespace {
// The boxes take one character more than a name keeps; names are cut.
constexpr int kNameBoxLimit = 60;

// The wheel's set in the list, found whatever the letter case; the search
// starts at the second entry and wraps to the first. None when absent.
void SelectWheelSet(HWND page, const WheelEntry* wheel) {
    LRESULT found = CB_ERR;
    if (wheel != nullptr) {
        char name[kNameSize];
        CopyNameField(name, wheel->name);
        found = SendDlgItemMessageA(page, IDC_FILTER_SET, CB_FINDSTRINGEXACT, 0,
                                    reinterpret_cast<LPARAM>(name));
    }
    SendDlgItemMessageA(page, IDC_FILTER_SET, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

// A count the page does not offer becomes 6, and the wheel's set no longer
// matches it until it is saved again.
int CheckPositionButton(WheelEntry* wheel) {
    if (wheel == nullptr) {
        return 0;
    }
    switch (wheel->positionCount) {
    case 8:
        return IDC_EIGHT_POSITIONS;
    case 10:
        return IDC_TEN_POSITIONS;
    case 6:
        return IDC_SIX_POSITIONS;
    default:
        wheel->positionCount = 6;
        wheel->valid = 0;
        return IDC_SIX_POSITIONS;
    }
}
} // namespace

void ShowPositionNumber(HWND page, const DevicePage& state) {
    const WheelEntry* wheel = PageWheel(state);
    const long long position = wheel != nullptr ? wheel->currentPosition : 0;
    ShowNumberedLabel(page, IDC_POSITION_LABEL, state.positionFormat, position + 1);
}

void InitWheelPage(HWND page, DevicePage& state, bool readFormats) {
    if (readFormats) {
        ReadLabelFormat(page, IDC_WHEEL_TITLE, state.titleFormat);
        ReadLabelFormat(page, IDC_POSITION_LABEL, state.positionFormat);
    }
    const int slot = state.slot;
    WheelEntry* wheel = PageWheel(state);
    ListFilterSets(page, IDC_FILTER_SET);
    SelectWheelSet(page, wheel);
    SendDlgItemMessageA(page, IDC_FILTER_SET, CB_LIMITTEXT, kNameBoxLimit, 0);
    ShowNumberedLabel(page, IDC_WHEEL_TITLE, state.titleFormat, slot + 1LL);

    const int button = CheckPositionButton(wheel);
    if (button != 0) {
        CheckRadioButton(page, IDC_SIX_POSITIONS, IDC_TEN_POSITIONS, button);
    }
    SendDlgItemMessageA(page, IDC_POSITION_NAME, CB_LIMITTEXT, kNameBoxLimit, 0);
    if (wheel != nullptr &&
        (wheel->currentPosition >= wheel->positionCount || wheel->currentPosition < 0)) {
        wheel->currentPosition = 0;
    }
    ShowWheelPositions(slot, page);
    FitDropDown(GetDlgItem(page, IDC_POSITION_NAME));
    ShowPositionNumber(page, state);

    EnableSave(page, false);
    SetFocus(GetDlgItem(page, IDC_FILTER_SET));
    NoteShownSetName(page, state);
}
