// Warms a new Wine prefix up before any test: a window, a dialog in the dialogs' font and text
// drawn in each font the program asks for, so that Wine's and fontconfig's caches exist when
// the first test opens its first dialog. Prints the face Wine chose for each font with a sample
// width. With --hold it keeps the prefix's desktop open with a hidden window until it is ended:
// otherwise every test process that made a window waits for the desktop to close as it ends.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
constexpr int kLabelId = 100;
constexpr char kLabel[] = "Computer Name:";

struct Font {
    const char* face;
    int height;
    DWORD pitch;
    const char* sample;
};
// The dialogs' font (8 points at 96 DPI), the caption symbols and the display font.
constexpr Font kFonts[] = {
    {"MS Sans Serif", -11, DEFAULT_PITCH, kLabel},
    {"Marlett", -13, DEFAULT_PITCH, "012r"},
    {"Courier New", 15, FIXED_PITCH | FF_MODERN, "MMMMMMMMMM"},
};

void Report(HDC dc, const char* asked, const char* sample) {
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof(face), face);
    SIZE size = {};
    GetTextExtentPoint32A(dc, sample, static_cast<int>(std::strlen(sample)), &size);
    std::printf("%s: face %s, \"%s\" %ld px\n", asked, face, sample, size.cx);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        HWND label = GetDlgItem(dialog, kLabelId);
        HDC dc = GetDC(label);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
        Report(dc, "dialog font \"MS Sans Serif\" 8", kLabel);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        SetTimer(dialog, 1, 50, nullptr);  // ends once it has shown and painted
        return TRUE;
    }
    if (message == WM_TIMER) {
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

// A plain DLGTEMPLATE: one static text in "MS Sans Serif" 8.
std::vector<WORD> DialogTemplate() {
    std::vector<WORD> t;
    auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    auto text = [&t](const char* s) {
        while (*s) t.push_back(static_cast<WORD>(*s++));
        t.push_back(0);
    };
    dword(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    dword(0);
    t.push_back(1);                       // one control
    for (int v : {10, 10, 120, 40}) t.push_back(static_cast<WORD>(v));
    t.push_back(0);                       // no menu
    t.push_back(0);                       // default class
    text("Warm-up");
    t.push_back(8);
    text("MS Sans Serif");
    if (t.size() % 2) t.push_back(0);     // the control starts on a DWORD
    dword(WS_CHILD | WS_VISIBLE | SS_LEFT);
    dword(0);
    for (int v : {7, 7, 54, 8}) t.push_back(static_cast<WORD>(v));
    t.push_back(kLabelId);
    t.push_back(0xFFFF);
    t.push_back(0x0082);                  // static
    text(kLabel);
    t.push_back(0);                       // no creation data
    return t;
}

int WarmUp() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "STATIC", "Warm-up", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 1;
    HDC dc = GetDC(window);
    int y = 0;
    for (const Font& f : kFonts) {
        HFONT font = CreateFontA(f.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, f.pitch, f.face);
        HGDIOBJ old = SelectObject(dc, font);
        TextOutA(dc, 4, y, f.sample, static_cast<int>(std::strlen(f.sample)));
        Report(dc, f.face, f.sample);
        SelectObject(dc, old);
        DeleteObject(font);
        y += 20;
    }
    ReleaseDC(window, dc);
    const std::vector<WORD> t = DialogTemplate();
    const INT_PTR result =
        DialogBoxIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(t.data()), window, &DialogProc, 0);
    DestroyWindow(window);
    std::fflush(stdout);
    return result == IDOK ? 0 : 2;
}

int Hold() {
    HWND window = CreateWindowExA(0, "STATIC", "Quorvex desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    std::printf("holding the desktop\n");  // the caller waits for this line
    std::fflush(stdout);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hold") == 0) return Hold();
    return WarmUp();
}
