// The link with the real application services under Wine: the status panes and title after
// connecting, and the fatal box with its close request when the control is lost.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "link/control_link_win.h"
#include "support/app_services_win.h"
#include "support/busy_cursor_win.h"
#include "tests/link/connect_test_peer_win.h"
#include "tests/support/box_watcher_win.h"
#include "tests/support/services_test_window_win.h"

namespace {

const char* const kLocalArgs[] = {"quorvex.exe", "-L"};

class NullSink final : public EventSink {
public:
    int32_t ApplyEvent(uint32_t, intptr_t, int32_t) override { return 1; }
};

class WindowOwner final : public LinkOwner {
public:
    explicit WindowOwner(HWND hwnd) : hwnd_(hwnd) {}
    HWND OwnerWindow() const override { return hwnd_; }
    EventSink* DisplaySink() override { return &sink_; }

private:
    HWND hwnd_;
    NullSink sink_;
};

std::string Pane(const StatusBar& bar, int pane) {
    char buf[128] = {};
    const LRESULT length = SendMessageA(bar.Handle(), SB_GETTEXTLENGTHA, pane, 0);
    if (LOWORD(length) >= sizeof(buf)) return "(too long)";
    SendMessageA(bar.Handle(), SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string Title(HWND hwnd) {
    char buf[128] = {};
    GetWindowTextA(hwnd, buf, sizeof(buf));
    return buf;
}

class ServicesLinkTest : public ::testing::Test {
protected:
    ServicesLinkTest() {
        window.Create();
        window.CreateStatusBar();
        g_appServices = new AppServices(&window, &window.statusBar);
        g_busyCursor = new BusyCursor();
        owner = new WindowOwner(window.Handle());
        link = new ControlLink(owner);
        link->UseArguments(2, kLocalArgs);
    }
    ~ServicesLinkTest() override {
        delete link;
        delete owner;
        delete g_busyCursor;
        g_busyCursor = nullptr;
        delete g_appServices;
        g_appServices = nullptr;
        window.Destroy();
    }

    ServicesTestWindow window;
    WindowOwner* owner = nullptr;
    ControlLink* link = nullptr;
    TestPeer peer;
};

TEST_F(ServicesLinkTest, ReportsTheConnectionInPanesAndTitle) {
    ASSERT_TRUE(peer.Offer(5, true, true));
    int local = 0;
    ASSERT_EQ(link->Connect(&local), 0u);
    EXPECT_EQ(local, 1);
    EXPECT_EQ(Pane(window.statusBar, 1), "LOCAL");
    EXPECT_EQ(Pane(window.statusBar, 2), "Connected to device 5");
    EXPECT_EQ(Title(window.Handle()), "LOCAL - Quorvex");
    EXPECT_FALSE(g_busyCursor->ApplyCursor());
}

TEST_F(ServicesLinkTest, LostControlShowsTheFatalBoxOnceForTheFirstLostCommand) {
    ASSERT_TRUE(peer.Offer(12, true, true));
    ASSERT_EQ(link->Connect(nullptr), 0u);
    peer.Vanish(12);
    BoxWatcher boxes;
    EXPECT_EQ(link->WriteBytes("1", 1), 1);
    // Once the writer has found the pipe gone, a command reports at once.
    EXPECT_TRUE(PumpUntil([&] { return link->ControlGone(); }, 2000));
    EXPECT_EQ(link->QueueCommand({8, 0, 0}), 1);
    ASSERT_TRUE(boxes.WaitForSeen(1));
    EXPECT_TRUE(PumpUntil([&] { return window.closeRequests == 1; }, 2000));
    // Later commands (held keys queued behind the first) meet the same lost pipe: no second box.
    EXPECT_EQ(link->QueueCommand({7, 24, 27}), 1);
    EXPECT_FALSE(boxes.WaitForSeen(2, 500));
    EXPECT_EQ(window.closeRequests, 1);
    const std::vector<SeenBox> seen = boxes.Stop();
    ASSERT_EQ(seen.size(), 1u);
    for (const SeenBox& box : seen) {
        EXPECT_NE(box.text.find("Communications error, control is no longer available."), std::string::npos)
            << box.text;
        EXPECT_EQ(box.owner, window.Handle());
    }
}

}  // namespace
