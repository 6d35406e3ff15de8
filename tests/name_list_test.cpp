// The host's name lists: filling a combo box, adding a name, rewriting a list.
#include <gtest/gtest.h>
#include "config_api.h"
#include <climits>
#include <iostream>

namespace {
constexpr int kFilters = 2;
constexpr int kObjectives = 4;
constexpr int kCondensers = 7;

class NameListTest : public ::testing::Test {
  protected:
    static std::string ListText(const char* section, const std::vector<std::string>& names) {
        std::string text = std::string("[") + section + "]\r\n";
        for (size_t i = 0; i < names.size(); ++i) {
            text += "Name" + std::to_string(i) + "=" + names[i] + "\r\n";
        }
        return text;
    }

    // The list as one key read after another gives it.
    std::vector<std::string> KeyByKey(const char* file, const char* section) const {
        const std::string path = DriverFilePath(driver, file);
        std::vector<std::string> names;
        for (int n = 0;; ++n) {
            char value[kNameSize] = "";
            GetPrivateProfileStringA(section, ("Name" + std::to_string(n)).c_str(), "", value,
                                     sizeof value, path.c_str());
            if (value[0] == '\0') {
                return names;
            }
            names.push_back(value);
        }
    }

    std::string Value(const char* file, const char* section, const char* key) const {
        char value[20000] = "";
        GetPrivateProfileStringA(section, key, "(none)", value, sizeof value,
                                 DriverFilePath(driver, file).c_str());
        return value;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe probe{driver};
};

std::vector<std::string> Numbered(const char* prefix, int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(prefix + std::to_string(i));
    }
    return names;
}

template <typename Work> double Milliseconds(Work&& work) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}
} // namespace

TEST_F(NameListTest, GapEndsTheListAndAddFillsIt) {
    WriteDriverFile(driver, "KROFWLST.INI",
                    "[Filters]\r\nName0=DAPI\r\nName1=FITC\r\nName3=TRITC\r\n");
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, "FITC"), 2);
    EXPECT_EQ(combo.Texts(), (std::vector<std::string>{"DAPI", "FITC"}));
    EXPECT_EQ(combo.Selected(), 1);

    probe.AddListName("Cy5", kFilters);
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name2"), "Cy5");
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name3"), "TRITC");
    EXPECT_EQ(KeyByKey("KROFWLST.INI", "Filters"),
              (std::vector<std::string>{"DAPI", "FITC", "Cy5", "TRITC"}));
}

TEST_F(NameListTest, EmptyValueIsAGapToo) {
    WriteDriverFile(driver, "KROOBLST.INI", "[Objectives]\r\nName0=10x\r\nName1=\r\nName2=40x\r\n");
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kObjectives, ""), 1);
    probe.AddListName("20x", kObjectives);
    EXPECT_EQ(KeyByKey("KROOBLST.INI", "Objectives"),
              (std::vector<std::string>{"10x", "20x", "40x"}));
}

TEST_F(NameListTest, EachKindHasItsFileAndSection) {
    // Every file holds every section, so that a wrong pairing shows.
    const char* files[] = {"KROFWLST.INI", "KROOBLST.INI", "KROCNLST.INI"};
    const char* sections[] = {"Filters", "Objectives", "Condensers"};
    for (const char* file : files) {
        std::string text;
        for (const char* section : sections) {
            text += ListText(section, {std::string(file).substr(0, 8) + " " + section});
        }
        WriteDriverFile(driver, file, text);
    }
    const struct {
        int kind;
        const char* name;
    } cases[] = {
        {kFilters, "KROFWLST Filters"},       {kObjectives, "KROOBLST Objectives"},
        {kCondensers, "KROCNLST Condensers"}, {1, "KROCNLST Condensers"},
        {3, "KROCNLST Condensers"},           {8, "KROCNLST Condensers"},
        {100, "KROCNLST Condensers"},         {-1, "KROCNLST Condensers"},
        {0, "KROCNLST Condensers"},           {INT_MIN, "KROCNLST Condensers"},
    };
    for (const auto& c : cases) {
        ComboHost combo;
        EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), c.kind, ""), 1) << c.kind;
        EXPECT_EQ(combo.Texts(), std::vector<std::string>{c.name}) << c.kind;
    }
    for (const auto& c : cases) {
        probe.AddListName(("added " + std::to_string(c.kind)).c_str(), c.kind);
    }
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name1"), "added 2");
    EXPECT_EQ(Value("KROOBLST.INI", "Objectives", "Name1"), "added 4");
    EXPECT_EQ(KeyByKey("KROCNLST.INI", "Condensers"),
              (std::vector<std::string>{"KROCNLST Condensers", "added 7", "added 1", "added 3",
                                        "added 8", "added 100", "added -1", "added 0",
                                        "added " + std::to_string(INT_MIN)}));
    for (const char* file : {"KROFWLST.INI", "KROOBLST.INI"}) {
        EXPECT_EQ(SectionKeys(ReadDriverFile(driver, file), "Condensers"),
                  std::vector<std::string>{"Name0"})
            << file;
    }
}

