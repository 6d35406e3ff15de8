#include "config/name_list_files.h"
#include "config/device_kind.h"
#include "core/module_files.h"

namespace {
struct ListFileEntry {
    const char* fileName;
    const char* section;
    char path[kPathSize];
};

// Module-wide; the paths are owned by NameListFileFor, which builds each once.
ListFileEntry listFiles[] = {
    {"KROFWLST.INI", "Filters", ""},
    {"KROOBLST.INI", "Objectives", ""},
    {"KROCNLST.INI", "Condensers", ""},
};

ListFileEntry& EntryFor(int kind) {
    switch (kind) {
    case STOLVO_KIND_FILTER_WHEEL:
        return listFiles[0];
    case STOLVO_KIND_OBJECTIVES:
        return listFiles[1];
    default:
        return listFiles[2];
    }
}
} // namespace

NameListFile NameListFileFor(int kind) {
    ListFileEntry& entry = EntryFor(kind);
    if (entry.path[0] == '\0') {
        BuildModuleFilePath(entry.fileName, entry.path);
    }
    return {entry.path, entry.section};
}
