// The outbound queue: one command a take, order and whole commands across takes, the backlog a stall is seen by,
// the loss rules, the bounds, the reader's wait for room, and two producers against a slow writer (also run under
// TSan).
#include "link/outbound_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {
using Added = OutboundQueue::Added;

struct Queue : OutboundQueue {
    Queue() { EXPECT_TRUE(Allocate()); }
    Added Push(const std::string& s, uint64_t now = 0) {
        return Add(s.data(), static_cast<uint32_t>(s.size()), now);
    }
    std::string TakeUpTo(uint32_t capacity) {
        std::string buf(capacity, '\0');
        buf.resize(Take(&buf[0], capacity));
        return buf;
    }
};

TEST(OutboundQueue, TakesOneCommandAtATimeInOrderAndKeepsItUntilWritten) {
    struct Case {
        const char* name;
        uint32_t capacity;
        uint32_t written;  // of what the first take gave
        std::vector<std::string> takes;
    };
    const Case cases[] = {
        {"room for all: still one command a take", 64, 64, {"p1\n", "VFD", "qABCDEFGH\n"}},
        {"a command longer than the buffer goes in pieces", 4, 4, {"p1\n", "VFD", "qABC", "DEFG", "H\n"}},
        {"the rest of a part written comes next, alone", 64, 2, {"p1\n", "\n", "VFD", "qABCDEFGH\n"}},
        {"nothing written: the same command again", 64, 0, {"p1\n", "p1\n", "VFD", "qABCDEFGH\n"}},
    };
    for (const Case& c : cases) {
        Queue q;
        for (const char* s : {"p1\n", "VFD", "qABCDEFGH\n"}) q.Push(s);
        std::vector<std::string> takes;
        // Take blocks on an empty queue: a take too many is recorded as nothing.
        for (size_t i = 0; i < c.takes.size(); ++i) {
            takes.push_back(q.Waiting(0).commands ? q.TakeUpTo(c.capacity) : "");
            q.Written(i == 0 ? std::min<uint32_t>(c.written, static_cast<uint32_t>(takes.back().size()))
                             : static_cast<uint32_t>(takes.back().size()),
                      1);
        }
        EXPECT_EQ(takes, c.takes) << c.name;
        EXPECT_EQ(q.Waiting(5).commands, 0u) << c.name;
    }
}

TEST(OutboundQueue, BacklogCountsCommandsAndTheTimeSinceTheControlLastTookAny) {
    Queue q;
    EXPECT_EQ(q.Waiting(100).commands, 0u);
    q.Push("A", 1000);
    q.Push("p12\n", 1500);
    EXPECT_EQ(q.Waiting(2200).commands, 2u);
    EXPECT_EQ(q.Waiting(2200).idleMs, 1200u) << "from the first command made while none waited";
    EXPECT_EQ(q.TakeUpTo(2), "A");
    q.Written(1, 2500);
    EXPECT_EQ(q.Waiting(2600).commands, 1u);
    EXPECT_EQ(q.Waiting(2600).idleMs, 100u) << "from the last bytes the control took";
    q.TakeUpTo(64);
    q.Written(2, 2700);
    EXPECT_EQ(q.Waiting(4000).commands, 1u) << "a command half taken still waits";
    q.Written(2, 2800);
    EXPECT_EQ(q.Waiting(4000).commands, 0u);
    EXPECT_EQ(q.Waiting(4000).idleMs, 0u);
}

TEST(OutboundQueue, AGonePipeIsReportedWhateverWaitsAndNeverAfterTheExitNotice) {
    struct Case {
        const char* name;
        std::vector<std::string> waiting;
        bool exitNoticed;
        bool wantReport;
        Added wantLaterCommand;
    };
    const Case cases[] = {
        {"a command waits", {"1", "K"}, false, true, Added::Gone},
        {"a key byte, a Branch To and an answer wait", {"1", "qABC\n", "VFD"}, false, true, Added::Gone},
        {"nothing waits", {}, false, false, Added::Gone},
        {"after the exit notice", {"K"}, true, true, Added::Discarded},
    };
    for (const Case& c : cases) {
        Queue q;
        for (const std::string& bytes : c.waiting) q.Push(bytes);
        if (c.exitNoticed) q.NoteControlExited();
        EXPECT_EQ(q.MarkGone(), c.wantReport) << c.name;
        EXPECT_EQ(q.WaitForInboundEnd(0), c.exitNoticed) << c.name;
        EXPECT_EQ(q.Push("P"), c.wantLaterCommand) << c.name;
        EXPECT_EQ(q.TakeUpTo(8), "") << c.name << ": nothing more goes out";
    }
}

