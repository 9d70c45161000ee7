// The main window in this process under Wine: the services' lifetime, the look before
// connecting, the status prompt, the touch opt-out of the window and its keys, a move to a
// monitor of another scaling, repaint requests once the window is gone, and the order of the control's exit and of shut-down on a link to a
// peer of this test.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/frame_win.h"
#include "display/display_geometry.h"
#include "keypad/keypad_win.h"
#include "protocol/key_table.h"
#include "res/resource_ids.h"
#include "support/dpi_win.h"
#include "link/pipe_io_win.h"
#include "link/reader_thread_win.h"
#include "support/app_services_win.h"
#include "support/busy_cursor_win.h"
#include "tests/link/connect_test_peer_win.h"
#include "tests/support/box_watcher_win.h"

namespace {
constexpr char kIdle[] = "Halvorne Orvik";
constexpr char kExited[] = "The control application has exited.  Quorvex will now shutdown.";

std::string Text(HWND h) {
    char text[256] = "";
    GetWindowTextA(h, text, sizeof(text));
    return text;
}

std::string Pane(Frame& frame, int pane) {
    char text[256] = "";
    SendMessageA(frame.Status().Handle(), SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text));
    return text;
}

// Keeps its object when its window goes, as a frame whose reader is still running would be.
class KeptFrame final : public Frame {
protected:
    void OnFinalMessage() override {}
};

class FrameWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(frame.CreateMainWindow()); }
    void TearDown() override {
        if (frame.Exists()) DestroyWindow(frame.Handle());
    }
    KeptFrame frame;
};

TEST(FrameServices, ExistExactlyWhileTheFrameLives) {
    EXPECT_EQ(g_appServices, nullptr);
    EXPECT_EQ(g_busyCursor, nullptr);
    auto* frame = new Frame();
    EXPECT_NE(g_appServices, nullptr);
    EXPECT_NE(g_busyCursor, nullptr);
    ASSERT_TRUE(frame->CreateMainWindow());
    DestroyWindow(frame->Handle());  // its final message deletes the frame
    EXPECT_EQ(g_appServices, nullptr);
    EXPECT_EQ(g_busyCursor, nullptr);
}

TEST_F(FrameWindow, BeforeConnectingTheTitleIsQuorvexAndTheIndicatorPanesBlank) {
    EXPECT_EQ(Text(frame.Handle()), "Quorvex");
    EXPECT_EQ(Pane(frame, 0), kIdle);
    EXPECT_EQ(Pane(frame, 1), " ");
    EXPECT_EQ(Pane(frame, 2), " ");
}

TEST_F(FrameWindow, PaneZeroShowsTheIdleTextWheneverNoMenuItemIsHighlighted) {
    const LPARAM menu = reinterpret_cast<LPARAM>(GetMenu(frame.Handle()));
    const char exitPrompt[] = "Quit the application; prompts to save modified information.";
    const struct {
        const char* label;
        WPARAM wParam;
        LPARAM lParam;
        const char* pane;
    } rows[] = {
        {"Exit", MAKEWPARAM(57665, MF_HILITE), menu, exitPrompt},
        {"File title", MAKEWPARAM(0, MF_POPUP | MF_HILITE), menu, kIdle},
        {"About", MAKEWPARAM(57664, MF_HILITE), menu, "Display program information, version number and copyright."},
        {"separator", MAKEWPARAM(0, MF_SEPARATOR | MF_HILITE), menu, kIdle},
        {"Exit again", MAKEWPARAM(57665, MF_HILITE), menu, exitPrompt},
        {"menu closed", MAKEWPARAM(0, 0xFFFF), 0, kIdle},
    };
    for (const auto& r : rows) {
        SendMessageA(frame.Handle(), WM_MENUSELECT, r.wParam, r.lParam);
        EXPECT_EQ(Pane(frame, 0), r.pane) << r.label;
    }
}

// What a touch screen asks before it turns a held finger into a right click or draws its
// feedback: the window and every key answer press-and-hold and the pen feedback off, by the
// message and by the tablet property.
TEST_F(FrameWindow, TheWindowAndEveryKeyOptOutOfPressAndHoldAndTouchFeedback) {
    constexpr UINT kQueryGestures = 0x02CC;
    constexpr DWORD kWanted = 0x1 | 0x8 | 0x10;  // press-and-hold, pen tap feedback, pen barrel feedback
    std::vector<std::pair<std::string, HWND>> windows = {{"main window", frame.Handle()}};
    for (int32_t id = KeyTable::FirstId; id <= KeyTable::LastId; ++id)
        windows.push_back({KeyTable::Legend(id), frame.Key(id).Handle()});
    for (const auto& [name, window] : windows) {
        RECT r;
        GetWindowRect(window, &r);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const auto answer = static_cast<DWORD>(SendMessageA(window, kQueryGestures, 0, at));
        EXPECT_EQ(answer & kWanted, kWanted) << name << " answered 0x" << std::hex << answer;
        const auto property = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(GetPropA(window, "MicrosoftTabletPenServiceProperty")));
        EXPECT_EQ(property & kWanted, kWanted) << name << " has the property 0x" << std::hex << property;
    }
}