TEST_F(NameListTest, ValuesReadAsKeyReadsGiveThem) {
    const std::string longValue = std::string(58, 'L') + "M" + std::string(100, 'N');
    WriteDriverFile(driver, "KROFWLST.INI",
                    "[Filters]\r\n"
                    "  Name0  =   \"quoted\"   \r\n"
                    "Name01=not key 1\r\n"
                    "name1='single'\r\n"
                    ";Name2=comment\r\n"
                    "Name 2=space in key\r\n"
                    "NAME2=\"unbalanced\r\n"
                    "Name3=  inner  \"q\"  \r\n"
                    "Name4=" +
                        longValue +
                        "\r\n"
                        "Name5=first\r\n"
                        "Name5=second\r\n"
                        "Name6=\"" +
                        longValue +
                        "\"\r\n"
                        "Name7=a=b\r\n"
                        "Name8=''\r\n"
                        "Name9=after the gap\r\n"
                        "[Filters]\r\nName8=second section\r\n");
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, ""), 8);
    const std::vector<std::string> expected = {"quoted",
                                               "single",
                                               "\"unbalanced",
                                               "inner  \"q\"",
                                               longValue.substr(0, 59),
                                               "first",
                                               longValue.substr(0, 59),
                                               "a=b"};
    EXPECT_EQ(combo.Texts(), expected);
    EXPECT_EQ(KeyByKey("KROFWLST.INI", "Filters"), expected);
}

TEST_F(NameListTest, KeyWithoutValueEndsTheList) {
    WriteDriverFile(driver, "KROCNLST.INI",
                    "[Condensers]\r\nName0=a\r\nName1\r\nName1=b\r\nName2=c\r\n");
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kCondensers, ""), 1);
    EXPECT_EQ(combo.Texts(), KeyByKey("KROCNLST.INI", "Condensers"));
    EXPECT_EQ(combo.Texts(), std::vector<std::string>{"a"});
}

TEST_F(NameListTest, MissingFileIsAnEmptyList) {
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, "DAPI"), 0);
    EXPECT_EQ(combo.Count(), 0);
    EXPECT_EQ(combo.Selected(), CB_ERR);
    EXPECT_FALSE(DriverFileExists(driver, "KROFWLST.INI"));

    WriteDriverFile(driver, "KROFWLST.INI", "[Other]\r\nName0=x\r\n");
    combo.Add("kept");
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, "DAPI"), 0);
    EXPECT_EQ(combo.Texts(), std::vector<std::string>{"kept"});
    EXPECT_EQ(combo.Selected(), 0);
}

TEST_F(NameListTest, FillAppendsAfterExistingEntriesWithoutSorting) {
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", {"zeta", "Alpha", "mu"}));
    ComboHost combo;
    combo.Add("existing");
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, "ALPHA"), 3);
    EXPECT_EQ(combo.Texts(), (std::vector<std::string>{"existing", "zeta", "Alpha", "mu"}));
    EXPECT_EQ(combo.Selected(), 2);
}

