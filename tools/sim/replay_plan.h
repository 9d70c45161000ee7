// What a replay sends and when: the inbound blocks of a capture, timed from its first record
// and scaled by the speed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/capture_file.h"

struct ReplayStep {
    uint64_t atUs;  // from the start of the replay
    std::string bytes;
};

// Records in any order; the steps come out in time order (equal times in recorded order).
std::vector<ReplayStep> PlanReplay(std::vector<capture::Record> records, uint32_t speedMilli);
