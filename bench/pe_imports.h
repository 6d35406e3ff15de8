// What a built module asks of the loader: its imported modules and functions.
#pragma once
#include <string>

struct ModuleImports {
    bool read = false;
    long fileSize = 0;
    int modules = 0;
    int functions = 0;
};

ModuleImports ReadImports(const std::string& path);
