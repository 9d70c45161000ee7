// Key creation over the key table.
#include "keypad/keypad_win.h"

void keypad::CreateKeys(HMIButton (&keys)[KeyTable::Count], HWND parent) {
    for (int32_t i = 0; i < KeyTable::Count; ++i) {
        const KeyRow& row = KeyTable::Rows[i];
        const int32_t id = row.id;
        const RECT rect = {row.x, row.y, row.x + row.width, row.y + row.height};
        HMIButton& key = keys[i];
        key.Create(row.mode, BS_OWNERDRAW, rect, parent, static_cast<UINT>(id));
        key.LoadBitmaps(static_cast<UINT>(KeyTable::NormalBitmapId(id)), static_cast<UINT>(KeyTable::PressedBitmapId(id)),
                        0, 0);
        if (key.Handle()) ShowWindow(key.Handle(), SW_SHOW);
    }
}
