// The link under Wine with real pipes: probing results, the reader's events and answer, a
// vanishing peer, and Close while the reader is blocked reading or in the exit handling, or while
// the answers wait for a control that does not read; the reader's network errors, and a read
// that ignores every cancel, through its read source.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "link/control_link_win.h"
#include "link/link_session_win.h"
#include "link/pipe_io_win.h"
#include "link/pipe_server_win.h"
#include "link/reader_thread_win.h"
#include "res/resource_ids.h"
#include "tests/link/connect_test_peer_win.h"

namespace {

const char* const kLocalArgs[] = {"quorvex.exe", "-l"};

// Called on the reader thread; counts every call made after the test marked the link closed.
class ThreadSink final : public EventSink {
public:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (closed.load()) late.fetch_add(1);
        if (type == display_event::Text) {
            std::lock_guard<std::mutex> guard(lock_);
            texts_.push_back(std::string(reinterpret_cast<const char*>(kind), static_cast<size_t>(argument)));
        }
        if (type == display_event::ControlExited) {
            exitEntered.store(true);
            if (onExit) onExit();
            exitLeft.store(true);
        }
        return 1;
    }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> guard(lock_);
        return texts_;
    }
    bool WaitForTexts(size_t n, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (Texts().size() < n) {
            if (GetTickCount() - start > timeoutMs) return false;
            Sleep(5);
        }
        return true;
    }

    std::atomic<bool> closed{false};
    std::atomic<int> late{0};
    std::atomic<bool> exitEntered{false};
    std::atomic<bool> exitLeft{false};
    void (*onExit)() = nullptr;

private:
    std::mutex lock_;
    std::vector<std::string> texts_;
};

class CountingReporter final : public LostControlReporter {
public:
    void ReportLostControl() override { ++reports; }
    int reports = 0;
};

bool WaitFor(const std::atomic<bool>& flag, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!flag.load()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(2);
    }
    return true;
}

// A handle on the reader thread that outlives the link's own.
HANDLE OpenReader(const ControlLink& link) { return OpenThread(SYNCHRONIZE, FALSE, link.ReaderThreadId()); }

// Close returns once the reader has left its loop; the thread itself ends a moment later.
bool ReaderEnds(HANDLE reader) { return WaitForSingleObject(reader, 2000) == WAIT_OBJECT_0; }

DWORD TimedClose(ControlLink& link) {
    const DWORD start = GetTickCount();
    link.Close();
    return GetTickCount() - start;
}

class LinkTest : public ::testing::Test {
protected:
    LinkTest() : owner(&sink), link(&owner) { link.UseArguments(2, kLocalArgs); }

    ThreadSink sink;
    TestLinkOwner owner;
    ControlLink link;
    TestPeer peer;
};

TEST_F(LinkTest, ConnectsToDevice2) {
    ASSERT_TRUE(peer.Offer(2, true, true));
    int local = -1;
    EXPECT_EQ(link.Connect(&local), 0u);
    EXPECT_EQ(local, 1);
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(owner.Title(), "LOCAL - Quorvex");
    EXPECT_TRUE(peer.Opened(2, TestPeer::Side::Read));
    EXPECT_TRUE(peer.Opened(2, TestPeer::Side::Write));
    EXPECT_EQ(link.Connect(&local), 62013u);
}

TEST_F(LinkTest, OnlyDevice5) {
    ASSERT_TRUE(peer.Offer(5, true, true));
    int local = -1;
    EXPECT_EQ(link.Connect(&local), 0u);
    EXPECT_EQ(local, 1);
    EXPECT_TRUE(peer.Opened(5, TestPeer::Side::Read));
    EXPECT_TRUE(peer.Opened(5, TestPeer::Side::Write));
}

TEST_F(LinkTest, NoPipes) {
    int local = -1;
    EXPECT_EQ(link.Connect(&local), 62203u);
    EXPECT_EQ(local, -1);
    EXPECT_FALSE(link.Connected());
    EXPECT_EQ(link.ReaderThreadId(), 0u);
    EXPECT_EQ(owner.Title(), "owner");
}

