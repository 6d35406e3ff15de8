#include "devices/family_state.h"

DeviceFamilyState DeviceFamilies;
