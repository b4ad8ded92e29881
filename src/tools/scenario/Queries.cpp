#include <array>
#include <sstream>
#include <limits>
#include <ostream>
#include <variant>

#include "dock/PreviewPanel.h"
#include "linux/AtomicFile.h"
#include "tools/scenario/CalendarCommands.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/PanelOutline.h"
#include "tools/scenario/ShownPanels.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

const char* policyName(platform::ActivationPolicy policy) {
    switch (policy) {
        case platform::ActivationPolicy::Regular: return "regular";
        case platform::ActivationPolicy::Accessory: return "accessory";
        case platform::ActivationPolicy::Prohibited: return "prohibited";
    }
    return "regular";
}

std::string appJson(World& world) {
    const bool running = world.running();
    const platform::ActivationPolicy policy = world.desktop().application().activationPolicy();
    return json::Object()
        .add("policy", json::string(policyName(policy)))
        .add("running", json::boolean(running))
        .add("started", json::boolean(world.started()))
        .add("statusItem", json::boolean(running && world.desktop().application().hasStatusItem()))
        .add("dockIcon", json::boolean(running && policy == platform::ActivationPolicy::Regular))
        .str();
}

std::string defaultValueJson(const std::optional<platform::DefaultValue>& value) {
    if (!value) return json::null();
    if (const bool* b = std::get_if<bool>(&*value)) return json::boolean(*b);
    if (const std::int64_t* i = std::get_if<std::int64_t>(&*value)) return json::integer(*i);
    return json::number(std::get<double>(*value));
}

// The diagnostic log's messages: each line is "[<date>] <message>". Read
// like the product's own files: a FIFO or device at the path is no log, and a
// runaway one is read no further than a generous cap.
std::string logJson(World& world) {
    constexpr std::size_t kMaxLogBytes = 16u << 20;
    std::string text;
    std::string ignored;
    const auto status = linuxhost::fileio::readWhole(world.logPath(), &text, &ignored, kMaxLogBytes);
    if (status == linuxhost::fileio::ReadStatus::tooLarge) text.resize(kMaxLogBytes);
    std::vector<std::string> lines;
    std::istringstream file(text);
    std::string line;
    while (std::getline(file, line)) {
        if (line.starts_with('[')) {
            if (const auto end = line.find("] "); end != std::string::npos) line.erase(0, end + 2);
        }
        lines.push_back(json::string(line));
    }
    return json::Object().add("lines", json::array(lines)).str();
}

std::string urlsJson(World& world) {
    std::vector<std::string> urls;
    for (const std::string& url : world.desktop().workspace().openedURLs()) urls.push_back(json::string(url));
    return json::Object().add("opened", json::array(urls)).str();
}

std::string loginItemJson(World& world) {
    LoginServiceProbe& login = world.login();
    return json::Object()
        .add("status", json::integer(login.status()))
        .add("registers", json::integer(login.registers()))
        .add("unregisters", json::integer(login.unregisters()))
        .str();
}

std::string windowJson(World& world, sim::CGWindowID id) {
    const sim::WindowInfo info = world.desktop().windows().info(id);
    if (!info.exists) {
        return json::Object()
            .add("id", json::integer(id))
            .add("pid", json::integer(0))
            .add("exists", json::boolean(false))
            .add("title", json::string(""))
            .add("frame", json::rect({}))
            .add("minimized", json::boolean(false))
            .add("focused", json::boolean(false))
            .str();
    }
    return json::Object()
        .add("id", json::integer(info.id))
        .add("pid", json::integer(info.pid))
        .add("exists", json::boolean(true))
        .add("title", json::string(info.title))
        .add("frame", json::rect(info.frame))
        .add("minimized", json::boolean(info.minimized))
        .add("focused", json::boolean(info.focused))
        .str();
}

// What a tile's image view shows: nothing, the owner's icon as the
// workspace hands it out, or anything else (a thumbnail).
const char* shownImage(World& world, const kit::ImageRef& image, std::optional<sim::pid_t> owner) {
    if (!image || image->isEmpty()) return "none";
    if (owner) {
        for (const auto& running : world.desktop().workspace().runningApplications())
            if (running->processIdentifier() == *owner && running->icon() == image) return "icon";
    }
    return "thumbnail";
}

std::string tileJson(World& world, const durazizi::ThumbTile& tile, const TileSource& source) {
    return json::Object()
        .add("id", json::integer(source.window))
        .add("title", json::string(tile.titleLabel().text()))
        .add("frame", json::rect(tile.frame()))   // the grid is flipped: already top-left
        .add("front", json::boolean(tile.layerStyle().borderWidth > 0))   // the front window's border
        .add("badge", json::boolean(tile.badgeShown()))
        .add("dimmed", json::boolean(tile.isDimmed()))
        .add("image", json::string(shownImage(world, tile.imageView().image(), source.pid)))
        .add("closeBox", json::boolean(tile.closeBoxVisible()))
        .add("spaceLabel", tile.spaceLabelShown() ? json::string(tile.spaceLabel().text()) : json::null())
        .str();
}