TEST(OutboundQueue, PastEitherBoundTheControlCountsAsGoneAndAStopDiscardsEverything) {
    Queue bytes;
    const std::string big(OutboundQueue::ByteCapacity - 2, 'x');
    EXPECT_EQ(bytes.Push(big), Added::Queued);
    EXPECT_EQ(bytes.Push("AB"), Added::Queued) << "exactly full";
    EXPECT_EQ(bytes.Push("C"), Added::Overflow);
    EXPECT_EQ(bytes.Push("D"), Added::Gone);

    Queue commands;
    for (uint32_t i = 0; i < OutboundQueue::CommandCapacity; ++i) ASSERT_EQ(commands.Push("VFD"), Added::Queued);
    EXPECT_EQ(commands.Push("K"), Added::Overflow);

    Queue stopped;
    stopped.Push("K");
    stopped.Stop();
    EXPECT_EQ(stopped.Waiting(10).commands, 0u);
    EXPECT_EQ(stopped.Push("K"), Added::Discarded);
    EXPECT_EQ(stopped.TakeUpTo(8), "");
    EXPECT_FALSE(stopped.MarkGone()) << "a closing link reports nothing";
}

// The reader's answers wait at the answer limits (of commands, or of bytes for long answers)
// instead of overflowing, while the window's commands still join; the control taking a slack's
// worth, a stop, a gone pipe or the exit notice ends the wait at once.
TEST(OutboundQueue, AnswersWaitForRoomAndOnlyTheReaderWaits) {
    const auto takeSlack = [](Queue& q) {
        for (uint32_t i = 0; i <= OutboundQueue::AnswerResumeSlack; ++i) {
            q.Written(static_cast<uint32_t>(q.TakeUpTo(64).size()), 1);
        }
    };
    struct Case {
        const char* name;
        uint32_t answerBytes;
        std::function<void(Queue&)> release;
        Added want;
    };
    const Case cases[] = {
        {"command limit, the control takes a slack's worth", 3, takeSlack, Added::Queued},
        {"byte limit, the control takes a slack's worth", 16, takeSlack, Added::Queued},
        {"stop", 3, [](Queue& q) { q.Stop(); }, Added::Discarded},
        {"gone", 3, [](Queue& q) { q.MarkGone(); }, Added::Gone},
        {"exit notice", 3, [](Queue& q) { q.NoteControlExited(); }, Added::Discarded},
    };
    for (const Case& c : cases) {
        Queue q;
        const std::string answer(c.answerBytes, 'V');
        const uint32_t fit = std::min(OutboundQueue::AnswerCommandLimit, OutboundQueue::AnswerByteLimit / c.answerBytes);
        for (uint32_t i = 0; i < fit; ++i)
            ASSERT_EQ(q.AddWaitingForRoom(answer.data(), c.answerBytes, 0), Added::Queued) << c.name;
        std::atomic<int> result{-1};
        std::thread reader([&] { result = static_cast<int>(q.AddWaitingForRoom(answer.data(), c.answerBytes, 0)); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(result.load(), -1) << c.name << ": the answer past the limit did not wait";
        EXPECT_EQ(q.Push("K"), Added::Queued) << c.name << ": the window's command found no room";
        c.release(q);
        for (int i = 0; i < 200 && result.load() < 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(result.load(), static_cast<int>(c.want)) << c.name << ": the wait did not end as it should";
        q.Stop();  // ends a reader still waiting, so that the join cannot hang
        reader.join();
    }
}

// The window thread's commands and the reader's answers against a writer that takes a few
// bytes at a time: everything arrives whole, each producer's in its order.
TEST(OutboundQueue, TwoProducersAndASlowWriterLoseNothingAndSplitNothing) {
    constexpr int kEach = 20000;
    Queue q;
    std::string out;
    std::thread writer([&] {
        char buf[7];
        for (uint32_t n; (n = q.Take(buf, sizeof buf)) != 0;) {
            const uint32_t taken = n > 2 ? n - 1 : n;  // the pipe takes a little less at times
            out.append(buf, taken);
            q.Written(taken, 0);
        }
    });
    std::thread reader([&] {
        for (int i = 0; i < kEach; ++i) q.Push("VFD");
    });
    for (int i = 0; i < kEach; ++i) q.Push("p" + std::to_string(i % 20 + 1) + "\n");
    reader.join();
    while (q.Waiting(0).commands != 0) std::this_thread::yield();
    q.Stop();
    writer.join();

    int answers = 0;
    int lines = 0;
    for (size_t i = 0; i < out.size();) {
        if (out.compare(i, 3, "VFD") == 0) {
            ++answers;
            i += 3;
            continue;
        }
        const std::string want = "p" + std::to_string(lines % 20 + 1) + "\n";
        ASSERT_EQ(out.compare(i, want.size(), want), 0) << "command " << lines << " cut or out of order at byte " << i;
        ++lines;
        i += want.size();
    }
    EXPECT_EQ(answers, kEach);
    EXPECT_EQ(lines, kEach);
}

}  // namespace
