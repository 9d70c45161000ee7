// Test doubles of the link: an event sink and a writer that log into one list, in call order,
// each entry the line quorvex-dump prints for it; events may go on to a further sink.
#pragma once
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "protocol/display_event.h"
#include "link/byte_io.h"
#include "protocol/inbound_table.h"
#include "tools/common/event_line.h"

// The entry of a text event of these characters: Text 2 "AB".
inline std::string TextLine(const std::string& chars) {
    return EventLine(display_event::Text, reinterpret_cast<intptr_t>(chars.c_str()), static_cast<int32_t>(chars.size()));
}

class RecordingSink final : public EventSink, public ByteWriter {
public:
    int32_t ApplyEvent(uint32_t type, intptr_t kind, int32_t argument) override {
        if (type == display_event::Text) {
            const char* chars = reinterpret_cast<const char*>(kind);
            if (chars[argument] != '\0') missingNul = true;
            if (argument > longestRun) longestRun = argument;
        }
        log.push_back(EventLine(type, kind, argument));
        if (next) next->ApplyEvent(type, kind, argument);
        if (onEvent) onEvent(type);
        return 1;
    }
    // The answer to an identification request logs as the request; any other write as its bytes.
    int WriteBytes(const char* bytes, int32_t count) override {
        const std::string written(bytes, static_cast<size_t>(count));
        const std::string answer(inbound::IdentificationAnswer, sizeof inbound::IdentificationAnswer);
        log.push_back(written == answer ? std::string(inbound::IdentificationRequest) : "Write " + written);
        return 1;
    }

    std::vector<std::string> log;
    bool missingNul = false;
    int32_t longestRun = 0;
    EventSink* next = nullptr;
    std::function<void(uint32_t type)> onEvent;
};

inline std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
