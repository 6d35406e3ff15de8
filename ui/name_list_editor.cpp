#include "ui/name_list_editor.h"
#include "core/export_trace.h"
#include "core/module_state.h"
#include "config/device_roster.h"
#include "ui/combo_names.h"
#include "ui/device_page_state.h"
#include "ui/name_list_box.h"
#include "ui/page_controls.h"
#include "ui/page_request.h"
#include "ui/resource_ids.h"
#include "ui/resource_text.h"
#include <cstring>

namespace {
// What the dialog keeps while it is open.
struct NameListEditor {
    // The list edited and the wheel whose current position takes the name.
    int kind;
    int slot;
    // Names were deleted from the list since the dialog opened; OK writes the list.
    bool namesDeleted;
};

NameListEditor* EditorOf(HWND dialog) {
    return DialogStateOf<NameListEditor>(dialog, KroNameListProc);
}

// The list and wheel of the opener's request; without one, those of the
// device page there is.
NameListEditor Target() {
    const DevicePage asked = DeviceAskedFor(DialogKind::NameList);
    return {asked.kind, asked.slot, false};
}

// The position whose name the dialog edits: the current position of the
// wheel, or nullptr when the dialog names none.
char* CurrentPositionName(const NameListEditor* editor) {
    if (editor == nullptr || editor->slot < 0 || editor->slot >= kWheelSlots) {
        return nullptr;
    }
    WheelEntry& wheel = DeviceRoster.wheels[editor->slot];
    if (wheel.currentPosition < 0 || wheel.currentPosition >= kMaxWheelPositions) {
        return nullptr;
    }
    return wheel.positionNames[wheel.currentPosition];
}

LRESULT ListMessage(HWND dialog, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, IDC_NAME_LIST, message, wParam, lParam);
}

void Initialise(HWND dialog) {
    HideSerialDetails(dialog);
    const NameListEditor target = Target();
    AttachDialogState(dialog, KroNameListProc, target);
    const char* current = CurrentPositionName(&target);
    const int count =
        FillNameList(dialog, IDC_NAME_LIST, target.kind, current != nullptr ? current : "");
    HWND list = GetDlgItem(dialog, IDC_NAME_LIST);
    if (count == 0) {
        ListMessage(dialog, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                    reinterpret_cast<LPARAM>(LoadResourceText(IDS_EMPTY_NAME_LIST)));
        ListMessage(dialog, CB_SETCURSEL, 0);
        EnableWindow(list, FALSE);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    } else {
        FitDropDown(list);
    }
    CentreOnParent(dialog, GetParent(dialog));
}

// Copies the selected entry into the current position's name, cut to the field.
void TakeSelectedName(HWND dialog) {
    char* target = CurrentPositionName(EditorOf(dialog));
    char name[kNameSize];
    if (target != nullptr && SelectedComboName(GetDlgItem(dialog, IDC_NAME_LIST), name)) {
        std::memcpy(target, name, kNameSize);
    }
}

void Close(HWND dialog, int button) {
    const LRESULT count = ListMessage(dialog, CB_GETCOUNT);
    const bool taken = button == IDOK && count > 0;
    if (button == IDOK) {
        if (taken) {
            TakeSelectedName(dialog);
        }
        const NameListEditor* editor = EditorOf(dialog);
        if (editor != nullptr && editor->namesDeleted) {
            RewriteNameList(dialog, IDC_NAME_LIST, editor->kind);
        }
    }
    EndDialog(dialog, taken ? 1 : 0);
}

void DeleteSelectedName(HWND dialog) {
    const LRESULT count = ListMessage(dialog, CB_GETCOUNT);
    const LRESULT selected = ListMessage(dialog, CB_GETCURSEL);
    ListMessage(dialog, CB_DELETESTRING, static_cast<WPARAM>(selected));
    // The entry after the deleted one moves into its place; after the last
    // one, the new last entry is selected.
    ListMessage(dialog, CB_SETCURSEL,
                static_cast<WPARAM>(selected >= count - 1 ? selected - 1 : selected));
    if (count - 1 == 0) {
        EnableWindow(GetDlgItem(dialog, IDC_NAME_LIST), FALSE);
    }
    if (NameListEditor* editor = EditorOf(dialog)) {
        editor->namesDeleted = true;
    }
}
} // namespace

void CentreOnParent(HWND dialog, HWND parent) {
    RECT target{};
    if (parent != nullptr && !IsIconic(parent)) {
        GetWindowRect(parent, &target);
    } else {
        target = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT own{};
    GetWindowRect(dialog, &own);
    const int width = own.right - own.left + 1;
    const int height = own.bottom - own.top + 1;
    int left = (target.left + target.right - width) >> 1;
    int top = (target.top + target.bottom - height) >> 1;
    if (left < 0) {
        left = 0;
    }
    if (top < 0) {
        top = 0;
    }
    MoveWindow(dialog, left, top, width, height, TRUE);
}

INT_PTR OpenNameListEditor(HWND owner, int kind, int slot) {
    const PageRequest request(DialogKind::NameList, kind, slot, 0);
    return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_NAME_LIST), owner, KroNameListProc,
                           0);
}

extern "C" INT_PTR CALLBACK KroNameListProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    ExportTrace trace(TracedDialogCall("KroNameListProc", message), dialog, message, wParam,
                      lParam);
    // Nothing may unwind into the system's dialog code.
    try {
        switch (message) {
        case WM_INITDIALOG:
            Initialise(dialog);
            return trace.Return(TRUE);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK:
            case IDCANCEL:
                Close(dialog, LOWORD(wParam));
                return trace.Return(TRUE);
            case IDC_DELETE_NAME:
                DeleteSelectedName(dialog);
                return trace.Return(TRUE);
            default:
                return trace.Return(FALSE);
            }
        case WM_NCDESTROY:
            FreeDialogState<NameListEditor>(dialog, KroNameListProc);
            return trace.Return(FALSE);
        default:
            return trace.Return(FALSE);
        }
    } catch (...) {
        return trace.Return(FALSE);
    }
}
