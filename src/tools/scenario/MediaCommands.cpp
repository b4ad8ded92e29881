#include <ostream>

#include "sim/SimScripting.h"
#include "sim/SimURLSession.h"
#include "tools/scenario/Commands.h"
#include "tools/scenario/Json.h"
#include "tools/scenario/World.h"

namespace scenario {

namespace {

using Result = std::optional<std::string>;

const char* bundleOf(const std::string& player) {
    return player == "Music" ? "com.apple.Music" : "com.spotify.client";
}

bool worldHasPlayer(World& world, const std::string& player) {
    const auto pid = world.desktop().processes().pidForName(player);
    const auto app = pid ? world.desktop().processes().info(*pid) : std::nullopt;
    return app && app->bundleId == bundleOf(player);
}

std::string playerName(Args& args) {
    const std::string name = args.word("Music or Spotify");
    if (!args.error() && name != "Music" && name != "Spotify") args.fail("expected Music or Spotify, got '" + name + "'");
    return name;
}

}  // namespace

Action parsePlayer(Args& args) {
    const std::string name = playerName(args);
    const auto state = args.optionText("state");
    if (state && *state != "playing" && *state != "paused" && *state != "stopped") {
        args.fail("state is playing, paused or stopped, got '" + *state + "'");
    }
    const auto title = args.optionText("track");
    const auto artist = args.optionText("artist");
    const auto album = args.optionText("album");
    if (!title && (artist || album)) args.fail("artist and album go with track=");
    const auto volume = args.optionInteger("volume", 0, 100);
    const auto artwork = args.optionText("artwork");
    std::optional<std::string> url;
    if (artwork && artwork->starts_with("url:")) {
        url = artwork->substr(4);
        if (name != "Spotify") args.fail("only Spotify answers with an artwork address");
    } else if (artwork && *artwork != "none" && *artwork != "image") {
        args.fail("artwork is none, image or url:\"ADDRESS\", got '" + *artwork + "'");
    }
    return [=](World& world, std::ostream&) -> Result {
        if (!worldHasPlayer(world, name)) {
            return "player: there is no " + name + " application (add it with app " + bundleOf(name) + " \"" +
                   name + "\")";
        }
        world.desktop().players().withPlayer(name, [&](sim::SimPlayer& player) {
            if (state) player.setState(*state);
            if (title) player.setTrack({*title, artist.value_or(""), album.value_or(""), artwork != "none"});
            else if (artwork) player.setArtwork(*artwork != "none");
            if (volume) player.setVolume(static_cast<int>(*volume));
            if (artwork) player.setArtworkURL(url);
        });
        return std::nullopt;
    };
}

Action parseFailScript(Args& args, bool hang) {
    if (!hang) {
        return [](World& world, std::ostream&) -> Result {
            world.desktop().players().failNextScript();
            return std::nullopt;
        };
    }
    const std::string name = playerName(args);
    const bool off = args.flag("off");
    return [name, off](World& world, std::ostream&) -> Result {
        world.desktop().players().setHang(name, !off);
        return std::nullopt;
    };
}

Action parsePlayerQuery(Args& args) {
    const std::string name = playerName(args);
    return [name](World& world, std::ostream& out) -> Result {
        const auto info = world.desktop().players().playerInfo(name);
        out << json::Object()
                   .add("state", json::string(info->state))
                   .add("volume", json::integer(info->volume))
                   .add("track", json::string(info->track))
                   .str()
            << '\n';
        return std::nullopt;
    };
}

Action parseScriptsQuery(Args&) {
    return [](World& world, std::ostream& out) -> Result {
        auto& players = world.desktop().players();
        std::vector<std::string> scripts;
        for (const sim::SentScript& script : players.takeScripts()) {
            scripts.push_back(
                json::Object().add("app", json::string(script.app)).add("source", json::string(script.source)).str());
        }
        out << json::Object()
                   .add("scripts", json::array(scripts))
                   .add("pending", json::integer(players.pending()))
                   .str()
            << '\n';
        return std::nullopt;
    };
}

Action parseDownloadsQuery(Args&) {
    return [](World& world, std::ostream& out) -> Result {
        std::vector<std::string> urls;
        for (const std::string& url : world.desktop().downloads().requested()) urls.push_back(json::string(url));
        out << json::Object().add("urls", json::array(urls)).str() << '\n';
        return std::nullopt;
    };
}

}  // namespace scenario
