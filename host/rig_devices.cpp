#include "host/rig_devices.h"
#include "include/STolvo32.h"

namespace {
bool IsOurs(const std::string& file, const std::string& section) {
    char module[MAX_PATH] = "";
    GetPrivateProfileStringA(section.c_str(), "Module", "", module, sizeof module, file.c_str());
    return lstrcmpiA(module, "STolvo32.dll") == 0;
}
} // namespace

std::vector<RigDevice> ReadRigDevices(const std::string& folder) {
    const std::string file = folder + "KROHW.INI";
    std::vector<RigDevice> devices{{RigKind::XyStage, 0, "XY stage"}};
    if (IsOurs(file, "Focus")) {
        devices.push_back({RigKind::Focus, 0, "Focus drive"});
    }
    for (int i = 0; i < STOLVO_MAX_SHUTTERS; ++i) {
        if (IsOurs(file, "Shutter" + std::to_string(i + 1))) {
            devices.push_back({RigKind::Shutter, i, "Shutter " + std::to_string(i + 1)});
        }
    }
    for (int i = 0; i < STOLVO_MAX_FILTER_WHEELS; ++i) {
        if (IsOurs(file, "FilterWheel" + std::to_string(i + 1))) {
            devices.push_back({RigKind::FilterWheel, i, "Filter wheel " + std::to_string(i + 1)});
        }
    }
    return devices;
}
