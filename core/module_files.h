// Paths of the files that lie beside the driver module.
#pragma once
#include <windows.h>

constexpr int kPathSize = MAX_PATH;

// Writes into `out` the module's own path cut after its last backslash,
// followed by `fileName`; the bare file name when the path has no backslash.
// The result is cut to fit `kPathSize` bytes.
void BuildModuleFilePath(const char* fileName, char (&out)[kPathSize]);

// Full path of "STolvo.INI" beside the module; built on first use.
const char* SettingsFilePath();
