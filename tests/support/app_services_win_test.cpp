// AppServices under Wine with the program's own string table: texts, scratch pieces, the four
// boxes (caption, text, icon, owner, close request), the gate between threads, status panes,
// help and the command line.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "box_watcher_win.h"
#include "services_fixture_win.h"
#include "services_test_window_win.h"
#include "support/app_services_win.h"
#include "support/text_ids.h"

namespace {
constexpr char kOutOfRange[] =
    "A member function of the 'System' object was passed a parameter\nwhich is out of range.  Please write down "
    "the following numbers\nand contact Halvorne Orvik:    [ 61001, 62009 ]";
constexpr char kInvalidParameter[] =
    "A member function of the 'System' object was passed an\ninvalid parameter.  Please write down the "
    "following numbers\nand contact Halvorne Orvik:    [ 61001, 62007 ]";
constexpr char kUnexpected[] = "Unexpected system state or return value.";
constexpr char kExited[] = "The control application has exited.  Quorvex will now shutdown.";

class Services : public ServicesFixture {
protected:
    // Lets posted close requests arrive.
    void Pump() {
        PumpUntil([] { return false; }, 50);
    }
    std::string Pane(int pane) {
        char buffer[128] = "";
        SendMessageA(owner.statusBar.Handle(), SB_GETTEXTA, pane, reinterpret_cast<LPARAM>(buffer));
        return buffer;
    }
};

void ExpectBox(const SeenBox& box, const char* caption, const std::string& text, HWND owner, UINT icon) {
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.owner, owner) << caption;
    EXPECT_NE(box.icon, nullptr) << caption;
    EXPECT_EQ(box.icon, StockIconFor(icon)) << caption;
}

TEST_F(Services, CreationReadsTheProgramPathIntoTheFirstPieceAndBuildsTheHelpPath) {
    char exe[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(nullptr, exe, sizeof(exe)), 4u);
    EXPECT_STREQ(services->Scratch().Area(), exe);
    std::string help(exe);
    ASSERT_EQ(help.substr(help.size() - 4), ".exe");
    help.replace(help.size() - 4, 4, ".HLP");
    ASSERT_NE(services->HelpPath(), nullptr);
    EXPECT_EQ(std::string(services->HelpPath()), help);
    help.replace(help.size() - 4, 4, ".html");
    ASSERT_NE(services->GuidePath(), nullptr);
    EXPECT_EQ(std::string(services->GuidePath()), help);
    char* piece = services->AllocScratch(255);
    EXPECT_EQ(piece - services->Scratch().Area(), 8192);
}

TEST_F(Services, LoadTextGivesTheStringTableTextsExactly) {
    struct Row {
        unsigned id;
        const char* text;
    } rows[] = {
        {61001, "System"},
        {text_id::ObjectFrame, "Frame"},
        {text_id::InvalidParameter, "A member function of the '%s' object was passed an\ninvalid parameter.  Please write down the "
                "following numbers\nand contact Halvorne Orvik:    [ %u, %u ]"},
        {text_id::ControlExitedNotice, kExited},
        {text_id::ReadPipeFormat, "\\\\%s\\pipe\\QuorvexRead%d"},
        {57670, "Displays the table of contents for the on-line documentation. "},
    };
    BoxWatcher watcher;
    for (const Row& row : rows) {
        const char* text = services->LoadText(row.id);
        ASSERT_NE(text, nullptr) << row.id;
        EXPECT_STREQ(text, row.text);
    }
    EXPECT_TRUE(watcher.Stop().empty());
}