// Counts the paints of a plain top-level window.
std::atomic<int> gPaints{0};
LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PAINT || message == WM_ERASEBKGND || message == WM_NCPAINT) gPaints.fetch_add(1);
    return DefWindowProcA(hwnd, message, w, l);
}

// A move to a monitor of another scaling: the window takes the suggested place, and its client
// area, keys, lines and font are the panel's at the new DPI; back at the first DPI all is as before.
TEST_F(FrameWindow, ADpiChangeRedrawsThePanelAtTheNewScalingWhereTheSystemSuggests) {
    const HWND h = frame.Handle();
    const int32_t first = frame.Dpi();
    RECT before;
    GetClientRect(h, &before);
    for (const int32_t d : {144, 192, 120, first}) {
        SCOPED_TRACE(d);
        RECT suggested = {40 + d, 30, 140 + d, 130};
        SendMessageA(h, dpi_win::DpiChanged, MAKEWPARAM(d, d), reinterpret_cast<LPARAM>(&suggested));
        RECT window, client, status, one;
        GetWindowRect(h, &window);
        GetClientRect(h, &client);
        GetWindowRect(GetDlgItem(h, IDC_STATUS_BAR), &status);
        GetWindowRect(GetDlgItem(h, KeyId::Digit1), &one);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&status), 2);
        MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&one), 2);
        EXPECT_EQ(window.left, 40 + d);
        EXPECT_EQ(window.top, 30);
        EXPECT_EQ(client.right, display_geometry::PanelWidthAt(d));
        EXPECT_EQ(status.top, display_geometry::PanelHeightAt(d));
        EXPECT_EQ(client.bottom, status.bottom);
        const RECT want = keypad::KeyRect(KeyTable::Row(KeyId::Digit1), d);
        EXPECT_TRUE(EqualRect(&one, &want));
        const display_geometry::LineLayout lines = frame.Lines();
        EXPECT_EQ(lines.top, dpi::Scaled(display_geometry::Top, d));
        EXPECT_EQ(lines.height, display_geometry::CellHeightAt(d));
    }
    RECT after;
    GetClientRect(h, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(FrameWindow, RepaintRequestsOnceTheWindowIsGoneReachNoOtherWindow) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CountPaints;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuorvexPaintCounter";
    RegisterClassA(&wc);
    HWND other = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 700, 0, 100, 100, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    ASSERT_NE(other, nullptr);
    UpdateWindow(other);
    PumpUntil([] { return false; }, 100);
    DestroyWindow(frame.Handle());
    gPaints.store(0);
    frame.LinesChanged(1u);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(gPaints.load(), 0) << "a repaint request reached the desktop";
    DestroyWindow(other);
}

DWORD AccessGranted(HWND, const char*, const wchar_t*, const wchar_t*) { return NO_ERROR; }

// The pipes of the remote computer PLANT, served by this test's peer on this computer.
connect_logic::PipeHandle OpenOnThisComputer(const char* name, connect_logic::PipeAccess access) {
    const std::string remote = "\\\\PLANT\\";
    std::string local = name;
    if (local.compare(0, remote.size(), remote) == 0) local = "\\\\.\\" + local.substr(remote.size());
    return pipe_io::OpenPipe(local.c_str(), access);
}

// A frame connected to this test's peer on device 2, as this computer or as the remote
// computer PLANT, whose network access is granted.
Frame* ConnectedFrame(bool remote) {
    static const char* const kLocal[] = {"quorvex.exe", "-l"};
    static const char* const kRemote[] = {"quorvex.exe", "-r", "PLANT"};
    auto* frame = new Frame();
    frame->Link()->UseArguments(remote ? 3 : 2, remote ? kRemote : kLocal);
    frame->Link()->UseConnector(&AccessGranted);
    frame->Link()->UsePipeOpener(&OpenOnThisComputer);
    if (!frame->CreateMainWindow()) {
        delete frame;
        return nullptr;
    }
    frame->ShowAndConnect(SW_SHOWNOACTIVATE);
    return frame;
}

