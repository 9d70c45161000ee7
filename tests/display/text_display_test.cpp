// Behaviour of the display buffer: cursor rules, clears, text storage, repaints, the exit.
#include "display/text_display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "display/repaint_gate.h"
#include "display/repaint_pacer.h"
#include "tests/display/fake_owner.h"

namespace ev = display_event;

namespace {
constexpr int kLines = screen::Lines;

struct Lines {
    char cells[kLines][screen::Columns + 1];
};

class TextDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        display.SetOwner(&owner);
    }

    std::string Line(int i) {
        Lines l;
        display.Snapshot(l.cells);
        EXPECT_EQ(l.cells[i][screen::Columns], '\0') << "line " << i;
        return std::string(l.cells[i], screen::Columns);
    }

    void Text(const std::string& s) {
        EXPECT_EQ(display.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(s.c_str()), static_cast<int32_t>(s.size())), 1);
    }

    void FillScreen(char c) {
        for (int row = 0; row < kLines; ++row) {
            display.SetCursor(row, 0);
            Text(std::string(screen::Columns, c));
        }
        owner.repaints.clear();
    }

    void ExpectCursor(int32_t row, int32_t column) {
        EXPECT_EQ(display.CursorRow(), row);
        EXPECT_EQ(display.CursorColumn(), column);
    }

    static std::string Blank() { return std::string(screen::Columns, ' '); }

    FakeOwner owner;
    TextDisplay display;
};

TEST_F(TextDisplayTest, StartsBlankWithTheCursorHome) {
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), Blank());
    ExpectCursor(0, 0);
}

TEST_F(TextDisplayTest, ClearScreenBlanksEveryLineAndRepaintsEachOnce) {
    FillScreen('x');
    display.SetCursor(7, 33);
    EXPECT_EQ(display.ApplyEvent(ev::Clear, ev::ClearScreen, 0), 1);
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), Blank());
    ExpectCursor(0, 0);
    ASSERT_EQ(owner.repaints.size(), 20u);
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(owner.repaints[i], i) << i;
}

TEST_F(TextDisplayTest, ClearLineBlanksOnlyThatLine) {
    FillScreen('x');
    display.SetCursor(9, 17);
    display.ApplyEvent(ev::Clear, ev::ClearLine, 1);
    EXPECT_EQ(Line(1), Blank());
    EXPECT_EQ(Line(0), std::string(40, 'x'));
    EXPECT_EQ(Line(2), std::string(40, 'x'));
    ExpectCursor(1, 0);
    ASSERT_EQ(owner.repaints.size(), 1u);
    EXPECT_EQ(owner.repaints[0], 1);
}

TEST_F(TextDisplayTest, ClearLineOutsideTheDisplayOnlyResetsTheColumn) {
    for (int32_t n : {-1, 20, 1000}) {
        FillScreen('y');
        display.SetCursor(6, 12);
        display.ApplyEvent(ev::Clear, ev::ClearLine, n);
        for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), std::string(40, 'y')) << n;
        ExpectCursor(6, 0);
        EXPECT_TRUE(owner.repaints.empty()) << n;
    }
}

TEST_F(TextDisplayTest, ClearCursorLineBlanksTheCursorRow) {
    FillScreen('z');
    display.SetCursor(13, 30);
    display.ApplyEvent(ev::Clear, ev::ClearCursorLine, 0);
    EXPECT_EQ(Line(13), Blank());
    EXPECT_EQ(Line(12), std::string(40, 'z'));
    ExpectCursor(13, 0);
    ASSERT_EQ(owner.repaints.size(), 1u);
    EXPECT_EQ(owner.repaints[0], 13);
}

