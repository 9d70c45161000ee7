// quorvex.exe end to end under Wine with real pipes: start-up and connection results, the
// first commands, the window's fit, the control's exit, the lost control and every way out.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "support/end_status.h"
#include "tests/app/panel_process_win.h"

namespace {
constexpr DWORD kWait = 10000;
const char kFatal[] = "Fatal or Unrecoverable Error";

// The fatal box shows `text`; OK ends the process with the status that tells a fatal end from a
// close.
void ExpectFatalEnd(PanelProcess& panel, const char* text) {
    HWND box = panel.WaitDialog(kFatal, kWait);
    ASSERT_NE(box, nullptr) << "no fatal box showing " << text;
    EXPECT_EQ(MessageBoxText(box), text);
    PressButton(box, IDOK);
    EXPECT_EQ(panel.WaitExit(kWait), end_status::Fatal) << text;
}

void ExpectFatalStart(const std::string& args, const char* text) {
    PanelProcess panel(args);
    ASSERT_TRUE(panel.Started());
    ExpectFatalEnd(panel, text);
}

TEST(FrameStartup, LocalDeviceTwoConnectsAndSendsTheFirstCommands) {
    PipePeer peer(2);
    ASSERT_TRUE(peer.Ok());
    PanelProcess panel("-l");
    ASSERT_TRUE(panel.Started());
    ASSERT_TRUE(peer.WaitConnected(kWait));
    EXPECT_EQ(peer.Receive(3, kWait), "PPK");
    HWND frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(panel.StatusPane(frame, 0), "Halvorne Orvik");
    EXPECT_EQ(panel.StatusPane(frame, 1), "LOCAL");
    EXPECT_EQ(panel.StatusPane(frame, 2), "Connected to device 2");

    RECT window;
    GetWindowRect(frame, &window);
    EXPECT_EQ(window.left, 0);
    EXPECT_EQ(window.top, 0);
    // The client area holds the whole panel above the status bar, exactly.
    RECT client;
    GetClientRect(frame, &client);
    HWND bar = FindWindowExA(frame, nullptr, "msctls_statusbar32", nullptr);
    ASSERT_NE(bar, nullptr);
    RECT barRect;
    GetWindowRect(bar, &barRect);
    EXPECT_EQ(client.right, 630);
    EXPECT_EQ(client.bottom - (barRect.bottom - barRect.top), 384);

    const LONG style = GetWindowLongA(frame, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST(FrameStartup, OnlyDeviceFiveIsFoundAfterTheLowerNumbers) {
    PipePeer peer(5);
    ASSERT_TRUE(peer.Ok());
    PanelProcess panel("-L");
    ASSERT_TRUE(peer.WaitConnected(kWait));
    EXPECT_EQ(peer.Receive(3, kWait), "PPK");
    HWND frame = panel.WaitMainWindow("LOCAL - Quorvex", kWait);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(panel.StatusPane(frame, 2), "Connected to device 5");
}

TEST(FrameStartup, NoPipesIsFatalAndEndsTheProcess) {
    ExpectFatalStart("-l", "Unable to find an available pipe device.");
}

TEST(FrameStartup, OneSidedPairEndsTheSearchAtOnce) {
    struct Row {
        PipePeer::Sides sides;
        const char* text;
    };
    const Row rows[] = {{PipePeer::ReadOnly, "Write access denied."}, {PipePeer::WriteOnly, "Read access denied."}};
    for (const Row& r : rows) {
        PipePeer half(2, r.sides);
        PipePeer next(3);  // must never be tried
        ASSERT_TRUE(half.Ok());
        ASSERT_TRUE(next.Ok());
        ExpectFatalStart("-l", r.text);
        EXPECT_FALSE(next.WaitConnected(100));
    }
}

TEST(FrameStartup, CancelInConnectToIsNoSelection) {
    PipePeer peer(2);
    PanelProcess panel("");
    HWND dialog = panel.WaitDialog("Connect To", kWait);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 1078), BM_GETCHECK, 0, 0), BST_CHECKED);
    PressButton(dialog, IDCANCEL);
    ExpectFatalEnd(panel, "No selection made.");
    EXPECT_FALSE(peer.WaitConnected(100));
}

TEST(FrameStartup, RemoteNameDecidesBetweenDialogs) {
    const std::string name32(32, 'N');
    {
        // 32 characters are taken: no Connect To, straight to network access.
        PanelProcess panel("-r " + name32);
        HWND password = panel.WaitDialog("Enter Network Password", kWait);
        ASSERT_NE(password, nullptr);
        char shown[64] = "";
        GetDlgItemTextA(password, 1080, shown, sizeof(shown));
        EXPECT_EQ(std::string(shown), "\\\\" + name32);
        PressButton(password, IDCANCEL);
        ExpectFatalEnd(panel, "Remote access denied.");
    }
    // Longer, or not a computer's name ("." would be this computer's pipes, labelled remote):
    // Connect To, Remote computer chosen, the name not copied.
    for (const std::string& refused : {name32 + "N", std::string(".")}) {
        SCOPED_TRACE(refused);
        PanelProcess panel("-r " + refused);
        HWND dialog = panel.WaitDialog("Connect To", kWait);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, 1079), BM_GETCHECK, 0, 0), BST_CHECKED);
        char name[64] = "x";
        GetDlgItemTextA(dialog, 1080, name, sizeof(name));
        EXPECT_STREQ(name, "");
        PressButton(dialog, IDCANCEL);
        ExpectFatalEnd(panel, "No selection made.");
    }
}

