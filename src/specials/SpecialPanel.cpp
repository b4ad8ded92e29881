#include "specials/SpecialPanel.h"

#include <utility>

namespace durazizi {

std::string SpecialController::mediaKey(MediaApp app) {
    return app == MediaApp::music ? "media:Music" : "media:Spotify";
}

void SpecialController::showMedia(MediaApp app, platform::RunningApplicationRef running, kit::Rect dockFrameTopLeft) {
    (void)running;
    (void)dockFrameTopLeft;
    std::string key = mediaKey(app);
    if (currentKey_ == key) return;
    content_.reset();
    currentKey_ = std::move(key);
}

void SpecialController::present(kit::ViewRef view, kit::Size size, std::string key, kit::Rect dockFrameTopLeft) {
    (void)size;
    (void)dockFrameTopLeft;
    content_ = std::move(view);
    currentKey_ = std::move(key);
}

void SpecialController::hide() {
    currentKey_.reset();
    content_.reset();
}

}  // namespace durazizi
