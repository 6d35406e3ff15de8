// What the wheels and their sets do with untrusted input: the stored count of
// positions, counts the controller reports outside 1 to 10, set names that
// would lead out of the module's folder or open a device, and names longer than a name field.
#include <gtest/gtest.h>
#include "driver_api.h"
#include "sets_api.h"
#include "config/device_kind.h"
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {
class SetMends : public SetsTest {
  protected:
    std::string Section(int slot) const { return "FilterWheel" + std::to_string(slot + 1); }
};
} // namespace

TEST_F(SetMends, NumberPositionsOfSixEightOrTenComesBackWithTheRecord) {
    const struct {
        const char* stored; // nullptr: no key
        int count;
    } cases[] = {{"6", 6}, {"8", 8},  {"10", 10}, {"7", 4},  {nullptr, 4},
                 {"0", 4}, {"-3", 4}, {"abc", 4}, {"12", 4}, {"", 4}};
    ASSERT_LE(std::size(cases), static_cast<size_t>(kWheelSlots));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const int slot = static_cast<int>(i);
        SCOPED_TRACE(cases[i].stored != nullptr ? cases[i].stored : "(none)");
        if (cases[i].stored != nullptr) {
            driver.SetIni("NumberPositions", cases[i].stored, Section(slot).c_str());
        }
        EditRoster([&](DeviceRosterTable& r) { r.wheels[slot].positionCount = 4; });
        config.LoadDeviceRecord(slot, STOLVO_KIND_FILTER_WHEEL);
        EXPECT_EQ(config.Roster().wheels[slot].positionCount, cases[i].count);
    }
}

TEST_F(SetMends, TheStoredCountIsInPlaceBeforeTheSetLoads) {
    driver.SetIni("Name", "Six", "FilterWheel2");
    driver.SetIni("NumberPositions", "6", "FilterWheel2");
    WriteDriverFile(driver, "Six.TolvoFW", SetSectionText(2, 6, "S"));
    config.LoadDeviceRecord(1, STOLVO_KIND_FILTER_WHEEL);
    const WheelEntry wheel = config.Roster().wheels[1];
    EXPECT_EQ(wheel.positionCount, 6);
    EXPECT_EQ(wheel.valid, 1) << "six names are all a six-position wheel needs";
    EXPECT_EQ(PositionNames(wheel, 6), Numbered("S", 1, 6));
}

TEST_F(SetMends, CountsAboveTenOrBelowOneUseAtMostTenNames) {
    for (int count : {12, -3}) {
        SCOPED_TRACE(count);
        const bool wide = count > 0;
        EditRoster([&](DeviceRosterTable& r) {
            NameWheel(r.wheels[0], "Wide", count, "W");
            std::memset(&r.wheels[1], 0x5A, sizeof r.wheels[1]);
        });
        const WheelEntry neighbour = config.Roster().wheels[1];
        const auto neighbourIntact = [&] {
            const WheelEntry now = config.Roster().wheels[1];
            return std::memcmp(&now, &neighbour, sizeof now) == 0;
        };

        EXPECT_EQ(sets.SaveFilterSet(0, host.get()), 1);
        EXPECT_EQ(SetKeys("Wide", 0, 11), wide ? Joined(Numbered("W", 1, 10), {"<absent>"})
                                               : std::vector<std::string>(11, "<absent>"));
        EXPECT_EQ(DriverFileExists(driver, "Wide.TolvoFW"), wide) << "no names, no file";
        EXPECT_EQ(WheelNameKey(0), "Wide");

        sets.ShowWheelPositions(0, page.get());
        EXPECT_EQ(Entries(page.get(), kPositionBox), Numbered("W", 1, wide ? 10 : 0));

        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Wide", count, "old"); });
        EXPECT_EQ(config.LoadFilterSet(0), 1);
        EXPECT_EQ(PositionNames(config.Roster().wheels[0]), Numbered(wide ? "W" : "old", 1, 10));

        driver.SetIni("DefaultAll", "0");
        EditRoster([](DeviceRosterTable& r) {
            for (auto& name : r.wheels[0].positionNames) {
                name[0] = '\0';
            }
        });
        sets.ApplyDefaults(host.get(), STOLVO_KIND_FILTER_WHEEL, 0);
        EXPECT_EQ(PositionNames(config.Roster().wheels[0]),
                  wide ? Numbered("Position ", 1, 10) : std::vector<std::string>(10, ""));
        EXPECT_TRUE(neighbourIntact());
        DeleteFileA(SetPath("Wide").c_str());
    }
}

