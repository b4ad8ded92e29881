#pragma once

#import <AppKit/AppKit.h>

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "kit/Appearance.h"
#include "kit/ViewInput.h"
#include "macos/ObjCRef.h"
#include "macos/ViewMirror.h"

@class DurazziziMirrorTarget;

namespace macos {

// One window's AppKit views, made and changed as the mirror says, and the
// way back from them to kit: control actions, scrolling and the pointer.
// Main thread only.
class MirrorViews final : public mirror::NativeViews {
public:
    MirrorViews();
    ~MirrorViews() override;
    MirrorViews(const MirrorViews&) = delete;
    MirrorViews& operator=(const MirrorViews&) = delete;

    // A new content view (or none): the AppKit tree is rebuilt for it.
    void setContent(kit::ViewRef root);
    const kit::ViewRef& content() const { return content_; }
    // Brings the AppKit tree in step when anything of the kit tree changed.
    void syncIfNeeded();
    void sync();
    // The AppKit view of the content view, for the window's contentView.
    NSView* rootView() const;
    // The AppKit view that shows a kit view; nil when none does.
    NSView* nativeViewFor(const kit::View& view) const;
    // The kit view an AppKit view shows, or null for AppKit's own parts
    // (a control's title, a scroll view's clip view).
    kit::ViewRef kitViewFor(NSView* view) const;
    void setAppearance(std::optional<kit::Appearance> appearance);
    const mirror::ViewMirror& mirror() const { return mirror_; }

    // From the AppKit views.
    bool isRoot(mirror::NativeHandle handle) const;
    void appearanceChanged();
    void controlChanged(id sender);
    void scrolled(mirror::NativeHandle handle, double offset);
    void mouseDown(NSEvent* event);
    void mouseUp(NSEvent* event);
    void pointerMoved(NSEvent* event);
    void pointerExited(NSEvent* event);

    // mirror::NativeViews
    mirror::NativeHandle create(mirror::NativeClass native) override;
    void update(mirror::NativeHandle handle, const mirror::NativeState& state, std::uint32_t changes) override;
    void setSubviews(mirror::NativeHandle parent, const std::vector<mirror::NativeHandle>& children) override;
    void destroy(mirror::NativeHandle handle) override;

private:
    struct Native {
        mirror::NativeClass cls = mirror::NativeClass::View;
        ObjCRef<NSView> view;      // what the parent holds
        ObjCRef<NSView> control;   // the AppKit control inside, when its title is beside it
        ObjCRef<NSTextField> title;
        std::vector<ObjCRef<NSTrackingArea>> areas;
    };

    NSColor* color(const kit::Color& color) const;
    CGColorRef layerColor(NSView* view, const kit::Color& color) const;
    void applyGeometry(Native& native, const mirror::NativeState& state);
    void applyLayer(Native& native, const mirror::NativeState& state);
    void applyContent(Native& native, const mirror::NativeState& state);
    void applyValue(Native& native, const mirror::NativeState& state);
    void applyTracking(Native& native, const mirror::NativeState& state);
    kit::Point windowPoint(NSEvent* event) const;

    mirror::ViewMirror mirror_{*this};
    kit::ViewRef content_;
    kit::InputRouter router_;
    std::optional<kit::Appearance> appearance_;
    ObjCRef<DurazziziMirrorTarget> target_;
    std::unordered_map<mirror::NativeHandle, Native> natives_;
    std::unordered_map<const void*, mirror::NativeHandle> byControl_;
    mirror::NativeHandle next_ = 1;
    bool applying_ = false;   // our own changes echo back through AppKit
};

}  // namespace macos

namespace macos {

// A window of the backend whose content AppKit shows through a mirror; the
// self-check reaches the native views through it.
class MirroredWindow {
public:
    virtual ~MirroredWindow() = default;
    virtual const MirrorViews& mirror() const = 0;
    virtual NSWindow* nativeWindow() const = 0;
};

}  // namespace macos
