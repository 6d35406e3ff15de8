// Saving over an archived set or deleting one needs the user's consent. The
// files below the pages only say which change of which set waits for it; the
// page that asked for the change puts the question.
#pragma once

enum class ArchivedSetChange { Save, Delete };

class SetConsent {
  public:
    // True when the archived set `setName` may be un-archived for `change`.
    virtual bool MayUnarchive(ArchivedSetChange change, const char* setName) = 0;

  protected:
    ~SetConsent() = default;
};