// The panel as it stands, shown or not: a hidden panel keeps its last frame
// and tiles, and `visible` says whether a user sees any of it.
std::string previewJson(World& world) {
    const auto preview = findPreview(world);
    if (!preview) {
        return json::Object()
            .add("visible", json::boolean(false))
            .add("pid", json::null())
            .add("frame", json::null())
            .add("alpha", json::number(0))
            .add("appName", json::null())
            .add("tiles", json::array({}))
            .add("triangle", json::null())
            .str();
    }
    const std::vector<TileSource> sources = tileSources(world, *preview);
    std::optional<sim::pid_t> owner;
    for (const TileSource& source : sources)
        if (!owner) owner = source.pid;
    // A hidden panel keeps its tiles, but shows nobody's windows.
    const bool visible = preview->window.visible;
    const std::optional<sim::pid_t> pid = visible ? owner : std::nullopt;
    const auto& name = preview->appName;
    std::vector<std::string> tiles;
    for (std::size_t i = 0; i < preview->tiles.size(); ++i)
        tiles.push_back(tileJson(world, *preview->tiles[i], sources[i]));
    // The panel is its body; a pointer drawn below it is told apart.
    const std::optional<DrawnPointer> pointer = drawnPointer(preview->window);
    return json::Object()
        .add("visible", json::boolean(visible))
        .add("pid", pid ? json::integer(*pid) : json::null())
        .add("frame", json::rect(bodyFrame(preview->window, pointer)))
        .add("alpha", json::number(preview->window.alpha))
        .add("appName", !name || name->isHidden() ? json::null() : json::string(name->text()))
        .add("tiles", json::array(tiles))
        .add("triangle", pointerJson(pointer, visible))
        .str();
}

std::string ownWindowsJson(World& world) {
    std::vector<std::string> windows;
    if (world.running()) {
        for (const sim::OwnWindowInfo& window : world.desktop().ownWindows().list()) {
            windows.push_back(json::Object()
                                  .add("title", json::string(window.title))
                                  .add("visible", json::boolean(window.visible))
                                  .add("frame", json::rect(window.frame))
                                  .add("level", json::integer(window.level))
                                  .add("minimized", json::boolean(window.minimized))
                                  .str());
        }
    }
    return json::Object().add("windows", json::array(windows)).str();
}

// The snapping overlay, as the window server shows it: the one window of
// ours that lets the mouse through.
std::string overlayJson(World& world) {
    std::optional<sim::OwnWindowInfo> overlay;
    if (world.running()) {
        for (const sim::OwnWindowInfo& window : world.desktop().ownWindows().list())
            if (window.ignoresMouse) overlay = window;
    }
    // A window that was never ordered in has never been shown anywhere.
    const bool shown = overlay && overlay->windowNumber > 0;
    return json::Object()
        .add("visible", json::boolean(shown && overlay->visible))
        .add("frame", shown ? json::rect(overlay->frame) : json::null())
        .add("alpha", json::number(shown && overlay->visible ? overlay->alpha : 0))
        .str();
}

std::string tapJson(World& world) {
    const sim::Input::EventTapInfo tap = world.desktop().input().eventTap();
    return json::Object()
        .add("installed", json::boolean(world.running() && tap.installed))
        .add("enabled", json::boolean(world.running() && tap.enabled))
        .add("mode", json::string(tap.mode))
        .str();
}

std::string eventsJson(World& world, sim::pid_t pid) {
    std::vector<std::string> events;
    for (const sim::ReceivedEvent& event : world.desktop().windowManager().takeReceived(pid)) {
        events.push_back(
            json::Object().add("type", json::string(event.type)).add("at", json::point(event.at)).str());
    }
    return json::Object().add("events", json::array(events)).str();
}

// A query whose answer is one JSON line.
Action printing(std::function<std::string(World&)> answer) {
    return [answer = std::move(answer)](World& world, std::ostream& out) -> Result {
        out << answer(world) << '\n';
        out.flush();
        return std::nullopt;
    };
}

}  // namespace

Action parseQuery(Args& args) {
    const std::string what = args.word("what to query");
    if (args.error()) return {};
    if (what == "app") return printing(appJson);
    if (what == "defaults") {
        const std::string key = args.text("a key");
        return printing([key](World& world) {
            return json::Object()
                .add("key", json::string(key))
                .add("value", defaultValueJson(world.defaults().objectForKey(key)))
                .str();
        });
    }
    if (what == "log") return printing(logJson);
    if (what == "urls") return printing(urlsJson);
    if (what == "login-item") return printing(loginItemJson);
    if (what == "window") {
        const auto id = static_cast<sim::CGWindowID>(
            args.integer("a window id", 0, std::numeric_limits<std::uint32_t>::max()));
        return printing([id](World& world) { return windowJson(world, id); });
    }
    if (what == "ax-calls") {
        return printing([](World& world) {
            return json::Object().add("count", json::integer(static_cast<std::int64_t>(world.desktop().accessibility().takeCalls()))).str();
        });
    }
    if (what == "runloop") {
        return printing([](World& world) {
            const sim::Callouts::Figures figures = world.desktop().callouts().take();
            return json::Object()
                .add("longestCalloutMs", json::number(figures.longest * 1000))
                .add("busyMs", json::number(figures.busy * 1000))
                .str();
        });
    }
    if (what == "preview") return printing(previewJson);
    if (what == "spaces") return parseSpacesQuery(args);
    if (what == "windows") return printing(ownWindowsJson);
    if (what == "menubar") return parseMenuBarQuery();
    if (what == "dock") return parseDockQuery();
    if (what == "calendar") return printing(calendarJson);
    if (what == "overlay") return printing(overlayJson);
    if (what == "tap") return printing(tapJson);
    if (what == "events") {
        const auto pid = static_cast<sim::pid_t>(args.integer("a process id", 1, std::numeric_limits<std::int32_t>::max()));
        return printing([pid](World& world) { return eventsJson(world, pid); });
    }
    if (auto ui = parseUiQuery(what)) return *ui;
    if (what == "special") return parseSpecialQuery(args);
    if (what == "scripts") return parseScriptsQuery(args);
    if (what == "player") return parsePlayerQuery(args);
    if (what == "downloads") return parseDownloadsQuery(args);
    args.fail("unknown query '" + what + "'");
    return {};
}

}  // namespace scenario
