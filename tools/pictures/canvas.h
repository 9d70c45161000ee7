// Drawing surfaces: a full-precision colour canvas to paint on and the 8-bit indexed image it becomes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/pictures/palette.h"

namespace pictures {

struct Colour {
    double r, g, b;
};

Colour Mix(const Colour& a, const Colour& b, double t);  // t = 0 gives a, 1 gives b
Colour Scale(const Colour& c, double f);
Colour Grey(double level);

struct IndexImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // top row first
    uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class Canvas {
public:
    Canvas(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    const Colour& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    void Set(int x, int y, const Colour& c) { pixels_[static_cast<std::size_t>(y) * width_ + x] = c; }
    // Points outside the canvas are ignored, so shapes may overhang.
    void Blend(int x, int y, const Colour& c, double alpha);
    // The area (x, y, width, height) mapped onto the shared palette.
    IndexImage Quantize(Quantizer& q, int x, int y, int width, int height) const;

private:
    int width_, height_;
    std::vector<Colour> pixels_;
};

}  // namespace pictures
