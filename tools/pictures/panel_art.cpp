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
        for (int x = 0; x < c.Width(); ++x) c.Set(x, y, PanelMarble(x + 0.5, y + 0.5));
}

// Black outline, dark marble inside, and a narrow chamfer of the cut around it.
void PaintDisplayWindow(Canvas& c) {
    const Box o = DisplayOutline;
    for (int y = o.top - 2; y < o.bottom + 2; ++y)
        for (int x = o.left - 2; x < o.right + 2; ++x) {
            const bool within = x >= o.left && x < o.right && y >= o.top && y < o.bottom;
            const bool inside = x > o.left && x < o.right - 1 && y > o.top && y < o.bottom - 1;
            const bool outline = within && !inside;
            if (outline) {
                c.Set(x, y, Black);
            } else if (inside) {
                c.Set(x, y, DisplayMarble(x + 0.5, y + 0.5));
            } else {
                const int ring = (x < o.left || y < o.top) ? 1 : 0;  // upper or left side of the cut
                const int distance = std::max({o.left - x, x - (o.right - 1), o.top - y, y - (o.bottom - 1)});
                const double weight = distance == 1 ? 1.0 : 0.45;
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
        const int rule = b.top + LabelHeight / 2;
        for (int x = b.left; x < b.right; ++x)
            if (x < left - 4 || x >= left + width + 4) c.Set(x, rule, Ink);
        for (int y = b.top + 1; y < rule; ++y) {
            c.Set(b.left, y, Ink);
            c.Set(b.right - 1, y, Ink);
        }
    }
}

void PaintName(Canvas& c) {
    const double first = NameCentreX - NameAdvance * (Name.size() - 1) / 2;
    for (size_t i = 0; i < Name.size(); ++i)
        DrawFaceGlyph(c, Name.substr(i, 1), first + NameAdvance * i, NameCentreY, NameStyle, Ink);
}

// Cross-head screws: a domed steel head lit from the top left, the cross recess dark.
void PaintScrews(Canvas& c) {
    for (const Screw& s : Screws)
        for (int y = static_cast<int>(s.y - ScrewRadius - 2); y <= static_cast<int>(s.y + ScrewRadius + 2); ++y)
            for (int x = static_cast<int>(s.x - ScrewRadius - 2); x <= static_cast<int>(s.x + ScrewRadius + 2); ++x) {
                const double dx = x + 0.5 - s.x, dy = y + 0.5 - s.y;
                const double r = std::sqrt(dx * dx + dy * dy);
                c.Blend(x, y, Scale(c.At(x, y), 0.62), std::clamp(ScrewRadius + 1.2 - r, 0.0, 1.0) * 0.6);
                const double lit = std::clamp(0.5 - (dx + dy) / (2.8 * ScrewRadius), 0.0, 1.0);
                const Colour steel = Mix(Grey(92), Grey(222), lit);
                c.Blend(x, y, steel, std::clamp(ScrewRadius - r + 0.5, 0.0, 1.0));
                const double slot = std::min(std::fabs(dx), std::fabs(dy));
                if (r < ScrewRadius - 0.8) c.Blend(x, y, Grey(40), std::clamp(1.0 - slot, 0.0, 1.0) * 0.9);
            }
}

IndexImage Crop(const IndexImage& from, const KeySpec& k) {
    IndexImage out{k.width, k.height, std::vector<uint8_t>(static_cast<size_t>(k.width) * k.height)};
    for (int y = 0; y < k.height; ++y)
        for (int x = 0; x < k.width; ++x) out.pixels[static_cast<size_t>(y) * k.width + x] = from.At(k.x + x, k.y + y);
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

Pictures MakePictures() {
    Canvas bare(PanelWidth, PanelHeight);
    PaintMarble(bare);
    PaintDisplayWindow(bare);
    PaintLabels(bare);
    PaintName(bare);
    PaintScrews(bare);

    Canvas full = bare;
    for (const KeySpec& k : Keys) DrawKey(full, k, false);

    Quantizer q;
    Pictures out;
    out.panel = full.Quantize(q, 0, 0, PanelWidth, PanelHeight);
    for (int i = 0; i < KeyCount; ++i) {
        const KeySpec& k = Keys[i];
        out.normal[i] = Crop(out.panel, k);
        Canvas down = bare;
        DrawKey(down, k, true);
        const IndexImage pressed = down.Quantize(q, k.x, k.y, k.width, k.height);
        // Outside the collar the key shows the panel exactly, whatever the neighbours drew there.
        const RoundRect collar = CollarOf(k);
        out.pressed[i] = out.normal[i];
        for (int y = 0; y < k.height; ++y)
            for (int x = 0; x < k.width; ++x)
                if (Coverage(Distance(collar, {k.x + x + 0.5, k.y + y + 0.5})) > 0)
                    out.pressed[i].pixels[static_cast<size_t>(y) * k.width + x] = pressed.At(x, y);
    }
    return out;
}

}  // namespace pictures
