// The driver's exports as the host reaches them: by name, each typed from the
// driver's own declaration, so that a signature cannot drift between the
// driver and its tests.
#pragma once
#include "test_support.h"
#include "devices/filter_wheels.h"
#include "devices/focus.h"
#include "devices/shutters.h"
#include "devices/xy_stage.h"
#include "tests/probe/link_probe.h"

// A member `field` holding export `name` of `driver`.
#define DRIVER_EXPORT(field, name) decltype(&::name) field = driver.Fn<decltype(&::name)>(#name)

struct XYApi {
    explicit XYApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(Init, StgXYInit);
    DRIVER_EXPORT(Type, StgXYType);
    DRIVER_EXPORT(Close, StgXYClose);
    DRIVER_EXPORT(Status, StgXYStatus);
    DRIVER_EXPORT(Move, StgXYMove);
    DRIVER_EXPORT(Command, StgXYCommand);
    DRIVER_EXPORT(Report, StgXYReport);
    DRIVER_EXPORT(Step, StgXYStep);
    DRIVER_EXPORT(XStep, StgXStep);
    DRIVER_EXPORT(YStep, StgYStep);
    DRIVER_EXPORT(Origin, StgXYOrigin);
    DRIVER_EXPORT(Calib, StgXYCalib);
    DRIVER_EXPORT(SetSpeed, StgXYSetSpeed);
    DRIVER_EXPORT(Joystick, StgXYJoystick);
    DRIVER_EXPORT(Write, StgXYWrite);
    DRIVER_EXPORT(Read, StgXYRead);
    DRIVER_EXPORT(XStepSize, StgXStepSize);
    DRIVER_EXPORT(YStepSize, StgYStepSize);
};

struct FocusApi {
    explicit FocusApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(Init, StgZInit);
    DRIVER_EXPORT(Close, StgZClose);
    DRIVER_EXPORT(Status, StgZStatus);
    DRIVER_EXPORT(Move, StgZMove);
    DRIVER_EXPORT(Report, StgZReport);
    DRIVER_EXPORT(Step, StgZStep);
    DRIVER_EXPORT(Origin, StgZOrigin);
    DRIVER_EXPORT(Calib, StgZCalib);
    DRIVER_EXPORT(SetSpeed, StgZSetSpeed);
    DRIVER_EXPORT(Write, StgZWrite);
    DRIVER_EXPORT(Read, StgZRead);
    DRIVER_EXPORT(CanAutoFocus, StgZCanAutoFocus);
    DRIVER_EXPORT(AutoFocus, StgZAutoFocus);
    DRIVER_EXPORT(StepSize, StgZStepSize);
    DRIVER_EXPORT(Type, StgZType);
};

struct ShutterApi {
    explicit ShutterApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(GetInstance, ShtrGetInstance);
    DRIVER_EXPORT(Init, ShtrInit);
    DRIVER_EXPORT(Close, ShtrClose);
    DRIVER_EXPORT(GetName, ShtrGetName);
    DRIVER_EXPORT(SetOpen, ShtrSetOpen);
    DRIVER_EXPORT(GetOpen, ShtrGetOpen);
    DRIVER_EXPORT(Write, ShtrWrite);
    DRIVER_EXPORT(Read, ShtrRead);
};

struct WheelApi {
    explicit WheelApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(GetInstance, FWGetInstance);
    DRIVER_EXPORT(Init, FWInit);
    DRIVER_EXPORT(Close, FWClose);
    DRIVER_EXPORT(GetCount, FWGetCount);
    DRIVER_EXPORT(GetName, FWGetName);
    DRIVER_EXPORT(SetPosition, FWSetPosition);
    DRIVER_EXPORT(GetPosition, FWGetPosition);
    DRIVER_EXPORT(Write, FWWrite);
    DRIVER_EXPORT(Read, FWRead);
};

// The test build's view of the link holders.
inline LinkState ReadLinkState(const LoadedDriver& driver) {
    LinkState state{-9, -9, -9, -9, -9};
    driver.Fn<decltype(&ProbeLinkState)>("ProbeLinkState")(&state);
    return state;
}
