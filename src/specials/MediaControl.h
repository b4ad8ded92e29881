#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "kit/Image.h"

namespace durazizi {

// The two players whose Dock icons get a now-playing panel instead of the
// window preview. The raw value is the application name the scripts address.
enum class MediaApp : std::uint8_t { music, spotify };

std::string_view rawValue(MediaApp app);
// Exactly "Music" or "Spotify", case and all.
std::optional<MediaApp> mediaAppFromRawValue(std::string_view raw);
// The player a running application is, by its bundle identifier.
std::optional<MediaApp> mediaAppForBundle(std::string_view bundleIdentifier);

// True for a valid URL whose scheme is https, in any case, with a host that
// parses and no user information: the only kind of artwork address a
// player's answer may send us to.
bool isHttpsURL(std::string_view text);

// Scripted control of the players. Every completion runs on the main thread,
// exactly once; the scripts themselves run on the global queue, since a busy
// player (or one showing the automation consent dialog) blocks its script.
namespace MediaControl {

struct State {
    bool isPlaying = false;
    std::string title;
    std::string artist;
    std::string album;

    friend bool operator==(const State&, const State&) = default;
};

// The commands of the transport script.
inline constexpr std::string_view kPlayPause = "playpause";
inline constexpr std::string_view kNextTrack = "next track";
inline constexpr std::string_view kPreviousTrack = "previous track";

// Bytes above this are not an artwork image worth decoding.
inline constexpr std::size_t kMaxArtworkBytes = 8 * 1024 * 1024;

// Whether the player is running now. Every script is addressed with "tell
// application", which starts a player that is not running: a control that
// acts on a player the user sees must ask first.
bool isRunning(MediaApp app);

void fetchState(MediaApp app, std::function<void(std::optional<State>)> completion);
void fetchArtwork(MediaApp app, std::function<void(kit::ImageRef)> completion);
// Sends one transport command; no result.
void fire(MediaApp app, std::string_view command);
// Moves the player's own volume by `delta` percentage points (the player
// clamps it to 0...100); no result.
void changeVolume(MediaApp app, int delta);

// The wire format, and the reading of the state script's answer.
std::string stateScript(MediaApp app);
std::string volumeScript(MediaApp app, int delta);
std::string transportScript(MediaApp app, std::string_view command);
std::string artworkScript(MediaApp app);
std::optional<State> parseState(std::string_view result);

}  // namespace MediaControl

}  // namespace durazizi
