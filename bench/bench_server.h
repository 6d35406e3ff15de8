// The minimal in-process server of the benchmark: one object per ProgID the
// driver binds, answering the members it calls with fixed values and counting
// them, without a journal or argument checks, so that the cost of a call is
// that of IDispatch::Invoke itself.
#pragma once
#include <windows.h>
#include <oaidl.h>

enum BenchObjectKind { BenchScan = 0, BenchStage = 1, BenchFocus = 2, BenchFilter = 3 };
constexpr int kBenchKinds = 4;

// Shared by the four objects, as the controller's state is.
struct BenchServerState {
    // GetBusy answers busy this many times after each MoveXY, then idle.
    LONG busyAfterMove = 0;
    LONG busyLeft = 0;
    LONG polls = 0;
    LONG calls = 0;
};
extern BenchServerState BenchServer;

// A new object of `kind` with one reference.
IDispatch* NewBenchObject(int kind);
