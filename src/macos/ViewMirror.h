#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kit/Button.h"
#include "kit/Color.h"
#include "kit/Font.h"
#include "kit/Geometry.h"
#include "kit/Image.h"
#include "kit/ImageView.h"
#include "kit/Label.h"
#include "kit/View.h"
#include "kit/VisualEffectView.h"

// The native side of a window's content: every kit view has an AppKit view
// that shows it, kept in step with the kit tree. What to show is computed
// here, in plain C++, and handed to a `NativeViews` that makes and changes
// the AppKit objects (MirrorViews.mm on a Mac, a recording fake in tests).
namespace macos::mirror {

// The AppKit class a kit view becomes.
enum class NativeClass : std::uint8_t {
    View,               // NSView hosting children, flipped when the kit view is
    Button,             // NSButton, momentary push
    LinkButton,         // NSButton, borderless, its title styled as a link
    Label,              // NSTextField made by labelWithString:
    ImageView,          // NSImageView
    VisualEffectView,   // NSVisualEffectView
    Switch,             // NSSwitch
    PushToggle,         // NSButton of the push-on/push-off type
    Stepper,            // NSStepper
    Slider,             // NSSlider
    SegmentedControl,   // NSSegmentedControl
    ScrollView,         // NSScrollView, the kit document view as its documentView
    PopUpButton,        // NSPopUpButton
};

// One line of the mapping: the kit class, the AppKit class it becomes, and
// whether the control's title is a label beside the AppKit control (AppKit's
// switch and stepper have no title of their own).
struct ClassMapping {
    std::string_view kitClass;
    NativeClass native;
    std::string_view appKitClass;
    bool titleBeside = false;
};

// The table every kit class is looked up in, most derived classes first.
const std::vector<ClassMapping>& classMappings();
// The line a view falls under; views of no listed class (FlippedView,
// Control, HostingView, the product's own views) are plain hosting NSViews.
const ClassMapping& mappingFor(const kit::View& view);
std::string_view appKitClassName(NativeClass native);

// What the AppKit view shows of its kit view. Grouped by what changes
// together, so a rebuild that changes nothing sends nothing.
struct NativeState {
    struct Geometry {
        kit::Rect frame;    // in the superview's coordinates, as NSView's
        kit::Rect bounds;
        bool flipped = false;
        // The AppKit control and its title inside the frame, in bounds
        // coordinates; the control fills the bounds unless its title is beside it.
        kit::Rect controlRect;
        kit::Rect titleRect;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };
    struct Visibility {
        bool hidden = false;
        double alpha = 1;
        friend bool operator==(const Visibility&, const Visibility&) = default;
    };
    struct Layer {
        bool wantsLayer = false;
        kit::LayerStyle style;
        friend bool operator==(const Layer&, const Layer&) = default;
    };
    struct Labels {
        std::string toolTip;
        std::string accessibilityLabel;
        std::string identifier;
        friend bool operator==(const Labels&, const Labels&) = default;
    };
    struct Content {
        std::string title;   // button and control titles, a label's text
        kit::ImageRef image;
        kit::Font font;
        kit::Color textColor = kit::Color::label();
        kit::TextAlignment alignment = kit::TextAlignment::Natural;
        kit::LineBreakMode lineBreakMode = kit::LineBreakMode::ByClipping;
        std::optional<kit::Color> tint;
        std::optional<kit::Color> bezelColor;
        kit::ImageScaling imageScaling = kit::ImageScaling::ProportionallyDown;
        kit::BezelStyle bezelStyle = kit::BezelStyle::Rounded;
        bool bordered = true;
        bool enabled = true;
        std::string keyEquivalent;
        std::string url;
        std::vector<std::string> items;   // segment labels, pop-up item titles
        std::vector<double> itemWidths;
        std::vector<kit::ImageRef> itemImages;   // a symbol before a segment's label
        bool tabBar = false;
        kit::VisualEffectMaterial material = kit::VisualEffectMaterial::WindowBackground;
        kit::VisualEffectState materialState = kit::VisualEffectState::FollowsWindowActiveState;
        kit::VisualEffectBlendingMode blendingMode = kit::VisualEffectBlendingMode::BehindWindow;
        kit::ImageRef maskImage;   // a material's shape, as a vector drawing
        bool showsIndicator = false;
        friend bool operator==(const Content&, const Content&);
    };
    struct Value {
        bool on = false;
        double value = 0;
        double minimum = 0;
        double maximum = 1;
        double step = 1;
        std::optional<std::size_t> selected;
        double scrollOffset = 0;
        friend bool operator==(const Value&, const Value&) = default;
    };
    struct Tracking {
        kit::Rect rect;   // in the owning view's bounds coordinates
        std::uint32_t options = 0;
        friend bool operator==(const Tracking&, const Tracking&) = default;
    };

