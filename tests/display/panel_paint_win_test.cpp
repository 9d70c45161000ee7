// The panel as it is painted, composed into a memory bitmap: the display font's cells fit the
// window, text lights exactly its cells, and a cleared screen is the bare panel picture; a
// window painting only its changed lines shows what a whole composition shows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "display/display_font_win.h"
#include "display/display_geometry.h"
#include "display/panel_painter_win.h"
#include "display/repaint_gate.h"
#include "display/text_display.h"
#include "link/stream_decoder.h"
#include "protocol/panel.h"
#include "support/dib_win.h"
#include "tests/display/fake_owner.h"

namespace {
constexpr int W = panel::Width;
constexpr int H = panel::Height;

struct NoAnswer : ByteWriter {
    int WriteBytes(const char*, int32_t) override { return 1; }
};

// A 32-bit top-down memory bitmap of the panel's size.
class Canvas {
public:
    Canvas() {
        BITMAPINFO bi = {};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    uint32_t At(int x, int y) const { return bits_[y * W + x] & 0xFFFFFF; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

class PanelPaint : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(panel_.LoadFromResource(GetModuleHandleA(nullptr), panel::BitmapId));
        font_ = display_font::Create("Courier New", dpi::Base);
        ASSERT_NE(font_, nullptr);
        display_.SetOwner(&owner_);
        lineHeight_ = display_font::LineHeight(font_);
    }
    void TearDown() override { DeleteObject(font_); }

    void Feed(const char* bytes, size_t n) {
        NoAnswer answer;
        decoder_.Decode(reinterpret_cast<const uint8_t*>(bytes), static_cast<uint32_t>(n), display_, answer);
    }
    void Compose(Canvas& c, HFONT font) {
        char lines[20][41];
        display_.Snapshot(lines);
        panel_painter::Compose(c.Dc(), &panel_, {W, H}, font, lines, Layout());
    }
    display_geometry::LineLayout Layout() const { return display_geometry::LayoutAt(dpi::Base, lineHeight_); }
    void Bare(Canvas& c) { panel_.Draw(c.Dc(), nullptr, nullptr, true, nullptr, false); }

    DIB panel_;
    HFONT font_ = nullptr;
    int32_t lineHeight_ = 0;
    FakeOwner owner_;
    TextDisplay display_;
    StreamDecoder decoder_;
};

TEST_F(PanelPaint, FortyColumnsOfFifteenPixelCellsFitTheDisplayWindow) {
    EXPECT_EQ(display_font::LineHeight(font_), 15);
    const int cell = display_font::CellWidth(font_);
    EXPECT_GT(cell, 4);
    EXPECT_LE(display_geometry::Left + display_geometry::TextIndent + 40 * cell, display_geometry::Right);
    const LineRect last = display_geometry::LineRectFor(19, Layout());
    EXPECT_EQ(last.top, 298);
    EXPECT_EQ(last.bottom, 313);
}

TEST_F(PanelPaint, TextLightsItsCellsAndLeavesTheRestBare) {
    // "AB" at row 5, column 10 and "Z" in the last cell (19, 39).
    const char stream[] = "\x85\x8a" "AB" "\x93\xa7" "Z";
    Feed(stream, sizeof(stream) - 1);
    Canvas bare, lit;
    Bare(bare);
    Compose(lit, font_);
    const int cw = display_font::CellWidth(font_);
    struct Cell {
        int row, column;
    };
    const Cell cells[] = {{5, 10}, {5, 11}, {19, 39}};
    auto inLitCell = [&](int x, int y) {
        for (const Cell& c : cells) {
            const int left = 16 + c.column * cw;
            const int top = 13 + c.row * 15;
            if (x >= left && x < left + cw && y >= top && y < top + 15) return true;
        }
        return false;
    };
    int outside = 0;
    std::vector<int> whiteInCell(3, 0);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (!inLitCell(x, y)) {
                outside += lit.At(x, y) != bare.At(x, y);
                continue;
            }
            for (int i = 0; i < 3; ++i) {
                const int left = 16 + cells[i].column * cw;
                const int top = 13 + cells[i].row * 15;
                if (x >= left && x < left + cw && y >= top && y < top + 15 && lit.At(x, y) == 0xFFFFFF)
                    ++whiteInCell[i];
            }
        }
    EXPECT_EQ(outside, 0);
    for (int i = 0; i < 3; ++i) EXPECT_GT(whiteInCell[i], 3) << "cell " << i;
}

TEST_F(PanelPaint, ClearedScreenIsTheBarePanelPixelForPixel) {
    const char text[] = "\x80\x80" "0123456789012345678901234567890123456789" "\x8a\x85" "STATUS";
    Feed(text, sizeof(text) - 1);
    const char clear[] = "\x01";
    Feed(clear, 1);
    Canvas bare, painted;
    Bare(bare);
    Compose(painted, font_);
    int differing = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) differing += painted.At(x, y) != bare.At(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(PanelPaint, WithoutAFontThePanelIsDrawnWithoutText) {
    owner_.hasFont = false;
    const char text[] = "\x80\x80" "HIDDEN";
    Feed(text, sizeof(text) - 1);
    Canvas bare, painted;
    Bare(bare);
    Compose(painted, nullptr);
    int differing = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) differing += painted.At(x, y) != bare.At(x, y);
    EXPECT_EQ(differing, 0);
}

// Paints through panel_painter::Paint, as the main window does.
struct PaintedWindow {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
        auto* self = reinterpret_cast<PaintedWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        panel_painter::Paint(hwnd, self->panel, self->font, dpi::Base,
                             display_geometry::LayoutAt(dpi::Base, display_font::LineHeight(self->font)),
                             *self->display, self->gate, self->surface);
        return 0;
    }
    PaintedWindow(DIB* p, HFONT f, const TextDisplay* d) : panel(p), font(f), display(d) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PanelPaintTest";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(WS_EX_TOPMOST, "PanelPaintTest", "", WS_POPUP | WS_VISIBLE, 0, 0, W, H, nullptr, nullptr,
                               wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
    }
    ~PaintedWindow() { DestroyWindow(hwnd); }
    void Grab(Canvas& c) const {
        HDC dc = GetDC(hwnd);
        BitBlt(c.Dc(), 0, 0, W, H, dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
    }
    DIB* panel;
    HFONT font;
    const TextDisplay* display;
    RepaintGate gate;
    panel_painter::PaintSurface surface;
    HWND hwnd = nullptr;
};

