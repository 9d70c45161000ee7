// The press controller as the panel sees it: its output applied to a panel model, driven
// by the command bytes the panel sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_screen.h"
#include "tools/common/commands.h"
#include "tools/sim/controller.h"
#include "tools/sim/screens.h"

namespace {
struct Session {
    Controller controller;
    CommandReader reader;
    PanelScreen panel;
    uint64_t now = 0;
    int seconds = 8 * 3600;
    std::vector<std::string> notes;
    std::string lastBytes;

    Session() { Take(controller.Connect(now, seconds)); }

    void Take(const Controller::Output& out) {
        lastBytes = out.bytes;
        panel.Apply(out.bytes);
        notes.insert(notes.end(), out.notes.begin(), out.notes.end());
    }
    // Bytes as the panel writes them; returns all display bytes they caused.
    std::string Press(const std::string& bytes) {
        std::vector<Command> commands;
        reader.Feed(bytes, commands);
        std::string all;
        for (const Command& c : commands) {
            Take(controller.Handle(c));
            all += lastBytes;
        }
        return all;
    }
    std::string Tick(uint32_t ms) {
        now += ms;
        seconds = 8 * 3600 + static_cast<int>(now / 1000);
        Take(controller.Tick(now, seconds));
        return lastBytes;
    }
    bool Shows(const std::string& text) const { return panel.Contains(text); }
    bool Noted(const std::string& text) const {
        for (const std::string& n : notes) {
            if (n.find(text) != std::string::npos) return true;
        }
        return false;
    }
    // The panel matches what the controller believes it shows.
    void ExpectInSync() const {
        for (int row = 0; row < 20; ++row) EXPECT_EQ(panel.Line(row), controller.Shown().Line(row)) << row;
    }
};

TEST(SimController, ConnectAsksForIdentificationThenDrawsTheMainMenu) {
    Session s;
    EXPECT_EQ(s.panel.Identifies(), 1);
    EXPECT_EQ(s.panel.Clears(), 1);
    EXPECT_EQ(s.panel.Text(0).substr(0, 19), "HP-250 PRESS LINE 3");
    EXPECT_EQ(s.panel.Line(0).substr(32), "08:00:00");
    EXPECT_EQ(s.panel.Text(1), "MAIN MENU");
    EXPECT_EQ(s.panel.Text(4), " > 1  Machine status         STATUS");
    EXPECT_TRUE(s.Noted("screen MAIN sent"));
    EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Pending);
    s.ExpectInSync();
}

TEST(SimController, IdentificationAnswerIsChecked) {
    {
        Session s;
        s.Press("PVFDPK");
        EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Confirmed);
        EXPECT_TRUE(s.Noted("identification answer \"VFD\": ok"));
        EXPECT_EQ(s.controller.Current(), ScreenId::Main);
    }
    {
        Session s;
        s.Press("PPKVFx");
        EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Failed);
        EXPECT_TRUE(s.Noted("identification answer wrong: \"VF\""));
    }
    {
        Session s;
        s.Tick(Controller::IdentityTimeoutMs - 1);
        EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Pending);
        s.Tick(1);
        EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Failed);
        EXPECT_TRUE(s.Noted("no identification answer within 3000 ms"));
    }
}

TEST(SimController, MenuEntriesOpenByClickOrCursorAndEnter) {
    struct Case {
        const char* keys;
        ScreenId screen;
        const char* title;
    };
    const Case cases[] = {
        {"p5\n", ScreenId::Status, "MACHINE STATUS"},
        {"p6\n", ScreenId::Params, "PARAMETERS"},
        {"p7\n", ScreenId::Log, "PRODUCTION LOG"},
        {"p8\n", ScreenId::Alarms, "ALARM HISTORY"},
        {"p9\n", ScreenId::Shutdown, "SHUT DOWN"},
        {"p1\n", ScreenId::Main, "MAIN MENU"},        // a line without an entry
        {"p20\n", ScreenId::Main, "MAIN MENU"},
        {"\n", ScreenId::Status, "MACHINE STATUS"},
        {"J\n", ScreenId::Params, "PARAMETERS"},
        {"JJJJJJJJ\n", ScreenId::Shutdown, "SHUT DOWN"},  // stops at the last entry
        {"JJKKKK\n", ScreenId::Status, "MACHINE STATUS"},
        {"PPK\n", ScreenId::Status, "MACHINE STATUS"},     // the panel's start-up keys change nothing
    };
    for (const Case& c : cases) {
        Session s;
        s.Press(c.keys);
        EXPECT_EQ(s.controller.Current(), c.screen) << c.keys;
        EXPECT_EQ(s.panel.Text(1).substr(0, std::string(c.title).size()), c.title) << c.keys;
        s.ExpectInSync();
    }
}

