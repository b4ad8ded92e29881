#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>

#include "kit/Saturate.h"
#include "kit/VisualEffectView.h"
#include "platform/Constants.h"
#include "render/Cairo.h"
#include "render/DockPainter.h"
#include "render/ImagePainter.h"
#include "render/MenuBarPainter.h"
#include "render/Renderer.h"
#include "render/TextPainter.h"
#include "render/ViewPainter.h"
#include "render/Wallpaper.h"
#include "render/WindowChrome.h"
#include "sim/Desktop.h"

namespace render {

namespace {

// Above this many pixels an application window's body is drawn from a
// coarser picture rather than allocating a huge one.
constexpr double kMaxBodyPixels = 4096.0 * 4096.0;
// The bodies kept between pictures hold at most this many pixels (256 MB);
// past it a body is drawn for the picture at hand and let go.
constexpr double kBodyCachePixels = 4 * kMaxBodyPixels;
// How far a window's shadow reaches beyond its frame.
constexpr double kShadowReach = 24;

// The corner radius of the shape an untitled window's content shows, for
// its shadow: a layer-backed view filling the content with rounded corners
// (a panel's material), else square.
double contentOutlineRadius(const kit::View& content) {
    auto fills = [&](const kit::View& view) {
        return view.wantsLayer() && !view.isHidden() && view.layerStyle().cornerRadius > 0 &&
               view.frame().containsRect(content.bounds());
    };
    if (content.wantsLayer() && content.layerStyle().cornerRadius > 0) return content.layerStyle().cornerRadius;
    for (const kit::ViewRef& subview : content.subviews())
        if (subview && fills(*subview)) return subview->layerStyle().cornerRadius;
    return 0;
}

// The mask a layer filling the content shapes its material with (a panel
// with a pointer below it): the shape the window casts its shadow by.
kit::ImageRef contentMask(const kit::View& content) {
    auto maskOf = [](const kit::View& view) -> kit::ImageRef {
        const auto* material = dynamic_cast<const kit::VisualEffectView*>(&view);
        if (!material || material->isHidden()) return nullptr;
        const kit::ImageRef& mask = material->maskImage();
        return mask && mask->drawing() ? mask : nullptr;
    };
    if (kit::ImageRef own = maskOf(content)) return own;
    for (const kit::ViewRef& subview : content.subviews())
        if (subview && subview->frame().containsRect(content.bounds()))
            if (kit::ImageRef mask = maskOf(*subview)) return mask;
    return nullptr;
}

// Back to front: ownWindows() lists the front-most visible window first;
// a higher level is always in front of a lower one.
std::vector<sim::OwnWindowInfo> visibleBackToFront(std::vector<sim::OwnWindowInfo> windows) {
    std::vector<sim::OwnWindowInfo> shown;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->visible) shown.push_back(std::move(*it));
    std::stable_sort(shown.begin(), shown.end(),
                     [](const sim::OwnWindowInfo& a, const sim::OwnWindowInfo& b) { return a.level < b.level; });
    return shown;
}

// The application windows a picture of `display` shows, front first: those
// on or near it, neither minimized nor wholly behind a window in front. A
// window whose frame lies inside a front one's is hidden, shadow and all,
// when both keep the full corner radius: its rounded shape then lies inside
// the front one's. Only windows left uncovered need testing against, which
// keeps a stack of thousands of windows at one frame linear.
std::vector<sim::WindowInfo> windowsToPaint(std::vector<sim::WindowInfo> windows, const kit::Rect& display) {
    const kit::Rect reach = display.insetBy(-kShadowReach, -kShadowReach);
    auto fullyRounded = [](const kit::Rect& r) {
        return r.width() >= 2 * kWindowCornerRadius && r.height() >= 2 * kWindowCornerRadius;
    };
    std::vector<sim::WindowInfo> shown;
    for (sim::WindowInfo& window : windows) {
        if (!window.exists || window.minimized || !window.onCurrentSpace || window.frame.isEmpty() || !window.frame.intersects(reach)) continue;
        const bool covered = fullyRounded(window.frame) &&
                             std::any_of(shown.begin(), shown.end(), [&](const sim::WindowInfo& front) {
                                 return front.frame.containsRect(window.frame);
                             });
        if (!covered) shown.push_back(std::move(window));
    }
    return shown;
}

}  // namespace

struct DesktopRenderer::State {
    explicit State(const sim::Desktop& d) : desktop(d) {}

    const sim::Desktop& desktop;