TEST_F(Services, MissingTextsAreReportedAsTheirKindAndGiveNull) {
    struct Row {
        unsigned id;
        const char* caption;
        const char* text;
    } rows[] = {
        {100, "Internal Usage Error", kInvalidParameter},  // block 7 does not exist
        // Ids are 16-bit: one whose block number wraps onto 62001's block still has no text.
        {text_id::TitleError + 0x100000, "Internal Usage Error", kInvalidParameter},
        {text_id::TitleError + 1, "Error", kUnexpected},  // absent inside the block of 62001
    };
    for (const Row& row : rows) {
        BoxWatcher watcher;
        EXPECT_EQ(services->LoadText(row.id), nullptr) << row.id;
        const auto boxes = watcher.Stop();
        ASSERT_EQ(boxes.size(), 1u) << row.id;
        ExpectBox(boxes[0], row.caption, row.text, owner.Handle(),
                  boxes[0].caption == "Error" ? MB_ICONEXCLAMATION : MB_ICONHAND);
    }
}

TEST_F(Services, BadScratchSizesRaiseTheInternalUsageBox) {
    struct Row {
        int32_t size;
        bool ok;
    } rows[] = {{8192, true}, {1, true}, {8193, false}, {0, false}, {-1, false}};
    for (const Row& row : rows) {
        BoxWatcher watcher;
        EXPECT_EQ(services->AllocScratch(row.size) != nullptr, row.ok) << row.size;
        const auto boxes = watcher.Stop();
        ASSERT_EQ(boxes.size(), row.ok ? 0u : 1u) << row.size;
        if (!row.ok) ExpectBox(boxes[0], "Internal Usage Error", kOutOfRange, owner.Handle(), MB_ICONHAND);
    }
}

TEST_F(Services, EachBoxHasItsTitleTextIconAndOwner) {
    ServicesTestWindow other;
    ASSERT_TRUE(other.Create());
    using Show = void (*)(AppServices*, HWND, unsigned, unsigned);
    struct Row {
        Show show;
        HWND given;
        unsigned textId;
        unsigned nameId;
        const char* caption;
        const char* text;
        UINT icon;
        int closeRequests;
    } rows[] = {
        {[](AppServices* s, HWND h, unsigned t, unsigned) { s->ShowNotice(h, t); }, nullptr, text_id::ControlExitedNotice, 0, "Notice",
         kExited, MB_ICONINFORMATION, 0},
        // A notice is never formatted.
        {[](AppServices* s, HWND h, unsigned t, unsigned) { s->ShowNotice(h, t); }, other.Handle(), text_id::ReadPipeFormat, 0,
         "Notice", "\\\\%s\\pipe\\QuorvexRead%d", MB_ICONINFORMATION, 0},
        {[](AppServices* s, HWND h, unsigned t, unsigned n) { s->ShowError(h, t, n); }, nullptr, text_id::InsufficientMemory, text_id::ObjectFrame,
         "Error", "Insufficient memory to perform operation.", MB_ICONEXCLAMATION, 0},
        {[](AppServices* s, HWND h, unsigned t, unsigned n) { s->ShowInternalError(h, t, n); }, other.Handle(),
         text_id::InvalidParameter, text_id::ObjectFrame,
         "Internal Usage Error",
         "A member function of the 'Frame' object was passed an\ninvalid parameter.  Please write down the "
         "following numbers\nand contact Halvorne Orvik:    [ 62132, 62007 ]",
         MB_ICONHAND, 0},
        {[](AppServices* s, HWND h, unsigned t, unsigned n) { s->ShowFatalError(h, t, n); }, nullptr, text_id::CommunicationsError, text_id::ObjectFrame,
         "Fatal or Unrecoverable Error", "Communications error, control is no longer available.", MB_ICONHAND, 1},
        {[](AppServices* s, HWND h, unsigned t, unsigned n) { s->ShowFatalError(h, t, n); }, other.Handle(), text_id::OutOfRange,
         61001, "Fatal or Unrecoverable Error", kOutOfRange, MB_ICONHAND, 1},
    };
    for (const Row& row : rows) {
        owner.closeRequests = other.closeRequests = 0;
        BoxWatcher watcher;
        row.show(services, row.given, row.textId, row.nameId);
        const auto boxes = watcher.Stop();
        Pump();
        ASSERT_EQ(boxes.size(), 1u) << row.caption << " " << row.textId;
        const HWND expectedOwner = row.given ? row.given : owner.Handle();
        ExpectBox(boxes[0], row.caption, row.text, expectedOwner, row.icon);
        EXPECT_EQ(boxes[0].thread, GetCurrentThreadId());
        EXPECT_EQ((row.given ? other : owner).closeRequests, row.closeRequests) << row.caption;
        EXPECT_EQ((row.given ? owner : other).closeRequests, 0) << row.caption;
    }
    other.Destroy();
}

