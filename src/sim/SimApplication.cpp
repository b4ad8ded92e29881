#include "sim/SimApplication.h"

#include "sim/Fingerprint.h"
#include "sim/SimScreens.h"

namespace sim {

SimApplication::SimApplication(std::shared_ptr<World> world, Graveyard& graveyard,
                               std::function<void()> terminateProcess)
    : world_(std::move(world)), graveyard_(graveyard), terminateProcess_(std::move(terminateProcess)) {}

bool SimApplication::running() const {
    std::lock_guard lock(world_->mutex);
    return world_->runningApp(world_->ownPid) != nullptr;
}

void SimApplication::setDelegate(std::shared_ptr<platform::ApplicationDelegate> delegate) {
    graveyard_.bury(std::move(process_.delegate));
    process_.delegate = std::move(delegate);
}

int SimApplication::run() {
    // The desktop drives the loop from outside, so running means finishing
    // the launch and handing control back.
    if (!running() || process_.launched) return 0;
    process_.launched = true;
    std::shared_ptr<platform::ApplicationDelegate> delegate = process_.delegate;
    if (delegate) {
        CallbackScope scope(graveyard_);
        delegate->applicationDidFinishLaunching();
    }
    return 0;
}

void SimApplication::terminate() {
    if (running()) terminateProcess_();
}

bool SimApplication::setActivationPolicy(platform::ActivationPolicy policy) {
    if (!running()) return false;
    process_.policy = policy;
    return true;
}

void SimApplication::activateIgnoringOtherApps(bool) {
    ++activations_;
    std::lock_guard lock(world_->mutex);
    world_->activate(world_->ownPid);
}

platform::StatusItemRef SimApplication::statusItemWithLength(double length) {
    auto item = std::make_shared<SimStatusItem>(world_, process_.statusSlots++, length);
    if (running()) process_.statusItems.push_back(item);
    return item;
}

void SimApplication::orderFrontStandardAboutPanelWithOptions(const std::map<std::string, std::string>& options) {
    if (running()) process_.aboutOptions = options;
}

kit::ImageRef SimApplication::applicationIconImage() {
    std::lock_guard lock(world_->mutex);
    const AppRecord* own = world_->app(world_->ownPid);
    return own ? own->identity->icon : kit::Image::empty();
}

kit::ImageRef SimApplication::bundleImageResource(const std::string&, const std::string&) {
    // The simulated bundle carries no resources.
    return nullptr;
}

void SimApplication::endProcess() {
    graveyard_.bury(std::move(process_.delegate));
    graveyard_.bury(std::move(process_.mainMenu));
    graveyard_.bury(std::move(process_.servicesMenu));
    graveyard_.bury(std::move(process_.windowsMenu));
    graveyard_.bury(std::move(process_.helpMenu));
    process_.delegate = nullptr;
    process_.mainMenu = process_.servicesMenu = process_.windowsMenu = process_.helpMenu = nullptr;
    // The menu bar forgets the items; whoever still holds one keeps a dead handle.
    process_.statusItems.clear();
}

void SimApplication::beginProcess() {
    endProcess();
    process_ = Process{};
}

std::shared_ptr<SimStatusItem> SimApplication::firstStatusItem() const {
    for (const auto& weak : process_.statusItems)
        if (auto item = weak.lock()) return item;
    return nullptr;
}

bool SimApplication::hasStatusItem() const { return firstStatusItem() != nullptr; }

kit::ImageRef SimApplication::statusItemImage() const {
    auto item = firstStatusItem();
    return item ? item->simButton().image() : nullptr;
}

std::optional<kit::Rect> SimApplication::statusItemFrame() const {
    auto item = firstStatusItem();
    std::optional<kit::Rect> cocoa = item ? item->simButton().screenFrame() : std::nullopt;
    if (!cocoa) return std::nullopt;
    std::lock_guard lock(world_->mutex);
    // The conversion is its own inverse.
    return SimScreens::toCocoa(*cocoa, world_->primaryHeight());
}

void SimApplication::fingerprint(Fingerprint& f) const {
    f.add(statusItemImage().get());
    if (auto frame = statusItemFrame()) f.add(*frame);
}

// What a dead process left behind is cleared around each click, unless one
// of its callbacks is still on the stack.
bool SimApplication::clickStatusItem() {
    graveyard_.clearIfIdle();
    bool clicked = pressStatusItem();
    graveyard_.clearIfIdle();
    return clicked;
}

bool SimApplication::chooseMenuItem(const std::string& menuTitle, const std::string& itemTitle) {
    graveyard_.clearIfIdle();
    bool found = pickMenuItem(menuTitle, itemTitle);
    graveyard_.clearIfIdle();
    return found;
}

bool SimApplication::pressStatusItem() {
    auto item = firstStatusItem();
    if (!item) return false;
    auto action = item->simButton().action();
    if (action && *action) {
        CallbackScope scope(graveyard_);
        (*action)();
    }
    return true;
}

bool SimApplication::pickMenuItem(const std::string& menuTitle, const std::string& itemTitle) {
    if (!running()) return false;
    platform::MenuRef menu = process_.mainMenu;   // kept alive while the action runs
    if (!menu) return false;
    const auto& top = menu->items();
    for (std::size_t i = 0; i < top.size(); ++i) {
        const platform::MenuItem& heading = top[i];
        if (!heading.submenu) continue;
        // The application menu shows the application's name whatever its item is titled.
        bool matches = heading.title == menuTitle || heading.submenu->title() == menuTitle ||
                       (i == 0 && menuTitle == kOwnName);
        if (!matches) continue;
        for (const platform::MenuItem& item : heading.submenu->items()) {
            if (item.isSeparator || item.title != itemTitle) continue;
            runItem(item);
            return true;
        }
    }
    return false;
}

void SimApplication::runItem(const platform::MenuItem& item) {
    // Copies: the action may rebuild the very menu it sits in.
    std::function<void()> target = item.target;
    std::string selector = item.action;
    CallbackScope scope(graveyard_);
    if (target) target();
    else sendAction(selector);
}

namespace {

constexpr std::uint64_t kEquivalentModifiers = platform::NSEventModifierFlagShift |
                                               platform::NSEventModifierFlagControl |
                                               platform::NSEventModifierFlagOption |
                                               platform::NSEventModifierFlagCommand;

bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
char lower(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

bool answers(const platform::MenuItem& item, const std::string& characters, std::uint64_t held) {
    const std::string& key = item.keyEquivalent;
    if (item.isSeparator || key.empty() || key.size() != characters.size()) return false;
    std::uint64_t wanted = item.keyEquivalentModifierMask & kEquivalentModifiers;
    if (key.size() == 1 && isUpper(key[0])) wanted |= platform::NSEventModifierFlagShift;
    if ((held & kEquivalentModifiers) != wanted) return false;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (lower(key[i]) != characters[i]) return false;
    return true;
}

}  // namespace

bool SimApplication::performKeyEquivalent(const std::string& characters, std::uint64_t modifierFlags) {
    graveyard_.clearIfIdle();
    if (!running() || characters.empty()) return false;
    platform::MenuRef menu = process_.mainMenu;   // kept alive while the action runs
    if (!menu) return false;
    for (const platform::MenuItem& heading : menu->items()) {
        if (!heading.submenu) continue;
        for (const platform::MenuItem& item : heading.submenu->items()) {
            if (!answers(item, characters, modifierFlags)) continue;
            runItem(item);
            graveyard_.clearIfIdle();
            return true;
        }
    }
    return false;
}

void SimApplication::sendAction(const std::string& selector) {
    if (selector == "terminate:") terminate();
    else if (selector == "orderFrontStandardAboutPanel:") orderFrontStandardAboutPanelWithOptions({});
    else if (selector == "performClose:" && windowAction_) windowAction_(selector);
    // hide:, hideOtherApplications:, unhideAllApplications:, the edit and
    // window selectors: the application answers them with nothing visible here.
}

}  // namespace sim