TEST(SimController, CursorMovesOnlyTheMarker) {
    Session s;
    std::string bytes = s.Press("J");
    EXPECT_EQ(s.panel.Line(4)[1], ' ');
    EXPECT_EQ(s.panel.Line(5)[1], '>');
    EXPECT_EQ(bytes, "\x84\x81 \x85\x81>");
    EXPECT_EQ(s.panel.Clears(), 1);
}

TEST(SimController, BranchToByNameAndExitBackALevel) {
    struct Case {
        const char* keys;
        ScreenId screen;
    };
    const Case cases[] = {
        {"qSTATUS\n", ScreenId::Status}, {"qparams\n", ScreenId::Params}, {"q list \n", ScreenId::Log},
        {"qALARMS\n", ScreenId::Alarms}, {"qShutdown\n", ScreenId::Shutdown}, {"qSTATUS\nqMAIN\n", ScreenId::Main},
        {"qSTATUS\nP", ScreenId::Main},  {"qLIST\nPP", ScreenId::Main},      {"P", ScreenId::Main},
        {"qNOPE\n", ScreenId::Main},
    };
    for (const Case& c : cases) {
        Session s;
        s.Press(c.keys);
        EXPECT_EQ(s.controller.Current(), c.screen) << c.keys;
    }
    Session s;
    s.Press("qNOPE\n");
    EXPECT_EQ(s.panel.Text(18).substr(0, 14), "No screen NOPE");
    s.Press("K");
    EXPECT_EQ(s.panel.Text(18), "");
}

TEST(SimController, StatusValuesChangeAndOnlyChangedFieldsAreSent) {
    Session s;
    s.Press("qSTATUS\n");
    EXPECT_EQ(s.panel.Text(4).substr(0, 13), " Ram position");
    std::string before = s.panel.Line(4);
    int clears = s.panel.Clears();
    size_t total = 0;
    int changed = 0;
    for (int i = 0; i < 20; ++i) {
        std::string bytes = s.Tick(250);
        total += bytes.size();
        changed += !bytes.empty();
        EXPECT_EQ(bytes.find('\x01'), std::string::npos);
        s.ExpectInSync();
    }
    EXPECT_EQ(s.panel.Clears(), clears);
    EXPECT_GE(changed, 15);
    EXPECT_LT(total / 20, 100u);  // a few fields, not a screen (a screen is several hundred bytes)
    EXPECT_NE(s.panel.Line(4), before);
    EXPECT_EQ(s.panel.Line(0).substr(32), "08:00:05");
    EXPECT_EQ(s.panel.Line(4).substr(27, 2), "mm");  // the labels stay put
}

TEST(SimController, PressCycleMakesParts) {
    Session s;
    s.Press("qSTATUS\n");
    std::string parts = s.panel.Line(13).substr(18, 8);
    for (int i = 0; i < 24; ++i) s.Tick(250);  // 6 s: more than one stroke at 12 /min
    EXPECT_NE(s.panel.Line(13).substr(18, 8), parts);
    bool seenPressing = false;
    for (int i = 0; i < 40; ++i) {
        s.Tick(125);
        seenPressing |= s.panel.Line(3).substr(18, 8) == "PRESSING";
    }
    EXPECT_TRUE(seenPressing);
}

TEST(SimController, AdjustStepsByItsSpeedAndStopsAtTheLimits) {
    struct Case {
        const char* keys;
        const char* value;  // force setpoint on the panel
    };
    const Case cases[] = {
        {"Z", "200.1"}, {"X", "199.9"}, {"A", "201.0"}, {"S", "199.0"}, {"Q", "210.0"}, {"W", "190.0"},
        {"QQQQQQQ", "250.0"}, {"WWWWWWWWWWWWWWWWW", "50.0"}, {"QQQQQQZ", "250.0"},
    };
    for (const Case& c : cases) {
        Session s;
        s.Press("qPARAMS\n");
        s.Press(c.keys);
        EXPECT_EQ(s.panel.Line(4).substr(21, 8), std::string(8 - std::string(c.value).size(), ' ') + c.value)
            << c.keys;
        s.ExpectInSync();
    }
    Session s;
    s.Press("qPARAMS\nQ");
    EXPECT_EQ(s.panel.Text(18), "Force setpoint +10.0 kN (fast)");
    s.Press("QQQQQQ");
    EXPECT_EQ(s.panel.Text(18), "Force setpoint at maximum");
}

