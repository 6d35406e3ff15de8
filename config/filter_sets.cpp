#include "config/filter_sets.h"
#include "config/device_roster.h"
#include "config/name_field.h"
#include "config/set_archive.h"
#include "core/profile_file.h"
#include "core/settings_keys.h"
#include <cstdio>
#include <cstring>

namespace {
const char kSetExtension[] = ".TolvoFW";

// A set file holds each wheel's names in the section of the wheel's record.
void WheelSection(int slot, SectionName& section) {
    FormatSectionName(kWheelSection, slot + 1, section);
}

void PositionKey(int position, char (&key)[24]) {
    std::snprintf(key, sizeof key, "Position%dName", position);
}

// The set file and section of wheel `slot`'s set; false for an unknown slot
// or a name that names no set.
bool SetOfWheel(int slot, char (&setName)[kNameSize], char (&path)[kPathSize],
                SectionName& section) {
    if (slot < 0 || slot >= kWheelSlots) {
        return false;
    }
    // The name field is read as a name, never past its 59 characters.
    CopyNameField(setName, DeviceRoster.wheels[slot].name);
    if (!FilterSetPath(setName, path)) {
        return false;
    }
    WheelSection(slot, section);
    return true;
}

// Reads the used position names of wheel `slot` from its set into the wheel:
// up to the first that is missing, or with `whole` every one the set holds,
// leaving the others as they were. 1 when none was missing; 0 also for an
// unknown slot or a name that names no set.
int ReadPositionNames(int slot, bool whole, char (&setName)[kNameSize], SectionName& section) {
    char path[kPathSize];
    if (!SetOfWheel(slot, setName, path, section)) {
        return 0;
    }
    WheelEntry& wheel = DeviceRoster.wheels[slot];
    const int count = NamedPositionCount(wheel);
    int result = 1;
    for (int p = 1; p <= count; ++p) {
        char key[24];
        PositionKey(p, key);
        char name[kNameSize];
        ReadProfileText(path, section, key, "", name, sizeof name);
        if (name[0] != '\0') {
            std::memcpy(wheel.positionNames[p - 1], name, sizeof name);
        } else if (whole) {
            result = 0;
        } else {
            return 0;
        }
    }
    return result;
}
} // namespace

bool FilterSetPath(const char* setName, char (&out)[kPathSize]) {
    out[0] = '\0';
    if (!IsUsableSetName(setName)) {
        return false;
    }
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
    char setName[kNameSize];
    SectionName section;
    if (ReadPositionNames(slot, false, setName, section) == 0) {
        return 0;
    }
    WriteSettingText(kWheelNameKey, setName, slot + 1);
    return 1;
}

int ReadWholeFilterSet(int slot) {
    char setName[kNameSize];
    SectionName section;
    return ReadPositionNames(slot, true, setName, section);
}

int SaveFilterSet(int slot, SetConsent& consent) {
    if (slot < 0 || slot >= kWheelSlots) {
        return 0;
    }
    const WheelEntry& wheel = DeviceRoster.wheels[slot];
    char setName[kNameSize];
    CopyNameField(setName, wheel.name);
    const int count = NamedPositionCount(wheel);
    char names[kMaxWheelPositions][kNameSize];
    for (int p = 0; p < count; ++p) {
        CopyNameField(names[p], wheel.positionNames[p]);
        if (names[p][0] == '\0') {
            return 0;
        }
    }
    char path[kPathSize];
    if (!FilterSetPath(setName, path)) {
        return 0;
    }
    if (!MayChangeFilterSet(path, setName, ArchivedSetChange::Save, consent)) {
        return 0;
    }
    SectionName section;
    WheelSection(slot, section);
    WriteSettingText(kWheelNameKey, setName, slot + 1);
    for (int p = 1; p <= count; ++p) {
        char key[24];
        PositionKey(p, key);
        WriteProfileText(path, section, key, names[p - 1]);
    }
    return 1;
}
