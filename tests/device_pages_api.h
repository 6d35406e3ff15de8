// What the device page tests share: the configure exports and KroConfigProc as
// the host reaches them, the test build's view of the page state, the page's
// control ids, and a fixture with a fresh driver copy, a host window and an
// answerer for the questions the pages ask.
#pragma once
#include <gtest/gtest.h>
#include "driver_api.h"
#include "sets_api.h"
#include "stage_page_api.h"
#include "tests/probe/device_page_probe.h"
#include "ui/device_page.h"
#include "ui/stage_page.h"
#include <functional>
#include <string>
#include <vector>

struct DevicePageApi {
    explicit DevicePageApi(const LoadedDriver& d) : driver(d) {}
    const LoadedDriver& driver;
    DRIVER_EXPORT(ShtrConfigure, ShtrConfigure);
    DRIVER_EXPORT(FWConfigure, FWConfigure);
    DRIVER_EXPORT(ConfigProc, KroConfigProc);
    DRIVER_EXPORT(ZConfigure, StgZConfigure);
    DRIVER_EXPORT(XYConfigure, StgXYConfigure);
};

// Controls of the shutter and filter wheel pages besides those in sets_api.h
// and stage_page_api.h.
enum DevicePageControl {
    kShutterName = 1020,
    kShutterTitle = 1021,
    kWheelTitle = 1031,
    kSixPositions = 1032,
    kEightPositions = 1033,
    kTenPositions = 1034,
    kPositionLabel = 1036,
    kNameListButton = 1039,
    kDeleteSet = 1044,
    kHome = 1046,
    kArchiveSet = 1222,
};

constexpr WPARAM kRestoreSetName = 5001;

// The texts of the questions and notices, as the answerer reads them.
extern const char* const kCaption;
extern const char* const kDefaultsNotice;
extern const char* const kDropChangesQuestion;
extern const char* const kSaveNowQuestion;

class DevicePageTest : public ::testing::Test {
  protected:
    // Without "DefaultAll" = 0 the first page shown would give every device its
    // defaults and say so; `freshSettings` keeps the settings file empty.
    explicit DevicePageTest(bool freshSettings = false);
    // Every question that came up was expected and answered, unless a test
    // lets any question be dismissed.
    void TearDown() override;

    DevicePageState State() const;
    HWND Page() const { return State().page; }
    HWND ShowShutter(int slot, int top = 0);
    HWND ShowWheel(int slot, int top = 0);
    // The focus drive's page on the device path: KROHW.INI gives "Focus" to the driver.
    HWND ShowFocus(int top = 0);
    void GiveFocusToDriver() const;

    void EditRoster(const std::function<void(DeviceRosterTable&)>& edit) const;
    // Wheel `slot` named `set` with `count` positions, prefix + 1 ... in memory,
    // and the set's file holding the same names for the slot.
    void GiveWheel(int slot, const char* set, int count, const std::string& prefix) const;
    void WriteSet(const std::string& set, int slot, int names, const std::string& prefix) const;
    std::string SetPath(const std::string& set) const;
    // Key "Position<position>Name" of section "FilterWheel<slot + 1>" of set `set`.
    std::vector<std::string> SetKeys(const std::string& set, int slot, int count) const;
    // Key `key` of section `section` of STolvo.INI.
    std::string Stored(const std::string& section, const std::string& key) const;
    int EntryIndex(HWND page, int id, const std::string& text) const;
    std::string Label(int id) const { return Text(Page(), id); }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe config{driver};
    DevicePageApi pages{driver};
    HostWindow host{640, 480};
    DialogAnswerer boxes;
    bool questionsChecked = true;
};

// Wheel slot 0 initialised against the simulator, so that it turns: "COMM 1",
// set "Filters" with the names "F1" to "F10", homed, the journal cleared.
class TurningWheelTest : public DevicePageTest {
  protected:
    void SetUp() override;
    WheelApi wheels{driver};
};