TEST_F(SetMends, SetNamesThatAreNoFileInTheFolderAreRefusedEverywhere) {
    const std::string folder = driver.folder();
    const std::string parent = folder.substr(0, folder.find_last_of('\\'));
    const std::string victimText = SetSectionText(1, 10, "V");
    // The files behind the prefix's serial and printer ports (see
    // scripts/wine-env.sh); a set written to a port lands there.
    const std::string ports = PortFile("");
    const std::string com1 = PortFile("com1");
    const std::string lpt1 = PortFile("lpt1");
    // Files each name would reach if it were made into a path.
    const struct {
        const char* name;
        std::string victim; // empty: none to place
    } cases[] = {
        {"a\\b", folder + "\\a\\b.TolvoFW"},
        {"a/b", folder + "\\a\\b.TolvoFW"},
        {"c:x", ""},
        {"../x", parent + "\\x.TolvoFW"},
        {"..\\x", parent + "\\x.TolvoFW"},
        {"/x", folder + "\\x.TolvoFW"},
        {"COM1", com1},
        {"com1", com1},
        {"Com1.old", com1},
        {"COM1 ", com1},
        {"AUX", com1},
        {"LPT1", lpt1},
        {"prn", lpt1},
        {"PRN.set.x", lpt1},
        {"CON", ""},
        {"nul", ""},
        {"NUL.a", ""},
        {"COM9", PortFile("com9")},
        {"lpt9", PortFile("lpt9")},
        {"LPT\xb9", ""},
        {"a*", ""},
        {"a?b", ""},
        {"a|b", ""},
        {"a<b>", ""},
        {"a\"b", ""},
        {"a\tb", ""},
    };
    ASSERT_TRUE(CreateDirectoryA((folder + "\\a").c_str(), nullptr));
    struct Cleanup {
        std::string folder, parent;
        ~Cleanup() {
            DeleteFileA((parent + "\\x.TolvoFW").c_str());
            DeleteFileA((folder + "\\a\\b.TolvoFW").c_str());
            RemoveDirectoryA((folder + "\\a").c_str());
        }
    } cleanup{folder, parent};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.victim.empty()) {
            SetFileAttributesA(c.victim.c_str(), FILE_ATTRIBUTE_NORMAL);
            std::FILE* file = std::fopen(c.victim.c_str(), "wb");
            ASSERT_NE(file, nullptr) << c.victim;
            std::fwrite(victimText.data(), 1, victimText.size(), file);
            std::fclose(file);
        }
        const auto victimIntact = [&] {
            if (c.victim.empty()) {
                return true;
            }
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, c.victim.c_str());
            std::FILE* file = std::fopen(c.victim.c_str(), "rb");
            if (file == nullptr) {
                return false;
            }
            std::string text(4096, '\0');
            text.resize(std::fread(&text[0], 1, text.size(), file));
            std::fclose(file);
            return text == victimText && !IsReadOnly(c.victim);
        };
        const std::vector<std::string> parentBefore = FilesIn(parent, "*.TolvoFW");
        const std::vector<std::string> filesBefore = FilesIn(folder);
        const std::vector<std::string> subBefore = FilesIn(folder + "\\a");
        const auto nothingWritten = [&] {
            return FilesIn(folder) == filesBefore && FilesIn(folder + "\\a") == subBefore &&
                   FilesIn(parent, "*.TolvoFW") == parentBefore && victimIntact();
        };
        DialogAnswerer boxes;

        char path[MAX_PATH];
        std::memset(path, 'S', sizeof path);
        EXPECT_EQ(config.FilterSetPath(c.name, path, MAX_PATH), 0);
        EXPECT_STREQ(path, "");

        EditRoster([&](DeviceRosterTable& r) {
            NameWheel(r.wheels[0], c.name, 10, "old");
            r.wheels[0].valid = 1;
        });
        EXPECT_EQ(config.LoadFilterSet(0), 0);
        EXPECT_EQ(PositionNames(config.Roster().wheels[0]), Numbered("old", 1, 10));
        EXPECT_EQ(sets.SaveFilterSet(0, host.get()), 0);
        EXPECT_TRUE(nothingWritten());

        EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Before", 10, "P"); });
        SetDlgItemTextA(page.get(), kSetBox, c.name);
        sets.SaveWheelFromPage(0, page.get());
        EXPECT_EQ(config.Roster().wheels[0].valid, 0);
        EXPECT_STREQ(config.Roster().wheels[0].name, "Before");
        EXPECT_TRUE(nothingWritten());

        SendDlgItemMessageA(page.get(), kSetBox, CB_RESETCONTENT, 0, 0);
        SendDlgItemMessageA(page.get(), kSetBox, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(c.name));
        ChooseEntry(page.get(), kSetBox, 0);
        EXPECT_EQ(sets.DeleteFilterSet(page.get()), 0);
        EXPECT_TRUE(nothingWritten());

        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[0], c.name, 10, "P"); });
        sets.SetWheelPage(0, 0);
        sets.ArchiveWheelSet(page.get());
        EXPECT_TRUE(nothingWritten());

        sets.StoreDeviceRecords(host.get(), STOLVO_KIND_FILTER_WHEEL, 0);
        EXPECT_EQ(config.Roster().wheels[0].valid, 0);
        EXPECT_TRUE(victimIntact());
        EXPECT_EQ(FilesIn(parent, "*.TolvoFW"), parentBefore);

        EXPECT_TRUE(boxes.seen().empty());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, driver.IniPath().c_str());
        DeleteFileA(driver.IniPath().c_str());
        if (c.victim.empty()) {
            continue;
        }
        if (!ports.empty() && c.victim.rfind(ports, 0) == 0) {
            // A port's file stays, empty, for the tests after this one.
            const HANDLE emptied = CreateFileA(c.victim.c_str(), GENERIC_WRITE, 0, nullptr,
                                               TRUNCATE_EXISTING, 0, nullptr);
            ASSERT_NE(emptied, INVALID_HANDLE_VALUE);
            CloseHandle(emptied);
        } else {
            DeleteFileA(c.victim.c_str());
        }
    }
}

