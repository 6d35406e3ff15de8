// What the tests of the host configuration data share: the test build's
// exports for the roster, the records, the host's files and the filter sets;
// files beside the driver copy; a combo box to fill and read.
#pragma once
#include "test_support.h"
#include "config/device_roster.h"
#include "core/driver_settings.h"
#include <string>
#include <vector>

struct ConfigProbe {
    explicit ConfigProbe(const LoadedDriver& d)
        : GetRoster(d.Fn<void(WINAPI*)(DeviceRosterTable*)>("ProbeGetRoster")),
          SetRoster(d.Fn<void(WINAPI*)(const DeviceRosterTable*)>("ProbeSetRoster")),
          LoadDeviceRecord(d.Fn<void(WINAPI*)(int, int)>("ProbeLoadDeviceRecord")),
          IsHostDeviceOurs(d.Fn<int(WINAPI*)(int, int)>("ProbeIsHostDeviceOurs")),
          LoadFilterSet(d.Fn<int(WINAPI*)(int)>("ProbeLoadFilterSet")),
          FilterSetPath(d.Fn<int(WINAPI*)(const char*, char*, int)>("ProbeFilterSetPath")),
          FillNameList(d.Fn<int(WINAPI*)(HWND, int, int, const char*)>("ProbeFillNameList")),
          AddListName(d.Fn<void(WINAPI*)(const char*, int)>("ProbeAddListName")),
          RewriteNameList(d.Fn<void(WINAPI*)(HWND, int, int)>("ProbeRewriteNameList")),
          GetSettings(d.Fn<void(WINAPI*)(DriverSettingsRecord*)>("ProbeGetSettings")),
          SetSettings(d.Fn<void(WINAPI*)(const DriverSettingsRecord*)>("ProbeSetSettings")),
          ZStepSlot(d.Fn<double(WINAPI*)(int)>("ProbeZStepSlot")) {}

    DeviceRosterTable Roster() const {
        DeviceRosterTable roster{};
        GetRoster(&roster);
        return roster;
    }
    DriverSettingsRecord Settings() const {
        DriverSettingsRecord settings{};
        GetSettings(&settings);
        return settings;
    }

    void(WINAPI* GetRoster)(DeviceRosterTable*);
    void(WINAPI* SetRoster)(const DeviceRosterTable*);
    void(WINAPI* LoadDeviceRecord)(int, int);
    int(WINAPI* IsHostDeviceOurs)(int, int);
    int(WINAPI* LoadFilterSet)(int);
    int(WINAPI* FilterSetPath)(const char*, char*, int);
    int(WINAPI* FillNameList)(HWND, int, int, const char*);
    void(WINAPI* AddListName)(const char*, int);
    void(WINAPI* RewriteNameList)(HWND, int, int);
    void(WINAPI* GetSettings)(DriverSettingsRecord*);
    void(WINAPI* SetSettings)(const DriverSettingsRecord*);
    double(WINAPI* ZStepSlot)(int);
};

// Files beside the driver copy, written and read whole. A written file is
// flushed from the profile functions' cache so that the driver reads it anew.
std::string DriverFilePath(const LoadedDriver& driver, const std::string& name);
void WriteDriverFile(const LoadedDriver& driver, const std::string& name, const std::string& text);
std::string ReadDriverFile(const LoadedDriver& driver, const std::string& name);
bool DriverFileExists(const LoadedDriver& driver, const std::string& name);

// The keys of one section of an INI text, in file order.
std::vector<std::string> SectionKeys(const std::string& text, const std::string& section);

// A hidden window holding one combo box with the given control id, as the
// driver's pages hold theirs.
class ComboHost {
  public:
    explicit ComboHost(int controlId = 1037);
    ~ComboHost();
    ComboHost(const ComboHost&) = delete;
    ComboHost& operator=(const ComboHost&) = delete;

    HWND window() const { return window_; }
    int id() const { return id_; }
    void Add(const std::string& text) const;
    void Delete(int index) const;
    int Count() const;
    std::string Text(int index) const;
    std::vector<std::string> Texts() const;
    int Selected() const;

  private:
    HWND window_ = nullptr;
    HWND combo_ = nullptr;
    int id_;
};
