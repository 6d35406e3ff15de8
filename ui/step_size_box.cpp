#include "ui/step_size_box.h"
#include "core/decimal_text.h"
#include "core/number_text.h"
#include "core/step_choices.h"

void FillStepSizes(HWND box, StepAxis axis) {
    const OfferedSteps offered = OfferedStepSizes(axis);
    const NumberTexts numbers;
    for (int i = 0; i < offered.count; ++i) {
        char text[kNumberTextSize];
        numbers.Format(offered.sizes[i], text);
        // Inserting at the end keeps table order although the box sorts.
        SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
}

void SelectStepInEffect(HWND box, StepAxis axis) {
    const OfferedSteps offered = OfferedStepSizes(axis);
    for (int i = 0; i < offered.count; ++i) {
        if (offered.sizes[i] == StepInEffect(axis)) {
            SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
}

void ChooseStepSize(HWND box, StepAxis axis) {
    const int i = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
    if (i < 0 || i >= StepSlots(axis)) {
        return; // no entry chosen
    }
    ChooseStep(axis, i);
}

void TypeStepSize(HWND box, StepAxis axis, StepTyping& typing) {
    TypedStepText& typed = typing.typed;
    typed[0] = '\0';
    GetWindowTextA(box, typed, kTypedStepSize);
    typed[kTypedStepSize - 1] = '\0';
    if (!typing.edited) {
        typing.before = CurrentStepChoice(axis);
    }
    typing.edited = true;
    // Only a positive number stands as a size: the host takes it as its
    // calibration, and a list entry chosen meanwhile must not be 0.
    const double value = LeadingDecimal(typed);
    if (IsUsableStepSize(value)) {
        TakeTypedStepSize(axis, value);
    }
}

void CommitTypedStepSize(HWND box, StepAxis axis, StepTyping& typing) {
    if (!typing.edited) {
        return;
    }
    typing.edited = false;
    const TypedStepText& typed = typing.typed;
    const int userEntry = StepSlots(axis) - 1;
    if (!IsUsableStepSize(LeadingDecimal(typed))) {
        // Not taken: the list and the box show the choice from before.
        RestoreStepChoice(axis, typing.before);
        SendMessageA(box, CB_RESETCONTENT, 0, 0);
        FillStepSizes(box, axis);
        const int index = CurrentStepChoice(axis).index;
        if (index >= 0 && index < OfferedStepSizes(axis).count) {
            SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
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
    StoreTypedStepSize(axis, typed);
}
