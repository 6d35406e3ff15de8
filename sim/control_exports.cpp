// The control functions tests and the host bench use to steer and observe
// the controller model.
#include "sim/sim_control.h"
#include "sim/class_table.h"
#include "sim/controller_model.h"
#include "sim/member_check.h"
#include "sim/object_accounting.h"
#include "sim/registration.h"

extern "C" {

void WINAPI SimReset() {
    LockedModel()->Reset();
    RestoreClassRegistrations();
}

void WINAPI SimSetStrictArguments(BOOL strict) {
    SetStrictArguments(strict != FALSE);
}

int WINAPI SimJournalCount() {
    return LockedModel()->JournalCount();
}

BOOL WINAPI SimJournalEntry(int index, SimCall* out) {
    return LockedModel()->JournalEntry(index, out) ? TRUE : FALSE;
}

void WINAPI SimJournalClear() {
    LockedModel()->ClearJournal();
}

void WINAPI SimJournalNote(const char* text, double value) {
    SimCall note{};
    note.object = SimNote;
    note.argCount = 1;
    note.argValue[0] = value;
    if (text != nullptr) {
        lstrcpynA(note.text, text, sizeof note.text);
    }
    LockedModel()->Record(note);
}

void WINAPI SimSetBusyPolls(int polls) {
    LockedModel()->SetBusyPolls(polls);
}

void WINAPI SimSetMotionSpeed(double unitsPerSecond) {
    LockedModel()->SetMotionSpeed(unitsPerSecond);
}

int WINAPI SimGetBusyPollCount() {
    return LockedModel()->BusyPollCount();
}

void WINAPI SimSetFault(int object, int dispid, HRESULT hr) {
    LockedModel()->SetFault(object, dispid, hr);
}

void WINAPI SimSetAnswerDelay(int object, int dispid, DWORD milliseconds) {
    LockedModel()->SetAnswerDelay(object, dispid, milliseconds);
}

void WINAPI SimSetBusyForever(BOOL on) {
    LockedModel()->SetBusyForever(on != FALSE);
}

void WINAPI SimSetOpenablePorts(DWORD mask) {
    LockedModel()->SetOpenablePorts(mask);
}

BOOL WINAPI SimIsLinkOpen() {
    return LockedModel()->IsLinkOpen() ? TRUE : FALSE;
}

void WINAPI SimSetOpenPortStatus(LONG opened, LONG refused) {
    LockedModel()->SetOpenStatuses(opened, refused);
}

int WINAPI SimLastOpenedPort() {
    return LockedModel()->LastOpenedPort();
}

int WINAPI SimGetShutterState(int shutter) {
    return LockedModel()->ShutterState(shutter);
}

HRESULT WINAPI SimSetClassRegistered(int object, BOOL registered) {
    const ServerClass* serverClass = FindClassByKind(object);
    if (serverClass == nullptr) {
        return E_INVALIDARG;
    }
    return SetClassRegistration(*serverClass, registered != FALSE);
}

void WINAPI SimSetCreationFault(int object, HRESULT hr) {
    LockedModel()->SetCreationFault(object, hr);
}

void WINAPI SimSetTravel(double x, double y) {
    LockedModel()->SetTravel(x, y);
}

void WINAPI SimSetStagePosition(double x, double y) {
    LockedModel()->Place(x, y);
}

void WINAPI SimGetStagePosition(double* x, double* y) {
    const auto position = LockedModel()->Position();
    if (x != nullptr) {
        *x = position.first;
    }
    if (y != nullptr) {
        *y = position.second;
    }
}

double WINAPI SimGetStageSpeed() {
    return LockedModel()->StageSpeed();
}

void WINAPI SimSetFocusPosition(double position) {
    LockedModel()->PlaceFocus(position);
}

double WINAPI SimGetFocusPosition() {
    return LockedModel()->FocusPosition();
}

void WINAPI SimSetWheelPositionCount(int wheel, int count) {
    LockedModel()->SetWheelPositionCount(wheel, static_cast<SHORT>(count));
}

int WINAPI SimGetWheelPositionCount(int wheel) {
    return LockedModel()->WheelPositionCount(wheel);
}

int WINAPI SimGetWheelPosition(int wheel) {
    return LockedModel()->WheelPosition(wheel);
}

int WINAPI SimLiveObjects() {
    return static_cast<int>(LiveObjectCount());
}

int WINAPI SimOutstandingRefs() {
    return static_cast<int>(OutstandingReferenceCount());
}

HRESULT WINAPI SimCreateObject(int object, IDispatch** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    const ServerClass* serverClass = FindClassByKind(object);
    return serverClass != nullptr ? serverClass->create(out) : E_INVALIDARG;
}

HRESULT WINAPI SimGetClassId(int object, CLSID* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = CLSID_NULL;
    const ServerClass* serverClass = FindClassByKind(object);
    if (serverClass == nullptr) {
        return E_INVALIDARG;
    }
    *out = *serverClass->classId;
    return S_OK;
}
}
