#include "windowing/SnapOverlay.h"

#include "kit/View.h"
#include "platform/Platform.h"

namespace durazizi {

void SnapOverlay::ensureWindow() {
    if (window_) return;
    platform::WindowServer& server = platform::current().windowServer();
    window_ = server.makeWindow({}, platform::NSWindowStyleMaskBorderless, platform::NSBackingStoreBuffered, true);
    window_->setOpaque(false);
    window_->setBackgroundColor(kit::Color::clear());
    window_->setIgnoresMouseEvents(true);
    window_->setHasShadow(false);
    window_->setLevel(server.windowLevelForKey(platform::kCGFloatingWindowLevelKey));
    window_->setCollectionBehavior(platform::NSWindowCollectionBehaviorCanJoinAllSpaces |
                                   platform::NSWindowCollectionBehaviorIgnoresCycle |
                                   platform::NSWindowCollectionBehaviorFullScreenAuxiliary);
    auto content = std::make_shared<kit::View>();
    content->setWantsLayer(true);
    content->setBackgroundColor(kit::Color::named(kit::Color::Semantic::Accent, 0.25));
    content->setBorderColor(kit::Color::named(kit::Color::Semantic::Accent, 0.9));
    content->setBorderWidth(2.0);
    content->setCornerRadius(10.0);
    window_->setContentView(content);
}

void SnapOverlay::show(const kit::Rect& rect, const platform::Screen&) {
    ensureWindow();
    ++*shows_;
    window_->setFrame(rect, true);
    if (!window_->isVisible()) {
        window_->setAlphaValue(0);
        window_->orderFrontRegardless();
    }
    std::weak_ptr<platform::Window> weak = window_;
    platform::current().windowServer().runAnimationGroup([weak](platform::AnimationContext& context) {
        context.setDuration(fadeInDuration);
        if (auto window = weak.lock()) window->animator().setAlphaValue(1.0);
    });
}

void SnapOverlay::hide() {
    if (!window_ || !window_->isVisible()) return;
    std::weak_ptr<platform::Window> weak = window_;
    const std::uint64_t shownAt = *shows_;
    std::weak_ptr<std::uint64_t> shows = shows_;
    platform::current().windowServer().runAnimationGroup(
        [weak](platform::AnimationContext& context) {
            context.setDuration(fadeOutDuration);
            if (auto window = weak.lock()) window->animator().setAlphaValue(0.0);
        },
        // A zone that arms at once shows the overlay again while this fade
        // still runs; the fade-in cuts it short and its completion follows,
        // which must not take away the overlay just shown.
        [weak, shows, shownAt] {
            auto window = weak.lock();
            auto count = shows.lock();
            if (window && count && *count == shownAt) window->orderOut();
        });
}

}  // namespace durazizi
