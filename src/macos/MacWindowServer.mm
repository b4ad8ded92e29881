#include "macos/MacWindowServer.h"

#import <AppKit/AppKit.h>
#import <QuartzCore/QuartzCore.h>

#include <CoreGraphics/CoreGraphics.h>

#include <dispatch/dispatch.h>

#include <vector>

#include "macos/CFRef.h"
#include "macos/MirrorViews.h"
#include "macos/ObjCRef.h"

// The delegate messages the seam passes on.
@interface DurazziziWindowDelegate : NSObject <NSWindowDelegate> {
   @public
    std::function<void()> willClose;
    std::function<bool()> shouldClose;
    std::function<void()> didResize;
}
@end

@implementation DurazziziWindowDelegate
- (void)windowWillClose:(NSNotification*)notification {
    if (willClose) willClose();
}
- (BOOL)windowShouldClose:(NSWindow*)sender {
    return shouldClose ? shouldClose() : YES;
}
- (void)windowDidResize:(NSNotification*)notification {
    if (didResize) didResize();
}
@end

namespace macos {

namespace {

NSRect nsRect(kit::Rect r) { return NSMakeRect(r.origin.x, r.origin.y, r.size.width, r.size.height); }
kit::Rect kitRect(NSRect r) { return {r.origin.x, r.origin.y, r.size.width, r.size.height}; }

NSColor* nsColor(kit::Color color, std::optional<kit::Appearance> appearance) {
    const kit::Color c = kit::resolve(color, appearance.value_or(kit::Appearance::Aqua));
    return [NSColor colorWithSRGBRed:c.red green:c.green blue:c.blue alpha:c.alpha];
}

// The animator: inside a group the change waits for the group's timing;
// outside, it animates with NSAnimationContext's defaults at once.
class MacWindowAnimator final : public platform::WindowAnimator {
public:
    MacWindowAnimator(MacWindowServer& server, NSWindow* window)
        : server_(server), window_(ObjCRef<NSWindow>::retain(window)) {}

    void setAlphaValue(double alpha) override {
        ObjCRef<NSWindow> window = window_;
        animate([window, alpha] { [[window.get() animator] setAlphaValue:alpha]; });
    }
    void setFrame(kit::Rect frame, bool display) override {
        ObjCRef<NSWindow> window = window_;
        animate([window, frame, display] { [[window.get() animator] setFrame:nsRect(frame) display:display]; });
    }

private:
    void animate(std::function<void()> change) {
        if (server_.collecting()) {
            server_.collect(std::move(change));
        } else {
            change();
        }
    }

    MacWindowServer& server_;
    ObjCRef<NSWindow> window_;
};

template <typename Base, typename Native>
class MacWindowBase : public Base, public MirroredWindow {
public:
    MacWindowBase(MacWindowServer& server, Native* window)
        : server_(server), window_(ObjCRef<Native>::adopt(window)), animator_(server, window) {
        // The C++ side owns the window; a close must not free it under us.
        [window_.get() setReleasedWhenClosed:NO];
        delegate_ = ObjCRef<DurazziziWindowDelegate>::adopt([[DurazziziWindowDelegate alloc] init]);
        delegate_.get()->didResize = [this] { fitContent(); };
        [window_.get() setDelegate:delegate_.get()];
        server_.keepInStep(this, [this] { showContent(); });
    }
    ~MacWindowBase() override {
        server_.stopKeepingInStep(this);
        [window_.get() setDelegate:nil];
        [window_.get() orderOut:nil];
        [window_.get() setContentView:nil];
    }

