// The XY stage exports, fetched by name as the host does.
#pragma once
#include "test_support.h"
#include "core/driver_settings.h"

struct XYApi {
    explicit XYApi(const LoadedDriver& d)
        : Init(d.Fn<int(WINAPI*)(int (*)())>("StgXYInit")),
          Type(d.Fn<int(WINAPI*)(int*)>("StgXYType")), Close(d.Fn<int(WINAPI*)()>("StgXYClose")),
          Status(d.Fn<int(WINAPI*)()>("StgXYStatus")),
          Move(d.Fn<int(WINAPI*)(int, int, int)>("StgXYMove")),
          Command(d.Fn<int(WINAPI*)(int)>("StgXYCommand")),
          Report(d.Fn<int(WINAPI*)(int*, int*)>("StgXYReport")),
          Step(d.Fn<int(WINAPI*)(int, int)>("StgXYStep")),
          XStep(d.Fn<int(WINAPI*)(int)>("StgXStep")), YStep(d.Fn<int(WINAPI*)(int)>("StgYStep")),
          Origin(d.Fn<int(WINAPI*)()>("StgXYOrigin")),
          Calib(d.Fn<int(WINAPI*)(double*, double*)>("StgXYCalib")),
          SetSpeed(d.Fn<int(WINAPI*)(int)>("StgXYSetSpeed")),
          Joystick(d.Fn<int(WINAPI*)(int)>("StgXYJoystick")),
          Write(d.Fn<int(WINAPI*)(int, int)>("StgXYWrite")),
          Read(d.Fn<int(WINAPI*)(int, int, int)>("StgXYRead")),
          XStepSize(d.Fn<int(WINAPI*)(int)>("StgXStepSize")),
          YStepSize(d.Fn<int(WINAPI*)(int)>("StgYStepSize")) {}

    int(WINAPI* Init)(int (*)());
    int(WINAPI* Type)(int*);
    int(WINAPI* Close)();
    int(WINAPI* Status)();
    int(WINAPI* Move)(int, int, int);
    int(WINAPI* Command)(int);
    int(WINAPI* Report)(int*, int*);
    int(WINAPI* Step)(int, int);
    int(WINAPI* XStep)(int);
    int(WINAPI* YStep)(int);
    int(WINAPI* Origin)();
    int(WINAPI* Calib)(double*, double*);
    int(WINAPI* SetSpeed)(int);
    int(WINAPI* Joystick)(int);
    int(WINAPI* Write)(int, int);
    int(WINAPI* Read)(int, int, int);
    int(WINAPI* XStepSize)(int);
    int(WINAPI* YStepSize)(int);
};

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
          Disconnect(d.Fn<void(WINAPI*)()>("ProbeDisconnect")),
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
    void(WINAPI* Disconnect)();
    int(WINAPI* Connected)();
    int(WINAPI* WaitForIdle)(DWORD);
    int(WINAPI* StagePortOwner)();
    void(WINAPI* SettingsPath)(char*, int);
    void(WINAPI* FormatNumber)(double, char*);
};
