#include "core/settings_changes.h"
#include "core/module_files.h"
#include "core/profile_file.h"
#include "core/settings_keys.h"
#include "core/settings_state.h"

namespace {
void Set(int& field, int value, const SettingsKey& key, KeyWrite write) {
    field = value;
    if (write == KeyWrite::Now) {
        WriteSetting(key, value);
    }
}
} // namespace

void SetPort(int port, KeyWrite write) {
    Set(SettingsState.record.port, port, kPortKey, write);
}

void SetBaudIndex(int index, KeyWrite write) {
    SettingsState.record.baudIndex = index;
    Set(SettingsState.record.baudRate, BaudRateTable[index], kBaudRateKey, write);
}

void SetStopBits(int bits, KeyWrite write) {
    Set(SettingsState.record.stopBits, bits, kStopBitsKey, write);
}

void SetParity(int parity, KeyWrite write) {
    Set(SettingsState.record.parity, parity, kParityKey, write);
}

void SetFocusStepIndex(int index) {
    SettingsState.record.focusStepIndex = index;
}

void ReadAutoFocusForPage() {
    FlushProfileCache(SettingsFilePath());
    SettingsState.record.canAutoFocus =
        ReadSetting<kCanAutoFocusKey, SettingsReader::AutoFocusBox>();
    SettingsState.record.hasJoystick = 1;
}

void ChooseAutoFocus(int flag) {
    Set(SettingsState.record.canAutoFocus, flag, kCanAutoFocusKey, KeyWrite::Now);
}

void StoreFocusStep() {
    WriteSetting(kFocusStepKey, SettingsState.record.focusStepIndex);
    PutFocusStepInEffect();
}