TEST_F(PanelPaint, AWindowRepaintingOnlyItsChangedLinesShowsTheWholeComposition) {
    const char first[] = "\x80\x80" "MAIN MENU" "\x83\x80" "1 Machine status      STATUS" "\x87\x80" "7 LONGER OLD TEXT";
    Feed(first, sizeof(first) - 1);
    PaintedWindow window(&panel_, font_, &display_);
    ASSERT_NE(window.hwnd, nullptr);
    struct Round {
        const char* bytes;
        std::vector<int> invalidLines;  // empty: the whole window, as an uncovered window asks
    };
    const Round rounds[] = {
        // Line 3 rewritten, line 7 shortened (the picture must come back under the old text), line 12 new.
        {"\x83\x80\x15\x83\x80" "2 Parameters" "\x87\x80\x15\x87\x80" "7 NEW" "\x8c\x85" "LIVE 4650", {3, 7, 12}},
        {"\x8f\x80" "CHANGED BEFORE A WHOLE PAINT" "\x83\x80\x15", {}},
    };
    for (const Round& round : rounds) {
        Feed(round.bytes, std::strlen(round.bytes));
        for (int line : round.invalidLines) {
            const LineRect r = display_geometry::LineRectFor(line, Layout());
            const RECT rect = {r.left, r.top, r.right, r.bottom};
            InvalidateRect(window.hwnd, &rect, FALSE);
        }
        if (round.invalidLines.empty()) InvalidateRect(window.hwnd, nullptr, FALSE);
        UpdateWindow(window.hwnd);
        Canvas shown, whole;
        window.Grab(shown);
        Compose(whole, font_);
        int differing = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) differing += shown.At(x, y) != whole.At(x, y);
        EXPECT_EQ(differing, 0) << round.bytes;
    }
}
}  // namespace
