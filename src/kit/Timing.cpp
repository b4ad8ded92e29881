#include "kit/Timing.h"

#include <cmath>

namespace kit {

namespace {

// One coordinate of the curve at parameter s, with end points 0 and 1.
double bezier(double p1, double p2, double s) {
    const double inv = 1 - s;
    return 3 * inv * inv * s * p1 + 3 * inv * s * s * p2 + s * s * s;
}

double bezierSlope(double p1, double p2, double s) {
    const double inv = 1 - s;
    return 3 * inv * inv * p1 + 6 * inv * s * (p2 - p1) + 3 * s * s * (1 - p2);
}

}  // namespace

TimingFunction TimingFunction::named(Name name) {
    switch (name) {
        case Name::Linear: return {0.0, 0.0, 1.0, 1.0};
        case Name::EaseIn: return {0.42, 0.0, 1.0, 1.0};
        case Name::EaseOut: return {0.0, 0.0, 0.58, 1.0};
        case Name::EaseInEaseOut: return {0.42, 0.0, 0.58, 1.0};
        case Name::Default: return {0.25, 0.1, 0.25, 1.0};
    }
    return {};
}

double TimingFunction::valueAt(double t) const {
    if (!(t > 0)) return 0;   // also catches NaN
    if (t >= 1) return 1;

    // Find the curve parameter s whose x is t. With control x values in
    // [0, 1] x(s) is monotonic, so Newton's method from s = t converges
    // quickly; where the slope flattens it can overshoot, and bisection,
    // which always converges, takes over.
    double s = t;
    for (int i = 0; i < 8; ++i) {
        const double error = bezier(c1x, c2x, s) - t;
        if (std::fabs(error) < 1e-9) return bezier(c1y, c2y, s);
        const double slope = bezierSlope(c1x, c2x, s);
        if (std::fabs(slope) < 1e-7) break;
        s -= error / slope;
        if (s < 0 || s > 1) break;
    }
    double lo = 0, hi = 1;
    s = t;
    for (int i = 0; i < 60; ++i) {
        const double x = bezier(c1x, c2x, s);
        if (std::fabs(x - t) < 1e-9) break;
        (x < t ? lo : hi) = s;
        s = (lo + hi) / 2;
    }
    return bezier(c1y, c2y, s);
}

}  // namespace kit
