// Colour canvas operations and the rounding of its colours onto the shared palette.
#include "tools/pictures/canvas.h"

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

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, Colour{0, 0, 0}) {}

void Canvas::Blend(int x, int y, const Colour& c, double alpha) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
    Colour& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p = alpha >= 1 ? c : Mix(p, c, alpha);
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
