#include "tools/scenario/Tour.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>

#include "dock/PreviewPanel.h"
#include "kit/Controls.h"
#include "kit/ViewInput.h"
#include "render/Renderer.h"
#include "specials/CalendarContentView.h"
#include "specials/MediaContentView.h"
#include "specials/PanelPlacement.h"
#include "tools/scenario/DefaultDesktop.h"
#include "tools/scenario/PanelOutline.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Failure = std::optional<std::string>;

constexpr const char* kProgram = "durazizi-sim: ";
// Long enough for the launch, the first permission poll and the hover loop's start.
constexpr double kSettle = 2.0;
// Past the activation delay (70 ms by default), the capture batch's hand-back
// and the panel's fade-in, with a margin of a few polls.
constexpr double kPreviewAppears = 0.6;
// A pointer move over a panel takes effect at once; a poll lets the hover loop see it too.
constexpr double kPointerRests = 0.1;
// Part-way through the fade-out, so the picture shows the panel going.
constexpr double kIntoFadeOut = durazizi::PanelPlacement::kFadeOutDuration * 0.4;
// The snapping overlay's fade, with a margin.
constexpr double kSnapShown = 0.3;
// The window the tour closes, and the one it brings forward.
constexpr const char* kPreviewApp = "Browser";
constexpr const char* kClosedTitle = "Weather in Lisbon";

std::string htmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

class Tour {
public:
    Tour(World& world, const DefaultDesktop& desktop, const TourOptions& options, TourResult& result)
        : world_(world), default_(desktop), options_(options), result_(result), renderer_(world.desktop()) {}

    Failure run() {
        // Each step acts as a user would, checks that the user would see what
        // the caption promises, then takes its picture.
        const std::function<Failure()> steps[] = {
            [this] { return atRest(); },        [this] { return preview(); },
            [this] { return hoveredTile(); },   [this] { return minimizedTile(); },
            [this] { return closedTile(); },    [this] { return clickedTile(); },
            [this] { return otherSpaceTile(); },
            [this] { return armedOverlay(); },  [this] { return tiledWindow(); },
            [this] { return nowPlaying(); },    [this] { return upcomingEvents(); },
            [this] { return homePanel(); },     [this] { return homePanelMissing(); },
            [this] { return preferences(); },   [this] { return termsGate(); },
            [this] { return guide(); },
        };
        for (const auto& step : steps) {
            if (auto failure = step()) return failure;
        }
        return std::nullopt;
    }

private:
    sim::Desktop& desktop() { return world_.desktop(); }

    // The preview as the window server shows it.
    std::optional<ShownPreview> shown() { return findPreview(world_); }

    bool panelVisible() {
        const auto preview = shown();
        return preview && preview->window.visible;
    }

    // The tile showing that window, as its thumbnail's capture tells.
    durazizi::ThumbTileRef tileFor(sim::CGWindowID window) {
        const auto preview = shown();
        if (!preview) return nullptr;
        const std::vector<TileSource> sources = tileSources(world_, *preview);
        for (std::size_t i = 0; i < sources.size(); ++i)
            if (sources[i].window == window) return preview->tiles[i];
        return nullptr;
    }

    durazizi::ThumbTileRef tileTitled(const std::string& title) {
        const auto preview = shown();
        if (!preview) return nullptr;
        for (const auto& tile : preview->tiles)
            if (tile->titleLabel().text() == title) return tile;
        return nullptr;
    }

    // The centre of a view of the preview panel, in global top-left points.
    kit::Point centreOnScreen(const kit::View& view) {
        const kit::Rect panel = shown()->window.frame;
        const kit::Rect inContent = kit::frameInRoot(view);
        return {panel.minX() + inContent.midX(), panel.maxY() - inContent.midY()};
    }

    Failure picture(const std::string& file, const std::string& caption) {
        const render::Frame& frame = renderer_.paint(options_.scale);
        const std::string path = (std::filesystem::path(options_.outDir) / file).string();
        if (!render::writePNG(frame, path)) return "cannot write " + path;
        result_.frames.push_back({file, caption});
        return std::nullopt;
    }

    // --- the steps --------------------------------------------------------------

    Failure atRest() {
        if (auto error = world_.launch()) return *error;
        // Away from the Dock, where a resting pointer does nothing.
        desktop().input().move({720, 400});
        desktop().time().advance(kSettle);
        if (!world_.started()) return std::string("Durazizi did not start on the default desktop");
        return picture("01-desktop.png",
                       "The simulated desktop at rest: Durazizi's status item in the menu bar, the Dock along the bottom.");
    }

