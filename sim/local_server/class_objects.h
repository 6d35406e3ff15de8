// The local server's classes: the controller's four of the class table (their
// objects listed, see tracked_objects.h) and the control class, and their
// class objects while the server runs.
#pragma once
#include "sim/class_table.h"

// "tolvo.simcontrol", made by CreateControlObject.
const ServerClass& ControlClass();

// Offers every class to COM's clients, one creation per registration.
HRESULT RegisterClassObjects();
// Takes back whatever RegisterClassObjects offered and is still offered.
void RevokeClassObjects();
