// Everything the panel sends, in the order it was made, until the control takes it: the window
// thread and the reader thread add whole commands, one writer takes them out to the pipe. The
// reader waits for room; the window thread never waits.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class OutboundQueue {
public:
    // Far beyond any real backlog (10,000 unanswered identification requests are 30 KB); past
    // either bound the control is taken to be gone.
    static constexpr uint32_t ByteCapacity = 1u << 20;
    static constexpr uint32_t CommandCapacity = 1u << 17;
    // The reader's answers fill an eighth of the queue and then wait: a control that asks faster
    // than it reads holds back the reader (and its own display writes), never the window, whose
    // commands, bounded by a person's speed, always find the rest; and a key pressed meanwhile
    // waits behind at most this many answers.
    static constexpr uint32_t AnswerByteLimit = ByteCapacity / 8;
    static constexpr uint32_t AnswerCommandLimit = CommandCapacity / 8;
    // A waiting reader is woken once the backlog is this far below the limits, not for every
    // command the control takes.
    static constexpr uint32_t AnswerResumeSlack = 1024;

    // Queued: it will go out in order. Discarded: the link is closing, or the control said it
    // exits: dropped without a word. Gone: the control is gone (not by its exit notice), which
    // the caller reports. Overflow: past a bound; the queue is gone from now on.
    enum class Added { Queued, Discarded, Gone, Overflow };

    struct Backlog {
        uint32_t commands;  // not yet taken whole by the control
        uint64_t idleMs;    // since the control last took anything while commands waited
    };

    // False without memory for the two rings.
    bool Allocate();

    // A queued command's ticket (numbered in the order made) goes to *ticket when given.
    Added Add(const char* bytes, uint32_t count, uint64_t nowMs, uint64_t* ticket = nullptr);
    // The reader's answer: waits while the queue is at the answer limits, until the control has
    // taken enough, or the queue stops, finds the control gone or hears of its exit; never
    // overflows.
    Added AddWaitingForRoom(const char* bytes, uint32_t count, uint64_t nowMs);
    // The command of this ticket is still waiting to be taken whole (false once stopped or gone).
    bool Waits(uint64_t ticket) const;
    Backlog Waiting(uint64_t nowMs) const;
    // The writer found the pipe gone, or a bound was passed.
    bool Gone() const;

    // Writer side. Blocks until bytes wait, then copies what is left of the oldest command alone
    // (up to capacity) without removing it, so that each command goes to the pipe in a write of
    // its own; 0 once stopped or gone.
    uint32_t Take(char* buf, uint32_t capacity);
    // The pipe accepted the first count bytes of the last Take.
    void Written(uint32_t count, uint64_t nowMs);
    // The pipe is gone: nothing more goes out. True when a command was not delivered, whoever
    // made it (a key, Branch To, an answer): its loss is reported unless the link is closing.
    bool MarkGone();

    // Reader side: the exit notice arrived (a loss after it is the control's orderly end), and
    // the inbound stream has ended, either way.
    void NoteControlExited();
    void NoteInboundEnded();
    // Waits up to ms for the inbound stream to end (or a stop); true when the control said it exits.
    bool WaitForInboundEnd(uint32_t ms);

    // Discards everything and releases a waiting writer; nothing is queued after it.
    void Stop();

private:
    Added AddLocked(const char* bytes, uint32_t count, uint64_t nowMs, uint64_t* ticket);
    bool AnswerFits(uint32_t count) const;
    void PushBytes(const char* bytes, uint32_t count);
    void PopCommand();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::unique_ptr<char[]> bytes_;
    std::unique_ptr<uint32_t[]> commands_;  // lengths
    uint32_t byteHead_ = 0;
    uint32_t byteCount_ = 0;
    uint32_t commandHead_ = 0;
    uint32_t commandCount_ = 0;
    uint32_t headSent_ = 0;  // bytes of the oldest command already written
    uint64_t issued_ = 0;     // tickets given
    uint64_t done_ = 0;       // tickets below this are no longer waiting
    uint64_t progressMs_ = 0;
    bool stopped_ = false;
    bool gone_ = false;
    bool exited_ = false;
    bool inboundEnded_ = false;
    bool answerWaits_ = false;
};
