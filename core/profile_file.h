// One-key reads and writes of INI files through the system's profile functions.
#pragma once

int ReadProfileInt(const char* path, const char* section, const char* key, int fallback);
// Reads at most `size` - 1 characters; `fallback` when the key is absent.
void ReadProfileText(const char* path, const char* section, const char* key, const char* fallback,
                     char* out, int size);
void WriteProfileInt(const char* path, const char* section, const char* key, int value);
void WriteProfileText(const char* path, const char* section, const char* key, const char* value);
// Makes the system drop its cached copy of profile files.
void FlushProfileCache(const char* path);
