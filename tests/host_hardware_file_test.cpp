// Which host devices the host's hardware file KROHW.INI assigns to the driver.
#include <gtest/gtest.h>
#include "config_api.h"
#include <climits>

namespace {
class HostHardwareFileTest : public ::testing::Test {
  protected:
    void WriteHardwareFile(const std::string& text) const {
        WriteDriverFile(driver, "KROHW.INI", text);
    }
    bool Ours(int kind, int hostIndex) const {
        return probe.IsHostDeviceOurs(kind, hostIndex) != 0;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
};
} // namespace

TEST_F(HostHardwareFileTest, ModuleNameIsComparedIgnoringCaseOnly) {
    const struct {
        const char* module;
        bool ours;
    } cases[] = {
        {"STolvo32.dll", true},
        {"stolvo32.DLL", true},
        {"STOLVO32.DLL", true},
        {"STolvo32", false},
        {"", false},
        {"STolvo32.dll.bak", false},
        {"XStolvo32.dll", false},
        {"Other32.dll", false},
        {"C:\\STolvo32.dll", false},
        {"STolvo32.dl", false},
        {"STolvo32.exe", false},
    };
    for (const auto& c : cases) {
        WriteHardwareFile(std::string("[Shutter1]\r\nModule=") + c.module + "\r\n");
        EXPECT_EQ(Ours(1, 0), c.ours) << '"' << c.module << '"';
    }
}

TEST_F(HostHardwareFileTest, MissingFileSectionOrKeyIsNotOurs) {
    EXPECT_FALSE(Ours(1, 0)) << "no file";
    EXPECT_FALSE(Ours(8, 0)) << "no file";

    WriteHardwareFile("[Shutter2]\r\nModule=STolvo32.dll\r\n[Focus]\r\nDriver=STolvo32.dll\r\n");
    EXPECT_FALSE(Ours(1, 0)) << "no section Shutter1";
    EXPECT_FALSE(Ours(8, 0)) << "Focus has no Module key";
    EXPECT_TRUE(Ours(1, 1)) << "the file is read at all";
    EXPECT_FALSE(DriverFileExists(driver, "STolvo.INI"));
}

TEST_F(HostHardwareFileTest, FocusSectionIgnoresTheIndex) {
    WriteHardwareFile("[Focus]\r\nModule=STolvo32.dll\r\n"
                      "[Focus1]\r\nModule=Other.dll\r\n[Focus2]\r\nModule=Other.dll\r\n");
    for (int index : {0, 1, 4, -1, INT_MAX, INT_MIN}) {
        EXPECT_TRUE(Ours(8, index)) << index;
    }
    WriteHardwareFile("[Focus1]\r\nModule=STolvo32.dll\r\n");
    EXPECT_FALSE(Ours(8, 0)) << "only the section Focus counts";
}

TEST_F(HostHardwareFileTest, NumberedSectionsUseTheHostIndexPlusOne) {
    WriteHardwareFile("[Shutter1]\r\nModule=Other.dll\r\n"
                      "[Shutter2]\r\nModule=STolvo32.dll\r\n"
                      "[Shutter3]\r\nModule=Other.dll\r\n"
                      "[FilterWheel3]\r\nModule=stolvo32.dll\r\n"
                      "[Slider1]\r\nModule=STolvo32.dll\r\n"
                      "[Objectives]\r\nModule=STolvo32.dll\r\n"
                      "[Condenser]\r\nModule=STolvo32.dll\r\n"
                      "[Lamp5]\r\nModule=STolvo32.dll\r\n"
                      "[Aperture2]\r\nModule=STolvo32.dll\r\n");
    const struct {
        int kind;
        int index;
        bool ours;
    } cases[] = {
        {1, 0, false}, {1, 1, true}, {1, 2, false}, {2, 1, false}, {2, 2, true},
        {2, 3, false}, {3, 0, true}, {3, 1, false}, {4, 0, true},  {4, 7, true},
        {7, 3, true},  {5, 4, true}, {5, 0, false}, {6, 1, true},  {6, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Ours(c.kind, c.index), c.ours) << "kind " << c.kind << " index " << c.index;
    }
}

TEST_F(HostHardwareFileTest, DriverCodesAndUnknownKindsAreNeverOurs) {
    WriteHardwareFile("[Tolvo Stage]\r\nModule=STolvo32.dll\r\n[%d]\r\nModule=STolvo32.dll\r\n"
                      "[]\r\nModule=STolvo32.dll\r\n[Shutter1]\r\nModule=STolvo32.dll\r\n");
    for (int kind : {100, -1, 0, 9, 99, 101, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(Ours(kind, 0)) << kind;
    }
    EXPECT_TRUE(Ours(1, 0));
}

TEST_F(HostHardwareFileTest, HugeAndNegativeIndexesName) {
    // The section is the host's number; numbers no host uses still name a
    // section and never anything else.
    WriteHardwareFile("[Shutter0]\r\nModule=STolvo32.dll\r\n"
                      "[Shutter-4]\r\nModule=STolvo32.dll\r\n"
                      "[FilterWheel2147483647]\r\nModule=STolvo32.dll\r\n");
    EXPECT_TRUE(Ours(1, -1));
    EXPECT_TRUE(Ours(1, -5));
    EXPECT_FALSE(Ours(1, -2));
    EXPECT_TRUE(Ours(2, INT_MAX - 1));
    EXPECT_FALSE(Ours(2, INT_MAX));
    EXPECT_FALSE(Ours(1, INT_MIN));
}

TEST_F(HostHardwareFileTest, LongModuleTextIsNotOurs) {
    const std::string longText = std::string(5000, 'S') + "STolvo32.dll";
    WriteHardwareFile("[Shutter1]\r\nModule=" + longText + "\r\n[Shutter2]\r\nModule=" +
                      "STolvo32.dll" + std::string(300, 'x') + "\r\n");
    EXPECT_FALSE(Ours(1, 0));
    EXPECT_FALSE(Ours(1, 1)) << "the text is read whole enough to differ";
}

TEST_F(HostHardwareFileTest, ProfileTrimmingAndQuotesApply) {
    WriteHardwareFile("[Shutter1]\r\n  Module  =   STolvo32.dll   \r\n"
                      "[shutter2]\r\nMODULE=\"STolvo32.dll\"\r\n");
    EXPECT_TRUE(Ours(1, 0));
    EXPECT_TRUE(Ours(1, 1)) << "section and key names ignore case; quotes are dropped";
}
