// The window framework: table dispatch and chaining, command ranges, the deferred final
// message, modal dialogs with data exchange, and ending open dialogs when their owner closes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "protocol/key_ids.h"
#include "support/dialog_win.h"
#include "support/window_win.h"
#include "watchdog_win.h"

namespace {
constexpr UINT kBaseOnly = WM_APP + 1;
constexpr UINT kBoth = WM_APP + 2;
constexpr UINT kDerivedOnly = WM_APP + 3;
constexpr UINT kDestroyInside = WM_APP + 4;
constexpr UINT kUnhandled = WM_APP + 9;

std::vector<std::string> events;

class BaseWindow : public Window {
    QV_DECLARE_MESSAGE_MAP()
public:
    bool Create() {
        if (!IsClassRegistered("FrameworkTestWindow")) {
            WNDCLASSEXA wc = {};
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "FrameworkTestWindow";
            RegisterClass(wc);
        }
        return CreateEx(0, "FrameworkTestWindow", "t", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr);
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM) { return 10; }
    LRESULT OnBothBase(WPARAM, LPARAM) { return 11; }
};

class DerivedWindow : public BaseWindow {
    QV_DECLARE_MESSAGE_MAP()
public:
    bool* finalised = nullptr;
    int commands = 0;
    LRESULT OnBothDerived(WPARAM, LPARAM) { return 21; }
    LRESULT OnDerivedOnly(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l); }
    LRESULT OnKeyCommand(WPARAM, LPARAM) {
        ++commands;
        return 0;
    }
    LRESULT OnDestroyInside(WPARAM, LPARAM) {
        DestroyWindow(hwnd_);
        // Still inside the handler: the object must not be finalised yet.
        events.push_back(*finalised ? "finalised-too-early" : "handler-after-destroy");
        return 5;
    }

protected:
    void OnFinalMessage() override {
        *finalised = true;
        events.push_back("final");
    }
};

QV_BEGIN_MESSAGE_MAP(BaseWindow, Window)
QV_ON_MESSAGE(BaseWindow, kBaseOnly, OnBaseOnly)
QV_ON_MESSAGE(BaseWindow, kBoth, OnBothBase)
QV_END_MESSAGE_MAP()

QV_BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
QV_ON_MESSAGE(DerivedWindow, kBoth, OnBothDerived)
QV_ON_MESSAGE(DerivedWindow, kDerivedOnly, OnDerivedOnly)
QV_ON_MESSAGE(DerivedWindow, kDestroyInside, OnDestroyInside)
QV_ON_COMMAND_RANGE(DerivedWindow, KeyId::LineUp, KeyId::Exit, BN_CLICKED, OnKeyCommand)
QV_END_MESSAGE_MAP()

TEST(WindowFramework, DispatchesThroughTheClassTableAndChainsToTheBase) {
    bool finalised = false;
    DerivedWindow w;
    w.finalised = &finalised;
    ASSERT_TRUE(w.Create());
    EXPECT_EQ(Window::FromHandle(w.Handle()), &w);
    struct Row {
        UINT message;
        WPARAM w;
        LPARAM l;
        LRESULT expected;
    };
    const Row rows[] = {
        {kBaseOnly, 0, 0, 10},    // only the base handles it
        {kBoth, 0, 0, 21},        // the derived entry wins
        {kDerivedOnly, 3, 4, 7},  // parameters arrive
        {kUnhandled, 0, 0, 0},    // default window procedure
    };
    for (const Row& r : rows) EXPECT_EQ(SendMessageA(w.Handle(), r.message, r.w, r.l), r.expected) << r.message;
    w.Destroy();
    EXPECT_TRUE(finalised);
}

