// The panel's display for the simulator's tests: the stream goes through the core's decoder and
// display as the panel reads it, and the identification requests and screen clears are counted.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "display/text_display.h"
#include "display/windowless_owner.h"
#include "link/stream_decoder.h"
#include "tools/common/screen_text.h"

class PanelScreen final : private EventSink, private ByteWriter {
public:
    PanelScreen() { display_.SetOwner(&owner_); }

    // In the panel's read size; nothing after the exit notice, which the panel never reads.
    void Apply(std::string_view bytes) {
        if (!exited_)
            exited_ = decoder_.DecodeAsRead(bytes.data(), bytes.size(), *this, *this) == DecodeResult::ControlExited;
    }

    std::string Line(int row) const { return CopyScreen(display_).lines[row]; }
    // The line without trailing blanks.
    std::string Text(int row) const {
        std::string s = Line(row);
        s.erase(s.find_last_not_of(' ') + 1);
        return s;
    }
    bool Contains(std::string_view text) const {
        const ScreenCopy screen = CopyScreen(display_);
        return std::any_of(std::begin(screen.lines), std::end(screen.lines),
                           [&](const std::string& line) { return line.find(text) != std::string::npos; });
    }
    int Identifies() const { return identifies_; }
    bool Exited() const { return exited_; }
    int Clears() const { return clears_; }

private:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (type == display_event::Clear && kind == display_event::ClearScreen) ++clears_;
        return display_.ApplyEvent(type, kind, argument);
    }
    int WriteBytes(const char*, int32_t) override {
        ++identifies_;
        return 1;
    }

    WindowlessOwner owner_;
    TextDisplay display_;
    StreamDecoder decoder_;
    int identifies_ = 0;
    int clears_ = 0;
    bool exited_ = false;
};