TEST_F(Services, OnlyTheFatalBoxIsShownBeforeTheOwnersWindowExists) {
    ServicesTestWindow notYet;  // window not created
    AppServices early(&notYet, &owner.statusBar);
    BoxWatcher watcher;
    early.ShowNotice(nullptr, text_id::ControlExitedNotice);
    early.ShowError(nullptr, text_id::InsufficientMemory, text_id::ObjectFrame);
    early.ShowInternalError(nullptr, text_id::InvalidParameter, text_id::ObjectFrame);
    EXPECT_TRUE(watcher.Seen().empty());
    early.ShowFatalError(nullptr, text_id::CommunicationsError, text_id::ObjectFrame);
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    ExpectBox(boxes[0], "Fatal or Unrecoverable Error", "Communications error, control is no longer available.",
              nullptr, MB_ICONHAND);

    // A given window that is gone counts as missing too.
    ServicesTestWindow gone;
    ASSERT_TRUE(gone.Create());
    const HWND stale = gone.Handle();
    gone.Destroy();
    BoxWatcher second;
    services->ShowNotice(stale, text_id::ControlExitedNotice);
    services->ShowError(stale, text_id::InsufficientMemory, text_id::ObjectFrame);
    services->ShowInternalError(stale, text_id::InvalidParameter, text_id::ObjectFrame);
    EXPECT_TRUE(second.Stop().empty());
}

