// DIB under Wine with small 8-bit and 24-bit bitmaps: palettes from the colour table or the
// halftone palette, 1:1 drawing checked pixel for pixel, copy or COLORONCOLOR stretch,
// missing ids, handles that are no bitmaps, and release then reload.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/dib_win.h"

namespace {
// Resource ids of dib_test.rc; the bitmaps come from make_test_bitmaps.py (same formulas).
constexpr UINT kBitmap8 = 300;
constexpr UINT kBitmap24 = 301;
constexpr UINT kMissing = 399;
constexpr int kW8 = 7, kH8 = 5, kW24 = 5, kH24 = 3;
constexpr uint32_t kSentinel = 0x123456;

struct Rgb {
    int r, g, b;
};
Rgb Color8(int i) { return {i, (i * 5) & 255, 255 - i}; }
int Index8(int x, int y) { return (x * 37 + y * 11 + 5) & 255; }
Rgb Pixel24(int x, int y) { return {40 * x + 10, 60 * y + 20, (30 * x * y + 7) & 255}; }
uint32_t Packed(Rgb c) { return static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b); }

enum class Kind { Eight, TwentyFour };
uint32_t Expected(Kind kind, int x, int y) {
    return Packed(kind == Kind::Eight ? Color8(Index8(x, y)) : Pixel24(x, y));
}

// A DIB section built here with the same pixels as the resources.
HBITMAP MakeSection(Kind kind) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[256];
    } info = {};
    const bool eight = kind == Kind::Eight;
    const int w = eight ? kW8 : kW24, h = eight ? kH8 : kH24;
    info.h = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(eight ? 8 : 24), BI_RGB, 0, 0, 0,
              static_cast<DWORD>(eight ? 256 : 0), 0};
    for (int i = 0; eight && i < 256; ++i) {
        const Rgb c = Color8(i);
        info.colors[i] = {static_cast<BYTE>(c.b), static_cast<BYTE>(c.g), static_cast<BYTE>(c.r), 0};
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const int stride = ((w * (eight ? 1 : 3)) + 3) & ~3;
    auto* rows = static_cast<BYTE*>(bits);
    for (int y = 0; y < h; ++y) {
        BYTE* row = rows + (h - 1 - y) * stride;  // bottom-up
        for (int x = 0; x < w; ++x) {
            if (eight) {
                row[x] = static_cast<BYTE>(Index8(x, y));
            } else {
                const Rgb c = Pixel24(x, y);
                row[3 * x] = static_cast<BYTE>(c.b);
                row[3 * x + 1] = static_cast<BYTE>(c.g);
                row[3 * x + 2] = static_cast<BYTE>(c.r);
            }
        }
    }
    GdiFlush();
    return bitmap;
}

// A memory context drawing into a 32-bit top-down DIB section whose pixels the test reads.
class Target {
public:
    Target(int w, int h) : w_(w), h_(h) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Fill();
    }
    ~Target() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    HDC dc() const { return dc_; }
    void Fill() {
        GdiFlush();
        for (int i = 0; i < w_ * h_; ++i) bits_[i] = kSentinel;
    }
    uint32_t At(int x, int y) const {
        GdiFlush();
        return bits_[y * w_ + x] & 0xFFFFFF;
    }
    // Counts pixels that differ from expected(x, y).
    template <typename F>
    int Mismatches(F expected) const {
        int bad = 0;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (At(x, y) != expected(x, y)) ++bad;
        return bad;
    }

private:
    int w_, h_;
    HBITMAP bitmap_;
    uint32_t* bits_;
    HDC dc_;
    HGDIOBJ old_;
};

std::vector<PALETTEENTRY> Entries(HPALETTE palette) {
    WORD count = 0;
    if (!palette || !GetObjectA(palette, sizeof(count), &count)) return {};
    std::vector<PALETTEENTRY> entries(count);
    GetPaletteEntries(palette, 0, count, entries.data());
    return entries;
}

std::vector<PALETTEENTRY> HalftoneEntries() {
    HDC screen = GetDC(nullptr);
    HPALETTE halftone = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    std::vector<PALETTEENTRY> entries = Entries(halftone);
    DeleteObject(halftone);
    return entries;
}

bool Load(DIB& dib, Kind kind, bool fromResource) {
    if (fromResource) return dib.LoadFromResource(GetModuleHandleA(nullptr), kind == Kind::Eight ? kBitmap8 : kBitmap24);
    return dib.AttachBitmap(MakeSection(kind));
}

