// The folder of the bench's rig: the driver the bench loads and the files the
// driver reads and writes beside itself. By default a scratch folder of the
// bench's own, so that the bench never writes the hardware file, the settings,
// the filter sets or the name lists of a host's folder.
#pragma once
#include <string>

// `inPlace`: the bench's own folder, as before (the driver there writes its
// files there). Otherwise a new folder in the user's temporary folder with a
// copy of the driver beside the bench; with `copyConfiguration` also copies of
// the configuration files the bench's folder holds (KROHW.INI, STolvo.INI, the
// name lists and the filter sets), for a script or the window to work on.
// Prints where the rig is. Returns the folder, ending with a backslash, or ""
// (with a message) when it cannot be made.
std::string MakeRigFolder(const std::string& benchFolder, bool inPlace, bool copyConfiguration);