TEST_F(Services, WithoutOwnerOrStatusBarNothingIsSetUp) {
    struct Row {
        Window* owner;
        StatusBar* bar;
    } rows[] = {{nullptr, &owner.statusBar}, {&owner, nullptr}, {nullptr, nullptr}};
    services->SetStatusText(0, "before");
    for (const Row& row : rows) {
        AppServices bare(row.owner, row.bar);
        BoxWatcher watcher;
        EXPECT_EQ(bare.LoadText(61001), nullptr);
        EXPECT_EQ(bare.AllocScratch(10), nullptr);
        EXPECT_EQ(bare.AllocScratch(0), nullptr);
        bare.ShowNotice(owner.Handle(), text_id::ControlExitedNotice);
        bare.ShowError(owner.Handle(), text_id::InsufficientMemory, text_id::ObjectFrame);
        bare.ShowInternalError(owner.Handle(), text_id::InvalidParameter, text_id::ObjectFrame);
        bare.ShowFatalError(owner.Handle(), text_id::CommunicationsError, text_id::ObjectFrame);
        bare.SetStatusText(0, "bare");
        EXPECT_EQ(bare.ShowHelp(0), 0);
        EXPECT_EQ(bare.HelpPath(), nullptr);
        EXPECT_TRUE(watcher.Stop().empty());
        EXPECT_EQ(Pane(1), "before");
    }
    Pump();
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(Services, StatusTextGoesToPanesZeroToTwoForIndicesMinusOneToOne) {
    services->SetStatusText(-1, "zero");
    services->SetStatusText(0, "LOCAL");
    services->SetStatusText(1, "Connected to device 3");
    struct Row {
        int index;
        const char* text;
        const char* panes[3];
    } rows[] = {
        {2, "ignored", {"zero", "LOCAL", "Connected to device 3"}},
        {-2, "ignored", {"zero", "LOCAL", "Connected to device 3"}},
        {0, nullptr, {"zero", "", "Connected to device 3"}},
        {1, "Connected to device 14", {"zero", "", "Connected to device 14"}},
        {-1, nullptr, {"", "", "Connected to device 14"}},
    };
    for (const Row& row : rows) {
        services->SetStatusText(row.index, row.text);
        for (int pane = 0; pane < 3; ++pane) EXPECT_EQ(Pane(pane), row.panes[pane]) << row.index << " pane " << pane;
    }
}

struct HelpCall {
    int calls = 0;
    HWND window = nullptr;
    std::string path;
    UINT command = 0;
    ULONG_PTR data = 0;
};
HelpCall g_help;
HelpCall g_open;
INT_PTR g_openResult = 0;

BOOL WINAPI RecordHelp(HWND window, LPCSTR path, UINT command, ULONG_PTR data) {
    ++g_help.calls;
    g_help.window = window;
    g_help.path = path ? path : "";
    g_help.command = command;
    g_help.data = data;
    return 7;
}

BOOL WINAPI RecordOpen(SHELLEXECUTEINFOA* open) {
    ++g_open.calls;
    g_open.window = open->hwnd;
    g_open.path = open->lpFile ? open->lpFile : "";
    g_open.command = open->nShow;
    EXPECT_STREQ(open->lpVerb, "open");
    EXPECT_EQ(open->lpParameters, nullptr);
    // The program's own box names the file: the shell shows none.
    EXPECT_TRUE(open->fMask & SEE_MASK_FLAG_NO_UI);
    open->hInstApp = reinterpret_cast<HINSTANCE>(g_openResult);
    return g_openResult > 32;
}

// Which file Help asks to open: the .HLP with WinHelp when one exists beside the program (a
// folder of that name does not count), else the guide with the default program, else an
// error box naming the guide.
TEST_F(Services, HelpOpensTheHlpFileElseTheGuideElseReportsTheGuidesPath) {
    services->SetHelpFunction(RecordHelp);
    services->SetOpenFunction(RecordOpen);
    const std::string hlp = services->HelpPath();
    ASSERT_NE(services->GuidePath(), nullptr);
    const std::string guide = services->GuidePath();
    EXPECT_EQ(guide.substr(0, guide.size() - 5) + ".HLP", hlp);
    EXPECT_EQ(guide.substr(guide.size() - 5), ".html");
    enum Beside { Nothing, HlpFile, HlpFolder };
    struct Row {
        const char* label;
        Beside beside;
        unsigned context;
        INT_PTR openResult;  // ShellExecute's: above 32 is success
        int result;
        UINT helpCommand;  // 0: WinHelp is not called
        bool opensGuide;
        bool reports;
    } rows[] = {
        {"HLP, topics", HlpFile, 0, 42, 7, HELP_FINDER, false, false},
        {"HLP, context", HlpFile, 5, 42, 7, HELP_CONTEXT, false, false},
        {"no HLP, guide opens", Nothing, 0, 42, 1, 0, true, false},
        {"HLP folder, guide opens", HlpFolder, 0, 33, 1, 0, true, false},
        {"no HLP, guide not found", Nothing, 0, SE_ERR_FNF, 0, 0, true, true},
        {"no HLP, no program for it", Nothing, 0, SE_ERR_NOASSOC, 0, 0, true, true},
    };
    static_assert(HELP_FINDER == 0x000B && HELP_CONTEXT == 0x0001, "WinHelp commands");
    for (const Row& row : rows) {
        DeleteFileA(hlp.c_str());
        RemoveDirectoryA(hlp.c_str());
        if (row.beside == HlpFile) {
            HANDLE file = CreateFileA(hlp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE) << row.label;
            CloseHandle(file);
        } else if (row.beside == HlpFolder) {
            ASSERT_TRUE(CreateDirectoryA(hlp.c_str(), nullptr)) << row.label;
        }
        g_help = HelpCall{};
        g_open = HelpCall{};
        g_openResult = row.openResult;
        BoxWatcher watcher;
        EXPECT_EQ(services->ShowHelp(row.context), row.result) << row.label;
        const auto boxes = watcher.Stop();
        EXPECT_EQ(g_help.calls, row.helpCommand ? 1 : 0) << row.label;
        if (row.helpCommand) {
            EXPECT_EQ(g_help.window, owner.Handle()) << row.label;
            EXPECT_EQ(g_help.path, hlp) << row.label;
            EXPECT_EQ(g_help.command, row.helpCommand) << row.label;
            EXPECT_EQ(g_help.data, row.context) << row.label;
        }
        EXPECT_EQ(g_open.calls, row.opensGuide ? 1 : 0) << row.label;
        if (row.opensGuide) {
            EXPECT_EQ(g_open.window, owner.Handle()) << row.label;
            EXPECT_EQ(g_open.path, guide) << row.label;
            EXPECT_EQ(g_open.command, static_cast<UINT>(SW_SHOWNORMAL)) << row.label;
        }
        ASSERT_EQ(boxes.size(), row.reports ? 1u : 0u) << row.label;
        if (row.reports)
            ExpectBox(boxes[0], "Error", "Help could not be opened.  The operator's guide was looked for as:\n" + guide,
                      owner.Handle(), MB_ICONEXCLAMATION);
    }
    DeleteFileA(hlp.c_str());
    RemoveDirectoryA(hlp.c_str());
    // Once the owner's window is gone, help is not opened.
    g_help = HelpCall{};
    g_open = HelpCall{};
    owner.Destroy();
    EXPECT_EQ(services->ShowHelp(0), 0);
    EXPECT_EQ(g_help.calls + g_open.calls, 0);
}

TEST_F(Services, CommandLineAsSplitByTheRuntime) {
    ASSERT_EQ(services->GetArgCount(), __argc);
    ASSERT_GE(__argc, 1);
    BoxWatcher watcher;
    for (int i = 0; i < __argc; ++i) EXPECT_EQ(services->GetArg(i), __argv[i]) << i;
    EXPECT_TRUE(watcher.Seen().empty());
    for (int bad : {-1, __argc, __argc + 1}) EXPECT_EQ(services->GetArg(bad), nullptr) << bad;
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 3u);
    for (const SeenBox& box : boxes) ExpectBox(box, "Internal Usage Error", kOutOfRange, owner.Handle(), MB_ICONHAND);
}