TEST(DIB, AnEmptyObjectHasNoSizeNoPaletteAndDrawsNothing) {
    DIB dib;
    EXPECT_STREQ(dib.GetRuntimeClass()->name, "DIB");
    EXPECT_TRUE(dib.IsKindOf(&GdiObject::classGdiObject));
    EXPECT_TRUE(dib.IsKindOf(&Object::classObject));
    const SIZE size = dib.GetSize();
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    EXPECT_EQ(dib.GetPalette(), nullptr);
    const BITMAP zero = {};
    EXPECT_EQ(std::memcmp(&dib.Info(), &zero, sizeof(zero)), 0);
    RGBQUAD colors[4];
    EXPECT_EQ(dib.ReadColorTable(colors, 4), 0);
    Target target(8, 8);
    EXPECT_EQ(dib.Draw(target.dc(), nullptr, nullptr, true, nullptr, false), 0);
    EXPECT_EQ(dib.Draw(target.dc(), nullptr, nullptr, false, nullptr, false), 0);
    EXPECT_EQ(dib.Blit(target.dc(), nullptr, nullptr), 0);
    EXPECT_FALSE(dib.IsDrawDibOpen());
    EXPECT_EQ(target.Mismatches([](int, int) { return kSentinel; }), 0);
}

TEST(DIB, AnEightBitBitmapGetsItsOwn256ColoursWithFlagsZero) {
    for (bool fromResource : {true, false}) {
        DIB dib;
        ASSERT_TRUE(Load(dib, Kind::Eight, fromResource)) << fromResource;
        EXPECT_EQ(dib.Info().bmWidth, kW8);
        EXPECT_EQ(dib.Info().bmHeight, kH8);
        EXPECT_EQ(dib.Info().bmBitsPixel, 8);
        EXPECT_NE(dib.Info().bmBits, nullptr);
        EXPECT_EQ(dib.GetSize().cx, kW8);
        EXPECT_EQ(dib.GetSize().cy, kH8);
        const auto entries = Entries(dib.GetPalette());
        ASSERT_EQ(entries.size(), 256u) << fromResource;
        int bad = 0;
        for (int i = 0; i < 256; ++i) {
            const Rgb c = Color8(i);
            const PALETTEENTRY& e = entries[i];
            if (e.peRed != c.r || e.peGreen != c.g || e.peBlue != c.b || e.peFlags != 0) ++bad;
        }
        EXPECT_EQ(bad, 0) << fromResource;
        RGBQUAD colors[256];
        EXPECT_EQ(dib.ReadColorTable(colors, 256), 256);
        EXPECT_EQ(colors[200].rgbRed, 200);
        EXPECT_EQ(colors[200].rgbBlue, 55);
        EXPECT_EQ(dib.ReadColorTable(colors, 10), 10);
        EXPECT_EQ(dib.ReadColorTable(colors, 0), 0);
    }
}

TEST(DIB, ABitmapWithoutColourTableGetsTheHalftonePalette) {
    const auto halftone = HalftoneEntries();
    ASSERT_FALSE(halftone.empty());
    for (bool fromResource : {true, false}) {
        DIB dib;
        ASSERT_TRUE(Load(dib, Kind::TwentyFour, fromResource)) << fromResource;
        EXPECT_EQ(dib.Info().bmBitsPixel, 24);
        RGBQUAD colors[256];
        EXPECT_EQ(dib.ReadColorTable(colors, 256), 0);
        const auto entries = Entries(dib.GetPalette());
        ASSERT_EQ(entries.size(), halftone.size()) << fromResource;
        EXPECT_EQ(std::memcmp(entries.data(), halftone.data(), entries.size() * sizeof(PALETTEENTRY)), 0);
    }
}

