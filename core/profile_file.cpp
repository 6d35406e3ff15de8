#include "core/profile_file.h"
#include <windows.h>
#include <cstdio>

int ReadProfileInt(const char* path, const char* section, const char* key, int fallback) {
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path));
}

void ReadProfileText(const char* path, const char* section, const char* key, const char* fallback,
                     char* out, int size) {
    if (size <= 0) {
        return;
    }
    out[0] = '\0';
    GetPrivateProfileStringA(section, key, fallback, out, static_cast<DWORD>(size), path);
    out[size - 1] = '\0';
}

void WriteProfileInt(const char* path, const char* section, const char* key, int value) {
    char text[20];
    std::snprintf(text, sizeof text, "%d", value);
    WritePrivateProfileStringA(section, key, text, path);
}

void WriteProfileText(const char* path, const char* section, const char* key, const char* value) {
    WritePrivateProfileStringA(section, key, value, path);
}

void FlushProfileCache(const char* path) {
    // Returns 0 by design; there is nothing to check.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}
