// Canvas writing and its display stream encoding, checked by applying the bytes to a panel model.
#include <gtest/gtest.h>

#include <string>

#include "panel_screen.h"
#include "tools/sim/canvas.h"

namespace {
void ExpectPanelShows(const PanelScreen& panel, const Canvas& canvas) {
    for (int row = 0; row < screen::Lines; ++row) EXPECT_EQ(panel.Line(row), canvas.Line(row)) << "row " << row;
}

TEST(SimCanvas, PutCutsAtTheEdgesAndBlanksControlBytes) {
    Canvas c;
    c.Put(0, 36, "ABCDEFG");
    c.Put(1, -2, "xyHello");
    c.Put(20, 0, "ignored");
    c.Put(-1, 0, "ignored");
    c.Put(2, 0, "a\x01" "b\x7f" "c");
    c.PutField(3, 5, 4, "toolong");
    c.PutField(4, 0, 6, "ab");
    EXPECT_EQ(c.Line(0).substr(36), "ABCD");
    EXPECT_EQ(c.Line(1).substr(0, 6), "Hello ");
    EXPECT_EQ(c.Line(2).substr(0, 6), "a b c ");
    EXPECT_EQ(c.Line(3).substr(4, 6), " tool ");
    EXPECT_EQ(c.Line(4).substr(0, 7), "ab     ");
    Canvas blank;
    blank.Put(19, 39, "Z");
    EXPECT_EQ(blank.At(19, 39), 'Z');
}

TEST(SimCanvas, ScreenStartsWithAClearAndDrawsOnlyText) {
    Canvas c;
    c.Put(0, 0, "HEADER");
    c.Put(19, 30, "0123456789");
    std::string bytes = EncodeScreen(c);
    EXPECT_EQ(bytes, std::string("\x01") + "\x80\x80" "HEADER" + "\x93\x9e" "0123456789");
    PanelScreen panel;
    panel.Apply("garbage on the panel");
    panel.Apply(bytes);
    ExpectPanelShows(panel, c);
    EXPECT_EQ(EncodeScreen(Canvas()), "\x01");
}

TEST(SimCanvas, ChangesAreRunsAtTheirAddress) {
    struct Case {
        const char* name;
        int row;
        int column;
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"one cell", 5, 10, "X", "\x85\x8a" "X"},
        {"gap of two joined", 3, 0, "A  B", std::string("\x83\x80") + "A  B"},
        {"gap of three split", 3, 0, "A   B", std::string("\x83\x80") + "A" + "\x83\x84" "B"},
        {"last cell", 19, 39, "Q", "\x93\xa7" "Q"},
        {"same text", 0, 0, "", ""},
    };
    for (const Case& c : cases) {
        Canvas shown;
        Canvas wanted;
        wanted.Put(c.row, c.column, c.text);
        // Put writes blanks too; a blank over a blank is no change.
        EXPECT_EQ(EncodeChanges(shown, wanted), c.bytes) << c.name;
    }
}

TEST(SimCanvas, UpdatesBringThePanelToEachNewPicture) {
    Canvas shown;
    PanelScreen panel;
    panel.Apply(EncodeScreen(shown));
    const char* const values[] = {"123.4", "  9.0", "-12.5", "     ", "88888", "0"};
    int step = 0;
    for (const char* value : values) {
        Canvas wanted = shown;
        wanted.PutField(4, 18, 8, value);
        wanted.PutField(0, 32, 8, "12:00:0" + std::to_string(step++));
        wanted.Put(step % 20, 39, "*");
        std::string bytes = EncodeChanges(shown, wanted);
        panel.Apply(bytes);
        ExpectPanelShows(panel, wanted);
        EXPECT_LT(bytes.size(), 40u);
        shown = wanted;
    }
    EXPECT_EQ(EncodeChanges(shown, shown), "");
}
}  // namespace
