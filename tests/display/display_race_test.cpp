// One thread decodes a long stream into the display while another keeps taking snapshots, as
// the window thread's paint does, or paints through the repaint gate; built on its own so that a
// ThreadSanitizer build can run it alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "display/repaint_gate.h"
#include "display/repaint_pacer.h"
#include "display/text_display.h"
#include "link/stream_decoder.h"

namespace {
class CountingOwner final : public DisplayOwner {
public:
    void LinesChanged(uint32_t) override { repaints.fetch_add(1, std::memory_order_relaxed); }
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
    std::atomic<int> repaints{0};
};

class NullWriter final : public ByteWriter {
public:
    int WriteBytes(const char*, int32_t) override { return 1; }
};

// Whole lines of one letter, each written by a cursor address and one text run that never spans
// two blocks, with screen and line clears between them: every line of every consistent
// snapshot is one character forty times.
std::vector<uint8_t> LongStream() {
    constexpr size_t kRecord = 2 + 40;
    std::vector<uint8_t> s = {0x01};  // a control's stream starts with a clear screen
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    for (int record = 0; record < 8000; ++record) {
        const size_t room = StreamDecoder::BlockSize - s.size() % StreamDecoder::BlockSize;
        if (room < kRecord + 1) s.insert(s.end(), room, 0x00);  // ends the block without an event
        const uint32_t r = next();
        if (r % 97 == 0) s.push_back(0x01);
        if (r % 89 == 0) s.push_back(r % 2 ? 0x0B : 0x0C);
        s.push_back(static_cast<uint8_t>(0x80 | (r % 20)));
        s.push_back(0x80);
        s.insert(s.end(), 40, static_cast<uint8_t>('A' + next() % 26));
    }
    return s;
}

void Decode(const std::vector<uint8_t>& stream, TextDisplay& display) {
    StreamDecoder decoder;
    NullWriter writer;
    decoder.DecodeAsRead(reinterpret_cast<const char*>(stream.data()), stream.size(), display, writer);
}

// The first line that shows parts of two writes, or -1.
int TornLine(const char (&lines)[20][41]) {
    for (int i = 0; i < 20; ++i)
        if (std::string(lines[i]) != std::string(40, lines[i][0])) return i;
    return -1;
}

TEST(DisplayRace, SnapshotsDuringDecodingShowWholeWritesAndTheEndMatchesOneThread) {
    const std::vector<uint8_t> stream = LongStream();

    CountingOwner soloOwner;
    TextDisplay solo;
    solo.SetOwner(&soloOwner);
    Decode(stream, solo);
    char want[20][41];
    solo.Snapshot(want);
    ASSERT_EQ(TornLine(want), -1);

    CountingOwner owner;
    TextDisplay shared;
    shared.SetOwner(&owner);
    std::atomic<bool> decoding{true};
    std::atomic<int> snapshots{0};
    std::atomic<int> torn{0};
    std::thread painter([&] {
        char lines[20][41];
        while (decoding.load()) {
            shared.Snapshot(lines);
            if (TornLine(lines) >= 0) torn.fetch_add(1);
            snapshots.fetch_add(1);
        }
    });
    // Decoding starts once the painter runs and goes on until the two have overlapped a while.
    while (snapshots.load() == 0) std::this_thread::yield();
    int rounds = 0;
    while (rounds < 5 || (snapshots.load() < 200 && rounds < 10000)) {
        Decode(stream, shared);
        ++rounds;
    }
    decoding.store(false);
    painter.join();

    char got[20][41];
    shared.Snapshot(got);
    EXPECT_EQ(torn.load(), 0) << "snapshots showing parts of two writes";
    EXPECT_GE(snapshots.load(), 200);
    for (int i = 0; i < 20; ++i) EXPECT_STREQ(got[i], want[i]) << "line " << i;
    EXPECT_EQ(shared.CursorRow(), solo.CursorRow());
    EXPECT_EQ(shared.CursorColumn(), solo.CursorColumn());
    EXPECT_EQ(owner.repaints.load(), rounds * soloOwner.repaints.load());
}
}  // namespace