TEST(FrameExit, RemoteLinkShowsTheNoticeAndClosesOnceItIsDismissed) {
    TestPeer peer;
    ASSERT_TRUE(peer.Offer(2, true, true));
    Frame* frame = ConnectedFrame(true);
    ASSERT_NE(frame, nullptr);
    const HWND window = frame->Handle();
    ASSERT_EQ(Text(window), "PLANT - Quorvex");
    ASSERT_EQ(peer.Receive(2, 3), "PPK");
    BoxWatcher boxes({"Notice"});
    ASSERT_TRUE(peer.Send(2, "\x16"));
    ASSERT_TRUE(boxes.WaitForSeen(1)) << "no notice";
    EXPECT_TRUE(IsWindow(window)) << "closed before the notice was dismissed";
    const SeenBox notice = boxes.Seen()[0];
    EXPECT_EQ(notice.text, kExited);
    EXPECT_EQ(notice.owner, window);
    ASSERT_TRUE(boxes.Press("Notice"));
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); })) << "still open after the notice";
}

// On the reader, once it has declared its wait on the window: closes the frame and waits until
// the frame and its services are gone (the test's thread pumps), as a close at that moment would.
std::atomic<HWND> gClosing{nullptr};
std::atomic<bool> gServicesGoneInHook{false};
void CloseDuringTheWait() {
    PostMessageA(gClosing.load(), WM_CLOSE, 0, 0);
    const DWORD start = GetTickCount();
    while (g_appServices && GetTickCount() - start < 5000) Sleep(5);
    gServicesGoneInHook.store(g_appServices == nullptr);
}

// The services of this test binary are allocated in pages of their own and released at their
// delete (guarded_services_win.cpp): a reader that used them afterwards would fault.
TEST(FrameExit, ACloseOnceTheReaderWaitsOnTheWindowLeavesItNothingOfTheServicesToUse) {
    TestPeer peer;
    ASSERT_TRUE(peer.Offer(2, true, true));
    Frame* frame = ConnectedFrame(true);
    ASSERT_NE(frame, nullptr);
    const HWND window = frame->Handle();
    ASSERT_EQ(peer.Receive(2, 3), "PPK");
    HANDLE reader = OpenThread(SYNCHRONIZE, FALSE, frame->Link()->ReaderThreadId());
    ASSERT_NE(reader, nullptr);
    gClosing.store(window);
    reader_thread::UseWindowWaitHook(&CloseDuringTheWait);
    ASSERT_TRUE(peer.Send(2, "\x16"));
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); })) << "the frame did not close";
    EXPECT_EQ(WaitForSingleObject(reader, 5000), WAIT_OBJECT_0) << "the reader did not end";
    reader_thread::UseWindowWaitHook(nullptr);
    CloseHandle(reader);
    EXPECT_TRUE(gServicesGoneInHook.load()) << "the services outlived the close inside the wait";
}

// Delivers the reader's events to the frame's display while the services exist; counts those
// that arrive once they are gone.
class OrderSink final : public EventSink {
public:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (!g_appServices) {
            late.fetch_add(1);
            return 1;
        }
        delivered.fetch_add(1);
        return display->ApplyEvent(type, kind, argument);
    }
    TextDisplay* display = nullptr;
    std::atomic<int> delivered{0};
    std::atomic<int> late{0};
};
OrderSink gOrderSink;

class WatchedFrame final : public Frame {
public:
    EventSink* DisplaySink() override { return &gOrderSink; }
};

TEST(FrameExit, ClosingWhileTheControlFloodsStopsTheReaderBeforeTheServicesGo) {
    TestPeer peer;
    ASSERT_TRUE(peer.Offer(2, true, true));
    auto* frame = new WatchedFrame();
    gOrderSink.display = &frame->Display();
    static const char* const kLocal[] = {"quorvex.exe", "-l"};
    frame->Link()->UseArguments(2, kLocal);
    ASSERT_TRUE(frame->CreateMainWindow());
    frame->ShowAndConnect(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(frame->Link()->Connected());
    const HWND window = frame->Handle();
    HANDLE reader = OpenThread(SYNCHRONIZE, FALSE, frame->Link()->ReaderThreadId());
    ASSERT_NE(reader, nullptr);
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        while (flooding.load() && peer.Send(2, "\x01" "LINE OF TEXT", 500)) {
        }
    });
    PumpUntil([] { return gOrderSink.delivered.load() > 100; });
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    EXPECT_EQ(WaitForSingleObject(reader, 2000), WAIT_OBJECT_0) << "the reader did not end";
    flooding.store(false);
    flood.join();
    CloseHandle(reader);
    EXPECT_GT(gOrderSink.delivered.load(), 100);
    EXPECT_EQ(gOrderSink.late.load(), 0);
}
}  // namespace
