// The resources of the built module, read back and parsed as Windows reads
// them: the five dialog templates, the string table and the version record.
#include <gtest/gtest.h>
#include "test_support.h"
#include "stolvo_version.h"
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {
const WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

struct ControlEntry {
    int id;
    std::string cls;
    std::string text;
    DWORD style;
    int x, y, cx, cy;
};

bool operator==(const ControlEntry& a, const ControlEntry& b) {
    return a.id == b.id && a.cls == b.cls && a.text == b.text && a.style == b.style && a.x == b.x &&
           a.y == b.y && a.cx == b.cx && a.cy == b.cy;
}

std::ostream& operator<<(std::ostream& out, const ControlEntry& c) {
    return out << "{" << c.id << ", " << c.cls << ", \"" << c.text << "\", 0x" << std::hex
               << c.style << std::dec << ", " << c.x << ", " << c.y << ", " << c.cx << ", " << c.cy
               << "}";
}

struct DialogTemplate {
    DWORD style = 0;
    int cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string font;
    std::vector<ControlEntry> controls;
};

// Reads a DLGTEMPLATE (the classic form, not DLGTEMPLATEEX).
class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : start_(data), at_(data) {}

    DialogTemplate Read() {
        DialogTemplate t;
        t.style = Dword();
        Dword(); // extended style
        const int count = Word();
        Short();
        Short();
        t.cx = Short();
        t.cy = Short();
        NameOrOrdinal(); // menu
        NameOrOrdinal(); // class
        t.caption = String();
        if (t.style & DS_SETFONT) {
            t.pointSize = Word();
            t.font = String();
        }
        for (int i = 0; i < count; ++i) {
            AlignToDword();
            ControlEntry c;
            c.style = Dword();
            Dword();
            c.x = Short();
            c.y = Short();
            c.cx = Short();
            c.cy = Short();
            c.id = static_cast<short>(Word());
            c.cls = ClassName();
            c.text = NameOrOrdinal();
            at_ += Word(); // creation data
            t.controls.push_back(c);
        }
        return t;
    }

  private:
    WORD Word() {
        WORD w;
        std::memcpy(&w, at_, sizeof w);
        at_ += sizeof w;
        return w;
    }
    short Short() { return static_cast<short>(Word()); }
    DWORD Dword() {
        DWORD d;
        std::memcpy(&d, at_, sizeof d);
        at_ += sizeof d;
        return d;
    }
    void AlignToDword() {
        while ((at_ - start_) % 4 != 0) {
            ++at_;
        }
    }
    std::string String() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text += static_cast<char>(c);
        }
        return text;
    }
    // A text, or an ordinal as "#n".
    std::string NameOrOrdinal() {
        WORD first;
        std::memcpy(&first, at_, sizeof first);
        if (first != 0xFFFF) {
            return String();
        }
        Word();
        return "#" + std::to_string(Word());
    }
    // The predefined classes by name, whether stored as ordinal or as text.
    std::string ClassName() {
        std::string name = NameOrOrdinal();
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const std::map<std::string, std::string> known = {{"#128", "button"},
                                                          {"#129", "edit"},
                                                          {"#130", "static"},
                                                          {"#133", "combo box"},
                                                          {"combobox", "combo box"}};
        const auto found = known.find(name);
        return found != known.end() ? found->second : name;
    }

    const BYTE* start_;
    const BYTE* at_;
};

const BYTE* ResourceData(HMODULE module, LPCSTR type, int id) {
    HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), kEnglishUS);
    if (found == nullptr) {
        return nullptr;
    }
    return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
constexpr DWORD kLabel = kShown | WS_GROUP | SS_LEFT;
constexpr DWORD kCentredLabel = kShown | WS_GROUP | SS_CENTER;
constexpr DWORD kStageList = kShown | CBS_DROPDOWN | CBS_SORT | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kChoiceList = kShown | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kEditableList = kShown | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kPush = kShown | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kRadio = kShown | BS_AUTORADIOBUTTON;

