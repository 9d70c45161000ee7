// The key control in this process: its class, its modes, which pictures load, which one each
// owner-draw state draws, and the latch look kept over a focus change.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "keypad/hmi_button_win.h"
#include "protocol/key_ids.h"
#include "tests/keypad/panel_input_win.h"

namespace {
constexpr int kSize = 52;  // the digit keys' pictures are 52 x 52

// A hidden parent window for the keys that counts the clicks it is told of.
int g_clicks = 0;
LRESULT CALLBACK ParentProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) ++g_clicks;
    return DefWindowProcA(h, message, wParam, lParam);
}

class Parent {
public:
    Parent() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &ParentProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KeyTestParent";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, "KeyTestParent", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
        g_clicks = 0;
    }
    ~Parent() { DestroyWindow(hwnd_); }
    HWND hwnd_;
};

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(5);
    }
}

RECT KeyRect() { return {10, 10, 10 + kSize, 10 + kSize}; }

// What DrawItem leaves in a 32-bit memory bitmap filled with a colour no picture has.
std::vector<uint32_t> Drawn(HMIButton& key, UINT state) {
    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), kSize, -kSize, 1, 32, BI_RGB};
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int i = 0; i < kSize * kSize; ++i) bits[i] = 0x123456;
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = key.Handle();
    item.hDC = dc;
    item.rcItem = {0, 0, kSize, kSize};
    key.DrawItem(item);
    GdiFlush();
    std::vector<uint32_t> pixels;
    for (int i = 0; i < kSize * kSize; ++i) pixels.push_back(bits[i] & 0xFFFFFFu);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

