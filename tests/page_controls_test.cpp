// The window operations the pages share, and the module's shared text buffer.
#include <gtest/gtest.h>
#include "stage_page_api.h"

namespace {
class PageControls : public ::testing::Test {
  protected:
    // An editable combo box of the host window, as the pages have them.
    HWND MakeCombo(int entries) {
        HWND combo = CreateWindowExA(0, "COMBOBOX", "",
                                     WS_CHILD | WS_VISIBLE | CBS_DROPDOWN | WS_VSCROLL, 10, 10, 120,
                                     30, host.get(), nullptr, GetModuleHandleA(nullptr), nullptr);
        for (int i = 0; i < entries; ++i) {
            const std::string text = "Entry " + std::to_string(i);
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        return combo;
    }

    int RowHeight(HWND combo) {
        TEXTMETRICA metrics{};
        HDC dc = GetDC(combo);
        GetTextMetricsA(dc, &metrics);
        ReleaseDC(combo, dc);
        return metrics.tmHeight + metrics.tmExternalLeading;
    }

    int ClosedHeight(HWND combo) {
        RECT frame{};
        GetWindowRect(combo, &frame);
        return frame.bottom - frame.top;
    }

    // Height of the box with its list open.
    int OpenHeight(HWND combo) {
        RECT open{};
        SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
        return open.bottom - open.top;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    UiProbeApi probe{driver};
    HostWindow host;
};
} // namespace

// The list part opens rows * row height + 1 pixels high below the closed box.
// Wine reports the list part alone; Windows includes the closed box.
::testing::AssertionResult OpensRows(int openHeight, int closedHeight, int rowHeight, int rows) {
    const int list = rowHeight * rows + 1;
    if (openHeight == list || openHeight == closedHeight + list) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "opens " << openHeight << " pixels, not " << rows << " rows of " << rowHeight;
}

TEST_F(PageControls, FitDropDownOpensOneRowForAnEmptyList) {
    HWND combo = MakeCombo(0);
    probe.FitDropDown(combo);
    EXPECT_TRUE(OpensRows(OpenHeight(combo), ClosedHeight(combo), RowHeight(combo), 1));
}

TEST_F(PageControls, FitDropDownOpensARowPerEntry) {
    HWND combo = MakeCombo(5);
    RECT before{};
    GetWindowRect(combo, &before);
    probe.FitDropDown(combo);
    EXPECT_TRUE(OpensRows(OpenHeight(combo), ClosedHeight(combo), RowHeight(combo), 5));
    RECT after{};
    GetWindowRect(combo, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(PageControls, FitDropDownOpensTwentyRowsAtMost) {
    HWND combo = MakeCombo(25);
    probe.FitDropDown(combo);
    EXPECT_TRUE(OpensRows(OpenHeight(combo), ClosedHeight(combo), RowHeight(combo), 20));
}

TEST_F(PageControls, ResourceTextsShareOneBuffer) {
    const char* caption = probe.LoadResourceText(20000);
    EXPECT_STREQ(caption, "Tolvo Configuration");
    const std::string copied = caption;
    const char* empty = probe.LoadResourceText(20006);
    EXPECT_EQ(empty, caption) << "one buffer for every text";
    EXPECT_STREQ(caption, "(No Filters in list.)");
    EXPECT_EQ(copied, "Tolvo Configuration");
    EXPECT_STREQ(probe.LoadResourceText(20002), "") << "no such string";
}

TEST_F(PageControls, LongestResourceTextFitsTheBuffer) {
    const char* text = probe.LoadResourceText(20001);
    EXPECT_EQ(std::string(text),
              "All components have been set up with a default configuration.\nYou will want to "
              "review the default configuration,\nespecially serial port settings and filter "
              "wheel positions.");
}