TEST(DIB, DrawWithoutRectanglesDrawsTheWholeBitmapOneToOneAtTheOrigin) {
    struct Row {
        Kind kind;
        bool useDrawDib;
        bool foreground;
    } rows[] = {{Kind::Eight, true, false},  {Kind::Eight, false, false}, {Kind::TwentyFour, true, false},
                {Kind::TwentyFour, false, false}, {Kind::Eight, true, true}};
    for (const Row& row : rows) {
        DIB dib;
        ASSERT_TRUE(Load(dib, row.kind, true));
        const int w = dib.GetSize().cx, h = dib.GetSize().cy;
        Target target(16, 12);
        const HGDIOBJ before = GetCurrentObject(target.dc(), OBJ_PAL);
        EXPECT_NE(dib.Draw(target.dc(), nullptr, nullptr, row.useDrawDib, nullptr, row.foreground), 0);
        EXPECT_EQ(target.Mismatches([&](int x, int y) {
            return x < w && y < h ? Expected(row.kind, x, y) : kSentinel;
        }),
                  0)
            << static_cast<int>(row.kind) << " drawdib " << row.useDrawDib;
        // The context's own palette is back.
        EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_PAL), before);
        EXPECT_EQ(dib.IsDrawDibOpen(), row.useDrawDib);
    }
}

// Replaces one function in this program's import table and returns the one it held: the calls
// of the code under test go through it, the platform's own calls do not.
void* ReplaceImport(const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* held = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof(void*), protection, &protection);
            return held;
        }
    }
    return nullptr;
}

using SelectPaletteFunction = HPALETTE(WINAPI*)(HDC, HPALETTE, BOOL);
using DrawDibDrawFunction = BOOL(VFWAPI*)(HDRAWDIB, HDC, int, int, int, int, LPBITMAPINFOHEADER, LPVOID, int, int,
                                          int, int, UINT);
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
SelectPaletteFunction gSelectPalette = nullptr;
DrawDibDrawFunction gDrawDibDraw = nullptr;
GetProcAddressFunction gGetProcAddress = nullptr;
std::vector<BOOL> gForcedBackground;  // per SelectPalette call
std::vector<UINT> gDrawDibFlags;

HPALETTE WINAPI RecordSelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground) {
    gForcedBackground.push_back(forceBackground);
    return gSelectPalette(dc, palette, forceBackground);
}
BOOL VFWAPI RecordDrawDibDraw(HDRAWDIB dd, HDC dc, int x, int y, int w, int h, LPBITMAPINFOHEADER bi, LPVOID bits,
                              int sx, int sy, int sw, int sh, UINT flags) {
    gDrawDibFlags.push_back(flags);
    return gDrawDibDraw(dd, dc, x, y, w, h, bi, bits, sx, sy, sw, sh, flags);
}

// DrawDib is looked up at run time: the lookup hands out the recorder in its place.
FARPROC WINAPI RecordingGetProcAddress(HMODULE module, LPCSTR name) {
    FARPROC found = gGetProcAddress(module, name);
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) == 0 || std::strcmp(name, "DrawDibDraw") != 0 || !found) return found;
    gDrawDibDraw = reinterpret_cast<DrawDibDrawFunction>(reinterpret_cast<void (*)()>(found));
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&RecordDrawDibDraw));
}

// Records the palette selections and DrawDib flags of the DIB while it lives.
class PaletteCalls {
public:
    PaletteCalls() {
        gForcedBackground.clear();
        gDrawDibFlags.clear();
        gSelectPalette = reinterpret_cast<SelectPaletteFunction>(
            ReplaceImport("gdi32.dll", "SelectPalette", reinterpret_cast<void*>(&RecordSelectPalette)));
        gGetProcAddress = reinterpret_cast<GetProcAddressFunction>(
            ReplaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&RecordingGetProcAddress)));
    }
    ~PaletteCalls() {
        if (gSelectPalette) ReplaceImport("gdi32.dll", "SelectPalette", reinterpret_cast<void*>(gSelectPalette));
        if (gGetProcAddress) ReplaceImport("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(gGetProcAddress));
    }
    bool Ok() const { return gSelectPalette && gGetProcAddress; }
};

TEST(DIB, TheForegroundFlagChoosesTheSelectionAndTheDrawDibPalette) {
    const struct {
        bool useDrawDib;
        bool foreground;
    } rows[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.useDrawDib ? "DrawDib" : "plain") + (row.foreground ? ", foreground" : ", background"));
        DIB dib;
        ASSERT_TRUE(Load(dib, Kind::Eight, true));
        Target target(8, 8);
        PaletteCalls calls;
        ASSERT_TRUE(calls.Ok());
        EXPECT_NE(dib.Draw(target.dc(), nullptr, nullptr, row.useDrawDib, nullptr, row.foreground), 0);
        // The picture's palette as asked, then the context's own back as a background palette.
        ASSERT_EQ(gForcedBackground.size(), 2u);
        EXPECT_EQ(gForcedBackground[0] != FALSE, !row.foreground);
        EXPECT_NE(gForcedBackground[1], FALSE);
        ASSERT_EQ(gDrawDibFlags.size(), row.useDrawDib ? 1u : 0u);
        if (row.useDrawDib) {
            EXPECT_EQ((gDrawDibFlags[0] & DDF_BACKGROUNDPAL) != 0, !row.foreground);
        }
    }
}

