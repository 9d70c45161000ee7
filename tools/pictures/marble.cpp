// Marble from warped gradient noise: soft clouds, one family of long veins and a sparser family of fine ones.
#include "tools/pictures/marble.h"

#include <algorithm>

#include "tools/pictures/noise.h"

namespace pictures {
namespace {

struct VeinField {
    double strength;      // 0..1 where the veins show
    double main, fine;    // 0..1 vein intensities
    double cloud, grain;  // about -1..1
};

struct MarbleRecipe {
    uint64_t seed;
    double warp, warpScale;
    double mainAngle, mainPeriod, mainTurbulence, mainWidth;
    double fineAngle, finePeriod, fineTurbulence, fineWidth;
};

// Sharp peak where s is 0, falling off smoothly: a vein's cross-section.
double Ridge(double s, double width) {
    const double q = s / width;
    const double f = 1 / (1 + q * q);
    return f * f;
}

VeinField Field(const MarbleRecipe& r, double x, double y) {
    const GradientNoise n(r.seed);
    const double qx = x + r.warp * n.Fractal(x / r.warpScale + 3.1, y / r.warpScale + 7.7, 4);
    const double qy = y + r.warp * n.Fractal(x / r.warpScale + 11.3, y / r.warpScale + 1.9, 4);
    const double ma = r.mainAngle * Pi / 180, fa = r.fineAngle * Pi / 180;
    const double tMain = (qx * Cosine(ma) + qy * Sine(ma)) / r.mainPeriod +
                         r.mainTurbulence * n.Fractal(qx / 75 + 20.5, qy / 75 - 4.2, 5);
    const double tFine = (qx * Cosine(fa) + qy * Sine(fa)) / r.finePeriod +
                         r.fineTurbulence * n.Fractal(qx / 42 - 13.6, qy / 42 + 8.8, 5);
    VeinField f;
    // A vein is a sharp core in a wide, faint halo; its width swells and thins along its length.
    const double swell = 0.6 + 0.8 * std::clamp(0.5 + n.Fractal(qx / 55 + 7.4, qy / 55 - 12.9, 3), 0.0, 1.0);
    const double sMain = Sine(Pi * tMain), sFine = Sine(Pi * tFine);
    f.main = 0.75 * Ridge(sMain, r.mainWidth * swell) + 0.25 * Ridge(sMain, r.mainWidth * 5);
    f.fine = 0.8 * Ridge(sFine, r.fineWidth * swell) + 0.2 * Ridge(sFine, r.fineWidth * 4);
    f.strength = std::clamp(0.55 + 1.1 * n.Fractal(qx / 70 - 31.0, qy / 70 + 2.5, 3), 0.0, 1.0);
    f.cloud = n.Fractal(x / 95 + 50.2, y / 95 - 17.1, 5);
    f.grain = n.At(x * 0.9 + 101.3, y * 0.9 - 57.9);
    return f;
}

constexpr MarbleRecipe Panel = {0x51A7E0C3D2B4F1ull, 34, 170, 28, 105, 1.7, 0.07, -52, 38, 2.1, 0.05};
constexpr MarbleRecipe Display = {0x0DA4C0FFEE1234ull, 30, 150, -35, 80, 1.6, 0.06, 40, 45, 2.0, 0.05};

}  // namespace

Colour PanelMarble(double x, double y) {
    const VeinField f = Field(Panel, x, y);
    const double fineStrength = std::clamp(0.15 + f.strength * 0.9 - 0.3 * f.cloud, 0.0, 1.0);
    const double level =
        198 + 11 * f.cloud - 44 * f.strength * f.main - 20 * fineStrength * f.fine + 1.6 * f.grain;
    return {level + 1.5, level + 0.8, level - 1.8};
}

Colour DisplayMarble(double x, double y) {
    const VeinField f = Field(Display, x, y);
    const double level = 19 + 4 * f.cloud + 20 * f.strength * f.main + 5 * f.strength * f.fine + 0.8 * f.grain;
    return {level, level + 0.5, level + 1.5};
}

}  // namespace pictures
