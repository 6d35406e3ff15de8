// What the tests of the filter sets, the filter wheel page's set operations
// and the default configuration share: the test build's exports for them, the
// filter wheel page's controls on a real dialog, the message boxes as a user
// sees them, and the files beside the driver copy.
#pragma once
#include <gtest/gtest.h>
#include "config_api.h"
#include "dialog_rig.h"
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

struct SetsProbe {
    explicit SetsProbe(const LoadedDriver& d)
        : ListFilterSets(d.Fn<int(WINAPI*)(HWND, int)>("ProbeListFilterSets")),
          SaveFilterSet(d.Fn<int(WINAPI*)(int, HWND)>("ProbeSaveFilterSet")),
          DeleteFilterSet(d.Fn<int(WINAPI*)(HWND)>("ProbeDeleteFilterSet")),
          IsFilterSetArchived(d.Fn<int(WINAPI*)(const char*)>("ProbeIsFilterSetArchived")),
          SetFilterSetArchived(d.Fn<void(WINAPI*)(const char*, int)>("ProbeSetFilterSetArchived")),
          TrimBlanks(d.Fn<char*(WINAPI*)(char*)>("ProbeTrimBlanks")),
          SaveWheelFromPage(d.Fn<void(WINAPI*)(int, HWND)>("ProbeSaveWheelFromPage")),
          LoadWheelFromPage(d.Fn<void(WINAPI*)(HWND, int)>("ProbeLoadWheelFromPage")),
          ReselectSavedSet(d.Fn<void(WINAPI*)(HWND)>("ProbeReselectSavedSet")),
          ShowWheelPositions(d.Fn<void(WINAPI*)(int, HWND)>("ProbeShowWheelPositions")),
          ArchiveWheelSet(d.Fn<void(WINAPI*)(HWND)>("ProbeArchiveWheelSet")),
          ApplyDefaults(d.Fn<void(WINAPI*)(HWND, int, int)>("ProbeApplyDefaults")),
          StoreDeviceRecords(d.Fn<void(WINAPI*)(HWND, int, int)>("ProbeStoreDeviceRecords")),
          SetWheelPage(d.Fn<void(WINAPI*)(int, int)>("ProbeSetWheelPage")),
          FilterSetDirty(d.Fn<int(WINAPI*)()>("ProbeFilterSetDirty")) {}

    int(WINAPI* ListFilterSets)(HWND, int);
    int(WINAPI* SaveFilterSet)(int, HWND);
    int(WINAPI* DeleteFilterSet)(HWND);
    int(WINAPI* IsFilterSetArchived)(const char*);
    void(WINAPI* SetFilterSetArchived)(const char*, int);
    char*(WINAPI* TrimBlanks)(char*);
    void(WINAPI* SaveWheelFromPage)(int, HWND);
    void(WINAPI* LoadWheelFromPage)(HWND, int);
    void(WINAPI* ReselectSavedSet)(HWND);
    void(WINAPI* ShowWheelPositions)(int, HWND);
    void(WINAPI* ArchiveWheelSet)(HWND);
    void(WINAPI* ApplyDefaults)(HWND, int, int);
    void(WINAPI* StoreDeviceRecords)(HWND, int, int);
    void(WINAPI* SetWheelPage)(int, int);
    int(WINAPI* FilterSetDirty)();
};

// Controls of the filter wheel page.
enum WheelPageControl {
    kSetBox = 1030,
    kPositionBox = 1037,
    kSaveButton = 1049,
};

// The driver's filter wheel page template (104) made into a child dialog of a
// host window, with a dialog procedure that does nothing: the page's controls
// without the page's own behaviour.
class WheelPage {
  public:
    WheelPage(const LoadedDriver& driver, HWND parent);
    ~WheelPage();
    WheelPage(const WheelPage&) = delete;
    WheelPage& operator=(const WheelPage&) = delete;
    HWND get() const { return page_; }

  private:
    HWND page_;
};

// A message box as the user sees it, looked at while it is open.
struct BoxLook {
    HWND owner = nullptr;
    std::vector<int> buttons; // of IDOK, IDCANCEL, IDYES, IDNO, in that order
    HICON icon = nullptr;
};
BoxLook LookAt(HWND box);
// The system's icon `id` (IDI_WARNING, IDI_INFORMATION), as message boxes show it.
HICON SystemIcon(LPCSTR id);

// One key of an INI file, after flushing the profile cache; "<absent>" when
// the key is not there.
std::string IniValue(const std::string& path, const std::string& section, const std::string& key);
// The names of the files in `folder` that match `pattern`, sorted.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern = "*");
bool IsReadOnly(const std::string& path);

// Text of a set section with keys "Position<p>Name" = prefix + p for p from 1
// to `names`.
std::string SetSectionText(int number, int names, const std::string& prefix);

// Names of a wheel for tests: `prefix` + p for the positions 1 to 10.
void NameWheel(WheelEntry& wheel, const char* name, int count, const std::string& prefix);
std::vector<std::string> PositionNames(const WheelEntry& wheel, int count = kMaxWheelPositions);

// prefix + n for n from `from` to `to`.
std::vector<std::string> Numbered(const std::string& prefix, int from, int to);
std::vector<std::string> Joined(std::vector<std::string> a, const std::vector<std::string>& b);

template <typename T> std::vector<T> Sorted(std::vector<T> items) {
    std::sort(items.begin(), items.end());
    return items;
}

// A fresh driver copy, its probes, a host window and a filter wheel page.
class SetsTest : public ::testing::Test {
  protected:
    void EditRoster(const std::function<void(DeviceRosterTable&)>& edit) const;
    std::string SetPath(const std::string& name) const;
    // Key "Position<position>Name" of the slot's section of set `name`.
    std::string SetKey(const std::string& name, int slot, int position) const;
    std::vector<std::string> SetKeys(const std::string& name, int slot, int count) const;
    // Key "Name" of section "FilterWheel<slot + 1>" of STolvo.INI.
    std::string WheelNameKey(int slot) const;
    std::vector<std::string> Sections(const std::string& path) const;
    int EntryIndex(const std::string& text) const;
    // Everything beside the driver but the driver itself.
    std::vector<std::string> WrittenFiles() const;

    LoadedDriver driver{"STolvo32Probe.dll"};
    ConfigProbe config{driver};
    SetsProbe sets{driver};
    HostWindow host;
    WheelPage page{driver, host.get()};
};
