// Gradient noise for the marble: lattice gradients from a hash, quintic blending, rotated octaves.
#include "tools/pictures/noise.h"

#include <cmath>

#include "tools/pictures/prng.h"

namespace pictures {
namespace {

double SineReduced(double x) {  // |x| <= pi/2
    const double x2 = x * x;
    return x * (1.0 + x2 * (-1.0 / 6 + x2 * (1.0 / 120 + x2 * (-1.0 / 5040 + x2 * (1.0 / 362880 - x2 / 39916800)))));
}

double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Cosines of k * 22.5 degrees: sixteen gradient directions.
constexpr double GradX[16] = {1.0, 0.92387953251128674, 0.70710678118654757, 0.38268343236508984,
                              0.0, -0.38268343236508984, -0.70710678118654757, -0.92387953251128674,
                              -1.0, -0.92387953251128674, -0.70710678118654757, -0.38268343236508984,
                              0.0, 0.38268343236508984, 0.70710678118654757, 0.92387953251128674};

double GradDot(uint64_t h, double dx, double dy) {
    const unsigned k = static_cast<unsigned>(h >> 60);
    return GradX[k] * dx + GradX[(k + 12) & 15] * dy;  // sin(a) = cos(a - 90 degrees)
}

}  // namespace

double Sine(double x) {
    const double turns = std::floor(x / (2 * Pi) + 0.5);
    double r = x - turns * 2 * Pi;  // [-pi, pi]
    if (r > Pi / 2) r = Pi - r;
    if (r < -Pi / 2) r = -Pi - r;
    return SineReduced(r);
}

double Cosine(double x) { return Sine(x + Pi / 2); }

double GradientNoise::At(double x, double y) const {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
    const double dx = x - fx, dy = y - fy;
    const double n00 = GradDot(HashCell(ix, iy, seed_), dx, dy);
    const double n10 = GradDot(HashCell(ix + 1, iy, seed_), dx - 1, dy);
    const double n01 = GradDot(HashCell(ix, iy + 1, seed_), dx, dy - 1);
    const double n11 = GradDot(HashCell(ix + 1, iy + 1, seed_), dx - 1, dy - 1);
    const double u = Fade(dx), v = Fade(dy);
    const double a = n00 + u * (n10 - n00);
    const double b = n01 + u * (n11 - n01);
    return a + v * (b - a);
}

double GradientNoise::Fractal(double x, double y, int octaves) const {
    // Each octave is turned by about 29 degrees and shifted so the lattices do not line up.
    constexpr double c = 0.87758256189037276, s = 0.47942553860420301;
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * At(x + o * 17.31, y - o * 9.77);
        norm += amplitude;
        const double nx = (c * x - s * y) * 2, ny = (s * x + c * y) * 2;
        x = nx;
        y = ny;
        amplitude *= 0.5;
    }
    return sum / norm * 1.4;
}

}  // namespace pictures