TEST(SimController, TypedValuesAreCheckedAgainstTheParameter) {
    struct Case {
        const char* keys;  // after selecting the parameter's line
        int line;          // display line of the parameter (1-based)
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {"180\n", 5, "180.0", "Force setpoint = 180.0 kN"},
        {"180.5\n", 5, "180.5", "Force setpoint = 180.5 kN"},
        {"180.55\n", 5, "200.0", "Too many decimals"},
        {"300\n", 5, "200.0", "Out of range 50.0 .. 250.0 kN"},
        {"1..2\n", 5, "200.0", "Not a number"},
        {"\n", 5, "200.0", "Type a value, then ENTER"},
        {"1.2-\n", 11, "-1.20", "Ram offset = -1.20 mm"},
        {"-\n", 11, "-0.25", "Not a number"},
        {"3--\n", 11, "3.00", "Ram offset = 3.00 mm"},
        {"6-\n", 11, "-0.25", "Out of range -5.00 .. 5.00 mm"},
        {"25\n", 10, "25", "Stroke rate = 25 /min"},
        {"2.5\n", 10, "12", "Too many decimals"},
    };
    for (const Case& c : cases) {
        Session s;
        s.Press("qPARAMS\np" + std::to_string(c.line) + "\n");
        s.Press(c.keys);
        std::string value = c.value;
        EXPECT_EQ(s.panel.Line(c.line - 1).substr(21, 8), std::string(8 - value.size(), ' ') + value) << c.keys;
        EXPECT_EQ(s.panel.Text(18), c.message) << c.keys;
    }
}

TEST(SimController, EntryIsShownAndExitCancelsItBeforeLeaving) {
    Session s;
    s.Press("qPARAMS\n12.5");
    EXPECT_EQ(s.panel.Line(16).substr(10, 6), "12.5_ ");
    s.Press("-");
    EXPECT_EQ(s.panel.Line(16).substr(10, 6), "-12.5_");
    s.Press("P");
    EXPECT_EQ(s.controller.Current(), ScreenId::Params);
    EXPECT_EQ(s.panel.Text(18), "Entry cancelled");
    EXPECT_EQ(s.panel.Text(16), " Entry");
    s.Press("123456789");
    EXPECT_EQ(s.panel.Line(16).substr(10, 10), "12345678_ ");
    s.Press("J");  // another parameter drops the entry
    EXPECT_EQ(s.panel.Text(16), " Entry");
    s.Press("P");
    EXPECT_EQ(s.controller.Current(), ScreenId::Main);
}

TEST(SimController, TheShownSpeedIsTheLastAdjustsNotTheLatchBytes) {
    struct Case {
        const char* keys;
        const char* shown;  // title row from column 29
    };
    const Case cases[] = {
        {"", "           "}, {"B", "           "}, {"C", "           "}, {"QC", "FAST       "}, {"ZB", "      SLOW "},
        {"QA", "           "}, {"Z", "      SLOW "}, {"Q", "FAST       "}, {"CW", "FAST       "}, {"XBBB", "      SLOW "},
    };
    for (const Case& c : cases) {
        Session s;
        s.Press(std::string("qPARAMS\n") + c.keys);
        EXPECT_EQ(s.panel.Line(1).substr(29), c.shown) << c.keys;
    }
}

TEST(SimController, ParameterSelectionByCursorAndClick) {
    Session s;
    s.Press("qPARAMS\nJJ");
    EXPECT_EQ(s.controller.SelectedParam(), ParamId::TopPosition);
    EXPECT_EQ(s.panel.Line(6)[1], '>');
    EXPECT_EQ(s.panel.Text(14), " Range    150.0 .. 400.0 mm");
    s.Press("p11\n");
    EXPECT_EQ(s.controller.SelectedParam(), ParamId::RamOffset);
    s.Press("p3\n");  // not a parameter line
    EXPECT_EQ(s.controller.SelectedParam(), ParamId::RamOffset);
    s.Press("JJJJJ");
    EXPECT_EQ(s.controller.SelectedParam(), ParamId::OilTempLimit);
    s.Press("KKKKKKKKKKKK");
    EXPECT_EQ(s.controller.SelectedParam(), ParamId::ForceSetpoint);
}

