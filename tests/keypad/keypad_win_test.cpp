// The keys and the computer keyboard of quorvex.exe end to end under Wine, with real input:
// every key and every bound computer key against the substitute control application's strict
// script, auto-repeat timing and dragging, double clicks, the latch roads and the keys' pictures.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "protocol/command_table.h"
#include "protocol/key_table.h"
#include "tests/app/panel_process_win.h"
#include "tests/app/sim_script_win.h"
#include "tests/keypad/every_key_bytes.h"
#include "tests/keypad/panel_input_win.h"

namespace {
using namespace panel_input;
constexpr DWORD kWait = 10000;
// Time given to one click before the next input, as an operator's hand would take.
constexpr DWORD kSettle = 120;

// A spot of the panel that is neither a key nor a display line: clicking it activates the window.
void Activate(HWND frame) {
    Click(OnScreen(frame, 620, 40));
    Sleep(kSettle);
}

// "expect" lines for a list of byte strings; \n is written as its escape.
std::string ExpectLines(const std::vector<std::string>& expected) {
    std::string script;
    for (const std::string& bytes : expected) {
        std::string escaped;
        for (char c : bytes) escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
        script += "expect " + escaped + "\n";
    }
    return script;
}

// A panel against the simulator expecting these byte strings strictly, activated for input.
class ScriptedPanel {
public:
    explicit ScriptedPanel(const std::vector<std::string>& expected) : sim(ExpectLines(expected)) {
        frame = sim.Started() ? panel.WaitMainWindow("LOCAL - Quorvex", kWait) : nullptr;
        if (frame) Activate(frame);
    }
    SimScript sim;
    PanelProcess panel{"-l"};
    HWND frame = nullptr;
};

TEST(KeypadScript, EveryKeyClickedOnceSendsItsBytesAndTheKeyboardWorksRightAfter) {
    // After each click the cursor-up key of the keyboard must reach the bindings at once.
    std::vector<std::string> expected = {"PPK"};
    for (const KeyBytes& k : kEveryKey) {
        expected.push_back(k.bytes);
        expected.push_back("K");
    }
    ScriptedPanel p(expected);
    ASSERT_NE(p.frame, nullptr) << p.sim.Output();
    for (const KeyBytes& k : kEveryKey) {
        Click(KeyCenter(p.frame, k.id));
        Sleep(kSettle);
        Tap(VK_UP);
        Sleep(30);
    }
    EXPECT_EQ(p.sim.WaitExit(kWait), 0) << p.sim.Output();
}

struct KeyStroke {
    WORD vk;
    const char* bytes;  // empty: nothing may be sent
};
// Shift and Ctrl between the ADJUST rows change the speed: FAST latched, then SLOW (FAST released),
// then SLOW released again ("C").
constexpr KeyStroke kEveryVirtualKey[] = {
    {VK_BACK, "H"},     {VK_LEFT, "H"},     {VK_UP, "K"},        {VK_RIGHT, "L"},     {VK_DOWN, "J"},
    {VK_PRIOR, "o"},    {VK_NEXT, "O"},     {VK_ESCAPE, "P"},    {VK_RETURN, "\n"},   {VK_F1, ""},
    {'0', "0"},         {'1', "1"},         {'2', "2"},          {'3', "3"},          {'4', "4"},
    {'5', "5"},         {'6', "6"},         {'7', "7"},          {'8', "8"},          {'9', "9"},
    {VK_NUMPAD0, "0"},  {VK_NUMPAD1, "1"},  {VK_NUMPAD2, "2"},   {VK_NUMPAD3, "3"},   {VK_NUMPAD4, "4"},
    {VK_NUMPAD5, "5"},  {VK_NUMPAD6, "6"},  {VK_NUMPAD7, "7"},   {VK_NUMPAD8, "8"},   {VK_NUMPAD9, "9"},
    {VK_SUBTRACT, "-"}, {VK_OEM_MINUS, "-"}, {VK_DECIMAL, "."},  {VK_OEM_PERIOD, "."}, {VK_OEM_1, ":"},
    {'A', "H"},         {'B', "O"},         {'C', "B"},          {'D', "C"},          {'E', "A"},
    {'F', "S"},         {'G', ""},          {VK_F5, ""},
    {VK_INSERT, "A"},   {'P', "A"},         {VK_DELETE, "S"},    {'M', "S"},          {VK_SHIFT, ""},
    {VK_INSERT, "Q"},   {'P', "Q"},         {VK_DELETE, "W"},    {'M', "W"},          {VK_CONTROL, ""},
    {VK_INSERT, "Z"},   {'P', "Z"},         {VK_DELETE, "X"},    {'M', "X"},          {VK_CONTROL, "C"},
};

TEST(KeypadScript, EveryBoundComputerKeySendsItsBytesAndOthersNothingQOpensBranchTo) {
    std::vector<std::string> expected = {"PPK"};
    for (const KeyStroke& k : kEveryVirtualKey)
        if (*k.bytes) expected.push_back(k.bytes);
    expected.push_back("K");  // after Branch To was cancelled: nothing came from Q
    ScriptedPanel p(expected);
    ASSERT_NE(p.frame, nullptr) << p.sim.Output();
    for (const KeyStroke& k : kEveryVirtualKey) {
        Tap(k.vk);
        Sleep(40);
    }
    Tap('Q');
    HWND dialog = p.panel.WaitDialog("Branch To", kWait);
    ASSERT_NE(dialog, nullptr) << "Q did not open Branch To\n" << p.sim.Output();
    PressButton(dialog, IDCANCEL);
    Sleep(300);
    Tap(VK_UP);
    EXPECT_EQ(p.sim.WaitExit(kWait), 0) << p.sim.Output();
}

// A panel connected to a pipe peer, activated for input.
class Keypad : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = WaitConnectedLocally(peer_, panel_, kWait);
        ASSERT_NE(frame_, nullptr);
        Activate(frame_);
    }
    // Bytes with their arrival times in ms since `start`, until nothing came for quietMs.
    std::vector<DWORD> ArrivalsOf(char byte, DWORD start, DWORD quietMs, std::string* all) {
        std::vector<DWORD> times;
        for (;;) {
            const std::string got = peer_.Receive(1, quietMs);
            if (got.empty()) return times;
            *all += got;
            if (got[0] == byte) times.push_back(GetTickCount() - start);
        }
    }
    PipePeer peer_{2};
    PanelProcess panel_{"-l"};
    HWND frame_ = nullptr;
};

