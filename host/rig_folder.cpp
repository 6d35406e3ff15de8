#include "host/rig_folder.h"
#include <windows.h>
#include <cstdio>

namespace {
// What a host's folder holds of the configuration; the trace files are not
// configuration and stay behind.
const char* const kConfigurationFiles[] = {"KROHW.INI",    "STolvo.INI",   "KROFWLST.INI",
                                           "KROOBLST.INI", "KROCNLST.INI", "*.TolvoFW"};

std::string NewScratchFolder() {
    char temp[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string folder = std::string(temp) + "tolvo-host-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(attempt) + "\\";
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            return folder;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return "";
        }
    }
    return "";
}

// Copies the files of `from` that match `pattern` into `to`, with their
// attributes (an archived set stays archived).
bool CopyMatching(const std::string& from, const std::string& to, const char* pattern) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((from + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return true;
    }
    bool copied = true;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            copied = CopyFileA((from + found.cFileName).c_str(), (to + found.cFileName).c_str(),
                               TRUE) != 0 &&
                     copied;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return copied;
}
} // namespace

std::string MakeRigFolder(const std::string& benchFolder, bool inPlace, bool copyConfiguration) {
    if (inPlace) {
        std::printf("rig folder: %s (in place: the driver writes its files here)\n",
                    benchFolder.c_str());
        return benchFolder;
    }
    const std::string folder = NewScratchFolder();
    if (folder.empty()) {
        std::fprintf(stderr, "cannot make a scratch folder for the rig\n");
        return "";
    }
    bool copied = CopyFileA((benchFolder + "STolvo32.dll").c_str(),
                            (folder + "STolvo32.dll").c_str(), TRUE) != 0;
    if (copyConfiguration) {
        for (const char* pattern : kConfigurationFiles) {
            copied = CopyMatching(benchFolder, folder, pattern) && copied;
        }
    }
    if (!copied) {
        std::fprintf(stderr, "cannot copy the driver and its files into %s\n", folder.c_str());
        return "";
    }
    std::printf("rig folder: %s (a scratch folder: no file beside tolvo-host.exe is written)\n",
                folder.c_str());
    return folder;
}
