// The program's dialogs as they show under Wine with their template sizes: every static text
// fits its control in the dialog's font (measured, line by line, against the control's client
// rectangle), and a screenshot of each dialog is written to dialog-shots\ for docs/.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "display/branch_to_dialog_win.h"
#include "link/connect_dialog_win.h"
#include "link/network_password_dialog_win.h"
#include "support/about_dialog_win.h"
#include "tests/support/watchdog_win.h"

namespace {
struct Label {
    int id;
    std::string text;
    LONG widest;  // the widest line, in pixels
    LONG height;  // all lines
    RECT client;
};

// The text as drawn: an '&' marks the next character unless the control says otherwise.
std::string Drawn(const std::string& text, LONG_PTR style) {
    if (style & SS_NOPREFIX) return text;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

BOOL CALLBACK MeasureStatic(HWND control, LPARAM lParam) {
    char cls[16] = "";
    GetClassNameA(control, cls, sizeof(cls));
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    const LONG_PTR kind = style & SS_TYPEMASK;
    if (lstrcmpiA(cls, "Static") != 0 || !(kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT)) return TRUE;
    char text[512] = "";
    GetWindowTextA(control, text, sizeof(text));
    Label label{GetDlgCtrlID(control), text, 0, 0, {}};
    GetClientRect(control, &label.client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const std::string drawn = Drawn(text, style);
    size_t start = 0;
    for (;;) {
        const size_t end = drawn.find('\n', start);
        const std::string line = drawn.substr(start, end == std::string::npos ? std::string::npos : end - start);
        SIZE size = {};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        label.widest = std::max(label.widest, size.cx);
        label.height += metrics.tmHeight;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    reinterpret_cast<std::vector<Label>*>(lParam)->push_back(label);
    return TRUE;
}

// The window as it is on the screen, caption and frame included, as a 24-bit BMP file.
bool SaveShot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    BITMAPINFOHEADER info = {sizeof(info), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(memory, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != FALSE;
    GdiFlush();
    const DWORD size = static_cast<DWORD>(((w * 3 + 3) & ~3) * h);
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(info) + size), 0, 0,
                             static_cast<DWORD>(sizeof(file) + sizeof(info))};
    bool written = false;
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (copied && out != INVALID_HANDLE_VALUE) {
        DWORD n = 0;
        written = WriteFile(out, &file, sizeof(file), &n, nullptr) && WriteFile(out, &info, sizeof(info), &n, nullptr) &&
                  WriteFile(out, bits, size, &n, nullptr);
    }
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return written;
}

// For messages: the line breaks shown as \n.
std::string OneLine(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.replace(at, 1, "\\n");
    return text;
}

DWORD Refuse(HWND, const char*, const wchar_t*, const wchar_t*) { return ERROR_ACCESS_DENIED; }

TEST(DialogFit, EveryStaticTextFitsItsControlInTheDialogFont) {
    const struct {
        const char* title;
        const char* shot;
        size_t labels;
        std::function<void()> run;
    } dialogs[] = {
        {"About Quorvex", "about", 9, [] { AboutDialog(nullptr).Run(false); }},
        {"Connect To", "connect-to", 1,
         [] {
             connect_logic::ConnectionChoice choice;
             ConnectDialog(nullptr, &choice).DoModal();
         }},
        {"Enter Network Password", "network-password", 3,
         [] { NetworkPasswordDialog(nullptr, "\\\\PLANT", &Refuse).DoModal(); }},
        {"Branch To", "branch-to", 0, [] { BranchToDialog(nullptr).DoModal(); }},
    };
    CreateDirectoryA("dialog-shots", nullptr);
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.title);
        std::vector<Label> labels;
        bool shot = false;
        {
            DialogWatcher watcher(d.title, [&](HWND dialog) {
                SetForegroundWindow(dialog);  // the caption as the operator sees it
                RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
                Sleep(200);  // until the X server has the picture
                EnumChildWindows(dialog, &MeasureStatic, reinterpret_cast<LPARAM>(&labels));
                shot = SaveShot(dialog, std::string("dialog-shots\\") + d.shot + ".bmp");
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            });
            d.run();
            ASSERT_TRUE(watcher.Found());
        }
        EXPECT_TRUE(shot);
        EXPECT_EQ(labels.size(), d.labels);
        for (const Label& l : labels) {
            const LONG width = l.client.right - l.client.left;
            const LONG height = l.client.bottom - l.client.top;
            const std::string text = OneLine(l.text);
            EXPECT_LE(l.widest, width) << '"' << text << "\" " << l.widest << " px wide in " << width;
            EXPECT_LE(l.height, height) << '"' << text << "\" " << l.height << " px high in " << height;
            std::printf("%s: \"%s\" %ld x %ld px in %ld x %ld\n", d.title, text.c_str(), l.widest, l.height, width,
                        height);
        }
    }
}
}  // namespace
