#pragma once

#include <memory>

#include "platform/Workspace.h"
#include "sim/World.h"

namespace sim {

// NSRunningApplication for a simulated process. It shares the process's
// identity and reaches the world only weakly, so it stays valid (and
// reports itself terminated) after the process or the desktop is gone.
class SimRunningApplication final : public platform::RunningApplication {
public:
    SimRunningApplication(std::shared_ptr<ProcessIdentity> identity, std::weak_ptr<World> world)
        : identity_(std::move(identity)), world_(std::move(world)) {}

    pid_t processIdentifier() const override { return identity_->pid; }
    std::optional<std::string> bundleIdentifier() const override;
    std::optional<kit::URL> bundleURL() const override;
    std::optional<std::string> localizedName() const override;
    kit::ImageRef icon() const override { return identity_->icon; }
    bool isTerminated() const override;
    bool activate() override;

private:
    std::shared_ptr<ProcessIdentity> identity_;
    std::weak_ptr<World> world_;
};

class SimWorkspace final : public platform::Workspace {
public:
    explicit SimWorkspace(std::shared_ptr<World> world) : world_(std::move(world)) {}

    std::vector<platform::RunningApplicationRef> runningApplications() override;
    std::vector<platform::RunningApplicationRef> runningApplicationsWithBundleIdentifier(
        const std::string& bundleId) override;
    platform::RunningApplicationRef frontmostApplication() override;
    bool openURL(const kit::URL& url) override;
    pid_t processIdentifier() override;

    // What Durazizi opened, in order.
    std::vector<std::string> openedURLs() const;

private:
    platform::RunningApplicationRef handle(const AppRecord& app) const;

    std::shared_ptr<World> world_;
};

}  // namespace sim
