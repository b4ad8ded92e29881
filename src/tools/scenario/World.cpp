#include "tools/scenario/World.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/AppDelegate.h"
#include "app/main.h"
#include "linux/ImageDecoder.h"
#include "linux/XdgAutostart.h"
#include "linux/XdgFiles.h"
#include "platform/Platform.h"

namespace scenario {

namespace {
// Where the login item would start the product from on a Linux host.
constexpr const char* kExecutable = "/usr/bin/durazizi";
}  // namespace

World::World(const std::string& home, std::function<void(const std::string&)> diagnostic)
    : home_(home), paths_(linuxhost::XdgPaths::forHome(home)), diagnostic_(std::move(diagnostic)) {
    defaults_ = loadDefaults();
    desktop_.useDefaults(defaults_);
    login_ = std::make_shared<LoginServiceProbe>(
        std::make_shared<linuxhost::XdgAutostart>(paths_.configHome, linuxhost::kBundleIdentifier, kExecutable));
    desktop_.useLoginService(login_);
    desktop_.useFiles(std::make_shared<linuxhost::XdgFiles>(paths_.stateHome, paths_.tempDir));
    calendars_ = std::make_unique<CalendarAccount>(desktop_, paths_.dataHome, diagnostic_);
    desktop_.useImages(std::make_shared<linuxhost::ImageDecoder>());
    platform::install(&desktop_);
}

World::~World() { platform::install(nullptr); }

bool World::setDefaultsWritable(bool writable) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(defaultsPath()).parent_path();
    const fs::path held = folder.string() + ".held";
    std::error_code error;
    if (!writable) {
        if (fs::is_regular_file(folder, error)) return true;   // already in the way
        if (fs::exists(folder, error)) fs::rename(folder, held, error);
        if (error) return false;
        std::ofstream(folder) << "in the way\n";
        return fs::is_regular_file(folder, error);
    }
    if (!fs::is_regular_file(folder, error)) return true;
    fs::remove(folder, error);
    if (fs::exists(held, error)) fs::rename(held, folder, error);
    return !error;
}

std::string World::defaultsPath() const {
    return linuxhost::PlistDefaults::pathFor(paths_.configHome, linuxhost::kBundleIdentifier);
}

std::string World::logPath() const { return paths_.stateHome + "/durazizi/Logs/Durazizi.log"; }

std::shared_ptr<linuxhost::PlistDefaults> World::loadDefaults() {
    return std::make_shared<linuxhost::PlistDefaults>(defaultsPath(), diagnostic_);
}

bool World::running() const { return launched_ && desktop_.ownProcess().running(); }

durazizi::AppDelegate* World::delegate() const {
    if (!running()) return nullptr;
    return dynamic_cast<durazizi::AppDelegate*>(desktop_.application().delegate().get());
}

bool World::started() {
    if (!running()) return false;
    // The hover loop polls 20 times a second; nothing else of Durazizi's
    // repeats half as fast, so a timer that does is the loop.
    constexpr double kSlowestHoverPoll = 0.1;
    const auto intervals = desktop_.runLoop().repeatingTimerIntervals();
    const bool polling = std::any_of(intervals.begin(), intervals.end(),
                                     [](double interval) { return interval <= kSlowestHoverPoll; });
    constexpr platform::NSEventMask kLeftButton = platform::NSEventMaskLeftMouseDown |
                                                  platform::NSEventMaskLeftMouseDragged |
                                                  platform::NSEventMaskLeftMouseUp;
    const bool watching = (desktop_.eventMonitors().watchedEvents() & kLeftButton) == kLeftButton;
    return polling && watching && desktop_.eventTaps().firstTap().installed;
}

void World::startProcess() {
    if (!desktop_.ownProcess().running()) desktop_.ownProcess().start();
    // A new process reads its defaults from disk; what the last one
    // registered in memory is gone.
    defaults_ = loadDefaults();
    desktop_.useDefaults(defaults_);
    platform::install(&desktop_);
    launched_ = true;
    durazizi::applicationMain();
}

std::optional<std::string> World::launch() {
    if (running()) return "Durazizi is already running (relaunch starts it again)";
    startProcess();
    return std::nullopt;
}

void World::relaunch() {
    if (desktop_.ownProcess().running()) desktop_.ownProcess().terminate();
    startProcess();
}

std::optional<std::string> World::quit() {
    if (!running()) return "Durazizi is not running";
    desktop_.application().terminate();
    return std::nullopt;
}

}  // namespace scenario
