// What the window, the bindings and the tools take for granted of the key rows: every key lies
// on the panel where a click at its centre reaches it alone, has a legend of its own and an
// action, and no computer key stands for two keys.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "protocol/key_table.h"

namespace {
bool Inside(const KeyRow& k, int32_t x, int32_t y) { return x >= k.x && x < k.x + k.width && y >= k.y && y < k.y + k.height; }

TEST(KeyTable, EveryKeyLiesOnThePanelAndOnlyItHoldsItsCentre) {
    for (const KeyRow& k : KeyTable::Rows) {
        EXPECT_TRUE(k.x >= 0 && k.y >= 0 && k.width > 0 && k.height > 0) << k.legend;
        EXPECT_LE(k.x + k.width, panel::Width) << k.legend;
        EXPECT_LE(k.y + k.height, panel::Height) << k.legend;
        for (const KeyRow& other : KeyTable::Rows)
            if (&other != &k) EXPECT_FALSE(Inside(other, k.x + k.width / 2, k.y + k.height / 2)) << k.legend << " in " << other.legend;
    }
}

TEST(KeyTable, EveryKeyHasItsOwnLegendAndAnActionAndComputerKeysOfItsOwn) {
    std::set<std::string> legends;
    std::set<uint32_t> computerKeys;
    for (const KeyRow& k : KeyTable::Rows) {
        EXPECT_NE(KeyTable::Action(k.id).kind, KeyActionKind::None) << k.id;
        EXPECT_TRUE(k.legend && *k.legend) << k.id;
        EXPECT_TRUE(legends.insert(k.legend).second) << k.legend;  // the tools find keys by legend
        EXPECT_EQ(KeyTable::Index(k.id), &k - KeyTable::Rows) << k.legend;
        for (uint32_t vk : k.computerKeys)
            if (vk) EXPECT_TRUE(computerKeys.insert(vk).second) << k.legend << " " << vk;
    }
    EXPECT_EQ(KeyTable::Index(KeyTable::FirstId - 1), -1);
    EXPECT_EQ(KeyTable::Index(KeyTable::LastId + 1), -1);
}
}  // namespace
