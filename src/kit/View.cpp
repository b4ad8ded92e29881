#include "kit/View.h"

#include <algorithm>
#include <cassert>

namespace kit {

namespace {

Rect normalized(Point a, Point b) {
    const double x = std::min(a.x, b.x);
    const double y = std::min(a.y, b.y);
    return {x, y, std::max(a.x, b.x) - x, std::max(a.y, b.y) - y};
}

// frame / bounds along one axis; a degenerate bounds size maps 1:1 so that a
// zero-sized view still converts points instead of dividing by zero.
double scaleOf(double frameLength, double boundsLength) {
    return boundsLength != 0 ? frameLength / boundsLength : 1.0;
}

}  // namespace

View::View(Rect frame) : frame_(frame), bounds_({0, 0}, frame.size) {}

View::~View() {
    for (auto& subview : subviews_) subview->superview_ = nullptr;
}

// --- geometry ---------------------------------------------------------------

void View::setFrame(Rect frame) {
    if (frame == frame_) return;
    const Size oldSize = frame_.size;
    frame_ = frame;
    frameDidChange(oldSize);
}

void View::setFrameOrigin(Point origin) { setFrame({origin, frame_.size}); }

void View::setFrameSize(Size size) { setFrame({frame_.origin, size}); }

void View::frameDidChange(Size oldFrameSize) {
    // The bounds follow the frame's size keeping their scale, as AppKit does;
    // an unscaled view simply gets bounds as large as its frame.
    if (frame_.size != oldFrameSize) {
        const double sx = oldFrameSize.width != 0 ? bounds_.size.width / oldFrameSize.width : 1.0;
        const double sy = oldFrameSize.height != 0 ? bounds_.size.height / oldFrameSize.height : 1.0;
        bounds_.size = {frame_.size.width * sx, frame_.size.height * sy};
    }
    trackingDirty_ = true;
    needsDisplay_ = true;
    if (superview_) superview_->needsDisplay_ = true;
    if (frame_.size != oldFrameSize) {
        needsLayout_ = true;
        layoutSubtreeIfNeeded();
    }
}

void View::setBounds(Rect bounds) {
    if (bounds == bounds_) return;
    const bool resized = bounds.size != bounds_.size;
    bounds_ = bounds;
    trackingDirty_ = true;
    needsDisplay_ = true;
    if (resized) {
        needsLayout_ = true;
        layoutSubtreeIfNeeded();
    }
}

void View::setBoundsOrigin(Point origin) { setBounds({origin, bounds_.size}); }

void View::setBoundsSize(Size size) { setBounds({bounds_.origin, size}); }

// --- hierarchy --------------------------------------------------------------

void View::addSubview(std::shared_ptr<View> view) {
    if (!view) return;
    // Adding an ancestor (or the view itself) would make the tree a cycle.
    assert(!isDescendantOf(view.get()) && "addSubview of an ancestor");
    if (isDescendantOf(view.get())) return;
    if (view->superview_) view->removeFromSuperview();
    view->superview_ = this;
    view->markTrackingDirtyInSubtree();
    view->needsDisplay_ = true;
    needsDisplay_ = true;
    subviews_.push_back(std::move(view));
}

void View::removeFromSuperview() {
    View* parent = superview_;
    if (!parent) return;
    auto it = std::find_if(parent->subviews_.begin(), parent->subviews_.end(),
                           [this](const std::shared_ptr<View>& v) { return v.get() == this; });
    // Keep ourselves alive until the end of this call even when the
    // superview held the last reference.
    std::shared_ptr<View> keep;
    if (it != parent->subviews_.end()) {
        keep = std::move(*it);
        parent->subviews_.erase(it);
    }
    superview_ = nullptr;
    parent->needsDisplay_ = true;
}

bool View::isDescendantOf(const View* view) const {
    for (const View* v = this; v; v = v->superview_)
        if (v == view) return true;
    return false;
}

View* View::rootView() {
    View* v = this;
    while (v->superview_) v = v->superview_;
    return v;
}

const View* View::rootView() const {
    const View* v = this;
    while (v->superview_) v = v->superview_;
    return v;
}

// --- visibility and layer ---------------------------------------------------

void View::setHidden(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    needsDisplay_ = true;
    if (superview_) superview_->needsDisplay_ = true;
}

bool View::isHiddenOrHasHiddenAncestor() const {
    for (const View* v = this; v; v = v->superview_)
        if (v->hidden_) return true;
    return false;
}

void View::setAlphaValue(double alpha) {
    alpha = std::clamp(alpha, 0.0, 1.0);
    if (alpha == alpha_) return;
    alpha_ = alpha;
    needsDisplay_ = true;
}

void View::setWantsLayer(bool wants) {
    if (wants == wantsLayer_) return;
    wantsLayer_ = wants;
    needsDisplay_ = true;
}

void View::setCornerRadius(double radius) {
    layer_.cornerRadius = radius;
    needsDisplay_ = true;
}

void View::setMasksToBounds(bool masks) {
    layer_.masksToBounds = masks;
    needsDisplay_ = true;
}

void View::setBackgroundColor(Color color) {
    layer_.backgroundColor = color;
    needsDisplay_ = true;
}

void View::setBorderWidth(double width) {
    layer_.borderWidth = width;
    needsDisplay_ = true;
}

void View::setBorderColor(Color color) {
    layer_.borderColor = color;
    needsDisplay_ = true;
}

// --- layout and display -----------------------------------------------------

void View::layoutSubtreeIfNeeded() {
    if (needsLayout_) {
        needsLayout_ = false;
        layout();
    }
    // layout() may add or remove subviews: walk a copy, which also keeps each
    // visited view alive while its own layout runs.
    const auto children = subviews_;
    for (const auto& child : children)
        if (child->superview_ == this) child->layoutSubtreeIfNeeded();
}

bool View::subtreeNeedsDisplay() const {
    if (needsDisplay_) return true;
    return std::any_of(subviews_.begin(), subviews_.end(),
                       [](const std::shared_ptr<View>& v) { return v->subtreeNeedsDisplay(); });
}

void View::clearNeedsDisplayInSubtree() {
    needsDisplay_ = false;
    for (auto& v : subviews_) v->clearNeedsDisplayInSubtree();
}

// --- tracking areas ---------------------------------------------------------

void View::addTrackingArea(TrackingAreaRef area) {
    if (!area || ownsTrackingArea(area.get())) return;
    trackingAreas_.push_back(std::move(area));
}

void View::removeTrackingArea(const TrackingAreaRef& area) {
    std::erase(trackingAreas_, area);
}

bool View::ownsTrackingArea(const TrackingArea* area) const {
    return std::any_of(trackingAreas_.begin(), trackingAreas_.end(),
                       [area](const TrackingAreaRef& a) { return a.get() == area; });
}

void View::markTrackingDirtyInSubtree() {
    trackingDirty_ = true;
    for (auto& v : subviews_) v->markTrackingDirtyInSubtree();
}

void View::updateTrackingAreasIfNeeded() {
    if (trackingDirty_) {
        trackingDirty_ = false;
        updateTrackingAreas();
    }
    const auto children = subviews_;
    for (const auto& child : children)
        if (child->superview_ == this) child->updateTrackingAreasIfNeeded();
}

// --- events -----------------------------------------------------------------

void View::mouseEntered(const MouseEvent&) {}

void View::mouseExited(const MouseEvent&) {}

void View::mouseDown(const MouseEvent& event) {
    if (superview_) superview_->mouseDown(event);
}

void View::mouseUp(const MouseEvent& event) {
    if (superview_) superview_->mouseUp(event);
}

View* View::hitTest(Point pointInSuperview) {
    if (hidden_) return nullptr;
    if (!frame_.nsMouseIn(pointInSuperview, superviewIsFlipped())) return nullptr;
    const Point local = convertFromSuperview(pointInSuperview);
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it)
        if (View* hit = (*it)->hitTest(local)) return hit;
    return this;
}

