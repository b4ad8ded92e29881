#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "kit/Geometry.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"
#include "specials/PanelPlacement.h"
#include "specials/CalendarContentView.h"
#include "specials/MediaContentView.h"
#include "specials/MediaControl.h"
#include "specials/SpecialContent.h"

namespace durazizi {

// The one panel above the Music, Spotify and Calendar icons. It is made on
// first use and kept; its content is swapped on every show of another key.
class SpecialController : public std::enable_shared_from_this<SpecialController> {
public:
    static constexpr double kCornerRadius = 12;

    const std::shared_ptr<platform::Panel>& panel() const { return panel_; }
    // The panel less the pointer triangle below it (Cocoa); empty before the first show.
    kit::Rect bodyFrame() const;
    // "media:Music", "media:Spotify" or "calendar"; none while hidden.
    const std::optional<std::string>& currentKey() const { return currentKey_; }
    const std::shared_ptr<SpecialContent>& content() const { return content_; }

    // Builds the "media:" key itself and does nothing when it is already current.
    void showMedia(MediaApp app, const platform::RunningApplicationRef& running, kit::Rect dockFrameTopLeft);
    void present(std::shared_ptr<SpecialContent> content, kit::Size size, std::string key,
                 kit::Rect dockFrameTopLeft);
    void hide();

    static std::string mediaKey(MediaApp app);

private:
    platform::Panel& ensurePanel();

    std::shared_ptr<platform::Panel> panel_;
    std::shared_ptr<kit::View> host_;
    std::shared_ptr<kit::VisualEffectView> blur_;
    std::shared_ptr<kit::ImageView> border_;
    std::shared_ptr<SpecialContent> content_;
    std::optional<std::string> currentKey_;
    PanelPlacement::Shape shape_;
    PanelPlacement::Fader fader_;
};

}  // namespace durazizi
