// The dump's --json lines: one object per event or command with its time, direction, kind and
// fields ("row", "column", "line", "text", "key", "adjust", "speed"), the names the dissector uses.
#pragma once
#include <cstdint>
#include <cstdio>

#include "tools/common/commands.h"

struct JsonStamp {
    bool timed = false;  // a raw stream has no times
    uint64_t sinceStartUs = 0;
    const char* direction = "in";
};

// A display event; row and column are the cursor's before it (where a text lands).
void JsonEvent(std::FILE* out, const JsonStamp& stamp, uint32_t type, intptr_t kind, int32_t argument, int row,
               int column);
void JsonIdentificationRequest(std::FILE* out, const JsonStamp& stamp);
void JsonCommand(std::FILE* out, const JsonStamp& stamp, const Command& command);