TEST_F(TextDisplayTest, CursorMovesFollowTheRowLimits) {
    struct Case {
        intptr_t kind;
        int32_t row, column;
        int32_t wantRow, wantColumn;
    };
    const Case cases[] = {
        {ev::NextLine, 0, 5, 1, 0},   {ev::NextLine, 18, 7, 19, 0}, {ev::NextLine, 19, 7, 19, 0},
        {ev::NextLine, 19, 45, 19, 0}, {ev::LineStart, 4, 22, 4, 0}, {ev::LineStart, 19, 127, 19, 0},
    };
    for (const Case& c : cases) {
        display.SetCursor(c.row, 0);
        display.SetCursor(c.row, c.column);
        EXPECT_EQ(display.ApplyEvent(ev::CursorMove, c.kind, 0), 1);
        EXPECT_EQ(display.CursorRow(), c.wantRow) << c.kind << " from " << c.row;
        EXPECT_EQ(display.CursorColumn(), c.wantColumn) << c.kind << " from " << c.row;
    }
    EXPECT_TRUE(owner.repaints.empty());
}

TEST_F(TextDisplayTest, CursorAddressMovesTheRowOnlyForACell) {
    struct Case {
        int32_t row, column;
        int32_t wantRow, wantColumn;
    };
    const Case cases[] = {
        {5, 10, 5, 10}, {19, 39, 19, 39}, {0, 0, 0, 0},   {25, 5, 3, 5},     {5, 45, 3, 45},
        {0, 40, 3, 40}, {20, 0, 3, 0},    {-1, 2, 3, 2},  {113, 127, 3, 127}, {4, -1, 3, -1},
    };
    for (const Case& c : cases) {
        display.SetCursor(3, 1);
        display.ApplyEvent(ev::CursorAddress, c.row, c.column);
        EXPECT_EQ(display.CursorRow(), c.wantRow) << c.row << "," << c.column;
        EXPECT_EQ(display.CursorColumn(), c.wantColumn) << c.row << "," << c.column;
    }
}

TEST_F(TextDisplayTest, TextAfterAnOffScreenRowGoesToTheOldRow) {
    display.SetCursor(8, 0);
    display.ApplyEvent(ev::CursorAddress, 25, 5);
    Text("HELLO");
    EXPECT_EQ(Line(8), "     HELLO" + std::string(30, ' '));
    ExpectCursor(8, 10);
}

TEST_F(TextDisplayTest, TextPastTheLineEndIsDroppedButRepainted) {
    display.SetCursor(2, 0);
    display.ApplyEvent(ev::CursorAddress, 5, 45);
    Text("LOST");
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), Blank());
    ExpectCursor(2, 45);
    ASSERT_EQ(owner.repaints.size(), 1u);
    EXPECT_EQ(owner.repaints[0], 2);
}

TEST_F(TextDisplayTest, TextStopsAtTheLastCellAndStaysStopped) {
    display.SetCursor(4, 38);
    Text("ABCDE");
    EXPECT_EQ(Line(4), std::string(38, ' ') + "AB");
    ExpectCursor(4, 40);
    Text("F");
    EXPECT_EQ(Line(4), std::string(38, ' ') + "AB");
    EXPECT_EQ(Line(5), Blank());
    ExpectCursor(4, 40);
    EXPECT_EQ(owner.repaints.size(), 2u);
    display.ApplyEvent(ev::CursorMove, ev::LineStart, 0);
    Text("G");
    EXPECT_EQ(Line(4), "G" + std::string(37, ' ') + "AB");
}

TEST_F(TextDisplayTest, UnprintableBytesShowAsBlanksAndTakeACell) {
    const char bytes[] = {'A', 0x7F, 'B', 0x01, 'C', static_cast<char>(0x80), 'D', static_cast<char>(0xFF), 'E', 0};
    display.SetCursor(0, 0);
    display.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(bytes), 9);
    EXPECT_EQ(Line(0), "A B C D E" + std::string(31, ' '));
    ExpectCursor(0, 9);
}

TEST_F(TextDisplayTest, TextIsTakenByCountNotByNul) {
    const char bytes[] = {'A', 0, 'B', 'C'};
    display.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(bytes), 3);
    EXPECT_EQ(Line(0), "A B" + std::string(37, ' '));
    ExpectCursor(0, 3);
}

