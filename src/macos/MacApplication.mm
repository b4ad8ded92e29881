#include "macos/MacApplication.h"

#import <AppKit/AppKit.h>

#include "macos/KitImages.h"
#include "macos/MacImages.h"
#include "macos/ObjCRef.h"

// Runs a C++ action for a menu item or the status button. AppKit keeps
// targets unretained, so each is kept by what it serves (the menu item's
// representedObject, the status button's owner).
@interface DurazziziAction : NSObject {
   @public
    std::function<void()> action;
}
- (void)perform:(id)sender;
@end

@implementation DurazziziAction
- (void)perform:(id)sender {
    if (action) action();
}
@end

// Forwards the one delegate message the system answers.
@interface DurazziziAppDelegate : NSObject <NSApplicationDelegate> {
   @public
    std::shared_ptr<platform::ApplicationDelegate> delegate;
}
@end

@implementation DurazziziAppDelegate
- (void)applicationDidFinishLaunching:(NSNotification*)notification {
    if (delegate) delegate->applicationDidFinishLaunching();
}
@end

namespace macos {

namespace {

NSString* nsString(const std::string& text) {
    NSString* s = [NSString stringWithUTF8String:text.c_str()];
    return s ? s : @"";
}

DurazziziAction* actionObject(std::function<void()> action) {
    DurazziziAction* object = autoreleased([[DurazziziAction alloc] init]);
    object->action = std::move(action);
    return object;
}

NSMenu* nativeMenu(const platform::MenuRef& menu, int depth) {
    if (!menu) return nil;
    NSMenu* native = autoreleased([[NSMenu alloc] initWithTitle:nsString(menu->title())]);
    for (const auto& item : menu->items()) {
        if (item.isSeparator) {
            [native addItem:[NSMenuItem separatorItem]];
            continue;
        }
        NSMenuItem* entry = autoreleased([[NSMenuItem alloc] initWithTitle:nsString(item.title)
                                                                    action:NULL
                                                             keyEquivalent:nsString(item.keyEquivalent)]);
        [entry setKeyEquivalentModifierMask:static_cast<NSUInteger>(item.keyEquivalentModifierMask)];
        if (item.target) {
            DurazziziAction* target = actionObject(item.target);
            [entry setRepresentedObject:target];
            [entry setTarget:target];
            [entry setAction:@selector(perform:)];
        } else if (!item.action.empty()) {
            // No target: the selector goes down the responder chain, where
            // NSApp answers terminate:, hide: and the like.
            [entry setAction:NSSelectorFromString(nsString(item.action))];
        }
        // Menus are built by the system itself; the depth bound only keeps
        // a cycle of submenus from recursing forever.
        if (item.submenu && depth < 8) [entry setSubmenu:nativeMenu(item.submenu, depth + 1)];
        [native addItem:entry];
    }
    return native;
}

class MacStatusBarButton final : public platform::StatusBarButton {
public:
    explicit MacStatusBarButton(NSStatusBarButton* button) : button_(ObjCRef<NSStatusBarButton>::retain(button)) {}

    void setImage(kit::ImageRef image) override {
        image_ = std::move(image);
        [button_.get() setImage:nsImageFromKit(image_)];
    }
    kit::ImageRef image() const override { return image_; }
    void setAction(std::function<void()> action) override {
        target_ = ObjCRef<DurazziziAction>::retain(actionObject(std::move(action)));
        [button_.get() setTarget:target_.get()];
        [button_.get() setAction:@selector(perform:)];
    }
    void highlight(bool flag) override { [button_.get() highlight:flag]; }
    bool isHighlighted() const override { return [[button_.get() cell] isHighlighted]; }
    std::optional<kit::Rect> screenFrame() const override {
        NSWindow* window = [button_.get() window];
        if (window == nil) return std::nullopt;
        const NSRect inWindow = [button_.get() convertRect:[button_.get() bounds] toView:nil];
        const NSRect r = [window convertRectToScreen:inWindow];
        return kit::Rect(r.origin.x, r.origin.y, r.size.width, r.size.height);
    }

private:
    ObjCRef<NSStatusBarButton> button_;
    ObjCRef<DurazziziAction> target_;
    kit::ImageRef image_;
};

class MacStatusItem final : public platform::StatusItem {
public:
    explicit MacStatusItem(NSStatusItem* item) : item_(ObjCRef<NSStatusItem>::retain(item)) {
        if (NSStatusBarButton* b = [item button]) button_ = std::make_unique<MacStatusBarButton>(b);
    }
    // The item leaves the menu bar with its last reference.
    ~MacStatusItem() override { [[NSStatusBar systemStatusBar] removeStatusItem:item_.get()]; }

