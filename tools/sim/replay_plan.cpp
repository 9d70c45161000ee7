// Replay timing: recorded gaps divided by the speed, without overflow for any time stamps.
#include "tools/sim/replay_plan.h"

#include <algorithm>

std::vector<ReplayStep> PlanReplay(std::vector<capture::Record> records, uint32_t speedMilli) {
    std::vector<ReplayStep> steps;
    if (records.empty() || speedMilli == 0) return steps;
    std::stable_sort(records.begin(), records.end(),
                     [](const capture::Record& a, const capture::Record& b) { return a.timeUs < b.timeUs; });
    const uint64_t start = records.front().timeUs;
    for (capture::Record& r : records) {
        if (r.direction != capture::Direction::ToPanel) continue;
        const uint64_t since = r.timeUs - start;
        const uint64_t at = since <= UINT64_MAX / 1000 ? since * 1000 / speedMilli : since / speedMilli * 1000;
        steps.push_back({at, std::move(r.bytes)});
    }
    return steps;
}