TEST_F(Services, ACallersMissingTextRaisesTheNestedReportInsteadOfItsBox) {
    const struct {
        const char* label;
        std::function<void()> report;
        const char* caption;
        const char* text;
    } rows[] = {
        {"error, absent from its block", [&] { services->ShowError(nullptr, text_id::TitleError + 1, text_id::ObjectFrame); }, "Error", kUnexpected},
        {"internal, no block", [&] { services->ShowInternalError(nullptr, 100, text_id::ObjectFrame); }, "Internal Usage Error",
         kInvalidParameter},
        {"notice", [&] { services->ShowNotice(nullptr, text_id::TitleError + 1); }, "Error", kUnexpected},
        {"fatal", [&] { services->ShowFatalError(nullptr, text_id::TitleError + 1, text_id::ObjectFrame); }, "Error", kUnexpected},
    };
    for (const auto& r : rows) {
        BoxWatcher watcher;
        r.report();
        const auto boxes = watcher.Stop();
        ASSERT_EQ(boxes.size(), 1u) << r.label;
        EXPECT_EQ(boxes[0].caption, r.caption) << r.label;
        EXPECT_EQ(boxes[0].text, r.text) << r.label;
    }
    // The fatal report without its text closes nothing.
    Pump();
    EXPECT_EQ(owner.closeRequests, 0);
}

