// Key creation over the key table.
#include "keypad/keypad_win.h"

void keypad::CreateKeys(HMIButton (&keys)[KeyTable::Count], HWND parent) {
    for (int32_t id = KeyTable::FirstId; id <= KeyTable::LastId; ++id) {
        const int i = KeyTable::Index(id);
        const RECT rect = {KeyTable::X[i], KeyTable::Y[i], KeyTable::X[i] + KeyTable::Width[i],
                           KeyTable::Y[i] + KeyTable::Height[i]};
        HMIButton& key = keys[i];
        key.Create(KeyTable::Mode(id), BS_OWNERDRAW, rect, parent, static_cast<UINT>(id));
        key.LoadBitmaps(static_cast<UINT>(KeyTable::NormalBitmapId(id)), static_cast<UINT>(KeyTable::PressedBitmapId(id)),
                        0, 0);
        if (key.Handle()) ShowWindow(key.Handle(), SW_SHOW);
    }
}