TEST_F(TextDisplayTest, EmptyTextStillRepaintsTheCursorRow) {
    display.SetCursor(11, 3);
    display.ApplyEvent(ev::Text, reinterpret_cast<intptr_t>(""), 0);
    EXPECT_EQ(Line(11), Blank());
    ExpectCursor(11, 3);
    ASSERT_EQ(owner.repaints.size(), 1u);
    EXPECT_EQ(owner.repaints[0], 11);
}

TEST_F(TextDisplayTest, WithoutAFontTextChangesNothingAndRepaintsNothing) {
    owner.hasFont = false;
    display.SetCursor(1, 1);
    Text("ABC");
    EXPECT_EQ(Line(1), Blank());
    ExpectCursor(1, 1);
    EXPECT_TRUE(owner.repaints.empty());
}

TEST_F(TextDisplayTest, WithoutAnOwnerClearsWorkAndTextIsDropped) {
    FillScreen('q');
    display.SetOwner(nullptr);
    display.SetCursor(3, 3);
    Text("ABC");
    EXPECT_EQ(Line(3), std::string(40, 'q'));
    display.ApplyEvent(ev::Clear, ev::ClearScreen, 0);
    EXPECT_EQ(Line(3), Blank());
    ExpectCursor(0, 0);
    EXPECT_EQ(display.ApplyEvent(ev::ControlExited, 0, 0), 1);
    EXPECT_TRUE(owner.repaints.empty());
    EXPECT_EQ(owner.exits, 0);
}

TEST_F(TextDisplayTest, EventsWithoutAnEffectChangeNothing) {
    struct Case {
        uint32_t type;
        intptr_t kind;
    };
    const Case cases[] = {
        {ev::Signal, ev::SignalShiftIn}, {ev::Signal, ev::SignalShiftOut}, {ev::Signal, ev::SignalBell},
        {5, 0},  {6, ev::ClearScreen}, {7, 0}, {8, ev::NextLine}, {10, 0}, {0xFFFFFFFFu, ev::ClearScreen},
        {ev::Clear, ev::NextLine},       {ev::Clear, 0},                    {ev::CursorMove, ev::ClearScreen},
        {ev::CursorMove, 0},
    };
    FillScreen('w');
    display.SetCursor(6, 7);
    for (const Case& c : cases) {
        EXPECT_EQ(display.ApplyEvent(c.type, c.kind, 3), 1) << c.type << "/" << c.kind;
        ExpectCursor(6, 7);
    }
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), std::string(40, 'w'));
    EXPECT_TRUE(owner.repaints.empty());
    EXPECT_EQ(owner.exits, 0);
}

TEST_F(TextDisplayTest, DirectOperationsMatchTheirEvents) {
    display.SetCursor(7, 2);
    display.WriteText("XYZ", 3);
    EXPECT_EQ(Line(7), "  XYZ" + std::string(35, ' '));
    ExpectCursor(7, 5);
    display.BlankLine(7);
    EXPECT_EQ(Line(7), Blank());
    ExpectCursor(7, 0);
    display.SetCursor(9, 9);
    display.BlankLine(20);
    ExpectCursor(9, 9);
    ASSERT_EQ(owner.repaints.size(), 2u);
    EXPECT_EQ(owner.repaints[1], 7);
}

TEST_F(TextDisplayTest, BlankAllKeepsTheCursorAndRequestsNoRepaint) {
    FillScreen('k');
    display.SetCursor(5, 6);
    display.BlankAll();
    for (int i = 0; i < kLines; ++i) EXPECT_EQ(Line(i), Blank());
    ExpectCursor(5, 6);
    EXPECT_TRUE(owner.repaints.empty());
}

// Runs Snapshot on another thread: it finishes only when the display lock is free.
bool LockIsFree(const TextDisplay& d) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> f = done->get_future();
    std::thread([&d, done] {
        Lines l;
        d.Snapshot(l.cells);
        done->set_value();
    }).detach();
    return f.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
}

