#include "dock/DockObserver.h"

#include <unordered_map>

#include "ax/AX.h"
#include "platform/Platform.h"

namespace durazizi {

namespace {

constexpr char kDockBundleIdentifier[] = "com.apple.dock";
constexpr char kAXListRole[] = "AXList";
constexpr char kAXApplicationDockItemSubrole[] = "AXApplicationDockItem";
constexpr char kAXURLAttribute[] = "AXURL";

// Bundle URLs compare as file URLs with "." and ".." resolved, others by
// their text; equal keys mean the same bundle.
std::string bundleKey(const kit::URL& url) {
    return url.isFileURL() ? "file:" + url.standardizedPath() : url.absoluteString();
}

// The running applications by bundle and by name, the first of each winning
// as a walk of the list would find it. Made once per reading of the Dock: a
// Dock of a thousand items matched against as many applications, each pair's
// URLs standardised again, was quadratic on every refill.
class RunningIndex {
public:
    RunningIndex() {
        for (auto& app : platform::current().workspace().runningApplications()) {
            if (auto url = app->bundleURL()) byBundle_.emplace(bundleKey(*url), app);
            if (auto name = app->localizedName()) byName_.emplace(*name, app);
        }
    }

    platform::RunningApplicationRef find(const std::string& title, const std::optional<kit::URL>& bundleURL) const {
        if (bundleURL) {
            if (auto found = byBundle_.find(bundleKey(*bundleURL)); found != byBundle_.end()) return found->second;
        }
        if (title.empty()) return nullptr;
        auto found = byName_.find(title);
        return found == byName_.end() ? nullptr : found->second;
    }

private:
    std::unordered_map<std::string, platform::RunningApplicationRef> byBundle_;
    std::unordered_map<std::string, platform::RunningApplicationRef> byName_;
};

std::optional<kit::URL> urlAttribute(const AX::Element& element) {
    platform::CFType value;
    if (AX::copyAttributeValue(element, kAXURLAttribute, &value) != platform::kAXErrorSuccess)
        return std::nullopt;
    const platform::CFURL* url = value.url();
    if (!url) return std::nullopt;
    return kit::URL::fromString(url->absoluteString);
}

}  // namespace

bool DockObserver::dockIsGone() const { return dockProcess_ && dockProcess_->isTerminated(); }

void DockObserver::forgetDock() {
    dockElement_.reset();
    dockProcess_.reset();
}

std::optional<platform::AXUIElementRef> DockObserver::dockApp() {
    if (dockElement_ && !dockIsGone()) return dockElement_;
    forgetDock();
    auto& workspace = platform::current().workspace();
    auto docks = workspace.runningApplicationsWithBundleIdentifier(kDockBundleIdentifier);
    if (docks.empty()) return std::nullopt;
    dockProcess_ = docks.front();
    dockElement_ = platform::current().accessibility().createApplication(dockProcess_->processIdentifier());
    return dockElement_;
}

std::vector<DockItem> DockObserver::items(bool forceRefresh) {
    auto& backend = platform::current();
    double now = backend.clock().now();
    if (!forceRefresh && now - cacheStamp_ < cacheTTL && !cache_.empty()) return cache_;

    auto dock = dockApp();
    if (!dock) return {};

    // The one raw read: an invalid-element answer means the cached Dock
    // element outlived its process, so look the Dock up once more.
    platform::CFType top;
    auto error = AX::copyAttributeValue(*dock, AX::kAXChildrenAttribute, &top);
    if (error == platform::kAXErrorInvalidUIElement) {
        forgetDock();
        dock = dockApp();
        if (!dock) return {};
        error = AX::copyAttributeValue(*dock, AX::kAXChildrenAttribute, &top);
    }
    // A Dock that does not answer (or is left alone for a while after it
    // did not) reads as one that cannot be read: nothing now, the previous
    // list kept, and another try on a later call.
    if (error == platform::kAXErrorCannotComplete) return {};
    std::vector<AX::Element> lists;
    if (error == platform::kAXErrorSuccess && top.array()) {
        for (const auto& child : *top.array()) {
            const auto* element = child.element();
            if (!element || !*element) continue;
            if (AX::string(*element, AX::kAXRoleAttribute) == std::optional<std::string>(kAXListRole))
                lists.push_back(*element);
        }
    }

    std::vector<DockItem> result;
    std::optional<RunningIndex> running;
    for (const auto& list : lists) {
        for (const auto& child : AX::children(list, AX::kAXChildrenAttribute)) {
            if (AX::string(child, AX::kAXSubroleAttribute) != std::optional<std::string>(kAXApplicationDockItemSubrole))
                continue;
            auto position = AX::point(child, AX::kAXPositionAttribute);
            if (!position) continue;
            auto size = AX::size(child, AX::kAXSizeAttribute);
            if (!size) continue;
            DockItem item;
            item.frame = kit::Rect(*position, *size);
            item.title = AX::string(child, AX::kAXTitleAttribute).value_or("");
            item.bundleURL = urlAttribute(child);
            if (!running) running.emplace();
            item.runningApp = running->find(item.title, item.bundleURL);
            result.push_back(std::move(item));
        }
    }
    cache_ = result;
    cacheStamp_ = now;
    return result;
}

std::optional<DockItem> DockObserver::item(kit::Point pointTopLeft) {
    for (const auto& item : items(false))
        if (item.frame.cgContains(pointTopLeft)) return item;
    return std::nullopt;
}

platform::RunningApplicationRef DockObserver::runningApp(const std::string& title,
                                                         const std::optional<kit::URL>& bundleURL) {
    return RunningIndex().find(title, bundleURL);
}

}  // namespace durazizi