TEST(DIB, DrawTakesAGivenPaletteAndPutsTheContextsOwnBack) {
    DIB dib;
    ASSERT_TRUE(Load(dib, Kind::Eight, true));
    DIB other;
    ASSERT_TRUE(Load(other, Kind::TwentyFour, true));
    Target target(8, 8);
    const HGDIOBJ before = GetCurrentObject(target.dc(), OBJ_PAL);
    EXPECT_NE(dib.Draw(target.dc(), nullptr, nullptr, true, other.GetPalette(), false), 0);
    EXPECT_EQ(GetCurrentObject(target.dc(), OBJ_PAL), before);
    EXPECT_EQ(target.Mismatches([&](int x, int y) {
        return x < kW8 && y < kH8 ? Expected(Kind::Eight, x, y) : kSentinel;
    }),
              0);
}

TEST(DIB, DrawDibStretchesTheWholeBitmapIntoADestination) {
    DIB dib;
    ASSERT_TRUE(Load(dib, Kind::Eight, true));
    Target target(20, 12);
    const RECT dest = {2, 1, 2 + 2 * kW8, 1 + 2 * kH8};
    EXPECT_NE(dib.Draw(target.dc(), &dest, nullptr, true, nullptr, false), 0);
    EXPECT_EQ(target.Mismatches([&](int x, int y) {
        const bool inside = x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
        return inside ? Expected(Kind::Eight, (x - dest.left) / 2, (y - dest.top) / 2) : kSentinel;
    }),
              0);
}

TEST(DIB, BlitCopiesEqualSizesAndStretchesOtherwiseWithColorOnColor) {
    struct Row {
        bool hasDest;
        RECT dest;
        bool hasSrc;
        RECT src;
        int modeAfter;  // the target is set to HALFTONE before
    } rows[] = {
        {false, {}, false, {}, HALFTONE},                         // whole bitmap, 1:1
        {true, {3, 2, 6, 4}, true, {1, 1, 4, 3}, HALFTONE},       // equal sizes: plain copy
        {false, {}, true, {2, 1, 5, 4}, HALFTONE},                // destination = source
        {true, {0, 0, 2 * kW8, 2 * kH8}, false, {}, COLORONCOLOR},  // only a destination: stretch
        {true, {1, 0, 1 + 2 * kW8, kH8}, false, {}, COLORONCOLOR},  // width alone differs
        {true, {0, 1, kW8, 1 + 2 * kH8}, false, {}, COLORONCOLOR},  // height alone differs
        {true, {0, 0, 6, 4}, true, {4, 3, 7, 5}, COLORONCOLOR},     // a part, doubled
    };
    DIB dib;
    ASSERT_TRUE(Load(dib, Kind::Eight, true));
    int i = 0;
    for (const Row& row : rows) {
        Target target(16, 12);
        SetStretchBltMode(target.dc(), HALFTONE);
        const RECT src = row.hasSrc ? row.src : RECT{0, 0, kW8, kH8};
        const RECT dest = row.hasDest ? row.dest : src;
        EXPECT_NE(dib.Blit(target.dc(), row.hasDest ? &row.dest : nullptr, row.hasSrc ? &row.src : nullptr), 0)
            << "row " << i;
        EXPECT_EQ(GetStretchBltMode(target.dc()), row.modeAfter) << "row " << i;
        const int sw = src.right - src.left, sh = src.bottom - src.top;
        const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
        EXPECT_EQ(target.Mismatches([&](int x, int y) {
            const bool inside = x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
            if (!inside) return kSentinel;
            return Expected(Kind::Eight, src.left + (x - dest.left) * sw / dw, src.top + (y - dest.top) * sh / dh);
        }),
                  0)
            << "row " << i;
        ++i;
    }
}

