// Glyph outlines as data: pen paths (lines and elliptic arcs, stroked), dots, and filled triangles and bars.
#include "tools/pictures/face_glyphs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/pictures/noise.h"
#include "tools/pictures/shapes.h"

namespace pictures {
namespace {

// M: pen to (a, b). L: line to (a, b). A: arc joined to the pen, a: arc starting a new path; both with
// centre (a, b), radii (c, d), from angle e to f in degrees (90 is up). D: dot at (a, b), radius c.
// T: filled triangle (a, b) (c, d) (e, f). R: filled bar from (a, b) to (c, d).
struct Part {
    char kind;
    double a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
};

struct GlyphDef {
    std::string_view name;
    double width, height;  // box, in glyph units
    std::vector<Part> parts;
};

const std::vector<GlyphDef>& Glyphs() {
    static const std::vector<GlyphDef> glyphs = {
        {"0", 6, 10, {{'a', 3, 5, 3, 5, 90, 450}}},
        {"1", 6, 10, {{'M', 0.9, 2.3}, {'L', 3.7, 0}, {'L', 3.7, 10}}},
        {"2", 6, 10, {{'a', 3, 3, 3, 3, 165, -40}, {'L', 0, 10}, {'L', 6, 10}}},
        {"3", 6, 10, {{'a', 3, 2.5, 2.7, 2.5, 160, -90}, {'A', 3, 7.5, 3, 2.5, 90, -160}}},
        {"4", 6, 10, {{'M', 4.4, 10}, {'L', 4.4, 0}, {'L', 0, 7}, {'L', 6.2, 7}}},
        {"5", 6, 10, {{'M', 5.6, 0}, {'L', 1, 0}, {'L', 0.7, 4.9}, {'A', 3, 6.9, 3, 3.1, 140, -145}}},
        {"6", 6, 10, {{'a', 3.1, 5.2, 3, 5.2, 65, 180}, {'L', 0.1, 7}, {'A', 3, 7, 2.9, 3, 180, -180}}},
        {"7", 6, 10, {{'M', 0, 0}, {'L', 6, 0}, {'L', 2.2, 10}}},
        {"8", 6, 10, {{'a', 3, 2.5, 2.6, 2.5, 90, 450}, {'a', 3, 7.5, 3, 2.5, 90, 450}}},
        {"9", 6, 10, {{'a', 2.9, 4.8, 3, 5.2, 245, 360}, {'L', 5.9, 3}, {'A', 3, 3, 2.9, 3, 0, -360}}},
        {".", 6, 10, {{'D', 3, 8.8, 1.7}}},
        {"-", 6, 10, {{'M', 0.8, 5.6}, {'L', 5.2, 5.6}}},
        {":", 6, 10, {{'D', 3, 2.6, 1.5}, {'D', 3, 8.6, 1.5}}},
        {"cursor-up", 14, 9, {{'T', 7, 0, 14, 9, 0, 9}}},
        {"cursor-down", 14, 9, {{'T', 0, 0, 14, 0, 7, 9}}},
        {"cursor-left", 9, 14, {{'T', 0, 7, 9, 0, 9, 14}}},
        {"cursor-right", 9, 14, {{'T', 0, 0, 9, 7, 0, 14}}},
        {"line-up", 14, 13, {{'R', 0, 0, 14, 2.4}, {'T', 7, 4.2, 14, 13, 0, 13}}},
        {"line-down", 14, 13, {{'T', 0, 0, 14, 0, 7, 8.8}, {'R', 0, 10.6, 14, 13}}},
        {"adjust-up", 12, 16, {{'T', 6, 0, 12, 7, 0, 7}, {'M', 6, 6}, {'L', 6, 16}}},
        {"adjust-down", 12, 16, {{'T', 0, 9, 12, 9, 6, 16}, {'M', 6, 0}, {'L', 6, 10}}},
        {"fast", 12, 10, {{'M', 0, 0}, {'L', 5, 5}, {'L', 0, 10}, {'M', 7, 0}, {'L', 12, 5}, {'L', 7, 10}}},
        {"slow", 5, 10, {{'M', 0, 0}, {'L', 5, 5}, {'L', 0, 10}}},
        {"enter", 14, 11, {{'M', 13, 0}, {'L', 13, 7}, {'L', 3, 7}, {'T', 0, 7, 5.5, 2.5, 5.5, 11.5}}},
        {"exit", 15, 13,
         {{'M', 6, 0}, {'L', 14, 0}, {'L', 14, 13}, {'L', 6, 13}, {'M', 10.5, 6.5}, {'L', 3, 6.5},
          {'T', 0, 6.5, 5, 2.5, 5, 10.5}}},
        {"Q", 7, 10, {{'a', 3.5, 5, 3.5, 5, 90, 450}, {'M', 4.4, 7.2}, {'L', 7, 10.3}}},
        {"U", 7, 10, {{'M', 0, 0}, {'L', 0, 6.5}, {'A', 3.5, 6.5, 3.5, 3.5, 180, 360}, {'L', 7, 0}}},
        {"O", 7, 10, {{'a', 3.5, 5, 3.5, 5, 90, 450}}},
        {"R", 7, 10,
         {{'M', 0, 10}, {'L', 0, 0}, {'L', 4, 0}, {'A', 4, 2.75, 2.9, 2.75, 90, -90}, {'L', 0, 5.5},
          {'M', 3.6, 5.5}, {'L', 7, 10}}},
        {"V", 7, 10, {{'M', 0, 0}, {'L', 3.5, 10}, {'L', 7, 0}}},
        {"E", 7, 10, {{'M', 6.5, 0}, {'L', 0, 0}, {'L', 0, 10}, {'L', 6.5, 10}, {'M', 0, 5}, {'L', 5.5, 5}}},
        {"X", 7, 10, {{'M', 0, 0}, {'L', 7, 10}, {'M', 7, 0}, {'L', 0, 10}}},
    };
    return glyphs;
}

const GlyphDef* Find(std::string_view name) {
    for (const GlyphDef& g : Glyphs())
        if (g.name == name) return &g;
    return nullptr;
}

struct Disc {
    Point centre;
    double radius;
};

struct Triangle {
    Point a, b, c;
};

// The glyph in pixel coordinates.
struct Outline {
    std::vector<std::pair<Point, Point>> segments;
    std::vector<Disc> discs;
    std::vector<Triangle> triangles;
};

Outline Place(const GlyphDef& g, double cx, double cy, const GlyphStyle& style) {
    const auto at = [&](double x, double y) {
        return Point{cx + (x - g.width / 2) * style.scale, cy + (y - g.height / 2) * style.scale};
    };
    Outline out;
    Point pen{0, 0};
    bool down = false;
    const auto lineTo = [&](Point p) {
        if (down) out.segments.push_back({pen, p});
        pen = p;
        down = true;
    };
    for (const Part& p : g.parts) {
        switch (p.kind) {
            case 'M': pen = at(p.a, p.b); down = true; break;
            case 'L': lineTo(at(p.a, p.b)); break;
            case 'a':
            case 'A': {
                if (p.kind == 'a') down = false;
                const int steps = std::max(8, static_cast<int>(std::fabs(p.f - p.e) / 7.5));
                for (int i = 0; i <= steps; ++i) {
                    const double angle = (p.e + (p.f - p.e) * i / steps) * Pi / 180;
                    lineTo(at(p.a + p.c * Cosine(angle), p.b - p.d * Sine(angle)));
                }
                break;
            }
            case 'D': out.discs.push_back({at(p.a, p.b), p.c * style.scale}); break;
            case 'T': out.triangles.push_back({at(p.a, p.b), at(p.c, p.d), at(p.e, p.f)}); break;
            case 'R': {
                const Point a = at(p.a, p.b), b = at(p.c, p.b), c = at(p.c, p.d), d = at(p.a, p.d);
                out.triangles.push_back({a, b, c});
                out.triangles.push_back({a, c, d});
                break;
            }
            default: break;
        }
    }
    return out;
}

// Filled shapes are sampled 4 x 4 per pixel; strokes and dots use their distance, in pixels.
double CoverageAt(const Outline& o, const Canvas& canvas, int px, int py, double halfWidth) {
    const Point centre = canvas.Centre(px, py);
    const double s = canvas.Scale(), x = centre.x, y = centre.y;
    double best = 0;
    if (!o.segments.empty()) {
        double d = 1e9;
        for (const auto& seg : o.segments) d = std::min(d, SegmentDistance({x, y}, seg.first, seg.second));
        best = std::clamp((halfWidth - d) * s + 0.5, 0.0, 1.0);
    }
    for (const Disc& disc : o.discs) {
        const double dx = x - disc.centre.x, dy = y - disc.centre.y;
        best = std::max(best, std::clamp((disc.radius - std::sqrt(dx * dx + dy * dy)) * s + 0.5, 0.0, 1.0));
    }
    if (!o.triangles.empty() && best < 1) {
        int inside = 0;
        for (int sy = 0; sy < 4; ++sy)
            for (int sx = 0; sx < 4; ++sx) {
                const Point p{(px + 0.125 + sx * 0.25) / s, (py + 0.125 + sy * 0.25) / s};
                for (const Triangle& t : o.triangles)
                    if (InTriangle(p, t.a, t.b, t.c)) {
                        ++inside;
                        break;
                    }
            }
        best = std::max(best, inside / 16.0);
    }
    return best;
}

}  // namespace

bool HasFaceGlyph(std::string_view name) { return Find(name) != nullptr; }

double FaceGlyphWidth(std::string_view name, const GlyphStyle& style) {
    const GlyphDef* g = Find(name);
    return g ? g->width * style.scale : 0;
}

void DrawFaceGlyph(Canvas& canvas, std::string_view name, double cx, double cy, const GlyphStyle& style,
                   const Colour& ink) {
    const GlyphDef* g = Find(name);
    if (!g) return;
    const Outline o = Place(*g, cx, cy, style);
    const double reach = style.strokeWidth + 2;
    const int x0 = canvas.Floor(cx - g->width * style.scale / 2 - reach);
    const int x1 = canvas.Ceil(cx + g->width * style.scale / 2 + reach);
    const int y0 = canvas.Floor(cy - g->height * style.scale / 2 - reach);
    const int y1 = canvas.Ceil(cy + g->height * style.scale / 2 + reach);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) canvas.Blend(x, y, ink, CoverageAt(o, canvas, x, y, style.strokeWidth / 2));
}

}  // namespace pictures
