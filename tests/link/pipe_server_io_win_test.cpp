// The pipe server's bounded overlapped I/O against a real client under Wine: each operation
// within its bounds, run out, stopped, and with the client gone; and what was given up is not
// left pending (the next operation of the same kind gets what comes next).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "link/pipe_io_win.h"
#include "link/pipe_server_io_win.h"
#include "link/pipe_server_win.h"

namespace {
using pipe_server::IoBounds;
using pipe_server::IoOutcome;

constexpr DWORD kSoonMs = 50;        // when the client or the stop acts
constexpr DWORD kShortMs = 300;      // a bound that runs out
constexpr DWORD kLongMs = 5000;      // a bound that does not
constexpr DWORD kPipeBuffer = 4096;  // smaller than kPayload: a write waits for the reader
const std::string kPayload(20000, 'w');

enum class Op { Connect, Read, PendingRead, LateCancel, ReadUpTo, WriteAll };
enum class Client { Absent, CameAndWent, OpensSoon, WritesSoon, Silent, Leaves, ReadsAll, StopSoon, SaysNoMore };

struct Case {
    const char* name;
    Op op;
    Client client;
    DWORD boundMs;
    IoOutcome expected;
    const char* read;  // what a read took
    size_t want;       // ReadUpTo's count
};

// One server end and its client, a fresh pair per case; `actor` does the client's part.
struct Pair {
    explicit Pair(int index) {
        name = "\\\\.\\pipe\\QuorvexIoTest" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(index);
        server = pipe_server::Create(name.c_str(), {PIPE_ACCESS_DUPLEX, kPipeBuffer, kPipeBuffer});
        stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~Pair() {
        // The server's end gone breaks a client read still waiting in the actor.
        if (server != INVALID_HANDLE_VALUE) CloseHandle(server);
        if (actor.joinable()) actor.join();
        if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
        CloseHandle(stop);
    }
    void Open() {
        client = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    bool ClientWrites(const char* bytes) {
        DWORD n = 0;
        return WriteFile(client, bytes, static_cast<DWORD>(strlen(bytes)), &n, nullptr) && n == strlen(bytes);
    }
    // Reads until `want` bytes came or a read fails.
    void ClientReads(size_t want) {
        char block[4096];
        DWORD n = 0;
        while (clientGot.size() < want && ReadFile(client, block, sizeof block, &n, nullptr)) clientGot.append(block, n);
    }
    size_t Waiting() const {
        DWORD available = 0;
        PeekNamedPipe(client, nullptr, 0, nullptr, &available, nullptr);
        return available;
    }
    void Soon(std::function<void()> action) {
        actor = std::thread([action] {
            Sleep(kSoonMs);
            action();
        });
    }

    std::string name;
    HANDLE server;
    HANDLE client = INVALID_HANDLE_VALUE;
    HANDLE stop;
    std::thread actor;
    std::string clientGot;
};

TEST(PipeServerIo, EachOperationEndsWithinItsBoundsAndLeavesNothingPending) {
    const Case cases[] = {
        {"connect: a client opens soon", Op::Connect, Client::OpensSoon, kLongMs, IoOutcome::Done, "", 0},
        {"connect: a client came and went before", Op::Connect, Client::CameAndWent, kLongMs, IoOutcome::Done, "", 0},
        {"connect: nobody comes", Op::Connect, Client::Absent, kShortMs, IoOutcome::TimedOut, "", 0},
        {"connect: stopped while waiting", Op::Connect, Client::StopSoon, kLongMs, IoOutcome::Stopped, "", 0},
        {"connect: no longer worth waiting", Op::Connect, Client::SaysNoMore, kLongMs, IoOutcome::TimedOut, "", 0},
        {"read: bytes come soon", Op::Read, Client::WritesSoon, kLongMs, IoOutcome::Done, "abc", 0},
        {"read: nothing comes", Op::Read, Client::Silent, kShortMs, IoOutcome::TimedOut, "", 0},
        {"read: stopped while waiting", Op::Read, Client::StopSoon, kLongMs, IoOutcome::Stopped, "", 0},
        {"read: the client leaves", Op::Read, Client::Leaves, kLongMs, IoOutcome::Failed, "", 0},
        {"read: a wait that ran out leaves it pending for the next", Op::PendingRead, Client::WritesSoon, kLongMs,
         IoOutcome::Done, "abc", 0},
        {"read: finished as its wait was given up: its bytes count", Op::LateCancel, Client::Silent, kLongMs,
         IoOutcome::Done, "abc", 0},
        {"read up to: all came", Op::ReadUpTo, Client::WritesSoon, kLongMs, IoOutcome::Done, "abc", 3},
        {"read up to: part came", Op::ReadUpTo, Client::WritesSoon, kShortMs, IoOutcome::TimedOut, "abc", 6},
        {"write all: the client reads", Op::WriteAll, Client::ReadsAll, kLongMs, IoOutcome::Done, "", 0},
        {"write all: nobody reads", Op::WriteAll, Client::Silent, kShortMs, IoOutcome::TimedOut, "", 0},
        {"write all: stopped while waiting", Op::WriteAll, Client::StopSoon, kLongMs, IoOutcome::Stopped, "", 0},
        {"write all: the client leaves", Op::WriteAll, Client::Leaves, kLongMs, IoOutcome::Failed, "", 0},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pair pair(++index);
        ASSERT_NE(pair.server, INVALID_HANDLE_VALUE);
        pipe_server::OverlappedIo io;
        if (c.op != Op::Connect) {
            pair.Open();
            ASSERT_EQ(io.Connect(pair.server, {kLongMs}), IoOutcome::Done);
        }
        IoBounds bounds{c.boundMs};
        int asked = 0;
        switch (c.client) {
            case Client::Absent: case Client::Silent: break;
            case Client::CameAndWent:
                pair.Open();
                CloseHandle(pair.client);
                pair.client = INVALID_HANDLE_VALUE;
                break;
            case Client::OpensSoon: pair.Soon([&pair] { pair.Open(); }); break;
            case Client::WritesSoon: pair.Soon([&pair] { pair.ClientWrites("abc"); }); break;
            case Client::Leaves:
                pair.Soon([&pair] {
                    CloseHandle(pair.client);
                    pair.client = INVALID_HANDLE_VALUE;
                });
                break;
            case Client::ReadsAll: pair.Soon([&pair] { pair.ClientReads(kPayload.size()); }); break;
            case Client::StopSoon:
                bounds.stop = pair.stop;
                pair.Soon([&pair] { SetEvent(pair.stop); });
                break;
            case Client::SaysNoMore:
                bounds.pollMs = 20;
                bounds.keepWaiting = [&asked] { return ++asked < 3; };
                break;
        }
        const ULONGLONG start = GetTickCount64();
        std::string read;
        char buffer[16] = {};
        DWORD got = 0;
        IoOutcome outcome = IoOutcome::Failed;
        switch (c.op) {
            case Op::Connect: outcome = io.Connect(pair.server, bounds); break;
            case Op::Read: outcome = io.Read(pair.server, buffer, sizeof buffer, &got, bounds); break;
            case Op::PendingRead:
                ASSERT_TRUE(io.StartRead(pair.server, buffer, sizeof buffer));
                ASSERT_EQ(io.Wait({0}), IoOutcome::TimedOut);
                ASSERT_TRUE(io.Pending());
                outcome = io.Wait(bounds, &got);
                break;
            case Op::LateCancel:
                ASSERT_TRUE(io.StartRead(pair.server, buffer, sizeof buffer));
                ASSERT_TRUE(pair.ClientWrites("abc"));
                for (int i = 0; i < 200 && !io.Ready(); ++i) Sleep(10);
                outcome = io.Settle(IoOutcome::TimedOut, &got);
                break;
            case Op::ReadUpTo: outcome = io.ReadUpTo(pair.server, c.want, read, bounds); break;
            case Op::WriteAll:
                outcome = io.WriteAll(pair.server, kPayload.data(), static_cast<DWORD>(kPayload.size()), bounds);
                break;
        }
        const ULONGLONG took = GetTickCount64() - start;
        if (pair.actor.joinable() && c.client != Client::ReadsAll) pair.actor.join();
        read.append(buffer, got);

        EXPECT_EQ(outcome, c.expected);
        EXPECT_EQ(read, c.read);
        EXPECT_FALSE(io.Pending());
        EXPECT_LT(took, c.boundMs + 1000u) << "the wait outlasted its bounds";
        if (c.expected == IoOutcome::TimedOut && c.client != Client::SaysNoMore) {
            EXPECT_GE(took + 20, c.boundMs);
        }
        if (c.client == Client::SaysNoMore) {
            EXPECT_EQ(asked, 3);
        }
        if (c.client == Client::Leaves) {
            EXPECT_TRUE(pipe_io::IsPipeGone(io.LastError())) << io.LastError();
        }
        if (c.client == Client::ReadsAll) {
            // Not done: the client still waits for the rest, until the pair's end breaks its read.
            if (outcome == IoOutcome::Done) {
                pair.actor.join();
                EXPECT_EQ(pair.clientGot, kPayload);
            }
            continue;
        }
        if (outcome == IoOutcome::Done || c.client == Client::Leaves) continue;

        // What was given up holds nothing: the next operation gets what comes next.
        if (c.op == Op::Connect) {
            pair.Open();
            EXPECT_EQ(io.Connect(pair.server, {kLongMs}), IoOutcome::Done);
        } else if (c.op == Op::WriteAll) {
            // At most what the pipe had taken of the cancelled write stays for the client.
            EXPECT_LE(pair.Waiting(), kPipeBuffer) << "a cancelled write still delivers";
            pair.ClientReads(pair.Waiting());
            pair.clientGot.clear();
            ASSERT_EQ(io.WriteAll(pair.server, "after", 5, {kLongMs}), IoOutcome::Done);
            pair.ClientReads(5);
            EXPECT_EQ(pair.clientGot, "after");
        } else {
            ASSERT_TRUE(pair.ClientWrites("after"));
            EXPECT_EQ(io.Read(pair.server, buffer, sizeof buffer, &got, {kLongMs}), IoOutcome::Done);
            EXPECT_EQ(std::string(buffer, got), "after");
        }
    }
}

}  // namespace