    Failure preview() {
        const auto icon = desktop().dock().itemFrame(kPreviewApp);
        if (!icon) return std::string("the Dock has no ") + kPreviewApp + " icon";
        desktop().input().move({icon->midX(), icon->midY()});
        desktop().time().advance(kPreviewAppears);
        const auto preview = shown();
        const auto sources = preview ? tileSources(world_, *preview) : std::vector<TileSource>{};
        if (!preview || !preview->window.visible || sources.empty() || sources.front().pid != default_.browser) {
            return std::string("resting on the ") + kPreviewApp + " icon showed no preview of its windows";
        }
        const auto& tiles = preview->tiles;
        kit::ImageRef appIcon;
        for (const auto& running : desktop().workspace().runningApplications())
            if (running->processIdentifier() == default_.browser) appIcon = running->icon();
        const bool allCaptured = std::all_of(tiles.begin(), tiles.end(), [&](const auto& tile) {
            const kit::ImageRef& image = tile->imageView().image();
            return image && !image->isEmpty() && image != appIcon;
        });
        if (tiles.size() != 3 || !allCaptured) return std::string("the preview does not show three thumbnails");
        const auto pointer = drawnPointer(preview->window);
        if (!pointer || pointer->tip.x != icon->midX() || pointer->tip.y >= icon->minY())
            return std::string("no triangle below the preview points at the icon");
        return picture("02-preview.png",
                       "Resting on the Browser's Dock icon shows its three windows as thumbnails above the icon; "
                       "the triangle below the panel points at the icon.");
    }

    Failure hoveredTile() {
        const auto tile = tileTitled(kClosedTitle);
        if (!tile) return std::string("no tile for \"") + kClosedTitle + "\"";
        desktop().input().move(centreOnScreen(*tile));
        desktop().time().advance(kPointerRests);
        if (!panelVisible() || !tile->closeBoxVisible()) return std::string("the hovered tile shows no close box");
        return picture("03-hovered-tile.png",
                       "The tile under the pointer is highlighted and shows its close box in the corner.");
    }

    Failure minimizedTile() {
        const auto tile = tileFor(default_.minimizedPage);
        if (!tile) return std::string("the minimized window has no tile");
        desktop().input().move(centreOnScreen(*tile));
        desktop().time().advance(kPointerRests);
        if (!tile->badgeShown() || !tile->isDimmed()) {
            return std::string("the minimized window's tile is not dimmed with a badge");
        }
        return picture("04-minimized-tile.png",
                       "A minimized window's tile is dimmed and carries a badge in its top-right corner.");
    }

    Failure closedTile() {
        const auto tile = tileTitled(kClosedTitle);
        if (!tile) return std::string("no tile for \"") + kClosedTitle + "\"";
        const auto thumbnail = desktop().capture().sourceOf(tile->imageView().image());
        if (!thumbnail) return std::string("the tile for \"") + kClosedTitle + "\" shows no thumbnail";
        const sim::CGWindowID closed = thumbnail->window;
        // The close box shows only while its tile is hovered.
        desktop().input().move(centreOnScreen(*tile));
        desktop().time().advance(kPointerRests);
        const kit::Point box = centreOnScreen(tile->closeButton());
        desktop().input().click(box);
        desktop().time().advance(kPointerRests);
        if (desktop().windows().info(closed).exists) return std::string("the close box did not close its window");
        if (!panelVisible() || tileFor(closed) || shown()->tiles.size() != 2) {
            return std::string("the closed window's tile is still there, or the panel went");
        }
        return picture("05-closed-tile.png",
                       "Clicking a tile's close box closes that window; its tile is gone and the others stay put.");
    }

    Failure clickedTile() {
        const auto tile = tileFor(default_.minimizedPage);
        if (!tile) return std::string("the minimized window has no tile");
        desktop().input().click(centreOnScreen(*tile));
        desktop().time().advance(kIntoFadeOut);
        const sim::WindowInfo window = desktop().windows().info(default_.minimizedPage);
        if (window.minimized || !window.focused) {
            return std::string("clicking the tile did not bring its window to the front");
        }
        if (!panelVisible() || shown()->window.alpha >= 1) return std::string("the panel is not fading out");
        return picture("06-clicked-tile.png",
                       "Clicking a tile brings that window to the front, restoring it if minimized, and the panel fades out.");
    }

