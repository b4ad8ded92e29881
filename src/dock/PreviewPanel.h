#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ax/WindowList.h"
#include "dock/ThumbnailCapture.h"
#include "kit/Button.h"
#include "kit/FlippedView.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"
#include "platform/WindowServer.h"
#include "platform/Workspace.h"
#include "specials/PanelPlacement.h"

namespace durazizi {

// One window of the preview panel: its thumbnail, its title along the bottom,
// a close box in the top-left corner while hovered, a minimized badge in the
// top-right corner, and along the top, for a window on a Space no display
// shows, a small label naming that Space. The tile's own coordinates have
// their origin at the bottom-left.
class ThumbTile : public kit::View {
public:
    ThumbTile(WindowEntry entry, bool isFront);

    const WindowEntry& entry() const { return entry_; }
    bool isHovered() const { return hovered_; }
    // The window's thumbnail, filling the tile.
    void setImage(kit::ImageRef image);
    // The application's icon where there is no thumbnail, at the icon's own
    // size; the generic application icon when the application has none.
    void setIcon(kit::ImageRef icon);

    // What a user sees of the tile.
    bool badgeShown() const;
    bool isDimmed() const;
    bool closeBoxVisible() const;
    const kit::ImageView& imageView() const { return *imageView_; }
    const kit::Label& titleLabel() const { return *titleLabel_; }
    const kit::ImageView& badge() const { return *badge_; }
    // Drawn only on a tile whose window is on another Space.
    const kit::Label& spaceLabel() const { return *spaceLabel_; }
    bool spaceLabelShown() const;
    kit::Button& closeButton() { return *closeButton_; }
    const kit::Button& closeButton() const { return *closeButton_; }

    std::function<void(const WindowEntry&)> onActivate;
    std::function<void(const WindowEntry&)> onClose;

    void layout() override;
    void updateTrackingAreas() override;
    void mouseEntered(const kit::MouseEvent& event) override;
    void mouseExited(const kit::MouseEvent& event) override;
    void mouseUp(const kit::MouseEvent& event) override;
    void closeClicked();

private:
    WindowEntry entry_;
    std::shared_ptr<kit::ImageView> imageView_;
    std::shared_ptr<kit::Label> titleLabel_;
    std::shared_ptr<kit::Button> closeButton_;
    std::shared_ptr<kit::ImageView> badge_;
    std::shared_ptr<kit::Label> spaceLabel_;
    bool hovered_ = false;
};

using ThumbTileRef = std::shared_ptr<ThumbTile>;

// The floating panel of window thumbnails above a Dock icon. Made once and
// reused; its tiles are rebuilt on every show.
class PreviewController : public std::enable_shared_from_this<PreviewController> {
public:
    static constexpr double spacing = 10;   // between tiles
    static constexpr double pad = 12;       // inside the grid's edges

    // The grid of one show, from the settings and the number of tiles.
    struct Geometry {
        double tileWidth = 0;    // W
        double tileHeight = 0;   // T
        int columns = 1;         // c
        int rows = 1;            // r
        double labelHeight = 0;  // L
        kit::Size panelSize;     // PW x PH
    };
    static Geometry geometry(int tileCount);

    PreviewController();

    void show(platform::RunningApplicationRef app, std::vector<WindowEntry> windows, kit::Rect dockFrameTopLeft);
    void hide();

    // Sizes and places the panel for a body of `size` above the icon (with
    // the pointer triangle below it when drawn); animateIn then shows it in
    // the user's chosen style.
    void position(kit::Rect dockFrameTopLeft, kit::Size size);
    void animateIn(platform::Panel& panel);

    // Read by the hover loop, the scenario runner and tests.
    const std::shared_ptr<platform::Panel>& panel() const { return panel_; }
    // The panel less the pointer triangle below it (Cocoa); empty before the first show.
    kit::Rect bodyFrame() const;
    std::optional<platform::pid_t> currentPID() const { return currentPID_; }
    const std::vector<ThumbTileRef>& tiles() const { return tiles_; }
    const kit::Label& appNameLabel() const { return *appNameLabel_; }
    const kit::FlippedView& grid() const { return *grid_; }
    const kit::VisualEffectView* blur() const { return blur_.get(); }

private:
    platform::Panel& ensurePanel();
    void applyAppearance(platform::Panel& panel);
    std::optional<platform::CGWindowID> frontWindowNumber(const platform::RunningApplicationRef& app) const;
    void loadImages(const platform::RunningApplicationRef& app, double maxDimension);
    void activate(const WindowEntry& entry, const platform::RunningApplicationRef& app);
    void activateOnOtherSpace(const WindowEntry& entry, const platform::RunningApplicationRef& app);
    void close(const WindowEntry& entry, const platform::RunningApplicationRef& app);

    std::shared_ptr<platform::Panel> panel_;
    kit::ViewRef host_;
    std::shared_ptr<kit::VisualEffectView> blur_;
    std::shared_ptr<kit::ImageView> border_;
    std::shared_ptr<kit::FlippedView> grid_;
    std::shared_ptr<kit::Label> appNameLabel_;
    std::vector<ThumbTileRef> tiles_;
    PanelPlacement::Shape shape_;
    std::optional<platform::pid_t> currentPID_;
    ThumbnailCapture capture_;
    PanelPlacement::Fader fader_;
};

}  // namespace durazizi
