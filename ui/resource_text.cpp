#include "ui/resource_text.h"
#include "core/module_state.h"
#include <windows.h>

namespace {
// Module-wide; its owner is LoadResourceText: each call overwrites it.
char sharedText[256];
} // namespace

const char* LoadResourceText(int id) {
    sharedText[0] = '\0';
    LoadStringA(ModuleInstance, static_cast<UINT>(id), sharedText, sizeof sharedText);
    return sharedText;
}