    Failure otherSpaceTile() {
        const auto icon = desktop().dock().itemFrame("Notes");
        if (!icon) return std::string("the Dock has no Notes icon");
        desktop().input().move({icon->midX(), icon->midY()});
        desktop().time().advance(kPreviewAppears);
        const auto tile = tileFor(default_.awayNote);
        if (!tile || !panelVisible()) return std::string("the note on the other Space has no tile");
        desktop().input().move(centreOnScreen(*tile));
        desktop().time().advance(kPointerRests);
        if (!tile->spaceLabelShown() || tile->closeBoxVisible()) {
            return std::string("the other Space's tile is not labelled, or offers a close box");
        }
        return picture("07-other-space-tile.png",
                       "With \"Windows from all Spaces\" on, a window on another Space gets a tile too, "
                       "labelled \"Other Space\"; clicking it switches to that Space.");
    }

    // The snapping overlay as the window server shows it: our one window
    // that lets the mouse through.
    std::optional<sim::OwnWindowInfo> overlay() {
        for (const sim::OwnWindowInfo& window : desktop().ownWindows().list())
            if (window.ignoresMouse && window.visible) return window;
        return std::nullopt;
    }

    Failure armedOverlay() {
        const sim::WindowInfo window = desktop().windows().info(default_.minimizedPage);
        const auto screen = desktop().screens().primaryFrame();
        if (!window.exists || !screen) return std::string("the clicked window is gone");
        // By the title bar against the left edge, where the zone arms at once.
        desktop().input().mouseDown({window.frame.minX() + 240, window.frame.minY() + 12});
        desktop().input().move({screen->midX() / 2, screen->midY()});
        desktop().input().move({screen->minX(), screen->midY()});
        desktop().time().advance(kSnapShown);
        const auto shown = overlay();
        if (!shown || shown->alpha < 1 || shown->frame.minX() != screen->minX() ||
            shown->frame.width() != screen->width() / 2) {
            return std::string("dragging a window against the left edge showed no overlay over the left half");
        }
        return picture("08-armed-overlay.png",
                       "Dragging a window by its title bar against the left edge shows the overlay where it will go.");
    }

    Failure tiledWindow() {
        desktop().input().mouseUp(desktop().input().location());
        desktop().time().advance(kSnapShown);
        const sim::WindowInfo window = desktop().windows().info(default_.minimizedPage);
        const auto screen = desktop().screens().primaryFrame();
        if (!screen || window.frame.minX() != screen->minX() || window.frame.width() != screen->width() / 2) {
            return std::string("letting go did not tile the window into the left half");
        }
        if (overlay()) return std::string("the overlay stayed after the release");
        return picture("09-tiled-window.png", "Letting go tiles the window into the left half of the screen.");
    }

    Failure nowPlaying() {
        const auto icon = desktop().dock().itemFrame("Spotify");
        if (!icon) return std::string("the Dock has no Spotify icon");
        desktop().input().move({icon->midX(), icon->midY()});
        desktop().time().advance(kPreviewAppears);
        const auto special = findSpecial(world_);
        const auto* media = special ? dynamic_cast<const durazizi::MediaContentView*>(special->content.get()) : nullptr;
        if (!media || !special->window.visible || media->titleLabel().text() == "Spotify") {
            return std::string("resting on the Spotify icon showed no track");
        }
        return picture("10-now-playing.png",
                       "Resting on the Spotify icon shows what it plays: the cover, the title, artist and album, "
                       "and buttons for the previous track, play or pause, and the next track.");
    }

    Failure upcomingEvents() {
        const auto icon = desktop().dock().itemFrame("Calendar");
        if (!icon) return std::string("the Dock has no Calendar icon");
        desktop().input().move({icon->midX(), icon->midY()});
        desktop().time().advance(kPreviewAppears);
        const auto special = findSpecial(world_);
        if (!special || !special->window.visible ||
            !dynamic_cast<const durazizi::CalendarContentView*>(special->content.get())) {
            return std::string("resting on the Calendar icon showed no events");
        }
        auto shot = picture("11-upcoming-events.png",
                            "Resting on the Calendar icon lists the coming events of every calendar, each with "
                            "its calendar's colour and its start time.");
        desktop().input().move({720, 400});
        desktop().time().advance(kIntoFadeOut * 4);
        return shot;
    }

