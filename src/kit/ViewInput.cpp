#include "kit/ViewInput.h"

#include <functional>

#include "kit/Controls.h"

namespace kit {

namespace {

bool sameObject(const std::weak_ptr<TrackingArea>& a, const TrackingAreaRef& b) {
    // Owner equality: safe even when the area behind `a` is gone and another
    // one now lives at its address.
    return !a.owner_before(b) && !b.owner_before(a);
}

MouseEvent makeEvent(MouseEvent::Type type, Point location, std::uint64_t flags, int clicks = 0,
                     TrackingAreaRef area = nullptr) {
    MouseEvent event;
    event.type = type;
    event.locationInWindow = location;
    event.modifierFlags = flags;
    event.clickCount = clicks;
    event.trackingArea = std::move(area);
    return event;
}

// The view and its ancestors, held for the length of one dispatch: a handler
// may drop the last reference to its own view or to the view's superview
// (a close box removing its tile) and must still be able to return.
std::vector<ViewRef> keepAlive(View& view) {
    std::vector<ViewRef> chain;
    for (View* v = &view; v; v = v->superview())
        if (auto strong = v->weak_from_this().lock()) chain.push_back(std::move(strong));
    return chain;
}

}  // namespace

InputRouter::InputRouter(ViewRef root) : root_(std::move(root)) {}

void InputRouter::setRoot(ViewRef root) {
    root_ = std::move(root);
    tracked_.clear();
    pressed_.reset();
}

bool InputRouter::isActive(const TrackingArea& area) const {
    if (!area.has(TrackingArea::MouseEnteredAndExited)) return false;
    if (area.has(TrackingArea::ActiveAlways)) return true;
    if (area.has(TrackingArea::ActiveInActiveApp)) return applicationActive_;
    if (area.has(TrackingArea::ActiveInKeyWindow) || area.has(TrackingArea::ActiveWhenFirstResponder))
        return applicationActive_ && keyWindow_;
    return false;
}

bool InputRouter::contains(const View& view, const TrackingArea& area, Point pointInWindow) {
    const Rect rect = area.has(TrackingArea::InVisibleRect) ? view.bounds() : area.rect();
    return rect.nsMouseIn(view.convertFromRoot(pointInWindow), view.isFlipped());
}

void InputRouter::collect(View& view, Point pointInWindow, bool visible, std::vector<Candidate>& out) const {
    visible = visible && !view.isHidden();
    if (const ViewRef strong = view.weak_from_this().lock()) {
        for (const auto& area : view.trackingAreas()) {
            if (!area->has(TrackingArea::MouseEnteredAndExited)) continue;
            const bool live = visible && isActive(*area);
            out.push_back({strong, area, live, live && contains(view, *area, pointInWindow)});
        }
    }
    for (const auto& child : view.subviews()) collect(*child, pointInWindow, visible, out);
}

bool InputRouter::stillTracks(const View& view, const TrackingArea& area) const {
    return root_ && view.ownsTrackingArea(&area) && view.rootView() == root_.get();
}

const InputRouter::Tracked* InputRouter::findTracked(const TrackingAreaRef& area) const {
    for (const auto& t : tracked_)
        if (sameObject(t.area, area)) return &t;
    return nullptr;
}

bool InputRouter::isInside(const TrackingAreaRef& area) const {
    const Tracked* t = findTracked(area);
    return t && t->inside && !t->area.expired();
}

void InputRouter::prepare() {
    if (!root_) return;
    root_->layoutSubtreeIfNeeded();
    root_->updateTrackingAreasIfNeeded();
}

void InputRouter::pointerMoved(Point p, std::uint64_t modifierFlags) {
    if (!root_) return;
    prepare();

    std::vector<Candidate> current;
    collect(*root_, p, true, current);

    // Pass 1: which areas the pointer is in now. Areas of hidden views and
    // inactive areas hold nothing, but stay known. An area seen for the
    // first time that already held the pointer's previous position came
    // into being under it (or assumes so): it starts inside without an
    // event, and its first event is the exit.
    std::vector<Tracked> next;
    std::vector<Candidate> entering;
    std::vector<Candidate> leaving;
    for (const auto& c : current) {
        const Tracked* before = findTracked(c.area);
        const bool bornInside = !before && c.live &&
                                (c.area->has(TrackingArea::AssumeInside) ||
                                 (pointer_ && contains(*c.view, *c.area, *pointer_)));
        const bool wasInside = (before && before->inside) || bornInside;
        if (wasInside && !c.containsPointer) leaving.push_back(c);
        if (!wasInside && c.containsPointer) entering.push_back(c);
        next.push_back({c.view, c.area, c.containsPointer});
    }
    // Areas known before but gone now (removed, or their view left the
    // window or was destroyed) are dropped without a word.

    tracked_ = std::move(next);
    pointer_ = p;

    // Pass 3: deliver, exits first. A handler may change the tree: an area
    // its view gave up meanwhile is skipped.
    for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) {
        if (!stillTracks(*it->view, *it->area)) continue;
        const auto held = keepAlive(*it->view);
        it->view->mouseExited(makeEvent(MouseEvent::Type::MouseExited, p, modifierFlags, 0, it->area));
    }
    for (const auto& c : entering) {
        if (!stillTracks(*c.view, *c.area) || c.view->isHiddenOrHasHiddenAncestor()) continue;
        const auto held = keepAlive(*c.view);
        c.view->mouseEntered(makeEvent(MouseEvent::Type::MouseEntered, p, modifierFlags, 0, c.area));
    }
}

