#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "kit/ViewInput.h"
#include "platform/WindowServer.h"
#include "sim/Graveyard.h"
#include "sim/SimClock.h"
#include "sim/SimRunLoop.h"
#include "sim/World.h"

namespace sim {

class SimWindow;

// One runAnimationGroup: its completion runs once every animation started in
// it has ended, whether it ran its course or was cut short.
struct AnimationGroup {
    int running = 0;
    bool fired = false;
    std::function<void()> completion;
};

// What the windows of the running process share with the server. Windows
// reach it weakly: a window kept past its process or the desktop turns inert.
struct WindowServerCore {
    WindowServerCore(World& w, SimClock& c, SimRunLoop& r, Graveyard& g)
        : world(w), clock(c), runLoop(r), graveyard(g) {}

    World& world;
    SimClock& clock;
    SimRunLoop& runLoop;
    Graveyard& graveyard;

    std::vector<std::weak_ptr<SimWindow>> windows;    // in the order they were made
    std::vector<std::shared_ptr<SimWindow>> onScreen; // the server keeps ordered-in windows alive
    std::weak_ptr<SimWindow> key;
    std::uint64_t nextOrderStamp = 1;
    std::int64_t nextWindowNumber = 20000;   // apart from the applications' window ids

    // Animator changes made inside the innermost runAnimationGroup's block.
    struct Pending {
        std::weak_ptr<SimWindow> window;
        bool isFrame = false;
        double alpha = 0;
        kit::Rect frame;
    };
    std::vector<std::vector<Pending>> groupStack;

    double now() const { return clock.read(); }
    void groupAnimationEnded(const std::shared_ptr<AnimationGroup>& group, bool early);
    void scheduleCompletion(const std::shared_ptr<AnimationGroup>& group, double delay);
};

// A value that an animator may be moving. `value` is where it rests (the
// target while a run is under way); reads interpolate over virtual time.
template <typename T>
struct Animated {
    struct Run {
        T from;
        double start = 0;
        double duration = 0;
        kit::TimingFunction timing;
        std::shared_ptr<AnimationGroup> group;
    };
    T value;
    std::optional<Run> run;
};

// NSWindow and NSPanel of Durazizi's simulated process.
class SimWindow final : public platform::Panel, public std::enable_shared_from_this<SimWindow> {
public:
    SimWindow(std::weak_ptr<WindowServerCore> core, kit::Rect contentRect, std::uint64_t styleMask, bool defer,
              bool isPanel);
    ~SimWindow() override;

    std::uint64_t styleMask() const override { return styleMask_; }
    std::int64_t windowNumber() const override { return windowNumber_; }

    void setLevel(platform::NSWindowLevel level) override { level_ = level; }
    platform::NSWindowLevel level() const override { return level_; }
    void setCollectionBehavior(std::uint64_t behavior) override { collectionBehavior_ = behavior; }
    std::uint64_t collectionBehavior() const override { return collectionBehavior_; }
    void setOpaque(bool opaque) override { opaque_ = opaque; }
    bool isOpaque() const override { return opaque_; }
    void setHasShadow(bool hasShadow) override { hasShadow_ = hasShadow; }
    bool hasShadow() const override { return hasShadow_; }
    void setBackgroundColor(kit::Color color) override { background_ = color; }
    kit::Color backgroundColor() const override { return background_; }
    void setAlphaValue(double alpha) override;
    double alphaValue() const override;
    void setHidesOnDeactivate(bool hides) override { hidesOnDeactivate_ = hides; }
    bool hidesOnDeactivate() const override { return hidesOnDeactivate_; }
    void setTitle(std::string title) override { title_ = std::move(title); }
    std::string title() const override { return title_; }
    void setIgnoresMouseEvents(bool ignores) override { ignoresMouse_ = ignores; }
    bool ignoresMouseEvents() const override { return ignoresMouse_; }
    void setAppearance(std::optional<kit::Appearance> appearance) override { appearance_ = appearance; }
    std::optional<kit::Appearance> appearance() const override { return appearance_; }

    kit::Rect frame() const override;
    void setFrame(kit::Rect frame, bool display) override;
    void setFrameOrigin(kit::Point origin) override;
    void setContentSize(kit::Size size) override;
    void center() override;

    void orderFrontRegardless() override;
    void orderOut() override;
    void makeKeyAndOrderFront() override;
    bool isVisible() const override { return visible_; }
    void close() override;

    void setContentView(std::shared_ptr<kit::View> view) override;
    std::shared_ptr<kit::View> contentView() const override { return contentView_; }
    void setWindowWillClose(std::function<void()> handler) override { willClose_ = std::move(handler); }
    void setWindowShouldClose(std::function<bool()> handler) override { shouldClose_ = std::move(handler); }
    void performClose() override;
    bool isKeyWindow() const override;
    platform::WindowAnimator& animator() override { return animator_; }

    void setFloatingPanel(bool floating) override;
    bool isFloatingPanel() const override { return floatingPanel_; }
    void setBecomesKeyOnlyIfNeeded(bool flag) override { becomesKeyOnlyIfNeeded_ = flag; }
    bool becomesKeyOnlyIfNeeded() const override { return becomesKeyOnlyIfNeeded_; }

