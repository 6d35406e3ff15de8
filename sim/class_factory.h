// The class object that makes the automation objects of one server class,
// for DllGetClassObject and for CoRegisterClassObject alike.
#pragma once
#include "sim/class_table.h"

// A new class object for `serverClass`, asked for `riid`; the caller owns it.
HRESULT CreateClassFactory(const ServerClass& serverClass, REFIID riid, void** object);