void InputRouter::pointerLeft(std::uint64_t modifierFlags) {
    const Point last = pointer_.value_or(Point{});
    std::vector<Candidate> leaving;
    for (const auto& t : tracked_) {
        if (!t.inside) continue;
        ViewRef view = t.view.lock();
        TrackingAreaRef area = t.area.lock();
        if (view && area && stillTracks(*view, *area)) leaving.push_back({view, area, false});
    }
    tracked_.clear();
    pointer_.reset();
    for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) {
        if (!stillTracks(*it->view, *it->area)) continue;
        const auto held = keepAlive(*it->view);
        it->view->mouseExited(makeEvent(MouseEvent::Type::MouseExited, last, modifierFlags, 0, it->area));
    }
}

ViewRef InputRouter::mouseDown(Point p, std::uint64_t modifierFlags, int clickCount) {
    pressed_.reset();
    if (!root_) return nullptr;
    if (pointer_ != p) pointerMoved(p, modifierFlags);
    prepare();
    View* hit = root_->hitTest(p);
    ViewRef target = hit ? hit->weak_from_this().lock() : nullptr;
    if (!target) return nullptr;
    pressed_ = target;
    const auto held = keepAlive(*target);
    target->mouseDown(makeEvent(MouseEvent::Type::LeftMouseDown, p, modifierFlags, clickCount));
    return target;
}

namespace {

// Shift, control, option and command: the modifiers a key equivalent names.
constexpr std::uint64_t kEquivalentModifiers = 0x20000 | 0x40000 | 0x80000 | 0x100000;

template <typename T>
std::shared_ptr<T> firstShown(const ViewRef& view, const std::function<bool(const T&)>& matches) {
    if (!view || view->isHidden()) return nullptr;
    if (auto candidate = std::dynamic_pointer_cast<T>(view); candidate && matches(*candidate)) return candidate;
    for (const ViewRef& child : view->subviews())
        if (auto found = firstShown<T>(child, matches)) return found;
    return nullptr;
}

}  // namespace

bool InputRouter::performKeyEquivalent(std::string_view characters, std::uint64_t modifierFlags) {
    if (!root_ || characters.empty()) return false;
    prepare();
    // An open menu takes the keys first, as the platform's menu tracking does.
    if (auto menu = firstShown<PopUpMenu>(root_, [](const PopUpMenu&) { return true; })) {
        if (characters == "\x1b") menu->close();
        return true;
    }
    if (modifierFlags & kEquivalentModifiers) return false;
    auto button = firstShown<Button>(root_, [characters](const Button& b) {
        return b.isEnabled() && b.keyEquivalent() == characters;
    });
    if (!button) return false;
    button->performClick();
    return true;
}

void InputRouter::mouseUp(Point p, std::uint64_t modifierFlags, int clickCount) {
    if (!root_) return;
    ViewRef target = pressed_.lock();
    pressed_.reset();
    if (!target) {
        prepare();
        View* hit = root_->hitTest(p);
        target = hit ? hit->weak_from_this().lock() : nullptr;
    }
    // A view taken out of the window between the press and the release
    // hears nothing more from it.
    if (target && target->rootView() == root_.get()) {
        const auto held = keepAlive(*target);
        target->mouseUp(makeEvent(MouseEvent::Type::LeftMouseUp, p, modifierFlags, clickCount));
    }
    if (pointer_ != p) pointerMoved(p, modifierFlags);
}

Rect frameInRoot(const View& view) { return view.convertRectToRoot(view.bounds()); }

ViewRef findView(const ViewRef& root, std::string_view identifier) {
    if (!root) return nullptr;
    if (root->identifier() == identifier) return root;
    for (const auto& child : root->subviews())
        if (auto found = findView(child, identifier)) return found;
    return nullptr;
}

}  // namespace kit
