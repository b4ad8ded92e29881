#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kit/Geometry.h"
#include "kit/Image.h"
#include "platform/Platform.h"
#include "sim/Service.h"
#include "sim/World.h"

namespace sim {

// One tile of the running Dock as a user sees it.
struct DockItemInfo {
    DockItemKind kind = DockItemKind::Application;
    std::string title;
    std::string bundleId;       // applications the world knows; empty otherwise
    kit::Rect frame;            // top-left global coordinates
    bool running = false;       // an application item whose application runs
    bool own = false;           // Durazizi's application tile or one of its minimized windows
    kit::ImageRef icon;         // drawn instead of the colour tile when set (Durazizi's bundle icon)
    // The tile's colour, premultiplied opaque RGBA packed as kit::Image pixels:
    // the application's icon colour, or one derived from the title.
    std::uint32_t color = 0;
};

// The Dock process: its items laid out along the bottom of the primary
// display (top-left global coordinates).
class Dock final : public Service {
public:
    explicit Dock(World& world) : world_(world) {}

    // The Dock process runs (or quits), with square icons of `iconSize`
    // points. There is no Dock until this is called.
    void setRunning(bool running, double iconSize = 48);
    // The Dock quits and starts again with a new pid and the same items; its
    // old elements answer kAXErrorInvalidUIElement.
    void restart();
    // Appended after the items added so far (applications with inDock add
    // theirs as they are added).
    void addItem(DockItemKind kind, const std::string& title);
    // Nullopt when the Dock is not running or no item has that title.
    std::optional<kit::Rect> itemFrame(const std::string& title) const;
    std::optional<platform::pid_t> pid() const;
    // Every item with its frame, in Dock order; empty when the Dock is not running.
    std::vector<DockItemInfo> items() const;

    void fingerprint(Fingerprint& f) const override;

private:
    World& world_;
};

}  // namespace sim