    std::uint64_t styleMask() const override { return [window_.get() styleMask]; }
    std::int64_t windowNumber() const override { return [window_.get() windowNumber]; }
    void setLevel(platform::NSWindowLevel level) override { [window_.get() setLevel:static_cast<NSInteger>(level)]; }
    platform::NSWindowLevel level() const override { return [window_.get() level]; }
    void setCollectionBehavior(std::uint64_t behavior) override {
        [window_.get() setCollectionBehavior:static_cast<NSWindowCollectionBehavior>(behavior)];
    }
    std::uint64_t collectionBehavior() const override { return [window_.get() collectionBehavior]; }
    void setOpaque(bool opaque) override { [window_.get() setOpaque:opaque]; }
    bool isOpaque() const override { return [window_.get() isOpaque]; }
    void setHasShadow(bool hasShadow) override { [window_.get() setHasShadow:hasShadow]; }
    bool hasShadow() const override { return [window_.get() hasShadow]; }
    void setBackgroundColor(kit::Color color) override {
        background_ = color;
        [window_.get() setBackgroundColor:nsColor(color, appearance_)];
    }
    kit::Color backgroundColor() const override { return background_; }
    void setAlphaValue(double alpha) override { [window_.get() setAlphaValue:alpha]; }
    double alphaValue() const override { return [window_.get() alphaValue]; }
    void setHidesOnDeactivate(bool hides) override { [window_.get() setHidesOnDeactivate:hides]; }
    bool hidesOnDeactivate() const override { return [window_.get() hidesOnDeactivate]; }
    void setTitle(std::string title) override {
        NSString* text = [NSString stringWithUTF8String:title.c_str()];
        [window_.get() setTitle:text ? text : @""];
    }
    std::string title() const override {
        const char* text = [[window_.get() title] UTF8String];
        return text ? text : "";
    }
    void setIgnoresMouseEvents(bool ignores) override { [window_.get() setIgnoresMouseEvents:ignores]; }
    bool ignoresMouseEvents() const override { return [window_.get() ignoresMouseEvents]; }
    void setAppearance(std::optional<kit::Appearance> appearance) override {
        appearance_ = appearance;
        NSAppearance* native = nil;
        if (appearance) {
            native = [NSAppearance appearanceNamed:kit::isDark(*appearance) ? NSAppearanceNameDarkAqua
                                                                            : NSAppearanceNameAqua];
        }
        [window_.get() setAppearance:native];
        [window_.get() setBackgroundColor:nsColor(background_, appearance_)];
        mirror_.setAppearance(appearance);
    }
    std::optional<kit::Appearance> appearance() const override { return appearance_; }

    kit::Rect frame() const override { return kitRect([window_.get() frame]); }
    void setFrame(kit::Rect frame, bool display) override {
        [window_.get() setFrame:nsRect(frame) display:display];
        fitContent();
    }
    void setFrameOrigin(kit::Point origin) override { [window_.get() setFrameOrigin:NSMakePoint(origin.x, origin.y)]; }
    void setContentSize(kit::Size size) override {
        [window_.get() setContentSize:NSMakeSize(size.width, size.height)];
        fitContent();
    }
    void center() override { [window_.get() center]; }
    void orderFrontRegardless() override { [window_.get() orderFrontRegardless]; }
    void orderOut() override { [window_.get() orderOut:nil]; }
    void makeKeyAndOrderFront() override { [window_.get() makeKeyAndOrderFront:nil]; }
    bool isVisible() const override { return [window_.get() isVisible]; }
    void close() override { [window_.get() close]; }
    void setContentView(std::shared_ptr<kit::View> view) override {
        content_ = std::move(view);
        fitContent();
        mirror_.setContent(content_);
        showContent();
    }
    std::shared_ptr<kit::View> contentView() const override { return content_; }
    void setWindowWillClose(std::function<void()> handler) override { delegate_.get()->willClose = std::move(handler); }
    void setWindowShouldClose(std::function<bool()> handler) override {
        delegate_.get()->shouldClose = std::move(handler);
    }
    void performClose() override { [window_.get() performClose:nil]; }
    bool isKeyWindow() const override { return [window_.get() isKeyWindow]; }
    platform::WindowAnimator& animator() override { return animator_; }

    const MirrorViews& mirror() const override { return mirror_; }
    NSWindow* nativeWindow() const override { return window_.get(); }

protected:
    Native* native() const { return window_.get(); }

private:
    // The window keeps its content view at (0, 0, content size), as the seam says.
    void fitContent() {
        if (!content_) return;
        const NSRect inner = [window_.get() contentRectForFrameRect:[window_.get() frame]];
        const kit::Rect wanted{0, 0, inner.size.width, inner.size.height};
        if (content_->frame() != wanted) content_->setFrame(wanted);
    }
    // Brings the AppKit tree in step and puts its root in the window.
    void showContent() {
        mirror_.syncIfNeeded();
        NSView* root = mirror_.rootView();
        if (root == nil) {
            if (!empty_) empty_ = ObjCRef<NSView>::adopt([[NSView alloc] initWithFrame:NSZeroRect]);
            root = empty_.get();
        }
        if ([window_.get() contentView] != root) [window_.get() setContentView:root];
    }

