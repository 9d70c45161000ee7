// The guide's pictures: cut and marked from the panel and key pictures that res/ gets, so that
// they show exactly what the program draws.
#include "tools/pictures/guide_pictures.h"

#include <algorithm>

#include "tools/pictures/label_font.h"
#include "tools/pictures/palette.h"
#include "tools/pictures/panel_art.h"
#include "tools/pictures/png_file.h"

namespace pictures {
namespace {

constexpr Colour Ink = {20, 20, 24};
constexpr Colour TagPaper = {255, 246, 190};
constexpr Colour BarFace = {240, 240, 240}, BarShadow = {160, 160, 160}, BarLight = {255, 255, 255};

Canvas ToCanvas(const IndexImage& image, int x, int y, int width, int height) {
    const Palette& palette = SharedPalette();
    Canvas c(width, height);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const Rgb& p = palette[image.At(x + col, y + row)];
            c.Set(col, row, {static_cast<double>(p.r), static_cast<double>(p.g), static_cast<double>(p.b)});
        }
    return c;
}

void Fill(Canvas& c, const Box& b, const Colour& colour) {
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x) c.Blend(x, y, colour, 1.0);
}

// A name on a paper tag at the foot of the key, under its face.
void DrawTag(Canvas& c, const KeySpec& k, const char* name) {
    const int width = LabelWidth(name) + 4;
    const int centre = k.x + k.width / 2 + k.capShift;
    const Box tag = {centre - width / 2, k.y + k.height - LabelHeight - 6, centre - width / 2 + width, k.y + k.height - 2};
    Fill(c, tag, Ink);
    Fill(c, {tag.left + 1, tag.top + 1, tag.right - 1, tag.bottom - 1}, TagPaper);
    DrawLabel(c, tag.left + 2, tag.top + 2, name, Ink);
}

Canvas PanelWithNames(const Pictures& p) {
    Canvas c = ToCanvas(p.panel, 0, 0, panel::Width, panel::Height);
    for (int i = 0; i < KeyCount; ++i) DrawTag(c, Keys[i], KeyTable::Rows[i].legend);
    return c;
}

// FAST and SLOW with their printed legends: both up (lamps unlit), FAST down, SLOW down.
Canvas Lamps(const Pictures& p) {
    const KeySpec& fast = Keys[KeyTable::Index(KeyId::Fast)];
    const KeySpec& slow = Keys[KeyTable::Index(KeyId::Slow)];
    const Box area = {fast.x - 2, fast.y, slow.x + slow.width + 2, std::min(panel::Height, slow.y + slow.height + 12)};
    const int w = area.right - area.left, h = area.bottom - area.top;
    constexpr int Gap = 8;
    Canvas c(3 * w + 2 * Gap, h);
    Fill(c, {0, 0, c.Width(), h}, BarLight);
    const KeySpec* down[] = {nullptr, &fast, &slow};
    for (int state = 0; state < 3; ++state) {
        IndexImage panel = p.panel;
        if (const KeySpec* k = down[state]) {
            const IndexImage& pressed = p.pressed[KeyTable::Index(k->id)];
            for (int y = 0; y < k->height; ++y)
                for (int x = 0; x < k->width; ++x)
                    panel.pixels[static_cast<size_t>(k->y + y) * panel.width + k->x + x] = pressed.At(x, y);
        }
        const Canvas part = ToCanvas(panel, area.left, area.top, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) c.Set(state * (w + Gap) + x, y, part.At(x, y));
    }
    return c;
}

// Pane 0 of the status bar as the stall shows it, and the start of pane 1.
Canvas StallBar(const std::string& text) {
    constexpr int Height = 20, Margin = 4, NextPane = 16;
    const int paneRight = Margin + LabelWidth(text) + 2 * Margin;
    Canvas c(paneRight + 2 + NextPane, Height);
    Fill(c, {0, 0, c.Width(), Height}, BarFace);
    Fill(c, {0, 0, c.Width(), 1}, BarShadow);
    for (const Box pane : {Box{0, 2, paneRight, Height}, Box{paneRight + 2, 2, c.Width() + 1, Height}}) {
        Fill(c, {pane.left, pane.top, pane.right, pane.top + 1}, BarShadow);
        Fill(c, {pane.left, pane.top, pane.left + 1, pane.bottom}, BarShadow);
        Fill(c, {pane.right - 1, pane.top, pane.right, pane.bottom}, BarLight);
    }
    DrawLabel(c, Margin, 6, text, Ink);
    return c;
}

}  // namespace

std::string ResourceText(const std::string& script, unsigned id) {
    const std::string key = std::to_string(id) + " \"";
    for (size_t line = 0; line < script.size(); line = script.find('\n', line) + 1) {
        const size_t start = script.find_first_not_of(" \t", line);
        if (start == std::string::npos) break;
        if (script.compare(start, key.size(), key) == 0) {
            const size_t first = start + key.size();
            const size_t end = script.find('"', first);
            if (end != std::string::npos) return script.substr(first, end - first);
        }
        if (script.find('\n', line) == std::string::npos) break;
    }
    return {};
}

std::vector<PictureFile> MakeGuidePictures(const std::string& stallFormat) {
    std::string stall = stallFormat;
    const size_t number = stall.find("%d");
    if (number != std::string::npos) stall.replace(number, 2, std::to_string(StallPictureCommands));
    bool covered = !stall.empty() && LabelCovers(stall);
    for (const KeyRow& key : KeyTable::Rows) covered = covered && LabelCovers(key.legend);
    if (!covered) return {};
    const Pictures p = MakePictures();
    return {{"panel-keys.png", EncodePng(PanelWithNames(p))},
            {"lamps.png", EncodePng(Lamps(p))},
            {"stall.png", EncodePng(StallBar(stall))}};
}

}  // namespace pictures