TEST(FrameStartup, WrongCredentialsAreRefusedAndTheFieldsEmptied) {
    PanelProcess panel("-r PLANT");
    HWND password = panel.WaitDialog("Enter Network Password", kWait);
    ASSERT_NE(password, nullptr);
    char shown[64] = "";
    GetDlgItemTextA(password, 1080, shown, sizeof(shown));
    EXPECT_STREQ(shown, "\\\\PLANT");
    SetDlgItemTextA(password, 1091, "operator");
    SetDlgItemTextA(password, 1092, "wrong");
    PressButton(password, IDOK);
    HWND denied = panel.WaitDialog("Halvorne Quorvex", kWait);
    ASSERT_NE(denied, nullptr);
    EXPECT_EQ(MessageBoxText(denied), "Remote access denied.");
    PressButton(denied, IDOK);
    // Back in the dialog, with both fields emptied for another try.
    for (int i = 0; i < 100 && IsWindow(denied); ++i) Sleep(20);
    char user[32] = "x";
    char pass[32] = "x";
    GetDlgItemTextA(password, 1091, user, sizeof(user));
    GetDlgItemTextA(password, 1092, pass, sizeof(pass));
    EXPECT_STREQ(user, "");
    EXPECT_STREQ(pass, "");
    PressButton(password, IDCANCEL);
    ExpectFatalEnd(panel, "Remote access denied.");
}

TEST(FrameLifetime, ControlExitOnALocalLinkClosesWithoutNotice) {
    PipePeer peer(2);
    PanelProcess panel("-l");
    ASSERT_NE(WaitConnectedLocally(peer, panel, kWait), nullptr);
    ASSERT_TRUE(peer.Send("BYE\x16"));
    EXPECT_EQ(panel.WaitExit(kWait), end_status::Closed);
}

TEST(FrameLifetime, ControlExitDuringTheStartUpFatalBoxEndsCleanly) {
    // The first command blocks unread until the peer stops reading, then fails; the control's exit
    // arrives while that fatal box is up.
    PipePeer peer(2, PipePeer::Both, 0);
    // From a second thread: the panel's start waits for its input idle, which the blocked write delays.
    std::thread closer([&peer] {
        if (peer.WaitConnected(kWait)) peer.StopReading();
    });
    PanelProcess panel("-l");
    closer.join();
    ASSERT_NE(panel.WaitDialog(kFatal, kWait), nullptr) << "no fatal box for the lost first command";
    ASSERT_TRUE(peer.Send("\x16"));
    // The box was shown: the end stays a fatal one.
    EXPECT_EQ(panel.WaitExit(kWait), end_status::Fatal);
}

TEST(FrameLifetime, IdentificationIsAnsweredWhileConnected) {
    PipePeer peer(2);
    PanelProcess panel("-l");
    ASSERT_NE(WaitConnectedLocally(peer, panel, kWait), nullptr);
    ASSERT_TRUE(peer.Send("AB\x1a" "CD"));
    EXPECT_EQ(peer.Receive(3, kWait), "VFD");
}

TEST(FrameLifetime, LostControlIsReportedAtTheNextCommand) {
    PipePeer peer(2);
    PanelProcess panel("-l");
    HWND frame = WaitConnectedLocally(peer, panel, kWait);
    ASSERT_NE(frame, nullptr);
    peer.Vanish();
    Sleep(200);
    // A click on display line 0 is a SelectLine command.
    PostMessageA(frame, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    PostMessageA(frame, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    ExpectFatalEnd(panel, "Communications error, control is no longer available.");
}

TEST(FrameLifetime, EveryWayOutEndsTheProcessWithinOneSecond) {
    struct Row {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Row rows[] = {{"File Exit", WM_COMMAND, 57665}, {"Alt+F4", WM_SYSCOMMAND, SC_CLOSE}, {"WM_CLOSE", WM_CLOSE, 0}};
    for (const Row& r : rows) {
        PipePeer peer(2);
        PanelProcess panel("-l");
        HWND frame = WaitConnectedLocally(peer, panel, kWait);
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(peer.Send("\x01" "CONNECTED"));
        PostMessageA(frame, r.message, r.wParam, 0);
        EXPECT_EQ(panel.WaitExit(1000), end_status::Closed) << r.name;
    }
}
}  // namespace
