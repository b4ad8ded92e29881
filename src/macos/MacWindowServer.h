#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include "macos/CFRef.h"
#include "platform/WindowServer.h"

namespace macos {

// NSWindow, NSPanel, NSAnimationContext and CGWindowLevelForKey. A window's
// kit content view is shown by AppKit views that mirror it (MirrorViews),
// brought in step each time the main run loop is about to wait.
class MacWindowServer final : public platform::WindowServer {
public:
    MacWindowServer() = default;
    ~MacWindowServer();
    MacWindowServer(const MacWindowServer&) = delete;
    MacWindowServer& operator=(const MacWindowServer&) = delete;

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

    // A window whose content is brought in step before the run loop waits.
    void keepInStep(const void* window, std::function<void()> step);
    void stopKeepingInStep(const void* window);

private:
    std::unordered_map<const void*, std::function<void()>> inStep_;
    CFRef<CFRunLoopObserverRef> observer_;   // made with the first window
    bool collecting_ = false;
    std::vector<std::function<void()>> pending_;
};

}  // namespace macos
