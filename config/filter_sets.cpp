#include "config/filter_sets.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "core/profile_file.h"
#include <cstdio>
#include <cstring>

namespace {
const char kSetExtension[] = ".TolvoFW";

void WheelSection(int slot, char (&section)[32]) {
    std::snprintf(section, sizeof section, "FilterWheel%d", slot + 1);
}

// A wheel holds at most 10 names, whatever count the page or the controller
// gave it; a count of 0 or less reads none.
int NamesToRead(const WheelEntry& wheel) {
    return wheel.positionCount < kMaxWheelPositions ? wheel.positionCount : kMaxWheelPositions;
}
} // namespace

bool FilterSetPath(const char* setName, char (&out)[kPathSize]) {
    BuildModuleFilePath("", out);
    const size_t folderLength = std::strlen(out);
    const size_t nameLength = std::strlen(setName);
    if (folderLength + nameLength + sizeof kSetExtension > kPathSize) {
        out[0] = '\0';
        return false;
    }
    std::memcpy(out + folderLength, setName, nameLength);
    std::memcpy(out + folderLength + nameLength, kSetExtension, sizeof kSetExtension);
    return true;
}

int LoadFilterSet(int slot) {
    if (slot < 0 || slot >= kWheelSlots) {
        return 0;
    }
    WheelEntry& wheel = DeviceRoster.wheels[slot];
    // The name field is read as a name, never past its 59 characters.
    char setName[kNameSize];
    CopyNameField(setName, wheel.name);
    char path[kPathSize];
    if (setName[0] == '\0' || !FilterSetPath(setName, path)) {
        return 0;
    }
    char section[32];
    WheelSection(slot, section);
    const int count = NamesToRead(wheel);
    for (int p = 1; p <= count; ++p) {
        char key[24];
        std::snprintf(key, sizeof key, "Position%dName", p);
        char name[kNameSize];
        ReadProfileText(path, section, key, "", name, sizeof name);
        if (name[0] == '\0') {
            return 0;
        }
        std::memcpy(wheel.positionNames[p - 1], name, sizeof name);
    }
    WriteProfileText(SettingsFilePath(), section, "Name", setName);
    return 1;
}
