#include "specials/MediaControl.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>
#include <vector>

#include "app/Diag.h"
#include "kit/URL.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

// U+2028 LINE SEPARATOR: it cannot occur in a track's name as the players
// hand names out, so it separates the fields of the state answer.
constexpr std::string_view kSeparator = "\u2028";
constexpr std::string_view kMusicBundle = "com.apple.Music";
constexpr std::string_view kSpotifyBundle = "com.spotify.client";

std::string tellPrefix(MediaApp app) { return "tell application \"" + std::string(rawValue(app)) + "\""; }

platform::RunLoop& runLoop() { return platform::current().runLoop(); }

// The completion as the main queue runs it. The callers' closures hold their
// owners weakly; this wrapper only makes sure it runs once, on main.
template <typename Value>
void completeOnMain(std::function<void(Value)> completion, Value value) {
    runLoop().asyncMain([completion = std::move(completion), value = std::move(value)]() mutable {
        if (completion) completion(std::move(value));
    });
}

// Runs a script on the global queue and hands its string result to the main queue.
void run(MediaApp app, std::string source, std::function<void(std::optional<std::string>)> completion) {
    runLoop().asyncGlobal(platform::QualityOfService::UserInitiated,
                          [app, source = std::move(source), completion = std::move(completion)]() mutable {
                              bool created = true;
                              std::optional<platform::NSAppleScriptError> error;
                              auto descriptor =
                                  platform::current().scripting().executeAppleScript(source, &created, &error);
                              std::optional<std::string> result;
                              if (created) {
                                  if (error) {
                                      Diag::log("AppleScript(" + std::string(rawValue(app)) +
                                                ") error: " + error->message.value_or("?"));
                                  }
                                  // A descriptor counts even when an error came with it.
                                  if (descriptor) result = std::move(descriptor->stringValue);
                              }
                              completeOnMain(std::move(completion), std::move(result));
                          });
}

kit::ImageRef imageFromBytes(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > MediaControl::kMaxArtworkBytes) return nullptr;
    return platform::current().images().imageWithData(bytes);
}

void fetchMusicArtwork(std::function<void(kit::ImageRef)> completion) {
    runLoop().asyncGlobal(platform::QualityOfService::UserInitiated,
                          [completion = std::move(completion)]() mutable {
                              // This path logs nothing: a track without artwork is common.
                              bool created = true;
                              std::optional<platform::NSAppleScriptError> error;
                              auto descriptor = platform::current().scripting().executeAppleScript(
                                  MediaControl::artworkScript(MediaApp::music), &created, &error);
                              kit::ImageRef image;
                              if (created && descriptor) image = imageFromBytes(descriptor->data);
                              completeOnMain(std::move(completion), std::move(image));
                          });
}

void fetchSpotifyArtwork(std::function<void(kit::ImageRef)> completion) {
    run(MediaApp::spotify, MediaControl::artworkScript(MediaApp::spotify),
        [completion = std::move(completion)](std::optional<std::string> result) mutable {
            // Only https: the download is the one thing that leaves the machine,
            // and the player's answer decides where it goes.
            if (!result || !isHttpsURL(*result)) {
                completion(nullptr);
                return;
            }
            platform::current().urlSession().dataTask(
                *result, [completion = std::move(completion)](std::optional<std::vector<std::uint8_t>> data,
                                                             std::optional<std::string>) mutable {
                    kit::ImageRef image;
                    if (data) image = imageFromBytes(*data);
                    completeOnMain(std::move(completion), std::move(image));
                });
        });
}

}  // namespace

std::string_view rawValue(MediaApp app) { return app == MediaApp::music ? "Music" : "Spotify"; }

std::optional<MediaApp> mediaAppFromRawValue(std::string_view raw) {
    if (raw == "Music") return MediaApp::music;
    if (raw == "Spotify") return MediaApp::spotify;
    return std::nullopt;
}

bool isHttpsURL(std::string_view text) {
    auto url = kit::URL::fromString(text);
    if (!url) return false;
    std::string scheme = url->scheme();
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    // Credentials in the address would be sent to whichever host the player
    // names, and a host that is empty or malformed would be looked up as
    // whatever the resolver makes of it.
    return scheme == "https" && !url->userInfo() && !url->host().empty();
}

std::optional<MediaApp> mediaAppForBundle(std::string_view bundleIdentifier) {
    if (bundleIdentifier == kMusicBundle) return MediaApp::music;
    if (bundleIdentifier == kSpotifyBundle) return MediaApp::spotify;
    return std::nullopt;
}

namespace MediaControl {

std::string stateScript(MediaApp app) {
    return tellPrefix(app) +
           "\n"
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

std::string volumeScript(MediaApp app, int delta) {
    return tellPrefix(app) +
           "\n"
           "    set v to sound volume\n"
           "    set v to v + (" +
           std::to_string(delta) +
           ")\n"
           "    if v > 100 then set v to 100\n"
           "    if v < 0 then set v to 0\n"
           "    set sound volume to v\n"
           "end tell";
}

std::string transportScript(MediaApp app, std::string_view command) {
    return tellPrefix(app) + " to " + std::string(command);
}

std::string artworkScript(MediaApp app) {
    if (app == MediaApp::spotify) return "tell application \"Spotify\" to get artwork url of current track";
    return "tell application \"Music\" to get data of artwork 1 of current track";
}

std::optional<State> parseState(std::string_view result) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = result.find(kSeparator);
        parts.push_back(result.substr(0, at));
        if (at == std::string_view::npos || parts.size() == 4) break;
        result.remove_prefix(at + kSeparator.size());
    }
    // Fields past the fourth are left out.
    if (parts.size() < 4) return std::nullopt;
    return State{parts[0] == "playing", std::string(parts[1]), std::string(parts[2]), std::string(parts[3])};
}

bool isRunning(MediaApp app) {
    const std::string bundle(app == MediaApp::music ? kMusicBundle : kSpotifyBundle);
    for (const auto& running : platform::current().workspace().runningApplicationsWithBundleIdentifier(bundle)) {
        if (running && !running->isTerminated()) return true;
    }
    return false;
}

void fetchState(MediaApp app, std::function<void(std::optional<State>)> completion) {
    run(app, stateScript(app), [completion = std::move(completion)](std::optional<std::string> result) {
        completion(result ? parseState(*result) : std::nullopt);
    });
}

void fetchArtwork(MediaApp app, std::function<void(kit::ImageRef)> completion) {
    if (app == MediaApp::music)
        fetchMusicArtwork(std::move(completion));
    else
        fetchSpotifyArtwork(std::move(completion));
}

void fire(MediaApp app, std::string_view command) { run(app, transportScript(app, command), [](auto) {}); }

void changeVolume(MediaApp app, int delta) { run(app, volumeScript(app, delta), [](auto) {}); }

}  // namespace MediaControl

}  // namespace durazizi
