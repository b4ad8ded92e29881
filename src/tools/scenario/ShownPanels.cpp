#include "tools/scenario/ShownPanels.h"

#include <string>

#include "kit/Declarative.h"
#include "kit/FlippedView.h"
#include "kit/Label.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

// The running application whose icon, as the workspace hands it out, is
// this very image.
std::optional<sim::pid_t> iconOwner(World& world, const kit::ImageRef& image) {
    if (!image || image->isEmpty()) return std::nullopt;
    for (const auto& running : world.desktop().workspace().runningApplications())
        if (running->icon() == image) return running->processIdentifier();
    return std::nullopt;
}

// The one window of `owner` (of any application when unknown) titled as the
// tile's label reads; a label of one space stands for an empty title.
sim::CGWindowID uniquelyTitled(World& world, std::optional<sim::pid_t> owner, const std::string& label) {
    const std::string title = label == " " ? std::string() : label;
    sim::CGWindowID found = 0;
    for (const sim::WindowInfo& window : world.desktop().windows().all()) {
        if ((owner && window.pid != *owner) || window.title != title) continue;
        if (found) return 0;
        found = window.id;
    }
    return found;
}

}  // namespace

std::optional<ShownPreview> findPreview(World& world) {
    if (!world.running()) return std::nullopt;
    for (const sim::OwnWindowInfo& window : world.desktop().ownWindows().list()) {
        if (!window.isPanel || !window.contentView) continue;
        for (const kit::ViewRef& child : window.contentView->subviews()) {
            // The grid is a plain flipped view; a declarative screen (the
            // menu-bar panel) is hosted in one of its own kind.
            auto grid = std::dynamic_pointer_cast<kit::FlippedView>(child);
            if (!grid || dynamic_cast<kit::ui::HostingView*>(grid.get())) continue;
            ShownPreview shown{window, grid, {}, nullptr};
            for (const kit::ViewRef& view : grid->subviews()) {
                if (auto tile = std::dynamic_pointer_cast<durazizi::ThumbTile>(view)) {
                    if (!tile->isHidden()) shown.tiles.push_back(std::move(tile));
                } else if (auto label = std::dynamic_pointer_cast<kit::Label>(view); label && !shown.appName) {
                    shown.appName = std::move(label);
                }
            }
            return shown;
        }
    }
    return std::nullopt;
}

std::optional<ShownSpecial> findSpecial(World& world) {
    if (!world.running()) return std::nullopt;
    for (const sim::OwnWindowInfo& window : world.desktop().ownWindows().list()) {
        if (!window.isPanel || !window.contentView) continue;
        for (const kit::ViewRef& child : window.contentView->subviews()) {
            if (auto content = std::dynamic_pointer_cast<durazizi::SpecialContent>(child))
                return ShownSpecial{window, std::move(content)};
        }
    }
    return std::nullopt;
}

std::vector<TileSource> tileSources(World& world, const ShownPreview& preview) {
    std::vector<TileSource> sources(preview.tiles.size());
    std::optional<sim::pid_t> owner;
    // Pass 1: a thumbnail names the window it was captured from.
    for (std::size_t i = 0; i < preview.tiles.size(); ++i) {
        if (auto source = world.desktop().capture().sourceOf(preview.tiles[i]->imageView().image())) {
            sources[i] = {source->window, source->pid};
            if (!owner) owner = source->pid;
        }
    }
    // Pass 2: whose windows the panel shows, when no thumbnail says it: an
    // application's icon on a tile, else the name line above the tiles.
    for (std::size_t i = 0; i < preview.tiles.size() && !owner; ++i)
        owner = iconOwner(world, preview.tiles[i]->imageView().image());
    if (!owner && preview.appName && !preview.appName->isHidden())
        owner = world.desktop().processes().pidForName(preview.appName->text());
    // Pass 3: the other tiles by their titles among that application's windows.
    for (std::size_t i = 0; i < preview.tiles.size(); ++i) {
        if (sources[i].window) continue;
        const sim::CGWindowID window = uniquelyTitled(world, owner, preview.tiles[i]->titleLabel().text());
        sources[i] = {window, owner};
        if (!owner && window) sources[i].pid = world.desktop().windows().info(window).pid;
    }
    return sources;
}

}  // namespace scenario
