#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "kit/Geometry.h"
#include "kit/TrackingArea.h"
#include "kit/View.h"

namespace kit {

// Routes pointer input of one window to its views the way the platform's
// window does, so every host (the simulated desktop, the playground) behaves
// alike. Points are window coordinates: the space the root view's frame is
// in, origin bottom-left, y up.
//
// Tracking areas: each event first lays the tree out and lets views update
// their tracking areas; then the areas of visible views that report
// entering and leaving, and that are active in the window's current state,
// are compared with the pointer. Leaving (the pointer moved out, the view was
// hidden, the area went inactive) sends mouseExited; coming in sends
// mouseEntered; exits go out before entries. As on the platform, an area
// that appears under a pointer that was already there counts as entered
// without an event (its first event is the exit), and an area removed while
// the pointer is inside it, or whose view left the window, gets no exit at
// all. The router keeps only weak references between events, and holds the
// receiving view and its ancestors for the length of a dispatch, so handlers
// may remove or drop any view, their own included.
//
// Clicks: mouseDown goes to the deepest visible view under the pointer;
// mouseUp goes to the view that took the mouseDown (wherever the pointer is
// by then), or to the view under the pointer when there was none. Views
// that do not handle a click pass it to their superview.
class InputRouter {
public:
    explicit InputRouter(ViewRef root = nullptr);

    const ViewRef& root() const { return root_; }
    // A new content view: whatever was hovered or pressed is forgotten silently.
    void setRoot(ViewRef root);

    // Areas active only in the active application or the key window fire
    // only while the host says so; Durazizi is rarely either, which is why
    // its panels' areas are active always.
    void setApplicationActive(bool active) { applicationActive_ = active; }
    void setKeyWindow(bool key) { keyWindow_ = key; }

    void pointerMoved(Point pointInWindow, std::uint64_t modifierFlags = 0);
    // The pointer left the window (or the window went away): every area the
    // pointer was inside gets its exit.
    void pointerLeft(std::uint64_t modifierFlags = 0);
    // Returns the view that took the mouse-down, or null when none was hit.
    ViewRef mouseDown(Point pointInWindow, std::uint64_t modifierFlags = 0, int clickCount = 1);
    void mouseUp(Point pointInWindow, std::uint64_t modifierFlags = 0, int clickCount = 1);

    // A key press the window offers its views before anything else, as
    // performKeyEquivalent: Escape closes an open pop-up menu; otherwise the
    // first visible, enabled button whose key equivalent is these characters
    // (Return "\r" for the default button, Escape "\x1b" for the cancel
    // button), pressed with no modifier, is clicked. False when no view took it.
    bool performKeyEquivalent(std::string_view characters, std::uint64_t modifierFlags = 0);

    std::optional<Point> pointerLocation() const { return pointer_; }
    // Whether the pointer is inside the area as far as events have told its view.
    bool isInside(const TrackingAreaRef& area) const;

private:
    struct Tracked {
        std::weak_ptr<View> view;
        std::weak_ptr<TrackingArea> area;
        bool inside = false;
    };
    struct Candidate {
        ViewRef view;
        TrackingAreaRef area;
        bool live = false;              // visible view, active area
        bool containsPointer = false;   // and the pointer is in it
    };

    void prepare();
    bool isActive(const TrackingArea& area) const;
    void collect(View& view, Point pointInWindow, bool visible, std::vector<Candidate>& out) const;
    bool stillTracks(const View& view, const TrackingArea& area) const;
    const Tracked* findTracked(const TrackingAreaRef& area) const;
    static bool contains(const View& view, const TrackingArea& area, Point pointInWindow);

    ViewRef root_;
    std::vector<Tracked> tracked_;
    std::optional<Point> pointer_;
    std::weak_ptr<View> pressed_;
    bool applicationActive_ = false;
    bool keyWindow_ = false;
};

// A view's frame in root (window) coordinates.
Rect frameInRoot(const View& view);

// The first view of the subtree, depth first, with that identifier.
ViewRef findView(const ViewRef& root, std::string_view identifier);

}  // namespace kit