    Frame frame;
    bool painted = false;
    double paintedScale = 0;
    std::uint64_t paintedChanges = 0;

    TextPainter text;
    ImagePainter images{text};
    ViewPainter views{text, images};

    SurfacePtr wallpaper;
    kit::Size wallpaperSize;
    double wallpaperScale = 0;
    bool wallpaperDark = false;

    // Application window bodies as the capture service draws them, kept
    // while the window keeps its title, size and app and is in the picture.
    struct Body {
        sim::pid_t pid = 0;
        std::string title;
        kit::Size size;
        double scale = 0;
        bool dark = false;
        SurfacePtr surface;
        double pixels = 0;
    };
    std::map<sim::CGWindowID, Body> bodies;

    // Shadows of masked windows, kept while the mask and the window's size
    // stay: a panel is repainted on every change beneath it, its shape is not.
    struct ShapeShadow {
        std::weak_ptr<const kit::Image> mask;
        kit::Size size;
        SurfacePtr surface;
    };
    std::map<const kit::Image*, ShapeShadow> shadows;
    cairo_surface_t* shadowFor(const kit::ImageRef& mask, kit::Size size);
    double bodyPixels = 0;   // held by `bodies`
    SurfacePtr transientBody;   // one past the budget, for the window being painted

    void keepBodiesOf(const std::vector<sim::WindowInfo>& shown);

    void paintWallpaper(cairo_t* cr, kit::Rect display, double scale, bool dark);
    void paintAppWindow(cairo_t* cr, const sim::WindowInfo& window, double scale, bool dark);
    cairo_surface_t* bodyFor(const sim::WindowInfo& window, double scale, bool dark);
    void paintOwnWindow(cairo_t* cr, const sim::OwnWindowInfo& window, kit::Appearance system);
    void paintMenuBar(cairo_t* cr, kit::Rect display);
};

void DesktopRenderer::State::paintWallpaper(cairo_t* cr, kit::Rect display, double scale, bool dark) {
    if (!wallpaper || wallpaperSize != display.size || wallpaperScale != scale || wallpaperDark != dark) {
        wallpaper = makeWallpaper(display.size, scale, dark);
        wallpaperSize = display.size;
        wallpaperScale = scale;
        wallpaperDark = dark;
    }
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, wallpaper.get(), 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

void DesktopRenderer::State::keepBodiesOf(const std::vector<sim::WindowInfo>& shown) {
    std::map<sim::CGWindowID, Body> kept;
    bodyPixels = 0;
    for (const sim::WindowInfo& window : shown) {
        auto found = bodies.find(window.id);
        if (found == bodies.end()) continue;
        bodyPixels += found->second.pixels;
        kept.insert(bodies.extract(found));
    }
    bodies = std::move(kept);
}

cairo_surface_t* DesktopRenderer::State::bodyFor(const sim::WindowInfo& window, double scale, bool dark) {
    if (auto found = bodies.find(window.id); found != bodies.end()) {
        const Body& body = found->second;
        if (body.pid == window.pid && body.title == window.title && body.size == window.frame.size &&
            body.scale == scale && body.dark == dark)
            return body.surface.get();
        bodyPixels -= body.pixels;
        bodies.erase(found);
    }

    double pixelsPerPoint = scale;
    const double area = window.frame.width() * window.frame.height() * scale * scale;
    if (area > kMaxBodyPixels) pixelsPerPoint *= std::sqrt(kMaxBodyPixels / area);
    const int width = std::max(1, kit::saturatingCast<int>(std::ceil(window.frame.width() * pixelsPerPoint)));
    const int height = std::max(1, kit::saturatingCast<int>(std::ceil(window.frame.height() * pixelsPerPoint)));
    // A sliver millions of points long still gives too many pixels.
    const double pixels = static_cast<double>(width) * height;
    if (pixels > 2 * kMaxBodyPixels) return nullptr;
    std::vector<std::uint32_t> rgba = desktop.windows().pixels(window.id, width, height);
    if (rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) return nullptr;
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    if (!data) return nullptr;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            row[x] = argbFromImagePixel(rgba[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x]);
    }
    cairo_surface_mark_dirty(surface.get());
    if (bodyPixels + pixels > kBodyCachePixels) {
        transientBody = std::move(surface);
        return transientBody.get();
    }
    bodyPixels += pixels;
    Body& body = bodies[window.id];
    body = Body{window.pid, window.title, window.frame.size, scale, dark, std::move(surface), pixels};
    return body.surface.get();
}

