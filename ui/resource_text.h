// Texts of the module's string table.
#pragma once

// Loads string `id` into one buffer of 256 bytes shared by every caller and
// returns it (empty when there is no such string). A caller that needs two
// texts at once copies the first before loading the second.
const char* LoadResourceText(int id);
