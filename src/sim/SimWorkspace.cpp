#include "sim/SimWorkspace.h"

#include "sim/KeptRecords.h"

namespace sim {

std::optional<std::string> SimRunningApplication::bundleIdentifier() const {
    if (identity_->bundleId.empty()) return std::nullopt;
    return identity_->bundleId;
}

std::optional<kit::URL> SimRunningApplication::bundleURL() const {
    if (identity_->bundlePath.empty()) return std::nullopt;
    return kit::URL::fileURL(identity_->bundlePath);
}

std::optional<std::string> SimRunningApplication::localizedName() const {
    if (identity_->name.empty()) return std::nullopt;
    return identity_->name;
}

bool SimRunningApplication::isTerminated() const { return identity_->terminated.load(); }

bool SimRunningApplication::activate() {
    std::shared_ptr<World> world = world_.lock();
    if (!world || isTerminated()) return false;
    std::lock_guard lock(world->mutex);
    world->activate(identity_->pid);
    return true;
}

platform::RunningApplicationRef SimWorkspace::handle(const AppRecord& app) const {
    return std::make_shared<SimRunningApplication>(app.identity, world_);
}

std::vector<platform::RunningApplicationRef> SimWorkspace::runningApplications() {
    std::lock_guard lock(world_->mutex);
    std::vector<platform::RunningApplicationRef> result;
    for (pid_t pid : world_->launchOrder)
        if (const AppRecord* app = world_->runningApp(pid)) result.push_back(handle(*app));
    return result;
}

std::vector<platform::RunningApplicationRef> SimWorkspace::runningApplicationsWithBundleIdentifier(
    const std::string& bundleId) {
    std::lock_guard lock(world_->mutex);
    std::vector<platform::RunningApplicationRef> result;
    for (pid_t pid : world_->launchOrder) {
        const AppRecord* app = world_->runningApp(pid);
        if (app && app->identity->bundleId == bundleId) result.push_back(handle(*app));
    }
    return result;
}

platform::RunningApplicationRef SimWorkspace::frontmostApplication() {
    std::lock_guard lock(world_->mutex);
    if (!world_->frontmost) return nullptr;
    const AppRecord* app = world_->runningApp(*world_->frontmost);
    return app ? handle(*app) : nullptr;
}

bool SimWorkspace::openURL(const kit::URL& url) {
    std::lock_guard lock(world_->mutex);
    keepRecord(world_->openedURLs, url.absoluteString());
    return true;
}

pid_t SimWorkspace::processIdentifier() {
    std::lock_guard lock(world_->mutex);
    return world_->ownPid;
}

std::vector<std::string> SimWorkspace::openedURLs() const {
    std::lock_guard lock(world_->mutex);
    return world_->openedURLs;
}

}  // namespace sim