    double length() const override { return [item_.get() length]; }
    platform::StatusBarButton* button() override { return button_.get(); }

private:
    ObjCRef<NSStatusItem> item_;
    std::unique_ptr<MacStatusBarButton> button_;
};

}  // namespace

struct MacApplication::State {
    ObjCRef<DurazziziAppDelegate> delegate;
    platform::MenuRef mainMenu;
};

MacApplication::MacApplication() : state_(std::make_unique<State>()) { [NSApplication sharedApplication]; }

MacApplication::~MacApplication() = default;

void MacApplication::setDelegate(std::shared_ptr<platform::ApplicationDelegate> delegate) {
    // NSApp keeps its delegate weakly; this object keeps it for the process.
    state_->delegate = ObjCRef<DurazziziAppDelegate>::adopt([[DurazziziAppDelegate alloc] init]);
    state_->delegate.get()->delegate = std::move(delegate);
    [NSApp setDelegate:state_->delegate.get()];
}

int MacApplication::run() {
    [NSApp run];
    return 0;
}

void MacApplication::terminate() { [NSApp terminate:nil]; }

bool MacApplication::setActivationPolicy(platform::ActivationPolicy policy) {
    return [NSApp setActivationPolicy:static_cast<NSApplicationActivationPolicy>(policy)];
}

platform::ActivationPolicy MacApplication::activationPolicy() const {
    return static_cast<platform::ActivationPolicy>([NSApp activationPolicy]);
}

void MacApplication::activateIgnoringOtherApps(bool flag) {
    // From macOS 14 activation is cooperative and the flag has no effect.
    if (@available(macOS 14.0, *)) {
        [NSApp activate];
    } else {
        [NSApp activateIgnoringOtherApps:flag];
    }
}

void MacApplication::deactivate() { [NSApp deactivate]; }

void MacApplication::setMainMenu(platform::MenuRef menu) {
    state_->mainMenu = menu;
    [NSApp setMainMenu:nativeMenu(menu, 0)];
}

platform::MenuRef MacApplication::mainMenu() const { return state_->mainMenu; }

void MacApplication::setServicesMenu(platform::MenuRef menu) { [NSApp setServicesMenu:nativeMenu(menu, 0)]; }

void MacApplication::setWindowsMenu(platform::MenuRef menu) { [NSApp setWindowsMenu:nativeMenu(menu, 0)]; }

void MacApplication::setHelpMenu(platform::MenuRef menu) { [NSApp setHelpMenu:nativeMenu(menu, 0)]; }

platform::StatusItemRef MacApplication::statusItemWithLength(double length) {
    NSStatusItem* item = [[NSStatusBar systemStatusBar] statusItemWithLength:length];
    if (item == nil) return nullptr;
    return std::make_shared<MacStatusItem>(item);
}

void MacApplication::orderFrontStandardAboutPanelWithOptions(const std::map<std::string, std::string>& options) {
    NSMutableDictionary* native = [NSMutableDictionary dictionary];
    for (const auto& [key, value] : options) [native setObject:nsString(value) forKey:nsString(key)];
    [NSApp orderFrontStandardAboutPanelWithOptions:native];
}

kit::ImageRef MacApplication::applicationIconImage() {
    @autoreleasepool {
        return kitImageFromNSImage([NSApp applicationIconImage], {128, 128}, 2);
    }
}

kit::ImageRef MacApplication::bundleImageResource(const std::string& name, const std::string& extension) {
    @autoreleasepool {
        NSURL* url = [[NSBundle mainBundle] URLForResource:nsString(name) withExtension:nsString(extension)];
        if (url == nil) return nullptr;
        NSData* data = [NSData dataWithContentsOfURL:url];
        if (data == nil) return nullptr;
        return MacImages().imageWithData(
            std::span<const std::uint8_t>(static_cast<const std::uint8_t*>([data bytes]), [data length]));
    }
}

}  // namespace macos
