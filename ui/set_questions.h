// The questions about archived sets, asked in a warning box owned by the page
// (or other window) that asked for the save or deletion.
#pragma once
#include "config/set_consent.h"
#include <windows.h>

class OwnerConsent final : public SetConsent {
  public:
    explicit OwnerConsent(HWND owner) : owner_(owner) {}
    // Question 20018 (saving) or 20024 (deleting) with the set name in place
    // of its "%s", caption 20019 or 20025; true on Yes.
    bool MayUnarchive(ArchivedSetChange change, const char* setName) override;

  private:
    HWND owner_;
};