TEST_F(NameListTest, SelectionSearchStartsAtTheSecondEntryAndWraps) {
    const struct {
        std::vector<std::string> names;
        const char* select;
        int selected;
    } cases[] = {
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "ALPHA", 3},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "Alpha", 3},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "BETA", 1},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "delta", 4},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "missing", 0},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "Alph", 0},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, "", 0},
        {{"Alpha", "beta", "Gamma", "alpha", "Delta"}, nullptr, 0},
        {{"Alpha", "Beta"}, "alpha", 0},
        {{"Alpha", "Beta"}, "beta", 1},
        {{"Alpha"}, "ALPHA", 0},
        {{"Alpha"}, "Beta", 0},
    };
    for (const auto& c : cases) {
        WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", c.names));
        ComboHost combo;
        EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, c.select),
                  static_cast<int>(c.names.size()));
        EXPECT_EQ(combo.Selected(), c.selected)
            << (c.select ? c.select : "(null)") << " among " << c.names.size();
    }
}

TEST_F(NameListTest, AddIgnoresLetterCaseAndWritesNothingForAListedName) {
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", {"DAPI", "Fitc", "TRITC"}));
    const std::string before = ReadDriverFile(driver, "KROFWLST.INI");
    for (const char* name : {"dapi", "FITC", "tritc", "TRITC"}) {
        probe.AddListName(name, kFilters);
        EXPECT_EQ(ReadDriverFile(driver, "KROFWLST.INI"), before) << name;
    }
    probe.AddListName("TRITC2", kFilters);
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name3"), "TRITC2");
}

TEST_F(NameListTest, AddCreatesTheFileAndSkipsEmptyNames) {
    probe.AddListName("", kObjectives);
    probe.AddListName(nullptr, kObjectives);
    EXPECT_FALSE(DriverFileExists(driver, "KROOBLST.INI"));
    probe.AddListName("63x Oil", kObjectives);
    EXPECT_EQ(ReadDriverFile(driver, "KROOBLST.INI"), "[Objectives]\r\nName0=63x Oil\r\n");
}

TEST_F(NameListTest, AddSeesWhatTheHostWroteSinceTheLastRead) {
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", {"DAPI"}));
    probe.AddListName("FITC", kFilters);
    // The host rewrites the file behind the driver's back.
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", {"Cy3", "Cy5"}));
    probe.AddListName("FITC", kFilters);
    EXPECT_EQ(KeyByKey("KROFWLST.INI", "Filters"),
              (std::vector<std::string>{"Cy3", "Cy5", "FITC"}));
}

TEST_F(NameListTest, LongNamesAreCutTo59Characters) {
    const std::string longName = std::string(59, 'a') + std::string(10000, 'b');
    probe.AddListName(longName.c_str(), kCondensers);
    EXPECT_EQ(Value("KROCNLST.INI", "Condensers", "Name0"), std::string(59, 'a'));
    probe.AddListName((std::string(59, 'A') + "different tail").c_str(), kCondensers);
    EXPECT_EQ(Value("KROCNLST.INI", "Condensers", "Name1"), "(none)")
        << "equal once cut, so already listed";

    ComboHost combo;
    combo.Add(longName);
    combo.Add(std::string(20000, 'c'));
    probe.RewriteNameList(combo.window(), combo.id(), kCondensers);
    const std::string text = ReadDriverFile(driver, "KROCNLST.INI");
    EXPECT_EQ(text, "[Condensers]\r\nName0=" + std::string(59, 'a') +
                        "\r\nName1=" + std::string(59, 'c') + "\r\n");
}

