#include "file_loads.h"
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include "driver_api.h"
#include "robust_support.h"
#include "ui/device_page.h"
#include "ui/stage_page.h"
#include <cstring>

namespace {
void ExpectNamesEnd(const LoadedDriver& driver, const char* when) {
    EXPECT_TRUE(RosterNamesTerminated(ConfigProbe(driver).Roster())) << when;
}

// A name handed to the host ends within its 60 bytes, and nothing past them is written.
void ExpectHostName(int code, const char* name, const char* what) {
    if (code == 0) {
        EXPECT_NE(std::memchr(name, '\0', kNameSize), nullptr) << what;
    }
    EXPECT_EQ(static_cast<unsigned char>(name[kNameSize]), 0xA5u) << what;
}
} // namespace

void WriteGoodConfiguration(const LoadedDriver& driver) {
    driver.SetIni("Port", "0");
    driver.SetIni("TimeOut", "300");
    driver.SetIni("DefaultAll", "0");
    for (int slot = 1; slot <= 2; ++slot) {
        const std::string section = "Shutter" + std::to_string(slot);
        driver.SetIni("Name", ("Lamp " + std::to_string(slot)).c_str(), section.c_str());
        driver.SetIni("ShutterNumber", std::to_string(slot).c_str(), section.c_str());
        const std::string wheel = "FilterWheel" + std::to_string(slot);
        driver.SetIni("Name", "Cubes", wheel.c_str());
        driver.SetIni("NumberPositions", "6", wheel.c_str());
        driver.SetFileKey("Cubes.TolvoFW", wheel.c_str(), "Position1Name", "DAPI");
    }
    driver.SetFileKey("KROHW.INI", "Focus", "Module", "STolvo32.dll");
    driver.SetFileKey("KROHW.INI", "Shutter1", "Module", "STolvo32.dll");
    driver.SetFileKey("KROHW.INI", "FilterWheel1", "Module", "STolvo32.dll");
    driver.SetFileKey("KROFWLST.INI", "Filters", "Name0", "DAPI");
    driver.SetFileKey("KROOBLST.INI", "Objectives", "Name0", "10x");
    driver.SetFileKey("KROCNLST.INI", "Condensers", "Name0", "Phase");
}

void LoadEverything(const LoadedDriver& driver, HWND host) {
    ConfigProbe probe(driver);
    XYApi xy(driver);
    FocusApi z(driver);
    ShutterApi shutter(driver);
    WheelApi wheel(driver);
    auto xyConfigure = driver.Fn<decltype(&StgXYConfigure)>("StgXYConfigure");
    auto zConfigure = driver.Fn<decltype(&StgZConfigure)>("StgZConfigure");
    auto shutterConfigure = driver.Fn<decltype(&ShtrConfigure)>("ShtrConfigure");
    auto wheelConfigure = driver.Fn<decltype(&FWConfigure)>("FWConfigure");

    for (int kind : {1, 2, 8, 100, -1}) {
        for (int slot : {0, 1, 2, 9}) {
            probe.LoadDeviceRecord(slot, kind);
        }
    }
    ExpectNamesEnd(driver, "after LoadDeviceRecord");
    for (int slot = 0; slot < 10; ++slot) {
        probe.LoadFilterSet(slot);
    }
    ExpectNamesEnd(driver, "after LoadFilterSet");
    {
        ComboHost combo;
        for (int kind : {2, 4, 7}) {
            probe.FillNameList(combo.window(), combo.id(), kind, "DAPI");
            for (const std::string& text : combo.Texts()) {
                EXPECT_LT(text.size(), static_cast<size_t>(kNameSize)) << "list kind " << kind;
            }
        }
    }

    EXPECT_GE(xy.Init(nullptr), -2);
    EXPECT_LE(xy.Init(nullptr), 0);
    shutter.GetInstance(0);
    shutter.GetInstance(0);
    wheel.GetInstance(0);
    wheel.GetInstance(0);
    for (int slot = 0; slot < 2; ++slot) {
        shutter.Init(slot, nullptr);
        wheel.Init(slot, nullptr);
    }
    z.Init(nullptr);
    ExpectNamesEnd(driver, "after the inits");
    for (int slot = 0; slot < 2; ++slot) {
        char name[kNameSize + 4];
        std::memset(name, 0xA5, sizeof name);
        ExpectHostName(shutter.GetName(slot, name), name, "shutter name");
        for (int position = -1; position < 10; ++position) {
            std::memset(name, 0xA5, sizeof name);
            ExpectHostName(wheel.GetName(slot, position, name), name, "wheel name");
        }
        const int count = wheel.GetCount(slot);
        EXPECT_LE(count, 32767) << "a count the controller or the file gave";
    }

    xyConfigure(host, 0, 1);
    PumpMessages();
    xyConfigure(host, 0, 0);
    zConfigure(host, 0, 1);
    PumpMessages();
    zConfigure(host, 0, 0);
    for (int slot = 0; slot < 2; ++slot) {
        shutterConfigure(host, slot, 0, 1);
        PumpMessages();
        shutterConfigure(host, slot, 0, 0);
        wheelConfigure(host, slot, 0, 1);
        PumpMessages();
        ExpectNamesEnd(driver, "with the wheel page shown");
        wheelConfigure(host, slot, 0, 0);
    }
    PumpMessages();
    ExpectNamesEnd(driver, "after the pages");
    EXPECT_EQ(FindWindowExA(host, nullptr, nullptr, nullptr), nullptr) << "a page was left";

    z.Close();
    for (int slot = 0; slot < 2; ++slot) {
        shutter.Close(slot);
        wheel.Close(slot);
    }
    xy.Close();
}
