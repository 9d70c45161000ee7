// The About box under Wine with the program's resources: template 108's icon, and the
// footprint read from the registry as a 32-bit control application keeps it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "res/resource_ids.h"
#include "support/about_dialog_win.h"
#include "tests/support/footprint_key_win.h"
#include "tests/support/watchdog_win.h"

namespace {
// The first item of a DIALOGEX template: its class, style and size in dialog units.
struct FirstItem {
    bool isStatic;  // the class by ordinal or by name
    DWORD style;
    short cx;
    short cy;
};

const WORD* SkipSzOrOrd(const WORD* p) {
    if (*p == 0xFFFF) return p + 2;
    while (*p++) {
    }
    return p;
}

bool ReadFirstItem(UINT templateId, FirstItem* out) {
    HRSRC found = FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    if (!found) return false;
    const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleA(nullptr), found)));
    if (!base || reinterpret_cast<const WORD*>(base)[1] != 0xFFFF) return false;  // not DIALOGEX
    const DWORD style = *reinterpret_cast<const DWORD*>(base + 12);
    const WORD* p = reinterpret_cast<const WORD*>(base + 26);  // menu
    p = SkipSzOrOrd(SkipSzOrOrd(p));                           // menu, class
    p = SkipSzOrOrd(p);                                        // title
    if (style & DS_SETFONT) p = SkipSzOrOrd(p + 3);            // size, weight, italic and charset; face
    auto at = reinterpret_cast<uintptr_t>(p);
    const BYTE* item = reinterpret_cast<const BYTE*>((at + 3) & ~uintptr_t{3});
    out->style = *reinterpret_cast<const DWORD*>(item + 8);
    out->cx = *reinterpret_cast<const short*>(item + 16);
    out->cy = *reinterpret_cast<const short*>(item + 18);
    const WORD* cls = reinterpret_cast<const WORD*>(item + 24);
    out->isStatic = cls[0] == 0xFFFF ? cls[1] == 0x0082 : lstrcmpiW(reinterpret_cast<const wchar_t*>(cls), L"Static") == 0;
    return true;
}

TEST(AboutTemplate, TheIconIsTwentyByTwentyUnits) {
    FirstItem icon = {};
    ASSERT_TRUE(ReadFirstItem(IDD_ABOUT, &icon));
    EXPECT_TRUE(icon.isStatic);
    EXPECT_EQ(icon.style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(icon.cx, 20);
    EXPECT_EQ(icon.cy, 20);
}

std::string Item(HWND dialog, int id) {
    char text[128] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

TEST(AboutFootprint, TheControlsKeyIsReadInTheThirtyTwoBitViewWithinFiftyBytes) {
    FootprintInOneView footprint(KEY_WOW64_32KEY);
    ASSERT_TRUE(footprint.Ok());
    const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    footprint.Set("PartNumber", letters.substr(0, 49));   // fills the buffer with its terminator
    footprint.Set("Revision", letters.substr(0, 50));     // one character too many
    footprint.Set("Description", letters);                // far too long
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof(computer);
    ASSERT_TRUE(GetComputerNameA(computer, &size));

    std::string shown[4];
    {
        DialogWatcher watcher("About Quorvex", [&shown](HWND dialog) {
            const int ids[4] = {IDC_ABOUT_PART_NUMBER, IDC_ABOUT_REVISION, IDC_ABOUT_DESCRIPTION, IDC_ABOUT_COMPUTER};
            for (int i = 0; i < 4; ++i) shown[i] = Item(dialog, ids[i]);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        AboutDialog about(nullptr);
        about.Run(true);
        EXPECT_TRUE(watcher.Found());
    }
    const std::string first49 = letters.substr(0, 49);
    EXPECT_EQ(shown[0], first49);
    EXPECT_EQ(shown[1], first49);
    EXPECT_EQ(shown[2], first49);
    EXPECT_EQ(shown[3], computer);
}
}  // namespace