void DesktopRenderer::State::paintAppWindow(cairo_t* cr, const sim::WindowInfo& window, double scale, bool dark) {
    const kit::Rect frame = window.frame;
    if (frame.isEmpty()) return;
    paintWindowShadow(cr, frame, kWindowCornerRadius);
    // Filling the rounded shape with the body, rather than clipping to it,
    // lets cairo composite spans straight from the picture.
    cairo_save(cr);
    roundedRectPath(cr, frame, kWindowCornerRadius);
    if (cairo_surface_t* body = bodyFor(window, scale, dark)) {
        cairo_matrix_t placement;
        cairo_matrix_init_translate(&placement, frame.minX(), frame.minY());
        cairo_matrix_scale(&placement, frame.width() / cairo_image_surface_get_width(body),
                           frame.height() / cairo_image_surface_get_height(body));
        cairo_matrix_invert(&placement);
        PatternPtr pattern(cairo_pattern_create_for_surface(body));
        cairo_pattern_set_matrix(pattern.get(), &placement);
        cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
        cairo_set_source(cr, pattern.get());
    } else if (dark) {
        cairo_set_source_rgb(cr, 0.16, 0.16, 0.17);
    } else {
        cairo_set_source_rgb(cr, 0.97, 0.97, 0.97);
    }
    cairo_fill(cr);
    cairo_restore(cr);
    paintTitleBar(cr, text, frame, window.title, window.focused, 7, dark);
    paintWindowOutline(cr, frame, kWindowCornerRadius);
}

void DesktopRenderer::State::paintOwnWindow(cairo_t* cr, const sim::OwnWindowInfo& window,
                                            kit::Appearance system) {
    const kit::Rect frame = window.frame;
    if (window.alpha <= 0 || frame.isEmpty()) return;
    const kit::Appearance appearance = window.appearance.value_or(system);
    const bool titled = (window.styleMask & platform::NSWindowStyleMaskTitled) != 0;
    cairo_save(cr);
    const bool fading = window.alpha < 1;
    if (fading) cairo_push_group(cr);

    const double radius = titled ? kWindowCornerRadius : (window.contentView ? contentOutlineRadius(*window.contentView) : 0);
    const kit::ImageRef mask = titled || !window.contentView ? nullptr : contentMask(*window.contentView);
    if (window.hasShadow && mask)
        paintShapedShadow(cr, frame, *mask->drawing(), shadowFor(mask, frame.size), /*cutOut=*/!window.opaque);
    else if (window.hasShadow) paintWindowShadow(cr, frame, radius, /*cutOut=*/!window.opaque);
    if (window.opaque || !window.backgroundColor.isClear()) {
        roundedRectPath(cr, frame, titled ? kWindowCornerRadius : 0);
        kit::Color background = kit::resolve(window.backgroundColor, appearance);
        if (window.opaque) background.alpha = 1;
        setSource(cr, background);
        cairo_fill(cr);
    }
    if (window.contentView) {
        cairo_save(cr);
        roundedRectPath(cr, frame, titled ? kWindowCornerRadius : 0);
        cairo_clip(cr);
        // Window coordinates: origin at the window's bottom-left, y up.
        cairo_translate(cr, frame.minX(), frame.maxY());
        cairo_scale(cr, 1, -1);
        views.paint(cr, *window.contentView, appearance);
        cairo_restore(cr);
    }
    if (titled) {
        // Active looking only while Durazizi is the active application, as
        // an app window's buttons are only while its app is.
        const bool active = window.key && desktop.processes().frontmost() == desktop.ownProcess().pid();
        // The close, minimise and zoom buttons follow the style's closable,
        // miniaturizable and resizable bits.
        const unsigned buttons = static_cast<unsigned>((window.styleMask >> 1) & 7);
        paintTitleBar(cr, text, frame, window.title, active, buttons, kit::isDark(appearance));
        paintWindowOutline(cr, frame, kWindowCornerRadius);
    }

    if (fading) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, window.alpha);
    }
    cairo_restore(cr);
}

cairo_surface_t* DesktopRenderer::State::shadowFor(const kit::ImageRef& mask, kit::Size size) {
    std::erase_if(shadows, [](const auto& entry) { return entry.second.mask.expired(); });
    ShapeShadow& kept = shadows[mask.get()];
    if (kept.mask.lock() != mask || kept.size != size || !kept.surface)
        kept = ShapeShadow{mask, size, shapeShadow(*mask->drawing(), size)};
    return kept.surface.get();
}

