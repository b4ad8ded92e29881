#pragma once

#include <functional>
#include <vector>

#include "platform/WindowServer.h"

namespace macos {

// NSWindow, NSPanel, NSAnimationContext and CGWindowLevelForKey. A window's
// content view is kept for the core; drawing it natively is the view host's
// work, and until then the native window shows an empty content view.
class MacWindowServer final : public platform::WindowServer {
public:
    std::shared_ptr<platform::Panel> makePanel(kit::Rect contentRect, std::uint64_t styleMask,
                                               platform::NSBackingStoreType backing, bool defer) override;
    std::shared_ptr<platform::Window> makeWindow(kit::Rect contentRect, std::uint64_t styleMask,
                                                 platform::NSBackingStoreType backing, bool defer) override;
    void runAnimationGroup(std::function<void(platform::AnimationContext&)> changes,
                           std::function<void()> completion) override;
    platform::CGWindowLevel windowLevelForKey(platform::CGWindowLevelKey key) override;
    std::optional<std::vector<platform::CGWindowInfo>> copyWindowInfo(std::uint32_t option,
                                                                      platform::CGWindowID relativeToWindow) override;

    // Animator changes made inside a group's changes block wait here until
    // the block has set the group's duration and timing: NSAnimationContext
    // reads them when a change is made, the seam's context once the block
    // returns. Main thread only.
    bool collecting() const { return collecting_; }
    void collect(std::function<void()> change) { pending_.push_back(std::move(change)); }

private:
    bool collecting_ = false;
    std::vector<std::function<void()>> pending_;
};

}  // namespace macos