    MacWindowServer& server_;
    MirrorViews mirror_;
    ObjCRef<NSView> empty_;
    ObjCRef<Native> window_;
    MacWindowAnimator animator_;
    ObjCRef<DurazziziWindowDelegate> delegate_;
    std::shared_ptr<kit::View> content_;
    kit::Color background_ = kit::Color::named(kit::Color::Semantic::WindowBackground);
    std::optional<kit::Appearance> appearance_;
};

class MacWindow final : public MacWindowBase<platform::Window, NSWindow> {
public:
    using MacWindowBase::MacWindowBase;
};

class MacPanel final : public MacWindowBase<platform::Panel, NSPanel> {
public:
    using MacWindowBase::MacWindowBase;
    void setFloatingPanel(bool floating) override { [native() setFloatingPanel:floating]; }
    bool isFloatingPanel() const override { return [native() isFloatingPanel]; }
    void setBecomesKeyOnlyIfNeeded(bool flag) override { [native() setBecomesKeyOnlyIfNeeded:flag]; }
    bool becomesKeyOnlyIfNeeded() const override { return [native() becomesKeyOnlyIfNeeded]; }
};

}  // namespace

std::shared_ptr<platform::Panel> MacWindowServer::makePanel(kit::Rect contentRect, std::uint64_t styleMask,
                                                            platform::NSBackingStoreType backing, bool defer) {
    NSPanel* panel = [[NSPanel alloc] initWithContentRect:nsRect(contentRect)
                                                styleMask:static_cast<NSUInteger>(styleMask)
                                                  backing:static_cast<NSBackingStoreType>(backing)
                                                    defer:defer];
    return std::make_shared<MacPanel>(*this, panel);
}

std::shared_ptr<platform::Window> MacWindowServer::makeWindow(kit::Rect contentRect, std::uint64_t styleMask,
                                                              platform::NSBackingStoreType backing, bool defer) {
    NSWindow* window = [[NSWindow alloc] initWithContentRect:nsRect(contentRect)
                                                   styleMask:static_cast<NSUInteger>(styleMask)
                                                     backing:static_cast<NSBackingStoreType>(backing)
                                                       defer:defer];
    return std::make_shared<MacWindow>(*this, window);
}

void MacWindowServer::runAnimationGroup(std::function<void(platform::AnimationContext&)> changes,
                                        std::function<void()> completion) {
    platform::AnimationContext context;
    std::vector<std::function<void()>> outer = std::move(pending_);
    const bool wasCollecting = collecting_;
    collecting_ = true;
    pending_.clear();
    if (changes) changes(context);
    std::vector<std::function<void()>> group = std::move(pending_);
    pending_ = std::move(outer);
    collecting_ = wasCollecting;

    auto shared = std::make_shared<std::vector<std::function<void()>>>(std::move(group));
    auto done = std::make_shared<std::function<void()>>(std::move(completion));
    const kit::TimingFunction timing = context.effectiveTimingFunction();
    const double duration = context.duration();
    [NSAnimationContext runAnimationGroup:^(NSAnimationContext* native) {
        [native setDuration:duration];
        [native setTimingFunction:[CAMediaTimingFunction functionWithControlPoints:static_cast<float>(timing.c1x)
                                                                                 :static_cast<float>(timing.c1y)
                                                                                 :static_cast<float>(timing.c2x)
                                                                                 :static_cast<float>(timing.c2y)]];
        for (auto& change : *shared) change();
    }
        completionHandler:^{
            // AppKit may finish a group with nothing to animate at once; the
            // completion never runs inside the call that started the group.
            if (*done) {
                dispatch_async(dispatch_get_main_queue(), ^{
                    (*done)();
                });
            }
        }];
}

platform::CGWindowLevel MacWindowServer::windowLevelForKey(platform::CGWindowLevelKey key) {
    return CGWindowLevelForKey(static_cast<CGWindowLevelKey>(key));
}

namespace {

template <typename T>
std::optional<T> numberFor(CFDictionaryRef info, CFStringRef key, CFNumberType type) {
    const auto value = static_cast<CFNumberRef>(CFDictionaryGetValue(info, key));
    T result{};
    if (value == nullptr || CFGetTypeID(value) != CFNumberGetTypeID() || !CFNumberGetValue(value, type, &result))
        return std::nullopt;
    return result;
}

std::optional<std::string> stringFor(CFDictionaryRef info, CFStringRef key) {
    const auto value = static_cast<CFStringRef>(CFDictionaryGetValue(info, key));
    if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return std::nullopt;
    if (const char* direct = CFStringGetCStringPtr(value, kCFStringEncodingUTF8)) return std::string(direct);
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(value), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    if (!CFStringGetCString(value, buffer.data(), size, kCFStringEncodingUTF8)) return std::nullopt;
    return std::string(buffer.data());
}

}  // namespace

std::optional<std::vector<platform::CGWindowInfo>> MacWindowServer::copyWindowInfo(
    std::uint32_t option, platform::CGWindowID relativeToWindow) {
    const auto list = CFRef<CFArrayRef>::adopt(
        CGWindowListCopyWindowInfo(static_cast<CGWindowListOption>(option), relativeToWindow));
    if (!list) return std::nullopt;
    std::vector<platform::CGWindowInfo> windows;
    const CFIndex count = CFArrayGetCount(list.get());
    windows.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) {
        const auto info = static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(list.get(), i));
        if (info == nullptr || CFGetTypeID(info) != CFDictionaryGetTypeID()) continue;
        // The three keys every entry carries; an entry without them is no window.
        const auto number = numberFor<std::int32_t>(info, kCGWindowNumber, kCFNumberSInt32Type);
        const auto owner = numberFor<std::int32_t>(info, kCGWindowOwnerPID, kCFNumberSInt32Type);
        const auto layer = numberFor<std::int32_t>(info, kCGWindowLayer, kCFNumberSInt32Type);
        if (!number || !owner || !layer) continue;
        platform::CGWindowInfo window;
        window.number = static_cast<platform::CGWindowID>(*number);
        window.ownerPID = *owner;
        window.layer = *layer;
        CGRect bounds = CGRectZero;
        const auto boundsInfo = static_cast<CFDictionaryRef>(CFDictionaryGetValue(info, kCGWindowBounds));
        if (boundsInfo != nullptr && CFGetTypeID(boundsInfo) == CFDictionaryGetTypeID() &&
            CGRectMakeWithDictionaryRepresentation(boundsInfo, &bounds)) {
            window.bounds = {bounds.origin.x, bounds.origin.y, bounds.size.width, bounds.size.height};
        }
        const auto onscreen = static_cast<CFBooleanRef>(CFDictionaryGetValue(info, kCGWindowIsOnscreen));
        window.isOnscreen = onscreen != nullptr && CFGetTypeID(onscreen) == CFBooleanGetTypeID() &&
                            CFBooleanGetValue(onscreen);
        window.alpha = numberFor<double>(info, kCGWindowAlpha, kCFNumberDoubleType).value_or(1);
        window.name = stringFor(info, kCGWindowName);
        windows.push_back(std::move(window));
    }
    return windows;
}

}  // namespace macos

