#include "sets_api.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
INT_PTR CALLBACK QuietPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

BOOL CALLBACK FindIcon(HWND child, LPARAM out) {
    char name[32] = "";
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(out) =
            reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}
} // namespace

WheelPage::WheelPage(const LoadedDriver& driver, HWND parent)
    : page_(CreateDialogParamA(driver.module(), MAKEINTRESOURCEA(104), parent, QuietPageProc, 0)) {
    if (page_ == nullptr) {
        std::fprintf(stderr, "cannot create the filter wheel page\n");
        std::abort();
    }
}

WheelPage::~WheelPage() {
    if (IsWindow(page_)) {
        DestroyWindow(page_);
    }
}

BoxLook LookAt(HWND box) {
    BoxLook look;
    look.owner = GetWindow(box, GW_OWNER);
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        const HWND button = GetDlgItem(box, id);
        if (button != nullptr && IsWindowVisible(button)) {
            look.buttons.push_back(id);
        }
    }
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&look.icon));
    return look;
}

HICON SystemIcon(LPCSTR id) {
    return LoadIconA(nullptr, id);
}

std::string IniValue(const std::string& path, const std::string& section, const std::string& key) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    char value[512] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<absent>", value, sizeof value,
                             path.c_str());
    return value;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
                names.push_back(found.cFileName);
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return Sorted(names);
}

bool IsReadOnly(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string SetSectionText(int number, int names, const std::string& prefix) {
    std::string text = "[FilterWheel" + std::to_string(number) + "]\r\n";
    for (int p = 1; p <= names; ++p) {
        text += "Position" + std::to_string(p) + "Name=" + prefix + std::to_string(p) + "\r\n";
    }
    return text;
}

void NameWheel(WheelEntry& wheel, const char* name, int count, const std::string& prefix) {
    std::snprintf(wheel.name, sizeof wheel.name, "%s", name);
    wheel.positionCount = count;
    for (int p = 0; p < kMaxWheelPositions; ++p) {
        std::snprintf(wheel.positionNames[p], kNameSize, "%s%d", prefix.c_str(), p + 1);
    }
}

std::vector<std::string> PositionNames(const WheelEntry& wheel, int count) {
    std::vector<std::string> names;
    for (int p = 0; p < count; ++p) {
        names.emplace_back(wheel.positionNames[p], strnlen(wheel.positionNames[p], kNameSize));
    }
    return names;
}

void SetsTest::EditRoster(const std::function<void(DeviceRosterTable&)>& edit) const {
    DeviceRosterTable roster = config.Roster();
    edit(roster);
    config.SetRoster(&roster);
}

std::string SetsTest::SetPath(const std::string& name) const {
    return DriverFilePath(driver, name + ".TolvoFW");
}

std::string SetsTest::SetKey(const std::string& name, int slot, int position) const {
    return IniValue(SetPath(name), "FilterWheel" + std::to_string(slot + 1),
                    "Position" + std::to_string(position) + "Name");
}

std::vector<std::string> SetsTest::SetKeys(const std::string& name, int slot, int count) const {
    std::vector<std::string> values;
    for (int p = 1; p <= count; ++p) {
        values.push_back(SetKey(name, slot, p));
    }
    return values;
}

std::string SetsTest::WheelNameKey(int slot) const {
    return IniValue(driver.IniPath(), "FilterWheel" + std::to_string(slot + 1), "Name");
}

std::vector<std::string> SetsTest::Sections(const std::string& path) const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    char text[4096] = "";
    const DWORD length = GetPrivateProfileSectionNamesA(text, sizeof text, path.c_str());
    std::vector<std::string> names;
    for (DWORD at = 0; at < length; at += static_cast<DWORD>(std::strlen(text + at)) + 1) {
        names.emplace_back(text + at);
    }
    return Sorted(names);
}

int SetsTest::EntryIndex(const std::string& text) const {
    const std::vector<std::string> entries = Entries(page.get(), kSetBox);
    const auto found = std::find(entries.begin(), entries.end(), text);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

std::vector<std::string> SetsTest::WrittenFiles() const {
    std::vector<std::string> files = FilesIn(driver.folder());
    files.erase(std::remove(files.begin(), files.end(), "STolvo32.dll"), files.end());
    return files;
}

std::vector<std::string> Numbered(const std::string& prefix, int from, int to) {
    std::vector<std::string> names;
    for (int p = from; p <= to; ++p) {
        names.push_back(prefix + std::to_string(p));
    }
    return names;
}

std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
