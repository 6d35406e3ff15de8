// The settings file: where it lies, what a load reads, what a save writes.
#include <gtest/gtest.h>
#include "xy_api.h"
#include "core/number_text.h"
#include "core/settings_map.h"
#include <fstream>
#include <map>
#include <set>

namespace {
class SettingsTest : public ::testing::Test {
  protected:
    DriverSettingsRecord Load() {
        probe.LoadSettings();
        DriverSettingsRecord s{};
        probe.GetSettings(&s);
        return s;
    }

    LoadedDriver driver{"STolvo32Probe.dll"};
    ProbeApi probe{driver};
};

// The keys of the section in file order, as written.
std::vector<std::string> SectionKeys(const std::string& text) {
    std::vector<std::string> keys;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            keys.push_back(line.substr(0, equals));
        }
        start = end + 1;
    }
    return keys;
}
} // namespace

TEST_F(SettingsTest, PathIsBesideTheModule) {
    char path[MAX_PATH] = "";
    probe.SettingsPath(path, MAX_PATH);
    EXPECT_STREQ(path, driver.IniPath().c_str());
}

TEST_F(SettingsTest, ValuesBeforeAnyLoad) {
    DriverSettingsRecord s{};
    probe.GetSettings(&s);
    EXPECT_EQ(s.port, -1);
    EXPECT_EQ(s.stageStepIndex, -1);
    EXPECT_EQ(s.focusStepIndex, -1);
    EXPECT_DOUBLE_EQ(s.xyStep, 0.001);
    EXPECT_DOUBLE_EQ(s.zStep, 0.0001);
    EXPECT_EQ(s.xyStepChoices, 6);
    EXPECT_EQ(s.zStepChoices, 4);
    EXPECT_EQ(s.timeOut, 60000);
}

