// The Connect To and Enter Network Password dialogs under Wine, driven from a second thread,
// and the remote road of the link (Wine has no network: the real call fails, fakes succeed).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "link/connect_dialog_win.h"
#include "link/control_link_win.h"
#include "link/network_password_dialog_win.h"
#include "res/resource_ids.h"
#include "support/busy_cursor_win.h"
#include "tests/link/connect_test_peer_win.h"

namespace {

bool Checked(HWND dialog, int id) { return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
LONG_PTR Style(HWND dialog, int id) { return GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE); }

HWND FocusOf(HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

// Posted, not sent: the OK handler may run a modal box, and the watcher must stay free.
void PostClick(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct ConnectSeen {
    bool local = false;
    bool remote = false;
    std::string name;
    LRESULT limit = 0;
    int focusId = 0;
};

ConnectSeen Inspect(HWND dialog) {
    ConnectSeen seen;
    seen.local = Checked(dialog, IDC_CONNECT_LOCAL);
    seen.remote = Checked(dialog, IDC_CONNECT_REMOTE);
    seen.name = ItemText(dialog, IDC_COMPUTER_NAME);
    seen.limit = SendDlgItemMessageA(dialog, IDC_COMPUTER_NAME, EM_GETLIMITTEXT, 0, 0);
    seen.focusId = GetDlgCtrlID(FocusOf(dialog));
    return seen;
}

TEST(ConnectDialogWin, OpensWithTheChoiceAndSavesItOnOK) {
    const struct {
        int remote;
        const char* name;
        int clickRadio;
        const char* typed;
        int savedRemote;
    } cases[] = {
        {1, "PLANT", IDC_CONNECT_LOCAL, "HOST", 0},
        {0, "", IDC_CONNECT_REMOTE, "10.0.0.7", 1},
        {1, "", 0, "X", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        connect_logic::ConnectionChoice choice;
        choice.remote = c.remote;
        std::strcpy(choice.computerName, c.name);
        ConnectSeen seen;
        DialogWatcher watcher("Connect To", [&](HWND dialog) {
            seen = Inspect(dialog);
            if (c.clickRadio) ClickButton(dialog, c.clickRadio);
            SetDlgItemTextA(dialog, IDC_COMPUTER_NAME, c.typed);
            ClickButton(dialog, IDOK);
        });
        ConnectDialog dialog(nullptr, &choice);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        ASSERT_TRUE(watcher.Found());
        EXPECT_EQ(seen.remote, c.remote == 1);
        EXPECT_EQ(seen.local, c.remote == 0);
        EXPECT_EQ(seen.name, c.name);
        EXPECT_EQ(seen.limit, 32);
        // Focus given to the dialog goes to its first tab stop: the platform makes the checked
        // radio button one.
        EXPECT_EQ(seen.focusId, c.remote ? IDC_CONNECT_REMOTE : IDC_CONNECT_LOCAL);
        EXPECT_EQ(choice.remote, c.savedRemote);
        EXPECT_STREQ(choice.computerName, c.typed);
    }
}

TEST(ConnectDialogWin, TypingStopsAt32AndCancelKeepsTheChoice) {
    connect_logic::ConnectionChoice choice;
    std::strcpy(choice.computerName, "KEEP");
    std::string typed;
    LONG_PTR styles[5] = {};
    DialogWatcher watcher("Connect To", [&](HWND dialog) {
        const int ids[5] = {IDC_CONNECT_LOCAL, IDC_CONNECT_REMOTE, IDC_COMPUTER_NAME, IDOK, IDCANCEL};
        for (int i = 0; i < 5; ++i) styles[i] = Style(dialog, ids[i]);
        HWND field = GetDlgItem(dialog, IDC_COMPUTER_NAME);
        SetWindowTextA(field, "");
        for (int i = 0; i < 40; ++i) SendMessageA(field, WM_CHAR, 'A' + i % 26, 0);
        typed = ItemText(dialog, IDC_COMPUTER_NAME);
        ClickButton(dialog, IDCANCEL);
    });
    ConnectDialog dialog(nullptr, &choice);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(typed.size(), 32u);
    EXPECT_STREQ(choice.computerName, "KEEP");
    // The unchecked radio button is no tab stop; the platform makes the checked one a tab stop.
    EXPECT_TRUE(styles[0] & WS_TABSTOP);
    EXPECT_FALSE(styles[1] & WS_TABSTOP);
    EXPECT_TRUE(styles[2] & WS_TABSTOP);
    EXPECT_TRUE(styles[3] & WS_TABSTOP);
    EXPECT_TRUE(styles[4] & WS_TABSTOP);
    EXPECT_TRUE(styles[2] & ES_AUTOHSCROLL);
}

// A remote computer's name that is not a computer's brings a box over the dialog, which stays
// open with the choice unchanged; the corrected name is then taken. With This computer the
// field is not read, so nothing is refused.
TEST(ConnectDialogWin, RefusesABadNameUntilCorrected) {
    const std::string kRefusal =
        "Not a valid computer name.  Type the computer's name (letters, digits, - and _, with . only between "
        "parts, at most 32 characters) or its IPv4 address, for example 10.0.0.7.";
    const struct {
        int radio;
        std::string bad;
        bool refused;
    } cases[] = {
        {IDC_CONNECT_REMOTE, "", true},
        {IDC_CONNECT_REMOTE, "?", true},
        {IDC_CONNECT_REMOTE, "a\\b", true},
        {IDC_CONNECT_REMOTE, "PLANT.", true},
        // Set from outside past the typing limit: its first 32 characters alone would pass.
        {IDC_CONNECT_REMOTE, std::string(40, 'A'), true},
        {IDC_CONNECT_LOCAL, "?", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("[" + c.bad + "]");
        connect_logic::ConnectionChoice choice;
        choice.remote = 1;
        std::strcpy(choice.computerName, "KEEP");
        std::string boxText;
        bool openAfterBox = false;
        std::string selectedAfterBox;
        connect_logic::ConnectionChoice duringBox = {};
        DialogWatcher watcher("Connect To", [&](HWND dialog) {
            ClickButton(dialog, c.radio);
            SetDlgItemTextA(dialog, IDC_COMPUTER_NAME, c.bad.c_str());
            PostClick(dialog, IDOK);
            if (!c.refused) return;
            if (HWND box = WaitForOwnDialog("Halvorne Quorvex", 3000)) {
                boxText = ItemText(box, 0xFFFF);
                duringBox = choice;
                ClickButton(box, IDOK);
            }
            for (int i = 0; i < 200 && FindOwnDialog("Halvorne Quorvex"); ++i) Sleep(5);
            Sleep(50);
            openAfterBox = IsWindow(dialog) && IsWindowVisible(dialog);
            if (FocusOf(dialog) == GetDlgItem(dialog, IDC_COMPUTER_NAME)) {
                DWORD start = 0, end = 0;
                SendDlgItemMessageA(dialog, IDC_COMPUTER_NAME, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                    reinterpret_cast<LPARAM>(&end));
                selectedAfterBox = ItemText(dialog, IDC_COMPUTER_NAME).substr(start, end - start);
            }
            SetDlgItemTextA(dialog, IDC_COMPUTER_NAME, "PLANT-01");
            PostClick(dialog, IDOK);
        });
        ConnectDialog dialog(nullptr, &choice);
        EXPECT_EQ(dialog.DoModal(), IDOK);
        ASSERT_TRUE(watcher.Found());
        if (c.refused) {
            EXPECT_EQ(boxText, kRefusal);
            EXPECT_TRUE(openAfterBox);
            EXPECT_EQ(selectedAfterBox, c.bad);
            EXPECT_STREQ(duringBox.computerName, "KEEP");
            EXPECT_STREQ(choice.computerName, "PLANT-01");
            EXPECT_EQ(choice.remote, 1);
        } else {
            EXPECT_EQ(boxText, "");
            EXPECT_EQ(choice.remote, 0);
        }
    }
}

// One control of a dialog template as stored in the resources.
struct TemplateItem {
    int id;
    int x, y, cx, cy;
    DWORD style;
};

struct DialogTemplate {
    int cx = 0, cy = 0;
    DWORD style = 0;
    std::string title;
    std::vector<TemplateItem> items;
};

const WORD* SkipSzOrOrd(const WORD* p) {
    if (*p == 0xFFFF) return p + 2;
    while (*p) ++p;
    return p + 1;
}

const WORD* AlignDword(const WORD* p) {
    return reinterpret_cast<const WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t{3});
}

// Walks a DIALOGEX template: header, menu, class, title, font, then the items.
DialogTemplate ReadTemplate(int templateId) {
    DialogTemplate t;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));
    if (!found) return t;
    const auto* p = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    if (p[1] != 0xFFFF) return t;
    t.style = *reinterpret_cast<const DWORD*>(p + 6);
    const int count = p[8];
    t.cx = static_cast<short>(p[11]);
    t.cy = static_cast<short>(p[12]);
    p = SkipSzOrOrd(SkipSzOrOrd(p + 13));
    for (; *p; ++p) t.title += static_cast<char>(*p);
    ++p;
    if (t.style & DS_SETFONT) p = SkipSzOrOrd(p + 3);
    for (int i = 0; i < count; ++i) {
        p = AlignDword(p);
        TemplateItem item;
        item.style = *reinterpret_cast<const DWORD*>(p + 4);
        item.x = static_cast<short>(p[6]);
        item.y = static_cast<short>(p[7]);
        item.cx = static_cast<short>(p[8]);
        item.cy = static_cast<short>(p[9]);
        item.id = static_cast<int>(*reinterpret_cast<const DWORD*>(p + 10));
        p = SkipSzOrOrd(SkipSzOrOrd(p + 12));
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + *p);
        t.items.push_back(item);
    }
    return t;
}

TEST(ConnectDialogsWin, TemplatesMatchTheLayout) {
    const struct {
        int templateId;
        const char* title;
        int cx, cy;
        std::vector<TemplateItem> items;  // style holds the bits that must be set
    } dialogs[] = {
        {IDD_CONNECT_TO, "Connect To", 186, 101,
         {{-1, 7, 7, 172, 58, BS_GROUPBOX},
          {IDC_CONNECT_LOCAL, 15, 18, 81, 10, BS_AUTORADIOBUTTON | WS_GROUP},
          {IDC_CONNECT_REMOTE, 15, 32, 72, 10, BS_AUTORADIOBUTTON},
          {-1, 32, 46, 52, 8, 0},
          {IDC_COMPUTER_NAME, 88, 44, 81, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
          {IDOK, 54, 80, 31, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
          {IDCANCEL, 101, 80, 31, 14, WS_TABSTOP}}},
        {IDD_NETWORK_PASSWORD, "Enter Network Password", 246, 103,
         {{-1, 7, 7, 232, 63, BS_GROUPBOX},
          {IDC_COMPUTER_NAME, 15, 18, 213, 8, 0},
          {-1, 15, 34, 40, 8, 0},
          {IDC_NET_USER, 59, 32, 169, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
          {-1, 15, 52, 34, 8, 0},
          {IDC_NET_PASSWORD, 59, 50, 169, 14, ES_PASSWORD},
          {IDOK, 84, 82, 31, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
          {IDCANCEL, 131, 82, 31, 14, WS_TABSTOP}}},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.title);
        const DialogTemplate t = ReadTemplate(d.templateId);
        EXPECT_EQ(t.title, d.title);
        EXPECT_EQ(t.cx, d.cx);
        EXPECT_EQ(t.cy, d.cy);
        EXPECT_EQ(t.style & (WS_CAPTION | WS_SYSMENU | DS_MODALFRAME), DWORD{WS_CAPTION | WS_SYSMENU | DS_MODALFRAME});
        ASSERT_EQ(t.items.size(), d.items.size());
        for (size_t i = 0; i < d.items.size(); ++i) {
            const TemplateItem& want = d.items[i];
            const TemplateItem& got = t.items[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(static_cast<short>(got.id), static_cast<short>(want.id));
            EXPECT_EQ(got.x, want.x);
            EXPECT_EQ(got.y, want.y);
            EXPECT_EQ(got.cx, want.cx);
            EXPECT_EQ(got.cy, want.cy);
            EXPECT_EQ(got.style & want.style, want.style);
        }
        // The name field and the two buttons are the only tab stops of Connect To.
        if (d.templateId != IDD_CONNECT_TO) continue;
        for (const TemplateItem& item : t.items) {
            EXPECT_EQ((item.style & WS_TABSTOP) != 0,
                      item.id == IDC_COMPUTER_NAME || item.id == IDOK || item.id == IDCANCEL)
                << item.id;
        }
    }
}

// Credentials outside the ANSI code page (Greek and Cyrillic), as an operator may type them.
const wchar_t kWideUser[] = L"\x03a9\x03bc\x03ad\x03b3\x03b1";
const wchar_t kWidePassword[] = L"\x043f\x0430\x0440\x043e\x043b\x044c";

std::wstring WideItemText(HWND dialog, int id) {
    wchar_t text[300] = L"";
    GetDlgItemTextW(dialog, id, text, 300);
    return text;
}

// A connector that grants access only to bob with "pw" or to the wide user with the wide
// password, and remembers what it saw.
struct ConnectorLog {
    int calls = 0;
    std::string remote;
    std::wstring user;
    std::wstring password;
    std::wstring fieldText;
    bool nullCredentials = false;
    HWND owner = nullptr;
    const wchar_t* passwordBuffer = nullptr;
};
ConnectorLog gConnector;

DWORD FakeConnector(HWND owner, const char* remoteName, const wchar_t* password, const wchar_t* user) {
    ++gConnector.calls;
    gConnector.owner = owner;
    gConnector.remote = remoteName ? remoteName : "(null)";
    if (!password || !user) {
        gConnector.nullCredentials = true;
        return ERROR_ACCESS_DENIED;
    }
    gConnector.user = user;
    gConnector.password = password;
    gConnector.passwordBuffer = password;
    gConnector.fieldText = WideItemText(owner, IDC_NET_PASSWORD);
    const bool bob = gConnector.user == L"bob" && gConnector.password == L"pw";
    const bool wide = gConnector.user == kWideUser && gConnector.password == kWidePassword;
    return bob || wide ? NO_ERROR : ERROR_ACCESS_DENIED;
}

struct PasswordSeen {
    std::string remote;
    bool focusOnUser = false;
    bool masked = false;
    std::string boxText;
    std::string remoteAfter;
    std::string userAfter = "?";
    std::string passwordAfter = "?";
    bool focusOnUserAfter = false;
};

// Types the credentials, clicks OK and answers the denial box; then tries again or cancels.
void WrongThenSecond(HWND dialog, PasswordSeen& seen, const wchar_t* secondUser, const wchar_t* secondPassword) {
    seen.remote = ItemText(dialog, IDC_COMPUTER_NAME);
    seen.focusOnUser = FocusOf(dialog) == GetDlgItem(dialog, IDC_NET_USER);
    seen.masked = (Style(dialog, IDC_NET_PASSWORD) & ES_PASSWORD) != 0;
    SetDlgItemTextA(dialog, IDC_NET_USER, "eve");
    SetDlgItemTextA(dialog, IDC_NET_PASSWORD, "wrong");
    PostClick(dialog, IDOK);
    if (HWND box = WaitForOwnDialog("Halvorne Quorvex", 3000)) {
        seen.boxText = ItemText(box, 0xFFFF);
        ClickButton(box, IDOK);
    }
    for (int i = 0; i < 200 && FindOwnDialog("Halvorne Quorvex"); ++i) Sleep(5);
    Sleep(50);
    seen.remoteAfter = ItemText(dialog, IDC_COMPUTER_NAME);
    seen.userAfter = ItemText(dialog, IDC_NET_USER);
    seen.passwordAfter = ItemText(dialog, IDC_NET_PASSWORD);
    seen.focusOnUserAfter = FocusOf(dialog) == GetDlgItem(dialog, IDC_NET_USER);
    if (!secondUser) {
        PostClick(dialog, IDCANCEL);
        return;
    }
    SetDlgItemTextW(dialog, IDC_NET_USER, secondUser);
    SetDlgItemTextW(dialog, IDC_NET_PASSWORD, secondPassword);
    PostClick(dialog, IDOK);
}

TEST(NetworkPasswordDialogWin, DeniedWithTheRealNetworkThenCancel) {
    PasswordSeen seen;
    DialogWatcher watcher("Enter Network Password", [&](HWND dialog) { WrongThenSecond(dialog, seen, nullptr, nullptr); });
    NetworkPasswordDialog dialog(nullptr, "\\\\PLANT");
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_TRUE(watcher.Found());
    EXPECT_EQ(seen.remote, "\\\\PLANT");
    EXPECT_TRUE(seen.focusOnUser);
    EXPECT_TRUE(seen.masked);
    EXPECT_EQ(seen.boxText, "Remote access denied.");
    EXPECT_EQ(seen.remoteAfter, "\\\\PLANT");
    EXPECT_EQ(seen.userAfter, "");
    EXPECT_EQ(seen.passwordAfter, "");
    EXPECT_TRUE(seen.focusOnUserAfter);
    const wchar_t* buffer = dialog.PasswordBuffer();
    for (int i = 0; i < network_access::kCredentialCapacity; ++i) ASSERT_EQ(buffer[i], 0) << i;
}

// The second try types credentials outside the ANSI code page: they reach the system as typed.
TEST(NetworkPasswordDialogWin, RetryGrantsAccessAndWipesThePassword) {
    gConnector = {};
    PasswordSeen seen;
    DialogWatcher watcher("Enter Network Password",
                          [&](HWND dialog) { WrongThenSecond(dialog, seen, kWideUser, kWidePassword); });
    NetworkPasswordDialog dialog(nullptr, "\\\\PLANT", &FakeConnector);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(gConnector.calls, 2);
    EXPECT_EQ(gConnector.remote, "\\\\PLANT");
    EXPECT_EQ(gConnector.user, kWideUser);
    EXPECT_EQ(gConnector.password, kWidePassword);
    EXPECT_EQ(gConnector.fieldText, kWidePassword);
    EXPECT_NE(gConnector.owner, nullptr);
    EXPECT_FALSE(gConnector.nullCredentials);
    EXPECT_EQ(seen.boxText, "Remote access denied.");
    ASSERT_EQ(gConnector.passwordBuffer, dialog.PasswordBuffer());
    for (int i = 0; i < network_access::kCredentialCapacity; ++i) ASSERT_EQ(dialog.PasswordBuffer()[i], 0) << i;
}

TEST(NetworkPasswordDialogWin, EmptyFieldsGiveEmptyTextsNotNull) {
    gConnector = {};
    DialogWatcher watcher("Enter Network Password", [&](HWND dialog) {
        PostClick(dialog, IDOK);
        if (HWND box = WaitForOwnDialog("Halvorne Quorvex", 3000)) ClickButton(box, IDOK);
        for (int i = 0; i < 200 && FindOwnDialog("Halvorne Quorvex"); ++i) Sleep(5);
        PostClick(dialog, IDCANCEL);
    });
    NetworkPasswordDialog dialog(nullptr, "\\\\PLANT", &FakeConnector);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(gConnector.calls, 1);
    EXPECT_FALSE(gConnector.nullCredentials);
    EXPECT_EQ(gConnector.user, L"");
    EXPECT_EQ(gConnector.password, L"");
}

// The remote road through the link: silent attempt, dialog, cancel or access, then probing.
DWORD GrantSilently(HWND, const char* remoteName, const wchar_t* password, const wchar_t* user) {
    ++gConnector.calls;
    gConnector.remote = remoteName;
    gConnector.nullCredentials = !password && !user;
    return NO_ERROR;
}

class RemoteLinkTest : public ::testing::Test {
protected:
    RemoteLinkTest() : owner(nullptr), link(&owner) {
        gConnector = {};
        g_busyCursor = new BusyCursor();
    }
    ~RemoteLinkTest() override {
        delete g_busyCursor;
        g_busyCursor = nullptr;
    }
    bool StillBusy() { return g_busyCursor->ApplyCursor(); }

    TestLinkOwner owner;
    ControlLink link;
};

TEST_F(RemoteLinkTest, RealNetworkDeniesAndCancelGives62209) {
    const char* const args[] = {"quorvex.exe", "-r", "PLANT"};
    link.UseArguments(3, args);
    std::string remote;
    DialogWatcher watcher("Enter Network Password", [&](HWND dialog) {
        remote = ItemText(dialog, IDC_COMPUTER_NAME);
        PostClick(dialog, IDCANCEL);
    });
    int flag = -1;
    EXPECT_EQ(link.Connect(&flag), 62209u);
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(remote, "\\\\PLANT");
    EXPECT_EQ(flag, -1);
    EXPECT_FALSE(StillBusy());
}

TEST_F(RemoteLinkTest, SilentAccessSkipsTheDialog) {
    const std::string name32(32, 'R');
    const char* const args[] = {"quorvex.exe", "-R", name32.c_str()};
    link.UseArguments(3, args);
    link.UseConnector(&GrantSilently);
    DialogWatcher watcher("Enter Network Password", [](HWND dialog) { PostClick(dialog, IDCANCEL); }, 500);
    // Remote pipe names do not open under Wine.
    EXPECT_EQ(link.Connect(nullptr), 62203u);
    EXPECT_EQ(gConnector.calls, 1);
    EXPECT_TRUE(gConnector.nullCredentials);
    EXPECT_EQ(gConnector.remote, "\\\\" + name32);
    EXPECT_FALSE(watcher.Found());
    EXPECT_FALSE(StillBusy());
}

TEST_F(RemoteLinkTest, DialogAccessThenProbing) {
    const char* const args[] = {"quorvex.exe", "-r", "PLANT"};
    link.UseArguments(3, args);
    link.UseConnector(&FakeConnector);
    DialogWatcher watcher("Enter Network Password", [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NET_USER, "bob");
        SetDlgItemTextA(dialog, IDC_NET_PASSWORD, "pw");
        PostClick(dialog, IDOK);
    });
    EXPECT_EQ(link.Connect(nullptr), 62203u);
    EXPECT_TRUE(watcher.Found());
    EXPECT_EQ(gConnector.calls, 2);
    EXPECT_EQ(gConnector.user, L"bob");
    EXPECT_FALSE(StillBusy());
}

std::vector<std::string> gCancels;
DWORD RecordCancel(const char* remoteName) {
    gCancels.push_back(remoteName);
    return NO_ERROR;
}
bool Existed(const char*) { return true; }
bool New(const char*) { return false; }

// The connection the link made is cancelled when it closes, once, whichever way it closes (a
// second Close, the destructor); one that was there before stays.
TEST_F(RemoteLinkTest, TheLinkCancelsOnlyTheConnectionItMade) {
    const struct {
        const char* road;
        network_access::Connector connect;
        network_access::ExistenceQuery exists;
        bool typed;
        size_t cancels;
    } cases[] = {
        {"typed login", &FakeConnector, &New, true, 1},
        {"typed login beside an existing connection", &FakeConnector, &Existed, true, 1},
        {"silent, new connection", &GrantSilently, &New, false, 1},
        {"silent, connection there before", &GrantSilently, &Existed, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.road);
        gCancels.clear();
        {
            ControlLink remote(&owner);
            const char* const args[] = {"quorvex.exe", "-r", "PLANT"};
            remote.UseArguments(3, args);
            remote.UseNetwork({c.connect, &RecordCancel, c.exists});
            DialogWatcher watcher("Enter Network Password", [](HWND dialog) {
                SetDlgItemTextA(dialog, IDC_NET_USER, "bob");
                SetDlgItemTextA(dialog, IDC_NET_PASSWORD, "pw");
                PostClick(dialog, IDOK);
            }, c.typed ? 10000 : 500);
            EXPECT_EQ(remote.Connect(nullptr), 62203u);  // remote pipes do not open under Wine
            EXPECT_EQ(watcher.Found(), c.typed);
            EXPECT_TRUE(gCancels.empty()) << "cancelled before the link closed";
            remote.Close();
            remote.Close();
        }
        EXPECT_EQ(gCancels, std::vector<std::string>(c.cancels, "\\\\PLANT"));
    }
}

TEST_F(RemoteLinkTest, LongNameOpensTheDialogPreset) {
    const std::string name33(33, 'R');
    const char* const args[] = {"quorvex.exe", "-r", name33.c_str()};
    link.UseArguments(3, args);
    ConnectSeen seen;
    DialogWatcher watcher("Connect To", [&](HWND dialog) {
        seen = Inspect(dialog);
        ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(link.Connect(nullptr), 62204u);
    ASSERT_TRUE(watcher.Found());
    EXPECT_TRUE(seen.remote);
    EXPECT_FALSE(seen.local);
    EXPECT_EQ(seen.name, "");
    EXPECT_EQ(gConnector.calls, 0);
    EXPECT_FALSE(StillBusy());
}

}  // namespace