TEST_F(Services, ASecondThreadsReportIsDroppedWhileABoxIsUp) {
    BoxWatcher watcher({"Notice"});
    bool otherReturnedWhileUp = false;
    std::thread controller([&] {
        if (!watcher.WaitForSeen(1)) return;
        HANDLE returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread second([&] {
            services->ShowError(nullptr, text_id::InsufficientMemory, text_id::ObjectFrame);
            services->ShowInternalError(nullptr, text_id::InvalidParameter, text_id::ObjectFrame);
            services->ShowNotice(nullptr, text_id::ControlExitedNotice);
            SetEvent(returned);
        });
        otherReturnedWhileUp = WaitForSingleObject(returned, 3000) == WAIT_OBJECT_0 && watcher.Seen().size() == 1;
        // Also answers a wrongly shown second notice, so that a fault fails instead of hanging.
        while (watcher.Press("Notice")) Sleep(20);
        second.join();
        CloseHandle(returned);
    });
    services->ShowNotice(nullptr, text_id::ControlExitedNotice);
    controller.join();
    EXPECT_TRUE(otherReturnedWhileUp);
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Notice");
    // The gate is free again for everyone.
    BoxWatcher after;
    PumpedThread later([&] { services->ShowError(owner.Handle(), text_id::InsufficientMemory, text_id::ObjectFrame); });
    EXPECT_TRUE(later.JoinPumping());
    EXPECT_EQ(after.Stop().size(), 1u);
}

TEST_F(Services, AReportFromInsideTheBoxesOwnModalLoopShowsASecondBox) {
    BoxWatcher watcher({"Notice"});
    DWORD raisedOn = 0;
    owner.action = [&] {
        raisedOn = GetCurrentThreadId();
        services->ShowError(nullptr, text_id::InsufficientMemory, text_id::ObjectFrame);
    };
    std::thread controller([&] {
        if (!watcher.WaitForSeen(1)) return;
        PostMessageA(owner.Handle(), ServicesTestWindow::RunAction, 0, 0);
        if (watcher.WaitForSeen(2)) Sleep(50);
        watcher.Press("Notice");
    });
    services->ShowNotice(nullptr, text_id::ControlExitedNotice);
    controller.join();
    const auto boxes = watcher.Stop();
    EXPECT_EQ(raisedOn, GetCurrentThreadId());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Notice");
    EXPECT_EQ(boxes[1].caption, "Error");
    EXPECT_EQ(boxes[1].thread, GetCurrentThreadId());
}

TEST_F(Services, TheFatalBoxIsShownWhileAnotherThreadHoldsTheGateAndClosesTheOwner) {
    BoxWatcher watcher({"Notice"});
    // The reader thread's way in: a notice for the main window, on a thread of its own.
    PumpedThread reader([&] { services->ShowNotice(owner.Handle(), text_id::ControlExitedNotice); });
    ASSERT_TRUE(watcher.WaitForSeen(1));
    services->ShowFatalError(nullptr, text_id::CommunicationsError, text_id::ObjectFrame);
    Pump();
    EXPECT_EQ(owner.closeRequests, 1);
    EXPECT_TRUE(watcher.Press("Notice"));
    EXPECT_TRUE(reader.JoinPumping());
    const auto boxes = watcher.Stop();
    ASSERT_EQ(boxes.size(), 2u);
    ExpectBox(boxes[0], "Notice", kExited, owner.Handle(), MB_ICONINFORMATION);
    EXPECT_NE(boxes[0].thread, GetCurrentThreadId());
    ExpectBox(boxes[1], "Fatal or Unrecoverable Error", "Communications error, control is no longer available.",
              owner.Handle(), MB_ICONHAND);
}

TEST_F(Services, TheReadersNoticeOutlivesTheServicesBeingDestroyed) {
    BoxWatcher watcher({"Notice"});
    AppServices* local = services;
    const HWND window = owner.Handle();
    PumpedThread reader([&] { local->ShowNotice(window, text_id::ControlExitedNotice); });
    ASSERT_TRUE(watcher.WaitForSeen(1));
    // The window thread tears down while the notice is up; its destruction must not wait for it.
    delete services;
    services = nullptr;
    EXPECT_TRUE(watcher.Press("Notice"));
    EXPECT_TRUE(reader.JoinPumping());
    EXPECT_EQ(watcher.Stop().size(), 1u);
}
}  // namespace
