// The waiting screen: two centred lines on a blank screen, nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "display/waiting_screen.h"

namespace {
TEST(WaitingScreen, TwoCentredLinesOnABlankScreen) {
    struct Case {
        const char* first;
        const char* second;
        std::string row9, row10;
    };
    const std::string blank(40, ' ');
    const std::string tooLong(45, 'X');
    const Case cases[] = {
        {"No control application", "Waiting for it to start",
         std::string(9, ' ') + "No control application" + std::string(9, ' '),
         std::string(8, ' ') + "Waiting for it to start" + std::string(9, ' ')},
        {"", nullptr, blank, blank},
        {tooLong.c_str(), "A\tB\x7f", std::string(40, 'X'), std::string(18, ' ') + "A B " + std::string(18, ' ')},
    };
    for (const Case& c : cases) {
        char lines[screen::Lines][screen::Columns + 1];
        std::memset(lines, '#', sizeof lines);
        waiting_screen::Compose(c.first, c.second, lines);
        for (int row = 0; row < screen::Lines; ++row) {
            const std::string want = row == waiting_screen::FirstRow       ? c.row9
                                     : row == waiting_screen::FirstRow + 1 ? c.row10
                                                                           : blank;
            EXPECT_EQ(std::string(lines[row]), want) << "row " << row;
        }
    }
}
}  // namespace
