// Composition of the panel: marble, the display window, printed legends, name plate, screws, then the keys.
#include "tools/pictures/panel_art.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "tools/pictures/face_glyphs.h"
#include "tools/pictures/key_art.h"
#include "tools/pictures/label_font.h"
#include "tools/pictures/marble.h"

namespace pictures {
namespace {

constexpr Colour Ink = {30, 30, 33};
constexpr Colour Black = {0, 0, 0};
constexpr Colour White = {255, 255, 255};
constexpr int LabelGap = 2;              // between a key's rectangle and its legend
constexpr int DisplayClearance = 5;      // legends keep this far from the display window
constexpr std::string_view Name = "QUORVEX";
constexpr GlyphStyle NameStyle = {1.45, 2.1};
constexpr double NameCentreX = 527.5, NameCentreY = 56, NameAdvance = 15.5;

// Group legends printed under a pair of keys, with a rule either side reaching to the outer caps.
struct GroupLabel {
    std::string_view text;
    int32_t firstKey, lastKey;  // key table indices
};
constexpr GroupLabel Groups[] = {{"ADJUST", 6, 7}};

struct Screw {
    double x, y;
};
constexpr Screw Screws[] = {{5.5, 5.5}, {624.5, 5.5}, {5.5, 378.5}, {624.5, 378.5}};
constexpr double ScrewRadius = 2.8;

Box LabelBox(const KeySpec& k) {
    const int width = LabelWidth(k.label);
    const int centre = k.x + k.width / 2 + k.capShift;
    const int top = k.y + k.height + LabelGap;
    const bool besideDisplay = top < DisplayOutline.bottom + DisplayClearance;
    const int left = besideDisplay ? std::max(centre - width / 2, DisplayOutline.right + DisplayClearance)
                                   : centre - width / 2;
    return {left, top, left + width, top + LabelHeight};
}

Box GroupBox(const GroupLabel& g) {
    const KeySpec& a = Keys[g.firstKey];
    const KeySpec& b = Keys[g.lastKey];
    const int top = std::max(a.y + a.height, b.y + b.height) + LabelGap;
    return {a.x + 4, top, b.x + b.width - 4, top + LabelHeight};
}

Box NameBox() {
    const double half = NameAdvance * (Name.size() - 1) / 2 + 7 * NameStyle.scale / 2 + NameStyle.strokeWidth;
    const double halfHeight = 5 * NameStyle.scale + NameStyle.strokeWidth;
    return {static_cast<int32_t>(std::floor(NameCentreX - half)), static_cast<int32_t>(std::floor(NameCentreY - halfHeight)),
            static_cast<int32_t>(std::ceil(NameCentreX + half)), static_cast<int32_t>(std::ceil(NameCentreY + halfHeight))};
}

void PaintMarble(Canvas& c) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const Point p = c.Centre(x, y);
            c.Set(x, y, PanelMarble(p.x, p.y));
        }
}

Box Grown(const Box& b, int32_t by) { return {b.left - by, b.top - by, b.right + by, b.bottom + by}; }
bool Contains(const Box& b, int x, int y) { return x >= b.left && x < b.right && y >= b.top && y < b.bottom; }

// Black outline, dark marble inside, and a narrow chamfer of the cut around it; one panel unit each,
// scaled by their edges so that they stay hard-edged and where the window puts the display text.
void PaintDisplayWindow(Canvas& c) {
    const Box o = dpi::ScaledBox(DisplayOutline, c.Dpi());
    const Box inner = dpi::ScaledBox(Grown(DisplayOutline, -1), c.Dpi());
    const Box nearRing = dpi::ScaledBox(Grown(DisplayOutline, 1), c.Dpi());
    const Box farRing = dpi::ScaledBox(Grown(DisplayOutline, 2), c.Dpi());
    for (int y = farRing.top; y < farRing.bottom; ++y)
        for (int x = farRing.left; x < farRing.right; ++x) {
            const bool within = Contains(o, x, y);
            const bool inside = Contains(inner, x, y);
            const bool outline = within && !inside;
            if (outline) {
                c.Set(x, y, Black);
            } else if (inside) {
                const Point p = c.Centre(x, y);
                c.Set(x, y, DisplayMarble(p.x, p.y));
            } else {
                const int ring = (x < o.left || y < o.top) ? 1 : 0;  // upper or left side of the cut
                const double weight = Contains(nearRing, x, y) ? 1.0 : 0.45;
                c.Set(x, y, ring ? Scale(c.At(x, y), 1 - 0.28 * weight) : Mix(c.At(x, y), White, 0.3 * weight));
            }
        }
}

