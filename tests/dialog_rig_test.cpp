// The rig answers message boxes and modal dialogs the way a user would.
#include <gtest/gtest.h>
#include "dialog_rig.h"
#include "test_support.h"

namespace {
// A stand-in procedure for the name list template: fills the list, and
// closes with 100 + the chosen entry on OK or 0 on Cancel.
INT_PTR CALLBACK ListDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const char* name : {"Red", "Green", "Blue"}) {
            SendDlgItemMessageA(dialog, 1211, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        SendDlgItemMessageA(dialog, 1211, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        const int chosen = static_cast<int>(SendDlgItemMessageA(dialog, 1211, CB_GETCURSEL, 0, 0));
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 100 + chosen : 0);
        return TRUE;
    }
    return FALSE;
}
} // namespace

TEST(DialogRig, AnswersAMessageBoxWithTheGivenButton) {
    HostWindow host;
    DialogAnswerer answers;
    answers.Press(IDNO);
    EXPECT_EQ(
        MessageBoxA(host.get(), "Line one\nLine two", "Rig caption", MB_YESNO | MB_ICONQUESTION),
        IDNO);
    ASSERT_EQ(answers.seen().size(), 1u);
    EXPECT_EQ(answers.seen()[0].caption, "Rig caption");
    EXPECT_EQ(answers.seen()[0].text, "Line one\nLine two");
    EXPECT_EQ(answers.seen()[0].pressed, IDNO);
    EXPECT_TRUE(answers.seen()[0].expected);
    EXPECT_EQ(answers.waiting(), 0u);
}

TEST(DialogRig, AnswersBoxesInTurn) {
    HostWindow host;
    DialogAnswerer answers;
    answers.Press(IDYES);
    answers.Press(IDOK);
    EXPECT_EQ(MessageBoxA(host.get(), "First", "One", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(host.get(), "Second", "Two", MB_OK | MB_ICONINFORMATION), IDOK);
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_EQ(answers.seen()[0].text, "First");
    EXPECT_EQ(answers.seen()[1].caption, "Two");
}

TEST(DialogRig, ClosesAnUnexpectedBoxAndNotesIt) {
    HostWindow host;
    DialogAnswerer answers;
    EXPECT_EQ(MessageBoxA(host.get(), "Surprise", "Unasked", MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "No owner, no Cancel", "Unasked", MB_YESNO), IDNO);
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_FALSE(answers.seen()[0].expected);
    EXPECT_EQ(answers.seen()[1].text, "No owner, no Cancel");
    EXPECT_EQ(answers.seen()[1].pressed, IDNO);
}

TEST(DialogRig, WorksAModalDialogOfTheDriver) {
    LoadedDriver driver;
    HostWindow host;
    DialogAnswerer answers;
    answers.Act([](HWND dialog) {
        EXPECT_EQ(Entries(dialog, 1211), (std::vector<std::string>{"Red", "Green", "Blue"}));
        ChooseEntry(dialog, 1211, 2);
        return IDOK;
    });
    answers.Press(IDCANCEL);
    EXPECT_EQ(
        DialogBoxParamA(driver.module(), MAKEINTRESOURCEA(121), host.get(), ListDialogProc, 0),
        102);
    EXPECT_EQ(
        DialogBoxParamA(driver.module(), MAKEINTRESOURCEA(121), host.get(), ListDialogProc, 0), 0);
    ASSERT_EQ(answers.seen().size(), 2u);
    EXPECT_EQ(answers.seen()[0].caption, "Filter Names");
}
