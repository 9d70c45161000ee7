// Key bindings end at the wire: every key and every listed computer key gives exactly its bytes,
// the ADJUST speed follows the latch looks and the FAST/SLOW roads leave the latches as they should.
#include <gtest/gtest.h>

#include <string>

#include "keypad/key_bindings.h"
#include "protocol/key_table.h"
#include "keypad/latch_keys.h"
#include "tests/keypad/every_key_bytes.h"
#include "tests/keypad/wire_recorder.h"

namespace {
namespace vk = virtual_key;

// The latch keys and a wire that holds what the link would write; queries are logged in order.
class WirePort final : public WireRecorder {
public:
    bool ShowsPushed(int32_t id) override {
        asked += id == KeyId::Slow ? 'S' : 'F';
        return latches.ShowsPushed(id);
    }
    void ToggleLatch(int32_t id) override { latches.ToggleLatch(id); }
    void ReleaseLatch(int32_t id) override { latches.ReleaseLatch(id); }
    void OpenBranchTo() override { wire += "<branch>"; }

    // Sets the latches as the operator left them, without sending anything.
    void Latch(bool fast, bool slow) {
        if (fast) latches.ToggleLatch(KeyId::Fast);
        if (slow) latches.ToggleLatch(KeyId::Slow);
    }
    LatchKeys latches;
    std::string asked;
};

std::string WireOf(const KeyAction& action) {
    WirePort port;
    PerformKeyAction(action, port);
    return port.wire;
}

TEST(KeyBindings, EveryKeyClickSendsItsBytesWithNeitherLatch) {
    for (const KeyBytes& k : kEveryKey) EXPECT_EQ(WireOf(ActionForKey(k.id)), k.bytes) << "key " << k.id;
    for (int32_t id : {KeyTable::FirstId - 1, KeyTable::LastId + 1}) EXPECT_EQ(WireOf(ActionForKey(id)), "") << id;
}

TEST(KeyBindings, EveryListedVirtualKeySendsItsBytesAndOthersNothing) {
    const struct {
        uint32_t vk;
        const char* bytes;
    } rows[] = {
        {vk::Back, "H"},      {vk::Left, "H"},     {vk::Up, "K"},          {vk::Right, "L"},    {vk::Down, "J"},
        {vk::Prior, "o"},     {vk::Next, "O"},     {vk::Insert, "A"},      {'P', "A"},          {vk::Delete, "S"},
        {'M', "S"},           {vk::Escape, "P"},   {vk::Return, "\n"},     {'0', "0"},          {'5', "5"},
        {'9', "9"},           {vk::Numpad0, "0"},  {vk::Numpad0 + 7, "7"}, {vk::Numpad0 + 9, "9"},
        {vk::Subtract, "-"},  {vk::OemMinus, "-"}, {vk::Decimal, "."},     {vk::OemPeriod, "."}, {vk::Oem1, ":"},
        {'A', "H"},           {'B', "O"},          {'C', "B"},             {'D', "C"},          {'E', "A"},
        {'F', "S"},           {'Q', "<branch>"},   {vk::F1, ""},           {'G', ""},           {'Z', ""},
        {'/', ""},            {vk::Numpad0 + 10, ""}, {0, ""},             {0x1FF, ""},
    };
    for (const auto& r : rows) EXPECT_EQ(WireOf(ActionForVirtualKey(r.vk)), r.bytes) << "virtual key " << r.vk;
}

bool SameAction(const KeyAction& a, const KeyAction& b) {
    return a.kind == b.kind && a.byte == b.byte && a.command.type == b.command.type &&
           a.command.argument == b.command.argument && a.command.speed == b.command.speed;
}

// A held computer key repeats as the panel key it works: Shift and Ctrl (the latches FAST and
// SLOW) once a press, every other key at each auto-repeated key-down.
TEST(KeyBindings, AutoRepeatedKeyDownsActAgainExceptShiftAndCtrl) {
    for (uint32_t v = 0; v < 0x100; ++v) {
        const KeyAction pressed = ActionForVirtualKey(v);
        EXPECT_TRUE(SameAction(ActionForKeyDown(v, false), pressed)) << "virtual key " << v;
        const bool once = v == vk::Shift || v == vk::Control;
        const KeyAction repeated = ActionForKeyDown(v, true);
        EXPECT_TRUE(once ? repeated.kind == KeyActionKind::None : SameAction(repeated, pressed)) << "virtual key " << v;
    }
    const struct {
        uint32_t vk;
        int32_t latch;
        const char* released;  // the byte of the second press, which releases the latch
    } rows[] = {{vk::Shift, KeyId::Fast, "B"}, {vk::Control, KeyId::Slow, "C"}};
    for (const auto& r : rows) {
        WirePort port;
        PerformKeyAction(ActionForKeyDown(r.vk, false), port);
        for (int i = 0; i < 29; ++i) PerformKeyAction(ActionForKeyDown(r.vk, true), port);
        EXPECT_TRUE(port.latches.ShowsPushed(r.latch)) << r.vk << ": held for 29 repeats";
        EXPECT_EQ(port.wire, "") << r.vk;
        PerformKeyAction(ActionForKeyDown(r.vk, false), port);
        EXPECT_FALSE(port.latches.ShowsPushed(r.latch)) << r.vk << ": the second press";
        EXPECT_EQ(port.wire, r.released) << r.vk;
    }
}

TEST(KeyBindings, AdjustSpeedAsksSlowFirstAndSlowWins) {
    const struct {
        bool fast, slow;
        const char* up;
        const char* down;
        const char* asked;
    } rows[] = {{false, false, "A", "S", "SF"}, {true, false, "Q", "W", "SF"},
                {false, true, "Z", "X", "S"},   {true, true, "Z", "X", "S"}};
    for (const auto& r : rows) {
        for (int32_t id : {KeyId::AdjustUp, KeyId::AdjustDown}) {
            WirePort port;
            port.Latch(r.fast, r.slow);
            PerformKeyAction(ActionForKey(id), port);
            EXPECT_EQ(port.wire, id == KeyId::AdjustUp ? r.up : r.down) << "fast " << r.fast << " slow " << r.slow;
            EXPECT_EQ(port.asked, r.asked);
        }
    }
}

// Inputs of the latch roads: a mouse click released on a latch key, or a computer key.
enum class Input { ClickFast, ClickSlow, Shift, Control, LetterC, LetterD, AdjustDown };

void Apply(Input input, WirePort& port) {
    switch (input) {
        case Input::ClickFast:
        case Input::ClickSlow: {
            const int32_t id = input == Input::ClickFast ? KeyId::Fast : KeyId::Slow;
            if (port.latches.BeginClick(id)) PerformKeyAction(ActionForKey(id), port);
            port.latches.EndClick(id);
            return;
        }
        case Input::Shift: return PerformKeyAction(ActionForVirtualKey(vk::Shift), port);
        case Input::Control: return PerformKeyAction(ActionForVirtualKey(vk::Control), port);
        case Input::LetterC: return PerformKeyAction(ActionForVirtualKey('C'), port);
        case Input::LetterD: return PerformKeyAction(ActionForVirtualKey('D'), port);
        case Input::AdjustDown: return PerformKeyAction(ActionForKey(KeyId::AdjustDown), port);
    }
}

TEST(KeyBindings, LatchRoads) {
    const struct {
        bool fastBefore, slowBefore;
        Input inputs[2];
        int count;
        bool fastAfter, slowAfter;
        const char* bytes;
    } rows[] = {
        {false, false, {Input::ClickFast}, 1, true, false, "B"},
        {false, true, {Input::ClickFast}, 1, true, false, "B"},
        {true, false, {Input::ClickFast}, 1, false, false, ""},
        {true, true, {Input::ClickFast}, 1, false, true, ""},  // no click is reported: SLOW stays
        {false, true, {Input::Shift}, 1, true, false, ""},
        {true, true, {Input::Shift}, 1, false, false, "B"},
        {false, false, {Input::ClickSlow}, 1, false, true, "C"},
        {true, false, {Input::ClickSlow}, 1, false, true, "C"},
        {false, true, {Input::ClickSlow}, 1, false, false, ""},
        {true, false, {Input::Control}, 1, false, true, ""},
        {true, true, {Input::Control}, 1, false, false, "C"},
        {true, false, {Input::ClickSlow, Input::AdjustDown}, 2, false, true, "CX"},
        {false, false, {Input::Shift, Input::Shift}, 2, false, false, "B"},
        {true, false, {Input::LetterC, Input::LetterD}, 2, true, false, "BC"},
        {false, true, {Input::LetterC, Input::LetterD}, 2, false, true, "BC"},
    };
    int n = 0;
    for (const auto& r : rows) {
        WirePort port;
        port.Latch(r.fastBefore, r.slowBefore);
        for (int i = 0; i < r.count; ++i) Apply(r.inputs[i], port);
        EXPECT_EQ(port.latches.ShowsPushed(KeyId::Fast), r.fastAfter) << "row " << n;
        EXPECT_EQ(port.latches.ShowsPushed(KeyId::Slow), r.slowAfter) << "row " << n;
        EXPECT_EQ(port.wire, r.bytes) << "row " << n;
        ++n;
    }
}
}  // namespace
