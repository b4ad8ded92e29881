#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "dock/PreviewPanel.h"
#include "sim/OwnWindows.h"
#include "sim/Windows.h"
#include "specials/SpecialContent.h"

namespace scenario {

class World;

// Durazizi's panels above the Dock, found as a user finds them: among the
// windows the simulated window server holds for the process, by what they
// show. Nothing here asks a controller what it believes it shows.

// The preview: the panel whose content holds the grid of window tiles (a
// plain flipped view).
struct ShownPreview {
    sim::OwnWindowInfo window;   // visible or ordered out; frame in top-left points
    std::shared_ptr<kit::View> grid;
    std::vector<std::shared_ptr<durazizi::ThumbTile>> tiles;   // not hidden, in the grid's order
    std::shared_ptr<kit::Label> appName;                       // null when the grid has no name line
};
std::optional<ShownPreview> findPreview(World& world);

// The panel above Music, Spotify and Calendar: the one whose content is a
// special content view.
struct ShownSpecial {
    sim::OwnWindowInfo window;
    std::shared_ptr<durazizi::SpecialContent> content;
};
std::optional<ShownSpecial> findSpecial(World& world);

// Which window a tile stands for, told from the world rather than from the
// tile's bookkeeping. A thumbnail carries the capture service's tag of the
// window it was taken of. A tile without one (the application's icon, or no
// picture yet) is known the way a user knows it: by its title among the
// windows of the application whose icon or name the panel shows; `window`
// is 0 when no single window of that application has that title.
struct TileSource {
    sim::CGWindowID window = 0;
    std::optional<sim::pid_t> pid;
};
std::vector<TileSource> tileSources(World& world, const ShownPreview& preview);

}  // namespace scenario
