// The outbound rings: bytes and command lengths, the writer's hand-over, the reader's wait for
// room and the loss rules.
#include "link/outbound_queue.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

bool OutboundQueue::Allocate() {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_.reset(new (std::nothrow) char[ByteCapacity]);
    commands_.reset(new (std::nothrow) uint32_t[CommandCapacity]);
    return bytes_ && commands_;
}

OutboundQueue::Added OutboundQueue::Add(const char* bytes, uint32_t count, uint64_t nowMs, uint64_t* ticket) {
    std::lock_guard<std::mutex> lock(mutex_);
    return AddLocked(bytes, count, nowMs, ticket);
}

OutboundQueue::Added OutboundQueue::AddWaitingForRoom(const char* bytes, uint32_t count, uint64_t nowMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    answerWaits_ = true;
    changed_.wait(lock, [&] { return stopped_ || gone_ || exited_ || AnswerFits(count); });
    answerWaits_ = false;
    if (exited_ && !gone_) return Added::Discarded;
    return AddLocked(bytes, count, nowMs, nullptr);
}

bool OutboundQueue::AnswerFits(uint32_t count) const {
    return commandCount_ < AnswerCommandLimit && uint64_t{byteCount_} + count <= AnswerByteLimit;
}

OutboundQueue::Added OutboundQueue::AddLocked(const char* bytes, uint32_t count, uint64_t nowMs, uint64_t* ticket) {
    if (stopped_ || !bytes_ || !commands_) return Added::Discarded;
    if (gone_) return exited_ ? Added::Discarded : Added::Gone;
    if (count == 0) return Added::Queued;
    if (count > ByteCapacity - byteCount_ || commandCount_ == CommandCapacity) {
        gone_ = true;
        changed_.notify_all();
        return Added::Overflow;
    }
    // An answer that waited brings a time from before its wait.
    if (commandCount_ == 0) progressMs_ = std::max(progressMs_, nowMs);
    PushBytes(bytes, count);
    commands_[(commandHead_ + commandCount_) % CommandCapacity] = count;
    ++commandCount_;
    if (ticket) *ticket = issued_;
    ++issued_;
    changed_.notify_all();
    return Added::Queued;
}

void OutboundQueue::PushBytes(const char* bytes, uint32_t count) {
    const uint32_t tail = (byteHead_ + byteCount_) % ByteCapacity;
    const uint32_t first = std::min(count, ByteCapacity - tail);
    std::memcpy(bytes_.get() + tail, bytes, first);
    std::memcpy(bytes_.get(), bytes + first, count - first);
    byteCount_ += count;
}

OutboundQueue::Backlog OutboundQueue::Waiting(uint64_t nowMs) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (commandCount_ == 0) return {0, 0};
    return {commandCount_, nowMs > progressMs_ ? nowMs - progressMs_ : 0};
}

bool OutboundQueue::Waits(uint64_t ticket) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !stopped_ && !gone_ && ticket >= done_ && ticket < issued_;
}

bool OutboundQueue::Gone() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return gone_;
}

uint32_t OutboundQueue::Take(char* buf, uint32_t capacity) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return stopped_ || gone_ || byteCount_ > 0; });
    if (stopped_ || gone_ || capacity == 0) return 0;
    // One command a write: a control that acts on one message or one read at a time must never
    // find two commands in it. A command longer than the buffer goes out in pieces.
    uint32_t n = commands_[commandHead_] - headSent_;
    n = std::min(n, capacity);
    const uint32_t first = std::min(n, ByteCapacity - byteHead_);
    std::memcpy(buf, bytes_.get() + byteHead_, first);
    std::memcpy(buf + first, bytes_.get(), n - first);
    return n;
}

void OutboundQueue::Written(uint32_t count, uint64_t nowMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopped_ || count == 0) return;
    count = std::min(count, byteCount_);
    byteHead_ = (byteHead_ + count) % ByteCapacity;
    byteCount_ -= count;
    headSent_ += count;
    while (commandCount_ > 0 && headSent_ >= commands_[commandHead_]) PopCommand();
    progressMs_ = nowMs;
    if (answerWaits_ && commandCount_ + AnswerResumeSlack <= AnswerCommandLimit &&
        byteCount_ + AnswerResumeSlack <= AnswerByteLimit)
        changed_.notify_all();
}

void OutboundQueue::PopCommand() {
    headSent_ -= commands_[commandHead_];
    commandHead_ = (commandHead_ + 1) % CommandCapacity;
    --commandCount_;
    ++done_;
}

bool OutboundQueue::MarkGone() {
    std::lock_guard<std::mutex> lock(mutex_);
    gone_ = true;
    changed_.notify_all();
    return !stopped_ && commandCount_ > 0;
}

void OutboundQueue::NoteControlExited() {
    std::lock_guard<std::mutex> lock(mutex_);
    exited_ = true;
    changed_.notify_all();
}

void OutboundQueue::NoteInboundEnded() {
    std::lock_guard<std::mutex> lock(mutex_);
    inboundEnded_ = true;
    changed_.notify_all();
}

bool OutboundQueue::WaitForInboundEnd(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopped_ || exited_ || inboundEnded_; });
    return exited_;
}

void OutboundQueue::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    byteCount_ = commandCount_ = headSent_ = 0;
    done_ = issued_;
    changed_.notify_all();
}
