// Drawing surfaces: a full-precision colour canvas to paint on and the 8-bit indexed image it becomes.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "support/dpi_scale.h"
#include "tools/pictures/palette.h"
#include "tools/pictures/shapes.h"

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

// Pixels of a panel drawn at a DPI; shapes are given in 96-DPI panel units and evaluated per pixel,
// so a scaled panel is drawn sharp rather than stretched.
class Canvas {
public:
    Canvas(int width, int height, int dpi = dpi::Base);
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Dpi() const { return dpi_; }
    double Scale() const { return scale_; }  // pixels per panel unit
    // Panel-unit point at the centre of pixel (x, y).
    Point Centre(int x, int y) const { return {(x + 0.5) / scale_, (y + 0.5) / scale_}; }
    // Pixel holding a panel-unit coordinate, and the first pixel past a panel-unit edge.
    int Floor(double v) const { return static_cast<int>(std::floor(v * scale_)); }
    int Ceil(double v) const { return static_cast<int>(std::ceil(v * scale_)); }
    // Coverage of a pixel whose centre is that far from an edge in panel units: one pixel soft at any scale.
    double Cover(double distance) const { return Coverage(distance * scale_); }
    const Colour& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    void Set(int x, int y, const Colour& c) { pixels_[static_cast<std::size_t>(y) * width_ + x] = c; }
    // Points outside the canvas are ignored, so shapes may overhang.
    void Blend(int x, int y, const Colour& c, double alpha);
    // Inks panel-unit rectangles (radius unused, none overlapping another) by the share of each pixel
    // they cover, so that rectangles on whole panel units are solid ink at 96 DPI.
    void Fill(const std::vector<RoundRect>& rects, const Colour& ink);
    // The area (x, y, width, height) mapped onto the shared palette.
    IndexImage Quantize(Quantizer& q, int x, int y, int width, int height) const;

private:
    int width_, height_, dpi_;
    double scale_;
    std::vector<Colour> pixels_;
};

}  // namespace pictures
