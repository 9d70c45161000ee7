// The About box's footprint texts over a fake registry: remote, local with and without keys
// and values (the real registry and its 50-byte reads are tested under Wine).
#include "support/footprint.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {
class FakeRegistry : public FootprintRegistry {
public:
    std::map<std::string, std::map<std::string, std::string>> keys;
    std::set<std::string> unopenable;
    std::vector<std::string> opened;

    bool OpenOrCreate(const RegistryKey& key) override {
        opened.push_back(key.path);
        if (unopenable.count(key.path)) return false;
        current_ = &keys[key.path];
        return true;
    }
    void ReadText(const char* value, char* out) override {
        auto it = current_->find(value);
        const std::string text = it == current_->end() ? "" : it->second.substr(0, FootprintTexts::Size - 1);
        std::memcpy(out, text.c_str(), text.size() + 1);
    }
    void Close() override { current_ = nullptr; }

private:
    std::map<std::string, std::string>* current_ = nullptr;
};

TEST(Footprint, RemoteLinkSaysNotAvailableAndLeavesTheRegistryAlone) {
    FakeRegistry reg;
    FootprintTexts t;
    footprint::Fill(false, "Not available from remote", reg, t);
    for (const char* field : {t.computerName, t.partNumber, t.revision, t.description})
        EXPECT_STREQ(field, "Not available from remote");
    EXPECT_TRUE(reg.opened.empty());
}

TEST(Footprint, LocalLinkReadsTheValuesAndTheComputerName) {
    FakeRegistry reg;
    reg.keys[footprint::ControlKey.path] = {{"PartNumber", "VX-2210"}, {"Revision", "C"}, {"Description", "Press line 4"}};
    reg.keys[footprint::ComputerNameKey.path] = {{"ComputerName", "PLANT"}};
    FootprintTexts t;
    footprint::Fill(true, "n/a", reg, t);
    EXPECT_STREQ(t.partNumber, "VX-2210");
    EXPECT_STREQ(t.revision, "C");
    EXPECT_STREQ(t.description, "Press line 4");
    EXPECT_STREQ(t.computerName, "PLANT");
}

TEST(Footprint, MissingValueGivesAnEmptyField) {
    FakeRegistry reg;
    reg.keys[footprint::ControlKey.path] = {{"PartNumber", "VX-2210"}, {"Description", "Mixer"}};
    reg.keys[footprint::ComputerNameKey.path] = {{"ComputerName", "PLANT"}};
    FootprintTexts t;
    footprint::Fill(true, "n/a", reg, t);
    EXPECT_STREQ(t.revision, "");
    EXPECT_STREQ(t.partNumber, "VX-2210");
    EXPECT_STREQ(t.description, "Mixer");
}

TEST(Footprint, UnopenableKeysSayLocal) {
    struct Row {
        const char* unopenable;
        const char* part;
        const char* computer;
        size_t opens;
    };
    const Row rows[] = {
        // The footprint key fails: the computer-name key is not even tried and stays empty.
        {footprint::ControlKey.path, "Local", "", 1},
        {footprint::ComputerNameKey.path, "", "Local", 2},
    };
    for (const Row& r : rows) {
        FakeRegistry reg;
        reg.unopenable.insert(r.unopenable);
        FootprintTexts t;
        footprint::Fill(true, "n/a", reg, t);
        EXPECT_STREQ(t.partNumber, r.part) << r.unopenable;
        EXPECT_STREQ(t.computerName, r.computer) << r.unopenable;
        EXPECT_EQ(reg.opened.size(), r.opens);
    }
}

}  // namespace
