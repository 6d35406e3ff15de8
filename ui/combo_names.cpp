#include "ui/combo_names.h"
#include "config/name_field.h"
#include "core/heap_block.h"

bool ComboEntryName(HWND combo, LRESULT index, char (&name)[kNameSize]) {
    name[0] = '\0';
    if (combo == nullptr) {
        return false;
    }
    // The entry is read whole (the box has no way to cut it) and cut after.
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return false;
    }
    HeapBlock text(static_cast<size_t>(length) + 1);
    if (text.get() == nullptr) {
        return false;
    }
    text.get()[0] = '\0';
    if (SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text.get())) < 0) {
        return false;
    }
    text.get()[length] = '\0';
    CopyNameField(name, text.get());
    return true;
}

bool SelectedComboName(HWND combo, char (&name)[kNameSize]) {
    const LRESULT selected = combo != nullptr ? SendMessageA(combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    if (selected < 0) {
        name[0] = '\0';
        return false;
    }
    return ComboEntryName(combo, selected, name);
}
