#include "sim/SimPlayer.h"

#include <algorithm>
#include <charconv>
#include <functional>

#include "sim/CoverArt.h"

namespace sim {

namespace {

constexpr const char* kSeparator = "\u2028";
constexpr int kMusicArtworkPixels = 300;
constexpr int kSpotifyArtworkPixels = 640;
constexpr const char* kArtworkServer = "https://artwork.spotify.sim/image/";
// The error AppleScript reports for a property that has no value.
constexpr int kCantGet = -1728;

ScriptAnswer text(std::string value) { return {platform::NSAppleEventDescriptor{std::move(value), {}}, std::nullopt}; }

ScriptAnswer error(int number, std::string message) {
    return {std::nullopt, platform::NSAppleScriptError{std::move(message), number}};
}

std::string hexHash(const std::string& text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::size_t value = std::hash<std::string>{}(text);
    std::string out;
    for (int i = 0; i < 16; ++i, value >>= 4) out.push_back(kDigits[value & 0xF]);
    return out;
}

std::vector<PlayerTrack> defaultPlaylist(const std::string& name) {
    if (name == "Spotify") {
        return {{"Night Drive", "Lumen Avenue", "Coastlines", true},
                {"Paper Planets", "The Quiet Hours", "Orbit", true},
                {"Slow Tide", "Mara Lind", "Harbour Lights", true}};
    }
    return {{"Morning Light", "Ada Reyes", "First Hours", true},
            {"Glass Garden", "North & Pine", "Greenhouse", true},
            {"Long Way Home", "Ada Reyes", "First Hours", true}};
}

}  // namespace

SimPlayer::SimPlayer(std::string name) : name_(std::move(name)), playlist_(defaultPlaylist(name_)) {}

std::string SimPlayer::nowPlayingScript() const {
    return "tell application \"" + name_ +
           "\"\n"
           "    set s to (player state as string)\n"
           "    try\n"
           "        set t to name of current track\n"
           "        set a to artist of current track\n"
           "        set al to album of current track\n"
           "    on error\n"
           "        set t to \"\"\n"
           "        set a to \"\"\n"
           "        set al to \"\"\n"
           "    end try\n"
           "    return s & \"\u2028\" & t & \"\u2028\" & a & \"\u2028\" & al\n"
           "end tell";
}

bool SimPlayer::asksNowPlaying(const std::string& source) const { return source == nowPlayingScript(); }

std::optional<ScriptAnswer> SimPlayer::answer(const std::string& source) {
    const std::string tell = "tell application \"" + name_ + "\"";
    if (asksNowPlaying(source)) return stateAnswer();
    if (source == tell + " to playpause") {
        state_ = state_ == "playing" ? "paused" : "playing";
        return ScriptAnswer{};
    }
    if (source == tell + " to next track" || source == tell + " to previous track") {
        if (!playlist_.empty()) {
            const bool next = source.ends_with("next track");
            index_ = (index_ + (next ? 1 : playlist_.size() - 1)) % playlist_.size();
        }
        return ScriptAnswer{};
    }
    if (name_ == "Music" && source == "tell application \"Music\" to get data of artwork 1 of current track") {
        return artworkAnswer();
    }
    if (name_ == "Spotify" && source == "tell application \"Spotify\" to get artwork url of current track") {
        return artworkAnswer();
    }
    return volumeAnswer(source);
}

ScriptAnswer SimPlayer::stateAnswer() const {
    std::string t, a, al;
    if (hasCurrentTrack()) {
        t = current().title;
        a = current().artist;
        al = current().album;
    }
    return text(state_ + kSeparator + t + kSeparator + a + kSeparator + al);
}

ScriptAnswer SimPlayer::artworkAnswer() const {
    if (!hasCurrentTrack()) return error(kCantGet, "Can’t get current track.");
    const PlayerTrack& track = current();
    if (name_ == "Spotify") {
        if (artworkURL_) return text(*artworkURL_);
        if (!track.hasArtwork) return error(kCantGet, "Can’t get artwork url of current track.");
        return text(servedURL(track));
    }
    if (!track.hasArtwork) return error(kCantGet, "Can’t get artwork 1 of current track.");
    // Raw picture data has no text form.
    return {platform::NSAppleEventDescriptor{std::nullopt, coverPng(track.title, track.artist, kMusicArtworkPixels)},
            std::nullopt};
}

std::optional<ScriptAnswer> SimPlayer::volumeAnswer(const std::string& source) {
    const std::string head = "tell application \"" + name_ +
                             "\"\n"
                             "    set v to sound volume\n"
                             "    set v to v + (";
    static const std::string tail =
        ")\n"
        "    if v > 100 then set v to 100\n"
        "    if v < 0 then set v to 0\n"
        "    set sound volume to v\n"
        "end tell";
    if (source.size() <= head.size() + tail.size() || !source.starts_with(head) || !source.ends_with(tail)) {
        return std::nullopt;
    }
    const std::string_view number(source.data() + head.size(), source.size() - head.size() - tail.size());
    int delta = 0;
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), delta);
    if (status != std::errc() || end != number.data() + number.size()) return std::nullopt;
    // The script clamps; so does the player's own property.
    long v = static_cast<long>(volume_) + delta;
    v = std::clamp(v, 0L, 100L);
    setVolume(static_cast<int>(v));
    return ScriptAnswer{};
}

void SimPlayer::setState(const std::string& state) { state_ = state; }

void SimPlayer::setTrack(PlayerTrack track) {
    if (playlist_.empty()) playlist_.push_back(std::move(track));
    else playlist_[index_] = std::move(track);
}

void SimPlayer::setVolume(int volume) { volume_ = std::clamp(volume, 0, 100); }

void SimPlayer::setArtwork(bool present) {
    if (!playlist_.empty()) playlist_[index_].hasArtwork = present;
}

void SimPlayer::advanceTrack() {
    if (!playlist_.empty()) index_ = (index_ + 1) % playlist_.size();
}

PlayerInfo SimPlayer::info() const {
    return {state_, volume_, hasCurrentTrack() ? current().title : std::string()};
}

std::string SimPlayer::servedURL(const PlayerTrack& track) const {
    return kArtworkServer + hexHash(track.title + '\x01' + track.artist + '\x01' + track.album) + ".jpg";
}

std::optional<std::vector<std::uint8_t>> SimPlayer::servedArtwork(const std::string& url) const {
    if (name_ != "Spotify") return std::nullopt;
    for (const PlayerTrack& track : playlist_) {
        if (track.hasArtwork && servedURL(track) == url) {
            return coverJpeg(track.title, track.artist, kSpotifyArtworkPixels);
        }
    }
    return std::nullopt;
}

}  // namespace sim
