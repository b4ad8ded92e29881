#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "kit/View.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"
#include "specials/MediaControl.h"

namespace durazizi {

// The panel above the Music, Spotify and Calendar icons. For now it only
// keeps track of what it was asked to show; it puts nothing on screen, so
// its panel stays absent.
class SpecialController {
public:
    const std::shared_ptr<platform::Panel>& panel() const { return panel_; }
    const std::optional<std::string>& currentKey() const { return currentKey_; }

    // Builds the "media:" key itself and does nothing when it is already current.
    void showMedia(MediaApp app, platform::RunningApplicationRef running, kit::Rect dockFrameTopLeft);
    void present(kit::ViewRef view, kit::Size size, std::string key, kit::Rect dockFrameTopLeft);
    void hide();

    static std::string mediaKey(MediaApp app);

private:
    std::shared_ptr<platform::Panel> panel_;
    std::optional<std::string> currentKey_;
    kit::ViewRef content_;
};

}  // namespace durazizi
