// Signed distances and coverage of the shapes the pictures are made of, evaluated at pixel centres.
#pragma once

namespace pictures {

struct Point {
    double x, y;
};

// A rectangle with rounded corners; edges in pixel coordinates (right and bottom exclusive).
struct RoundRect {
    double left, top, right, bottom, radius;
    RoundRect Inset(double by) const { return {left + by, top + by, right - by, bottom - by, radius - by}; }
};

// Negative inside, positive outside, in pixels.
double Distance(const RoundRect& r, Point p);
// Unit vector pointing out of the shape at p.
Point OutwardNormal(const RoundRect& r, Point p);
// Fraction of the pixel whose centre lies at that distance that is inside.
double Coverage(double distance);

double SegmentDistance(Point p, Point a, Point b);
bool InTriangle(Point p, Point a, Point b, Point c);

}  // namespace pictures
