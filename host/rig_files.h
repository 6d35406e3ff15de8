// The files the host and the user would have prepared beside the driver for
// the bench's rig: KROHW.INI giving the focus drive, two shutters and two wheels to the driver,
// STolvo.INI with the port, two shutters and two filter wheels, and the wheels' sets.
#pragma once
#include <string>

// `folder` ends with a backslash.
void PrepareRigFiles(const std::string& folder);
