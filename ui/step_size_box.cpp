#include "ui/step_size_box.h"
#include "core/decimal_text.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/number_text.h"
#include "core/profile_file.h"

namespace {
// One axis's share of DriverSettings. The table's last slot holds the
// user-defined size.
struct StepFields {
    double* table;
    int slots;
    int* index;
    double* step;
    double* userSize;
    int* choices;
    const char* indexKey;
    const char* userKey;
};

StepFields Fields(StepAxis axis) {
    DriverSettingsRecord& s = DriverSettings;
    if (axis == StepAxis::XY) {
        return {XYStepTable,   kXYStepSlots,     &s.stageStepIndex, &s.xyStep,
                &s.userXYStep, &s.xyStepChoices, "StageStep",       "dUserDefinedXYStepSize"};
    }
    return {ZStepTable,   kZStepSlots,     &s.focusStepIndex, &s.zStep,
            &s.userZStep, &s.zStepChoices, "FocusStep",       "dUserDefinedZStepSize"};
}

// Entries the list offers; never more than the table holds.
int OfferedSizes(const StepFields& f) {
    return *f.choices < 0 ? 0 : (*f.choices > f.slots ? f.slots : *f.choices);
}
} // namespace

void FillStepSizes(HWND box, StepAxis axis) {
    const StepFields f = Fields(axis);
    for (int i = 0; i < OfferedSizes(f); ++i) {
        char text[kNumberTextSize];
        FormatNumberText(f.table[i], text);
        // Inserting at the end keeps table order although the box sorts.
        SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
}

void SelectStepInEffect(HWND box, StepAxis axis) {
    const StepFields f = Fields(axis);
    for (int i = 0; i < OfferedSizes(f); ++i) {
        if (f.table[i] == *f.step) {
            SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

void ChooseStepSize(HWND box, StepAxis axis) {
    const StepFields f = Fields(axis);
    const int i = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
    if (i < 0 || i >= f.slots) {
        return; // no entry chosen
    }
    *f.index = i;
    *f.step = f.table[i];
    WriteProfileInt(SettingsFilePath(), kStageSection, f.indexKey, i);
}

void TypeStepSize(HWND box, StepAxis axis, StepTyping& typing) {
    const StepFields f = Fields(axis);
    TypedStepText& typed = typing.typed;
    typed[0] = '\0';
    GetWindowTextA(box, typed, kTypedStepSize);
    typed[kTypedStepSize - 1] = '\0';
    if (!typing.edited) {
        typing.before = {*f.index, *f.userSize, f.table[f.slots - 1], *f.choices};
    }
    typing.edited = true;
    // Only a positive number stands as a size: the host takes it as its
    // calibration, and a list entry chosen meanwhile must not be 0.
    const double value = LeadingDecimal(typed);
    if (IsUsableStepSize(value)) {
        *f.userSize = value;
        f.table[f.slots - 1] = value;
        *f.index = f.slots - 1;
        *f.choices = f.slots;
    }
}

void CommitTypedStepSize(HWND box, StepAxis axis, StepTyping& typing) {
    if (!typing.edited) {
        return;
    }
    typing.edited = false;
    const TypedStepText& typed = typing.typed;
    const StepFields f = Fields(axis);
    const int userEntry = f.slots - 1;
    if (!IsUsableStepSize(LeadingDecimal(typed))) {
        // Not taken: the list and the box show the choice from before.
        const ChoiceBeforeTyping& before = typing.before;
        *f.userSize = before.userSize;
        f.table[userEntry] = before.userEntry;
        *f.choices = before.choices;
        if (*f.index == userEntry) {
            *f.index = before.index;
        }
        SendMessageA(box, CB_RESETCONTENT, 0, 0);
        FillStepSizes(box, axis);
        if (*f.index >= 0 && *f.index < OfferedSizes(f)) {
            SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(*f.index), 0);
        } else {
            SelectStepInEffect(box, axis);
        }
        return;
    }
    SendMessageA(box, CB_DELETESTRING, static_cast<WPARAM>(userEntry), 0);
    const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
    const WPARAM at = static_cast<WPARAM>(count < userEntry ? count : userEntry);
    const LRESULT inserted =
        SendMessageA(box, CB_INSERTSTRING, at, reinterpret_cast<LPARAM>(typed));
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(inserted), 0);
    WriteProfileText(SettingsFilePath(), kStageSection, f.userKey, typed);
    *f.index = userEntry;
    WriteProfileInt(SettingsFilePath(), kStageSection, f.indexKey, userEntry);
}
