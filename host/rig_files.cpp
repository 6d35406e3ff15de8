#include "host/rig_files.h"
#include <windows.h>

namespace {
// The filter sets of the two wheels: position names 1 to 10, each set saved
// from its own wheel's slot.
struct WheelSet {
    const char* name;
    const char* positions[10];
};
const WheelSet kWheelSets[] = {
    {"Excitation",
     {"Open", "DAPI", "FITC", "GFP", "TRITC", "Cy3", "Cy5", "Texas Red", "YFP", "Blocked"}},
    {"Emission",
     {"Open", "Blue", "Green", "Yellow", "Orange", "Red", "Far Red", "Quad Band", "Dual Band",
      "Blocked"}},
};
} // namespace

void PrepareRigFiles(const std::string& folder) {
    const std::string hardware = folder + "KROHW.INI";
    for (const char* section : {"Focus", "Shutter1", "Shutter2", "FilterWheel1", "FilterWheel2"}) {
        WritePrivateProfileStringA(section, "Module", "STolvo32.dll", hardware.c_str());
    }
    const std::string settings = folder + "STolvo.INI";
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } keys[] = {// The rig is configured: the first device page keeps these settings
                // instead of giving every device the first-time defaults.
                {"Tolvo Stage", "DefaultAll", "0"}, {"Tolvo Stage", "Port", "0"},
                {"Tolvo Stage", "FocusStep", "1"},  {"Shutter1", "Name", "Excitation"},
                {"Shutter1", "ShutterNumber", "0"}, {"Shutter2", "Name", "Transmitted"},
                {"Shutter2", "ShutterNumber", "1"}};
    for (const auto& k : keys) {
        WritePrivateProfileStringA(k.section, k.key, k.value, settings.c_str());
    }
    for (int slot = 0; slot < 2; ++slot) {
        const WheelSet& set = kWheelSets[slot];
        const std::string section = "FilterWheel" + std::to_string(slot + 1);
        WritePrivateProfileStringA(section.c_str(), "Name", set.name, settings.c_str());
        const std::string file = folder + set.name + ".TolvoFW";
        for (int p = 0; p < 10; ++p) {
            const std::string key = "Position" + std::to_string(p + 1) + "Name";
            WritePrivateProfileStringA(section.c_str(), key.c_str(), set.positions[p],
                                       file.c_str());
        }
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, settings.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, hardware.c_str());
}
