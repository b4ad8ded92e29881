#pragma once

#include <cstdint>

namespace kit {

// The system font at a point size and weight; the only face the product uses.
struct Font {
    enum class Weight : std::uint8_t { Regular, Medium, Semibold, Bold };

    double pointSize = 13;
    Weight weight = Weight::Regular;

    // NSFont.systemFontSize
    static constexpr double systemFontSize() { return 13; }
    static constexpr Font systemFont(double size, Weight weight = Weight::Regular) { return Font{size, weight}; }
    static constexpr Font boldSystemFont(double size) { return Font{size, Weight::Bold}; }

    friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace kit