void PaintLabels(Canvas& c) {
    for (const KeySpec& k : Keys)
        if (*k.label) {
            const Box b = LabelBox(k);
            DrawLabel(c, b.left, b.top, k.label, Ink);
        }
    for (const GroupLabel& g : Groups) {
        const Box b = GroupBox(g);
        const int width = LabelWidth(g.text);
        const int left = (b.left + b.right - width) / 2;
        DrawLabel(c, left, b.top, g.text, Ink);
        const double rule = b.top + LabelHeight / 2, top = b.top + 1;
        c.Fill({{static_cast<double>(b.left), rule, left - 4.0, rule + 1, 0},
                {left + width + 4.0, rule, static_cast<double>(b.right), rule + 1, 0},
                {static_cast<double>(b.left), top, b.left + 1.0, rule, 0},
                {b.right - 1.0, top, static_cast<double>(b.right), rule, 0}},
               Ink);
    }
}

void PaintName(Canvas& c) {
    const double first = NameCentreX - NameAdvance * (Name.size() - 1) / 2;
    for (size_t i = 0; i < Name.size(); ++i)
        DrawFaceGlyph(c, Name.substr(i, 1), first + NameAdvance * i, NameCentreY, NameStyle, Ink);
}

// Cross-head screws: a domed steel head lit from the top left, the cross recess dark; each edge one
// pixel soft at any scale.
void PaintScrews(Canvas& c) {
    const double k = c.Scale();
    for (const Screw& s : Screws)
        for (int y = c.Floor(s.y - ScrewRadius - 2); y <= c.Floor(s.y + ScrewRadius + 2); ++y)
            for (int x = c.Floor(s.x - ScrewRadius - 2); x <= c.Floor(s.x + ScrewRadius + 2); ++x) {
                const Point p = c.Centre(x, y);
                const double dx = p.x - s.x, dy = p.y - s.y;
                const double r = std::sqrt(dx * dx + dy * dy);
                c.Blend(x, y, Scale(c.At(x, y), 0.62), std::clamp((ScrewRadius + 1.2 - r) * k, 0.0, 1.0) * 0.6);
                const double lit = std::clamp(0.5 - (dx + dy) / (2.8 * ScrewRadius), 0.0, 1.0);
                const Colour steel = Mix(Grey(92), Grey(222), lit);
                c.Blend(x, y, steel, std::clamp((ScrewRadius - r) * k + 0.5, 0.0, 1.0));
                const double slot = std::min(std::fabs(dx), std::fabs(dy));  // the recess is a panel unit wide
                if (r < ScrewRadius - 0.8)
                    c.Blend(x, y, Grey(40), std::clamp((1.0 - slot) * k + 0.5 * (1 - k), 0.0, 1.0) * 0.9);
            }
}

IndexImage Crop(const IndexImage& from, const Box& b) {
    const int width = b.right - b.left, height = b.bottom - b.top;
    IndexImage out{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.pixels[static_cast<size_t>(y) * width + x] = from.At(b.left + x, b.top + y);
    return out;
}

}  // namespace

std::vector<Box> PrintedBoxes() {
    std::vector<Box> boxes;
    for (const KeySpec& k : Keys)
        if (*k.label) boxes.push_back(LabelBox(k));
    for (const GroupLabel& g : Groups) boxes.push_back(GroupBox(g));
    boxes.push_back(NameBox());
    for (const Screw& s : Screws)
        boxes.push_back({static_cast<int32_t>(std::floor(s.x - ScrewRadius - 1.5)),
                         static_cast<int32_t>(std::floor(s.y - ScrewRadius - 1.5)),
                         static_cast<int32_t>(std::ceil(s.x + ScrewRadius + 1.5)),
                         static_cast<int32_t>(std::ceil(s.y + ScrewRadius + 1.5))});
    return boxes;
}

Pictures MakePictures(int32_t dpi) {
    const int width = dpi::Scaled(panel::Width, dpi), height = dpi::Scaled(panel::Height, dpi);
    Canvas bare(width, height, dpi);
    PaintMarble(bare);
    PaintDisplayWindow(bare);
    PaintLabels(bare);
    PaintName(bare);
    PaintScrews(bare);

    Canvas full = bare;
    for (const KeySpec& k : Keys) DrawKey(full, k, false);

    Quantizer q;
    Pictures out;
    out.panel = full.Quantize(q, 0, 0, width, height);
    for (int i = 0; i < KeyCount; ++i) {
        const KeySpec& k = Keys[i];
        const Box b = dpi::ScaledBox(KeyBox(k), dpi);
        out.normal[i] = Crop(out.panel, b);
        Canvas down = bare;
        DrawKey(down, k, true);
        const IndexImage pressed = down.Quantize(q, b.left, b.top, b.right - b.left, b.bottom - b.top);
        // Outside the collar the key shows the panel exactly, whatever the neighbours drew there.
        const RoundRect collar = CollarOf(k);
        out.pressed[i] = out.normal[i];
        for (int y = 0; y < pressed.height; ++y)
            for (int x = 0; x < pressed.width; ++x)
                if (down.Cover(Distance(collar, down.Centre(b.left + x, b.top + y))) > 0)
                    out.pressed[i].pixels[static_cast<size_t>(y) * pressed.width + x] = pressed.At(x, y);
    }
    return out;
}

}  // namespace pictures
