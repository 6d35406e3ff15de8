#include "robust_support.h"
#include <cstring>
#include <fstream>
#include <sstream>

RobustnessFigures& Figures() {
    static RobustnessFigures figures;
    return figures;
}

FolderSnapshot SnapshotFolder(const std::string& folder) {
    FolderSnapshot snapshot;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return snapshot;
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            continue;
        }
        const std::string path = folder + "\\" + found.cFileName;
        // The profile functions may hold a file's text until flushed.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        snapshot[found.cFileName] = bytes.str();
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return snapshot;
}

std::string FolderDifferences(const FolderSnapshot& before, const FolderSnapshot& after) {
    std::string differences;
    for (const auto& [name, bytes] : before) {
        const auto other = after.find(name);
        if (other == after.end()) {
            differences += name + " vanished; ";
        } else if (other->second != bytes) {
            differences += name + " changed; ";
        }
    }
    for (const auto& entry : after) {
        if (before.count(entry.first) == 0) {
            differences += entry.first + " appeared; ";
        }
    }
    return differences;
}

bool SameRoster(const DeviceRosterTable& a, const DeviceRosterTable& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool RosterNamesTerminated(const DeviceRosterTable& roster) {
    auto ends = [](const char* field) { return memchr(field, '\0', kNameSize) != nullptr; };
    for (const ShutterEntry& shutter : roster.shutters) {
        if (!ends(shutter.name)) {
            return false;
        }
    }
    for (const WheelEntry& wheel : roster.wheels) {
        if (!ends(wheel.name)) {
            return false;
        }
        for (const auto& name : wheel.positionNames) {
            if (!ends(name)) {
                return false;
            }
        }
    }
    return true;
}

int LeakedAfterUnload(LoadedDriver& driver) {
    driver.Unload();
    const int live = Sim().LiveObjects();
    Figures().leakedReferences += live;
    return live;
}