TEST_F(NameListTest, RewriteRenumbersInListOrder) {
    WriteDriverFile(driver, "KROFWLST.INI",
                    ListText("Filters", {"DAPI", "FITC", "TRITC", "Cy5", "Cy7"}) +
                        "[Other]\r\nKey=value\r\n");
    ComboHost combo;
    ASSERT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, ""), 5);
    combo.Delete(4);
    combo.Delete(3);
    combo.Delete(1);
    probe.RewriteNameList(combo.window(), combo.id(), kFilters);
    const std::string text = ReadDriverFile(driver, "KROFWLST.INI");
    EXPECT_EQ(SectionKeys(text, "Filters"), (std::vector<std::string>{"Name0", "Name1"}));
    EXPECT_EQ(KeyByKey("KROFWLST.INI", "Filters"), (std::vector<std::string>{"DAPI", "TRITC"}));
    EXPECT_EQ(text.find("[Other]"), std::string::npos) << "the file is replaced whole";
}

TEST_F(NameListTest, RewriteOfAnEmptyComboLeavesNoFile) {
    WriteDriverFile(driver, "KROOBLST.INI", ListText("Objectives", {"10x", "20x"}));
    ComboHost combo;
    probe.RewriteNameList(combo.window(), combo.id(), kObjectives);
    EXPECT_FALSE(DriverFileExists(driver, "KROOBLST.INI"));
    probe.RewriteNameList(combo.window(), combo.id(), kObjectives);
    EXPECT_FALSE(DriverFileExists(driver, "KROOBLST.INI"));
}

TEST_F(NameListTest, RewriteWithoutItsComboBoxKeepsTheFile) {
    const std::string text = ListText("Condensers", {"Dry", "Oil"});
    WriteDriverFile(driver, "KROCNLST.INI", text);
    ComboHost combo;
    combo.Add("other");
    probe.RewriteNameList(combo.window(), combo.id() + 1, kCondensers);
    EXPECT_EQ(ReadDriverFile(driver, "KROCNLST.INI"), text);
}

TEST_F(NameListTest, RewriteWritesTheFileOfItsKind) {
    for (const char* file : {"KROFWLST.INI", "KROOBLST.INI", "KROCNLST.INI"}) {
        WriteDriverFile(driver, file, "[Kept]\r\nName0=x\r\n");
    }
    ComboHost combo;
    combo.Add("new");
    probe.RewriteNameList(combo.window(), combo.id(), kObjectives);
    EXPECT_EQ(ReadDriverFile(driver, "KROOBLST.INI"), "[Objectives]\r\nName0=new\r\n");
    EXPECT_EQ(ReadDriverFile(driver, "KROFWLST.INI"), "[Kept]\r\nName0=x\r\n");
    EXPECT_EQ(ReadDriverFile(driver, "KROCNLST.INI"), "[Kept]\r\nName0=x\r\n");
}

// Another program (the host, a viewer) holds the list open while the user
// removes a name. However the rewrite ends, the list is whole afterwards: the
// new one, or the old one when the file could not be replaced.
TEST_F(NameListTest, ARewriteWhileTheListIsHeldOpenLosesNoName) {
    const struct {
        const char* label;
        DWORD sharing;
    } cases[] = {
        {"shared for delete", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
        {"shared for writing", FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"shared for reading", FILE_SHARE_READ},
    };
    const std::string oldText = ListText("Filters", {"DAPI", "FITC", "TRITC"});
    const std::string newText = ListText("Filters", {"DAPI", "TRITC"});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteDriverFile(driver, "KROFWLST.INI", oldText);
        const HANDLE held =
            CreateFileA(DriverFilePath(driver, "KROFWLST.INI").c_str(), GENERIC_READ, c.sharing,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ComboHost combo;
        ASSERT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, ""), 3);
        combo.Delete(1);
        probe.RewriteNameList(combo.window(), combo.id(), kFilters);
        CloseHandle(held);
        ASSERT_TRUE(DriverFileExists(driver, "KROFWLST.INI"));
        const std::string text = ReadDriverFile(driver, "KROFWLST.INI");
        EXPECT_TRUE(text == newText || text == oldText) << text;
        std::cout << c.label << ": " << (text == newText ? "rewritten" : "kept") << "\n";
        WIN32_FIND_DATAA found;
        const HANDLE left = FindFirstFileA((driver.folder() + "\\kro*.tmp").c_str(), &found);
        EXPECT_EQ(left, INVALID_HANDLE_VALUE) << "no new list is left beside the old one";
        if (left != INVALID_HANDLE_VALUE) {
            FindClose(left);
        }
    }
}

