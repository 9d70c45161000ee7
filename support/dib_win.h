// The program's bitmap class: a DIB section from the resources with a logical palette built
// from its colour table, drawn palette-correctly through DrawDib or with BitBlt/StretchBlt.
#pragma once
#include <windows.h>
#include <vfw.h>

#include "support/gdi_object_win.h"

class DIB : public GdiObject {
    QV_DECLARE_RUNTIME_CLASS(DIB)
public:
    DIB() = default;
    ~DIB() override { Release(); }

    // LoadImage with LR_CREATEDIBSECTION | LR_DEFAULTSIZE, then AttachBitmap.
    bool LoadFromResource(HINSTANCE instance, UINT id);
    // Takes the DIB section over (also on failure, once non-null) and builds its palette.
    bool AttachBitmap(HBITMAP bitmap);
    void Release();

    SIZE GetSize() const;
    int ReadColorTable(RGBQUAD* out, int maxCount) const;

    // Null rectangles mean the whole bitmap at (0, 0) at its own size; a null palette the own one.
    BOOL Draw(HDC dc, const RECT* dest, const RECT* src, bool useDrawDib, HPALETTE palette, bool foreground);
    BOOL Blit(HDC dc, const RECT* dest, const RECT* src);
    // The whole bitmap at (0, 0) filling width x height: 1:1 through DrawDib when the sizes agree,
    // else stretched with halftoning (a scaling without a picture drawn for it), which keeps
    // thin lines that DrawDib's and COLORONCOLOR's dropping of pixels would lose.
    BOOL DrawFitted(HDC dc, int width, int height);

    HPALETTE GetPalette() const { return palette_; }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(Handle()); }
    const BITMAP& Info() const { return info_; }
    bool IsDrawDibOpen() const { return drawDib_ != nullptr; }

private:
    static constexpr int MaxColors = 256;

    bool BuildPalette();
    BOOL DrawThroughDrawDib(HDC dc, const RECT* dest, const RECT* src, bool foreground);
    // Draw and Blit with the stretch mode a stretch uses.
    BOOL DrawWith(HDC dc, const RECT* dest, const RECT* src, bool useDrawDib, HPALETTE palette, bool foreground,
                  int stretchMode);
    BOOL Copy(HDC dc, const RECT* dest, const RECT* src, int stretchMode);

    BITMAP info_ = {};
    HPALETTE palette_ = nullptr;
    HDRAWDIB drawDib_ = nullptr;
};