TEST(WindowFramework, CommandRangeMatchesIdsAndNotificationCode) {
    bool finalised = false;
    DerivedWindow w;
    w.finalised = &finalised;
    ASSERT_TRUE(w.Create());
    struct Row {
        WORD id;
        WORD code;
        int counted;
    };
    const Row rows[] = {{KeyId::LineUp, BN_CLICKED, 1}, {KeyId::Exit, BN_CLICKED, 1}, {KeyId::LineUp - 1, BN_CLICKED, 0},
                        {KeyId::Exit + 1, BN_CLICKED, 0}, {KeyId::Digit0, BN_DOUBLECLICKED, 0}};
    for (const Row& r : rows) {
        w.commands = 0;
        SendMessageA(w.Handle(), WM_COMMAND, MAKEWPARAM(r.id, r.code), 0);
        EXPECT_EQ(w.commands, r.counted) << r.id << "/" << r.code;
    }
    w.Destroy();
}

TEST(WindowFramework, FinalMessageWaitsUntilTheOutermostHandlerReturns) {
    events.clear();
    bool finalised = false;
    DerivedWindow w;
    w.finalised = &finalised;
    ASSERT_TRUE(w.Create());
    HWND h = w.Handle();
    EXPECT_EQ(SendMessageA(h, kDestroyInside, 0, 0), 5);
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(w.Handle(), nullptr);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], "handler-after-destroy");
    EXPECT_EQ(events[1], "final");
}

TEST(WindowFramework, RuntimeClassNamesAndKinds) {
    DerivedWindow w;
    EXPECT_STREQ(w.GetRuntimeClass()->name, "Window");
    EXPECT_TRUE(w.IsKindOf(&Window::classWindow));
    EXPECT_TRUE(w.IsKindOf(&Object::classObject));
}

class TestDialog : public Dialog {
public:
    explicit TestDialog(HWND parent) : Dialog(900, parent) {}
    char text[8] = "abc";
    int flag = 1;
    bool initialised = false;

protected:
    bool OnInitDialog() override {
        initialised = true;
        return true;
    }
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(901, text, sizeof(text));
        dx.Check(902, &flag);
    }
};

struct DriverSeen {
    std::string text;
    int flag = -1;
};

// Reads the opened dialog, types into it and ends it with `button`.
std::function<void(HWND)> TypeAndPress(DriverSeen& seen, int button) {
    return [&seen, button](HWND dlg) {
        char buf[32] = "";
        GetDlgItemTextA(dlg, 901, buf, sizeof(buf));
        seen.text = buf;
        seen.flag = static_cast<int>(SendMessageA(GetDlgItem(dlg, 902), BM_GETCHECK, 0, 0));
        SetDlgItemTextA(dlg, 901, "0123456789");
        SendMessageA(GetDlgItem(dlg, 902), BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageA(GetDlgItem(dlg, button), BM_CLICK, 0, 0);
    };
}

TEST(DialogFramework, LoadsOnOpenSavesOnOkWithinTheBuffer) {
    TestDialog dialog(nullptr);
    DriverSeen seen;
    DialogWatcher driver("Framework Test", TypeAndPress(seen, IDOK));
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(seen.text, "abc");
    EXPECT_EQ(seen.flag, BST_CHECKED);
    EXPECT_STREQ(dialog.text, "0123456");  // cut to 7 characters and the terminating zero
    EXPECT_EQ(dialog.flag, 0);
}

TEST(DialogFramework, CancelKeepsTheMembers) {
    TestDialog dialog(nullptr);
    DriverSeen seen;
    DialogWatcher driver("Framework Test", TypeAndPress(seen, IDCANCEL));
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(driver.Found());
    EXPECT_STREQ(dialog.text, "abc");
    EXPECT_EQ(dialog.flag, 1);
}

TEST(DialogFramework, CancelAllModalEndsAnOpenDialog) {
    TestDialog dialog(nullptr);
    Watchdog watchdog("the dialog that CancelAllModal ends");
    // The timer fires inside the dialog's modal loop, as a close request would.
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { Dialog::CancelAllModal(); });
    const DWORD start = GetTickCount();
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    KillTimer(nullptr, timer);
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_STREQ(dialog.text, "abc");
}
}  // namespace