TEST_F(NameListTest, ThousandsOfNamesAndVeryLongLines) {
    const std::vector<std::string> names = Numbered("Filter ", 3000);
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", names));
    {
        ComboHost combo;
        EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, "FILTER 2999"), 3000);
        EXPECT_EQ(combo.Texts(), names);
        EXPECT_EQ(combo.Selected(), 2999);
    }
    probe.AddListName("filter 1500", kFilters);
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name3000"), "(none)");
    probe.AddListName("Filter 3000", kFilters);
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name3000"), "Filter 3000");

    // Lines far longer than a name, before and after a long run of names.
    std::string text = "[Filters]\r\n";
    for (int i = 0; i < 2000; ++i) {
        const std::string value = i % 400 == 0 ? std::to_string(i) + std::string(10000, 'x')
                                               : "name " + std::to_string(i);
        text += "Name" + std::to_string(i) + "=" + value + "\r\n";
    }
    WriteDriverFile(driver, "KROFWLST.INI", text);
    ComboHost combo;
    EXPECT_EQ(probe.FillNameList(combo.window(), combo.id(), kFilters, ""), 2000);
    EXPECT_EQ(combo.Text(0), "0" + std::string(58, 'x'));
    EXPECT_EQ(combo.Text(1600), "1600" + std::string(55, 'x'));
    EXPECT_EQ(combo.Text(1999), "name 1999");
    EXPECT_EQ(combo.Texts(), KeyByKey("KROFWLST.INI", "Filters"));
}

TEST_F(NameListTest, RewriteOfThousandsReadsBack) {
    ComboHost combo;
    const std::vector<std::string> names = Numbered("Condenser ", 3000);
    for (const std::string& name : names) {
        combo.Add(name);
    }
    combo.Delete(0);
    probe.RewriteNameList(combo.window(), combo.id(), kCondensers);
    ComboHost back;
    EXPECT_EQ(probe.FillNameList(back.window(), back.id(), kCondensers, ""), 2999);
    EXPECT_EQ(back.Texts(), std::vector<std::string>(names.begin() + 1, names.end()));
    EXPECT_EQ(Value("KROCNLST.INI", "Condensers", "Name2998"), "Condenser 2999");
}

TEST_F(NameListTest, LongListsAreReadInOnePass) {
    // Key after key, a list of thousands costs a profile call per key, each
    // opening the file and searching the section; the driver must come in far
    // under that.
    const std::vector<std::string> names = Numbered("F", 3000);
    WriteDriverFile(driver, "KROFWLST.INI", ListText("Filters", names));
    // The first pass through the profile code is slow under an emulator.
    KeyByKey("KROFWLST.INI", "Filters");
    std::vector<std::string> reference;
    const double keyByKey = Milliseconds([&] { reference = KeyByKey("KROFWLST.INI", "Filters"); });
    ASSERT_EQ(reference, names);

    const double add = Milliseconds([&] { probe.AddListName("f2999", kFilters); });
    EXPECT_EQ(Value("KROFWLST.INI", "Filters", "Name3000"), "(none)");
    EXPECT_LT(add * 10, keyByKey) << add << " ms against " << keyByKey << " ms";

    // Filling costs the combo box's own work besides the reading, and that
    // varies from run to run: the bound is looser.
    ComboHost appended;
    const double insert = Milliseconds([&] {
        for (const std::string& name : names) {
            SendDlgItemMessageA(appended.window(), appended.id(), CB_INSERTSTRING,
                                static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
        }
    });
    ComboHost combo;
    int count = 0;
    const double fill = Milliseconds(
        [&] { count = probe.FillNameList(combo.window(), combo.id(), kFilters, "F0"); });
    EXPECT_EQ(count, 3000);
    EXPECT_LT((fill - insert) * 3, keyByKey)
        << fill << " ms with " << insert << " ms for the combo box, against " << keyByKey << " ms";
}