TEST_F(SetMends, NamesWithLeadingDotsAreOrdinarySets) {
    for (const char* name : {"..x", "..", "...", "a..b", "x.", " .x", "CONSOLE", "LPT0", "COMA"}) {
        SCOPED_TRACE(name);
        const std::string file = std::string(name) + ".TolvoFW";
        WriteDriverFile(driver, file, SetSectionText(1, 10, "D"));
        ASSERT_TRUE(DriverFileExists(driver, file));
        EXPECT_EQ(sets.ListFilterSets(page.get(), kSetBox), 1);
        EXPECT_EQ(Entries(page.get(), kSetBox), std::vector<std::string>{name});

        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[0], name, 10, "old"); });
        EXPECT_EQ(config.LoadFilterSet(0), 1);
        EXPECT_EQ(PositionNames(config.Roster().wheels[0]), Numbered("D", 1, 10));
        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[0], name, 10, "new"); });
        EXPECT_EQ(sets.SaveFilterSet(0, host.get()), 1);
        EXPECT_EQ(SetKeys(name, 0, 10), Numbered("new", 1, 10));
        EXPECT_EQ(FilesIn(driver.folder(), "*.TolvoFW"), std::vector<std::string>{file});
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, SetPath(name).c_str());
        ASSERT_TRUE(DeleteFileA(SetPath(name).c_str()));
    }
}

TEST_F(SetMends, LongListEntriesAreCutToTheNameField) {
    const std::string entry(100, 'L');
    const std::string name(59, 'L');
    WriteDriverFile(driver, name + ".TolvoFW", SetSectionText(1, 10, "L"));
    SendDlgItemMessageA(page.get(), kSetBox, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(entry.c_str()));
    ChooseEntry(page.get(), kSetBox, 0);
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Before", 10, "old");
        r.wheels[0].currentPosition = 2;
    });
    const DeviceRosterTable before = config.Roster();

    sets.LoadWheelFromPage(page.get(), 0);
    DeviceRosterTable after = config.Roster();
    EXPECT_EQ(std::string(after.wheels[0].name, kNameSize), name + '\0') << "cut, and ended";
    EXPECT_EQ(PositionNames(after.wheels[0]), Numbered("L", 1, 10));
    EXPECT_EQ(WheelNameKey(0), name);
    // Everything else of the roster stays as it was.
    std::memcpy(after.wheels[0].name, before.wheels[0].name, kNameSize);
    std::memcpy(after.wheels[0].positionNames, before.wheels[0].positionNames,
                sizeof after.wheels[0].positionNames);
    EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);

    DialogAnswerer boxes;
    EXPECT_EQ(sets.DeleteFilterSet(page.get()), 1);
    EXPECT_FALSE(DriverFileExists(driver, name + ".TolvoFW"));
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(SetMends, TheQuestionHoldsAFullLengthSetName) {
    const std::string name(59, 'Q');
    EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[0], name.c_str(), 10, "A"); });
    ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    SetFileAttributesA(SetPath(name).c_str(), FILE_ATTRIBUTE_READONLY);
    DialogAnswerer boxes;
    boxes.Press(IDNO);
    EXPECT_EQ(sets.SaveFilterSet(0, host.get()), 0);
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text,
              "The filter wheel set\n" + name +
                  "\nhas been archived and cannot be saved.\n"
                  "Would you like to un-archive the set and continue with the Save?");
}

