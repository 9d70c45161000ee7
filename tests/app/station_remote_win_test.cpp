// A station on a remote computer, in this process under Wine with the network calls replaced
// (Wine has no network): access made again silently, the computer that cannot be reached probed
// on without a dialog, refused rights asked for once, Cancel waiting for the operator's click,
// and the connection the panel made cancelled when it ends.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_win.h"
#include "res/resource_ids.h"
#include "tests/link/connect_test_peer_win.h"
#include "tests/support/box_watcher_win.h"

namespace {
const char kWaiting[] = "Waiting for the control";
const char kRefused[] = "Access refused; click the display";
const char kPassword[] = "Enter Network Password";

// The remote computer's network: the operator's own rights get `silentError`; the typed user
// "op" with "secret" is let in and held until the connection is cancelled.
struct FakeNetwork {
    static std::atomic<DWORD> silentError;
    static std::atomic<int> silentCalls;
    static std::atomic<bool> typedHeld;
    static std::mutex mutex;
    static std::vector<std::string> cancelled;

    static DWORD Connect(HWND, const char*, const wchar_t* password, const wchar_t* user) {
        if (!password) {
            silentCalls.fetch_add(1);
            return typedHeld.load() ? NO_ERROR : silentError.load();
        }
        if (lstrcmpW(user, L"op") != 0 || lstrcmpW(password, L"secret") != 0) return ERROR_ACCESS_DENIED;
        typedHeld.store(true);
        return NO_ERROR;
    }
    static DWORD Cancel(const char* remoteName) {
        std::lock_guard<std::mutex> guard(mutex);
        cancelled.push_back(remoteName);
        typedHeld.store(false);
        return NO_ERROR;
    }
    static bool Exists(const char*) { return false; }
};
std::atomic<DWORD> FakeNetwork::silentError{NO_ERROR};
std::atomic<int> FakeNetwork::silentCalls{0};
std::atomic<bool> FakeNetwork::typedHeld{false};
std::mutex FakeNetwork::mutex;
std::vector<std::string> FakeNetwork::cancelled;

// Answers each new Enter Network Password dialog: Cancel, or the right credentials and OK.
class PasswordAnswerer {
public:
    PasswordAnswerer()
        : thread_([this] {
              std::set<HWND> seen;
              while (!quit_.load()) {
                  HWND dialog = FindOwnDialog(kPassword);
                  if (dialog && seen.insert(dialog).second) {
                      shown_.fetch_add(1);
                      if (typeCredentials_.load()) {
                          SetDlgItemTextW(dialog, IDC_NET_USER, L"op");
                          SetDlgItemTextW(dialog, IDC_NET_PASSWORD, L"secret");
                          ClickButton(dialog, IDOK);
                      } else {
                          ClickButton(dialog, IDCANCEL);
                      }
                  }
                  Sleep(20);
              }
          }) {}
    ~PasswordAnswerer() {
        quit_.store(true);
        thread_.join();
    }
    int Shown() const { return shown_.load(); }
    void TypeCredentials(bool type) { typeCredentials_.store(type); }

private:
    std::atomic<bool> quit_{false};
    std::atomic<bool> typeCredentials_{false};
    std::atomic<int> shown_{0};
    std::thread thread_;
};

std::string Pane(Frame& frame, int pane) {
    char text[256] = "";
    SendMessageA(frame.Status().Handle(), SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(StationRemote, AccessIsMadeAgainSilentlyAndAskedForOncePerRefusalAndClick) {
    static const char* const kArgs[] = {"quorvex.exe", "-r", "PLANT", "-w"};
    PasswordAnswerer answerer;
    // Start-up: the operator's own rights reach PLANT, which offers no control (Wine's pipes
    // there never open).
    auto* frame = new Frame();
    frame->Link()->UseArguments(4, kArgs);
    frame->Link()->UseNetwork({&FakeNetwork::Connect, &FakeNetwork::Cancel, &FakeNetwork::Exists});
    ASSERT_TRUE(frame->CreateMainWindow());
    const HWND window = frame->Handle();
    frame->ShowAndConnect(SW_SHOWNOACTIVATE);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(Pane(*frame, 1), "PLANT");
    EXPECT_TRUE(PumpUntil([&] { return Pane(*frame, 2) == kWaiting; }, 1000));

    struct Step {
        const char* name;
        DWORD silentError;
        bool typeCredentials;
        bool click;            // the operator clicks the display first
        int dialogsAfter;      // Enter Network Password shown so far
        const char* pane;      // pane 2 once the step has settled
        bool probesGoOn;       // further silent attempts without the operator
    };
    const Step steps[] = {
        {"a computer that cannot be reached is probed on silently", ERROR_BAD_NETPATH, false, false, 0, kWaiting, true},
        {"refused rights: asked once; Cancel waits for a click", ERROR_ACCESS_DENIED, false, false, 1, kRefused, false},
        {"the click asks again; typed credentials let the probes in", ERROR_ACCESS_DENIED, true, true, 2, kWaiting, true},
    };
    for (const Step& s : steps) {
        FakeNetwork::silentError.store(s.silentError);
        answerer.TypeCredentials(s.typeCredentials);
        if (s.click) {
            SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 13 + 7));
            SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(20, 13 + 7));
        }
        EXPECT_TRUE(PumpUntil([&] { return answerer.Shown() >= s.dialogsAfter && Pane(*frame, 2) == s.pane; }, 6000))
            << s.name << ": pane 2 \"" << Pane(*frame, 2) << "\", " << answerer.Shown() << " dialogs";
        // Two probe intervals and a little more: what the station does without anyone.
        const int before = FakeNetwork::silentCalls.load();
        PumpUntil([] { return false; }, 4500);
        EXPECT_EQ(answerer.Shown(), s.dialogsAfter) << s.name << ": asked again without a click";
        EXPECT_EQ(FakeNetwork::silentCalls.load() > before, s.probesGoOn) << s.name;
        EXPECT_EQ(Pane(*frame, 2), s.pane) << s.name;
    }
    size_t cancels = 0;
    {
        std::lock_guard<std::mutex> guard(FakeNetwork::mutex);
        cancels = FakeNetwork::cancelled.size();
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([window] { return !IsWindow(window); }));
    std::lock_guard<std::mutex> guard(FakeNetwork::mutex);
    ASSERT_EQ(FakeNetwork::cancelled.size(), cancels + 1) << "the connection the panel made is not cancelled once at its end";
    EXPECT_EQ(FakeNetwork::cancelled.back(), "\\\\PLANT");
}
}  // namespace