// --- conversion -------------------------------------------------------------
//
// One step between a view and its superview goes through "distance from the
// view's bottom-left corner, in the superview's units": a flipped view
// measures y from its top edge, a flipped superview measures its own y from
// its top edge (so the view's bottom edge sits at frame.maxY there).

Point View::convertToSuperview(Point point) const {
    const double sx = scaleOf(frame_.size.width, bounds_.size.width);
    const double sy = scaleOf(frame_.size.height, bounds_.size.height);
    const double right = (point.x - bounds_.minX()) * sx;
    const double up = (isFlipped() ? bounds_.maxY() - point.y : point.y - bounds_.minY()) * sy;
    const double y = superviewIsFlipped() ? frame_.maxY() - up : frame_.minY() + up;
    return {frame_.minX() + right, y};
}

Point View::convertFromSuperview(Point point) const {
    const double sx = scaleOf(frame_.size.width, bounds_.size.width);
    const double sy = scaleOf(frame_.size.height, bounds_.size.height);
    const double right = (point.x - frame_.minX()) / sx;
    const double up = (superviewIsFlipped() ? frame_.maxY() - point.y : point.y - frame_.minY()) / sy;
    const double y = isFlipped() ? bounds_.maxY() - up : bounds_.minY() + up;
    return {bounds_.minX() + right, y};
}

Point View::convertToRoot(Point point) const {
    for (const View* v = this; v; v = v->superview_) point = v->convertToSuperview(point);
    return point;
}

Point View::convertFromRoot(Point point) const {
    std::vector<const View*> chain;
    for (const View* v = this; v; v = v->superview_) chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) point = (*it)->convertFromSuperview(point);
    return point;
}

Rect View::convertRectToRoot(Rect rect) const {
    return normalized(convertToRoot(rect.origin), convertToRoot({rect.maxX(), rect.maxY()}));
}

Rect View::convertRectFromRoot(Rect rect) const {
    return normalized(convertFromRoot(rect.origin), convertFromRoot({rect.maxX(), rect.maxY()}));
}

Point View::convertPoint(Point point, const View* from) const {
    assert((!from || from->rootView() == rootView()) && "views in different trees");
    return convertFromRoot(from ? from->convertToRoot(point) : point);
}

Point View::convertPointTo(Point point, const View* to) const {
    assert((!to || to->rootView() == rootView()) && "views in different trees");
    const Point inRoot = convertToRoot(point);
    return to ? to->convertFromRoot(inRoot) : inRoot;
}

}  // namespace kit
