#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kit/Appearance.h"
#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/Timing.h"
#include "kit/View.h"
#include "platform/Constants.h"

namespace platform {

// The window's `animator` proxy: the same setters, animated by the enclosing
// animation group from the current value to the new one. Outside a group the
// change animates with NSAnimationContext's defaults (0.25 s, default timing).
class WindowAnimator {
public:
    virtual ~WindowAnimator() = default;
    virtual void setAlphaValue(double alpha) = 0;
    virtual void setFrame(kit::Rect frame, bool display) = 0;
};

// NSWindow. Frames are in Cocoa screen coordinates (origin at the bottom-left
// of the primary screen, y up). The window keeps its content view's frame at
// (0, 0, content size) in window coordinates, as a borderless window does.
class Window {
public:
    virtual ~Window() = default;

    virtual std::uint64_t styleMask() const = 0;            // NSWindowStyleMask bits
    virtual std::int64_t windowNumber() const = 0;          // <= 0 while deferred and never ordered in

    virtual void setLevel(NSWindowLevel level) = 0;
    virtual NSWindowLevel level() const = 0;
    virtual void setCollectionBehavior(std::uint64_t behavior) = 0;   // NSWindowCollectionBehavior bits
    virtual std::uint64_t collectionBehavior() const = 0;
    virtual void setOpaque(bool opaque) = 0;
    virtual bool isOpaque() const = 0;
    virtual void setHasShadow(bool hasShadow) = 0;
    virtual bool hasShadow() const = 0;
    virtual void setBackgroundColor(kit::Color color) = 0;
    virtual kit::Color backgroundColor() const = 0;
    virtual void setAlphaValue(double alpha) = 0;
    virtual double alphaValue() const = 0;
    virtual void setHidesOnDeactivate(bool hides) = 0;
    virtual bool hidesOnDeactivate() const = 0;
    virtual void setTitle(std::string title) = 0;
    virtual std::string title() const = 0;
    // std::nullopt follows the system appearance.
    // Clicks go through to whatever lies beneath.
    virtual void setIgnoresMouseEvents(bool ignores) = 0;
    virtual bool ignoresMouseEvents() const = 0;
    virtual void setAppearance(std::optional<kit::Appearance> appearance) = 0;
    virtual std::optional<kit::Appearance> appearance() const = 0;

    virtual kit::Rect frame() const = 0;
    virtual void setFrame(kit::Rect frame, bool display) = 0;    // setFrame:display:
    virtual void setFrameOrigin(kit::Point origin) = 0;
    virtual void setContentSize(kit::Size size) = 0;
    virtual void center() = 0;

    virtual void orderFrontRegardless() = 0;
    virtual void orderOut() = 0;                                 // orderOut: with no sender
    virtual void makeKeyAndOrderFront() = 0;                     // makeKeyAndOrderFront: with no sender
    // Ordered in and not hidden; a window at alpha 0 is still visible.
    virtual bool isVisible() const = 0;
    // -[NSWindow close]: windowWillClose runs first, then the window orders out.
    virtual void close() = 0;

    virtual void setContentView(std::shared_ptr<kit::View> view) = 0;
    virtual std::shared_ptr<kit::View> contentView() const = 0;

    // The delegate's windowWillClose:, run on the main thread.
    virtual void setWindowWillClose(std::function<void()> handler) = 0;
    // The delegate's windowShouldClose:, asked before a user's close (the
    // close button, performClose:); false keeps the window open. Not asked by close().
    virtual void setWindowShouldClose(std::function<bool()> handler) = 0;
    // -[NSWindow performClose:]: what the close button and Window > Close do.
    virtual void performClose() = 0;
    // -[NSWindow isKeyWindow]
    virtual bool isKeyWindow() const = 0;

    virtual WindowAnimator& animator() = 0;
};

// NSPanel: a window with the panel-only behaviours.
class Panel : public Window {
public:
    virtual void setFloatingPanel(bool floating) = 0;            // also sets the floating level
    virtual bool isFloatingPanel() const = 0;
    virtual void setBecomesKeyOnlyIfNeeded(bool flag) = 0;
    virtual bool becomesKeyOnlyIfNeeded() const = 0;
};

// NSAnimationContext as seen inside runAnimationGroup's changes block. A plain
// record: the backend reads it once the block returns.
class AnimationContext {
public:
    void setDuration(double seconds) { duration_ = seconds; }
    double duration() const { return duration_; }
    void setTimingFunction(kit::TimingFunction function) { timing_ = function; }
    // None set means NSAnimationContext's default pacing; backends animate it
    // with kCAMediaTimingFunctionDefault, control points (0.25, 0.1) and
    // (0.25, 1.0). Ease-out is (0.0, 0.0) and (0.58, 1.0).
    const std::optional<kit::TimingFunction>& timingFunction() const { return timing_; }
    kit::TimingFunction effectiveTimingFunction() const {
        return timing_.value_or(kit::TimingFunction::named(kit::TimingFunction::Name::Default));
    }

private:
    double duration_ = 0.25;   // NSAnimationContext's default
    std::optional<kit::TimingFunction> timing_;
};

// One dictionary of CGWindowListCopyWindowInfo, the keys the system reads.
struct CGWindowInfo {
    CGWindowID number = 0;                // kCGWindowNumber
    pid_t ownerPID = 0;                   // kCGWindowOwnerPID
    CGWindowLevel layer = 0;              // kCGWindowLayer
    kit::Rect bounds;                     // kCGWindowBounds, top-left global coordinates
    bool isOnscreen = false;              // kCGWindowIsOnscreen; an absent key reads as false
    double alpha = 1;                     // kCGWindowAlpha
    std::optional<std::string> name;      // kCGWindowName; other applications' need screen recording
};

// The window server: NSWindow / NSPanel creation, NSAnimationContext groups,
// CGWindowLevelForKey and the window list.
class WindowServer {
public:
    virtual ~WindowServer() = default;

    // -initWithContentRect:styleMask:backing:defer:. The content rect is in
    // screen coordinates; the window starts ordered out, alpha 1, opaque,
    // with a shadow, at the normal level.
    virtual std::shared_ptr<Panel> makePanel(kit::Rect contentRect, std::uint64_t styleMask,
                                             NSBackingStoreType backing, bool defer) = 0;
    virtual std::shared_ptr<Window> makeWindow(kit::Rect contentRect, std::uint64_t styleMask,
                                               NSBackingStoreType backing, bool defer) = 0;

    // +[NSAnimationContext runAnimationGroup:completionHandler:]. `changes`
    // runs at once; animator() changes made in it animate together over the
    // context's duration and timing; `completion` (if any) runs on the main
    // thread once they have all finished. It never runs inside this call,
    // even when nothing animated.
    virtual void runAnimationGroup(std::function<void(AnimationContext&)> changes,
                                   std::function<void()> completion = nullptr) = 0;

    // CGWindowLevelForKey
    virtual CGWindowLevel windowLevelForKey(CGWindowLevelKey key) = 0;

    // CGWindowListCopyWindowInfo: every window of the session, in the window
    // server's order, those on other Spaces, minimized or hidden marked as
    // not on screen. Nullopt where the call answers NULL (no GUI session).
    // Any thread.
    virtual std::optional<std::vector<CGWindowInfo>> copyWindowInfo(std::uint32_t option,
                                                                    CGWindowID relativeToWindow) = 0;
};

}  // namespace platform
