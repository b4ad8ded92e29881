#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kit/Color.h"
#include "kit/Geometry.h"
#include "kit/MouseEvent.h"
#include "kit/TrackingArea.h"

namespace kit {

// The CALayer properties the product sets on layer-backed views. They are
// kept whether or not the view wants a layer; hosts draw them only for views
// that do, as the platform has no layer to apply them to otherwise.
struct LayerStyle {
    double cornerRadius = 0;
    bool masksToBounds = false;
    Color backgroundColor = Color::clear();
    double borderWidth = 0;
    Color borderColor = Color::black();

    friend bool operator==(const LayerStyle&, const LayerStyle&) = default;
};

// A retained view, as NSView. Views are made with std::make_shared (the input
// router and removeFromSuperview rely on shared_from_this), own their
// subviews, and are used on the main thread only.
//
// Coordinates: `frame` is in the superview's coordinates, `bounds` in the
// view's own. A view whose isFlipped() is false has its origin at the
// bottom-left with y growing up; a flipped one at the top-left with y growing
// down. "Root" coordinates are those the topmost view's frame is given in:
// window coordinates (bottom-left, y up) when that view is a window's content
// view.
//
// Layout: setFrame / setFrameSize that change the size mark the view as
// needing layout and run layout() before returning, so a parent that places
// a child sees the child's subviews placed too. setNeedsLayout(true) defers
// it to the next layoutSubtreeIfNeeded(), which hosts run before drawing and
// the input router before every event.
//
// Tracking areas: updateTrackingAreas() is called by the host (the input
// router) before it routes an event, on every view added to a superview or
// whose frame or bounds changed since the last time.
class View : public std::enable_shared_from_this<View> {
public:
    View() = default;
    explicit View(Rect frame);
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    // --- geometry ----------------------------------------------------------
    Rect frame() const { return frame_; }
    void setFrame(Rect frame);
    void setFrameOrigin(Point origin);
    void setFrameSize(Size size);
    Rect bounds() const { return bounds_; }
    void setBounds(Rect bounds);
    void setBoundsOrigin(Point origin);
    void setBoundsSize(Size size);
    virtual bool isFlipped() const { return false; }

    // --- hierarchy (back to front) -----------------------------------------
    View* superview() const { return superview_; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
    // Takes the view out of any other superview first; adding a subview again
    // brings it to the front. Adding an ancestor of this view is refused.
    void addSubview(std::shared_ptr<View> view);
    // The superview drops its reference: a view nobody else holds is destroyed
    // on return, so a caller must not touch `this` afterwards.
    void removeFromSuperview();
    // True for the view itself too, as -[NSView isDescendantOf:].
    bool isDescendantOf(const View* view) const;
    View* rootView();
    const View* rootView() const;

    // --- visibility --------------------------------------------------------
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    bool isHiddenOrHasHiddenAncestor() const;
    double alphaValue() const { return alpha_; }
    void setAlphaValue(double alpha);   // clamped to [0, 1]

    // --- layer -------------------------------------------------------------
    bool wantsLayer() const { return wantsLayer_; }
    void setWantsLayer(bool wants);
    const LayerStyle& layerStyle() const { return layer_; }
    void setCornerRadius(double radius);
    void setMasksToBounds(bool masks);
    void setBackgroundColor(Color color);
    void setBorderWidth(double width);
    void setBorderColor(Color color);

    // NSUserInterfaceItemIdentifier: lets hosts, scenarios and tests name a view.
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
    // NSView.toolTip: the help tag shown when the pointer rests on the view.
    const std::string& toolTip() const { return toolTip_; }
    void setToolTip(std::string toolTip) { toolTip_ = std::move(toolTip); }

    // --- layout ------------------------------------------------------------
    virtual void layout() {}
    bool needsLayout() const { return needsLayout_; }
    void setNeedsLayout(bool needs) { needsLayout_ = needs; }
    // Top-down: a view's layout runs before its subviews are visited.
    void layoutSubtreeIfNeeded();

    // --- display -----------------------------------------------------------
    // A damage flag for hosts: set by every change that alters what is drawn
    // (on the view, or on the superview when the view moves, appears or goes).
    bool needsDisplay() const { return needsDisplay_; }
    void setNeedsDisplay(bool needs = true) { needsDisplay_ = needs; }
    bool subtreeNeedsDisplay() const;
    void clearNeedsDisplayInSubtree();

    // --- tracking areas ----------------------------------------------------
    void addTrackingArea(TrackingAreaRef area);
    void removeTrackingArea(const TrackingAreaRef& area);
    const std::vector<TrackingAreaRef>& trackingAreas() const { return trackingAreas_; }
    bool ownsTrackingArea(const TrackingArea* area) const;
    virtual void updateTrackingAreas() {}
    bool needsTrackingAreaUpdate() const { return trackingDirty_; }
    // Calls updateTrackingAreas() on every view of the subtree that needs it.
    void updateTrackingAreasIfNeeded();

    // --- events ------------------------------------------------------------
    // Sent to the view that owns the tracking area; the defaults do nothing.
    virtual void mouseEntered(const MouseEvent& event);
    virtual void mouseExited(const MouseEvent& event);
    // Unhandled clicks go up the responder chain to the superview, as
    // NSResponder's defaults do: a click on a tile's image reaches the tile.
    virtual void mouseDown(const MouseEvent& event);
    virtual void mouseUp(const MouseEvent& event);
    // -[NSView hitTest:]: the point is in the superview's coordinates (root
    // coordinates for the topmost view). Answers the deepest, frontmost view
    // that is not hidden and contains the point, or null. Transparency does
    // not matter: a view at alpha 0 is still hit, as on the platform.
    virtual View* hitTest(Point pointInSuperview);

    // --- conversion --------------------------------------------------------
    Point convertToSuperview(Point point) const;
    Point convertFromSuperview(Point point) const;
    Point convertToRoot(Point point) const;
    Point convertFromRoot(Point point) const;
    Rect convertRectToRoot(Rect rect) const;
    Rect convertRectFromRoot(Rect rect) const;
    // -[NSView convertPoint:fromView:] / toView:, null meaning root
    // coordinates. Both views must share a root.
    Point convertPoint(Point point, const View* from) const;
    Point convertPointTo(Point point, const View* to) const;

private:
    void frameDidChange(Size oldFrameSize);
    void markTrackingDirtyInSubtree();
    bool superviewIsFlipped() const { return superview_ != nullptr && superview_->isFlipped(); }

    Rect frame_;
    Rect bounds_;
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    bool hidden_ = false;
    double alpha_ = 1.0;
    bool wantsLayer_ = false;
    LayerStyle layer_;
    std::string identifier_;
    std::string toolTip_;
    std::vector<TrackingAreaRef> trackingAreas_;
    bool needsLayout_ = false;
    bool needsDisplay_ = true;
    bool trackingDirty_ = true;
};

using ViewRef = std::shared_ptr<View>;

}  // namespace kit
