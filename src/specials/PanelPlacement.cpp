#include "specials/PanelPlacement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "app/Settings.h"
#include "ax/Geometry.h"
#include "kit/Timing.h"
#include "platform/Platform.h"
#include "platform/WindowServer.h"

namespace durazizi::PanelPlacement {

kit::Point origin(const kit::Rect& dockFrameTopLeft, kit::Size size) {
    // 1. The icon in Cocoa coordinates.
    kit::Rect icon = Geo::toCocoa(dockFrameTopLeft);

    // 2. Centred above it.
    double offset = static_cast<double>(Settings::boundedInteger("docklets_dock_offset"));
    double x = icon.midX() - size.width / 2;
    double y = icon.maxY() + kGap + offset;

    // 3. The icon's screen, else the main one, else no clamping at all.
    auto& screens = platform::current().screens();
    std::optional<platform::Screen> screen;
    for (const auto& candidate : screens.screens()) {
        if (candidate.frame.nsMouseIn(icon.center(), false)) {
            screen = candidate;
            break;
        }
    }
    if (!screen) screen = screens.mainScreen();
    if (!screen) return {x, y};

    // 4. Inside its visible frame; when the panel is too wide the right limit wins.
    const kit::Rect& visible = screen->visibleFrame;
    x = std::max(x, visible.minX() + kScreenMargin);
    x = std::min(x, visible.maxX() - size.width - kScreenMargin);
    y = std::min(y, visible.maxY() - size.height - kScreenMargin);
    return {x, y};
}

void place(platform::Window& window, const kit::Rect& dockFrameTopLeft, kit::Size size) {
    window.setFrameOrigin(origin(dockFrameTopLeft, size));
}

namespace {

constexpr int kCornerChords = 6;        // per rounded corner of the outline
constexpr double kBorderWidth = 1;
constexpr double kBorderAlpha = 0.16;   // of the label colour: dark on light, light on dark

// Moves every edge of a counter-clockwise polygon `d` inwards: each vertex
// goes along the bisector of its edges' inward normals, as far as keeps both
// edges `d` away (a mitre).
std::vector<kit::Point> insetPolygon(const std::vector<kit::Point>& points, double d) {
    const std::size_t n = points.size();
    if (d == 0 || n < 3) return points;
    auto inward = [](kit::Point a, kit::Point b) {
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length = std::hypot(dx, dy);
        return kit::Point{-dy / length, dx / length};
    };
    std::vector<kit::Point> moved;
    moved.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const kit::Point prev = points[(i + n - 1) % n], here = points[i], next = points[(i + 1) % n];
        const kit::Point n1 = inward(prev, here), n2 = inward(here, next);
        const double k = d / std::max(1 + n1.x * n2.x + n1.y * n2.y, 0.1);
        moved.push_back({here.x + (n1.x + n2.x) * k, here.y + (n1.y + n2.y) * k});
    }
    return moved;
}

kit::ImageRef outlineImage(const Shape& shape, kit::VectorShape::Paint paint) {
    kit::VectorShape polygon;
    polygon.kind = kit::VectorShape::Kind::Polygon;
    polygon.paint = paint;
    if (paint == kit::VectorShape::Paint::Stroke) {
        // Stroked along a line half its width inside, the border stays
        // within the shape the blur fills and the shadow follows.
        polygon.points = outline(shape, kBorderWidth / 2);
        polygon.lineWidth = kBorderWidth;
    } else {
        polygon.points = outline(shape);
    }
    kit::VectorDrawing drawing{shape.windowSize, /*flipped=*/false, {std::move(polygon)}};
    return kit::Image::fromDrawing(std::move(drawing), /*isTemplate=*/true);
}

}  // namespace

Shape shape(const kit::Rect& dockFrameTopLeft, kit::Size size, double cornerRadius) {
    Shape made;
    made.origin = origin(dockFrameTopLeft, size);
    made.windowSize = size;
    made.body = {0, 0, size.width, size.height};
    made.cornerRadius = std::clamp(cornerRadius, 0.0, std::min(size.width, size.height) / 2);
    if (!Settings::boolValue("docklets_draw_triangle")) return made;

    // The room the placement left above the icon, once the body was clamped
    // to the screen: a panel pulled down onto its icon gets no pointer.
    const kit::Rect icon = Geo::toCocoa(dockFrameTopLeft);
    const double height = std::min(kTriangleHeight, made.origin.y - icon.maxY() - kTipClearance);
    // The base stays on the straight part of the lower edge; the tip leans
    // towards an icon the screen edge pushed the panel away from, but no
    // further than above the base's end.
    const double half = kTriangleWidth / 2;
    const double lowest = made.cornerRadius + half;
    const double highest = size.width - made.cornerRadius - half;
    if (!(height >= kMinTriangleHeight) || lowest > highest) return made;
    const double iconX = icon.midX() - made.origin.x;
    const double baseX = std::clamp(iconX, lowest, highest);
    Triangle triangle;
    triangle.tipX = std::clamp(iconX, baseX - half, baseX + half);
    triangle.baseX = baseX;
    triangle.height = height;
    made.triangle = triangle;
    made.origin.y -= height;
    made.windowSize.height += height;
    made.body = {0, height, size.width, size.height};
    return made;
}

