// The 60-byte name fields of the roster and the name lists.
#pragma once
#include "config/device_roster.h"
#include <cstddef>

// Length of `text` once cut to fit a name field (at most 59 characters).
size_t NameFieldLength(const char* text);

// Copies `text` into `field`, cut to 59 characters; a null text gives "".
void CopyNameField(char (&field)[kNameSize], const char* text);
