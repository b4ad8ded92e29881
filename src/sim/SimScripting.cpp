#include "sim/SimScripting.h"

#include <algorithm>
#include <utility>

#include "sim/KeptRecords.h"

namespace sim {

namespace {

constexpr const char* kTell = "tell application \"";
// AppleScript's own error numbers and wording.
constexpr int kSyntaxError = -2740;
constexpr int kNotAuthorized = -1743;
constexpr int kGenericError = -2700;
constexpr int kNotRunning = -600;

std::optional<std::string> addressee(const std::string& source) {
    if (!source.starts_with(kTell)) return std::nullopt;
    const auto start = std::char_traits<char>::length(kTell);
    const auto end = source.find('"', start);
    if (end == std::string::npos) return std::nullopt;
    return source.substr(start, end - start);
}

const char* bundleOf(const std::string& player) {
    return player == "Music" ? "com.apple.Music" : "com.spotify.client";
}

}  // namespace

SimScripting::SimScripting(World& world, SimRunLoop& runLoop) : world_(world), runLoop_(runLoop) {
    players_.emplace("Music", SimPlayer("Music"));
    players_.emplace("Spotify", SimPlayer("Spotify"));
}

SimScripting::~SimScripting() { releaseAll(); }

SimPlayer& SimScripting::player(const std::string& name) { return players_.at(name); }

std::optional<platform::NSAppleEventDescriptor> SimScripting::executeAppleScript(
    const std::string& source, bool* created, std::optional<platform::NSAppleScriptError>* error) {
    if (created) *created = true;
    auto fail = [error](int number, std::string message) -> std::optional<platform::NSAppleEventDescriptor> {
        if (error) *error = platform::NSAppleScriptError{std::move(message), number};
        return std::nullopt;
    };
    const auto target = addressee(source);
    if (!target || !players_.contains(*target)) {
        return fail(kSyntaxError, "Expected end of line, etc. but found unknown token.");
    }
    const std::string name = *target;

    std::unique_lock lock(mutex_);
    keepRecord(sent_, SentScript{name, source});
    if (player(name).asksNowPlaying(source)) lastAskedNowPlaying_ = name;
    ++pending_;
    struct Answered {
        int& pending;
        ~Answered() { --pending; }
    } answered{pending_};

    if (failNext_) {
        failNext_ = false;
        return fail(kGenericError, "simulated failure");
    }
    if (hanging_[name]) {
        auto waiter = std::make_shared<Waiter>();
        waiters_.emplace_back(name, waiter);
        runLoop_.backgroundBlocked();
        waiter->wake.wait(lock, [&] { return waiter->released; });
    }
    // A script addressed to a player that is not running starts it.
    {
        std::lock_guard worldLock(world_.mutex);
        const std::string bundle = bundleOf(name);
        if (!world_.launch([&](const ProcessIdentity& p) { return p.bundleId == bundle; })) {
            return fail(kNotRunning, "Application isn’t running.");
        }
    }
    if (const auto consent = consent_.find(name); consent != consent_.end() && !consent->second) {
        return fail(kNotAuthorized, "Not authorized to send Apple events to " + name + ".");
    }
    auto answer = player(name).answer(source);
    if (!answer) return fail(kSyntaxError, "Expected end of line, etc. but found identifier.");
    if (error) *error = std::move(answer->error);
    return std::move(answer->descriptor);
}

std::optional<PlayerInfo> SimScripting::playerInfo(const std::string& name) const {
    std::lock_guard lock(mutex_);
    const auto it = players_.find(name);
    if (it == players_.end()) return std::nullopt;
    return it->second.info();
}

std::optional<std::vector<std::uint8_t>> SimScripting::servedArtwork(const std::string& url) const {
    std::lock_guard lock(mutex_);
    return players_.at("Spotify").servedArtwork(url);
}

void SimScripting::setAutomationConsent(const std::string& player, bool granted) {
    std::lock_guard lock(mutex_);
    consent_[player] = granted;
}

void SimScripting::failNextScript() {
    std::lock_guard lock(mutex_);
    failNext_ = true;
}

void SimScripting::setHang(const std::string& player, bool hang) {
    {
        std::lock_guard lock(mutex_);
        hanging_[player] = hang;
    }
    if (!hang) release(player);
}

void SimScripting::release(const std::string& player) {
    // One at a time, each running to its end, so that the answers reach the
    // main queue in the order the scripts were sent.
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            auto it = std::find_if(waiters_.begin(), waiters_.end(),
                                   [&](const auto& w) { return player.empty() || w.first == player; });
            if (it == waiters_.end()) return;
            runLoop_.backgroundWoken();
            it->second->released = true;
            it->second->wake.notify_all();
            waiters_.erase(it);
        }
        runLoop_.waitForBackground();
    }
}

void SimScripting::releaseAll() {
    {
        std::lock_guard lock(mutex_);
        for (auto& [name, hang] : hanging_) hang = false;
    }
    release({});
}

std::vector<SentScript> SimScripting::takeScripts() {
    std::lock_guard lock(mutex_);
    return std::exchange(sent_, {});
}

std::optional<std::string> SimScripting::lastAskedNowPlaying() const {
    std::lock_guard lock(mutex_);
    return lastAskedNowPlaying_;
}

int SimScripting::pending() const {
    std::lock_guard lock(mutex_);
    return pending_;
}

}  // namespace sim
