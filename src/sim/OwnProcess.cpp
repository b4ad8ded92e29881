#include "sim/OwnProcess.h"

#include "kit/IconArt.h"
#include "kit/Image.h"
#include "sim/Graveyard.h"
#include "sim/World.h"

namespace sim {

OwnProcess::OwnProcess(World& world, Graveyard& graveyard, const std::vector<Service*>& services,
                       platform::Platform& platform)
    : world_(world), graveyard_(graveyard), services_(services), platform_(platform) {
    launch(kFirstOwnPid);
}

namespace {
constexpr double kOwnIconPoints = 128;
}  // namespace

void OwnProcess::launch(pid_t pid) {
    std::lock_guard lock(world_.mutex);
    auto identity = std::make_shared<ProcessIdentity>();
    identity->pid = pid;
    identity->bundleId = kOwnBundleId;
    identity->name = kOwnName;
    identity->bundlePath = std::string("/Applications/") + kOwnName + ".app";
    // Durazizi's bundle carries its icon file, drawn from this art when it
    // is built: the Dock and the application switcher show it.
    identity->icon = kit::Image::fromDrawing(kit::IconArt::durazizi(kOwnIconPoints), /*isTemplate=*/false);
    AppRecord record;
    record.identity = std::move(identity);
    record.inDock = false;
    record.own = true;
    world_.apps[pid] = std::move(record);
    world_.launchOrder.push_back(pid);
    world_.ownPid = pid;
}

pid_t OwnProcess::pid() const {
    std::lock_guard lock(world_.mutex);
    return world_.ownPid;
}

bool OwnProcess::running() const {
    std::lock_guard lock(world_.mutex);
    return world_.runningApp(world_.ownPid) != nullptr;
}

void OwnProcess::start() {
    terminate();
    graveyard_.clearIfIdle();
    pid_t pid;
    {
        std::lock_guard lock(world_.mutex);
        pid = world_.ownPid + 1;
        while (world_.apps.count(pid)) ++pid;
    }
    launch(pid);
    for (Service* service : services_) service->beginProcess();
    // What the system computes once per process must be computed afresh.
    if (platform::isInstalled() && &platform::current() == &platform_) platform::install(&platform_);
}

void OwnProcess::terminate() {
    {
        std::lock_guard lock(world_.mutex);
        if (!world_.runningApp(world_.ownPid)) return;
        world_.terminate(world_.ownPid);
    }
    // Possibly called from inside one of the process's callbacks: everything
    // is buried, nothing is destroyed here.
    for (Service* service : services_) service->endProcess();
}

}  // namespace sim