// Its own size goes 1:1; another size is stretched over exactly that size, and the caller's DC
// keeps its stretch mode and brush origin.
TEST(DIB, DrawFittedCopiesItsOwnSizeStretchesToAnotherAndLeavesTheContextAsItWas) {
    DIB dib;
    ASSERT_TRUE(Load(dib, Kind::Eight, true));
    for (const SIZE to : {SIZE{kW8, kH8}, SIZE{2 * kW8 + 1, 2 * kH8}}) {
        SCOPED_TRACE(to.cx);
        Target target(16, 12);
        SetStretchBltMode(target.dc(), BLACKONWHITE);
        SetBrushOrgEx(target.dc(), 3, 2, nullptr);
        EXPECT_NE(dib.DrawFitted(target.dc(), to.cx, to.cy), 0);
        EXPECT_EQ(GetStretchBltMode(target.dc()), BLACKONWHITE);
        POINT origin = {};
        GetBrushOrgEx(target.dc(), &origin);
        EXPECT_TRUE(origin.x == 3 && origin.y == 2);
        const bool own = to.cx == kW8;
        int unpainted = 0;
        EXPECT_EQ(target.Mismatches([&](int x, int y) {
            if (x >= to.cx || y >= to.cy) return kSentinel;
            unpainted += target.At(x, y) == kSentinel;
            return own ? Expected(Kind::Eight, x, y) : target.At(x, y);
        }),
                  0);
        EXPECT_EQ(unpainted, 0);
    }
}

TEST(DIB, FailedLoadsLeaveNoPalette) {
    DIB dib;
    EXPECT_FALSE(dib.LoadFromResource(GetModuleHandleA(nullptr), kMissing));
    EXPECT_EQ(dib.GetPalette(), nullptr);
    EXPECT_EQ(dib.GetSize().cx, 0);
    EXPECT_EQ(dib.Bitmap(), nullptr);
    Target target(4, 4);
    EXPECT_EQ(dib.Draw(target.dc(), nullptr, nullptr, true, nullptr, false), 0);
    EXPECT_FALSE(dib.AttachBitmap(nullptr));
    EXPECT_EQ(dib.GetPalette(), nullptr);
    // A handle that is no bitmap fails, and is still owned: deleted with the object.
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    {
        DIB wrong;
        EXPECT_FALSE(wrong.AttachBitmap(reinterpret_cast<HBITMAP>(brush)));
        EXPECT_EQ(wrong.GetPalette(), nullptr);
        EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(DIB, ReleaseDeletesEverythingAndAReloadDrawsAgain) {
    DIB dib;
    Target target(16, 12);
    const Kind sequence[] = {Kind::Eight, Kind::TwentyFour, Kind::Eight};
    for (Kind kind : sequence) {
        ASSERT_TRUE(Load(dib, kind, true));
        EXPECT_FALSE(dib.IsDrawDibOpen());
        target.Fill();
        EXPECT_NE(dib.Draw(target.dc(), nullptr, nullptr, true, nullptr, false), 0);
        EXPECT_TRUE(dib.IsDrawDibOpen());
        const int w = dib.GetSize().cx, h = dib.GetSize().cy;
        EXPECT_EQ(target.Mismatches([&](int x, int y) { return x < w && y < h ? Expected(kind, x, y) : kSentinel; }),
                  0)
            << static_cast<int>(kind);
        const HGDIOBJ bitmap = dib.Bitmap();
        const HGDIOBJ palette = dib.GetPalette();
        dib.Release();
        EXPECT_EQ(GetObjectType(bitmap), 0u);
        EXPECT_EQ(GetObjectType(palette), 0u);
        EXPECT_EQ(dib.Bitmap(), nullptr);
        EXPECT_EQ(dib.GetPalette(), nullptr);
        EXPECT_FALSE(dib.IsDrawDibOpen());
        EXPECT_EQ(dib.Info().bmWidth, 0);
        EXPECT_EQ(dib.Info().bmBits, nullptr);
        target.Fill();
        EXPECT_EQ(dib.Draw(target.dc(), nullptr, nullptr, true, nullptr, false), 0);
        EXPECT_EQ(target.Mismatches([](int, int) { return kSentinel; }), 0);
    }
    // Destruction releases as well.
    HGDIOBJ bitmap;
    HGDIOBJ palette;
    {
        DIB scoped;
        ASSERT_TRUE(Load(scoped, Kind::Eight, true));
        bitmap = scoped.Bitmap();
        palette = scoped.GetPalette();
    }
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(palette), 0u);
}
}  // namespace
