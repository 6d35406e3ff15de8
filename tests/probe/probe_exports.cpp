// Extra exports of a test build of the driver: they reach the module's
// internal operations that no host export calls on its own.
#include "core/controller_link.h"
#include "core/driver_settings.h"
#include "core/module_files.h"
#include "core/number_text.h"
#include "core/settings_state.h"
#include "core/wait_for_idle.h"
#include <cstring>

extern "C" {
void WINAPI ProbeLoadSettings() {
    LoadDriverSettings();
}
void WINAPI ProbeSaveSettings() {
    SaveDriverSettings();
}
void WINAPI ProbeGetSettings(DriverSettingsRecord* out) {
    *out = DriverSettings;
}
// Settings set by a test stand for settings the module has loaded.
void WINAPI ProbeSetSettings(const DriverSettingsRecord* in) {
    SettingsState.record = *in;
    SettingsState.loaded = true;
}
double WINAPI ProbeXYStepSlot(int index) {
    return XYStepTable[index];
}
double WINAPI ProbeZStepSlot(int index) {
    return ZStepTable[index];
}
int WINAPI ProbeConnect() {
    return Link.ConnectController();
}
int WINAPI ProbeConnected() {
    return Link.Connected();
}
int WINAPI ProbeWaitForIdle(DWORD timeOut) {
    return WaitForIdle(timeOut);
}
int WINAPI ProbeStagePortOwner() {
    return Link.StagePortOwner();
}
void WINAPI ProbeSettingsPath(char* out, int size) {
    std::strncpy(out, SettingsFilePath(), static_cast<size_t>(size) - 1);
    out[size - 1] = '\0';
}
void WINAPI ProbeFormatNumber(double value, char* out) {
    char text[kNumberTextSize];
    NumberTexts().Format(value, text);
    std::memcpy(out, text, sizeof text);
}
}
