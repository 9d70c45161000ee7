// The held-press rule against the real outbound queue: repeats of a press wait for its command,
// new presses and other keys never do, a control that took the command lets the repeat act.
#include "keypad/held_presses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/outbound_queue.h"

namespace {
struct QueueRoad final : HeldPresses::Road {
    bool Waits(uint64_t ticket) const override { return queue.Waits(ticket); }
    mutable OutboundQueue queue;
};

// c: a click of key `source` from mouse press `press`; k: a key-down, r: an auto-repeated one,
// of virtual key `source`; w: the control takes the oldest command; s: the link stops.
struct Step {
    char kind;
    uint32_t source;
    uint32_t press;
    bool makes;  // the admitted action queues a command
};

TEST(HeldPresses, RepeatsWaitForTheirPressCommandAndNewPressesNever) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::string admitted;  // Y or N per input, '.' for the other steps
    };
    const Step tick{'c', KeyId::AdjustUp, 7, true}, insert{'k', 45, 0, true}, repeat{'r', 45, 0, true};
    const Step take{'w', 0, 0, false};
    const Case cases[] = {
        {"ticks and the release of a held press", {tick, tick, tick}, "YNN"},
        {"a tick once the control took the command", {tick, take, tick, tick}, "Y.YN"},
        {"separate presses and clicks of their own",
         {tick, {'c', KeyId::AdjustUp, 8, true}, {'c', KeyId::AdjustUp, 0, true}, {'c', KeyId::AdjustUp, 0, true}}, "YYYY"},
        {"auto-repeated key-downs", {insert, repeat, repeat, take, repeat, repeat}, "YNN.YN"},
        {"a new key-down of the same key", {insert, repeat, insert}, "YNY"},
        {"another key's command holds nothing",
         {tick, {'c', KeyId::AdjustDown, 7, true}, insert, {'r', 46, 0, true}}, "YYYY"},
        {"a press whose action queued nothing",
         {{'k', 16, 0, false}, {'r', 16, 0, false}, {'r', 16, 0, true}, {'r', 16, 0, true}},
         "YYYN"},
        {"a stopped link holds nothing", {tick, {'s', 0, 0, false}, tick}, "Y.Y"},
    };
    for (const Case& c : cases) {
        QueueRoad road;
        ASSERT_TRUE(road.queue.Allocate());
        HeldPresses presses;
        std::string admitted;
        for (const Step& s : c.steps) {
            if (s.kind == 'w' || s.kind == 's') {
                char buf[8];
                if (s.kind == 'w') road.queue.Written(road.queue.Take(buf, sizeof buf), 0);
                if (s.kind == 's') road.queue.Stop();
                admitted += '.';
                continue;
            }
            const bool in = s.kind == 'c' ? presses.AdmitClick(static_cast<int32_t>(s.source), s.press, road)
                                          : presses.AdmitKeyDown(s.source, s.kind == 'r', road);
            admitted += in ? 'Y' : 'N';
            if (!in) continue;
            uint64_t ticket = HeldPresses::NoTicket;
            if (s.makes) road.queue.Add("A", 1, 0, &ticket);
            presses.Made(ticket);
            presses.Done();
        }
        EXPECT_EQ(admitted, c.admitted) << c.name;
    }
}

}  // namespace
