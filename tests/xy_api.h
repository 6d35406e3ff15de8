// The XY stage exports and the test build's probe of the settings and the link.
#pragma once
#include "driver_api.h"
#include "core/driver_settings.h"

// The test build's extra exports.
struct ProbeApi {
    explicit ProbeApi(const LoadedDriver& d)
        : LoadSettings(d.Fn<void(WINAPI*)()>("ProbeLoadSettings")),
          SaveSettings(d.Fn<void(WINAPI*)()>("ProbeSaveSettings")),
          GetSettings(d.Fn<void(WINAPI*)(DriverSettingsRecord*)>("ProbeGetSettings")),
          SetSettings(d.Fn<void(WINAPI*)(const DriverSettingsRecord*)>("ProbeSetSettings")),
          XYStepSlot(d.Fn<double(WINAPI*)(int)>("ProbeXYStepSlot")),
          ZStepSlot(d.Fn<double(WINAPI*)(int)>("ProbeZStepSlot")),
          Connect(d.Fn<int(WINAPI*)()>("ProbeConnect")),
          Connected(d.Fn<int(WINAPI*)()>("ProbeConnected")),
          WaitForIdle(d.Fn<int(WINAPI*)(DWORD)>("ProbeWaitForIdle")),
          StagePortOwner(d.Fn<int(WINAPI*)()>("ProbeStagePortOwner")),
          SettingsPath(d.Fn<void(WINAPI*)(char*, int)>("ProbeSettingsPath")),
          FormatNumber(d.Fn<void(WINAPI*)(double, char*)>("ProbeFormatNumber")) {}

    void(WINAPI* LoadSettings)();
    void(WINAPI* SaveSettings)();
    void(WINAPI* GetSettings)(DriverSettingsRecord*);
    void(WINAPI* SetSettings)(const DriverSettingsRecord*);
    double(WINAPI* XYStepSlot)(int);
    double(WINAPI* ZStepSlot)(int);
    int(WINAPI* Connect)();
    int(WINAPI* Connected)();
    int(WINAPI* WaitForIdle)(DWORD);
    int(WINAPI* StagePortOwner)();
    void(WINAPI* SettingsPath)(char*, int);
    void(WINAPI* FormatNumber)(double, char*);
};
