#include "dock/PreviewPanel.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <utility>

#include "app/Settings.h"
#include "ax/AX.h"
#include "kit/IconArt.h"
#include "kit/TextMetrics.h"
#include "kit/Timing.h"
#include "platform/Platform.h"
#include "specials/PanelPlacement.h"

namespace durazizi {

namespace {

constexpr double kTileAspect = 0.62;          // tile height per point of width
constexpr double kNameLineHeight = 22;
// Of the label colour, which is white on a dark panel and black on a light
// one, so that the hovered tile reads in both.
constexpr double kHighlightAlpha = 0.16;
constexpr double kCloseBoxSide = 18;
// The size applications' icons are handed out at; a missing one is drawn at it.
constexpr double kIconPoints = 64;
constexpr double kDimmedAlpha = 0.55;         // thumbnails of minimized windows
constexpr double kBlurCornerRadius = 12;
constexpr int kFirstCaptureOS = 14;           // ScreenCaptureKit screenshots
// Public API cannot tell which Space a window is on, only that it is on one
// no display shows.
constexpr const char* kOtherSpaceLabel = "Other Space";
constexpr double kSpaceLabelFontSize = 9;
constexpr double kSpaceLabelHeight = 14;
constexpr double kSpaceLabelPadding = 5;      // left and right of the text
// How long a clicked window on another Space is looked for while macOS
// switches to its Space: the switch animates for about half a second.
constexpr double kSpaceSwitchWait = 1.0;
constexpr double kSpaceSwitchRetry = 0.1;

kit::ImageRef symbol(const char* name, const char* description) {
    return platform::current().symbols().imageWithSystemSymbolName(name, description);
}

const kit::ImageRef& genericApplicationIcon() {
    static const kit::ImageRef icon =
        kit::Image::fromDrawing(kit::IconArt::genericApplication(kIconPoints), /*isTemplate=*/false);
    return icon;
}

}  // namespace

// --- ThumbTile ---------------------------------------------------------------

ThumbTile::ThumbTile(WindowEntry entry, bool isFront)
    : entry_(std::move(entry)),
      imageView_(std::make_shared<kit::ImageView>()),
      titleLabel_(std::make_shared<kit::Label>()),
      closeButton_(std::make_shared<kit::Button>()),
      badge_(std::make_shared<kit::ImageView>()),
      spaceLabel_(std::make_shared<kit::Label>()) {
    setWantsLayer(true);
    setCornerRadius(6);
    if (isFront && Settings::boolValue("window_preview_indicate_frontwindow")) {
        setBorderWidth(2);
        setBorderColor(kit::Color::accent());
    }

    imageView_->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    imageView_->setWantsLayer(true);
    imageView_->setCornerRadius(4);
    imageView_->setMasksToBounds(true);
    if (Settings::boolValue("docklets_dark_invisible") && !entry_.isOnScreen) imageView_->setAlphaValue(kDimmedAlpha);
    addSubview(imageView_);

    titleLabel_->setFont(kit::Font::systemFont(11));
    titleLabel_->setTextColor(kit::Color::label());
    titleLabel_->setLineBreakMode(kit::LineBreakMode::ByTruncatingTail);
    titleLabel_->setAlignment(kit::TextAlignment::Center);
    // An empty label collapses; a space keeps the title line's height.
    titleLabel_->setText(entry_.title.empty() ? std::string(" ") : entry_.title);
    addSubview(titleLabel_);

    // The badge says minimized; a window on another Space says where it is instead.
    if (Settings::boolValue("window_preview_indicators") && !entry_.isOnScreen && !entry_.isOnOtherSpace) {
        badge_->setImage(symbol("minus.circle.fill", "Minimized"));
        badge_->setContentTintColor(kit::Color::secondaryLabel());
        addSubview(badge_);
    }

    closeButton_->setBezelStyle(kit::BezelStyle::Circular);
    closeButton_->setBordered(false);
    closeButton_->setImage(symbol("xmark.circle.fill", "Close"));
    closeButton_->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    // The symbol's cross is cut out of its disc. A disc of the window colour
    // behind it gives the cross that colour and rims the box, so that the
    // box reads on any thumbnail and either panel: a dark disc with a light
    // cross on a light panel, the other way round on a dark one.
    closeButton_->setContentTintColor(kit::Color::label());
    closeButton_->setWantsLayer(true);
    closeButton_->setCornerRadius(kCloseBoxSide / 2);
    closeButton_->setBackgroundColor(kit::Color::windowBackground());
    // The button lives and dies with this tile, so it may point back at it.
    closeButton_->setAction([this] { closeClicked(); });
    closeButton_->setHidden(true);
    // A window on another Space has no accessibility element to press the
    // close button of: no close box is offered that would do nothing.
    if (Settings::boolValue("window_preview_closebox") && !entry_.isOnOtherSpace) addSubview(closeButton_);

    if (entry_.isOnOtherSpace) {
        spaceLabel_->setText(kOtherSpaceLabel);
        spaceLabel_->setFont(kit::Font::systemFont(kSpaceLabelFontSize));
        spaceLabel_->setTextColor(kit::Color::white());
        spaceLabel_->setAlignment(kit::TextAlignment::Center);
        spaceLabel_->setLineBreakMode(kit::LineBreakMode::ByTruncatingTail);
        spaceLabel_->setWantsLayer(true);
        spaceLabel_->setCornerRadius(kSpaceLabelHeight / 2);
        spaceLabel_->setBackgroundColor(kit::Color::black(0.55));
        addSubview(spaceLabel_);
    }
}

void ThumbTile::setImage(kit::ImageRef image) {
    imageView_->setImageScaling(kit::ImageScaling::ProportionallyUpOrDown);
    imageView_->setImage(std::move(image));
}

void ThumbTile::setIcon(kit::ImageRef icon) {
    if (!icon || icon->isEmpty()) icon = genericApplicationIcon();
    // An icon keeps its own size in the middle of the tile: blown up to the
    // tile's height it would read as a picture of a square.
    imageView_->setImageScaling(kit::ImageScaling::ProportionallyDown);
    imageView_->setImage(std::move(icon));
}

bool ThumbTile::badgeShown() const { return badge_->superview() == this && !badge_->isHidden(); }

bool ThumbTile::isDimmed() const { return imageView_->alphaValue() < 1; }

bool ThumbTile::closeBoxVisible() const { return closeButton_->superview() == this && !closeButton_->isHidden(); }

bool ThumbTile::spaceLabelShown() const { return spaceLabel_->superview() == this && !spaceLabel_->isHidden(); }

void ThumbTile::layout() {
    const double w = bounds().width();
    const double t = bounds().height();
    imageView_->setFrame({4, 20, w - 8, t - 24});
    titleLabel_->setFrame({4, 2, w - 8, 16});
    closeButton_->setFrame({2, t - 20, kCloseBoxSide, kCloseBoxSide});
    badge_->setFrame({w - 20, t - 20, 16, 16});
    // Centred along the top, clear of the close box and the badge corners.
    const double room = std::max(0.0, w - 44);
    const double labelWidth =
        std::min(room, kit::textWidth(spaceLabel_->text(), kit::Font::systemFont(kSpaceLabelFontSize)) +
                           2 * kSpaceLabelPadding);
    spaceLabel_->setFrame({(w - labelWidth) / 2, t - 19, labelWidth, kSpaceLabelHeight});
}

void ThumbTile::updateTrackingAreas() {
    const auto old = trackingAreas();
    for (const auto& area : old) removeTrackingArea(area);
    // Active always: the app whose windows these are is the active one, never us.
    addTrackingArea(kit::TrackingArea::make(
        bounds(), kit::TrackingArea::MouseEnteredAndExited | kit::TrackingArea::ActiveAlways));
}

void ThumbTile::mouseEntered(const kit::MouseEvent&) {
    hovered_ = true;
    closeButton_->setHidden(false);
    if (Settings::boolValue("docklets_draw_highlight"))
        setBackgroundColor(kit::Color::named(kit::Color::Semantic::Label, kHighlightAlpha));
}

void ThumbTile::mouseExited(const kit::MouseEvent&) {
    hovered_ = false;
    closeButton_->setHidden(true);
    setBackgroundColor(kit::Color::clear());
}

void ThumbTile::mouseUp(const kit::MouseEvent&) {
    // Work on copies: the action may end with this tile dropped.
    auto action = onActivate;
    const WindowEntry entry = entry_;
    if (action) action(entry);
}

void ThumbTile::closeClicked() {
    // Closing removes this very tile; nothing of it is touched afterwards.
    auto action = onClose;
    const WindowEntry entry = entry_;
    if (action) action(entry);
}

// --- PreviewController --------------------------------------------------------

PreviewController::Geometry PreviewController::geometry(int tileCount) {
    Geometry g;
    const int n = std::max(tileCount, 1);
    g.tileWidth = static_cast<double>(Settings::boundedInteger("window_preview_size"));
    // std::round takes halves away from zero, as the rule asks.
    g.tileHeight = std::round(g.tileWidth * kTileAspect);
    g.columns = static_cast<int>(std::min<std::int64_t>(n, Settings::boundedInteger("window_preview_grid_width")));
    g.rows = (n + g.columns - 1) / g.columns;
    g.labelHeight = Settings::boolValue("window_preview_show_appname") ? kNameLineHeight : 0;
    const double c = g.columns;
    const double r = g.rows;
    g.panelSize = {g.tileWidth * c + 2 * pad + (c - 1) * spacing,
                   g.tileHeight * r + g.labelHeight + 2 * pad + (r - 1) * spacing};
    return g;
}

PreviewController::PreviewController()
    : grid_(std::make_shared<kit::FlippedView>()), appNameLabel_(std::make_shared<kit::Label>()) {
    grid_->addSubview(appNameLabel_);
}

platform::Panel& PreviewController::ensurePanel() {
    if (panel_) return *panel_;
    auto made = PanelPlacement::makePanel(kBlurCornerRadius);
    panel_ = std::move(made.panel);
    host_ = std::move(made.host);
    blur_ = std::move(made.blur);
    border_ = std::move(made.border);
    host_->addSubview(grid_);
    return *panel_;
}

void PreviewController::applyAppearance(platform::Panel& panel) {
    switch (Settings::theme()) {
        case Settings::Theme::automatic: panel.setAppearance(std::nullopt); break;
        case Settings::Theme::light: panel.setAppearance(kit::Appearance::VibrantLight); break;
        case Settings::Theme::dark: panel.setAppearance(kit::Appearance::VibrantDark); break;
    }
}

std::optional<platform::CGWindowID> PreviewController::frontWindowNumber(
    const platform::RunningApplicationRef& app) const {
    if (!app || !Settings::boolValue("window_preview_indicate_frontwindow")) return std::nullopt;
    auto& accessibility = platform::current().accessibility();
    auto focused = AX::element(accessibility.createApplication(app->processIdentifier()),
                               AX::kAXFocusedWindowAttribute);
    if (!focused) return std::nullopt;
    platform::CGWindowID number = 0;
    if (AX::getWindow(*focused, &number) != platform::kAXErrorSuccess || number == 0) return std::nullopt;
    return number;
}

void PreviewController::show(platform::RunningApplicationRef app, std::vector<WindowEntry> windows,
                             kit::Rect dockFrameTopLeft) {
    if (windows.empty() || !app) {
        hide();
        return;
    }
    const bool inPlace = currentPID_ == app->processIdentifier() && panel_ && panel_->isVisible();
    currentPID_ = app->processIdentifier();

    // Tiles, one per window, replacing the old ones.
    const auto front = frontWindowNumber(app);
    for (auto& tile : tiles_) tile->removeFromSuperview();
    tiles_.clear();
    const std::weak_ptr<PreviewController> weak = weak_from_this();
    for (auto& entry : windows) {
        auto tile = std::make_shared<ThumbTile>(entry, front && *front == entry.id);
        tile->onActivate = [weak, app](const WindowEntry& e) {
            if (auto self = weak.lock()) self->activate(e, app);
        };
        tile->onClose = [weak, app](const WindowEntry& e) {
            if (auto self = weak.lock()) self->close(e, app);
        };
        tiles_.push_back(std::move(tile));
    }

    const Geometry g = geometry(static_cast<int>(tiles_.size()));
    const kit::Size size = g.panelSize;

    platform::Panel& panel = ensurePanel();
    applyAppearance(panel);
    position(dockFrameTopLeft, size);

    const bool showName = Settings::boolValue("window_preview_show_appname");
    appNameLabel_->setHidden(!showName);
    if (showName) {
        appNameLabel_->setText(app->localizedName().value_or(""));
        appNameLabel_->setFont(kit::Font::boldSystemFont(12));
        appNameLabel_->setAlignment(kit::TextAlignment::Center);
        appNameLabel_->setTextColor(kit::Color::label());
        appNameLabel_->setFrame({pad, 3, size.width - 2 * pad, 18});
    }

    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const auto column = static_cast<double>(static_cast<int>(i) % g.columns);
        const auto row = static_cast<double>(static_cast<int>(i) / g.columns);
        tiles_[i]->setFrame({pad + column * (g.tileWidth + spacing),
                             g.labelHeight + pad + row * (g.tileHeight + spacing), g.tileWidth, g.tileHeight});
        grid_->addSubview(tiles_[i]);
    }

