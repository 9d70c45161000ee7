// The computer name rule at its edges: host names, dotted quads, and every form that would
// point a pipe or network name somewhere else.
#include <gtest/gtest.h>

#include <string>

#include "link/connect_name.h"

namespace {

TEST(ComputerName, Rule) {
    const struct {
        std::string name;
        bool taken;
    } cases[] = {
        {"PLANT-01", true},
        {"plant_02.example.local", true},
        {"10.0.0.7", true},
        {"P", true},
        {"_plant", true},
        {"9plant", true},
        {"a.b-c_d.e", true},
        {"0.0.0.0", true},
        {"255.255.255.255", true},
        {"1.2.3.x", true},
        {std::string(32, 'N'), true},
        {std::string(33, 'N'), false},
        {std::string(30, 'N') + ".1", true},
        {"", false},
        {"?", false},
        {".", false},
        {"..", false},
        {"a\\b", false},
        {"a/b", false},
        {"c:", false},
        {"-x", false},
        {"x-", false},
        {"a.-b", false},
        {"a-.b", false},
        {".plant", false},
        {"plant.", false},
        {"a..b", false},
        {"pl ant", false},
        {"plant$", false},
        {"pl%sant", false},
        {"pl\xc3\xa4nt", false},
        {"\\\\plant", false},
        {"plant\\pipe\\x", false},
        {"256.0.0.1", false},
        {"10.0.0.256", false},
        {"1.2.3", false},
        {"1.2.3.4.5", false},
        {"12345", false},
        {"010.0.0.1", false},
        {"10.00.0.1", false},
        {"1000.0.0.1", false},
        {"10.0.0.", false},
        {".10.0.0.7", false},
        {"10..0.7", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("[" + c.name + "]");
        EXPECT_EQ(connect_logic::IsComputerName(c.name.c_str()), c.taken);
    }
    EXPECT_FALSE(connect_logic::IsComputerName(nullptr));
}

}  // namespace
