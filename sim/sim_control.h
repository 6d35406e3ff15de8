// Control interface of the controller simulator (TolvoSim.dll). Tests and the
// host bench load the simulator module by the same path under which it is
// registered, so that the objects the driver binds and these functions share
// one controller model.
#pragma once
#include <windows.h>
#include <oaidl.h>

extern "C" {

enum SimObjectKind { SimScan = 0, SimStage = 1, SimFocus = 2, SimFilter = 3 };
// Journal entries that are not calls: notes that a client adds (SimJournalNote).
constexpr int SimNote = -1;

// One dispatch call as the simulator received it. Arguments are listed in the
// order of the member's declaration (not the reversed DISPPARAMS order).
struct SimCall {
    int object; // SimObjectKind
    int dispid;
    int kind; // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
    int argCount;
    VARTYPE argType[8]; // as received, including VT_BYREF
    double argValue[8]; // numeric value on entry; a BSTR gives its byte length
    char text[64];      // the first BSTR argument's bytes, cut to 63, NUL-terminated
    HRESULT result;     // what Invoke returned
    // How many more times the same busy poll (GetBusy, with the same
    // arguments and result) came right after this one: a waiting loop's polls
    // are counted in one entry, so that a long wait keeps the move before it.
    unsigned long repeats;
    int resultAsked;    // the caller passed a result variant
    int exceptionAsked; // the caller passed an EXCEPINFO
};

// Back to the starting state: journal empty, no faults, link closed, every
// position 0, default travel, ports 0 to 4 openable, busy model by polls (0),
// every wheel with 10 positions and none moved, every class creatable and
// every class that SimSetClassRegistered took away registered again.
void WINAPI SimReset();

// How the objects take arguments. Lenient (the state at load, and what every
// client that is not a test gets): each argument converted to the member's
// declared type as automation servers do, by-reference variants written
// through. Strict: only the declared type, anything else DISP_E_TYPEMISMATCH,
// so that tests catch a driver that sends the wrong type. SimReset leaves the
// mode alone: it belongs to the client, not to the controller.
void WINAPI SimSetStrictArguments(BOOL strict);

// Entries, not calls: a run of the same busy poll is one entry (SimCall::repeats).
int WINAPI SimJournalCount();
// Copies entry `index` to `out`; FALSE when there is no such entry.
BOOL WINAPI SimJournalEntry(int index, SimCall* out);
void WINAPI SimJournalClear();
// Adds a note to the journal between the calls: object SimNote, `text` and
// one value. The driver's test build notes each wait and its time-out.
void WINAPI SimJournalNote(const char* text, double value);

// Each motion command makes GetBusy report busy for the next `polls` calls.
// A negative value switches to the timed model: a move then lasts its distance
// divided by the speed set with SimSetMotionSpeed (server units per second).
void WINAPI SimSetBusyPolls(int polls);
void WINAPI SimSetMotionSpeed(double unitsPerSecond);
int WINAPI SimGetBusyPollCount(); // GetBusy calls since the last reset

// Fault injection. A member given an HRESULT returns it without acting
// (S_OK clears it); DISP_E_EXCEPTION also fills the caller's EXCEPINFO with
// the ProgID as source and a description, which the caller frees. Busy never
// clears while `on`; OpenPort reports a negative status for ports outside the
// mask (bit n = port argument n, 0 to 31).
void WINAPI SimSetFault(int object, int dispid, HRESULT hr);
// A slow server: the member takes `milliseconds` before it acts and answers
// (0 answers at once again). The calling thread of the server waits, as a
// server stuck in its own work does.
void WINAPI SimSetAnswerDelay(int object, int dispid, DWORD milliseconds);
void WINAPI SimSetBusyForever(BOOL on);
void WINAPI SimSetOpenablePorts(DWORD mask);
BOOL WINAPI SimIsLinkOpen();
int WINAPI SimLastOpenedPort(); // port argument of the last successful OpenPort, -1 if none
// The statuses OpenPort writes back: `opened` (0 or more) for a port it opens,
// `refused` (negative) for one it does not. SimReset gives 0 and -1.
void WINAPI SimSetOpenPortStatus(LONG opened, LONG refused);
// State last given to the (1-based) shutter with SetShutter, -1 if none.
int WINAPI SimGetShutterState(int shutter);

// Whether a client finds the kind's class: FALSE deletes its ProgID and class
// id keys under HKLM\Software\Classes, TRUE writes them again; the other
// kinds stay as they are. E_INVALIDARG for a kind the server does not have.
HRESULT WINAPI SimSetClassRegistered(int object, BOOL registered);
// The kind's class factory answers `hr` instead of an object (a success code
// clears it). Objects made with SimCreateObject are not affected.
void WINAPI SimSetCreationFault(int object, HRESULT hr);

// Stage model, in server units.
void WINAPI SimSetTravel(double x, double y);
void WINAPI SimSetStagePosition(double x, double y);
void WINAPI SimGetStagePosition(double* x, double* y);
double WINAPI SimGetStageSpeed(); // last value put into Speed

// Focus model, in server units. A focus move or step makes the controller busy
// as a stage motion of the same distance does, in either busy model.
void WINAPI SimSetFocusPosition(double position); // places the focus without a motion
double WINAPI SimGetFocusPosition();

// Filter wheels by their 1-based numbers; any number is accepted. The count is
// what WheelPositionCount reports as a 16-bit integer: the low 16 bits of
// `count` are kept, so negative counts and counts above 10 can be set. Wheel
// moves do not make the controller busy.
void WINAPI SimSetWheelPositionCount(int wheel, int count);
int WINAPI SimGetWheelPositionCount(int wheel);
// The 1-based position last given to the wheel by MoveWheel (1 after
// HomeWheel), -1 if the wheel was never moved.
int WINAPI SimGetWheelPosition(int wheel);

// Object accounting: objects alive, and the sum of their reference counts.
int WINAPI SimLiveObjects();
int WINAPI SimOutstandingRefs();

// A new object of the given kind, made without COM (for the running object
// table); the caller owns the returned reference.
HRESULT WINAPI SimCreateObject(int object, IDispatch** out);
// The class id under which the kind is registered.
HRESULT WINAPI SimGetClassId(int object, CLSID* out);
}
