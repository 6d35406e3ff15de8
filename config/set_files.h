// The set files beside the module as a whole: listing and deleting them.
#pragma once
#include "config/name_array.h"
#include "config/set_consent.h"

// Appends to `names` the name of every set file beside the module in
// directory order, each file name cut at its last dot and to 59 characters;
// names that cannot name a set are left out. Stops early when memory runs out.
void FindFilterSets(NameArray& names);

// Deletes set `setName`, asking `consent` first when it is archived. 1 when
// the deletion was attempted; 0 when the name is empty or refused, or the set
// was not to be un-archived.
int DeleteFilterSetNamed(const char* setName, SetConsent& consent);