TEST_F(Keypad, HoldingAnAutoRepeatKeyForOneSecondSendsFourClicksAbout300msApart) {
    MoveTo(KeyCenter(frame_, KeyId::Digit5));
    const DWORD start = GetTickCount();
    std::string all;
    std::vector<DWORD> t;
    // Arrival times are taken as the bytes come, on a reader that ends 600 ms after the last.
    std::thread reader([&] { t = ArrivalsOf('5', start, 600, &all); });
    ButtonDown();
    Sleep(1000);
    ButtonUp();
    reader.join();
    ASSERT_EQ(all, "5555") << "three ticks and the release";
    // The ticks come 300 ms apart; the machine may be loaded, so allow for late ticks.
    for (int i = 0; i < 3; ++i) {
        EXPECT_GE(t[i], 250u + 300u * i) << "tick " << i;
        EXPECT_LE(t[i], 300u * (i + 1) + 250) << "tick " << i;
    }
    EXPECT_GE(t[3], 950u) << "the release";
}

TEST_F(Keypad, DraggingOffAHeldKeyStopsItsClicksAndBackResumesThemAReleaseOffAddsNone) {
    const POINT on = KeyCenter(frame_, KeyId::Up);
    const POINT off = OnScreen(frame_, 620, 40);
    MoveTo(on);
    ButtonDown();
    Sleep(400);  // one tick
    EXPECT_EQ(peer_.ReceiveFor(50), "K");
    MoveTo(off);
    Sleep(100);
    EXPECT_FALSE(ShowsPushed(frame_, KeyId::Up));
    EXPECT_EQ(peer_.ReceiveFor(700), "") << "ticks while the pointer is off the key";
    MoveTo(on);
    Sleep(100);
    EXPECT_TRUE(ShowsPushed(frame_, KeyId::Up));
    const std::string resumed = peer_.ReceiveFor(600);
    EXPECT_GE(resumed.size(), 1u) << "no tick after dragging back";
    EXPECT_EQ(resumed.find_first_not_of('K'), std::string::npos) << resumed;
    MoveTo(off);
    Sleep(100);
    ButtonUp();
    EXPECT_EQ(peer_.ReceiveFor(700), "") << "a release off the key";
}

