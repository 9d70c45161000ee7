// Distance functions of rounded rectangles and segments, and the triangle test.
#include "tools/pictures/shapes.h"

#include <algorithm>
#include <cmath>

namespace pictures {

double Distance(const RoundRect& r, Point p) {
    const double cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const double rad = std::max(r.radius, 0.0);
    const double qx = std::fabs(p.x - cx) - ((r.right - r.left) / 2 - rad);
    const double qy = std::fabs(p.y - cy) - ((r.bottom - r.top) / 2 - rad);
    const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - rad;
}

Point OutwardNormal(const RoundRect& r, Point p) {
    constexpr double h = 0.25;
    const double gx = Distance(r, {p.x + h, p.y}) - Distance(r, {p.x - h, p.y});
    const double gy = Distance(r, {p.x, p.y + h}) - Distance(r, {p.x, p.y - h});
    const double length = std::sqrt(gx * gx + gy * gy);
    return length > 0 ? Point{gx / length, gy / length} : Point{0, 0};
}

double Coverage(double distance) { return std::clamp(0.5 - distance, 0.0, 1.0); }

double SegmentDistance(Point p, Point a, Point b) {
    const double vx = b.x - a.x, vy = b.y - a.y;
    const double wx = p.x - a.x, wy = p.y - a.y;
    const double lengthSquared = vx * vx + vy * vy;
    const double t = lengthSquared > 0 ? std::clamp((wx * vx + wy * vy) / lengthSquared, 0.0, 1.0) : 0.0;
    const double dx = wx - t * vx, dy = wy - t * vy;
    return std::sqrt(dx * dx + dy * dy);
}

bool InTriangle(Point p, Point a, Point b, Point c) {
    const auto side = [](Point p, Point a, Point b) { return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x); };
    const double d1 = side(p, a, b), d2 = side(p, b, c), d3 = side(p, c, a);
    const bool negative = d1 < 0 || d2 < 0 || d3 < 0, positive = d1 > 0 || d2 > 0 || d3 > 0;
    return !(negative && positive);
}

}  // namespace pictures
