#include "ui/page_controls.h"
#include "core/driver_settings.h"
#include "ui/resource_ids.h"

namespace {
constexpr int kMostRows = 20;

// List order is the stored value: `port` indexes the names, `baudIndex` the rates.
const char* const kPortNames[kPortChoices] = {"COMM 1", "COMM 2", "COMM 3", "COMM 4",
                                              "PCI Interface"};
const char* const kBaudTexts[kBaudRates] = {"9600", "2400", "600", "150"};

const int kSerialDetails[] = {IDC_BAUD_RATE,    IDC_BAUD_LABEL,    IDC_STOP_BITS_LABEL,
                              IDC_ONE_STOP_BIT, IDC_TWO_STOP_BITS, IDC_PARITY_LABEL,
                              IDC_PARITY_NONE,  IDC_PARITY_EVEN,   IDC_PARITY_ODD};

void HideControl(HWND page, int id) {
    HWND control = GetDlgItem(page, id);
    if (control != nullptr) {
        ShowWindow(control, SW_HIDE);
    }
}

template <size_t N> void FillBox(HWND page, int id, const char* const (&texts)[N]) {
    HWND box = GetDlgItem(page, id);
    for (const char* text : texts) {
        // Inserting at the end keeps this order although the box sorts.
        SendMessageA(box, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    FitDropDown(box);
}
} // namespace

void FitDropDown(HWND combo) {
    // The count as a 16-bit value: an error (-1) reads as many rows.
    int rows = static_cast<WORD>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    if (rows == 0) {
        rows = 1;
    }
    if (rows > kMostRows) {
        rows = kMostRows;
    }
    TEXTMETRICA metrics{};
    HDC dc = GetDC(combo);
    GetTextMetricsA(dc, &metrics);
    ReleaseDC(combo, dc);
    const int rowHeight = metrics.tmHeight + metrics.tmExternalLeading;

    RECT frame{};
    GetWindowRect(combo, &frame);
    const int height = static_cast<WORD>(rowHeight * rows) + (frame.bottom - frame.top) + 1;
    SetWindowPos(combo, nullptr, 0, 0, frame.right - frame.left, height, SWP_NOMOVE | SWP_NOZORDER);
}

void PlacePage(HWND page, int top) {
    RECT parent{};
    RECT own{};
    GetWindowRect(GetParent(page), &parent);
    GetWindowRect(page, &own);
    const int width = own.right - own.left;
    const int left = ((parent.right - parent.left) - width) / 2;
    MoveWindow(page, left, top, width + 1, own.bottom - own.top + 1, TRUE);
}

void FillSerialControls(HWND page, bool fill) {
    const DriverSettingsRecord& s = DriverSettings;
    if (fill) {
        FillBox(page, IDC_PORT, kPortNames);
    }
    SendDlgItemMessageA(page, IDC_PORT, CB_SETCURSEL, static_cast<WPARAM>(s.port), 0);
    if (fill) {
        FillBox(page, IDC_BAUD_RATE, kBaudTexts);
    }
    SendDlgItemMessageA(page, IDC_BAUD_RATE, CB_SETCURSEL, static_cast<WPARAM>(s.baudIndex), 0);
    CheckRadioButton(page, IDC_ONE_STOP_BIT, IDC_TWO_STOP_BITS, IDC_BAUD_RATE + s.stopBits);
    CheckRadioButton(page, IDC_PARITY_NONE, IDC_PARITY_ODD, IDC_PARITY_NONE + s.parity);
}

void HideSerialDetails(HWND page) {
    for (int id : kSerialDetails) {
        HideControl(page, id);
    }
}

void HideSerialControls(HWND page) {
    HideControl(page, IDC_PORT_LABEL);
    HideControl(page, IDC_PORT);
    HideSerialDetails(page);
}
