// Archived filter sets: a set file with the read-only attribute. Saving over
// one or deleting it needs the user's consent, which un-archives it.
#pragma once
#include "config/set_consent.h"

// True when the file at `path` exists and is read-only.
bool IsFilterSetArchived(const char* path);

// Sets or clears the read-only attribute of the file at `path`; a missing
// file stays missing.
void SetFilterSetArchived(const char* path, bool archived);

// True when the set file at `path` may be changed: it is not archived, or it
// was and `consent` agreed to un-archive set `setName` for `change`, in which
// case it is no longer archived. A refusal leaves file and attribute alone.
bool MayChangeFilterSet(const char* path, const char* setName, ArchivedSetChange change,
                        SetConsent& consent);