std::vector<ControlEntry> StagePageControls(int stepBoxX) {
    return {
        {1010, "static", "Serial COMM Port:", kLabel, 9, 6, 94, 11},
        {1000, "combo box", "", kStageList, 6, 18, 91, 16},
        {1011, "static", "Serial Baud Rate:", kLabel, 9, 42, 94, 11},
        {1003, "combo box", "", kStageList, 6, 54, 91, 16},
        {1012, "static", "Stop Bits", kLabel, 6, 78, 60, 11},
        {1004, "button", "1 Bit", kRadio | WS_GROUP | WS_TABSTOP, 6, 90, 40, 11},
        {1005, "button", "2 Bits", kRadio | WS_TABSTOP, 48, 90, 40, 11},
        {1013, "static", "Parity", kLabel, 6, 110, 29, 8},
        {1006, "button", "None", kRadio | WS_GROUP, 6, 122, 30, 10},
        {1007, "button", "Even", kRadio, 42, 122, 30, 10},
        {1008, "button", "Odd", kRadio, 78, 122, 30, 10},
        {-1, "static", "Step Size:", kLabel, 121, 6, 94, 11},
        {1001, "combo box", "", kStageList, stepBoxX, 18, 91, 16},
    };
}

void ExpectPageTemplate(const DialogTemplate& t, int cx, int cy) {
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_CHILD | DS_SETFONT));
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.caption, "");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.font, "MS Sans Serif");
}

class Resources : public ::testing::Test {
  protected:
    DialogTemplate Template(int id) {
        const BYTE* data = ResourceData(driver.module(), MAKEINTRESOURCEA(5), id);
        EXPECT_NE(data, nullptr) << "template " << id << " in language 1033";
        return data != nullptr ? TemplateReader(data).Read() : DialogTemplate{};
    }

    LoadedDriver driver;
};
} // namespace

TEST_F(Resources, XYPageTemplate) {
    const DialogTemplate t = Template(101);
    ExpectPageTemplate(t, 227, 150);
    EXPECT_EQ(t.controls, StagePageControls(117));
}

TEST_F(Resources, ZPageTemplate) {
    const DialogTemplate t = Template(102);
    ExpectPageTemplate(t, 227, 150);
    std::vector<ControlEntry> expected = StagePageControls(114);
    expected.push_back(
        {1002, "button", "Has AutoFocus", kShown | BS_AUTOCHECKBOX | WS_TABSTOP, 117, 55, 67, 11});
    EXPECT_EQ(t.controls, expected);
}

TEST_F(Resources, ShutterPageTemplate) {
    const DialogTemplate t = Template(103);
    ExpectPageTemplate(t, 230, 97);
    const std::vector<ControlEntry> expected = {
        {1021, "static", "Shutter Number: %d", kLabel, 10, 4, 127, 10},
        {1020, "edit", "", kShown | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 14, 170, 15},
        {1010, "static", "Serial COMM Port:", kLabel, 11, 34, 71, 9},
        {1000, "combo box", "", kChoiceList, 10, 44, 79, 16},
        {1011, "static", "Serial Baud Rate:", kLabel, 11, 63, 71, 9},
        {1003, "combo box", "", kChoiceList, 10, 71, 79, 16},
        {1012, "static", "Stop Bits", kCentredLabel, 116, 34, 60, 11},
        {1004, "button", "1 Bit", kRadio | WS_GROUP | WS_TABSTOP, 116, 47, 32, 11},
        {1005, "button", "2 Bits", kRadio | WS_TABSTOP, 148, 47, 40, 11},
        {1013, "static", "Parity", kCentredLabel, 106, 60, 88, 8},
        {1006, "button", "None", kRadio | WS_GROUP, 103, 72, 30, 10},
        {1007, "button", "Even", kRadio, 137, 72, 30, 10},
        {1008, "button", "Odd", kRadio, 177, 72, 30, 10},
    };
    EXPECT_EQ(t.controls, expected);
}

