// BusyCursor under Wine: the hourglass at every nesting level, the arrow after the last
// leave, nothing for a leave too many, ApplyCursor, and the fresh cursor request it causes.
#include <gtest/gtest.h>
#include <windows.h>

#include "box_watcher_win.h"
#include "services_test_window_win.h"
#include "support/busy_cursor_win.h"

namespace {
TEST(BusyCursor, HourglassWhileAnyStretchIsOpenArrowAfterTheLast) {
    BusyCursor busy;
    ASSERT_TRUE(busy.Loaded());
    const HCURSOR hourglass = LoadCursorA(nullptr, IDC_WAIT);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR marker = LoadCursorA(nullptr, IDC_CROSS);
    ASSERT_NE(marker, hourglass);
    ASSERT_NE(marker, arrow);
    struct Step {
        bool busy;
        HCURSOR cursor;  // after the step; the marker means unchanged
        bool applies;
    } steps[] = {
        {false, marker, false},  // a leave without a stretch changes nothing
        {true, hourglass, true},    {true, hourglass, true}, {false, marker, true},
        {false, arrow, false},      {false, marker, false},  {true, hourglass, true},
        {false, arrow, false},
    };
    int i = 0;
    for (const Step& step : steps) {
        SetCursor(marker);
        busy.SetBusy(step.busy);
        EXPECT_EQ(GetCursor(), step.cursor) << "step " << i;
        SetCursor(marker);
        EXPECT_EQ(busy.ApplyCursor(), step.applies) << "step " << i;
        EXPECT_EQ(GetCursor(), step.applies ? hourglass : marker) << "step " << i;
        ++i;
    }
}

TEST(BusyCursor, EachChangeAsksTheWindowUnderThePointerForItsCursor) {
    ServicesTestWindow window;
    ASSERT_TRUE(window.Create());
    ShowWindow(window.Handle(), SW_SHOW);
    SetForegroundWindow(window.Handle());
    RECT r;
    GetWindowRect(window.Handle(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PumpUntil([] { return false; }, 100);
    BusyCursor busy;
    for (bool state : {true, false}) {
        window.cursorRequests = 0;
        busy.SetBusy(state);
        EXPECT_TRUE(PumpUntil([&] { return window.cursorRequests > 0; }, 1000)) << state;
    }
    window.Destroy();
}
}  // namespace
