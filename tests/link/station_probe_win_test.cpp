// A station's probe under Wine with real pipes: what it found reaches whoever takes it (by the
// posted message, or without it when the post failed), and what nobody takes is closed, whether
// it was given up before or after the probe ended.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "link/station_probe_win.h"
#include "support/text_ids.h"
#include "tests/link/connect_test_peer_win.h"

namespace {
constexpr UINT kDone = WM_APP + 40;

// A remote computer whose silent access waits until the test lets it go.
struct SlowNetwork {
    static HANDLE release;
    static std::mutex mutex;
    static std::vector<std::string> cancelled;
    static DWORD Connect(HWND, const char*, const wchar_t*, const wchar_t*) {
        WaitForSingleObject(release, 10000);
        return NO_ERROR;
    }
    static DWORD Cancel(const char* name) {
        std::lock_guard<std::mutex> guard(mutex);
        cancelled.push_back(name);
        return NO_ERROR;
    }
    static bool Exists(const char*) { return false; }
};
HANDLE SlowNetwork::release = nullptr;
std::mutex SlowNetwork::mutex;
std::vector<std::string> SlowNetwork::cancelled;

// The probe's message for this window, taken off the queue; null after the time.
StationProbe* WaitDone(HWND window, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        if (PeekMessageA(&msg, window, kDone, kDone, PM_REMOVE)) return reinterpret_cast<StationProbe*>(msg.lParam);
        Sleep(10);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

TEST(StationProbe, WhatItFoundIsTakenOrClosed) {
    enum class Ending { TakenFromTheMessage, TakenWhenStranded, AbandonedWhenDone };
    struct Row {
        const char* name;
        Ending ending;
    };
    const Row rows[] = {
        {"taken from its message", Ending::TakenFromTheMessage},
        {"taken when its message could not be posted", Ending::TakenWhenStranded},
        {"given up once done", Ending::AbandonedWhenDone},
    };
    connect_logic::ConnectionChoice local;
    for (const Row& r : rows) {
        TestPeer peer;
        ASSERT_TRUE(peer.Offer(3, true, true)) << r.name;
        TestLinkOwner owner(nullptr);
        // A window that is gone refuses the post.
        TestLinkOwner gone(nullptr);
        DestroyWindow(gone.OwnerWindow());
        const HWND notify = r.ending == Ending::TakenWhenStranded ? gone.OwnerWindow() : owner.OwnerWindow();
        StationProbe* probe = StationProbe::Start(local, network_access::kSystemNetwork, notify, kDone);
        ASSERT_NE(probe, nullptr) << r.name;
        if (r.ending == Ending::TakenWhenStranded) {
            const DWORD start = GetTickCount();
            while (!probe->Stranded() && GetTickCount() - start < 5000) Sleep(10);
            ASSERT_TRUE(probe->Stranded()) << r.name;
        } else {
            ASSERT_EQ(WaitDone(owner.OwnerWindow(), 5000), probe) << r.name;
        }
        if (r.ending == Ending::AbandonedWhenDone) {
            probe->Abandon();
            // Both ends closed: the control's write finds no reader.
            EXPECT_FALSE(peer.Send(3, "X", 500)) << r.name << ": the found pipes stayed open";
            continue;
        }
        StationProbe::Outcome found = probe->Take();
        EXPECT_EQ(found.textId, 0u) << r.name;
        EXPECT_EQ(found.connectedLocally, 1) << r.name;
        EXPECT_STREQ(found.paneTexts[1], "Connected to device 3") << r.name;
        EXPECT_STREQ(found.title, "LOCAL - Quorvex") << r.name;
        ASSERT_NE(found.readPipe, nullptr) << r.name;
        ASSERT_NE(found.writePipe, nullptr) << r.name;
        EXPECT_TRUE(peer.Send(3, "X", 500)) << r.name;
        CloseHandle(found.readPipe);
        CloseHandle(found.writePipe);
    }
}

TEST(StationProbe, GivenUpWhileTheNetworkHoldsItItCancelsItsConnectionAndPostsNothing) {
    SlowNetwork::release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    connect_logic::ConnectionChoice plant;
    plant.remote = 1;
    lstrcpyA(plant.computerName, "PLANT");
    TestLinkOwner owner(nullptr);
    StationProbe* probe = StationProbe::Start(plant, {&SlowNetwork::Connect, &SlowNetwork::Cancel, &SlowNetwork::Exists},
                                              owner.OwnerWindow(), kDone);
    ASSERT_NE(probe, nullptr);
    Sleep(100);
    probe->Abandon();
    SetEvent(SlowNetwork::release);
    // The probe goes on to the pipes (which never open under Wine) and ends without its message.
    EXPECT_EQ(WaitDone(owner.OwnerWindow(), 1500), nullptr);
    std::lock_guard<std::mutex> guard(SlowNetwork::mutex);
    EXPECT_EQ(SlowNetwork::cancelled, std::vector<std::string>{"\\\\PLANT"});
    CloseHandle(SlowNetwork::release);
}
}  // namespace