    // --- the server's side -------------------------------------------------------
    bool isPanel() const { return isPanel_; }
    std::uint64_t orderStamp() const { return orderStamp_; }
    kit::InputRouter& router() { return router_; }
    // Starts an animator change with the group's pacing, from the current value.
    void animateAlpha(double target, double duration, kit::TimingFunction timing,
                      const std::shared_ptr<AnimationGroup>& group);
    void animateFrame(kit::Rect target, double duration, kit::TimingFunction timing,
                      const std::shared_ptr<AnimationGroup>& group);
    // Keeps the content view at (0, 0, content size) as the frame moves.
    void syncContentView();
    // The process ended: the window leaves the screen and answers nothing more.
    void retire();
    // In front of the other visible windows of its level.
    void raise();
    // -performMiniaturize: / -deminiaturize: as the yellow button, Window >
    // Minimize and a click on the window's Dock tile do them: the window
    // leaves the screen for a tile in the Dock (the server keeps it alive),
    // and comes back key. Only a window with a minimize button minimizes.
    void miniaturize();
    void deminiaturize();
    bool isMiniaturized() const { return miniaturized_; }

private:
    class Animator final : public platform::WindowAnimator {
    public:
        explicit Animator(SimWindow& window) : window_(window) {}
        void setAlphaValue(double alpha) override;
        void setFrame(kit::Rect frame, bool display) override;

    private:
        SimWindow& window_;
    };

    std::shared_ptr<WindowServerCore> liveCore() const;
    double now() const;
    // A direct set stops the property's animation where it is, as assigning
    // outside an animation does.
    void stopAlpha();
    void stopFrame();
    kit::Size contentSize(kit::Rect frame) const;
    void orderIn(bool makeKey);
    // The window's Dock tile goes (it is restored, ordered out or closed).
    void leaveDock();

    std::weak_ptr<WindowServerCore> core_;
    std::uint64_t styleMask_;
    bool isPanel_;
    std::int64_t windowNumber_ = 0;
    platform::NSWindowLevel level_ = platform::NSNormalWindowLevel;
    std::uint64_t collectionBehavior_ = 0;
    bool opaque_ = true;
    bool hasShadow_ = true;
    kit::Color background_ = kit::Color::white();
    bool hidesOnDeactivate_;
    std::string title_;
    std::optional<kit::Appearance> appearance_;
    bool ignoresMouse_ = false;
    bool floatingPanel_ = false;
    bool becomesKeyOnlyIfNeeded_ = false;
    bool visible_ = false;
    bool miniaturized_ = false;
    bool retired_ = false;
    std::uint64_t orderStamp_ = 0;
    Animated<double> alpha_{1.0, std::nullopt};
    Animated<kit::Rect> frame_;
    std::shared_ptr<kit::View> contentView_;
    std::function<void()> willClose_;
    std::function<bool()> shouldClose_;
    kit::InputRouter router_;
    Animator animator_{*this};
};

// NSWindow / NSPanel creation, NSAnimationContext and CGWindowLevelForKey.
class SimWindowServer final : public platform::WindowServer, public Service {
public:
    SimWindowServer(World& world, SimClock& clock, SimRunLoop& runLoop, Graveyard& graveyard);
    ~SimWindowServer() override;

    std::shared_ptr<platform::Panel> makePanel(kit::Rect contentRect, std::uint64_t styleMask,
                                               platform::NSBackingStoreType backing, bool defer) override;
    std::shared_ptr<platform::Window> makeWindow(kit::Rect contentRect, std::uint64_t styleMask,
                                                 platform::NSBackingStoreType backing, bool defer) override;
    void runAnimationGroup(std::function<void(platform::AnimationContext&)> changes,
                           std::function<void()> completion = nullptr) override;
    platform::CGWindowLevel windowLevelForKey(platform::CGWindowLevelKey key) override;
    // In SimWindowList.cpp.
    std::optional<std::vector<platform::CGWindowInfo>> copyWindowInfo(std::uint32_t option,
                                                                      CGWindowID relativeToWindow) override;

    // --- the desktop's side ------------------------------------------------------
    // Live windows of the running process, front-most visible first, then the
    // ordered-out ones in the order they were made.
    std::vector<std::shared_ptr<SimWindow>> windows() const;
    // The front-most visible window that takes the mouse and whose frame holds
    // the point (top-left global).
    std::shared_ptr<SimWindow> windowAt(kit::Point topLeft) const;
    // What a click at the point would reach: the window there, and the
    // deepest view of its content under the point (none on the title bar).
    struct Hit {
        std::shared_ptr<SimWindow> window;
        kit::View* view = nullptr;
    };
    Hit hitTest(kit::Point topLeft) const;
    std::shared_ptr<SimWindow> keyWindow() const { return core_->key.lock(); }
    // A click in a window that may become key: it becomes key and comes to
    // the front of its level, as a clicked window does.
    void makeKey(const std::shared_ptr<SimWindow>& window);
    // Window coordinates (bottom-left of the window, y up) of a global top-left point.
    kit::Point toWindow(const SimWindow& window, kit::Point topLeft) const;
    kit::Rect toTopLeft(kit::Rect cocoa) const;

    // The process ended: its windows leave the screen and are buried.
    void endProcess() override;
    // Whatever a painter draws of the windows themselves; their view trees
    // report their own changes through needsDisplay.
    void fingerprint(Fingerprint& f) const override;

private:
    std::shared_ptr<SimWindow> make(kit::Rect contentRect, std::uint64_t styleMask, bool defer, bool isPanel);

    std::shared_ptr<WindowServerCore> core_;
};

}  // namespace sim
