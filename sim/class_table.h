// The automation classes the server offers: one row per object kind, with the
// ProgID and class id it is registered under and the function making it.
#pragma once
#include "sim/sim_control.h"

// {D7C28D84-EA38-4052-A999-245BA125492B}
constexpr CLSID kScanClassId = {
    0xD7C28D84, 0xEA38, 0x4052, {0xA9, 0x99, 0x24, 0x5B, 0xA1, 0x25, 0x49, 0x2B}};
// {685283F8-18C5-4384-8058-4FD68543E96E}
constexpr CLSID kStageClassId = {
    0x685283F8, 0x18C5, 0x4384, {0x80, 0x58, 0x4F, 0xD6, 0x85, 0x43, 0xE9, 0x6E}};
// {15D8D81C-629C-46F2-8CF5-D4B107B52E13}
constexpr CLSID kFocusClassId = {
    0x15D8D81C, 0x629C, 0x46F2, {0x8C, 0xF5, 0xD4, 0xB1, 0x07, 0xB5, 0x2E, 0x13}};
// {4432EA89-56BA-4085-A970-C51EF93BEE26}
constexpr CLSID kFilterClassId = {
    0x4432EA89, 0x56BA, 0x4085, {0xA9, 0x70, 0xC5, 0x1E, 0xF9, 0x3B, 0xEE, 0x26}};

// The kind of a class whose objects are not the controller's (the local
// server's control object): no creation fault applies to it.
constexpr int kNoObjectKind = -1;

struct ServerClass {
    int kind; // SimObjectKind, or kNoObjectKind
    const wchar_t* progId;
    const CLSID* classId;
    HRESULT (*create)(IDispatch** out);
};

// Defined with each object kind's members.
HRESULT CreateScanObject(IDispatch** out);
HRESULT CreateStageObject(IDispatch** out);
HRESULT CreateFocusObject(IDispatch** out);
HRESULT CreateFilterObject(IDispatch** out);

const ServerClass* ServerClasses();
int ServerClassCount();
const ServerClass* FindClassByKind(int kind);
const ServerClass* FindClassById(REFCLSID classId);