TEST(HMIButton, ClassIsAButtonCopyWithoutDoubleClicksFoundAgainByLaterKeysAndModesAboveThreeIgnored) {
    Parent parent;
    HMIButton keys[3];
    const uint32_t modes[3] = {2, 3, 7};
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(keys[i].Create(modes[i], BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::LineUp + i));
    EXPECT_STREQ(keys[0].GetRuntimeClass()->name, "HMIButton");
    char name[32] = "";
    GetClassNameA(keys[0].Handle(), name, sizeof(name));
    EXPECT_STREQ(name, "HMIButton");
    EXPECT_EQ(GetClassLongPtrA(keys[0].Handle(), GCL_STYLE) & CS_DBLCLKS, 0u);
    // A second registration of the name would fail: later keys must find the class instead.
    EXPECT_TRUE(CButton::RegisterDerivedClass("HMIButton", CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrA(keys[2].Handle(), GCW_ATOM), GetClassLongPtrA(keys[0].Handle(), GCW_ATOM));
    EXPECT_EQ(keys[0].Mode(), 2u);
    EXPECT_EQ(keys[1].Mode(), 3u);
    EXPECT_EQ(keys[2].Mode(), 1u);
    EXPECT_EQ(GetWindowLongA(keys[0].Handle(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE | BS_TYPEMASK),
              static_cast<LONG>(WS_CHILD | BS_OWNERDRAW));
    EXPECT_EQ(GetDlgCtrlID(keys[2].Handle()), KeyId::Right);
}

TEST(HMIButton, LoadBitmapsResults) {
    const struct {
        UINT normal, pressed, focus, disabled;
        int result;
    } rows[] = {
        {0, 210, 0, 0, 1},          // no pictures at all
        {185, 210, 186, 187, 1},    // all four
        {185, 210, 0, 0, 0},        // the panel keys' way: no focus and no disabled picture
        {999, 210, 186, 187, 0},    // the normal picture missing
        {185, 999, 186, 187, 0},
    };
    Parent parent;
    for (const auto& r : rows) {
        HMIButton key;
        ASSERT_TRUE(key.Create(2, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Digit0));
        EXPECT_EQ(key.LoadBitmaps(r.normal, r.pressed, r.focus, r.disabled), r.result) << r.normal << "," << r.pressed;
    }
}

TEST(HMIButton, DrawItemPicksPressedThenFocusThenDisabledThenNormal) {
    // 185..187 stand in for four distinct pictures of the same size.
    const struct {
        UINT focus, disabled;  // loaded with normal 185 and pressed 210
        UINT state;
        int expected;  // picture drawn; 0: nothing
    } rows[] = {
        {186, 187, ODS_SELECTED | ODS_FOCUS | ODS_DISABLED, 210},
        {186, 187, ODS_FOCUS | ODS_DISABLED, 186},
        {186, 187, ODS_DISABLED, 187},
        {186, 187, 0, 185},
        {0, 0, ODS_FOCUS, 185},
        {0, 0, ODS_DISABLED, 185},
        {0, 0, ODS_SELECTED, 210},
    };
    Parent parent;
    for (const auto& r : rows) {
        HMIButton key;
        ASSERT_TRUE(key.Create(2, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Digit0));
        key.LoadBitmaps(185, 210, r.focus, r.disabled);
        EXPECT_EQ(Drawn(key, r.state), panel_input::PicturePixels(r.expected, kSize, kSize)) << "state " << r.state;
    }
    HMIButton empty;
    ASSERT_TRUE(empty.Create(2, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Digit0));
    empty.LoadBitmaps(999, 210, 0, 0);
    EXPECT_EQ(Drawn(empty, ODS_SELECTED), std::vector<uint32_t>(kSize * kSize, 0x123456)) << "nothing drawn";
}

TEST(HMIButton, LatchLookFollowsTheFlagThroughToggleReleaseAndFocusLoss) {
    Parent parent;
    HMIButton key;
    ASSERT_TRUE(key.Create(3, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Fast));
    ShowWindow(key.Handle(), SW_SHOW);
    auto pushed = [&] { return (key.GetState() & BST_PUSHED) != 0; };
    key.ToggleLatch();
    EXPECT_TRUE(key.Latched());
    EXPECT_TRUE(pushed());
    // The base button would end a press on losing the focus and clear the look with it; the latch
    // key keeps its look, and the press goes on to its release.
    SendMessageA(key.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(GetCapture(), key.Handle());
    SetFocus(parent.hwnd_);
    EXPECT_TRUE(pushed()) << "the latched look went with the focus";
    SendMessageA(key.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(key.Latched());
    EXPECT_FALSE(pushed());
    // Latching by a click: the base release clears the look, the focus's return to the parent
    // brings it back.
    SendMessageA(key.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(key.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(key.Latched());
    EXPECT_TRUE(pushed()) << "the latched look did not come back after the click";
    key.ReleaseLatch();
    EXPECT_FALSE(key.Latched());
    EXPECT_FALSE(pushed());
    key.SetState(true);  // a look without the flag goes on the next focus loss
    SendMessageA(key.Handle(), WM_KILLFOCUS, reinterpret_cast<WPARAM>(parent.hwnd_), 0);
    EXPECT_FALSE(pushed());
}
TEST(HMIButton, FocusLossEndsAPressWithoutAClickAndTheRepeatTimerThenTicksSilently) {
    Parent parent;
    HMIButton key;
    ASSERT_TRUE(key.Create(2, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Digit5));
    ShowWindow(key.Handle(), SW_SHOW);
    SendMessageA(key.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(key.GetState() & BST_PUSHED);
    EXPECT_EQ(GetCapture(), key.Handle());
    Pump(350);
    EXPECT_EQ(g_clicks, 1) << "one tick while held";
    SetFocus(parent.hwnd_);
    EXPECT_FALSE(key.GetState() & BST_PUSHED) << "the press ended with the focus";
    EXPECT_NE(GetCapture(), key.Handle());
    Pump(700);
    EXPECT_EQ(g_clicks, 1) << "ticks while not pushed send nothing";
    SendMessageA(key.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(g_clicks, 1) << "a release after the press ended";
    Pump(400);
    EXPECT_EQ(g_clicks, 1) << "the timer stops at the release";
}

// A press begun on the bare panel and released on a latch key is no click: nothing latches.
TEST(HMIButton, ALatchKeyReleasedWithoutItsOwnPressStaysAsItWas) {
    Parent parent;
    HMIButton key;
    ASSERT_TRUE(key.Create(3, BS_OWNERDRAW, KeyRect(), parent.hwnd_, KeyId::Fast));
    ShowWindow(key.Handle(), SW_SHOW);
    for (bool latched : {false, true}) {
        if (latched) key.ToggleLatch();
        g_clicks = 0;
        SendMessageA(key.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(key.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(key.Latched(), latched);
        EXPECT_EQ((key.GetState() & BST_PUSHED) != 0, latched);
        EXPECT_EQ(g_clicks, 0);
    }
    // Its own press and release still toggle it.
    SendMessageA(key.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(key.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(key.Latched());
}
}  // namespace
