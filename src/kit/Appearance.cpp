#include "kit/Appearance.h"

namespace kit {

bool isDark(Appearance appearance) {
    return appearance == Appearance::DarkAqua || appearance == Appearance::VibrantDark;
}

Color resolve(const Color& color, Appearance appearance) {
    const double ink = isDark(appearance) ? 1.0 : 0.0;
    const double a = color.alpha;
    switch (color.semantic) {
        case Color::Semantic::None: return color;
        case Color::Semantic::Label: return Color::rgba(ink, ink, ink, 0.85 * a);
        case Color::Semantic::SecondaryLabel: return Color::rgba(ink, ink, ink, 0.5 * a);
        case Color::Semantic::Accent: return Color::rgba(0.0, 0.48, 1.0, a);
        case Color::Semantic::White: return Color::rgba(1, 1, 1, a);
        case Color::Semantic::Black: return Color::rgba(0, 0, 0, a);
        case Color::Semantic::WindowBackground:
            return isDark(appearance) ? Color::rgba(0.196, 0.196, 0.204, a) : Color::rgba(0.925, 0.925, 0.925, a);
        case Color::Semantic::TextBackground:
            return isDark(appearance) ? Color::rgba(0.118, 0.118, 0.118, a) : Color::rgba(1, 1, 1, a);
        case Color::Semantic::Clear: break;
    }
    return Color::rgba(0, 0, 0, 0);
}

}  // namespace kit