TEST(SimController, ListsScrollByOneLineWithinTheirEnds) {
    Session s;
    s.Press("qLIST\n");
    EXPECT_EQ(s.panel.Line(1), "PRODUCTION LOG" + std::string(15, ' ') + "1-14 of 120");
    EXPECT_EQ(s.panel.Text(4).substr(0, 14), " 0001 06:00:00");
    s.Press("o");
    EXPECT_EQ(s.panel.Text(18), "Top of list");
    std::string bytes = s.Press("O");
    EXPECT_EQ(bytes.find('\x01'), std::string::npos);
    EXPECT_EQ(s.panel.Text(4).substr(0, 5), " 0002");
    EXPECT_EQ(s.panel.Text(17).substr(0, 5), " 0015");
    for (int i = 0; i < 200; ++i) s.Press("O");
    EXPECT_EQ(s.controller.ListTop(ScreenId::Log), 120 - 14);
    EXPECT_EQ(s.panel.Text(17).substr(0, 5), " 0120");
    EXPECT_EQ(s.panel.Text(18), "End of list");
    s.Press("K");
    EXPECT_EQ(s.controller.ListTop(ScreenId::Log), 105);
    s.ExpectInSync();

    s.Press("qALARMS\n");
    EXPECT_EQ(s.panel.Line(1), "ALARM HISTORY" + std::string(17, ' ') + "1-14 of 22");
    EXPECT_EQ(s.panel.Text(4), " 03-11 06:02 E101  Light curtain broken");
    s.Press("qLIST\n");
    EXPECT_EQ(s.controller.ListTop(ScreenId::Log), 105);  // each list keeps its place
}

TEST(SimController, ShutDownSendsTheExitNoticeAndFinishes) {
    Session s;
    s.Press("qSHUTDOWN\nP");
    EXPECT_EQ(s.controller.Current(), ScreenId::Main);
    EXPECT_FALSE(s.controller.Finished());
    std::string bytes = s.Press("p9\n\n");
    EXPECT_TRUE(s.controller.Finished());
    EXPECT_TRUE(s.panel.Exited());
    EXPECT_EQ(bytes.back(), '\x16');
    EXPECT_TRUE(s.Shows("CONTROLLER STOPPED"));
    EXPECT_EQ(s.Press("qMAIN\n"), "");
    EXPECT_EQ(s.Tick(250), "");
}

TEST(SimController, ANewPanelStartsAtTheMainMenuWithAWholeScreen) {
    Session s;
    s.Press("qLIST\nOOO");
    PanelScreen fresh;
    Controller::Output out = s.controller.Connect(9000, 9 * 3600);
    fresh.Apply(out.bytes);
    EXPECT_EQ(s.controller.Current(), ScreenId::Main);
    EXPECT_EQ(fresh.Identifies(), 1);
    EXPECT_EQ(fresh.Text(1), "MAIN MENU");
    EXPECT_EQ(fresh.Line(0).substr(32), "09:00:00");
    EXPECT_EQ(s.controller.IdentityState(), Controller::Identity::Pending);
}

TEST(SimController, ServAndUnknownBytesAreAnsweredWithoutHarm) {
    Session s;
    s.Press(":");
    EXPECT_EQ(s.panel.Text(18), "Service mode needs the key switch");
    s.Press("\r");
    EXPECT_TRUE(s.Noted("not understood: \"\\r\""));
    EXPECT_EQ(s.controller.Current(), ScreenId::Main);
}

TEST(SimController, EveryScreenFitsTheDisplay) {
    for (int id = 0; id < static_cast<int>(ScreenId::Count); ++id) {
        const ScreenDef& screen = Screen(static_cast<ScreenId>(id));
        EXPECT_EQ(screen.id, static_cast<ScreenId>(id));
        EXPECT_EQ(FindScreen(screen.name), &screen);
        EXPECT_LE(std::string(screen.title).size(), 24u) << screen.name;
        EXPECT_LE(std::string(screen.hints).size(), 40u) << screen.name;
        for (const Label& l : screen.labels) {
            EXPECT_GT(l.row, layout::RuleRow) << l.text;
            EXPECT_LT(l.row, layout::MessageRow) << l.text;
            EXPECT_LE(l.column + std::string(l.text).size(), 40u) << l.text;
        }
        for (const ValueField& f : screen.values) {
            EXPECT_LE(f.column + f.width, 40) << screen.name;
            for (const Label& l : screen.labels) {
                bool apart = l.row != f.row || l.column + static_cast<int>(std::string(l.text).size()) <= f.column ||
                             f.column + f.width <= l.column;
                EXPECT_TRUE(apart) << screen.name << ": " << l.text;
            }
        }
        for (int i = 0; i < ListSize(screen.list); ++i) EXPECT_LE(1 + ListLine(screen.list, i).size(), 40u);
    }
    EXPECT_EQ(ScreenNames(), "MAIN STATUS PARAMS LIST ALARMS SHUTDOWN");
}
}  // namespace