TEST_F(Resources, FilterWheelPageTemplate) {
    const DialogTemplate t = Template(104);
    ExpectPageTemplate(t, 217, 174);
    const std::vector<ControlEntry> expected = {
        {1031, "static", "Filter Wheel Number %d Filter Set:", kLabel, 5, 4, 127, 10},
        {1030, "combo box", "", kEditableList, 4, 14, 133, 14},
        {1044, "button", "Delete", kPush, 140, 1, 36, 13},
        {1049, "button", "Save", kPush, 140, 15, 36, 13},
        {1222, "button", "Archive", kPush, 176, 15, 36, 13},
        {-1, "button", "Filter Wheel Positions", kShown | BS_GROUPBOX, 3, 47, 209, 45},
        {1032, "button", "6 Positions", kRadio, 6, 33, 49, 10},
        {1033, "button", "8 Positions", kRadio, 80, 33, 49, 10},
        {1034, "button", "10 Positions", kRadio, 153, 33, 55, 10},
        {1036, "static", "Position Number: %d", kLabel, 9, 61, 100, 10},
        {1046, "button", "Home", kPush, 167, 58, 40, 13},
        {1037, "combo box", "", kEditableList, 9, 75, 185, 12},
        {1039, "button", "...", kPush, 195, 75, 13, 12},
        {1010, "static", "Serial COMM Port:", kLabel, 11, 98, 71, 9},
        {1000, "combo box", "", kChoiceList, 9, 108, 79, 16},
        {1011, "static", "Serial Baud Rate:", kLabel, 11, 127, 71, 9},
        {1003, "combo box", "", kChoiceList, 9, 135, 79, 16},
        {1012, "static", "Stop Bits", kCentredLabel, 119, 98, 60, 11},
        {1004, "button", "1 Bit", kRadio | WS_GROUP | WS_TABSTOP, 119, 111, 32, 11},
        {1005, "button", "2 Bits", kRadio | WS_TABSTOP, 151, 111, 40, 11},
        {1013, "static", "Parity", kCentredLabel, 109, 127, 88, 8},
        {1006, "button", "None", kRadio | WS_GROUP, 105, 140, 30, 10},
        {1007, "button", "Even", kRadio, 139, 140, 30, 10},
        {1008, "button", "Odd", kRadio, 176, 140, 30, 10},
    };
    EXPECT_EQ(t.controls, expected);
}

TEST_F(Resources, NameListTemplateHoldsItsFourControls) {
    const DialogTemplate t = Template(121);
    EXPECT_TRUE(t.style & WS_POPUP) << "a modal dialog of its own";
    std::map<int, std::string> classes;
    for (const ControlEntry& c : t.controls) {
        classes[c.id] = c.cls;
        EXPECT_TRUE(c.style & WS_VISIBLE) << c;
    }
    const std::map<int, std::string> expected = {
        {1211, "combo box"}, {1212, "button"}, {IDOK, "button"}, {IDCANCEL, "button"}};
    EXPECT_EQ(classes, expected);
    EXPECT_EQ(t.controls.size(), 4u);
}

