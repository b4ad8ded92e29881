#pragma once

#include <cstdint>

namespace kit {

// Either a fixed colour or a semantic one that the host resolves with the
// current appearance (dark or light), as the platform's dynamic colours do.
struct Color {
    enum class Semantic : std::uint8_t {
        None, Label, SecondaryLabel, Accent, White, Clear, Black, WindowBackground, TextBackground
    };

    Semantic semantic = Semantic::Clear;
    double red = 0, green = 0, blue = 0, alpha = 0;

    static Color rgba(double r, double g, double b, double a = 1.0) {
        return Color{Semantic::None, r, g, b, a};
    }
    static Color named(Semantic s, double alpha = 1.0) { return Color{s, 0, 0, 0, alpha}; }
    static Color label() { return named(Semantic::Label); }
    static Color secondaryLabel() { return named(Semantic::SecondaryLabel); }
    static Color accent() { return named(Semantic::Accent); }
    static Color white(double alpha = 1.0) { return named(Semantic::White, alpha); }
    static Color black(double alpha = 1.0) { return named(Semantic::Black, alpha); }
    static Color clear() { return named(Semantic::Clear, 0.0); }
    // NSColor.windowBackgroundColor: what a titled window's content sits on.
    static Color windowBackground() { return named(Semantic::WindowBackground); }
    // NSColor.textBackgroundColor: behind text the user reads at length.
    static Color textBackground(double alpha = 1.0) { return named(Semantic::TextBackground, alpha); }

    bool isClear() const { return semantic == Semantic::Clear || alpha <= 0; }
    friend bool operator==(const Color&, const Color&) = default;
};

}  // namespace kit
