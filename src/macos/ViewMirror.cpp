#include "macos/ViewMirror.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <utility>

#include "kit/Controls.h"
#include "kit/Declarative.h"
#include "kit/MouseEvent.h"

namespace macos::mirror {

namespace {

template <typename T>
bool is(const kit::View& view) {
    return dynamic_cast<const T*>(&view) != nullptr;
}

struct Entry {
    bool (*matches)(const kit::View&);
    ClassMapping mapping;
};

// Most derived first: a Link is a Button, every control a FlippedView.
const std::vector<Entry>& entries() {
    static const std::vector<Entry> table = {
        {is<kit::Switch>, {"Switch", NativeClass::Switch, "NSSwitch", true}},
        {is<kit::PushToggle>, {"PushToggle", NativeClass::PushToggle, "NSButton"}},
        {is<kit::Stepper>, {"Stepper", NativeClass::Stepper, "NSStepper", true}},
        {is<kit::Slider>, {"Slider", NativeClass::Slider, "NSSlider"}},
        {is<kit::SegmentedControl>, {"SegmentedControl", NativeClass::SegmentedControl, "NSSegmentedControl"}},
        {is<kit::PopUpButton>, {"PopUpButton", NativeClass::PopUpButton, "NSPopUpButton"}},
        {is<kit::Link>, {"Link", NativeClass::LinkButton, "NSButton"}},
        {is<kit::Button>, {"Button", NativeClass::Button, "NSButton"}},
        {is<kit::Label>, {"Label", NativeClass::Label, "NSTextField"}},
        {is<kit::ImageView>, {"ImageView", NativeClass::ImageView, "NSImageView"}},
        {is<kit::VisualEffectView>, {"VisualEffectView", NativeClass::VisualEffectView, "NSVisualEffectView"}},
        {is<kit::ScrollView>, {"ScrollView", NativeClass::ScrollView, "NSScrollView"}},
        {is<kit::ui::HostingView>, {"HostingView", NativeClass::View, "NSView"}},
        {is<kit::Control>, {"Control", NativeClass::View, "NSView"}},
        {is<kit::FlippedView>, {"FlippedView", NativeClass::View, "NSView"}},
        {is<kit::View>, {"View", NativeClass::View, "NSView"}},
    };
    return table;
}

bool sameColor(const std::optional<kit::Color>& a, const std::optional<kit::Color>& b) { return a == b; }

}  // namespace

const std::vector<ClassMapping>& classMappings() {
    static const std::vector<ClassMapping> mappings = [] {
        std::vector<ClassMapping> out;
        for (const Entry& entry : entries()) out.push_back(entry.mapping);
        return out;
    }();
    return mappings;
}

const ClassMapping& mappingFor(const kit::View& view) {
    for (const Entry& entry : entries())
        if (entry.matches(view)) return entry.mapping;
    return entries().back().mapping;
}

std::string_view appKitClassName(NativeClass native) {
    for (const Entry& entry : entries())
        if (entry.mapping.native == native) return entry.mapping.appKitClass;
    return "NSView";
}

bool sameImage(const kit::ImageRef& a, const kit::ImageRef& b) {
    if (a == b) return true;
    if (!a || !b) return false;
    if (a->size() != b->size() || a->isTemplate() != b->isTemplate()) return false;
    if (!a->symbolName().empty() || !b->symbolName().empty())
        return a->symbolName() == b->symbolName() && a->symbolWeight() == b->symbolWeight() &&
               a->accessibilityDescription() == b->accessibilityDescription();
    if (a->drawing() || b->drawing()) return a->drawing().has_value() == b->drawing().has_value() &&
                                             a->drawing()->shapes == b->drawing()->shapes &&
                                             a->drawing()->flipped == b->drawing()->flipped;
    return a->pixelStorage() == b->pixelStorage() && a->pixelWidth() == b->pixelWidth();
}

bool operator==(const NativeState::Content& a, const NativeState::Content& b) {
    return a.title == b.title && sameImage(a.image, b.image) && a.font == b.font && a.textColor == b.textColor &&
           a.alignment == b.alignment && a.lineBreakMode == b.lineBreakMode && sameColor(a.tint, b.tint) &&
           sameColor(a.bezelColor, b.bezelColor) && a.imageScaling == b.imageScaling && a.bezelStyle == b.bezelStyle &&
           a.bordered == b.bordered && a.enabled == b.enabled && a.keyEquivalent == b.keyEquivalent && a.url == b.url &&
           a.items == b.items && a.itemWidths == b.itemWidths &&
           std::equal(a.itemImages.begin(), a.itemImages.end(), b.itemImages.begin(), b.itemImages.end(), sameImage) &&
           a.tabBar == b.tabBar && a.material == b.material &&
           a.materialState == b.materialState && a.blendingMode == b.blendingMode &&
           sameImage(a.maskImage, b.maskImage) && a.showsIndicator == b.showsIndicator;
}

NativeState nativeStateOf(const kit::View& view) {
    NativeState s;
    const kit::Rect b = view.bounds();
    s.geometry = {view.frame(), b, view.isFlipped(), b, {}};
    s.visibility = {view.isHidden(), view.alphaValue()};
    s.layer = {view.wantsLayer(), view.layerStyle()};
    s.labels.toolTip = view.toolTip();
    s.labels.identifier = view.identifier();
    for (const kit::TrackingAreaRef& area : view.trackingAreas())
        if (area) s.tracking.push_back({area->rect(), area->options()});

    NativeState::Content& c = s.content;
    NativeState::Value& v = s.value;
    if (const auto* control = dynamic_cast<const kit::Control*>(&view)) c.title = control->title();
    // A title beside the control sits in what the control leaves, the gap
    // the Linux painter leaves too.
    auto beside = [&](kit::Rect control, double gap) {
        s.geometry.controlRect = control;
        s.geometry.titleRect = {b.minX(), b.minY(), std::max(0.0, control.minX() - gap - b.minX()), b.height()};
    };
    if (const auto* toggle = dynamic_cast<const kit::Switch*>(&view)) {
        v.on = toggle->isOn();
        beside(toggle->switchRect(), 8);
    } else if (const auto* push = dynamic_cast<const kit::PushToggle*>(&view)) {
        v.on = push->isOn();
    } else if (const auto* stepper = dynamic_cast<const kit::Stepper*>(&view)) {
        v.value = stepper->value();
        v.minimum = stepper->minimum();
        v.maximum = stepper->maximum();
        v.step = stepper->step();
        const kit::Rect up = stepper->upArrowRect();
        beside({up.minX(), up.minY(), up.width(), up.height() + stepper->downArrowRect().height()}, 6);
    } else if (const auto* slider = dynamic_cast<const kit::Slider*>(&view)) {
        v.value = slider->value();
        v.minimum = slider->minimum();
        v.maximum = slider->maximum();
    } else if (const auto* popUp = dynamic_cast<const kit::PopUpButton*>(&view)) {
        c.items = popUp->itemTitles();
        v.selected = popUp->indexOfSelectedItem();
    } else if (const auto* segments = dynamic_cast<const kit::SegmentedControl*>(&view)) {
        c.items = segments->labels();
        c.itemImages = segments->images();
        for (std::size_t i = 0; i < c.items.size(); ++i) c.itemWidths.push_back(segments->segmentRect(i).width());
        c.tabBar = segments->isTabBar();
        v.selected = segments->selected();
    } else if (const auto* button = dynamic_cast<const kit::Button*>(&view)) {
        c.title = button->title();
        c.image = button->image();
        c.font = kit::Font::systemFont(button->fontSize());
        c.tint = button->contentTintColor();
        c.bezelColor = button->bezelColor();
        c.imageScaling = button->imageScaling();
        c.bezelStyle = button->bezelStyle();
        c.bordered = button->isBordered();
        c.enabled = button->isEnabled();
        c.keyEquivalent = button->keyEquivalent();
        s.labels.accessibilityLabel = button->accessibilityLabel();
        if (const auto* link = dynamic_cast<const kit::Link*>(&view)) c.url = link->url();
    } else if (const auto* label = dynamic_cast<const kit::Label*>(&view)) {
        c.title = label->text();
        c.font = label->font();
        c.textColor = label->textColor();
        c.alignment = label->alignment();
        c.lineBreakMode = label->lineBreakMode();
    } else if (const auto* image = dynamic_cast<const kit::ImageView*>(&view)) {
        c.image = image->image();
        c.imageScaling = image->imageScaling();
        c.tint = image->contentTintColor();
        if (c.image) s.labels.accessibilityLabel = c.image->accessibilityDescription();
    } else if (const auto* material = dynamic_cast<const kit::VisualEffectView*>(&view)) {
        c.material = material->material();
        c.materialState = material->state();
        c.blendingMode = material->blendingMode();
        c.maskImage = material->maskImage();
    } else if (const auto* scroll = dynamic_cast<const kit::ScrollView*>(&view)) {
        c.showsIndicator = scroll->showsIndicator();
        v.scrollOffset = scroll->contentOffset();
    }
    return s;
}

std::uint32_t changesBetween(const NativeState& before, const NativeState& now) {
    std::uint32_t changes = 0;
    if (!(before.geometry == now.geometry)) changes |= kGeometry;
    if (!(before.visibility == now.visibility)) changes |= kVisibility;
    if (!(before.layer == now.layer)) changes |= kLayer;
    if (!(before.labels == now.labels)) changes |= kLabels;
    if (!(before.content == now.content)) changes |= kContent;
    if (!(before.value == now.value)) changes |= kValue;
    if (before.tracking != now.tracking) changes |= kTracking;
    return changes;
}

// --- from AppKit to kit -----------------------------------------------------------------

namespace {

// A press and release at one point of the view, as the user's click on the
// kit control would arrive: the control's own test of where it reacts runs.
void clickAt(kit::View& view, kit::Point pointInBounds) {
    auto keepAlive = view.shared_from_this();
    kit::MouseEvent event;
    event.locationInWindow = view.convertToRoot(pointInBounds);
    event.clickCount = 1;
    event.type = kit::MouseEvent::Type::LeftMouseDown;
    view.mouseDown(event);
    event.type = kit::MouseEvent::Type::LeftMouseUp;
    view.mouseUp(event);
}

kit::Point centre(kit::Rect r) { return {r.midX(), r.midY()}; }

}  // namespace

void deliver(kit::View& view, const NativeInput& input) {
    using Kind = NativeInput::Kind;
    if (auto* toggle = dynamic_cast<kit::Switch*>(&view)) {
        if (input.kind == Kind::Toggle && input.on != toggle->isOn()) clickAt(view, centre(toggle->switchRect()));
    } else if (auto* push = dynamic_cast<kit::PushToggle*>(&view)) {
        if (input.kind == Kind::Toggle && input.on != push->isOn()) clickAt(view, centre(view.bounds()));
    } else if (auto* stepper = dynamic_cast<kit::Stepper*>(&view)) {
        // AppKit's stepper moves by one increment per click; kit asks for
        // the step itself, so only the direction is taken.
        if (input.kind != Kind::Number || input.number == stepper->value()) return;
        clickAt(view, centre(input.number > stepper->value() ? stepper->upArrowRect() : stepper->downArrowRect()));
    } else if (auto* slider = dynamic_cast<kit::Slider*>(&view)) {
        if (input.kind == Kind::Number) clickAt(view, slider->pointForValue(input.number));
    } else if (auto* popUp = dynamic_cast<kit::PopUpButton*>(&view)) {
        // AppKit's menu has been tracked already: kit's menu is opened and
        // the item chosen in it, as a click on kit's button and item would.
        if (input.kind != Kind::Select || input.index >= popUp->itemTitles().size()) return;
        clickAt(view, centre(view.bounds()));
        if (auto menu = popUp->menu()) clickAt(*menu, centre(menu->itemRect(input.index)));
    } else if (auto* segments = dynamic_cast<kit::SegmentedControl*>(&view)) {
        if (input.kind == Kind::Select && input.index < segments->labels().size())
            clickAt(view, centre(segments->segmentRect(input.index)));
    } else if (auto* button = dynamic_cast<kit::Button*>(&view)) {
        if (input.kind == Kind::Press) button->performClick();
    } else if (auto* scroll = dynamic_cast<kit::ScrollView*>(&view)) {
        if (input.kind == Kind::Scroll && std::isfinite(input.number)) scroll->scrollBy(input.number - scroll->contentOffset());
    }
}

// --- the mirror ---------------------------------------------------------------------------

ViewMirror::~ViewMirror() {
    if (rootNode_) drop(std::move(rootNode_));
}

std::optional<NativeHandle> ViewMirror::rootHandle() const {
    if (!rootNode_) return std::nullopt;
    return rootNode_->handle;
}

ViewMirror::Node* ViewMirror::find(NativeHandle handle) const {
    auto it = byHandle_.find(handle);
    return it == byHandle_.end() ? nullptr : it->second;
}

kit::ViewRef ViewMirror::viewFor(NativeHandle handle) const {
    const Node* node = find(handle);
    return node ? node->view.lock() : nullptr;
}

std::optional<NativeHandle> ViewMirror::handleFor(const kit::View& view) const {
    auto it = byView_.find(&view);
    if (it == byView_.end()) return std::nullopt;
    // The map may hold the address of a view that is gone and was reused.
    const Node* node = find(it->second);
    if (!node || node->view.lock().get() != &view) return std::nullopt;
    return it->second;
}

void ViewMirror::sync(const kit::ViewRef& root) {
    byView_.clear();
    if (!root) {
        if (rootNode_) drop(std::move(rootNode_));
        root_.reset();
        return;
    }
    root->layoutSubtreeIfNeeded();
    root->updateTrackingAreasIfNeeded();
    const NativeClass native = mappingFor(*root).native;
    if (rootNode_ && rootNode_->native != native) drop(std::move(rootNode_));
    root_ = root;
    if (!rootNode_) {
        rootNode_ = make(*root);
        return;
    }
    ++counts_.reused;
    reconcile(*rootNode_, *root, false);
}

std::unique_ptr<ViewMirror::Node> ViewMirror::make(kit::View& view) {
    auto node = std::make_unique<Node>();
    node->native = mappingFor(view).native;
    node->handle = natives_.create(node->native);
    byHandle_[node->handle] = node.get();
    ++counts_.created;
    reconcile(*node, view, true);
    return node;
}

void ViewMirror::reconcile(Node& node, kit::View& view, bool fresh) {
    NativeState state = nativeStateOf(view);
    std::uint32_t changes = fresh ? kEverything : changesBetween(node.state, state);
    if (std::exchange(node.resendValue, false)) changes |= kValue;
    node.view = view.weak_from_this();
    byView_[&view] = node.handle;
    if (changes != 0) {
        natives_.update(node.handle, state, changes);
        ++counts_.updates;
    }
    node.state = std::move(state);
    reconcileChildren(node, view);
}

void ViewMirror::reconcileChildren(Node& node, kit::View& view) {
    std::vector<NativeHandle> before;
    before.reserve(node.children.size());
    for (const auto& child : node.children) before.push_back(child->handle);

    std::vector<std::unique_ptr<Node>> old = std::move(node.children);

    // Pass 0, the usual rebuild: the same classes and identifiers in the same
    // places, and no kit view that is still there moved. Matched in place.
    const auto& subviews = view.subviews();
    bool inPlace = old.size() == subviews.size();
    for (std::size_t i = 0; inPlace && i < subviews.size(); ++i) {
        const kit::ViewRef& subview = subviews[i];
        if (!subview) {
            inPlace = false;
            break;
        }
        const kit::ViewRef previous = old[i]->view.lock();
        inPlace = old[i]->native == mappingFor(*subview).native && old[i]->state.labels.identifier == subview->identifier() &&
                  (!previous || previous == subview || !previous->isDescendantOf(&view));
    }
    if (inPlace) {
        for (std::size_t i = 0; i < subviews.size(); ++i) {
            ++counts_.reused;
            reconcile(*old[i], *subviews[i], false);
            node.children.push_back(std::move(old[i]));
        }
        return;
    }

    // Pass 1: the kit view itself is still there.
    std::unordered_map<const kit::View*, std::size_t> byView;
    for (std::size_t i = 0; i < old.size(); ++i)
        if (auto v = old[i]->view.lock()) byView.emplace(v.get(), i);

    // Pass 2: a successor takes the place of the same class and identifier,
    // or of the same rank among the unnamed views of its class.
    using Key = std::pair<NativeClass, std::string>;
    auto keyOf = [](NativeClass native, const std::string& identifier, std::map<NativeClass, int>& ranks) {
        if (!identifier.empty()) return Key{native, "#" + identifier};
        return Key{native, std::to_string(ranks[native]++)};
    };
    std::map<Key, std::deque<std::size_t>> byKey;
    {
        std::map<NativeClass, int> ranks;
        for (std::size_t i = 0; i < old.size(); ++i)
            byKey[keyOf(old[i]->native, old[i]->state.labels.identifier, ranks)].push_back(i);
    }

    std::map<NativeClass, int> ranks;
    for (const kit::ViewRef& subview : view.subviews()) {
        if (!subview) continue;
        const NativeClass native = mappingFor(*subview).native;
        const Key key = keyOf(native, subview->identifier(), ranks);
        std::unique_ptr<Node> match;
        if (auto it = byView.find(subview.get()); it != byView.end() && old[it->second] &&
                                                  old[it->second]->native == native) {
            match = std::move(old[it->second]);
        } else if (auto k = byKey.find(key); k != byKey.end()) {
            while (!k->second.empty() && !match) {
                match = std::move(old[k->second.front()]);
                k->second.pop_front();
            }
        }
        if (match) {
            ++counts_.reused;
            reconcile(*match, *subview, false);
            node.children.push_back(std::move(match));
        } else {
            node.children.push_back(make(*subview));
        }
    }
    for (auto& leftover : old)
        if (leftover) drop(std::move(leftover));

    std::vector<NativeHandle> after;
    after.reserve(node.children.size());
    for (const auto& child : node.children) after.push_back(child->handle);
    if (after != before) natives_.setSubviews(node.handle, after);
}

void ViewMirror::drop(std::unique_ptr<Node> node) {
    for (auto& child : node->children) drop(std::move(child));
    byHandle_.erase(node->handle);
    natives_.destroy(node->handle);
    ++counts_.destroyed;
}

void ViewMirror::nativeInput(NativeHandle handle, const NativeInput& input) {
    Node* node = find(handle);
    if (!node) return;
    node->resendValue = true;
    if (kit::ViewRef view = node->view.lock()) deliver(*view, input);
    if (kit::ViewRef root = root_.lock()) sync(root);
}

}  // namespace macos::mirror
