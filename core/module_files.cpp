#include "core/module_files.h"
#include "core/module_state.h"
#include <cstring>

namespace {
// Module-wide; its owner is SettingsFilePath, which builds it once.
char settingsPath[kPathSize] = "";

void CopyBounded(char* dest, size_t room, const char* text) {
    if (room == 0) {
        return;
    }
    const size_t length = std::strlen(text);
    const size_t count = length < room - 1 ? length : room - 1;
    std::memcpy(dest, text, count);
    dest[count] = '\0';
}
} // namespace

void BuildModuleFilePath(const char* fileName, char (&out)[kPathSize]) {
    char modulePath[kPathSize] = "";
    const DWORD length = GetModuleFileNameA(ModuleInstance, modulePath, kPathSize);
    modulePath[length < kPathSize ? length : kPathSize - 1] = '\0';
    char* lastSlash = std::strrchr(modulePath, '\\');
    char* tail = lastSlash != nullptr ? lastSlash + 1 : modulePath;
    CopyBounded(tail, static_cast<size_t>(modulePath + kPathSize - tail), fileName);
    CopyBounded(out, kPathSize, modulePath);
}

const char* SettingsFilePath() {
    if (settingsPath[0] == '\0') {
        BuildModuleFilePath("STolvo.INI", settingsPath);
    }
    return settingsPath;
}
