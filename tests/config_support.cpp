#include "config_api.h"
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string DriverFilePath(const LoadedDriver& driver, const std::string& name) {
    return driver.folder() + "\\" + name;
}

void WriteDriverFile(const LoadedDriver& driver, const std::string& name, const std::string& text) {
    const std::string path = DriverFilePath(driver, name);
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << text;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

std::string ReadDriverFile(const LoadedDriver& driver, const std::string& name) {
    const std::string path = DriverFilePath(driver, name);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool DriverFileExists(const LoadedDriver& driver, const std::string& name) {
    return GetFileAttributesA(DriverFilePath(driver, name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> SectionKeys(const std::string& text, const std::string& section) {
    std::vector<std::string> keys;
    bool inSection = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line.front() == '[') {
            inSection = line == "[" + section + "]";
            continue;
        }
        const size_t equals = line.find('=');
        if (inSection && equals != std::string::npos) {
            keys.push_back(line.substr(0, equals));
        }
    }
    return keys;
}

ComboHost::ComboHost(int controlId) : id_(controlId) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, instance,
                              nullptr);
    combo_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VSCROLL | CBS_DROPDOWN, 0, 0, 150,
                             150, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                             instance, nullptr);
    if (window_ == nullptr || combo_ == nullptr) {
        std::fprintf(stderr, "cannot create the combo box\n");
        std::abort();
    }
}

ComboHost::~ComboHost() {
    DestroyWindow(window_);
}

void ComboHost::Add(const std::string& text) const {
    SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ComboHost::Delete(int index) const {
    SendMessageA(combo_, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int ComboHost::Count() const {
    return static_cast<int>(SendMessageA(combo_, CB_GETCOUNT, 0, 0));
}

std::string ComboHost::Text(int index) const {
    const LRESULT length = SendMessageA(combo_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return "<no entry>";
    }
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(combo_, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

std::vector<std::string> ComboHost::Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < Count(); ++i) {
        texts.push_back(Text(i));
    }
    return texts;
}

int ComboHost::Selected() const {
    return static_cast<int>(SendMessageA(combo_, CB_GETCURSEL, 0, 0));
}
