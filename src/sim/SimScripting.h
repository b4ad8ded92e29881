#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Scripting.h"
#include "sim/SimPlayer.h"
#include "sim/SimRunLoop.h"
#include "sim/World.h"

namespace sim {

// One script as the player it was addressed to received it.
struct SentScript {
    std::string app;
    std::string source;
};

// NSAppleScript on the simulated system, with the two players that answer
// it. A script runs on the caller's thread (the system sends them from the
// global queue) and is routed by its `tell application "…"` to Music or
// Spotify; it starts a player that is not running, as macOS does, and is
// refused without the user's automation consent.
class SimScripting final : public platform::Scripting {
public:
    SimScripting(World& world, SimRunLoop& runLoop);
    ~SimScripting() override;

    std::optional<platform::NSAppleEventDescriptor> executeAppleScript(
        const std::string& source, bool* created, std::optional<platform::NSAppleScriptError>* error) override;

    // --- the world's side (main thread) ---------------------------------------
    // Runs `change` on the named player ("Music" or "Spotify") under the lock.
    template <typename Change>
    void withPlayer(const std::string& name, Change&& change) {
        std::lock_guard lock(mutex_);
        change(player(name));
    }
    std::optional<PlayerInfo> playerInfo(const std::string& name) const;
    std::optional<std::vector<std::uint8_t>> servedArtwork(const std::string& url) const;
    void setAutomationConsent(const std::string& player, bool granted);
    // The next script fails with -2700 "simulated failure".
    void failNextScript();
    // Scripts to that player block until `hang` is turned off, when each
    // answers in the order it was sent.
    void setHang(const std::string& player, bool hang);
    std::vector<SentScript> takeScripts();
    int pending() const;
    // The player last asked what it is playing, answered or not; none
    // before the first such question.
    std::optional<std::string> lastAskedNowPlaying() const;
    // Lets every blocked script answer; for the end of the world.
    void releaseAll();

private:
    struct Waiter {
        bool released = false;
        std::condition_variable wake;
    };
    SimPlayer& player(const std::string& name);
    void release(const std::string& player);

    World& world_;
    SimRunLoop& runLoop_;
    mutable std::mutex mutex_;
    std::map<std::string, SimPlayer> players_;
    std::map<std::string, bool> consent_;
    std::map<std::string, bool> hanging_;
    std::vector<std::pair<std::string, std::shared_ptr<Waiter>>> waiters_;   // in the order sent
    std::vector<SentScript> sent_;
    std::optional<std::string> lastAskedNowPlaying_;
    bool failNext_ = false;
    int pending_ = 0;
};

}  // namespace sim
