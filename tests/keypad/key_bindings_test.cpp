// Key bindings end at the wire: every key and every listed computer key gives exactly its bytes,
// the ADJUST speed follows the latch looks, the FAST/SLOW roads leave the latches as they should,
// and the key table holds the documented layout.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keypad/key_bindings.h"
#include "keypad/key_table.h"
#include "keypad/latch_keys.h"
#include "link/command_encoder.h"

namespace {
namespace vk = virtual_key;

// The latch keys and a wire that holds what the link would write; queries are logged in order.
class WirePort final : public KeypadPort {
public:
    bool ShowsPushed(int32_t id) override {
        asked += id == KeyTable::SlowId ? 'S' : 'F';
        return latches.ShowsPushed(id);
    }
    void ToggleLatch(int32_t id) override { latches.ToggleLatch(id); }
    void ReleaseLatch(int32_t id) override { latches.ReleaseLatch(id); }
    int32_t SendCommand(const PanelCommand& c) override {
        char buf[CommandBufferSize];
        wire.append(buf, static_cast<size_t>(EncodeCommand(c, buf)));
        return 1;
    }
    int WriteBytes(const char* bytes, int32_t count) override {
        wire.append(bytes, static_cast<size_t>(count));
        return 1;
    }
    void OpenBranchTo() override { wire += "<branch>"; }

    // Sets the latches as the operator left them, without sending anything.
    void Latch(bool fast, bool slow) {
        if (fast) latches.ToggleLatch(KeyTable::FastId);
        if (slow) latches.ToggleLatch(KeyTable::SlowId);
    }
    LatchKeys latches;
    std::string wire;
    std::string asked;
};

std::string WireOf(const KeyAction& action) {
    WirePort port;
    PerformKeyAction(action, port);
    return port.wire;
}

TEST(KeyBindings, EveryKeyClickSendsItsBytesWithNeitherLatch) {
    const struct {
        int32_t id;
        const char* bytes;
    } rows[] = {{2000, "o"}, {2001, "O"}, {2002, "L"}, {2003, "H"}, {2004, "K"}, {2005, "J"}, {2006, "A"},
                {2007, "S"}, {2008, "B"}, {2009, "C"}, {2010, "0"}, {2011, "1"}, {2012, "2"}, {2013, "3"},
                {2014, "4"}, {2015, "5"}, {2016, "6"}, {2017, "7"}, {2018, "8"}, {2019, "9"}, {2020, "-"},
                {2021, "."}, {2022, ":"}, {2023, "\n"}, {2024, "P"}, {1999, ""},  {2025, ""}};
    for (const auto& r : rows) EXPECT_EQ(WireOf(ActionForKey(r.id)), r.bytes) << "key " << r.id;
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

TEST(KeyBindings, AdjustSpeedAsksSlowFirstAndSlowWins) {
    const struct {
        bool fast, slow;
        const char* up;
        const char* down;
        const char* asked;
    } rows[] = {{false, false, "A", "S", "SF"}, {true, false, "Q", "W", "SF"},
                {false, true, "Z", "X", "S"},   {true, true, "Z", "X", "S"}};
    for (const auto& r : rows) {
        for (int32_t id : {2006, 2007}) {
            WirePort port;
            port.Latch(r.fast, r.slow);
            PerformKeyAction(ActionForKey(id), port);
            EXPECT_EQ(port.wire, id == 2006 ? r.up : r.down) << "fast " << r.fast << " slow " << r.slow;
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
            const int32_t id = input == Input::ClickFast ? KeyTable::FastId : KeyTable::SlowId;
            if (port.latches.BeginClick(id)) PerformKeyAction(ActionForKey(id), port);
            port.latches.EndClick(id);
            return;
        }
        case Input::Shift: return PerformKeyAction(ActionForVirtualKey(vk::Shift), port);
        case Input::Control: return PerformKeyAction(ActionForVirtualKey(vk::Control), port);
        case Input::LetterC: return PerformKeyAction(ActionForVirtualKey('C'), port);
        case Input::LetterD: return PerformKeyAction(ActionForVirtualKey('D'), port);
        case Input::AdjustDown: return PerformKeyAction(ActionForKey(2007), port);
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
        EXPECT_EQ(port.latches.ShowsPushed(KeyTable::FastId), r.fastAfter) << "row " << n;
        EXPECT_EQ(port.latches.ShowsPushed(KeyTable::SlowId), r.slowAfter) << "row " << n;
        EXPECT_EQ(port.wire, r.bytes) << "row " << n;
        ++n;
    }
}

TEST(KeyTable, EveryKeyHasTheDocumentedPlaceSizePicturesAndMode) {
    // The layout as documented, written out once: id, x, y, width, height, normal, pressed, mode.
    constexpr int32_t kLayout[KeyTable::Count][8] = {
        {2000, 297, 78, 52, 52, 175, 200, 2},  {2001, 297, 243, 52, 52, 176, 201, 2},
        {2002, 395, 165, 46, 44, 177, 202, 2}, {2003, 309, 165, 46, 44, 178, 203, 2},
        {2004, 353, 121, 44, 46, 179, 204, 2}, {2005, 353, 207, 44, 46, 180, 205, 2},
        {2006, 176, 318, 66, 52, 181, 206, 2}, {2007, 243, 318, 66, 52, 182, 207, 2},
        {2008, 10, 318, 52, 52, 183, 208, 3},  {2009, 65, 318, 52, 52, 184, 209, 3},
        {2010, 443, 318, 52, 52, 185, 210, 2}, {2011, 443, 256, 52, 52, 186, 211, 2},
        {2012, 501, 256, 52, 52, 187, 212, 2}, {2013, 560, 256, 52, 52, 188, 213, 2},
        {2014, 443, 192, 52, 52, 189, 214, 2}, {2015, 501, 192, 52, 52, 190, 215, 2},
        {2016, 560, 192, 52, 52, 191, 216, 2}, {2017, 443, 128, 52, 52, 192, 217, 2},
        {2018, 501, 128, 52, 52, 193, 218, 2}, {2019, 560, 128, 52, 52, 194, 219, 2},
        {2020, 386, 318, 52, 52, 195, 220, 2}, {2021, 501, 318, 52, 52, 196, 221, 2},
        {2022, 386, 256, 52, 52, 197, 222, 2}, {2023, 560, 318, 52, 52, 198, 223, 2},
        {2024, 328, 318, 52, 52, 199, 224, 2},
    };
    for (const auto& row : kLayout) {
        const int32_t id = row[0];
        const int i = KeyTable::Index(id);
        const int32_t got[8] = {KeyTable::FirstId + i,
                                KeyTable::X[i],
                                KeyTable::Y[i],
                                KeyTable::Width[i],
                                KeyTable::Height[i],
                                KeyTable::NormalBitmapId(id),
                                KeyTable::PressedBitmapId(id),
                                static_cast<int32_t>(KeyTable::Mode(id))};
        EXPECT_EQ(std::vector<int32_t>(got, got + 8), std::vector<int32_t>(row, row + 8)) << "key " << id;
    }
}
}  // namespace