TEST(TextDisplayExit, ReachesTheOwnerWithoutTheLockAndTouchesNothingAfterwards) {
    FakeOwner owner;
    auto* display = new TextDisplay();
    display->SetOwner(&owner);
    display->SetCursor(4, 9);
    bool lockWasFree = false;
    int32_t rowSeen = -1;
    owner.onExit = [&] {
        lockWasFree = LockIsFree(*display);
        rowSeen = display->CursorRow();
        // The real owner's window may be destroyed here: any later use shows under ASan.
        delete display;
    };
    EXPECT_EQ(display->ApplyEvent(ev::ControlExited, 0, 0), 1);
    EXPECT_EQ(owner.exits, 1);
    EXPECT_TRUE(lockWasFree);
    EXPECT_EQ(rowSeen, 4);
    EXPECT_TRUE(owner.repaints.empty());
}

TEST(RepaintGate, AsksThePlatformOncePerLineUntilAPaintBegins) {
    enum Step { Request, Serve };
    struct Row {
        Step step;
        uint32_t lines;
        uint32_t asks;  // for Request: the lines the platform must be asked for
    };
    constexpr uint32_t L0 = 1u, L3 = 1u << 3, L4 = 1u << 4, L19 = 1u << 19;
    const Row rows[] = {
        {Request, L3, L3},      {Request, L3, 0},       {Request, L3 | L4, L4}, {Request, L19, L19},
        {Request, L19 | L3, 0}, {Serve, 0, 0},          {Request, L3 | L4, L3 | L4}, {Request, L3, 0},
        {Serve, 0, 0},          {Serve, 0, 0},          {Request, L0, L0},
    };
    RepaintGate gate;
    int n = 0;
    for (const Row& r : rows) {
        ++n;
        if (r.step == Serve) {
            gate.BeginServe();
            continue;
        }
        EXPECT_EQ(gate.Request(r.lines), r.asks) << "row " << n;
    }
}

TEST(RepaintPacer, KeepsLinesChangedSoonAfterAPaintForOneTimerAndAsksAtOnceAfterAQuietSpell) {
    using Ask = RepaintPacer::Ask;
    enum Step { Request, Paint, Timer, Delay };
    struct Row {
        Step step;
        uint64_t atMs;
        uint32_t lines;
        uint32_t want;  // Request: the Ask; Timer: the kept lines; Delay: the timer's wait
    };
    constexpr uint32_t kNow = static_cast<uint32_t>(Ask::Now), kLater = static_cast<uint32_t>(Ask::Later),
                       kArm = static_cast<uint32_t>(Ask::LaterAndArm);
    constexpr uint32_t L0 = 1u, L3 = 1u << 3, L5 = 1u << 5, L7 = 1u << 7, L19 = 1u << 19;
    const Row rows[] = {
        {Request, 5, L3, kNow},  // never painted yet
        {Paint, 100, 0, 0},      {Request, 101, L3, kArm}, {Request, 102, L7 | L3, kLater}, {Request, 103, L3, kLater},
        {Delay, 104, 0, 12},     {Timer, 116, 0, L3 | L7}, {Timer, 116, 0, 0},              {Request, 115, L19, kArm},
        {Delay, 130, 0, 1},      {Request, 116, L0, kNow}, {Paint, 120, 0, 0},              {Request, 121, L0, kLater},
        {Timer, 136, 0, L19 | L0}, {Request, 137, L5, kNow},
    };
    RepaintPacer pacer;
    int n = 0;
    for (const Row& r : rows) {
        ++n;
        switch (r.step) {
            case Request:
                EXPECT_EQ(static_cast<uint32_t>(pacer.Request(r.lines, r.atMs)), r.want) << "row " << n;
                break;
            case Paint:
                pacer.Painted(r.atMs);
                break;
            case Timer:
                EXPECT_EQ(pacer.TakeKept(), r.want) << "row " << n;
                break;
            case Delay:
                EXPECT_EQ(pacer.ArmDelayMs(r.atMs), r.want) << "row " << n;
                break;
        }
    }
}
}  // namespace