namespace {
// The wheel exports with the controller simulator behind them.
class WheelCounts : public ::testing::Test {
  protected:
    void SetUp() override { Sim().Reset(); }
    void TearDown() override {
        driver.Unload();
        EXPECT_EQ(Sim().LiveObjects(), 0);
    }
    void WriteSet(const char* set, int slot, int names, const std::string& prefix) const {
        WriteDriverFile(driver, std::string(set) + ".TolvoFW",
                        SetSectionText(slot + 1, names, prefix));
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    WheelApi wheel{driver};
};
} // namespace

TEST_F(WheelCounts, AStoredCountOfEightLetsAnEightNameSetInitialise) {
    driver.SetIni("Port", "0");
    driver.SetIni("Name", "Eight", "FilterWheel1");
    WriteSet("Eight", 0, 8, "E");
    ASSERT_EQ(wheel.GetInstance(0), 0);
    EXPECT_EQ(wheel.Init(0, nullptr), -2) << "ten positions by default";
    driver.SetIni("NumberPositions", "8", "FilterWheel1");
    EXPECT_EQ(wheel.Init(0, nullptr), 0);
    char name[kNameSize + 4];
    std::memset(name, 'S', sizeof name);
    EXPECT_EQ(wheel.GetName(0, 7, name), 0);
    EXPECT_STREQ(name, "E8");
    EXPECT_EQ(wheel.SetPosition(0, 8), -6);
}

TEST_F(WheelCounts, TheControllersCountGovernsTheNextSetLoad) {
    driver.SetIni("Port", "0");
    driver.SetIni("Name", "Ex", "FilterWheel1");
    WriteSet("Ex", 0, 10, "A");
    ASSERT_EQ(wheel.GetInstance(0), 0);
    ASSERT_EQ(wheel.Init(0, nullptr), 0);

    const struct {
        int count;
        int names; // in the rewritten set
        int lastNamed;
    } cases[] = {{8, 8, 7}, {12, 12, 9}, {6, 6, 5}};
    char name[kNameSize + 4];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        Sim().SetWheelPositionCount(1, c.count);
        ASSERT_EQ(wheel.GetCount(0), c.count);
        const std::string prefix = "C" + std::to_string(c.count) + "-";
        WriteSet("Ex", 0, c.names, prefix);
        EXPECT_EQ(wheel.Init(0, nullptr), 0) << "the set holds the names the count needs";
        std::memset(name, 'S', sizeof name);
        EXPECT_EQ(wheel.GetName(0, c.lastNamed, name), 0);
        EXPECT_EQ(std::string(name), prefix + std::to_string(c.lastNamed + 1));
        EXPECT_EQ(name[kNameSize], 'S');
        std::memset(name, 'S', sizeof name);
        EXPECT_EQ(wheel.GetName(0, c.lastNamed + 1, name), -6);
        EXPECT_EQ(name[0], 'S');
    }

    // A set that has fewer names than the count no longer loads.
    Sim().SetWheelPositionCount(1, 10);
    ASSERT_EQ(wheel.GetCount(0), 10);
    EXPECT_EQ(wheel.Init(0, nullptr), -2);
}

TEST_F(WheelCounts, ANegativeCountNeedsNoNames) {
    driver.SetIni("Port", "0");
    driver.SetIni("Name", "Ex", "FilterWheel1");
    WriteSet("Ex", 0, 10, "A");
    ASSERT_EQ(wheel.GetInstance(0), 0);
    ASSERT_EQ(wheel.Init(0, nullptr), 0);
    Sim().SetWheelPositionCount(1, -3);
    ASSERT_EQ(wheel.GetCount(0), -3);
    WriteSet("Ex", 0, 0, "");
    EXPECT_EQ(wheel.Init(0, nullptr), 0);
    EXPECT_EQ(wheel.SetPosition(0, 0), -6);
    char name[kNameSize] = "sentinel";
    EXPECT_EQ(wheel.GetName(0, 0, name), -6);
    EXPECT_STREQ(name, "sentinel");
}
