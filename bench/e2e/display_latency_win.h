// Byte-to-pixel latency: from the control's write of a changed field (a cursor address and an
// 8-character value) until the screen shows the new value, read through this process's screen
// DC, which under Wine is the X server's image of the screen, so seen from outside the window's
// process.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class FieldWatch {
public:
    // `write` hands the control's bytes to the window's process (one write); `window` shows them.
    FieldWatch(HWND window, std::function<bool(const std::string&)> write);
    ~FieldWatch();
    FieldWatch(const FieldWatch&) = delete;
    FieldWatch& operator=(const FieldWatch&) = delete;

    // Writes each probe field's two values in turn and keeps what the screen shows for each once
    // settled. Null when that worked; else why not (the two values look the same on the screen,
    // or the screen did not settle), so that a watch that sees no real change is never used.
    const char* Learn();
    // From now on the bytes go through `write` (another writer of the same pipe).
    void WriteThrough(std::function<bool(const std::string&)> write) { write_ = std::move(write); }
    // The next probe field changed to its other value: ms until the screen shows exactly that
    // value's pixels, 0 when it did not within the wait.
    double Sample();

private:
    static constexpr int Probes = 4;
    const std::vector<uint32_t>& Capture(int probe);
    bool Write(int probe, int value);

    HWND window_;
    std::function<bool(const std::string&)> write_;
    HDC screen_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
    std::vector<uint32_t> captured_;
    std::vector<uint32_t> shows_[Probes][2];
    int shown_[Probes] = {};
    int next_ = 0;
};
