#include "specials/SpecialPanel.h"

#include <utility>

#include "app/Settings.h"
#include "platform/Platform.h"
#include "specials/PanelPlacement.h"

namespace durazizi {

std::string SpecialController::mediaKey(MediaApp app) { return "media:" + std::string(rawValue(app)); }

void SpecialController::showMedia(MediaApp app, const platform::RunningApplicationRef& running,
                                  kit::Rect dockFrameTopLeft) {
    std::string key = mediaKey(app);
    if (currentKey_ == key) return;
    auto view = std::make_shared<MediaContentView>(app, running ? running->icon() : nullptr);
    present(std::move(view), {MediaContentView::kWidth, MediaContentView::kHeight}, std::move(key),
            dockFrameTopLeft);
}

void SpecialController::present(std::shared_ptr<SpecialContent> content, kit::Size size, std::string key,
                                kit::Rect dockFrameTopLeft) {
    currentKey_ = std::move(key);
    if (content_) {
        content_->viewWillHide();
        content_->removeFromSuperview();
    }
    content_ = std::move(content);

    platform::Panel& panel = ensurePanel();
    switch (Settings::theme()) {
        case Settings::Theme::automatic: panel.setAppearance(std::nullopt); break;
        case Settings::Theme::light: panel.setAppearance(kit::Appearance::VibrantLight); break;
        case Settings::Theme::dark: panel.setAppearance(kit::Appearance::VibrantDark); break;
    }
    shape_ = PanelPlacement::shape(dockFrameTopLeft, size, kCornerRadius);
    PanelPlacement::fit({panel_, host_, blur_, border_}, shape_);
    if (content_) {
        // In the body: a pointer triangle hangs below it.
        content_->setFrame(shape_.body);
        host_->addSubview(content_);   // above the blur and the border
    }

    fader_.shown();
    PanelPlacement::animateIn(panel);
    if (content_) content_->viewDidShow();
}

kit::Rect SpecialController::bodyFrame() const {
    return panel_ ? PanelPlacement::bodyFrame(panel_->frame(), shape_) : kit::Rect{};
}

void SpecialController::hide() {
    currentKey_.reset();
    // The content stays installed until the next present.
    if (content_) content_->viewWillHide();
    fader_.fadeOut(panel_);
}

platform::Panel& SpecialController::ensurePanel() {
    if (panel_) return *panel_;
    auto made = PanelPlacement::makePanel(kCornerRadius);
    panel_ = std::move(made.panel);
    host_ = std::move(made.host);
    blur_ = std::move(made.blur);
    border_ = std::move(made.border);
    return *panel_;
}

}  // namespace durazizi
