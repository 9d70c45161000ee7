// A keypad port whose two writes keep the bytes the link would write, in order: the base of the
// test ports that look at what the keys send.
#pragma once
#include <string>

#include "keypad/key_bindings.h"
#include "link/command_encoder.h"

class WireRecorder : public KeypadPort {
public:
    int32_t SendCommand(const PanelCommand& c) override {
        char buf[CommandBufferSize];
        wire.append(buf, static_cast<size_t>(EncodeCommand(c, buf)));
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        wire.append(bytes, static_cast<size_t>(count));
        return 1;
    }
    std::string wire;
};