void DesktopRenderer::State::paintMenuBar(cairo_t* cr, kit::Rect display) {
    MenuBarContent content;
    content.display = display;
    for (const sim::MenuTitle& title : desktop.menuBar().menus()) content.menus.push_back({title.text, title.bold});
    content.statusImage = desktop.application().statusItemImage();
    content.statusFrame = desktop.application().statusItemFrame();
    content.statusHighlighted = desktop.menuBar().statusItemHighlighted();
    content.clock = desktop.menuBar().clock();
    content.dark = desktop.appearance().isDark();
    render::paintMenuBar(cr, text, images, content);
}

DesktopRenderer::DesktopRenderer(const sim::Desktop& desktop) : state_(std::make_unique<State>(desktop)) {}

DesktopRenderer::~DesktopRenderer() = default;

kit::Size DesktopRenderer::displaySize() const {
    std::optional<kit::Rect> display = state_->desktop.screens().primaryFrame();
    return display ? display->size : kit::Size{};
}

bool DesktopRenderer::needsPaint() const {
    const State& s = *state_;
    if (!s.painted) return true;
    if (s.desktop.changes().count() != s.paintedChanges) return true;
    for (const sim::OwnWindowInfo& window : s.desktop.ownWindows().list())
        if (window.visible && window.contentView &&
            (window.contentView->subtreeNeedsDisplay() || window.contentView->needsLayout()))
            return true;
    return false;
}

const Frame& DesktopRenderer::paint(double scale) {
    State& s = *state_;
    if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
    if (s.painted && s.paintedScale == scale && !needsPaint()) return s.frame;

    std::optional<kit::Rect> display = s.desktop.screens().primaryFrame();
    std::vector<sim::OwnWindowInfo> own = visibleBackToFront(s.desktop.ownWindows().list());
    // Hosts lay views out before drawing them.
    for (const sim::OwnWindowInfo& window : own)
        if (window.contentView) window.contentView->layoutSubtreeIfNeeded();

    const std::optional<std::pair<int, int>> pixels = display ? pictureSize(display->size, scale) : std::nullopt;
    s.frame.width = pixels ? pixels->first : 0;
    s.frame.height = pixels ? pixels->second : 0;
    s.frame.pixels.resize(static_cast<std::size_t>(s.frame.width) * static_cast<std::size_t>(s.frame.height));

    if (s.frame.width > 0 && s.frame.height > 0) {
        SurfacePtr surface(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(s.frame.pixels.data()),
                                                               CAIRO_FORMAT_ARGB32, s.frame.width, s.frame.height,
                                                               s.frame.width * 4));
        ContextPtr context(cairo_create(surface.get()));
        cairo_t* cr = context.get();
        cairo_scale(cr, scale, scale);
        cairo_translate(cr, -display->minX(), -display->minY());

        const bool dark = s.desktop.appearance().isDark();
        const kit::Appearance system = s.desktop.appearance().appearance();
        s.paintWallpaper(cr, *display, scale, dark);

        // 1. Application windows, back to front; minimized ones are in the Dock.
        const std::vector<sim::WindowInfo> windows = windowsToPaint(s.desktop.windows().all(), *display);
        s.keepBodiesOf(windows);
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) s.paintAppWindow(cr, *it, scale, dark);
        s.transientBody.reset();

        // 2. Our windows below the Dock, the Dock, ours between it and the
        // menu bar, the menu bar, then ours above it (status and pop-up levels).
        auto paintLevels = [&](std::int64_t from, std::int64_t to) {
            for (const sim::OwnWindowInfo& window : own)
                if (window.level >= from && window.level < to) s.paintOwnWindow(cr, window, system);
        };
        paintLevels(INT64_MIN, platform::kCGDockWindowLevel);
        paintDock(cr, s.text, s.images, s.desktop.dock().items(), dark);
        paintLevels(platform::kCGDockWindowLevel, platform::kCGMainMenuWindowLevel);
        s.paintMenuBar(cr, *display);
        paintLevels(platform::kCGMainMenuWindowLevel, INT64_MAX);

        context.reset();
        cairo_surface_finish(surface.get());
        s.images.sweep();
    }

    for (const sim::OwnWindowInfo& window : own)
        if (window.contentView) window.contentView->clearNeedsDisplayInSubtree();
    s.painted = true;
    s.paintedScale = scale;
    s.paintedChanges = s.desktop.changes().count();
    return s.frame;
}

}  // namespace render