namespace {
// The platform as the window sees it: an invalid region of whole lines, validated when a paint
// begins, and a screen that a paint changes only inside that region. Repaints reach it through
// the gate, and when paced through the pacer and its timer, as in the main window.
class GatedPlatform final : public DisplayOwner {
public:
    GatedPlatform(TextDisplay& display, bool paced) : display_(display), paced_(paced) {
        for (auto& line : screen_) std::memset(line, '?', sizeof line);
    }
    void LinesChanged(uint32_t lines) override {
        requests_.fetch_add(__builtin_popcount(lines), std::memory_order_relaxed);
        const uint32_t asked = gate_.Request(lines);
        if (!asked) return;
        const RepaintPacer::Ask ask = paced_ ? pacer_.Request(asked, NowMs()) : RepaintPacer::Ask::Now;
        if (ask == RepaintPacer::Ask::Later) return;
        std::lock_guard<std::mutex> guard(lock_);
        if (ask == RepaintPacer::Ask::LaterAndArm) {
            timerArmed_ = true;
        } else {
            invalid_ |= asked;
            platformCalls_ += __builtin_popcount(asked);
        }
        wake_.notify_one();
    }
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}

    // The window thread: the pacer's timer, and one paint per wake-up with lines invalid, until
    // told to stop with nothing left invalid or kept.
    void PaintLoop() {
        for (;;) {
            uint32_t region;
            {
                std::unique_lock<std::mutex> guard(lock_);
                wake_.wait(guard, [this] { return invalid_ != 0 || timerArmed_ || stop_; });
                if (invalid_ == 0 && timerArmed_) {
                    const auto delay = std::chrono::milliseconds(pacer_.ArmDelayMs(NowMs()));
                    guard.unlock();
                    std::this_thread::sleep_for(delay);
                    guard.lock();
                    timerArmed_ = false;
                    const uint32_t kept = pacer_.TakeKept();
                    invalid_ |= kept;
                    platformCalls_ += __builtin_popcount(kept);
                }
                if (invalid_ == 0) {
                    if (stop_ && !timerArmed_) return;
                    continue;
                }
                region = invalid_;  // BeginPaint validates the region
                invalid_ = 0;
            }
            pacer_.Painted(NowMs());
            gate_.BeginServe();
            char lines[20][41];
            display_.Snapshot(lines);
            // Drawing takes a while, and changes go on meanwhile.
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            for (int i = 0; i < 20; ++i)
                if (region & (1u << i)) std::memcpy(screen_[i], lines[i], sizeof lines[i]);
            ++paints_;
        }
    }
    void Stop() {
        std::lock_guard<std::mutex> guard(lock_);
        stop_ = true;
        wake_.notify_one();
    }

    char screen_[20][41];
    std::atomic<int> requests_{0};
    int platformCalls_ = 0;
    int paints_ = 0;

private:
    static uint64_t NowMs() {
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now().time_since_epoch())
                                         .count()) + 1;
    }

    TextDisplay& display_;
    const bool paced_;
    RepaintGate gate_;
    RepaintPacer pacer_;
    bool timerArmed_ = false;
    std::mutex lock_;
    std::condition_variable wake_;
    uint32_t invalid_ = 0;
    bool stop_ = false;
};

TEST(DisplayRace, GatedAndPacedRepaintsLeaveTheScreenEqualToTheBufferAfterEveryRun) {
    const std::vector<uint8_t> stream = LongStream();
    // Runs cut the stream at different places, so that the last changes land on different lines.
    const size_t cuts[] = {stream.size(), stream.size() / 3, stream.size() / 2 + 17, 1000};
    for (bool paced : {false, true})
    for (size_t cut : cuts) {
        SCOPED_TRACE(paced ? "paced" : "gated only");
        TextDisplay display;
        GatedPlatform platform(display, paced);
        display.SetOwner(&platform);
        std::thread window([&] { platform.PaintLoop(); });
        // Small reads with pauses, so that many paints fall between the changes.
        StreamDecoder decoder;
        NullWriter writer;
        for (size_t at = 0; at < cut; at += 64) {
            decoder.Decode(stream.data() + at, static_cast<uint32_t>(std::min<size_t>(64, cut - at)), display, writer);
            if (at % 1024 == 0) std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
        platform.Stop();
        window.join();

        char want[20][41];
        display.Snapshot(want);
        for (int i = 0; i < 20; ++i) EXPECT_STREQ(platform.screen_[i], want[i]) << "cut " << cut << ", line " << i;
        EXPECT_LE(platform.platformCalls_, platform.requests_.load()) << cut;
        EXPECT_GT(platform.paints_, 0) << cut;
    }
}
}  // namespace
