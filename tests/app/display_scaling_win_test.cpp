// quorvex.exe at display scalings under Wine, with real input. Wine hands a program started
// after the prefix's LogPixels changed that DPI and lets it draw itself: the window must fit the
// scaled panel and status bar, every key sit at its scaled place showing the picture drawn for
// that scaling, clicks on the scaled "1", ADJUST, FAST and a display line send their bytes, and a
// double click on a line opens Branch To.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "display/display_geometry.h"
#include "keypad/keypad_win.h"
#include "protocol/key_table.h"
#include "res/resource_ids.h"
#include "tests/app/panel_process_win.h"
#include "tests/app/sim_script_win.h"
#include "tests/keypad/panel_input_win.h"

namespace {
using namespace panel_input;
constexpr DWORD kWait = 10000;
constexpr DWORD kSettle = 150;
constexpr char kDesktop[] = "Control Panel\\Desktop";

// The prefix's display scaling for programs started while it lives; the earlier value after.
class LogPixels {
public:
    explicit LogPixels(DWORD dpi) {
        RegCreateKeyExA(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) == 0;
        set_ = RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) == 0;
    }
    ~LogPixels() {
        if (had_)
            RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_), sizeof old_);
        else
            RegDeleteValueA(key_, "LogPixels");
        RegCloseKey(key_);
    }
    bool Set() const { return set_; }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false, set_ = false;
};

RECT ClientRectOf(HWND frame, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST(DisplayScaling, AtEachScalingTheWindowFitsTheScaledPanelAndRealClicksSendTheirBytes) {
    for (const int32_t d : {144, 192}) {
        SCOPED_TRACE("at " + std::to_string(d) + " DPI");
        LogPixels scaling(static_cast<DWORD>(d));
        ASSERT_TRUE(scaling.Set());
        SimScript sim("expect PPK\nexpect 1\nexpect A\nexpect B\nexpect p4\\n\nexpect p6\\n\nexpect qSTATUS\\n\n");
        PanelProcess panel("-l");
        const HWND frame = sim.Started() ? panel.WaitMainWindow("LOCAL - Quorvex", kWait) : nullptr;
        ASSERT_NE(frame, nullptr) << sim.Output();

        RECT client;
        GetClientRect(frame, &client);
        const RECT status = ClientRectOf(frame, GetDlgItem(frame, IDC_STATUS_BAR));
        EXPECT_EQ(client.right, display_geometry::PanelWidthAt(d));
        EXPECT_EQ(status.top, display_geometry::PanelHeightAt(d));
        EXPECT_EQ(client.bottom, status.bottom);
        // The bar's font is the system's at this DPI: taller than at 96 DPI (20 pixels there).
        EXPECT_GT(status.bottom - status.top, 20);
        for (const KeyRow& row : KeyTable::Rows) {
            const RECT want = keypad::KeyRect(row, d), got = ClientRectOf(frame, GetDlgItem(frame, row.id));
            EXPECT_TRUE(EqualRect(&got, &want))
                << row.legend << " at " << got.left << "," << got.top << " to " << got.right << "," << got.bottom;
        }

        Click(OnScreen(frame, client.right - dpi::Scaled(10, d), dpi::Scaled(40, d)));  // activates, sends nothing
        Sleep(kSettle);
        for (const int32_t key : {KeyId::Digit1, KeyId::AdjustUp, KeyId::Fast}) {
            Click(KeyCenter(frame, key));
            Sleep(kSettle);
        }
        EXPECT_TRUE(ShowsPushed(frame, KeyId::Fast));
        // The set drawn for this DPI, shown 1:1 (the screen copy and the picture agree everywhere).
        const RECT one = ClientRectOf(frame, GetDlgItem(frame, KeyId::Digit1));
        const POINT at = OnScreen(frame, one.left, one.top);
        const int w = one.right - one.left, h = one.bottom - one.top;
        EXPECT_EQ(CaptureScreen({at.x, at.y, at.x + w, at.y + h}),
                  PicturePixels(dpi::ArtBitmapId(KeyTable::NormalBitmapId(KeyId::Digit1), dpi::ArtSetFor(d)), w, h));

        const display_geometry::LineLayout lines = display_geometry::LayoutAt(d, display_geometry::CellHeightAt(d));
        const LineRect line3 = display_geometry::LineRectFor(3, lines);
        Click(OnScreen(frame, line3.left + 1, line3.bottom - 1));
        Sleep(kSettle);
        const LineRect line5 = display_geometry::LineRectFor(5, lines);
        const POINT five = OnScreen(frame, line5.right - 1, line5.top);
        Click(five);
        Click(five);
        const HWND branch = panel.WaitDialog("Branch To", kWait);
        ASSERT_NE(branch, nullptr) << "a double click on a line did not open Branch To\n" << sim.Output();
        SetDlgItemTextA(branch, IDC_BRANCH_TEXT, "STATUS");
        PressButton(branch, IDOK);
        EXPECT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
    }
}
}  // namespace
