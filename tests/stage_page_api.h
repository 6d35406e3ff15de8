// The stage page exports, fetched by name as the host does, and the test
// build's view of the page state.
#pragma once
#include "dialog_rig.h"
#include "test_support.h"

struct StagePageApi {
    explicit StagePageApi(const LoadedDriver& d)
        : XYConfigure(d.Fn<int(WINAPI*)(HWND, int, int)>("StgXYConfigure")),
          ZConfigure(d.Fn<int(WINAPI*)(HWND, int, int)>("StgZConfigure")),
          ConfigProc(d.Fn<INT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM)>("StgConfigProc")) {}

    int(WINAPI* XYConfigure)(HWND, int, int);
    int(WINAPI* ZConfigure)(HWND, int, int);
    INT_PTR(CALLBACK* ConfigProc)(HWND, UINT, WPARAM, LPARAM);
};

// Extra exports of the test build for the pages.
struct UiProbeApi {
    explicit UiProbeApi(const LoadedDriver& d)
        : FitDropDown(d.Fn<void(WINAPI*)(HWND)>("ProbeFitDropDown")),
          LoadResourceText(d.Fn<const char*(WINAPI*)(int)>("ProbeLoadResourceText")),
          StagePageWindow(d.Fn<HWND(WINAPI*)()>("ProbeStagePageWindow")),
          SetDevicePageWindow(d.Fn<void(WINAPI*)(HWND)>("ProbeSetDevicePageWindow")),
          PageTop(d.Fn<int(WINAPI*)()>("ProbePageTop")),
          UserStepEdited(d.Fn<int(WINAPI*)(int)>("ProbeUserStepEdited")) {}

    void(WINAPI* FitDropDown)(HWND);
    const char*(WINAPI* LoadResourceText)(int);
    HWND(WINAPI* StagePageWindow)();
    void(WINAPI* SetDevicePageWindow)(HWND);
    int(WINAPI* PageTop)();
    int(WINAPI* UserStepEdited)(int);
};

// Control ids of the stage pages.
enum StagePageControl {
    kPortBox = 1000,
    kStepBox = 1001,
    kAutoFocusBox = 1002,
    kBaudBox = 1003,
    kOneStopBit = 1004,
    kTwoStopBits = 1005,
    kParityNone = 1006,
    kParityEven = 1007,
    kParityOdd = 1008,
    kPortLabel = 1010,
    kBaudLabel = 1011,
    kStopBitsLabel = 1012,
    kParityLabel = 1013,
};

// The page command that makes a page re-select its serial controls.
constexpr WPARAM kRefreshSerialControls = 5000;

// A key of section "Tolvo Stage" of the driver's settings file, as stored;
// "<absent>" when the key is not there.
inline std::string StoredSetting(const LoadedDriver& driver, const char* key) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, driver.IniPath().c_str());
    char text[256] = "";
    GetPrivateProfileStringA("Tolvo Stage", key, "<absent>", text, sizeof text,
                             driver.IniPath().c_str());
    return text;
}
