// Key creation and placing over the key table.
#include "keypad/keypad_win.h"

#include "support/dpi_scale.h"
#include "support/dpi_win.h"

RECT keypad::KeyRect(const KeyRow& row, int32_t dpi) {
    const dpi::Box b = dpi::ScaledBox({row.x, row.y, row.x + row.width, row.y + row.height}, dpi);
    return {b.left, b.top, b.right, b.bottom};
}

namespace {
void LoadPictures(HMIButton& key, int32_t id, int32_t dpi) {
    key.LoadBitmaps(dpi_win::PictureId(static_cast<UINT>(KeyTable::NormalBitmapId(id)), dpi),
                    dpi_win::PictureId(static_cast<UINT>(KeyTable::PressedBitmapId(id)), dpi), 0, 0);
}
}  // namespace

void keypad::CreateKeys(HMIButton (&keys)[KeyTable::Count], HWND parent, int32_t dpi) {
    for (int32_t i = 0; i < KeyTable::Count; ++i) {
        const KeyRow& row = KeyTable::Rows[i];
        HMIButton& key = keys[i];
        key.Create(row.mode, BS_OWNERDRAW, KeyRect(row, dpi), parent, static_cast<UINT>(row.id));
        LoadPictures(key, row.id, dpi);
        if (key.Handle()) ShowWindow(key.Handle(), SW_SHOW);
    }
}

void keypad::ScaleKeys(HMIButton (&keys)[KeyTable::Count], int32_t dpi) {
    for (int32_t i = 0; i < KeyTable::Count; ++i) {
        const KeyRow& row = KeyTable::Rows[i];
        HMIButton& key = keys[i];
        if (!key.Handle()) continue;
        LoadPictures(key, row.id, dpi);
        const RECT r = KeyRect(row, dpi);
        SetWindowPos(key.Handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(key.Handle(), nullptr, FALSE);
    }
}
