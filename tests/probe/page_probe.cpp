// The name list editor opened as the wheel page's "..." opens it, for a
// device page target of the test's choosing.
#include "ui/name_list_editor.h"

extern "C" INT_PTR WINAPI ProbeOpenNameList(HWND owner, int kind, int slot) {
    return OpenNameListEditor(owner, kind, slot);
}
