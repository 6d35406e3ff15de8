// The registry entries of one server class, which tests take away and give
// back to show a client an unregistered class beside registered ones.
#pragma once
#include "sim/class_table.h"

// Writes (`registered` true) or deletes the class's ProgID and class id keys.
HRESULT SetClassRegistration(const ServerClass& serverClass, bool registered);
// Writes again the entries of every class that SetClassRegistration deleted,
// so that a test leaves the prefix as it found it.
HRESULT RestoreClassRegistrations();
