#pragma once

#include "platform/Workspace.h"

namespace macos {

// NSWorkspace and NSRunningApplication.
class MacWorkspace final : public platform::Workspace {
public:
    std::vector<platform::RunningApplicationRef> runningApplications() override;
    std::vector<platform::RunningApplicationRef> runningApplicationsWithBundleIdentifier(const std::string& bundleId) override;
    platform::RunningApplicationRef frontmostApplication() override;
    bool openURL(const kit::URL& url) override;
    platform::pid_t processIdentifier() override;
};

}  // namespace macos
