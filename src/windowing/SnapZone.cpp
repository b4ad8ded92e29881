#include "windowing/SnapZone.h"

namespace durazizi {

std::optional<kit::Rect> rect(SnapZone zone, const kit::Rect& v) {
    const double w = v.width();
    const double h = v.height();
    switch (zone) {
        case SnapZone::none: return std::nullopt;
        case SnapZone::leftHalf: return kit::Rect{v.minX(), v.minY(), w / 2, h};
        case SnapZone::rightHalf: return kit::Rect{v.midX(), v.minY(), w / 2, h};
        case SnapZone::bottomHalf: return kit::Rect{v.minX(), v.minY(), w, h / 2};
        case SnapZone::maximize: return v;
        case SnapZone::topLeft: return kit::Rect{v.minX(), v.midY(), w / 2, h / 2};
        case SnapZone::topRight: return kit::Rect{v.midX(), v.midY(), w / 2, h / 2};
        case SnapZone::bottomLeft: return kit::Rect{v.minX(), v.minY(), w / 2, h / 2};
        case SnapZone::bottomRight: return kit::Rect{v.midX(), v.minY(), w / 2, h / 2};
    }
    return std::nullopt;
}

}  // namespace durazizi
