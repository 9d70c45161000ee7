// Byte forms of every command, the commands that have none, and the Branch To command with
// the texts it refuses.
#include "link/command_encoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {
namespace pc = panel_command;

std::string Encode(PanelCommand c) {
    char buf[CommandBufferSize];
    const int n = EncodeCommand(c, buf);
    EXPECT_EQ(buf[n], '\0');
    return std::string(buf, static_cast<size_t>(n));
}

TEST(EncodeCommand, ByteForms) {
    struct Case {
        PanelCommand command;
        const char* bytes;
    };
    const Case cases[] = {
        {{pc::CursorKey, pc::Left, 0}, "H"},
        {{pc::CursorKey, pc::Up, 99}, "K"},
        {{pc::CursorKey, pc::Right, -1}, "L"},
        {{pc::CursorKey, pc::Down, 28}, "J"},
        {{pc::SelectLine, 0, 0}, "p1\n"},
        {{pc::SelectLine, 19, 5}, "p20\n"},
        {{pc::SelectLine, 8, 0}, "p9\n"},
        {{pc::SelectLine, -1, 0}, "p0\n"},
        {{pc::SelectLine, INT32_MAX, 0}, "p-2147483648\n"},
        {{pc::SelectLine, INT32_MIN, 0}, "p-2147483647\n"},
        {{pc::ScrollLine, 1, 0}, "o"},
        {{pc::ScrollLine, -7, 0}, "o"},
        {{pc::ScrollLine, INT32_MIN, 0}, "o"},
        {{pc::ScrollLine, 0, 1}, "O"},
        {{pc::Adjust, pc::AdjustUp, pc::Slow}, "Z"},
        {{pc::Adjust, pc::AdjustDown, pc::Slow}, "X"},
        {{pc::Adjust, pc::AdjustUp, pc::Normal}, "A"},
        {{pc::Adjust, pc::AdjustDown, pc::Normal}, "S"},
        {{pc::Adjust, pc::AdjustUp, pc::Fast}, "Q"},
        {{pc::Adjust, pc::AdjustDown, pc::Fast}, "W"},
        {{pc::ExitKey, 0, 0}, "P"},
        {{pc::ExitKey, 12345, -9}, "P"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.command), c.bytes) << c.command.type << "/" << c.command.argument << "/" << c.command.speed;
    EXPECT_EQ(Encode({pc::SelectLine, 0, 0}), std::string("\x70\x31\x0a"));
    EXPECT_EQ(Encode({pc::SelectLine, 19, 0}), std::string("\x70\x32\x30\x0a"));
}

TEST(EncodeCommand, RequestsWithoutAByteForm) {
    const PanelCommand cases[] = {
        {pc::CursorKey, 24, 0},     {pc::CursorKey, 19, 0},        {pc::Adjust, pc::AdjustUp, 29},
        {pc::Adjust, pc::AdjustDown, 25}, {pc::Adjust, 26, pc::Normal}, {pc::Adjust, pc::AdjustUp, 0},
        {0, 0, 0},                  {5, 0, 0},                     {9, 0, 0},
        {-3, 20, 26},               {INT32_MAX, 0, 0},
    };
    for (const PanelCommand& c : cases)
        EXPECT_EQ(Encode(c), "") << c.type << "/" << c.argument << "/" << c.speed;
}

// Nothing below 0x20 nor 0x7F rides inside the text, whichever byte it is or wherever it sits;
// other bytes go out as they are, up to 32 of them.
TEST(EncodeBranchCommand, ChecksAndFormsTheText) {
    using commands::BranchText;
    const std::string z32(32, 'Z');
    struct Case {
        std::string text;
        BranchText check;
        std::string bytes;  // empty: refused
    };
    const Case cases[] = {
        {"STATUS", BranchText::Ok, "qSTATUS\n"},
        {"", BranchText::Ok, "q\n"},
        {" A-1.~", BranchText::Ok, "q A-1.~\n"},
        {"\x80\xff", BranchText::Ok, "q\x80\xff\n"},
        {z32, BranchText::Ok, "q" + z32 + "\n"},
        {"A\nPPK", BranchText::ControlByte, ""},
        {"\n", BranchText::ControlByte, ""},
        {"A\tB", BranchText::ControlByte, ""},
        {std::string("A\0B", 3), BranchText::ControlByte, ""},
        {"AB\x7f", BranchText::ControlByte, ""},
        {"\x1f", BranchText::ControlByte, ""},
        {"A\rB", BranchText::ControlByte, ""},
        {z32 + "Z", BranchText::TooLong, ""},
        {std::string(33, '\n'), BranchText::TooLong, ""},
    };
    for (const Case& c : cases) {
        const std::string shown = ::testing::PrintToString(c.text);
        EXPECT_EQ(commands::CheckBranchText(c.text), c.check) << shown;
        char out[BranchCommandSize];
        const int n = EncodeBranchCommand(c.text, out);
        EXPECT_EQ(std::string(out, static_cast<size_t>(n)), c.bytes) << shown;
        EXPECT_EQ(out[n], '\0') << shown;
    }
}
}  // namespace
