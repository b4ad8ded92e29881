#include "specials/PanelPlacement.h"

#include <algorithm>

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
    panel.setContentView(made.host);
    return made;
}

}  // namespace durazizi::PanelPlacement
