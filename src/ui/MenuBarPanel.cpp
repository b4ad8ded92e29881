#include "ui/MenuBarPanel.h"

#include <utility>

#include "app/Settings.h"
#include "kit/VisualEffectView.h"
#include "platform/Platform.h"
#include "ui/Bindings.h"
#include "ui/PreferencesView.h"

namespace durazizi {

namespace {

using namespace kit::ui;

constexpr kit::Color kWarningOrange = {kit::Color::Semantic::None, 1.0, 0.58, 0.0, 1.0};

kit::ImageRef symbol(const char* name) {
    return platform::current().symbols().imageWithSystemSymbolName(name, "");
}

Node permissionRow(const char* title, const char* detail, const std::function<void()>& action) {
    Node grant = Button("Grant", action);
    grant.small = true;
    return HStack({Image(symbol("exclamationmark.triangle.fill"), {16, 16}, kWarningOrange),
                   VStack({Text(title, kit::Font::systemFont(12, kit::Font::Weight::Medium)),
                           Text(detail, kit::Font::systemFont(10), kit::Color::secondaryLabel())},
                          1, HAlign::Leading),
                   Spacer(), grant},
                  8);
}

Node panelButton(const char* symbolName, const char* title, const std::function<void()>& action) {
    // The whole width is the button, spacer included.
    Node button = Button(title, action, ButtonStyle::Plain);
    button.image = symbol(symbolName);
    button.imageSize = {18, 16};
    button.fullWidth = true;
    return button.padding(Insets::symmetric(6, 5));
}

}  // namespace

HomePanelView::HomePanelView(std::function<void()> guide, std::function<void()> settings, std::function<void()> ax,
                             std::function<void()> sr, std::function<void()> quitAction)
    : openGuide(std::move(guide)),
      openSettings(std::move(settings)),
      openAX(std::move(ax)),
      openSR(std::move(sr)),
      quit(std::move(quitAction)) {
    refreshPermissions();
}

void HomePanelView::refreshPermissions() const {
    auto& platform = platform::current();
    state_->axGranted = platform.accessibility().isProcessTrusted();
    state_->srGranted = platform.capture().preflightScreenCaptureAccess();
}

Node HomePanelView::body() const {
    std::vector<Node> rows;
    rows.push_back(HStack({Image(AboutTab::appIcon(), {38, 38}),
                           VStack({Text("Durazizi", kit::Font::systemFont(14, kit::Font::Weight::Semibold)),
                                   Text("Version 1.0", kit::Font::systemFont(11), kit::Color::secondaryLabel())},
                                  1, HAlign::Leading),
                           Spacer()},
                          10)
                       .padding(12));
    rows.push_back(Divider());
    rows.push_back(VStack({Bind::toggle("Window Previews", "window_preview_enable"),
                           Bind::toggle("Window Snapping", "window_snapping")},
                          8)
                       .padding(Insets::symmetric(12, 10)));
    if (!(state_->axGranted && state_->srGranted)) {
        std::vector<Node> permissions;
        if (!state_->axGranted)
            permissions.push_back(permissionRow("Accessibility", "Needed for previews & window control", openAX));
        if (!state_->srGranted)
            permissions.push_back(permissionRow("Screen Recording", "Needed for window thumbnails", openSR));
        rows.push_back(Divider());
        rows.push_back(VStack(std::move(permissions), 6).padding(Insets::symmetric(12, 8)));
    }
    rows.push_back(Divider());
    rows.push_back(VStack({panelButton("questionmark.circle", "How to use Durazizi", openGuide),
                           panelButton("gearshape", "Settings\u2026", openSettings),
                           panelButton("power", "Quit Durazizi", quit)},
                          2)
                       .padding(8));
    return VStack(std::move(rows), 0).frame(MenuBarPanelController::kWidth, std::nullopt);
}

AnyView HomePanelView::erased() const {
    HomePanelView copy = *this;
    return AnyView{[copy] { return copy.body(); }, [copy] { copy.refreshPermissions(); }};
}

void MenuBarPanelController::show(platform::StatusBarButton& from, AnyView rootView) {
    auto& platform = platform::current();
    auto hosting = std::make_shared<HostingView>(rootView.body);
    if (rootView.onAppear) rootView.onAppear();
    const kit::Size size = hosting->fittingSize();
    const double w = size.width;
    const double h = size.height;

    auto panel = platform.windowServer().makePanel({0, 0, w, h}, platform::NSWindowStyleMaskNonactivatingPanel,
                                                   platform::NSBackingStoreBuffered, false);
    panel->setOpaque(false);
    panel->setBackgroundColor(kit::Color::clear());
    panel->setHasShadow(true);
    panel->setLevel(platform::NSStatusWindowLevel);
    panel->setHidesOnDeactivate(false);
    panel->setCollectionBehavior(platform::NSWindowCollectionBehaviorCanJoinAllSpaces |
                                 platform::NSWindowCollectionBehaviorFullScreenAuxiliary);

    auto effect = std::make_shared<kit::VisualEffectView>(kit::Rect{0, 0, w, h});
    effect->setMaterial(kit::VisualEffectMaterial::Menu);
    effect->setState(kit::VisualEffectState::Active);
    effect->setBlendingMode(kit::VisualEffectBlendingMode::BehindWindow);
    effect->setWantsLayer(true);
    effect->setCornerRadius(kCornerRadius);
    effect->setMasksToBounds(true);
    hosting->setFrame(effect->bounds());
    effect->addSubview(hosting);
    panel->setContentView(effect);

    if (std::optional<kit::Rect> button = from.screenFrame()) {
        const kit::Rect b = *button;
        // The visible frame of the screen the status item is on.
        std::optional<kit::Rect> visible;
        for (const platform::Screen& screen : platform.screens().screens())
            if (screen.frame.cgContains(b.center())) visible = screen.visibleFrame;
        if (!visible)
            if (auto main = platform.screens().mainScreen()) visible = main->visibleFrame;
        const kit::Rect v = visible.value_or(b);
        double x = b.midX() - w / 2;
        if (x <= v.minX() + kScreenMargin) x = v.minX() + kScreenMargin;
        // The right-hand limit wins when the panel is wider than the room.
        if (v.maxX() - w - kScreenMargin < x) x = v.maxX() - w - kScreenMargin;
        const double y = b.minY() - h - kGapBelowButton;
        panel->setFrameOrigin({x, y});
    }

    panel->setAlphaValue(0);
    platform.application().activateIgnoringOtherApps(true);
    panel->makeKeyAndOrderFront();
    platform.windowServer().runAnimationGroup(
        [panel](platform::AnimationContext& context) {
            context.setDuration(kFadeInDuration);
            panel->animator().setAlphaValue(1);
        });
    panel_ = std::move(panel);
    // The menu bar shows the item pressed while its panel is open, as it does
    // for an open menu.
    if (highlighted_ && highlighted_ != &from) highlighted_->highlight(false);
    highlighted_ = &from;
    from.highlight(true);

    // Clicks inside the panel go to the panel, never to a global monitor,
    // so only clicks elsewhere close it.
    clickMonitor_ = platform.eventMonitors().addGlobalMonitorForEventsMatchingMask(
        platform::NSEventMaskLeftMouseDown | platform::NSEventMaskRightMouseDown,
        [weak = weak_from_this()](const platform::NSEvent&) {
            if (auto self = weak.lock()) self->hide();
        });
}

void MenuBarPanelController::hide() {
    auto& platform = platform::current();
    if (clickMonitor_) {
        platform.eventMonitors().removeMonitor(clickMonitor_);
        clickMonitor_ = nullptr;
    }
    if (!panel_) return;
    // Cleared at once: a second hide during the fade finds nothing to do.
    std::shared_ptr<platform::Panel> panel = std::move(panel_);
    panel_ = nullptr;
    if (highlighted_) highlighted_->highlight(false);
    highlighted_ = nullptr;
    // Showing the panel made Durazizi the active application; with no window
    // of its own to work in, it hands activation back to the application the
    // user came from rather than keep the menu bar and the key window.
    auto& app = platform.application();
    if (app.activationPolicy() == platform::ActivationPolicy::Accessory) app.deactivate();
    platform.windowServer().runAnimationGroup(
        [panel](platform::AnimationContext& context) {
            context.setDuration(kFadeOutDuration);
            panel->animator().setAlphaValue(0);
        },
        [panel] { panel->orderOut(); });
}

}  // namespace durazizi