TEST_F(SettingsTest, LoadWithoutFileGivesDefaults) {
    const DriverSettingsRecord s = Load();
    EXPECT_EQ(s.port, -1);
    EXPECT_EQ(s.baudRate, 9600);
    EXPECT_EQ(s.baudIndex, 0);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_EQ(s.parity, 0);
    EXPECT_EQ(s.stageStepIndex, 4);
    EXPECT_DOUBLE_EQ(s.xyStep, 1.0);
    EXPECT_EQ(s.focusStepIndex, 2);
    EXPECT_DOUBLE_EQ(s.zStep, 0.5);
    EXPECT_EQ(s.canAutoFocus, 1);
    EXPECT_EQ(s.hasJoystick, 1);
    EXPECT_EQ(s.timeOut, 60000);
    EXPECT_DOUBLE_EQ(s.userXYStep, -1.0);
    EXPECT_EQ(GetFileAttributesA(driver.IniPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "a load must not create the file";
}

TEST_F(SettingsTest, BaudRateMapsToItsIndexOrFallsBackTo9600) {
    const struct {
        const char* stored;
        int rate;
        int index;
    } cases[] = {{"9600", 9600, 0}, {"2400", 2400, 1},  {"600", 600, 2},
                 {"150", 150, 3},   {"19200", 9600, 0}, {"fast", 9600, 0}};
    for (const auto& c : cases) {
        driver.SetIni("BaudRate", c.stored);
        const DriverSettingsRecord s = Load();
        EXPECT_EQ(s.baudRate, c.rate) << c.stored;
        EXPECT_EQ(s.baudIndex, c.index) << c.stored;
    }
}

TEST_F(SettingsTest, UserDefinedStepSizesAreReadOnlyWhenChosen) {
    driver.SetIni("StageStep", "5");
    driver.SetIni("dUserDefinedXYStepSize", "0.3");
    DriverSettingsRecord s = Load();
    EXPECT_DOUBLE_EQ(s.xyStep, 2.0);
    EXPECT_DOUBLE_EQ(s.userXYStep, -1.0);
    EXPECT_EQ(s.xyStepChoices, 6);

    driver.SetIni("StageStep", "6");
    driver.SetIni("FocusStep", "4");
    driver.SetIni("dUserDefinedZStepSize", "0.07um");
    s = Load();
    EXPECT_DOUBLE_EQ(s.xyStep, 0.3);
    EXPECT_DOUBLE_EQ(probe.XYStepSlot(6), 0.3);
    EXPECT_EQ(s.xyStepChoices, 7);
    EXPECT_DOUBLE_EQ(s.zStep, 0.07) << "the leading number counts";
    EXPECT_DOUBLE_EQ(probe.ZStepSlot(4), 0.07);
    EXPECT_EQ(s.zStepChoices, 5);

    // Choosing a table size again keeps the user size and the longer list.
    driver.SetIni("StageStep", "2");
    s = Load();
    EXPECT_DOUBLE_EQ(s.xyStep, 0.4);
    EXPECT_EQ(s.xyStepChoices, 7);
    EXPECT_DOUBLE_EQ(s.userXYStep, 0.3);
}

// The host takes the step size as its calibration: a stored user size is a
// decimal number, and one that is not a positive number counts as not set.
TEST_F(SettingsTest, ChosenUserSizeThatIsNoPositiveNumberGivesTheDefaultCalibration) {
    const struct {
        const char* stored; // nullptr: no key
        double xy;
        double z;
        int xyChoices;
    } cases[] = {
        {nullptr, 1.0, 0.5, 6}, {"none", 1.0, 0.5, 6},     {"0", 1.0, 0.5, 6},
        {"-0.5", 1.0, 0.5, 6},  {"-1.0", 1.0, 0.5, 6},     {"nan", 1.0, 0.5, 6},
        {"inf", 1.0, 0.5, 6},   {"-inf", 1.0, 0.5, 6},     {"0x10", 1.0, 0.5, 6},
        {"1e400", 1.0, 0.5, 6}, {"2.5e-1", 0.25, 0.25, 7}, {"0.3um", 0.3, 0.3, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored != nullptr ? c.stored : "(no key)");
        LoadedDriver fresh{"STolvo32Probe.dll"};
        fresh.SetIni("StageStep", "6");
        fresh.SetIni("FocusStep", "4");
        fresh.SetIni("dUserDefinedXYStepSize", c.stored);
        fresh.SetIni("dUserDefinedZStepSize", c.stored);
        XYApi xy{fresh};
        FocusApi focus{fresh};
        EXPECT_EQ(xy.Init(nullptr), -2) << "the settings are loaded; no port";
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
        xy.Calib(&x, &y);
        focus.Calib(&z);
        EXPECT_EQ(x, c.xy);
        EXPECT_EQ(y, c.xy);
        EXPECT_EQ(z, c.z);
        DriverSettingsRecord s{};
        ProbeApi(fresh).GetSettings(&s);
        EXPECT_EQ(s.xyStepChoices, c.xyChoices) << "a size that is none is not offered";
        EXPECT_EQ(s.stageStepIndex, 6) << "the stored choice itself is kept";
    }
}

TEST_F(SettingsTest, StepIndexOutsideTheTablesUsesTheDefaultSize) {
    const struct {
        const char* stage;
        const char* focus;
    } cases[] = {{"7", "5"}, {"-2", "-1"}, {"100000", "99999"}};
    for (const auto& c : cases) {
        driver.SetIni("StageStep", c.stage);
        driver.SetIni("FocusStep", c.focus);
        const DriverSettingsRecord s = Load();
        EXPECT_DOUBLE_EQ(s.xyStep, 1.0) << c.stage;
        EXPECT_DOUBLE_EQ(s.zStep, 0.5) << c.focus;
    }
}

TEST_F(SettingsTest, JoystickIsAlwaysFittedAndTimeOutComesFromTheFile) {
    driver.SetIni("HasJoystick", "0");
    driver.SetIni("TimeOut", "2500");
    const DriverSettingsRecord s = Load();
    EXPECT_EQ(s.hasJoystick, 1);
    EXPECT_EQ(s.timeOut, 2500);
}

TEST_F(SettingsTest, SaveWritesTheTenKeysInOrderAndLeavesOthers) {
    driver.SetIni("TimeOut", "1234");
    driver.SetIni("DefaultAll", "1");
    driver.SetIni("StageStep", "6");
    driver.SetIni("dUserDefinedXYStepSize", "0.3");
    driver.SetIni("BaudRate", "600");
    driver.SetIni("Port", "2");
    Load();
    probe.SaveSettings();

    const std::string text = driver.IniFileText();
    const std::vector<std::string> expected = {"TimeOut",      "DefaultAll",
                                               "StageStep",    "dUserDefinedXYStepSize",
                                               "BaudRate",     "Port",
                                               "StopBits",     "Parity",
                                               "FocusStep",    "dUserDefinedZStepSize",
                                               "CanAutoFocus", "HasJoystick"};
    EXPECT_EQ(SectionKeys(text), expected);
    EXPECT_NE(text.find("TimeOut=1234"), std::string::npos);
    EXPECT_NE(text.find("DefaultAll=1"), std::string::npos);
    EXPECT_NE(text.find("Port=2"), std::string::npos);
    EXPECT_NE(text.find("BaudRate=600"), std::string::npos);
    EXPECT_NE(text.find("StageStep=6"), std::string::npos);
    EXPECT_NE(text.find("FocusStep=2"), std::string::npos);
    EXPECT_NE(text.find("HasJoystick=1"), std::string::npos);

    // What was saved loads back to the same settings.
    const DriverSettingsRecord s = Load();
    EXPECT_DOUBLE_EQ(s.userXYStep, 0.3);
    EXPECT_DOUBLE_EQ(s.userZStep, -1.0) << "the unset Z size is written as -1";
    EXPECT_EQ(s.timeOut, 1234);
}

TEST_F(SettingsTest, SaveOrderIntoAnEmptyFile) {
    probe.SaveSettings();
    const std::vector<std::string> expected = {"Port",         "BaudRate",
                                               "StopBits",     "Parity",
                                               "StageStep",    "dUserDefinedXYStepSize",
                                               "FocusStep",    "dUserDefinedZStepSize",
                                               "CanAutoFocus", "HasJoystick"};
    EXPECT_EQ(SectionKeys(driver.IniFileText()), expected);
}

TEST_F(SettingsTest, StepSizeTextComesFromTheHostLibraryWhenThere) {
    char text[kNumberTextSize];
    // Without the host library the driver's own text reads back exactly
    // where 14 characters allow it, and comes as close as they allow.
    probe.FormatNumber(0.3, text);
    EXPECT_STREQ(text, "0.3");
    probe.FormatNumber(-1.0, text);
    EXPECT_STREQ(text, "-1");
    probe.FormatNumber(1.0 / 3.0, text);
    EXPECT_STREQ(text, "0.333333333333");
    probe.FormatNumber(0.1 + 0.2, text);
    EXPECT_STREQ(text, "0.3");

    ASSERT_TRUE(SetDllDirectoryA(HostLibDir().c_str()));
    probe.FormatNumber(1.0 / 3.0, text);
    SetDllDirectoryA(nullptr);
    EXPECT_STREQ(text, "0.333333333") << "nine digits, as the host library writes";
}

// The host library's calling convention is not documented: a library that
// leaves its arguments on the stack (cdecl) and one that pops them (stdcall)
// must both work, call after call.
TEST_F(SettingsTest, HostLibraryOfEitherCallingConvention) {
    for (const std::string& folder : {HostLibDir(), HostLibDir() + "-cdecl"}) {
        ASSERT_TRUE(SetDllDirectoryA(folder.c_str()));
        for (int i = 0; i < 1000; ++i) {
            char text[kNumberTextSize] = "sentinel";
            probe.FormatNumber(0.25 + i, text);
            const std::string expected = std::to_string(i) + ".25";
            ASSERT_EQ(std::string(text), expected) << folder << " call " << i;
        }
        SetDllDirectoryA(nullptr);
    }
}

namespace {
// The key tables of STolvo.INI in docs/files.md: section, key, default cell.
using DocumentedKeys = std::map<std::string, std::map<std::string, std::string>>;

std::vector<std::string> TableCells(const std::string& line) {
    std::vector<std::string> cells;
    size_t start = 1;
    for (size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
        std::string cell = line.substr(start, bar - start);
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        cells.push_back(cell);
        start = bar + 1;
    }
    return cells;
}

DocumentedKeys ReadDocumentedKeys() {
    std::ifstream file(std::string("Z:") + STOLVO_SOURCE_DIR + "/docs/files.md");
    EXPECT_TRUE(file.is_open()) << STOLVO_SOURCE_DIR << "/docs/files.md";
    DocumentedKeys keys;
    bool inSettingsFile = false;
    std::string section;
    size_t defaultColumn = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("## ", 0) == 0) {
            inSettingsFile = line == "## STolvo.INI";
        } else if (inSettingsFile && line.rfind("### ", 0) == 0) {
            const size_t open = line.find('[');
            const size_t close = line.find(']');
            section = open == 4 && close != std::string::npos ? line.substr(5, close - 5) : "";
            keys[section];
        } else if (inSettingsFile && !section.empty() && line.rfind("| ", 0) == 0) {
            const std::vector<std::string> cells = TableCells(line);
            if (cells.front() == "key") {
                defaultColumn = 0;
                while (defaultColumn < cells.size() && cells[defaultColumn].rfind("default", 0)) {
                    ++defaultColumn;
                }
            } else if (cells.front().size() > 2 && cells.front().front() == '`') {
                const std::string key = cells.front().substr(1, cells.front().size() - 2);
                keys[section][key] = defaultColumn < cells.size() ? cells[defaultColumn] : "";
            }
        }
    }
    keys.erase("");
    return keys;
}

// The values a default cell names, in order: numbers and the empty text "".
std::vector<std::string> Values(const std::string& cell) {
    std::vector<std::string> values;
    for (size_t i = 0; i < cell.size();) {
        const bool afterWord = i > 0 && std::isalnum(static_cast<unsigned char>(cell[i - 1]));
        size_t end = i;
        while (end < cell.size() && (std::isdigit(static_cast<unsigned char>(cell[end])) ||
                                     cell[end] == '-' || cell[end] == '.')) {
            ++end;
        }
        if (cell.compare(i, 2, "\"\"") == 0) {
            values.push_back("\"\"");
            i += 2;
        } else if (end > i && !afterWord && cell.find_first_of("0123456789", i) < end) {
            values.push_back(cell.substr(i, end - i));
            i = end;
        } else {
            i = end > i ? end : i + 1;
        }
    }
    return values;
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string SectionOf(const SettingsKey& key) {
    SectionName name;
    FormatSectionName(key.section, 1, name);
    return name;
}
} // namespace

// Every section and key of the map is documented with its defaults, the
// first one named first, and the documents name no key the map lacks.
TEST(SettingsMapTest, DocumentedAsTheMapHasThem) {
    const DocumentedKeys documented = ReadDocumentedKeys();
    std::set<std::string> sections;
    for (const char* format : kSettingsSections) {
        SectionName name;
        FormatSectionName(format, 1, name);
        sections.insert(name);
        EXPECT_EQ(documented.count(name), 1u) << "no section [" << name << "]";
    }
    size_t mapped = 0;
    for (const SettingsKey* key : kSettingsKeys) {
        const std::string section = SectionOf(*key);
        EXPECT_EQ(sections.count(section), 1u) << key->name << " has a section the map lacks";
        SCOPED_TRACE(section + " " + key->name);
        const auto inSection = documented.find(section);
        if (inSection == documented.end() || inSection->second.count(key->name) == 0) {
            ADD_FAILURE() << "not documented";
            continue;
        }
        ++mapped;
        const std::vector<std::string> values = Values(inSection->second.at(key->name));
        std::vector<std::string> defaults;
        for (const SettingDefault& d : key->defaults) {
            if (d.reader != SettingsReader::None) {
                const std::string text = key->type == SettingType::Integer
                                             ? std::to_string(d.number)
                                         : d.text[0] == '\0' ? "\"\""
                                                             : d.text;
                if (!Contains(defaults, text)) {
                    defaults.push_back(text);
                }
            }
        }
        if (defaults.empty()) {
            EXPECT_TRUE(values.empty()) << "a key that is never read has no default";
            continue;
        }
        ASSERT_FALSE(values.empty());
        EXPECT_TRUE(Contains(defaults, values.front())) << "documented first: " << values.front();
        for (const std::string& d : defaults) {
            EXPECT_TRUE(Contains(values, d)) << "default " << d << " is not documented";
        }
    }
    size_t listed = 0;
    for (const auto& section : documented) {
        EXPECT_EQ(sections.count(section.first), 1u) << "[" << section.first << "] is not mapped";
        listed += section.second.size();
    }
    EXPECT_EQ(listed, mapped) << "the documents list keys the map lacks";
}
