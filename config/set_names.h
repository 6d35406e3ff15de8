// Which names can name a set file beside the module.
#pragma once

// False for a name that cannot name a set file beside the module: an empty
// or blank one; one that is not a file name (a path separator, a drive
// colon, a character that file names cannot hold); and one whose file would
// open a device instead (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in
// any case, with or without an extension). A name such as "..x" names a file
// in the module's folder like any other.
bool IsUsableSetName(const char* setName);