    // The same application's windows changed under a preview already up:
    // shown in place, without the panel flashing out and in again.
    if (inPlace) {
        panel.setAlphaValue(1);
        panel.orderFrontRegardless();
    } else {
        animateIn(panel);
    }
    loadImages(app, g.tileWidth);
}

void PreviewController::loadImages(const platform::RunningApplicationRef& app, double maxDimension) {
    auto& capture = platform::current().capture();
    const bool canCapture =
        capture.operatingSystemMajorVersion() >= kFirstCaptureOS && capture.preflightScreenCaptureAccess();
    if (!canCapture) {
        for (auto& tile : tiles_) tile->setIcon(app->icon());
        return;
    }
    // Only what can be seen is captured: a grid taller than the display
    // (an application with thousands of windows) would otherwise hold a
    // thumbnail for every tile below the screen's edge.
    std::vector<kit::Rect> displays;
    for (const auto& screen : platform::current().screens().screens()) displays.push_back(screen.frame);
    const kit::Rect panel = panel_ ? panel_->frame() : kit::Rect{};
    std::vector<platform::CGWindowID> ids;
    for (const auto& tile : tiles_) {
        const kit::Rect f = tile->frame();   // the grid is flipped and its top is the panel's
        const kit::Rect onScreen{panel.minX() + f.minX(), panel.maxY() - f.maxY(), f.width(), f.height()};
        if (std::any_of(displays.begin(), displays.end(), [&](const kit::Rect& d) { return d.intersects(onScreen); }))
            ids.push_back(tile->entry().id);
    }
    // The batch's own tiles: after a rebuild its late answer lands on tiles
    // that are no longer on screen, never on their successors.
    std::unordered_set<platform::CGWindowID> asked(ids.begin(), ids.end());
    capture_.captureBatch(std::move(ids), maxDimension,
                          [weak = weak_from_this(), batch = tiles_, app,
                           asked = std::move(asked)](ThumbnailCapture::Images images) {
                              if (!weak.lock()) return;
                              for (const auto& tile : batch) {
                                  auto found = images.find(tile->entry().id);
                                  if (found != images.end() && found->second) tile->setImage(found->second);
                                  else if (asked.count(tile->entry().id)) tile->setIcon(app->icon());
                              }
                          });
}

