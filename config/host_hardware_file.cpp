#include "config/host_hardware_file.h"
#include "config/device_kind.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include "core/settings_map.h"
#include <windows.h>

namespace {
// Module-wide; its owner is HardwareFilePath, which builds it once.
char hardwarePath[kPathSize] = "";

const char* HardwareFilePath() {
    if (hardwarePath[0] == '\0') {
        BuildModuleFilePath("KROHW.INI", hardwarePath);
    }
    return hardwarePath;
}
} // namespace

const char* HostSectionFormat(int kind) {
    switch (kind) {
    case STOLVO_KIND_SHUTTER:
        return "Shutter%d";
    case STOLVO_KIND_FILTER_WHEEL:
        return "FilterWheel%d";
    case STOLVO_KIND_SLIDER:
        return "Slider%d";
    case STOLVO_KIND_OBJECTIVES:
        return "Objectives";
    case STOLVO_KIND_LAMP:
        return "Lamp%d";
    case STOLVO_KIND_APERTURE:
        return "Aperture%d";
    case STOLVO_KIND_CONDENSER:
        return "Condenser";
    case STOLVO_KIND_FOCUS:
        return "Focus";
    default:
        return nullptr;
    }
}

bool IsHostDeviceOurs(int kind, int hostIndex) {
    const char* format = HostSectionFormat(kind);
    if (format == nullptr) {
        return false;
    }
    // The host's number wraps rather than overflowing for an index no host uses.
    const int hostNumber = static_cast<int>(static_cast<unsigned>(hostIndex) + 1u);
    SectionName section;
    FormatSectionName(format, hostNumber, section);
    char module[MAX_PATH] = "";
    ReadProfileText(HardwareFilePath(), section, "Module", "", module, sizeof module);
    return module[0] != '\0' && lstrcmpiA(module, "STolvo32.dll") == 0;
}