    // Durazizi's own window with that title on screen, or none.
    std::optional<sim::OwnWindowInfo> ownWindow(const std::string& title, bool panel = false) {
        for (auto& window : desktop().ownWindows().list())
            if (window.visible && !window.ignoresMouse && window.isPanel == panel && (panel || window.title == title))
                return window;
        return std::nullopt;
    }

    // Clicks the first view of the window's tree that `matches`, at its centre.
    bool clickView(const sim::OwnWindowInfo& window, const std::function<bool(const kit::View&)>& matches) {
        std::function<const kit::View*(const kit::View&)> find = [&](const kit::View& view) -> const kit::View* {
            if (matches(view)) return &view;
            for (const auto& child : view.subviews())
                if (const kit::View* hit = find(*child)) return hit;
            return nullptr;
        };
        const kit::View* view = window.contentView ? find(*window.contentView) : nullptr;
        if (!view) return false;
        const kit::Point inWindow = view->convertToRoot(view->bounds().center());
        const kit::Point p{window.frame.minX() + inWindow.x, window.frame.maxY() - inWindow.y};
        desktop().input().move(p);
        desktop().input().click(p);
        return true;
    }

    bool clickTab(const sim::OwnWindowInfo& window, const std::string& tab) {
        std::function<kit::SegmentedControl*(const kit::ViewRef&)> find = [&](const kit::ViewRef& view) {
            auto* bar = dynamic_cast<kit::SegmentedControl*>(view.get());
            if (bar && bar->isTabBar()) return bar;
            for (const auto& child : view->subviews())
                if (auto* hit = find(child)) return hit;
            return static_cast<kit::SegmentedControl*>(nullptr);
        };
        kit::SegmentedControl* bar = find(window.contentView);
        if (!bar) return false;
        for (std::size_t i = 0; i < bar->labels().size(); ++i) {
            if (bar->labels()[i] != tab) continue;
            const kit::Point inWindow = bar->convertToRoot(bar->segmentRect(i).center());
            const kit::Point p{window.frame.minX() + inWindow.x, window.frame.maxY() - inWindow.y};
            desktop().input().click(p);
            return true;
        }
        return false;
    }

    Failure homePanel() {
        desktop().input().move({720, 400});
        desktop().time().advance(kIntoFadeOut * 4);
        const auto item = desktop().application().statusItemFrame();
        if (!item) return std::string("Durazizi has no status item");
        desktop().input().click(item->center());
        desktop().time().advance(kPointerRests * 2);
        if (!ownWindow("", true)) return std::string("clicking the status item showed no panel");
        return picture("12-home-panel.png",
                       "Clicking the status item drops the home panel: the two feature switches and the commands.");
    }

    Failure homePanelMissing() {
        desktop().input().click({720, 400});   // elsewhere: the panel closes
        desktop().permissions().setScreenRecording(false);
        desktop().time().advance(kPointerRests * 2);
        desktop().input().click(desktop().application().statusItemFrame()->center());
        desktop().time().advance(kPointerRests * 2);
        if (!ownWindow("", true)) return std::string("the panel did not open again");
        auto shot = picture("13-home-panel-permission.png",
                            "Without Screen Recording the panel shows a row that points to the permission, with Grant.");
        desktop().permissions().setScreenRecording(true);
        desktop().input().click({720, 400});
        desktop().time().advance(kPointerRests * 2);
        return shot;
    }

    Failure preferences() {
        if (!desktop().application().chooseMenuItem("Durazizi", "Settings\u2026")) return std::string("no Settings menu item");
        const char* tabs[] = {"General", "Appearance", "Specials", "Window Management", "About"};
        const char* files[] = {"14-preferences-general.png", "15-preferences-appearance.png",
                               "16-preferences-specials.png", "17-preferences-window-management.png",
                               "18-preferences-about.png"};
        const char* captions[] = {
            "Preferences, General: the login item, previews, the activation delay and what the previews include.",
            "Preferences, Appearance: theme, elements, distance, bubble size, grid and the popup animation.",
            "Preferences, Specials: the Music, Spotify and Calendar panels.",
            "Preferences, Window Management: snapping delays, keyboard snapping and the modifier chords.",
            "Preferences, About."};
        for (int i = 0; i < 5; ++i) {
            auto window = ownWindow("Durazizi Preferences");
            if (!window) return std::string("the preferences window did not open");
            if (!clickTab(*window, tabs[i])) return std::string("no tab ") + tabs[i];
            desktop().time().advance(kPointerRests);
            if (auto failure = picture(files[i], captions[i])) return failure;
        }
        // The whole desktop in the dark appearance: the menu bar, the Dock,
        // the applications' windows and the window that follows the system.
        desktop().appearance().setDark(true);
        auto window = ownWindow("Durazizi Preferences");
        if (!window || !clickTab(*window, "Appearance")) return std::string("no Appearance tab");
        desktop().time().advance(kPointerRests);
        auto shot = picture("19-preferences-dark.png",
                            "The desktop in the dark appearance, with the preferences following it.");
        desktop().appearance().setDark(false);
        desktop().application().chooseMenuItem("Window", "Close");
        return shot;
    }