void PreviewController::position(kit::Rect dockFrameTopLeft, kit::Size size) {
    ensurePanel();
    shape_ = PanelPlacement::shape(dockFrameTopLeft, size, kBlurCornerRadius);
    PanelPlacement::fit({panel_, host_, blur_, border_}, shape_);
    // The tiles live in the body; a pointer triangle hangs below it.
    grid_->setFrame(shape_.body);
}

kit::Rect PreviewController::bodyFrame() const {
    return panel_ ? PanelPlacement::bodyFrame(panel_->frame(), shape_) : kit::Rect{};
}

void PreviewController::animateIn(platform::Panel& panel) {
    fader_.shown();
    switch (Settings::popupAnimation()) {
        case Settings::PopupAnimation::none:
            panel.setAlphaValue(1);
            panel.orderFrontRegardless();
            break;
        case Settings::PopupAnimation::fade:
            panel.setAlphaValue(0);
            panel.orderFrontRegardless();
            platform::current().windowServer().runAnimationGroup([&panel](platform::AnimationContext& context) {
                context.setDuration(PanelPlacement::kFadeInDuration);
                panel.animator().setAlphaValue(1);
            });
            break;
        case Settings::PopupAnimation::snapIn:
            PanelPlacement::animateIn(panel);
            break;
    }
}