TEST_F(LinkTest, OneSidedPairsEndTheSearch) {
    const struct {
        bool readSide;
        unsigned result;
    } cases[] = {{true, 62206u}, {false, 62205u}};
    for (const auto& c : cases) {
        TestPeer local;
        ASSERT_TRUE(local.Offer(2, c.readSide, !c.readSide));
        ASSERT_TRUE(local.Offer(3, true, true));
        int flag = -1;
        EXPECT_EQ(link.Connect(&flag), c.result);
        EXPECT_EQ(flag, -1);
        EXPECT_FALSE(link.Connected());
        EXPECT_TRUE(local.Opened(2, c.readSide ? TestPeer::Side::Read : TestPeer::Side::Write));
        EXPECT_FALSE(local.Opened(3, TestPeer::Side::Read));
        EXPECT_FALSE(local.Opened(3, TestPeer::Side::Write));
        // The side that opened was closed again: the peer cannot write to a read side nobody holds.
        if (c.readSide) {
            EXPECT_FALSE(local.Send(2, "x", 200));
        }
    }
}

TEST_F(LinkTest, CancelledConnectDialog) {
    const char* const args[] = {"quorvex.exe"};
    link.UseArguments(1, args);
    ASSERT_TRUE(peer.Offer(2, true, true));
    DialogWatcher watcher("Connect To", [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    int flag = -1;
    EXPECT_EQ(link.Connect(&flag), 62204u);
    EXPECT_TRUE(watcher.Found());
    EXPECT_FALSE(peer.Opened(2, TestPeer::Side::Read));
    EXPECT_EQ(flag, -1);
}

TEST_F(LinkTest, ReaderDeliversEventsAndAnswers) {
    ASSERT_TRUE(peer.Offer(4, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    ASSERT_TRUE(peer.Send(4, "AB\x1a" "CD"));
    // The greeting first, whenever the control asks.
    EXPECT_EQ(peer.Receive(4, 6), "PPKVFD");
    ASSERT_TRUE(sink.WaitForTexts(2, 2000));
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"AB", "CD"}));
    EXPECT_EQ(link.QueueCommand({8, 0, 0}), 1);
    EXPECT_EQ(link.QueueCommand({3, 21, 0}), 1);
    EXPECT_EQ(link.WriteBytes("7", 1), 1);
    EXPECT_EQ(peer.Receive(4, 3), "PK7");
    EXPECT_EQ(peer.Pending(4), 0u);
}

TEST_F(LinkTest, PeerVanishingEndsTheReaderAndLosesTheControl) {
    ASSERT_TRUE(peer.Offer(6, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    CountingReporter reporter;
    link.UseLostControlReporter(&reporter);
    HANDLE reader = OpenReader(link);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(peer.Send(6, "X"));
    ASSERT_TRUE(sink.WaitForTexts(1, 2000));
    // The greeting is out first: a writer still writing it when the pipe goes finds the loss
    // before the key byte below, and the count this test makes would start one early.
    ASSERT_EQ(peer.Receive(6, 3), "PPK");
    peer.Vanish(6);
    // A broken pipe ends the thread instead of reading again and again, and tells the owner.
    EXPECT_EQ(WaitForSingleObject(reader, 2000), WAIT_OBJECT_0);
    CloseHandle(reader);
    MSG lost;
    EXPECT_TRUE(PeekMessageA(&lost, owner.OwnerWindow(), ControlLink::LostMessage, ControlLink::LostMessage, PM_REMOVE))
        << "the reader did not report the loss";
    EXPECT_EQ(link.WriteBytes("7", 1), 1);
    const DWORD start = GetTickCount();
    while (!link.ControlGone() && GetTickCount() - start < 2000) Sleep(5);
    ASSERT_TRUE(link.ControlGone()) << "the writer did not find the pipe gone";
    EXPECT_EQ(reporter.reports, 0) << "the writer's finding goes through the owner window";
    // A key byte meets the lost control as a command does; the loss is reported once: later
    // commands and bytes meet the same lost pipe without a second box.
    EXPECT_EQ(link.WriteBytes("8", 1), 1);
    EXPECT_EQ(reporter.reports, 1);
    EXPECT_EQ(link.QueueCommand({8, 0, 0}), 1);
    EXPECT_EQ(link.QueueCommand({3, 99, 0}), 0);
    EXPECT_EQ(link.QueueCommand({4, 19, 0}), 1);
    EXPECT_EQ(link.WriteBytes("9", 1), 1);
    EXPECT_EQ(reporter.reports, 1);
    EXPECT_LT(TimedClose(link), 100u);
}

TEST_F(LinkTest, ReaderKeepsReadingAfterAFailedReadOfALivePipe) {
    ASSERT_TRUE(peer.Offer(3, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    HANDLE reader = OpenThread(THREAD_TERMINATE | SYNCHRONIZE, FALSE, link.ReaderThreadId());
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(peer.Send(3, "A"));
    ASSERT_TRUE(sink.WaitForTexts(1, 2000));
    // A cancel that is not a stop makes the blocked read fail; the pipe itself is fine.
    bool cancelled = false;
    for (int i = 0; i < 100 && !cancelled; ++i) {
        Sleep(5);
        cancelled = CancelSynchronousIo(reader) != FALSE;
    }
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(WaitForSingleObject(reader, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(peer.Send(3, "B\x1a"));
    EXPECT_TRUE(sink.WaitForTexts(2, 2000));
    EXPECT_EQ(peer.Receive(3, 6), "PPKVFD");
    CloseHandle(reader);
}

TEST_F(LinkTest, CloseWhileBlockedInRead) {
    ASSERT_TRUE(peer.Offer(7, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    HANDLE reader = OpenReader(link);
    ASSERT_TRUE(peer.Send(7, "A"));
    ASSERT_TRUE(sink.WaitForTexts(1, 2000));
    Sleep(50);
    EXPECT_LT(TimedClose(link), 300u);
    sink.closed.store(true);
    EXPECT_TRUE(ReaderEnds(reader)) << "the reader thread did not end within 2 s of Close";
    CloseHandle(reader);
    EXPECT_FALSE(link.Connected());
    EXPECT_FALSE(peer.Send(7, "late", 200));
    EXPECT_EQ(sink.late.load(), 0);
}

TEST_F(LinkTest, CloseWhileTheAnswersWaitForAControlThatDoesNotRead) {
    // A small write side that nobody reads: the answers fill it and the writer's write blocks,
    // while the reader goes on reading.
    ASSERT_TRUE(peer.Offer(8, true, true, 64));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    HANDLE reader = OpenReader(link);
    ASSERT_TRUE(peer.Send(8, std::string(1000, '\x1a') + "A"));
    EXPECT_TRUE(sink.WaitForTexts(1, 2000)) << "the reader waited on the answers";
    DWORD before = 0;
    DWORD after = peer.Pending(8);
    for (int i = 0; i < 100 && (after == 0 || after != before); ++i) {
        Sleep(20);
        before = after;
        after = peer.Pending(8);
    }
    ASSERT_GT(after, 0u);
    EXPECT_LT(TimedClose(link), 300u);
    EXPECT_TRUE(ReaderEnds(reader)) << "the reader thread did not end within 2 s of Close";
    CloseHandle(reader);
    // The cancelled answer may be withdrawn from the pipe; nothing is added any more.
    Sleep(50);
    EXPECT_LE(peer.Pending(8), after);
}

HANDLE gRelease = nullptr;
std::atomic<int> gHookResult{-1};
void BlockUntilReleased() { WaitForSingleObject(gRelease, 5000); }
void DeclareThenBlock() {
    gHookResult.store(ControlLink::BeginWaitOnWindow() ? 1 : 0);
    BlockUntilReleased();
}
// Still reading the owner's state (the sink) when the close begins, for longer than any grace:
// the declared wait comes too late, and nothing may be freed under the reading.
ThreadSink* gExitSink = nullptr;
template <DWORD ReadingMs>
void SlowToDeclare() {
    Sleep(ReadingMs);
    if (gExitSink->closed.load()) gExitSink->late.fetch_add(1);
    if (ControlLink::BeginWaitOnWindow()) {
        gHookResult.store(1);
        BlockUntilReleased();
    } else {
        gHookResult.store(0);
    }
}

TEST_F(LinkTest, CloseWhileTheReaderWaitsInTheExitHandling) {
    const struct {
        const char* label;
        void (*onExit)();
        DWORD minMs, maxMs;
        int hookResult;
    } cases[] = {
        {"declared wait", &DeclareThenBlock, 0, 50, 1},
        // Waited for until the declaration, well before the 2 s after which a reader is terminated.
        {"declared after the close began", &SlowToDeclare<40>, 20, 1500, 0},
        {"declared long after the close began", &SlowToDeclare<300>, 280, 1500, 0},
    };
    int device = 9;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ThreadSink exitSink;
        TestLinkOwner exitOwner(&exitSink);
        ControlLink exitLink(&exitOwner);
        exitLink.UseArguments(2, kLocalArgs);
        gRelease = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        gHookResult.store(-1);
        exitSink.onExit = c.onExit;
        gExitSink = &exitSink;
        ASSERT_TRUE(peer.Offer(device, true, true));
        ASSERT_EQ(exitLink.Connect(nullptr), 0u);
        ASSERT_EQ(peer.Receive(device, 3), "PPK");
        HANDLE reader = OpenReader(exitLink);
        ASSERT_TRUE(peer.Send(device, "AB\x16" "CD\x1a"));
        ASSERT_TRUE(WaitFor(exitSink.exitEntered, 2000));
        const DWORD ms = TimedClose(exitLink);
        EXPECT_GE(ms, c.minMs);
        EXPECT_LE(ms, c.maxMs);
        exitSink.closed.store(true);
        SetEvent(gRelease);
        EXPECT_EQ(WaitForSingleObject(reader, 2000), WAIT_OBJECT_0);
        CloseHandle(reader);
        CloseHandle(gRelease);
        EXPECT_EQ(gHookResult.load(), c.hookResult);
        EXPECT_TRUE(exitSink.exitLeft.load());
        EXPECT_EQ(exitSink.late.load(), 0);
        EXPECT_EQ(exitSink.Texts(), std::vector<std::string>{"AB"});
        EXPECT_EQ(peer.Pending(device), 0u);
        peer.Vanish(device);
        ++device;
    }
}

// The real shape of the exit: the reader sends a close request to the window thread, whose
// handler closes the link while the reader waits for the answer.
ControlLink* gClosing = nullptr;
ThreadSink* gClosingSink = nullptr;
constexpr UINT kCloseLink = WM_APP + 7;
HWND gCloser = nullptr;

LRESULT CALLBACK CloserProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    if (message == kCloseLink) {
        gClosing->Close();
        gClosingSink->closed.store(true);
        return 1;
    }
    return DefWindowProcA(hwnd, message, w, l);
}

void SendCloseRequest() {
    if (ControlLink::BeginWaitOnWindow()) SendMessageA(gCloser, kCloseLink, 0, 0);
}

TEST_F(LinkTest, CloseFromTheCloseRequestOfTheExitHandling) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &CloserProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QuorvexLinkTestCloser";
    RegisterClassA(&wc);
    gCloser = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                              nullptr);
    ASSERT_NE(gCloser, nullptr);
    gClosing = &link;
    gClosingSink = &sink;
    sink.onExit = &SendCloseRequest;
    ASSERT_TRUE(peer.Offer(12, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    HANDLE reader = OpenReader(link);
    ASSERT_TRUE(peer.Send(12, "Z\x16"));
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(reader, 0) != WAIT_OBJECT_0 && GetTickCount() - start < 3000) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(1);
    }
    EXPECT_EQ(WaitForSingleObject(reader, 0), WAIT_OBJECT_0);
    CloseHandle(reader);
    EXPECT_TRUE(sink.closed.load());
    EXPECT_TRUE(sink.exitLeft.load());
    EXPECT_EQ(sink.late.load(), 0);
    EXPECT_FALSE(link.Connected());
    DestroyWindow(gCloser);
}

TEST_F(LinkTest, ReaderEndsAfterTheExitWithoutAClose) {
    ASSERT_TRUE(peer.Offer(13, true, true));
    ASSERT_EQ(link.Connect(nullptr), 0u);
    HANDLE reader = OpenReader(link);
    ASSERT_TRUE(peer.Send(13, "\x16"));
    EXPECT_EQ(WaitForSingleObject(reader, 2000), WAIT_OBJECT_0);
    CloseHandle(reader);
    EXPECT_TRUE(sink.exitLeft.load());
    EXPECT_LT(TimedClose(link), 50u);
}

// Reads failing as a remote pipe's do when its network path goes, which Wine cannot show: the
// platform's error codes through the reader's read source.
class FailingReads final : public PipeSource {
public:
    FailingReads(DWORD error, DWORD failForMs) : error_(error), failForMs_(failForMs), start_(GetTickCount()) {}
    bool Read(uint8_t* buf, uint32_t, uint32_t* got) override {
        *got = 0;
        lastError_ = GetTickCount() - start_ < failForMs_ ? error_ : 0;
        if (lastError_) return false;
        Sleep(10);
        buf[0] = 'A';
        *got = 1;
        return true;
    }
    DWORD LastError() const override { return lastError_; }

private:
    DWORD error_;
    DWORD failForMs_;
    DWORD start_;
    DWORD lastError_ = 0;
};

class CountingLoss final : public ControlLossListener {
public:
    void OnControlLost() override { losses.fetch_add(1); }
    std::atomic<int> losses{0};
};

TEST(ReaderLoss, ErrorsOfAGonePathEndTheReadingAndReportTheLossOnce) {
    const struct {
        const char* name;
        DWORD error;
        DWORD failForMs;
        bool lost;
        DWORD minMs, maxMs;  // until the reader ended
    } cases[] = {
        {"ERROR_NETNAME_DELETED", ERROR_NETNAME_DELETED, INFINITE, true, 0, 500},
        {"ERROR_UNEXP_NET_ERR", ERROR_UNEXP_NET_ERR, INFINITE, true, 0, 500},
        {"ERROR_SEM_TIMEOUT", ERROR_SEM_TIMEOUT, INFINITE, true, 0, 500},
        {"ERROR_VC_DISCONNECTED", ERROR_VC_DISCONNECTED, INFINITE, true, 0, 500},
        {"ERROR_NETWORK_UNREACHABLE", ERROR_NETWORK_UNREACHABLE, INFINITE, true, 0, 500},
        {"ERROR_BAD_NETPATH", ERROR_BAD_NETPATH, INFINITE, true, 0, 500},
        {"ERROR_BROKEN_PIPE", ERROR_BROKEN_PIPE, INFINITE, true, 0, 500},
        {"another error that lasts", ERROR_NO_SYSTEM_RESOURCES, INFINITE, true, 900, 2000},
        {"another error that heals within the bound", ERROR_NO_SYSTEM_RESOURCES, 500, false, 0, 0},
    };
    for (const auto& c : cases) {
        ThreadSink sink;
        CountingLoss loss;
        FailingReads reads(c.error, c.failForMs);
        auto* context = new ReaderContext(nullptr, nullptr, &sink, &loss, &reads);
        const DWORD start = GetTickCount();
        HANDLE thread = reader_thread::Start(context);
        ASSERT_NE(thread, nullptr) << c.name;
        const bool ended = WaitForSingleObject(thread, 2500) == WAIT_OBJECT_0;
        const DWORD ms = GetTickCount() - start;
        EXPECT_EQ(ended, c.lost) << c.name;
        if (c.lost) {
            EXPECT_GE(ms, c.minMs) << c.name;
            EXPECT_LE(ms, c.maxMs) << c.name;
        } else {
            EXPECT_FALSE(sink.Texts().empty()) << c.name << ": the reads after the error were not decoded";
        }
        reader_thread::Stop(thread, context);
        context->Release();
        EXPECT_EQ(loss.losses.load(), c.lost ? 1 : 0) << c.name;
    }
}

// Reads that never return and ignore every cancel, as a remote read the network holds, until the
// test lets them fail at last.
class StuckReads final : public PipeSource {
public:
    StuckReads()
        : entered_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    bool Read(uint8_t*, uint32_t, uint32_t* got) override {
        *got = 0;
        SetEvent(entered_);
        WaitForSingleObject(release_, INFINITE);  // a cancel of the thread's I/O does not end a wait
        return false;
    }
    DWORD LastError() const override { return ERROR_OPERATION_ABORTED; }
    bool WaitEntered() { return WaitForSingleObject(entered_, 2000) == WAIT_OBJECT_0; }
    void Let() { SetEvent(release_); }

private:
    HANDLE entered_;
    HANDLE release_;
};

bool HandleOpen(HANDLE h) {
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

constexpr char kChildRole[] = "QUORVEX_LEFT_BEHIND_CHILD";

// A session on real pipes whose reader is left in a stuck read by Close; what the closer saw.
struct LeftBehind {
    LeftBehind(StuckReads& reads, int device) {
        if (!peer.Offer(device, true, true)) return;
        readPipe = pipe_io::OpenPipe(pipe_server::LocalName(connect_logic::PipeAccess::Read, device).c_str(),
                                     connect_logic::PipeAccess::Read);
        writePipe = pipe_io::OpenPipe(pipe_server::LocalName(connect_logic::PipeAccess::Write, device).c_str(),
                                      connect_logic::PipeAccess::Write);
        if (!readPipe || !writePipe || !session.Start(readPipe, writePipe, {&sink, &loss, &loss}, &reads)) return;
        reader = OpenThread(SYNCHRONIZE, FALSE, GetThreadId(session.ReaderThread()));
        greeting = peer.Receive(device, 3);
        if (!reads.WaitEntered()) return;
        const DWORD start = GetTickCount();
        session.Close();
        closeMs = GetTickCount() - start;
        sink.closed.store(true);
        started = true;
    }
    ~LeftBehind() {
        if (reader) CloseHandle(reader);
    }

    TestPeer peer;
    ThreadSink sink;
    CountingLoss loss;
    LinkSession session;
    HANDLE readPipe = nullptr;
    HANDLE writePipe = nullptr;
    HANDLE reader = nullptr;
    std::string greeting;
    DWORD closeMs = 0;
    bool started = false;
};

// A read that never returns and ignores every cancel: Close still ends within the reader's bound
// and terminates nothing. The reader, left in its read, keeps the read pipe (the writer's is
// closed at once), touches nothing when the read returns at last and then closes the pipe
// itself; and a process that exits with such a reader still in its read exits at once (run as
// a child of this test).
TEST(ReaderStop, AReadThatIgnoresEveryCancelIsLeftBehindAndNothingIsTerminated) {
    char role[8] = "";
    if (GetEnvironmentVariableA(kChildRole, role, sizeof role)) {
        // The child: the reads are never let go; the process ends with the reader in its read.
        LeftBehind child(*new StuckReads(), 11);
        ASSERT_TRUE(child.started);
        return;
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --gtest_filter=" +
                          ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
                          ::testing::UnitTest::GetInstance()->current_test_info()->name();
    SetEnvironmentVariableA(kChildRole, "1");
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const BOOL created = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &si, &pi);
    SetEnvironmentVariableA(kChildRole, nullptr);
    ASSERT_TRUE(created);
    TieToTestProcess(pi.hProcess);
    StuckReads reads;
    LeftBehind left(reads, 10);
    ASSERT_TRUE(left.started);
    EXPECT_EQ(left.greeting, "PPK");
    EXPECT_GE(left.closeMs, static_cast<DWORD>(reader_thread::StopBoundMs) - 50);
    EXPECT_LE(left.closeMs, static_cast<DWORD>(reader_thread::StopBoundMs) + 500);
    EXPECT_EQ(WaitForSingleObject(left.reader, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the reader was terminated";
    EXPECT_TRUE(HandleOpen(left.readPipe)) << "the read pipe was closed under the read";
    EXPECT_FALSE(HandleOpen(left.writePipe)) << "the writer, which ended, left its pipe open";
    EXPECT_FALSE(left.session.Started());

    reads.Let();
    EXPECT_EQ(WaitForSingleObject(left.reader, 2000), WAIT_OBJECT_0) << "the reader did not end once its read returned";
    EXPECT_FALSE(HandleOpen(left.readPipe)) << "the reader left its pipe open";
    EXPECT_EQ(left.sink.late.load(), 0);
    EXPECT_EQ(left.loss.losses.load(), 0);

    // The child, started first, has closed its link after the reader's bound and exits.
    const bool exited = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    if (!exited) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(exited) << "a process with a reader left in its read did not exit within 10 s";
    EXPECT_EQ(code, 0u);
}

}  // namespace