std::vector<kit::Point> outline(const Shape& shape, double inset) {
    const kit::Rect b = shape.body;
    const double r = shape.cornerRadius;
    std::vector<kit::Point> points;
    auto corner = [&](double cx, double cy, double fromDegrees) {
        for (int i = 0; i <= kCornerChords; ++i) {
            const double a = (fromDegrees + 90.0 * i / kCornerChords) * std::numbers::pi / 180;
            points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
    };
    // Counter-clockwise from the left end of the lower edge (y grows up).
    corner(b.minX() + r, b.minY() + r, 180);
    if (const auto& t = shape.triangle) {
        points.push_back({t->baseX - t->width / 2, b.minY()});
        points.push_back({t->tipX, b.minY() - t->height});
        points.push_back({t->baseX + t->width / 2, b.minY()});
    }
    corner(b.maxX() - r, b.minY() + r, 270);
    corner(b.maxX() - r, b.maxY() - r, 0);
    corner(b.minX() + r, b.maxY() - r, 90);
    // A square corner repeats its point; a repeated point has no edge to move.
    std::vector<kit::Point> distinct;
    for (const kit::Point& p : points)
        if (distinct.empty() || std::hypot(p.x - distinct.back().x, p.y - distinct.back().y) > 1e-9)
            distinct.push_back(p);
    while (distinct.size() > 1 &&
           std::hypot(distinct.front().x - distinct.back().x, distinct.front().y - distinct.back().y) <= 1e-9)
        distinct.pop_back();
    return insetPolygon(distinct, inset);
}

kit::Rect bodyFrame(const kit::Rect& windowFrame, const Shape& shape) {
    return shape.body.offsetBy(windowFrame.minX(), windowFrame.minY());
}

void fit(const DockPanel& made, const Shape& shape) {
    made.panel->setContentSize(shape.windowSize);
    made.host->setFrame({0, 0, shape.windowSize.width, shape.windowSize.height});
    made.blur->setFrame(made.host->bounds());
    if (shape.triangle) {
        // The layer's rounding would cut the body's lower corners at the
        // window's bottom; the mask rounds them where the body ends instead.
        made.blur->setCornerRadius(0);
        made.blur->setMaskImage(outlineImage(shape, kit::VectorShape::Paint::Fill));
    } else {
        made.blur->setCornerRadius(shape.cornerRadius);
        made.blur->setMaskImage(nullptr);
    }
    made.border->setFrame(made.host->bounds());
    made.border->setImage(outlineImage(shape, kit::VectorShape::Paint::Stroke));
    made.panel->setFrameOrigin(shape.origin);
}

void animateIn(platform::Window& window) {
    const kit::Rect target = window.frame();
    // Start below the final frame and invisible, then rise into place while
    // fading in; the panel is ordered in regardless of which app is active,
    // since ours is an accessory app that is never active over the Dock.
    window.setFrame(target.offsetBy(0, -kSlideDistance), false);
    window.setAlphaValue(0);
    window.orderFrontRegardless();
    platform::current().windowServer().runAnimationGroup([&window, target](platform::AnimationContext& context) {
        context.setDuration(kSnapInDuration);
        context.setTimingFunction(kit::TimingFunction::named(kit::TimingFunction::Name::EaseOut));
        window.animator().setAlphaValue(1);
        window.animator().setFrame(target, true);
    });
}

void Fader::shown() {
    ++state_->showing;
    state_->fading.reset();
}

void Fader::fadeOut(const std::shared_ptr<platform::Panel>& panel) {
    if (!panel || !panel->isVisible() || state_->fading == state_->showing) return;
    const std::uint64_t showing = state_->showing;
    state_->fading = showing;
    platform::current().windowServer().runAnimationGroup(
        [panel](platform::AnimationContext& context) {
            context.setDuration(kFadeOutDuration);
            panel->animator().setAlphaValue(0);
        },
        [weak = std::weak_ptr<State>(state_), panel, showing] {
            auto state = weak.lock();
            if (!state || state->showing != showing) return;
            state->fading.reset();
            panel->orderOut();
        });
}

DockPanel makePanel(double cornerRadius) {
    auto& windowServer = platform::current().windowServer();
    DockPanel made;
    made.panel = windowServer.makePanel(kit::Rect{}, platform::NSWindowStyleMaskNonactivatingPanel,
                                        platform::NSBackingStoreBuffered, /*defer=*/true);
    platform::Panel& panel = *made.panel;
    // Floating first: it sets the floating level, which the Dock level below replaces.
    panel.setFloatingPanel(true);
    panel.setHidesOnDeactivate(false);
    panel.setBecomesKeyOnlyIfNeeded(true);
    panel.setOpaque(false);
    panel.setBackgroundColor(kit::Color::clear());
    panel.setHasShadow(true);
    // Just above the Dock, which would otherwise cover the panel's lower edge.
    panel.setLevel(windowServer.windowLevelForKey(platform::kCGDockWindowLevelKey) + 1);
    panel.setCollectionBehavior(platform::NSWindowCollectionBehaviorCanJoinAllSpaces |
                                platform::NSWindowCollectionBehaviorIgnoresCycle |
                                platform::NSWindowCollectionBehaviorFullScreenAuxiliary);

    made.host = std::make_shared<kit::View>();
    made.blur = std::make_shared<kit::VisualEffectView>();
    made.blur->setMaterial(kit::VisualEffectMaterial::HudWindow);
    made.blur->setState(kit::VisualEffectState::Active);
    made.blur->setBlendingMode(kit::VisualEffectBlendingMode::BehindWindow);
    made.blur->setWantsLayer(true);
    made.blur->setCornerRadius(cornerRadius);
    made.blur->setMasksToBounds(true);
    made.host->addSubview(made.blur);
    made.border = std::make_shared<kit::ImageView>();
    made.border->setImageScaling(kit::ImageScaling::AxesIndependently);
    made.border->setContentTintColor(kit::Color::named(kit::Color::Semantic::Label, kBorderAlpha));
    made.host->addSubview(made.border);
    panel.setContentView(made.host);
    return made;
}

}  // namespace durazizi::PanelPlacement