namespace macos {

MacWindowServer::~MacWindowServer() {
    if (observer_) CFRunLoopObserverInvalidate(observer_.get());
}

void MacWindowServer::keepInStep(const void* window, std::function<void()> step) {
    inStep_[window] = std::move(step);
    if (observer_) return;
    // kit views change from timers, events and queued work alike; the
    // changes of one turn of the run loop reach AppKit together, before it
    // sleeps and AppKit draws.
    observer_ = CFRef<CFRunLoopObserverRef>::adopt(CFRunLoopObserverCreateWithHandler(
        nullptr, kCFRunLoopBeforeWaiting, true, 0, ^(CFRunLoopObserverRef, CFRunLoopActivity) {
            // A step may close another window: each is looked up again.
            std::vector<const void*> windows;
            windows.reserve(inStep_.size());
            for (const auto& entry : inStep_) windows.push_back(entry.first);
            for (const void* window : windows) {
                auto it = inStep_.find(window);
                if (it == inStep_.end()) continue;
                std::function<void()> step = it->second;
                step();
            }
        }));
    CFRunLoopAddObserver(CFRunLoopGetMain(), observer_.get(), kCFRunLoopCommonModes);
}

void MacWindowServer::stopKeepingInStep(const void* window) { inStep_.erase(window); }

}  // namespace macos
