#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Image.h"
#include "kit/URL.h"
#include "platform/Constants.h"

namespace platform {

// NSRunningApplication: a handle that stays valid after the process ends.
class RunningApplication {
public:
    virtual ~RunningApplication() = default;
    virtual pid_t processIdentifier() const = 0;
    virtual std::optional<std::string> bundleIdentifier() const = 0;
    virtual std::optional<kit::URL> bundleURL() const = 0;
    virtual std::optional<std::string> localizedName() const = 0;
    virtual kit::ImageRef icon() const = 0;
    virtual bool isTerminated() const = 0;
    virtual bool activate() = 0;   // activateWithOptions: with no options
};
using RunningApplicationRef = std::shared_ptr<RunningApplication>;

// NSWorkspace and the process's own identity.
class Workspace {
public:
    virtual ~Workspace() = default;
    virtual std::vector<RunningApplicationRef> runningApplications() = 0;
    virtual std::vector<RunningApplicationRef> runningApplicationsWithBundleIdentifier(const std::string& bundleId) = 0;
    virtual RunningApplicationRef frontmostApplication() = 0;
    virtual bool openURL(const kit::URL& url) = 0;
    virtual pid_t processIdentifier() = 0;   // NSProcessInfo.processIdentifier
};

}  // namespace platform