void PreviewController::hide() {
    currentPID_.reset();
    fader_.fadeOut(panel_);
}

void PreviewController::activate(const WindowEntry& entry, const platform::RunningApplicationRef& app) {
    if (entry.isOnOtherSpace) {
        activateOnOtherSpace(entry, app);
        return;
    }
    auto window = AX::window(entry.pid, entry.id);
    if (!window) {
        std::optional<std::string> title;
        if (!entry.title.empty()) title = entry.title;
        window = AX::window(entry.pid, title, entry.bounds);
    }
    if (window) {
        if (AX::boolValue(*window, AX::kAXMinimizedAttribute))
            AX::setAttributeValue(*window, AX::kAXMinimizedAttribute, platform::CFType(false));
        AX::performAction(*window, AX::kAXRaiseAction);
    }
    if (app) app->activate();
    if (Settings::boolValue("hideWhenPreviewClicked")) hide();
}

// A window on another Space is out of accessibility's reach, so it cannot be
// raised before its application is activated. Activating an application
// with no window on a current Space makes macOS switch to the Space of its
// front-most window; once the switch has landed, the clicked window is
// reachable if it is on that Space, and is raised and focused by its number.
// Where it stays out of reach (the application also has windows where the
// user is, or the window is on yet another Space), the activation is all
// that public API allows.
void PreviewController::activateOnOtherSpace(const WindowEntry& entry, const platform::RunningApplicationRef& app) {
    if (app) app->activate();
    if (Settings::boolValue("hideWhenPreviewClicked")) hide();

    struct Search {
        WindowEntry entry;
        double deadline = 0;
    };
    auto& host = platform::current();
    auto search = std::make_shared<Search>(Search{entry, host.clock().now() + kSpaceSwitchWait});
    auto attempt = std::make_shared<std::function<void()>>();
    // The function holds itself only weakly; each scheduled try holds it.
    *attempt = [search, weakAttempt = std::weak_ptr<std::function<void()>>(attempt)] {
        auto& platform = platform::current();
        if (auto window = AX::window(search->entry.pid, search->entry.id)) {
            AX::performAction(*window, AX::kAXRaiseAction);
            AX::setAttributeValue(*window, AX::kAXMainAttribute, platform::CFType(true));
            return;
        }
        auto again = weakAttempt.lock();
        if (!again || platform.clock().now() + kSpaceSwitchRetry > search->deadline) return;
        platform.runLoop().asyncAfterMain(kSpaceSwitchRetry, [again] { (*again)(); });
    };
    (*attempt)();
}

void PreviewController::close(const WindowEntry& entry, const platform::RunningApplicationRef& app) {
    (void)app;
    auto window = AX::window(entry.pid, entry.id);
    if (!window) return;
    if (auto button = AX::element(*window, AX::kAXCloseButtonAttribute))
        AX::performAction(*button, AX::kAXPressAction);

    // The other tiles stay where they are: the panel keeps its size and the
    // closed window leaves a gap.
    auto it = std::find_if(tiles_.begin(), tiles_.end(),
                           [&entry](const ThumbTileRef& tile) { return tile->entry().id == entry.id; });
    if (it != tiles_.end()) {
        ThumbTileRef removed = *it;
        tiles_.erase(it);
        removed->removeFromSuperview();
    }
    if (tiles_.empty()) hide();
}

}  // namespace durazizi
