#pragma once

#include <cstdint>

namespace kit {

// A CAMediaTimingFunction: a cubic Bézier from (0,0) to (1,1) through two
// control points, mapping the elapsed fraction of an animation's duration to
// the fraction of its change that has happened.
struct TimingFunction {
    // CAMediaTimingFunctionName
    enum class Name : std::uint8_t { Linear, EaseIn, EaseOut, EaseInEaseOut, Default };

    double c1x = 0, c1y = 0, c2x = 1, c2y = 1;

    // The control points Core Animation documents for each name:
    //   Linear        (0.0, 0.0)  (1.0, 1.0)
    //   EaseIn        (0.42, 0.0) (1.0, 1.0)
    //   EaseOut       (0.0, 0.0)  (0.58, 1.0)
    //   EaseInEaseOut (0.42, 0.0) (0.58, 1.0)
    //   Default       (0.25, 0.1) (0.25, 1.0)
    static TimingFunction named(Name name);

    // Progress at elapsed fraction t; t outside [0, 1] is clamped, so the
    // endpoints are exact whatever rounding the solver does in between.
    double valueAt(double t) const;

    friend bool operator==(const TimingFunction&, const TimingFunction&) = default;
};

}  // namespace kit