    Failure termsGate() {
        world_.defaults().removeObjectForKey("termsVersionAccepted");
        world_.defaults().removeObjectForKey("guideShown");
        world_.relaunch();
        desktop().time().advance(kPointerRests * 2);
        if (!ownWindow("Welcome to Durazizi")) return std::string("a fresh start showed no terms");
        return picture("20-terms.png", "A first launch asks for agreement to the terms before anything runs.");
    }

    Failure guide() {
        auto terms = ownWindow("Welcome to Durazizi");
        if (!terms || !clickView(*terms, [](const kit::View& v) {
                auto* b = dynamic_cast<const kit::Button*>(&v);
                return b && b->title() == "I Agree";
            }))
            return std::string("the terms have no I Agree button");
        desktop().time().advance(kSettle);
        if (!ownWindow("Durazizi Guide")) return std::string("agreeing did not show the guide");
        return picture("21-guide.png", "Agreeing starts Durazizi and shows the guide, once.");
    }

    World& world_;
    const DefaultDesktop& default_;
    const TourOptions& options_;
    TourResult& result_;
    render::DesktopRenderer renderer_;
};

bool writeIndex(const TourOptions& options, const std::vector<TourFrame>& frames) {
    const std::filesystem::path path = std::filesystem::path(options.outDir) / "index.html";
    std::ofstream html(path, std::ios::binary | std::ios::trunc);
    html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<title>Durazizi \u2014 a tour</title>\n"
         << "<style>body{font-family:sans-serif;max-width:1500px;margin:2em auto;background:#f4f4f4}"
         << "figure{margin:0 0 3em}img{max-width:100%;box-shadow:0 2px 12px #0004}"
         << "figcaption{margin-top:.6em;font-size:1.1em}</style>\n</head>\n<body>\n"
         << "<h1>Durazizi \u2014 a tour</h1>\n";
    for (const TourFrame& frame : frames) {
        html << "<figure><img src=\"" << htmlEscaped(frame.file) << "\" alt=\"" << htmlEscaped(frame.caption)
             << "\"><figcaption>" << htmlEscaped(frame.caption) << "</figcaption></figure>\n";
    }
    html << "</body>\n</html>\n";
    html.close();
    return static_cast<bool>(html);
}

}  // namespace

TourResult runTour(const TourOptions& options) {
    TourResult result;
    std::error_code error;
    std::filesystem::create_directories(options.outDir, error);
    if (error) {
        result.failure = "cannot create " + options.outDir + ": " + error.message();
        return result;
    }
    ScratchHome home("durazizi-tour");
    if (home.path().empty()) {
        result.failure = "cannot create a home folder: " + home.error();
        return result;
    }
    {
        // A fresh home has no defaults file to move aside, so there is nothing to tell.
        World world(home.path(), [](const std::string&) {});
        const DefaultDesktop desktop = buildDefaultDesktop(world);
        result.failure = Tour(world, desktop, options, result).run();
    }
    if (!writeIndex(options, result.frames) && !result.failure) {
        result.failure = "cannot write " + options.outDir + "/index.html";
    }
    return result;
}

int tourCommand(const TourOptions& options, std::ostream& err) {
    const TourResult result = runTour(options);
    if (result.failure) {
        err << kProgram << "tour: " << *result.failure << '\n';
        return 1;
    }
    err << kProgram << "tour: " << result.frames.size() << " pictures and index.html in "
        << std::filesystem::absolute(options.outDir).string() << '\n';
    return 0;
}

}  // namespace scenario
