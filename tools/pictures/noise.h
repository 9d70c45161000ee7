// Gradient noise and fractal sums built only on basic arithmetic, so every run gives the same bits.
#pragma once
#include <cstdint>

namespace pictures {

constexpr double Pi = 3.14159265358979323846;

// Sine and cosine by range reduction and a polynomial: no dependence on the C library's versions.
double Sine(double x);
double Cosine(double x);

class GradientNoise {
public:
    explicit GradientNoise(uint64_t seed) : seed_(seed) {}
    // Smooth noise of about unit feature size, roughly in [-0.7, 0.7].
    double At(double x, double y) const;
    // Sum of octaves, each twice the frequency and half the amplitude, scaled to roughly [-1, 1].
    double Fractal(double x, double y, int octaves) const;

private:
    uint64_t seed_;
};

}  // namespace pictures
