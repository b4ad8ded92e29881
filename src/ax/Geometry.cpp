#include "ax/Geometry.h"

#include "platform/Platform.h"

namespace durazizi::Geo {

namespace {

kit::Point flip(kit::Point p) { return {p.x, primaryHeight() - p.y}; }

kit::Rect flip(const kit::Rect& r) {
    return {r.origin.x, primaryHeight() - r.origin.y - r.size.height, r.size.width, r.size.height};
}

}  // namespace

double primaryHeight() {
    auto& screens = platform::current().screens();
    for (const platform::Screen& screen : screens.screens()) {
        if (screen.frame.origin == kit::Point{0, 0}) return screen.frame.height();
    }
    if (auto main = screens.mainScreen()) return main->frame.height();
    return 0;
}

kit::Point toCocoa(kit::Point topLeft) { return flip(topLeft); }
kit::Point toTopLeft(kit::Point cocoa) { return flip(cocoa); }
kit::Rect toCocoa(const kit::Rect& topLeft) { return flip(topLeft); }
kit::Rect toTopLeft(const kit::Rect& cocoa) { return flip(cocoa); }

}  // namespace durazizi::Geo
