// Key caps lit from the top left: raised with a bright upper bevel when up, sunk, shifted and darker when down.
#include "tools/pictures/key_art.h"

#include <algorithm>
#include <cmath>

#include "tools/pictures/face_glyphs.h"

namespace pictures {
namespace {

struct CapLook {
    CapColour colour;
    Colour base, ink;
};

constexpr CapLook Looks[] = {
    {CapColour::Slate, {60, 82, 110}, {232, 236, 240}},
    {CapColour::Charcoal, {60, 62, 66}, {234, 234, 230}},
    {CapColour::Green, {36, 112, 64}, {236, 244, 236}},
    {CapColour::Red, {156, 40, 36}, {248, 234, 230}},
};

const CapLook& LookOf(CapColour c) {
    for (const CapLook& l : Looks)
        if (l.colour == c) return l;
    return Looks[0];
}

constexpr Point Light = {-0.5547, -0.8321};  // towards the light, from the top left
constexpr Colour White = {255, 255, 255};
constexpr Colour WellFloor = {14, 14, 16};
constexpr double CollarInset = 2, CollarWidth = 2, WellGap = 1, Bevel = 3;
constexpr GlyphStyle DigitStyle = {1.32, 2.3};
constexpr GlyphStyle SymbolStyle = {1.0, 2.4};
constexpr Colour LampOff = {70, 44, 14}, LampOn = {255, 172, 34}, LampCore = {255, 232, 170};

double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }

RoundRect CapOf(const KeySpec& key, bool pressed) {
    const RoundRect cap = CollarOf(key).Inset(CollarWidth + WellGap);
    return pressed ? RoundRect{cap.left + 1, cap.top + 1, cap.right, cap.bottom, cap.radius} : cap;
}

// The chamfer of the cut: the upper left side faces away from the light, the lower right towards it.
Colour Chamfer(const Colour& marble, Point outward) {
    const double s = Dot(outward, Light);
    return s > 0 ? Scale(marble, 1 - 0.34 * s) : Mix(marble, White, 0.22 * -s);
}

Colour CapSurface(const RoundRect& cap, Point p, const Colour& base, bool pressed, double scale) {
    const double depth = std::max(0.0, -Distance(cap, p));
    double shade = Dot(OutwardNormal(cap, p), Light);
    if (pressed) shade = -0.75 * shade;
    const double v = (p.y - cap.top) / (cap.bottom - cap.top);
    const Colour face = Scale(base, 1.08 - 0.16 * v);
    const Colour bevel = shade > 0 ? Mix(base, White, 0.42 * shade) : Scale(base, 1 + 0.62 * shade);
    Colour c = Mix(face, bevel, std::clamp((Bevel - depth) * scale + 0.5, 0.0, 1.0));
    const double rim = depth * scale;  // the cap's outermost pixel is darker
    if (rim < 1) c = Scale(c, 1 - 0.3 * (1 - rim));
    return c;
}

void DrawLamp(Canvas& canvas, const RoundRect& lamp, bool lit) {
    const RoundRect glow = lamp.Inset(-3.5);
    for (int y = canvas.Floor(glow.top); y < canvas.Ceil(glow.bottom); ++y)
        for (int x = canvas.Floor(glow.left); x < canvas.Ceil(glow.right); ++x) {
            const Point p = canvas.Centre(x, y);
            const double d = Distance(lamp, p);
            if (lit && d > 0) canvas.Blend(x, y, LampOn, 0.32 * std::clamp(1 - d / 3.5, 0.0, 1.0));
            canvas.Blend(x, y, Colour{18, 16, 14}, canvas.Cover(d - 1));  // the bezel of the lens
            Colour lens = lit ? Mix(LampOn, LampCore, std::clamp(1 + d / 1.5, 0.0, 1.0))
                              : Mix(LampOff, Scale(LampOff, 1.7), std::clamp((lamp.top + 1.5 - p.y) / 1.5, 0.0, 1.0));
            canvas.Blend(x, y, lens, canvas.Cover(d));
        }
}

}  // namespace

RoundRect CollarOf(const KeySpec& key) {
    const double left = key.x + CollarInset + key.capShift, top = key.y + CollarInset;
    return {left, top, key.x + key.width - CollarInset + key.capShift, key.y + key.height - CollarInset, 7};
}

void DrawKey(Canvas& canvas, const KeySpec& key, bool pressed) {
    const CapLook& look = LookOf(key.colour);
    const RoundRect collar = CollarOf(key);
    const RoundRect well = collar.Inset(CollarWidth);
    const RoundRect cap = CapOf(key, pressed);
    const Colour base = pressed ? Scale(look.base, 0.86) : look.base;
    const Box box = dpi::ScaledBox(KeyBox(key), canvas.Dpi());
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const Point p = canvas.Centre(x, y);
            const double outer = canvas.Cover(Distance(collar, p));
            if (outer <= 0) continue;
            Colour c = Mix(canvas.At(x, y), Chamfer(canvas.At(x, y), OutwardNormal(well, p)), outer);
            c = Mix(c, WellFloor, canvas.Cover(Distance(well, p)));
            const double onCap = canvas.Cover(Distance(cap, p));
            if (onCap > 0) c = Mix(c, CapSurface(cap, p, base, pressed, canvas.Scale()), onCap);
            canvas.Set(x, y, c);
        }
    const double shift = pressed ? 1 : 0;
    const double cx = (collar.left + collar.right) / 2 + shift, cy = (collar.top + collar.bottom) / 2 + shift;
    const Colour ink = pressed ? Scale(look.ink, 0.88) : look.ink;
    const bool digit = std::string_view(key.face).size() == 1;
    if (key.indicator) {
        const RoundRect lamp = {cx - 6, cap.top + Bevel + 3, cx + 6, cap.top + Bevel + 7, 2};
        DrawLamp(canvas, lamp, pressed);
        DrawFaceGlyph(canvas, key.face, cx, cy + 4, SymbolStyle, ink);
    } else {
        DrawFaceGlyph(canvas, key.face, cx, cy, digit ? DigitStyle : SymbolStyle, ink);
    }
}

}  // namespace pictures
