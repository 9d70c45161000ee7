// Test doubles of the link: an event sink and a writer that log into one list, in call order.
#pragma once
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "display/display_event.h"
#include "link/byte_io.h"

// Entries: "T:<chars>" for text, "A:row,column" for cursor addresses, "E:type,kind,argument"
// for other events and "W:<bytes>" for writes.
class RecordingSink final : public EventSink, public ByteWriter {
public:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (type == display_event::Text) {
            const char* chars = reinterpret_cast<const char*>(kind);
            if (chars[argument] != '\0') missingNul = true;
            if (argument > longestRun) longestRun = argument;
            log.push_back("T:" + std::string(chars, static_cast<size_t>(argument)));
        } else if (type == display_event::CursorAddress) {
            log.push_back("A:" + std::to_string(kind) + "," + std::to_string(argument));
        } else {
            log.push_back("E:" + std::to_string(type) + "," + std::to_string(kind) + "," + std::to_string(argument));
        }
        if (onEvent) onEvent(type);
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        log.push_back("W:" + std::string(bytes, static_cast<size_t>(count)));
        return 1;
    }

    std::vector<std::string> log;
    bool missingNul = false;
    int32_t longestRun = 0;
    std::function<void(uint32_t type)> onEvent;
};

inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
