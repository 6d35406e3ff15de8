// The map of STolvo.INI: every section the driver reads or writes, and every
// key with its section, its type and its default when it is missing. Where
// two operations read one key with defaults of their own, the key lists each
// with its reader. Every read and write of the file names its key here.
#pragma once

// Sections: a name, or with "%d" a numbered section's format, numbered by the
// device's slot + 1.
inline constexpr char kStageSection[] = "Tolvo Stage";
inline constexpr char kShutterSection[] = "Shutter%d";
inline constexpr char kWheelSection[] = "FilterWheel%d";
inline constexpr char kTraceSection[] = "Diagnostics";

inline constexpr const char* kSettingsSections[] = {kStageSection, kShutterSection, kWheelSection,
                                                    kTraceSection};

// Room for a section name made from any format of the driver's files.
constexpr int kSectionNameSize = 32;
using SectionName = char[kSectionNameSize];

// The name of the section of `format` for device `number`; a format without a
// number is the name itself.
void FormatSectionName(const char* format, int number, SectionName& out);

enum class SettingType : unsigned char {
    Integer,     // decimal text, read and written as a 32-bit number
    DecimalText, // a size as text; its leading decimal number counts
    NameText,    // a name of at most 59 characters
};

// The operations that read a key, where they differ in its default.
enum class SettingsReader : unsigned char {
    None,             // no default: the key is never read
    Any,              // the one default of every reader of the key
    StageLoad,        // the stage's settings load (StgXYInit, a stage page)
    SerialLineRecord, // the serial line record of the devices' line
    FocusRecord,      // the focus record of the focus drive on the device path
    AutoFocusBox,     // the "Has AutoFocus" box of the Z and focus pages
};

struct SettingDefault {
    SettingsReader reader;
    int number;       // of an Integer key
    const char* text; // of a text key
};

constexpr int kMaxSettingDefaults = 3;

struct SettingsKey {
    const char* section;
    const char* name;
    SettingType type;
    SettingDefault defaults[kMaxSettingDefaults];
};

constexpr SettingDefault IntDefault(SettingsReader reader, int number) {
    return {reader, number, nullptr};
}
constexpr SettingDefault TextDefault(SettingsReader reader, const char* text) {
    return {reader, 0, text};
}

namespace settings_map_detail {
// Declared only: a default looked up for a reader that has none stops the
// build, at compile time in a constant expression and at link time otherwise.
const SettingDefault& NoSuchDefault();
} // namespace settings_map_detail

// The default that `reader` reads `key` with: its own, or the key's one
// default for any reader.
constexpr const SettingDefault& DefaultFor(const SettingsKey& key, SettingsReader reader) {
    for (const SettingDefault& d : key.defaults) {
        if (d.reader != SettingsReader::None &&
            (d.reader == reader || d.reader == SettingsReader::Any)) {
            return d;
        }
    }
    return settings_map_detail::NoSuchDefault();
}

// [Tolvo Stage]: the serial line, the step sizes, the flags and the time-out.
inline constexpr SettingsKey kPortKey{
    kStageSection, "Port", SettingType::Integer, {IntDefault(SettingsReader::Any, -1)}};
inline constexpr SettingsKey kBaudRateKey{
    kStageSection, "BaudRate", SettingType::Integer, {IntDefault(SettingsReader::Any, 9600)}};
inline constexpr SettingsKey kStopBitsKey{
    kStageSection,
    "StopBits",
    SettingType::Integer,
    {IntDefault(SettingsReader::StageLoad, 1), IntDefault(SettingsReader::SerialLineRecord, 2)}};
inline constexpr SettingsKey kParityKey{
    kStageSection, "Parity", SettingType::Integer, {IntDefault(SettingsReader::Any, 0)}};
inline constexpr SettingsKey kStageStepKey{
    kStageSection, "StageStep", SettingType::Integer, {IntDefault(SettingsReader::Any, 4)}};
inline constexpr SettingsKey kUserXYStepKey{kStageSection,
                                            "dUserDefinedXYStepSize",
                                            SettingType::DecimalText,
                                            {TextDefault(SettingsReader::Any, "-1.0")}};
inline constexpr SettingsKey kFocusStepKey{
    kStageSection,
    "FocusStep",
    SettingType::Integer,
    {IntDefault(SettingsReader::StageLoad, 2), IntDefault(SettingsReader::FocusRecord, -1)}};
inline constexpr SettingsKey kUserZStepKey{kStageSection,
                                           "dUserDefinedZStepSize",
                                           SettingType::DecimalText,
                                           {TextDefault(SettingsReader::Any, "-1.0")}};
inline constexpr SettingsKey kCanAutoFocusKey{kStageSection,
                                              "CanAutoFocus",
                                              SettingType::Integer,
                                              {IntDefault(SettingsReader::StageLoad, 1),
                                               IntDefault(SettingsReader::SerialLineRecord, 1),
                                               IntDefault(SettingsReader::AutoFocusBox, 0)}};
inline constexpr SettingsKey kHasJoystickKey{
    kStageSection, "HasJoystick", SettingType::Integer, {}};
inline constexpr SettingsKey kTimeOutKey{
    kStageSection, "TimeOut", SettingType::Integer, {IntDefault(SettingsReader::Any, 60000)}};
inline constexpr SettingsKey kDefaultAllKey{
    kStageSection, "DefaultAll", SettingType::Integer, {IntDefault(SettingsReader::Any, 1)}};

// [Shutter<n>]: one shutter slot's record.
inline constexpr SettingsKey kShutterNameKey{
    kShutterSection, "Name", SettingType::NameText, {TextDefault(SettingsReader::Any, "")}};
inline constexpr SettingsKey kShutterNumberKey{
    kShutterSection, "ShutterNumber", SettingType::Integer, {IntDefault(SettingsReader::Any, -1)}};

// [FilterWheel<n>]: one wheel slot's record. A missing count reads as -1,
// which is no count: the count in effect stays.
inline constexpr SettingsKey kWheelNameKey{
    kWheelSection, "Name", SettingType::NameText, {TextDefault(SettingsReader::Any, "")}};
inline constexpr SettingsKey kNumberPositionsKey{
    kWheelSection, "NumberPositions", SettingType::Integer, {IntDefault(SettingsReader::Any, -1)}};

// [Diagnostics]: the trace's switch, which the driver only reads.
inline constexpr SettingsKey kTraceKey{
    kTraceSection, "Trace", SettingType::Integer, {IntDefault(SettingsReader::Any, 0)}};
inline constexpr SettingsKey kTraceFileKBKey{
    kTraceSection, "TraceFileKB", SettingType::Integer, {IntDefault(SettingsReader::Any, 1024)}};

inline constexpr const SettingsKey* kSettingsKeys[] = {
    &kPortKey,         &kBaudRateKey,      &kStopBitsKey,  &kParityKey,
    &kStageStepKey,    &kUserXYStepKey,    &kFocusStepKey, &kUserZStepKey,
    &kCanAutoFocusKey, &kHasJoystickKey,   &kTimeOutKey,   &kDefaultAllKey,
    &kShutterNameKey,  &kShutterNumberKey, &kWheelNameKey, &kNumberPositionsKey,
    &kTraceKey,        &kTraceFileKBKey};
