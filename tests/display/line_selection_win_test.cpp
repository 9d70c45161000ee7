// Line clicks and the Branch To dialog of quorvex.exe, end to end under Wine: the clicks
// against the substitute control application in script mode, the dialog against a pipe peer.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/app/panel_process_win.h"
#include "tests/app/sim_script_win.h"
#include "tests/keypad/panel_input_win.h"

namespace {
constexpr DWORD kWait = 10000;

void Click(HWND frame, int x, int y) {
    PostMessageA(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Through the system's input queue: the double click exists only if the window's class asks for it.
void DoubleClick(HWND frame, int x, int y) {
    panel_input::MoveTo(panel_input::OnScreen(frame, x, y));
    for (int i = 0; i < 2; ++i) {
        panel_input::ButtonDown();
        panel_input::ButtonUp();
    }
}

TEST(LineSelection, EdgeClicksSelectTheirLinesAndOutsideClicksSendNothing) {
    // `expect` is strict: a byte sent by a click that should send nothing fails the next line.
    SimScript sim(
        "expect PPK\n"
        "expect p1\\n\n"
        "expect p2\\n\n"
        "expect p20\\n\n"
        "expect p6\\n\n");
    ASSERT_TRUE(sim.Started());
    PanelProcess panel("-l");
    HWND frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
    ASSERT_NE(frame, nullptr);
    const POINT clicks[] = {{14, 13}, {14, 28}, {295, 312},                    // lines 0, 1 and 19
                            {296, 13}, {13, 13}, {14, 12}, {14, 313},          // just outside
                            {100, 13 + 5 * 15 + 7}};                           // line 5 closes the run
    for (const POINT& p : clicks) {
        Click(frame, p.x, p.y);
        Sleep(50);
    }
    EXPECT_EQ(sim.WaitExit(kWait), 0) << sim.Output();
}

class BranchTo : public ::testing::Test {
protected:
    void SetUp() override {
        frame_ = WaitConnectedLocally(peer_, panel_, kWait);
        ASSERT_NE(frame_, nullptr);
    }
    // Double click on line 4: its SelectLine first, then the dialog.
    HWND Open() {
        DoubleClick(frame_, 60, 13 + 4 * 15 + 7);
        EXPECT_EQ(peer_.Receive(3, kWait), "p5\n");
        HWND dialog = panel_.WaitDialog("Branch To", kWait);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    PipePeer peer_{2};
    PanelProcess panel_{"-l"};
    HWND frame_ = nullptr;
};

TEST_F(BranchTo, TypedLettersAreCapitalsAndOkWritesOneCommand) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, 1070);
    for (char c : std::string("xyz")) SendMessageA(edit, WM_CHAR, c, 1);
    char shown[16] = "";
    GetDlgItemTextA(dialog, 1070, shown, sizeof(shown));  // WM_GETTEXT crosses processes
    EXPECT_STREQ(shown, "XYZ");
    PressButton(dialog, IDOK);
    EXPECT_EQ(peer_.Receive(5, kWait), "qXYZ\n");
    EXPECT_EQ(peer_.ReceiveFor(300), "");
}

TEST_F(BranchTo, EmptyOkAndCancel) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDOK);
    EXPECT_EQ(peer_.Receive(2, kWait), "q\n");
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDCANCEL);
    EXPECT_EQ(peer_.ReceiveFor(500), "");
}

TEST_F(BranchTo, TheFieldTakesThirtyTwoCharacters) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, 1070);
    EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 32);
    const std::string typed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456";  // 33
    for (char c : typed) SendMessageA(edit, WM_CHAR, c, 1);
    char shown[64] = "";
    GetDlgItemTextA(dialog, 1070, shown, sizeof(shown));
    EXPECT_EQ(std::string(shown), typed.substr(0, 32));
    PressButton(dialog, IDOK);
    EXPECT_EQ(peer_.Receive(34, kWait), "q" + typed.substr(0, 32) + "\n");
    EXPECT_EQ(peer_.ReceiveFor(300), "");
}

// Text set into the field by another process passes the field's limit and its typing: a text
// that would split into several commands or be cut is refused, nothing is sent and the dialog
// stays open for the operator to correct it.
TEST_F(BranchTo, ATextThatMayNotGoOutIsRefusedAndTheDialogStaysOpen) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    const std::string refused[] = {"A\nPPK", "A\tB", "AB\x7f", std::string(33, 'Z')};
    for (const std::string& text : refused) {
        SetDlgItemTextA(dialog, 1070, text.c_str());
        PressButton(dialog, IDOK);
        EXPECT_EQ(peer_.ReceiveFor(300), "") << ::testing::PrintToString(text);
        EXPECT_TRUE(IsWindowVisible(dialog)) << ::testing::PrintToString(text) << ": the dialog closed";
    }
    SetDlgItemTextA(dialog, 1070, "A");
    PressButton(dialog, IDOK);
    EXPECT_EQ(peer_.Receive(3, kWait), "qA\n");
    EXPECT_EQ(peer_.ReceiveFor(300), "");
}

TEST_F(BranchTo, ControlExitWhileOpenEndsCleanlyWithNothingSent) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, 1070, "NEVER");
    ASSERT_TRUE(peer_.Send("\x16"));
    EXPECT_EQ(panel_.WaitExit(kWait), 0);
    EXPECT_EQ(peer_.ReceiveFor(300), "");
}
}  // namespace
