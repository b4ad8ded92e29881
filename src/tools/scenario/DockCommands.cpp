#include <limits>
#include <string>

#include "dock/PreviewPanel.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/UserClick.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

// The Dock's icon-size slider ends at 128 points; the simulated Dock draws
// any size, but a Dock taller than a display makes no sense.
constexpr std::int64_t kDefaultIconSize = 48;
constexpr std::int64_t kMaxIconSize = 512;
constexpr std::int64_t kMaxTile = std::numeric_limits<std::int32_t>::max();

bool dockRunning(World& world) { return world.desktop().dock().pid().has_value(); }

// The preview tile a user aims at, or why there is none.
struct TileTarget {
    ShownPreview preview;
    durazizi::ThumbTileRef tile;
};

Result findTile(World& world, const std::string& command, std::size_t index, TileTarget& target) {
    if (!world.running()) return command + ": Durazizi is not running";
    auto preview = findPreview(world);
    if (!preview || !preview->window.visible) return command + ": no preview is shown";
    const auto& tiles = preview->tiles;
    if (index >= tiles.size()) {
        return command + ": no tile " + std::to_string(index) + " (the preview shows " +
               std::to_string(tiles.size()) + (tiles.size() == 1 ? " tile)" : " tiles)");
    }
    target.tile = tiles[index];
    target.preview = std::move(*preview);
    return std::nullopt;
}

// A point given in the tile's own coordinates (origin bottom-left), on screen.
// The tile converts to the panel's content coordinates itself, whatever lies
// between (the flipped grid); the content fills the panel.
kit::Point onScreen(const TileTarget& target, kit::Point inTile) {
    const kit::Point inContent = target.tile->convertToRoot(inTile);
    const kit::Rect& panel = target.preview.window.frame;   // top-left
    return {panel.minX() + inContent.x, panel.maxY() - inContent.y};
}

}  // namespace

Action parseDock(Args& args) {
    const std::string mode = args.hasMore() ? args.word("off or restart") : std::string();
    if (mode == "off") {
        return [](World& world, std::ostream&) -> Result {
            world.desktop().dock().setRunning(false);
            return std::nullopt;
        };
    }
    if (mode == "restart") {
        return [](World& world, std::ostream&) -> Result {
            if (!dockRunning(world)) return "dock restart: the Dock is not running";
            world.desktop().dock().restart();
            return std::nullopt;
        };
    }
    if (!mode.empty()) {
        args.fail("expected off, restart or size=N, got '" + mode + "'");
        return {};
    }
    const auto size = args.optionInteger("size", 1, kMaxIconSize).value_or(kDefaultIconSize);
    return [size](World& world, std::ostream&) -> Result {
        world.desktop().dock().setRunning(true, static_cast<double>(size));
        return std::nullopt;
    };
}

Action parseDockItem(Args& args) {
    const std::string kind = args.word("a kind (folder, trash, separator or minimized)");
    const std::string title = args.text("a title");
    sim::DockItemKind itemKind = sim::DockItemKind::Folder;
    if (kind == "folder") itemKind = sim::DockItemKind::Folder;
    else if (kind == "trash") itemKind = sim::DockItemKind::Trash;
    else if (kind == "separator") itemKind = sim::DockItemKind::Separator;
    else if (kind == "minimized") itemKind = sim::DockItemKind::Minimized;
    else if (!args.error()) args.fail("unknown Dock item kind '" + kind + "' (folder, trash, separator or minimized)");
    return [itemKind, title](World& world, std::ostream&) -> Result {
        world.desktop().dock().addItem(itemKind, title);
        return std::nullopt;
    };
}

Action parseHoverDock(Args& args) {
    const std::string title = args.text("a Dock item title");
    return [title](World& world, std::ostream&) -> Result {
        if (!dockRunning(world)) return "hover-dock: the Dock is not running";
        const auto frame = world.desktop().dock().itemFrame(title);
        if (!frame) return "hover-dock: no Dock item \"" + title + "\"";
        world.desktop().input().move(frame->center());
        return std::nullopt;
    };
}

Action parseClickTile(Args& args) {
    const auto index = static_cast<std::size_t>(args.integer("a tile number", 0, kMaxTile));
    return [index](World& world, std::ostream&) -> Result {
        TileTarget target;
        if (auto problem = findTile(world, "click-tile", index, target)) return problem;
        return clickAt(world, "click-tile", target.preview.window, target.tile.get(),
                       onScreen(target, target.tile->bounds().center()), "tile " + std::to_string(index));
    };
}

Action parseCloseTile(Args& args) {
    const auto index = static_cast<std::size_t>(args.integer("a tile number", 0, kMaxTile));
    return [index](World& world, std::ostream&) -> Result {
        TileTarget target;
        if (auto problem = findTile(world, "close-tile", index, target)) return problem;
        const kit::Button& closeBox = target.tile->closeButton();
        // Without close boxes the corner is just part of the tile, and a click
        // there would bring the window forward instead of closing it.
        if (closeBox.superview() != target.tile.get()) {
            return "close-tile: tile " + std::to_string(index) + " has no close box (window_preview_closebox is off)";
        }
        // Onto the point first: the close box shows once the pointer is on the tile.
        const kit::Point box = onScreen(target, closeBox.frame().center());
        return clickAt(world, "close-tile", target.preview.window, &closeBox, box,
                       "the close box of tile " + std::to_string(index));
    };
}

}  // namespace scenario
