// include/STolvo32.h declares every export of the module definition as the
// driver does. The driver's declarations come first: a parameter or result
// that differs is then a conflicting declaration, and a calling convention
// that differs shows in the pointer types compared below. The list of exports
// and of driver headers is made from STolvo32.def, devices/ and ui/ when the
// build is configured, so a new export is checked as soon as it is declared.
#include <type_traits>
#include "header_agreement_driver.h"
#include "config/device_roster.h"
#include "core/module_files.h"
#include "STolvo32.h"
#include "stolvo_version.h"

#define STOLVO_EXPORT(name)                                                                        \
    static_assert(std::is_same<decltype(&::name), STOLVO_PFN_##name>::value,                       \
                  #name ": its pointer type in STolvo32.h differs from its declaration");
#include "stolvo_exports.h"
#undef STOLVO_EXPORT

// The driver's own DllMain is declared in no header; its type is Windows'.
static_assert(std::is_same<STOLVO_PFN_DllMain, BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID)>::value,
              "DllMain");

static_assert(std::is_same<STOLVO_HOST_CALLBACK, HostCallback>::value, "host callback");

// The exports return and compare the header's own codes and kinds; their
// numbers are the host's and must not move.
static_assert(STOLVO_OK == 0, "status code");
static_assert(STOLVO_NOT_BOUND == 1, "status code");
static_assert(STOLVO_LINK_FAILED == -1, "status code");
static_assert(STOLVO_NOT_CONFIGURED == -2, "status code");
static_assert(STOLVO_BAD_SLOT == -5, "status code");
static_assert(STOLVO_BAD_POSITION == -6, "status code");

static_assert(STOLVO_KIND_ALL == -1, "device kind");
static_assert(STOLVO_KIND_SHUTTER == 1, "device kind");
static_assert(STOLVO_KIND_FILTER_WHEEL == 2, "device kind");
static_assert(STOLVO_KIND_SLIDER == 3, "device kind");
static_assert(STOLVO_KIND_OBJECTIVES == 4, "device kind");
static_assert(STOLVO_KIND_LAMP == 5, "device kind");
static_assert(STOLVO_KIND_APERTURE == 6, "device kind");
static_assert(STOLVO_KIND_CONDENSER == 7, "device kind");
static_assert(STOLVO_KIND_FOCUS == 8, "device kind");
static_assert(STOLVO_KIND_SERIAL_LINE == 100, "device kind");

static_assert(STOLVO_NAME_SIZE == kNameSize, "name field size");
static_assert(STOLVO_PATH_SIZE == kPathSize, "path size");
static_assert(STOLVO_MAX_SHUTTERS == kShutterSlots, "shutter slots");
static_assert(STOLVO_MAX_FILTER_WHEELS == kWheelSlots, "filter wheel slots");
static_assert(STOLVO_MAX_WHEEL_POSITIONS == kMaxWheelPositions, "wheel positions");
static_assert(STOLVO_XY_STAGE_TYPE == XYStageType, "stage type word");

// The header's version is the project's (stolvo_version.h, from CMakeLists.txt).
static_assert(STOLVO32_VERSION_MAJOR == STOLVO_VERSION_MAJOR &&
                  STOLVO32_VERSION_MINOR == STOLVO_VERSION_MINOR &&
                  STOLVO32_VERSION_PATCH == STOLVO_VERSION_PATCH,
              "include/STolvo32.h: STOLVO32_VERSION_* differ from project(VERSION)");
constexpr bool SameText(const char* a, const char* b) {
    return *a == *b && (*a == '\0' || SameText(a + 1, b + 1));
}
static_assert(SameText(STOLVO32_VERSION_TEXT, STOLVO_VERSION_TEXT),
              "include/STolvo32.h: STOLVO32_VERSION_TEXT differs from project(VERSION)");
static_assert(STOLVO32_VERSION == ((STOLVO_VERSION_MAJOR << 16) | (STOLVO_VERSION_MINOR << 8) |
                                   STOLVO_VERSION_PATCH),
              "STOLVO32_VERSION");
