// Colour canvas operations and the rounding of its colours onto the shared palette.
#include "tools/pictures/canvas.h"

#include <algorithm>
#include <cmath>

namespace pictures {
namespace {

int Channel(double v) {
    const double rounded = std::floor(v + 0.5);
    return rounded < 0 ? 0 : rounded > 255 ? 255 : static_cast<int>(rounded);
}

}  // namespace

Colour Mix(const Colour& a, const Colour& b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(const Colour& c, double f) { return {c.r * f, c.g * f, c.b * f}; }

Colour Grey(double level) { return {level, level, level}; }

Canvas::Canvas(int width, int height, int dpi)
    : width_(width),
      height_(height),
      dpi_(dpi),
      scale_(static_cast<double>(dpi) / dpi::Base),
      pixels_(static_cast<std::size_t>(width) * height, Colour{0, 0, 0}) {}

void Canvas::Blend(int x, int y, const Colour& c, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
    Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p = alpha >= 1 ? c : Mix(p, c, alpha);
}

void Canvas::Fill(const std::vector<RoundRect>& rects, const Colour& ink) {
    if (rects.empty()) return;
    int x0 = Floor(rects[0].left), y0 = Floor(rects[0].top), x1 = Ceil(rects[0].right), y1 = Ceil(rects[0].bottom);
    for (const RoundRect& r : rects) {
        x0 = std::min(x0, Floor(r.left));
        y0 = std::min(y0, Floor(r.top));
        x1 = std::max(x1, Ceil(r.right));
        y1 = std::max(y1, Ceil(r.bottom));
    }
    // Summed first, so that a pixel shared by two touching rectangles is inked once, in full.
    const int w = x1 - x0;
    std::vector<double> cover(static_cast<std::size_t>(w) * (y1 - y0), 0.0);
    for (const RoundRect& r : rects)
        for (int y = Floor(r.top); y < Ceil(r.bottom); ++y) {
            const double oy = std::min(y + 1.0, r.bottom * scale_) - std::max(static_cast<double>(y), r.top * scale_);
            for (int x = Floor(r.left); x < Ceil(r.right); ++x) {
                const double ox = std::min(x + 1.0, r.right * scale_) - std::max(static_cast<double>(x), r.left * scale_);
                cover[static_cast<std::size_t>(y - y0) * w + (x - x0)] += ox * oy;
            }
        }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            Blend(x, y, ink, std::min(cover[static_cast<std::size_t>(y - y0) * w + (x - x0)], 1.0));
}

IndexImage Canvas::Quantize(Quantizer& q, int x, int y, int width, int height) const {
    IndexImage image{width, height, std::vector<uint8_t>(static_cast<std::size_t>(width) * height)};
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const Colour& c = At(x + col, y + row);
            image.pixels[static_cast<std::size_t>(row) * width + col] = q.Nearest(Channel(c.r), Channel(c.g), Channel(c.b));
        }
    return image;
}

}  // namespace pictures
