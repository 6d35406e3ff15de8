// The registry entries of the server's classes: the ProgID and class id keys,
// with the server key that names this binary as Hosting() says.
#pragma once
#include "sim/class_table.h"

// Every class of the class table, and the removal of them all.
HRESULT RegisterServerClasses();
HRESULT UnregisterServerClasses();
// One class, also one outside the class table.
HRESULT RegisterClassEntries(const ServerClass& serverClass);
HRESULT UnregisterClassEntries(const ServerClass& serverClass);

// Writes (`registered` true) or deletes one class's entries, which tests take
// away and give back to show a client an unregistered class beside registered
// ones.
HRESULT SetClassRegistration(const ServerClass& serverClass, bool registered);
// Writes again the entries of every class that SetClassRegistration deleted,
// so that a test leaves the prefix as it found it.
HRESULT RestoreClassRegistrations();
