// The host's name lists: the file and section that hold the list of a kind.
#pragma once

struct NameListFile {
    const char* path; // beside the module, built on first use
    const char* section;
};

// KROFWLST.INI "Filters" for filter wheels (kind 2), KROOBLST.INI
// "Objectives" for objectives (kind 4), KROCNLST.INI "Condensers" otherwise.
NameListFile NameListFileFor(int kind);