// A second press within the double-click time is a press like the first: held, it repeats.
TEST_F(Keypad, AQuickDoubleClickCountsAsTwoClicksAndItsSecondPressRepeats) {
    const POINT at = KeyCenter(frame_, KeyId::Enter);
    MoveTo(at);
    ButtonDown();
    ButtonUp();
    ButtonDown();
    ButtonUp();
    EXPECT_EQ(peer_.Receive(2, kWait), "\n\n");
    EXPECT_EQ(peer_.ReceiveFor(400), "");
    Sleep(600);  // past the double-click time
    ButtonDown();
    ButtonUp();
    ButtonDown();
    Sleep(800);
    ButtonUp();
    EXPECT_EQ(peer_.Receive(4, kWait), "\n\n\n\n") << "a click, two ticks of the held second press, its release";
    EXPECT_EQ(peer_.ReceiveFor(400), "");
}

// Shift or Ctrl held: its key-down and `repeats` auto-repeated ones (bit 30 of lParam set, as the
// keyboard sends them), then its key-up and the up arrow's key-down, whose "K" says that the
// window has handled all of them.
std::string HoldKey(HWND frame, PipePeer& peer, WORD vk, int repeats) {
    PostMessageA(frame, WM_KEYDOWN, vk, 1);
    for (int i = 0; i < repeats; ++i) PostMessageA(frame, WM_KEYDOWN, vk, 1 | 0x40000000);
    PostMessageA(frame, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
    PostMessageA(frame, WM_KEYDOWN, VK_UP, 1);
    std::string got;
    while (got.empty() || got.back() != 'K') {
        const std::string more = peer.Receive(1, kWait);
        if (more.empty()) break;
        got += more;
    }
    return got;
}

// One press is one toggle however long the finger rests, as with the mouse.
TEST_F(Keypad, AHeldShiftOrCtrlTogglesItsLatchOncePerPress) {
    const struct {
        WORD vk;
        int32_t latch;
    } rows[] = {{VK_SHIFT, KeyId::Fast}, {VK_CONTROL, KeyId::Slow}};
    for (const auto& r : rows) {
        EXPECT_EQ(HoldKey(frame_, peer_, r.vk, 29), "K") << r.vk << ": held for 29 repeats";
        EXPECT_TRUE(ShowsPushed(frame_, r.latch)) << r.vk;
        // The second press releases the latch and sends its key's byte.
        EXPECT_EQ(HoldKey(frame_, peer_, r.vk, 0), std::string(1, commands::ByteOfKey(r.latch)) + "K") << r.vk;
        EXPECT_FALSE(ShowsPushed(frame_, r.latch)) << r.vk;
    }
}

// One operator step of the latch roads.
enum class Step { ClickFast, ClickSlow, Shift, Control, CtrlP, LetterC, LetterD, AdjustUp, AdjustDown, PushBoth };

void Perform(Step step, HWND frame) {
    switch (step) {
        case Step::ClickFast: Click(KeyCenter(frame, KeyId::Fast)); break;
        case Step::ClickSlow: Click(KeyCenter(frame, KeyId::Slow)); break;
        case Step::Shift: Tap(VK_SHIFT); break;
        case Step::Control: Tap(VK_CONTROL); break;
        case Step::CtrlP:
            KeyDown(VK_CONTROL);
            Tap('P');
            KeyUp(VK_CONTROL);
            break;
        case Step::LetterC: Tap('C'); break;
        case Step::LetterD: Tap('D'); break;
        case Step::AdjustUp: Click(KeyCenter(frame, KeyId::AdjustUp)); break;
        case Step::AdjustDown: Click(KeyCenter(frame, KeyId::AdjustDown)); break;
        case Step::PushBoth:  // both looks pushed at once, which only a click in progress gives
            SendMessageA(GetDlgItem(frame, KeyId::Fast), BM_SETSTATE, TRUE, 0);
            SendMessageA(GetDlgItem(frame, KeyId::Slow), BM_SETSTATE, TRUE, 0);
            break;
    }
    Sleep(kSettle);
}

TEST_F(Keypad, LatchRoadsAndTheAdjustSpeed) {
    const struct {
        std::vector<Step> steps;
        const char* bytes;
        bool fast, slow;  // pushed looks afterwards
    } rows[] = {
        {{Step::ClickFast}, "B", true, false},
        {{Step::ClickFast}, "", false, false},
        {{Step::Shift}, "", true, false},
        {{Step::Shift}, "B", false, false},
        {{Step::ClickSlow}, "C", false, true},
        {{Step::ClickSlow}, "", false, false},
        {{Step::Control}, "", false, true},
        {{Step::Control}, "C", false, false},
        {{Step::AdjustUp, Step::AdjustDown}, "AS", false, false},
        {{Step::Shift, Step::AdjustUp, Step::AdjustDown}, "QW", true, false},
        {{Step::ClickSlow, Step::AdjustDown}, "CX", false, true},
        {{Step::LetterC, Step::LetterD}, "BC", false, true},
        {{Step::Control, Step::PushBoth, Step::AdjustUp}, "CZ", true, true},
        {{Step::Shift, Step::Shift, Step::CtrlP}, "B", false, true},  // Ctrl toggled SLOW, P taken
        {{Step::Control}, "C", false, false},
    };
    int n = 0;
    for (const auto& r : rows) {
        for (Step s : r.steps) Perform(s, frame_);
        const std::string expected = r.bytes;
        EXPECT_EQ(peer_.Receive(expected.size(), 2000), expected) << "row " << n;
        EXPECT_EQ(peer_.ReceiveFor(150), "") << "row " << n;
        EXPECT_EQ(ShowsPushed(frame_, KeyId::Fast), r.fast) << "FAST after row " << n;
        EXPECT_EQ(ShowsPushed(frame_, KeyId::Slow), r.slow) << "SLOW after row " << n;
        ++n;
    }
}

// Share of the key's pixels on the screen equal to the picture's.
double Match(HWND frame, int32_t keyId, int bitmapId) {
    const KeyRow& k = KeyTable::Row(keyId);
    const POINT at = OnScreen(frame, k.x, k.y);
    const RECT r = {at.x, at.y, at.x + k.width, at.y + k.height};
    const std::vector<uint32_t> shown = CaptureScreen(r);
    const std::vector<uint32_t> picture = PicturePixels(bitmapId, k.width, k.height);
    if (shown.empty() || shown.size() != picture.size()) return 0;
    size_t same = 0;
    for (size_t k = 0; k < shown.size(); ++k) same += shown[k] == picture[k];
    return static_cast<double>(same) / static_cast<double>(shown.size());
}

TEST_F(Keypad, LatchedAndHeldKeysShowTheirPressedPictureReleasedOnesTheirNormalOne) {
    const int32_t keys[] = {KeyId::Fast, KeyId::Digit5};
    for (int32_t id : keys) {
        EXPECT_EQ(Match(frame_, id, KeyTable::NormalBitmapId(id)), 1.0) << id << " before";
    }
    Perform(Step::ClickFast, frame_);  // latched
    EXPECT_EQ(Match(frame_, KeyId::Fast, KeyTable::PressedBitmapId(KeyId::Fast)), 1.0) << "FAST latched";
    MoveTo(KeyCenter(frame_, KeyId::Digit5));
    ButtonDown();
    Sleep(150);
    EXPECT_EQ(Match(frame_, KeyId::Digit5, KeyTable::PressedBitmapId(KeyId::Digit5)), 1.0) << "5 held";
    ButtonUp();
    Sleep(kSettle);
    EXPECT_EQ(Match(frame_, KeyId::Digit5, KeyTable::NormalBitmapId(KeyId::Digit5)), 1.0) << "5 released";
    Perform(Step::ClickFast, frame_);  // released
    EXPECT_EQ(Match(frame_, KeyId::Fast, KeyTable::NormalBitmapId(KeyId::Fast)), 1.0) << "FAST released";
    EXPECT_EQ(peer_.Receive(2, 2000), "B5");
}
}  // namespace
