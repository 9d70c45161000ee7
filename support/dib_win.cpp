// DIB: loading, palette building from the colour table (or the halftone palette), DrawDib and
// plain drawing.
#include "support/dib_win.h"

#include <cstring>

#include "support/system_dll_win.h"

QV_IMPLEMENT_RUNTIME_CLASS(DIB, GdiObject::classGdiObject)

namespace {
// A LOGPALETTE with room for the whole colour table.
struct PaletteRecord {
    WORD version;
    WORD count;
    PALETTEENTRY entries[256];
};

// A BITMAPINFO with room for the whole colour table.
struct BitmapDescription {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
}  // namespace

bool DIB::LoadFromResource(HINSTANCE instance, UINT id) {
    HANDLE image = LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION | LR_DEFAULTSIZE);
    return AttachBitmap(static_cast<HBITMAP>(image));
}

bool DIB::AttachBitmap(HBITMAP bitmap) {
    if (!bitmap) return false;
    // A bitmap is attached only to an empty object; a held one is let go first.
    if (Handle()) Release();
    Attach(bitmap);
    if (GetObjectA(bitmap, sizeof(info_), &info_) != static_cast<int>(sizeof(info_))) {
        info_ = BITMAP{};
        return false;
    }
    return BuildPalette();
}

bool DIB::BuildPalette() {
    if (palette_) DeleteObject(palette_);
    palette_ = nullptr;
    RGBQUAD colors[MaxColors];
    const int count = ReadColorTable(colors, MaxColors);
    if (count > 0) {
        PaletteRecord record;
        record.version = 0x300;
        record.count = static_cast<WORD>(count);
        for (int i = 0; i < count; ++i)
            record.entries[i] = {colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
        palette_ = CreatePalette(reinterpret_cast<const LOGPALETTE*>(&record));
    } else {
        HDC screen = GetDC(nullptr);
        palette_ = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
    }
    return palette_ != nullptr;
}

void DIB::Release() {
    if (palette_) DeleteObject(palette_);
    palette_ = nullptr;
    if (drawDib_) {
        if (auto close = system_dll::Function<decltype(&DrawDibClose)>(system_dll::Dll::DrawDib, "DrawDibClose"))
            close(drawDib_);
    }
    drawDib_ = nullptr;
    info_ = BITMAP{};
    DeleteHandle();
}

SIZE DIB::GetSize() const {
    BITMAP bm;
    if (!Handle() || GetObjectA(Handle(), sizeof(bm), &bm) != static_cast<int>(sizeof(bm))) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

int DIB::ReadColorTable(RGBQUAD* out, int maxCount) const {
    if (!Handle() || !out || maxCount <= 0) return 0;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    int count = 0;
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, Handle());
        count = static_cast<int>(GetDIBColorTable(memory, 0, static_cast<UINT>(maxCount), out));
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    ReleaseDC(nullptr, screen);
    return count;
}

BOOL DIB::Draw(HDC dc, const RECT* dest, const RECT* src, bool useDrawDib, HPALETTE palette, bool foreground) {
    return DrawWith(dc, dest, src, useDrawDib, palette, foreground, COLORONCOLOR);
}

BOOL DIB::DrawWith(HDC dc, const RECT* dest, const RECT* src, bool useDrawDib, HPALETTE palette, bool foreground,
                   int stretchMode) {
    if (!Handle()) return 0;
    HPALETTE chosen = palette ? palette : palette_;
    HPALETTE previous = chosen ? SelectPalette(dc, chosen, foreground ? FALSE : TRUE) : nullptr;
    RealizePalette(dc);
    const BOOL result = useDrawDib ? DrawThroughDrawDib(dc, dest, src, foreground) : Copy(dc, dest, src, stretchMode);
    if (previous) SelectPalette(dc, previous, TRUE);
    return result;
}

BOOL DIB::DrawThroughDrawDib(HDC dc, const RECT* dest, const RECT* src, bool foreground) {
    // Extents of -1 let DrawDib take the bitmap's own size.
    const RECT source = src ? *src : RECT{0, 0, -1, -1};
    const RECT target = dest ? *dest : source;
    auto draw = system_dll::Function<decltype(&DrawDibDraw)>(system_dll::Dll::DrawDib, "DrawDibDraw");
    if (!drawDib_) {
        auto open = system_dll::Function<decltype(&DrawDibOpen)>(system_dll::Dll::DrawDib, "DrawDibOpen");
        drawDib_ = open ? open() : nullptr;
    }
    if (!drawDib_ || !draw) return 0;
    DIBSECTION section;
    if (GetObjectA(Handle(), sizeof(section), &section) != static_cast<int>(sizeof(section))) return 0;
    BitmapDescription description;
    std::memset(&description, 0, sizeof(description));
    description.header = section.dsBmih;
    ReadColorTable(description.colors, MaxColors);
    return draw(drawDib_, dc, target.left, target.top, Width(target), Height(target), &description.header,
                       info_.bmBits, source.left, source.top, Width(source), Height(source),
                       foreground ? 0 : DDF_BACKGROUNDPAL);
}

BOOL DIB::Blit(HDC dc, const RECT* dest, const RECT* src) { return Copy(dc, dest, src, COLORONCOLOR); }

BOOL DIB::Copy(HDC dc, const RECT* dest, const RECT* src, int stretchMode) {
    if (!Handle()) return 0;
    const SIZE size = GetSize();
    const RECT source = src ? *src : RECT{0, 0, size.cx, size.cy};
    const RECT target = dest ? *dest : source;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory) return 0;
    HGDIOBJ previous = SelectObject(memory, Handle());
    BOOL result;
    if (Width(target) == Width(source) && Height(target) == Height(source)) {
        result = BitBlt(dc, target.left, target.top, Width(target), Height(target), memory, source.left, source.top,
                        SRCCOPY);
    } else {
        SetStretchBltMode(dc, stretchMode);
        // Halftoning takes its pattern from the brush origin, which must be set after the mode.
        if (stretchMode == HALFTONE) SetBrushOrgEx(dc, 0, 0, nullptr);
        result = StretchBlt(dc, target.left, target.top, Width(target), Height(target), memory, source.left,
                            source.top, Width(source), Height(source), SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return result;
}

BOOL DIB::DrawFitted(HDC dc, int width, int height) {
    const SIZE size = GetSize();
    if (size.cx == width && size.cy == height) return Draw(dc, nullptr, nullptr, true, nullptr, false);
    // The DC is the caller's: its stretch mode and brush origin come back as they were.
    const int oldMode = GetStretchBltMode(dc);
    POINT oldOrigin = {0, 0};
    GetBrushOrgEx(dc, &oldOrigin);
    const RECT dest = {0, 0, width, height};
    const BOOL result = DrawWith(dc, &dest, nullptr, false, nullptr, false, HALFTONE);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
    return result;
}