TEST_F(Resources, StringTableHoldsExactlyTheDriversTexts) {
    const std::map<int, std::string> expected = {
        {20000, "Tolvo Configuration"},
        {20001, "All components have been set up with a default configuration.\nYou will want to "
                "review the default configuration,\nespecially serial port settings and filter "
                "wheel positions."},
        {20004, "Your filter wheel configuration has changed, but you have not saved it using the "
                "'Save' button.\nContinue, losing the changes?"},
        {20006, "(No Filters in list.)"},
        {20018, "The filter wheel set\n%s\nhas been archived and cannot be saved.\nWould you like "
                "to un-archive the set and continue with the Save?"},
        {20019, "Saving Filter Wheel Set"},
        {20024, "The filter wheel set\n%s\nhas been archived and cannot be saved.\nWould you like "
                "to un-archive the set and continue with the Delete?"},
        {20025, "Deleting Filter Wheel Set"},
        {20032, "Your filter set configuration has changed, but you have not saved it using the "
                "'Save' button.\nWould you like to Save now?"},
    };
    // Every block of the table: 16 counted strings each, block n holding
    // the ids (n - 1) * 16 to n * 16 - 1.
    std::map<int, std::string> found;
    for (int block = 1; block <= 4096; ++block) {
        const BYTE* data = ResourceData(driver.module(), MAKEINTRESOURCEA(6), block);
        if (data == nullptr) {
            continue;
        }
        const WORD* at = reinterpret_cast<const WORD*>(data);
        for (int i = 0; i < 16; ++i) {
            const WORD length = *at++;
            std::string text;
            for (WORD k = 0; k < length; ++k) {
                text += static_cast<char>(*at++);
            }
            if (length > 0) {
                found[(block - 1) * 16 + i] = text;
            }
        }
    }
    EXPECT_EQ(found, expected);
    for (const auto& entry : expected) {
        char loaded[512] = "";
        EXPECT_EQ(
            LoadStringA(driver.module(), static_cast<UINT>(entry.first), loaded, sizeof loaded),
            static_cast<int>(entry.second.size()));
        EXPECT_EQ(std::string(loaded), entry.second);
    }
}

// Every binary of the build carries the project's version (stolvo_version.h,
// from project(VERSION)) and says what it is: the driver as loaded by the
// tests, and the files the packages ship, read where the build put them.
TEST_F(Resources, EveryBinaryShowsTheProjectsVersion) {
    char loaded[MAX_PATH] = "";
    GetModuleFileNameA(driver.module(), loaded, MAX_PATH);
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string bin = program;
    bin.erase(bin.find_last_of('\\') + 1);
    const struct {
        std::string path;
        const char* fileName;
        DWORD type;
        const char* described; // a word of its description
    } binaries[] = {
        {loaded, "STolvo32.dll", VFT_DLL, "driver"},
        {bin + "STolvo32.dll", "STolvo32.dll", VFT_DLL, "driver"},
        {bin + "TolvoSim.dll", "TolvoSim.dll", VFT_DLL, "simulator"},
        {bin + "TolvoSimServer.exe", "TolvoSimServer.exe", VFT_APP, "local server"},
        {bin + "tolvo-host.exe", "tolvo-host.exe", VFT_APP, "Host bench"},
        {bin + "..\\hostlib\\QXUTIL32.dll", "QXUTIL32.dll", VFT_DLL, "Stand-in"},
        {bin + "..\\hostlib-cdecl\\QXUTIL32.dll", "QXUTIL32.dll", VFT_DLL, "Stand-in"},
    };
    for (const auto& binary : binaries) {
        SCOPED_TRACE(binary.path);
        DWORD handle = 0;
        const DWORD size = GetFileVersionInfoSizeA(binary.path.c_str(), &handle);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(binary.path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const DWORD versionMS = MAKELONG(STOLVO_VERSION_MINOR, STOLVO_VERSION_MAJOR);
        const DWORD versionLS = MAKELONG(0, STOLVO_VERSION_PATCH);
        EXPECT_EQ(fixed->dwFileVersionMS, versionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, versionLS);
        EXPECT_EQ(fixed->dwProductVersionMS, versionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, versionLS);
        EXPECT_EQ(fixed->dwFileType, binary.type);
        const auto value = [&](const char* name) {
            char* text = nullptr;
            UINT chars = 0;
            const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
            return VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&text),
                                  &chars) &&
                           text != nullptr
                       ? std::string(text)
                       : std::string("<none>");
        };
        EXPECT_EQ(value("OriginalFilename"), binary.fileName);
        EXPECT_EQ(value("FileVersion"), STOLVO_VERSION_TEXT);
        EXPECT_EQ(value("ProductVersion"), STOLVO_VERSION_TEXT);
        EXPECT_NE(value("FileDescription").find(binary.described), std::string::npos)
            << value("FileDescription");
        EXPECT_NE(value("LegalCopyright").find("MIT"), std::string::npos);
    }
}
