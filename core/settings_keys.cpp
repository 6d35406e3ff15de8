#include "core/settings_keys.h"
#include "core/module_files.h"
#include "core/profile_file.h"

namespace settings_keys_detail {
int ReadInt(const SettingsKey& key, int fallback, int number) {
    SectionName section;
    FormatSectionName(key.section, number, section);
    return ReadProfileInt(SettingsFilePath(), section, key.name, fallback);
}

void ReadText(const SettingsKey& key, const char* fallback, char* out, int size, int number) {
    SectionName section;
    FormatSectionName(key.section, number, section);
    ReadProfileText(SettingsFilePath(), section, key.name, fallback, out, size);
}
} // namespace settings_keys_detail

void ReadStoredSetting(const SettingsKey& key, char* out, int size, int number) {
    settings_keys_detail::ReadText(key, "", out, size, number);
}

bool IsSettingStored(const SettingsKey& key, int number) {
    char text[2];
    ReadStoredSetting(key, text, sizeof text, number);
    return text[0] != '\0';
}

void WriteSetting(const SettingsKey& key, int value, int number) {
    SectionName section;
    FormatSectionName(key.section, number, section);
    WriteProfileInt(SettingsFilePath(), section, key.name, value);
}

void WriteSettingText(const SettingsKey& key, const char* value, int number) {
    SectionName section;
    FormatSectionName(key.section, number, section);
    WriteProfileText(SettingsFilePath(), section, key.name, value);
}