    Geometry geometry;
    Visibility visibility;
    Layer layer;
    Labels labels;
    Content content;
    Value value;
    std::vector<Tracking> tracking;
};

// What the kit view shows now, as its AppKit view must.
NativeState nativeStateOf(const kit::View& view);

// Two images show the same: the same object, the same symbol at the same
// size and weight, the same pixels or the same drawing. Rebuilt trees make
// new image objects for what is usually the same picture.
bool sameImage(const kit::ImageRef& a, const kit::ImageRef& b);

// Which groups of a state changed.
enum Change : std::uint32_t {
    kGeometry = 1u << 0,
    kVisibility = 1u << 1,
    kLayer = 1u << 2,
    kLabels = 1u << 3,
    kContent = 1u << 4,
    kValue = 1u << 5,
    kTracking = 1u << 6,
    kEverything = (1u << 7) - 1,
};
std::uint32_t changesBetween(const NativeState& before, const NativeState& now);

using NativeHandle = std::uint64_t;

// The AppKit side, one per window. Handles are the backend's; the mirror
// never reads a native view back, it only tells what to show.
class NativeViews {
public:
    virtual ~NativeViews() = default;
    virtual NativeHandle create(NativeClass native) = 0;
    // Applies the groups named by `changes` (everything for a new view).
    virtual void update(NativeHandle handle, const NativeState& state, std::uint32_t changes) = 0;
    // The native children, back to front; sent only when they differ from the
    // last list sent. A scroll view's single child is its document view.
    virtual void setSubviews(NativeHandle parent, const std::vector<NativeHandle>& children) = 0;
    // The view left the tree; its children have been destroyed before it.
    virtual void destroy(NativeHandle handle) = 0;
};

// What an AppKit control or view reports back to kit.
struct NativeInput {
    enum class Kind : std::uint8_t { Press, Toggle, Number, Select, Scroll };
    Kind kind = Kind::Press;
    bool on = false;
    double number = 0;           // a stepper's or slider's value; a scroll view's offset from the top
    std::size_t index = 0;       // a segment or a pop-up item
};

// Hands what the user did to the AppKit control on to the kit control, as
// the same click on the kit control would: its own action runs, with its own
// checks (enabled, the part that reacts, the range). The kit control itself
// changes nothing; its owner's binding decides what it shows next.
void deliver(kit::View& view, const NativeInput& input);

// Keeps one window's AppKit tree in step with its kit tree.
//
// Matching: a kit view keeps its AppKit view while it stays in the tree.
// A rebuilt subtree is made of new kit views; each is matched to the AppKit
// view that showed its predecessor: among the children of the same parent,
// the one of the same AppKit class and the same identifier, else the same
// position among the unnamed ones of that class. Only what differs is sent;
// AppKit views with no kit view left are destroyed.
class ViewMirror {
public:
    explicit ViewMirror(NativeViews& natives) : natives_(natives) {}
    ~ViewMirror();
    ViewMirror(const ViewMirror&) = delete;
    ViewMirror& operator=(const ViewMirror&) = delete;

    // Brings the AppKit tree in step with `root` (null: no content). Lays
    // the kit tree out first, as a host does before drawing.
    void sync(const kit::ViewRef& root);
    std::optional<NativeHandle> rootHandle() const;

    // The kit view an AppKit view shows now; null once it is gone.
    kit::ViewRef viewFor(NativeHandle handle) const;
    std::optional<NativeHandle> handleFor(const kit::View& view) const;

    // An AppKit control reported a change: kit's control acts on it, the
    // tree is brought in step, and the control is sent kit's value again
    // even when it did not change, since the AppKit control changed itself
    // and kit may have refused.
    void nativeInput(NativeHandle handle, const NativeInput& input);

    struct Counts {
        std::size_t created = 0;
        std::size_t reused = 0;
        std::size_t destroyed = 0;
        std::size_t updates = 0;
    };
    // Since the mirror was made; tests and benchmarks read them.
    const Counts& counts() const { return counts_; }

private:
    struct Node {
        NativeHandle handle = 0;
        NativeClass native = NativeClass::View;
        std::weak_ptr<kit::View> view;
        NativeState state;
        std::vector<std::unique_ptr<Node>> children;
        bool resendValue = false;
    };

    std::unique_ptr<Node> make(kit::View& view);
    void reconcile(Node& node, kit::View& view, bool fresh);
    void reconcileChildren(Node& node, kit::View& view);
    void drop(std::unique_ptr<Node> node);
    Node* find(NativeHandle handle) const;

    NativeViews& natives_;
    std::weak_ptr<kit::View> root_;
    std::unique_ptr<Node> rootNode_;
    std::unordered_map<NativeHandle, Node*> byHandle_;
    std::unordered_map<const kit::View*, NativeHandle> byView_;
    Counts counts_;
};

}  // namespace macos::mirror
