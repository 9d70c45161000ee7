// The probe fields sit on the display's last two lines, which the flood of the benchmark leaves
// alone; two values a probe, so that every write changes the pixels.
#include "bench/e2e/display_latency_win.h"

#include "bench/e2e/bench_peer_win.h"
#include "bench/e2e/floor_window_win.h"
#include "protocol/inbound_table.h"

namespace {
struct ProbeField {
    int row;
    int column;
};
constexpr ProbeField kProbeFields[] = {{18, 4}, {18, 24}, {19, 4}, {19, 24}};
constexpr const char* kValues[2] = {"12345.67", "-0.00089"};
constexpr int kValueLength = 8;
constexpr DWORD kSettleMs = 250;
constexpr double kWaitMs = 2000;
const RECT kArea = floor_window::FieldRect(0, 0, kValueLength);
const int kWidth = kArea.right - kArea.left;
const int kHeight = kArea.bottom - kArea.top;
}  // namespace

FieldWatch::FieldWatch(HWND window, std::function<bool(const std::string&)> write)
    : window_(window), write_(std::move(write)) {
    static_assert(sizeof kProbeFields / sizeof kProbeFields[0] == Probes, "one entry per probe");
    screen_ = GetDC(nullptr);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    dib_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    memory_ = CreateCompatibleDC(screen_);
    if (dib_ && memory_) previous_ = SelectObject(memory_, dib_);
    captured_.resize(static_cast<size_t>(kWidth * kHeight));
}

FieldWatch::~FieldWatch() {
    if (memory_) {
        if (previous_) SelectObject(memory_, previous_);
        DeleteDC(memory_);
    }
    if (dib_) DeleteObject(dib_);
    ReleaseDC(nullptr, screen_);
}

const std::vector<uint32_t>& FieldWatch::Capture(int probe) {
    const RECT r = floor_window::FieldRect(kProbeFields[probe].row, kProbeFields[probe].column, kValueLength);
    POINT at = {r.left, r.top};
    ClientToScreen(window_, &at);
    BitBlt(memory_, 0, 0, kWidth, kHeight, screen_, at.x, at.y, SRCCOPY);
    GdiFlush();
    for (size_t i = 0; i < captured_.size(); ++i) captured_[i] = bits_[i] & 0xFFFFFFu;
    return captured_;
}

bool FieldWatch::Write(int probe, int value) {
    std::string field = inbound::Address(kProbeFields[probe].row, kProbeFields[probe].column);
    field += kValues[value];
    shown_[probe] = value;
    return write_(field);
}

const char* FieldWatch::Learn() {
    if (!bits_ || !memory_) return "no memory for the screen's pixels";
    for (int probe = 0; probe < Probes; ++probe)
        for (int value : {1, 0}) {
            if (!Write(probe, value)) return "a probe field could not be written";
            Sleep(kSettleMs);
            shows_[probe][value] = Capture(probe);
            Sleep(kSettleMs / 2);
            if (Capture(probe) != shows_[probe][value]) return "the screen did not settle after a probe field";
        }
    for (const auto& shows : shows_)
        if (shows[0] == shows[1]) return "the two values of a probe field look the same on the screen";
    return nullptr;
}

double FieldWatch::Sample() {
    const int probe = next_++ % Probes;
    const int value = 1 - shown_[probe];
    const int64_t start = bench_clock::Now();
    if (!Write(probe, value)) return 0;
    for (;;) {
        const bool shows = Capture(probe) == shows_[probe][value];
        const double ms = bench_clock::Ms(bench_clock::Now() - start);
        if (shows) return ms;
        if (ms > kWaitMs) return 0;
    }
}
