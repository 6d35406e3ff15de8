// Single-key reads and writes of STolvo.INI, each key named by its entry in
// the map. `number` numbers a numbered section (the device's slot + 1); other
// sections ignore it.
#pragma once
#include "core/settings_map.h"

namespace settings_keys_detail {
int ReadInt(const SettingsKey& key, int fallback, int number);
void ReadText(const SettingsKey& key, const char* fallback, char* out, int size, int number);
} // namespace settings_keys_detail

// `Key` as a number, or the default of `Reader` when it is missing.
template <const SettingsKey& Key, SettingsReader Reader = SettingsReader::Any>
int ReadSetting(int number = 0) {
    static_assert(Key.type == SettingType::Integer, "a number is read from an integer key");
    constexpr SettingDefault fallback = DefaultFor(Key, Reader);
    return settings_keys_detail::ReadInt(Key, fallback.number, number);
}

// `Key` as text of at most `size` - 1 characters, or the default of `Reader`
// when it is missing.
template <const SettingsKey& Key, SettingsReader Reader = SettingsReader::Any>
void ReadSettingText(char* out, int size, int number = 0) {
    static_assert(Key.type != SettingType::Integer, "text is read from a text key");
    constexpr SettingDefault fallback = DefaultFor(Key, Reader);
    settings_keys_detail::ReadText(Key, fallback.text, out, size, number);
}

// The text the file holds under `key`, at most `size` - 1 characters; empty
// when the key is missing.
void ReadStoredSetting(const SettingsKey& key, char* out, int size, int number = 0);
bool IsSettingStored(const SettingsKey& key, int number = 0);

void WriteSetting(const SettingsKey& key, int value, int number = 0);
void WriteSettingText(const SettingsKey& key, const char* value, int number = 0);
