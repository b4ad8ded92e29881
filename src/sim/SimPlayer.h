#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Scripting.h"

namespace sim {

struct PlayerTrack {
    std::string title;
    std::string artist;
    std::string album;
    bool hasArtwork = true;
};

// What a player answers to one script: a result, an error, or both.
struct ScriptAnswer {
    std::optional<platform::NSAppleEventDescriptor> descriptor;
    std::optional<platform::NSAppleScriptError> error;
};

// What a user sees of a player.
struct PlayerInfo {
    std::string state;    // "playing", "paused" or "stopped"
    int volume = 0;       // 0...100
    std::string track;    // the current track's title; empty when stopped
};

// One scriptable music player, Music or Spotify, with a short playlist. It
// understands the few scripts it is sent, word for word, and does what they
// say to its own state. Not thread-safe: its owner serialises calls.
class SimPlayer {
public:
    explicit SimPlayer(std::string name);

    const std::string& name() const { return name_; }

    // nullopt when the text is not a script this player understands.
    std::optional<ScriptAnswer> answer(const std::string& source);
    // Whether the text asks what the player is playing (its state and track).
    bool asksNowPlaying(const std::string& source) const;

    // The world's side: what the player is doing.
    void setState(const std::string& state);
    // Replaces the current track of the playlist.
    void setTrack(PlayerTrack track);
    void setVolume(int volume);
    // Whether the current track has a cover.
    void setArtwork(bool present);
    // Where Spotify says the current track's artwork is; nullopt restores the
    // address its own artwork server answers.
    void setArtworkURL(std::optional<std::string> url) { artworkURL_ = std::move(url); }
    // Moves on as the end of a track would.
    void advanceTrack();

    PlayerInfo info() const;
    // Spotify's artwork server: the bytes behind an address it gave out, for
    // any track of the playlist.
    std::optional<std::vector<std::uint8_t>> servedArtwork(const std::string& url) const;

private:
    bool hasCurrentTrack() const { return state_ != "stopped" && !playlist_.empty(); }
    const PlayerTrack& current() const { return playlist_[index_]; }
    std::string servedURL(const PlayerTrack& track) const;
    std::string nowPlayingScript() const;
    ScriptAnswer stateAnswer() const;
    ScriptAnswer artworkAnswer() const;
    std::optional<ScriptAnswer> volumeAnswer(const std::string& source);

    std::string name_;
    std::string state_ = "paused";
    std::vector<PlayerTrack> playlist_;
    std::size_t index_ = 0;
    int volume_ = 50;
    std::optional<std::string> artworkURL_;
};

}  // namespace sim
