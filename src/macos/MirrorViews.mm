#include "macos/MirrorViews.h"

#import <QuartzCore/QuartzCore.h>

#include <algorithm>
#include <string>

#include "kit/Controls.h"
#include "macos/KitImages.h"
#include "macos/MirrorView.h"
#include "macos/MacText.h"

namespace macos {

using mirror::NativeClass;
using mirror::NativeHandle;
using mirror::NativeState;

namespace {

NSRect nsRect(kit::Rect r) { return NSMakeRect(r.origin.x, r.origin.y, r.size.width, r.size.height); }

NSString* nsString(const std::string& text) {
    NSString* string = [NSString stringWithUTF8String:text.c_str()];
    return string != nil ? string : @"";
}

NSTextAlignment nsAlignment(kit::TextAlignment alignment) {
    switch (alignment) {
        case kit::TextAlignment::Left: return NSTextAlignmentLeft;
        case kit::TextAlignment::Center: return NSTextAlignmentCenter;
        case kit::TextAlignment::Right: return NSTextAlignmentRight;
        case kit::TextAlignment::Natural: return NSTextAlignmentNatural;
    }
    return NSTextAlignmentNatural;
}

NSTextField* makeLabel() {
    NSTextField* label = [NSTextField labelWithString:@""];
    [label setLineBreakMode:NSLineBreakByTruncatingTail];
    return label;
}

// AppKit's own controls draw their state; the view that holds a control
// and its title is a plain flipped host like the kit control.
NSView* makeControl(NativeClass cls, DurazziziMirrorTarget* target) {
    NSControl* control = nil;
    switch (cls) {
        case NativeClass::Switch: control = autoreleased([[NSSwitch alloc] initWithFrame:NSZeroRect]); break;
        case NativeClass::Stepper: {
            NSStepper* stepper = autoreleased([[NSStepper alloc] initWithFrame:NSZeroRect]);
            [stepper setValueWraps:NO];
            [stepper setAutorepeat:NO];
            control = stepper;
            break;
        }
        case NativeClass::Slider: {
            NSSlider* slider = autoreleased([[NSSlider alloc] initWithFrame:NSZeroRect]);
            // kit's slider acts on the release, as a slider that is not continuous.
            [slider setContinuous:NO];
            control = slider;
            break;
        }
        case NativeClass::SegmentedControl: {
            NSSegmentedControl* segments = autoreleased([[NSSegmentedControl alloc] initWithFrame:NSZeroRect]);
            [segments setTrackingMode:NSSegmentSwitchTrackingSelectOne];
            control = segments;
            break;
        }
        case NativeClass::PopUpButton:
            control = autoreleased([[NSPopUpButton alloc] initWithFrame:NSZeroRect pullsDown:NO]);
            break;
        case NativeClass::Button:
        case NativeClass::LinkButton:
        case NativeClass::PushToggle: {
            NSButton* button = autoreleased([[NSButton alloc] initWithFrame:NSZeroRect]);
            [button setButtonType:cls == NativeClass::PushToggle ? NSButtonTypePushOnPushOff : NSButtonTypeMomentaryPushIn];
            if (cls == NativeClass::LinkButton) [button setBordered:NO];
            control = button;
            break;
        }
        default: return nil;
    }
    [control setTarget:target];
    [control setAction:@selector(controlChanged:)];
    return control;
}

// A view AppKit may still hold for a moment must not call into its owner.
void forget(NSView* view) {
    if ([view isKindOfClass:[DurazziziMirrorView class]]) static_cast<DurazziziMirrorView*>(view)->owner = nullptr;
    if ([view isKindOfClass:[DurazziziMirrorScrollView class]])
        static_cast<DurazziziMirrorScrollView*>(view)->owner = nullptr;
}

}  // namespace

MirrorViews::MirrorViews() : target_(ObjCRef<DurazziziMirrorTarget>::adopt([[DurazziziMirrorTarget alloc] init])) {
    target_.get()->owner = this;
}

MirrorViews::~MirrorViews() {
    // The mirror is this object's first member and goes last: its views
    // are taken down while the map that holds them is still here.
    mirror_.sync(nullptr);
    target_.get()->owner = nullptr;
    // The mirror destroys what is left through destroy(); views that AppKit
    // still holds (an event in flight) must not call back into a dead owner.
    for (auto& entry : natives_) forget(entry.second.view.get());
}

void MirrorViews::setContent(kit::ViewRef root) {
    content_ = std::move(root);
    router_.setRoot(content_);
    sync();
}

void MirrorViews::syncIfNeeded() {
    if (!content_) return;
    if (content_->needsLayout() || content_->subtreeNeedsDisplay()) sync();
}

void MirrorViews::sync() {
    applying_ = true;
    mirror_.sync(content_);
    applying_ = false;
    if (content_) content_->clearNeedsDisplayInSubtree();
}

NSView* MirrorViews::rootView() const {
    const auto handle = mirror_.rootHandle();
    if (!handle) return nil;
    auto it = natives_.find(*handle);
    return it == natives_.end() ? nil : it->second.view.get();
}

NSView* MirrorViews::nativeViewFor(const kit::View& view) const {
    const auto handle = mirror_.handleFor(view);
    if (!handle) return nil;
    auto it = natives_.find(*handle);
    return it == natives_.end() ? nil : it->second.view.get();
}

kit::ViewRef MirrorViews::kitViewFor(NSView* view) const {
    for (const auto& [handle, native] : natives_)
        if (native.view.get() == view) return mirror_.viewFor(handle);
    return nullptr;
}

void MirrorViews::setAppearance(std::optional<kit::Appearance> appearance) {
    appearance_ = appearance;
    appearanceChanged();
}

bool MirrorViews::isRoot(NativeHandle handle) const { return mirror_.rootHandle() == handle; }

void MirrorViews::appearanceChanged() {
    for (auto& [handle, native] : natives_) {
        if (kit::ViewRef view = mirror_.viewFor(handle)) {
            const NativeState state = mirror::nativeStateOf(*view);
            applyLayer(native, state);
            applyContent(native, state);
        }
    }
}

// --- colours ---------------------------------------------------------------------------

NSColor* MirrorViews::color(const kit::Color& c) const {
    using S = kit::Color::Semantic;
    // Semantic colours stay AppKit's dynamic ones, so text and tints follow
    // the appearance by themselves.
    switch (c.semantic) {
        case S::Label: return [[NSColor labelColor] colorWithAlphaComponent:c.alpha];
        case S::SecondaryLabel: return [[NSColor secondaryLabelColor] colorWithAlphaComponent:c.alpha];
        case S::Accent: return [[NSColor controlAccentColor] colorWithAlphaComponent:c.alpha];
        case S::WindowBackground: return [[NSColor windowBackgroundColor] colorWithAlphaComponent:c.alpha];
        case S::TextBackground: return [[NSColor textBackgroundColor] colorWithAlphaComponent:c.alpha];
        case S::White: return [NSColor colorWithWhite:1 alpha:c.alpha];
        case S::Black: return [NSColor colorWithWhite:0 alpha:c.alpha];
        case S::Clear: return [NSColor clearColor];
        case S::None: break;
    }
    return [NSColor colorWithSRGBRed:c.red green:c.green blue:c.blue alpha:c.alpha];
}

CGColorRef MirrorViews::layerColor(NSView* view, const kit::Color& c) const {
    // A layer keeps a fixed colour: a dynamic one is resolved in the view's
    // appearance now, and again when the appearance changes.
    if (c.semantic == kit::Color::Semantic::None || c.semantic == kit::Color::Semantic::Clear) {
        return [color(c) CGColor];
    }
    const kit::Appearance look = appearance_.value_or(
        [[[view effectiveAppearance] bestMatchFromAppearancesWithNames:@[ NSAppearanceNameAqua, NSAppearanceNameDarkAqua ]]
            isEqualToString:NSAppearanceNameDarkAqua]
            ? kit::Appearance::DarkAqua
            : kit::Appearance::Aqua);
    const kit::Color resolved = kit::resolve(c, look);
    return [[NSColor colorWithSRGBRed:resolved.red green:resolved.green blue:resolved.blue alpha:resolved.alpha] CGColor];
}

// --- making and changing --------------------------------------------------------------------

NativeHandle MirrorViews::create(NativeClass cls) {
    const NativeHandle handle = next_++;
    Native native;
    native.cls = cls;
    NSView* view = nil;
    switch (cls) {
        case NativeClass::View:
        case NativeClass::Switch:
        case NativeClass::Stepper: {
            DurazziziMirrorView* host = autoreleased([[DurazziziMirrorView alloc] initWithFrame:NSZeroRect]);
            host->owner = this;
            host->handle = handle;
            view = host;
            if (cls != NativeClass::View) {
                // AppKit's switch and stepper have no title: a label beside them shows it.
                native.title = ObjCRef<NSTextField>::retain(makeLabel());
                native.control = ObjCRef<NSView>::retain(makeControl(cls, target_.get()));
                [host addSubview:native.title.get()];
                [host addSubview:native.control.get()];
                byControl_[(__bridge const void*)native.control.get()] = handle;
            }
            break;
        }
        case NativeClass::Label: view = makeLabel(); break;
        case NativeClass::ImageView: view = autoreleased([[NSImageView alloc] initWithFrame:NSZeroRect]); break;
        case NativeClass::VisualEffectView:
            view = autoreleased([[NSVisualEffectView alloc] initWithFrame:NSZeroRect]);
            break;
        case NativeClass::ScrollView: {
            DurazziziMirrorScrollView* scroll =
                autoreleased([[DurazziziMirrorScrollView alloc] initWithFrame:NSZeroRect]);
            scroll->owner = this;
            scroll->handle = handle;
            [scroll setDrawsBackground:NO];
            [scroll setBorderType:NSNoBorder];
            [scroll setHasHorizontalScroller:NO];
            [scroll setAutohidesScrollers:YES];
            view = scroll;
            break;
        }
        default:
            view = makeControl(cls, target_.get());
            byControl_[(__bridge const void*)view] = handle;
            break;
    }
    native.view = ObjCRef<NSView>::retain(view);
    natives_.emplace(handle, std::move(native));
    return handle;
}

void MirrorViews::update(NativeHandle handle, const NativeState& state, std::uint32_t changes) {
    auto it = natives_.find(handle);
    if (it == natives_.end()) return;
    Native& native = it->second;
    NSView* view = native.view.get();
    if (changes & mirror::kGeometry) applyGeometry(native, state);
    if (changes & mirror::kVisibility) {
        [view setHidden:state.visibility.hidden];
        [view setAlphaValue:state.visibility.alpha];
    }
    if (changes & mirror::kLayer) applyLayer(native, state);
    if (changes & mirror::kLabels) {
        [view setToolTip:state.labels.toolTip.empty() ? nil : nsString(state.labels.toolTip)];
        [view setIdentifier:nsString(state.labels.identifier)];
        if (!state.labels.accessibilityLabel.empty())
            [view setAccessibilityLabel:nsString(state.labels.accessibilityLabel)];
    }
    if (changes & mirror::kContent) applyContent(native, state);
    if (changes & mirror::kValue) applyValue(native, state);
    if (changes & mirror::kTracking) applyTracking(native, state);
}

void MirrorViews::applyGeometry(Native& native, const NativeState& state) {
    NSView* view = native.view.get();
    [view setFrame:nsRect(state.geometry.frame)];
    if ([view isKindOfClass:[DurazziziMirrorView class]]) {
        static_cast<DurazziziMirrorView*>(view)->flipped = state.geometry.flipped;
    }
    // A scroll view's bounds origin is its scroll position, which lives in
    // its clip view (applyValue).
    if (native.cls != NativeClass::ScrollView) [view setBounds:nsRect(state.geometry.bounds)];
    if (native.control) {
        [native.control.get() setFrame:nsRect(state.geometry.controlRect)];
        [native.title.get() setFrame:nsRect(state.geometry.titleRect)];
    }
}

void MirrorViews::applyLayer(Native& native, const NativeState& state) {
    NSView* view = native.view.get();
    const NativeState::Layer& layer = state.layer;
    if (!layer.wantsLayer) {
        // A view that never asked for a layer keeps AppKit's own.
        if ([view layer] == nil) return;
        [[view layer] setBackgroundColor:nullptr];
        [[view layer] setBorderWidth:0];
        [[view layer] setCornerRadius:0];
        [[view layer] setMasksToBounds:NO];
        return;
    }
    [view setWantsLayer:YES];
    CALayer* cg = [view layer];
    [cg setCornerRadius:layer.style.cornerRadius];
    [cg setMasksToBounds:layer.style.masksToBounds];
    [cg setBackgroundColor:layer.style.backgroundColor.isClear() ? nullptr : layerColor(view, layer.style.backgroundColor)];
    [cg setBorderWidth:layer.style.borderWidth];
    [cg setBorderColor:layerColor(view, layer.style.borderColor)];
}

void MirrorViews::applyContent(Native& native, const NativeState& state) {
    const NativeState::Content& c = state.content;
    NSView* view = native.view.get();
    switch (native.cls) {
        case NativeClass::Label: {
            NSTextField* label = static_cast<NSTextField*>(view);
            [label setStringValue:nsString(c.title)];
            [label setFont:systemFont(c.font)];
            [label setTextColor:color(c.textColor)];
            [label setAlignment:nsAlignment(c.alignment)];
            [label setLineBreakMode:static_cast<NSLineBreakMode>(c.lineBreakMode)];
            break;
        }
        case NativeClass::ImageView: {
            NSImageView* image = static_cast<NSImageView*>(view);
            [image setImage:nsImageFromKit(c.image)];
            [image setImageScaling:static_cast<NSImageScaling>(c.imageScaling)];
            [image setContentTintColor:c.tint ? color(*c.tint) : nil];
            break;
        }
        case NativeClass::VisualEffectView: {
            NSVisualEffectView* effect = static_cast<NSVisualEffectView*>(view);
            [effect setMaterial:static_cast<NSVisualEffectMaterial>(c.material)];
            [effect setState:static_cast<NSVisualEffectState>(c.materialState)];
            [effect setBlendingMode:static_cast<NSVisualEffectBlendingMode>(c.blendingMode)];
            // The panel's shape with its pointer triangle: AppKit draws the
            // mask from the same shapes the Linux renderer clips to.
            [effect setMaskImage:nsImageFromKit(c.maskImage)];
            break;
        }
        case NativeClass::ScrollView:
            [static_cast<NSScrollView*>(view) setHasVerticalScroller:c.showsIndicator];
            break;
        case NativeClass::Button:
        case NativeClass::LinkButton:
        case NativeClass::PushToggle: {
            NSButton* button = static_cast<NSButton*>(view);
            NSFont* font = systemFont(c.font);
            if (native.cls == NativeClass::LinkButton) {
                NSDictionary* attributes = @{
                    NSForegroundColorAttributeName : [NSColor linkColor],
                    NSFontAttributeName : font,
                };
                [button setAttributedTitle:autoreleased([[NSAttributedString alloc] initWithString:nsString(c.title)
                                                                                        attributes:attributes])];
            } else {
                [button setTitle:nsString(c.title)];
                [button setFont:font];
                [button setBezelStyle:static_cast<NSBezelStyle>(c.bezelStyle)];
                [button setBordered:c.bordered];
                [button setBezelColor:c.bezelColor ? color(*c.bezelColor) : nil];
            }
            NSImage* image = nsImageFromKit(c.image);
            [button setImage:image];
            [button setImagePosition:image == nil ? NSNoImage : (c.title.empty() ? NSImageOnly : NSImageLeading)];
            [button setImageScaling:static_cast<NSImageScaling>(c.imageScaling)];
            [button setContentTintColor:c.tint ? color(*c.tint) : nil];
            [button setEnabled:c.enabled];
            [button setKeyEquivalent:nsString(c.keyEquivalent)];
            break;
        }
        case NativeClass::SegmentedControl: {
            NSSegmentedControl* segments = static_cast<NSSegmentedControl*>(view);
            [segments setSegmentCount:static_cast<NSInteger>(c.items.size())];
            for (std::size_t i = 0; i < c.items.size(); ++i) {
                [segments setLabel:nsString(c.items[i]) forSegment:static_cast<NSInteger>(i)];
                if (i < c.itemWidths.size()) [segments setWidth:c.itemWidths[i] forSegment:static_cast<NSInteger>(i)];
                [segments setImage:i < c.itemImages.size() ? nsImageFromKit(c.itemImages[i]) : nil
                        forSegment:static_cast<NSInteger>(i)];
            }
            break;
        }
        case NativeClass::PopUpButton: {
            NSPopUpButton* popUp = static_cast<NSPopUpButton*>(view);
            [popUp removeAllItems];
            for (const std::string& item : c.items) [popUp addItemWithTitle:nsString(item)];
            break;
        }
        case NativeClass::Switch:
        case NativeClass::Stepper:
            [native.title.get() setStringValue:nsString(c.title)];
            [native.title.get() setFont:systemFont(c.font)];
            break;
        case NativeClass::View:
        case NativeClass::Slider: break;
    }
}

void MirrorViews::applyValue(Native& native, const NativeState& state) {
    const NativeState::Value& v = state.value;
    NSView* view = native.control ? native.control.get() : native.view.get();
    switch (native.cls) {
        case NativeClass::Switch:
            [static_cast<NSSwitch*>(view) setState:v.on ? NSControlStateValueOn : NSControlStateValueOff];
            break;
        case NativeClass::PushToggle:
            [static_cast<NSButton*>(view) setState:v.on ? NSControlStateValueOn : NSControlStateValueOff];
            break;
        case NativeClass::Stepper: {
            NSStepper* stepper = static_cast<NSStepper*>(view);
            [stepper setMinValue:v.minimum];
            [stepper setMaxValue:v.maximum];
            [stepper setIncrement:v.step];
            [stepper setDoubleValue:v.value];
            break;
        }
        case NativeClass::Slider: {
            NSSlider* slider = static_cast<NSSlider*>(view);
            [slider setMinValue:v.minimum];
            [slider setMaxValue:v.maximum];
            [slider setDoubleValue:v.value];
            break;
        }
        case NativeClass::SegmentedControl:
            [static_cast<NSSegmentedControl*>(view) setSelectedSegment:v.selected ? static_cast<NSInteger>(*v.selected) : -1];
            break;
        case NativeClass::PopUpButton:
            [static_cast<NSPopUpButton*>(view) selectItemAtIndex:v.selected ? static_cast<NSInteger>(*v.selected) : -1];
            break;
        case NativeClass::ScrollView: {
            NSScrollView* scroll = static_cast<NSScrollView*>(view);
            NSClipView* clip = [scroll contentView];
            [clip scrollToPoint:NSMakePoint(0, v.scrollOffset)];
            [scroll reflectScrolledClipView:clip];
            break;
        }
        default: break;
    }
}

void MirrorViews::applyTracking(Native& native, const NativeState& state) {
    NSView* view = native.view.get();
    for (const auto& area : native.areas) [view removeTrackingArea:area.get()];
    native.areas.clear();
    for (const NativeState::Tracking& area : state.tracking) {
        // One object receives every area's events and hands them to kit's
        // router, which decides entries and exits the way every host does.
        auto made = ObjCRef<NSTrackingArea>::adopt([[NSTrackingArea alloc]
            initWithRect:nsRect(area.rect)
                 options:static_cast<NSTrackingAreaOptions>(area.options)
                   owner:target_.get()
                userInfo:nil]);
        [view addTrackingArea:made.get()];
        native.areas.push_back(std::move(made));
    }
}

void MirrorViews::setSubviews(NativeHandle parent, const std::vector<NativeHandle>& children) {
    auto it = natives_.find(parent);
    if (it == natives_.end()) return;
    NSView* view = it->second.view.get();
    if (it->second.cls == NativeClass::ScrollView) {
        NSView* document = nil;
        if (!children.empty()) {
            if (auto child = natives_.find(children.front()); child != natives_.end()) document = child->second.view.get();
        }
        [static_cast<NSScrollView*>(view) setDocumentView:document];
        return;
    }
    NSMutableArray* list = [NSMutableArray arrayWithCapacity:children.size() + 2];
    // A control's own title and control stay behind its kit children.
    if (it->second.title) [list addObject:it->second.title.get()];
    if (it->second.control) [list addObject:it->second.control.get()];
    for (NativeHandle handle : children) {
        if (auto child = natives_.find(handle); child != natives_.end()) [list addObject:child->second.view.get()];
    }
    [view setSubviews:list];
}

void MirrorViews::destroy(NativeHandle handle) {
    auto it = natives_.find(handle);
    if (it == natives_.end()) return;
    Native& native = it->second;
    NSView* view = native.view.get();
    for (const auto& area : native.areas) [view removeTrackingArea:area.get()];
    forget(view);
    byControl_.erase((__bridge const void*)(native.control ? native.control.get() : view));
    [view removeFromSuperview];
    natives_.erase(it);
}

// --- from AppKit back to kit ---------------------------------------------------------------

void MirrorViews::controlChanged(id sender) {
    if (applying_) return;
    auto it = byControl_.find((__bridge const void*)sender);
    if (it == byControl_.end()) return;
    const NativeHandle handle = it->second;
    const auto native = natives_.find(handle);
    if (native == natives_.end()) return;
    mirror::NativeInput input;
    using Kind = mirror::NativeInput::Kind;
    switch (native->second.cls) {
        case NativeClass::Switch:
        case NativeClass::PushToggle:
            input.kind = Kind::Toggle;
            input.on = native->second.cls == NativeClass::Switch
                           ? [static_cast<NSSwitch*>(sender) state] == NSControlStateValueOn
                           : [static_cast<NSButton*>(sender) state] == NSControlStateValueOn;
            break;
        case NativeClass::Stepper:
        case NativeClass::Slider:
            input.kind = Kind::Number;
            input.number = [static_cast<NSControl*>(sender) doubleValue];
            break;
        case NativeClass::SegmentedControl: {
            const NSInteger selected = [static_cast<NSSegmentedControl*>(sender) selectedSegment];
            if (selected < 0) return;
            input.kind = Kind::Select;
            input.index = static_cast<std::size_t>(selected);
            break;
        }
        case NativeClass::PopUpButton: {
            const NSInteger selected = [static_cast<NSPopUpButton*>(sender) indexOfSelectedItem];
            if (selected < 0) return;
            input.kind = Kind::Select;
            input.index = static_cast<std::size_t>(selected);
            break;
        }
        default: input.kind = Kind::Press; break;
    }
    applying_ = true;
    mirror_.nativeInput(handle, input);
    applying_ = false;
    if (content_) content_->clearNeedsDisplayInSubtree();
}

void MirrorViews::scrolled(NativeHandle handle, double offset) {
    if (applying_) return;
    mirror::NativeInput input;
    input.kind = mirror::NativeInput::Kind::Scroll;
    input.number = offset;
    applying_ = true;
    mirror_.nativeInput(handle, input);
    applying_ = false;
}

kit::Point MirrorViews::windowPoint(NSEvent* event) const {
    const NSPoint p = [event locationInWindow];
    return {p.x, p.y};
}

void MirrorViews::mouseDown(NSEvent* event) {
    router_.mouseDown(windowPoint(event), [event modifierFlags], static_cast<int>([event clickCount]));
    syncIfNeeded();
}

void MirrorViews::mouseUp(NSEvent* event) {
    router_.mouseUp(windowPoint(event), [event modifierFlags], static_cast<int>([event clickCount]));
    syncIfNeeded();
}

void MirrorViews::pointerMoved(NSEvent* event) {
    router_.pointerMoved(windowPoint(event), [event modifierFlags]);
    syncIfNeeded();
}

void MirrorViews::pointerExited(NSEvent* event) {
    // Leaving one area is not leaving the window: the router compares every
    // area with where the pointer is now.
    const NSPoint p = [event locationInWindow];
    NSView* root = rootView();
    if (root != nil && NSPointInRect([root convertPoint:p fromView:nil], [root bounds])) {
        router_.pointerMoved(windowPoint(event), [event modifierFlags]);
    } else {
        router_.pointerLeft([event modifierFlags]);
    }
    syncIfNeeded();
}

}  // namespace macos
