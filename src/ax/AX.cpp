#include "ax/AX.h"

#include <cmath>

#include "ax/Answering.h"
#include "platform/PerProcess.h"
#include "platform/Platform.h"

namespace durazizi::AX {

namespace {

platform::Accessibility& accessibility() { return platform::current().accessibility(); }

// One message to the element's process, unless that process is paused for
// not answering; the answer and the time it took tell whether it answers.
// The pid comes from the handle itself, which costs no message.
template <typename Message>
platform::AXError send(const Element& element, Message&& message) {
    platform::pid_t pid = 0;
    const bool known = element && accessibility().getPid(element, &pid) == platform::kAXErrorSuccess;
    if (known && !Answering::mayAsk(pid)) return platform::kAXErrorCannotComplete;
    auto& clock = platform::current().clock();
    const double start = clock.now();
    const platform::AXError error = message();
    if (known) Answering::note(pid, error, clock.now() - start);
    return error;
}

// AXUIElementCopyAttributeValue with the null checks the platform call
// would answer with kAXErrorIllegalArgument.
std::optional<platform::CFType> copy(const Element& element, const std::string& attribute) {
    if (!element) return std::nullopt;
    platform::CFType value;
    if (copyAttributeValue(element, attribute, &value) != platform::kAXErrorSuccess) {
        return std::nullopt;
    }
    if (value.isNull()) return std::nullopt;
    return value;
}

// AX::point and AX::size differ only in the AXValue type they decode.
template <typename Decoded>
std::optional<Decoded> axValue(const Element& element, const std::string& attribute, platform::AXValueType type) {
    auto value = copy(element, attribute);
    if (!value) return std::nullopt;
    const platform::AXValue* wrapped = value->axValue();
    if (!wrapped) return std::nullopt;
    Decoded decoded;
    if (!platform::AXValueGetValue(*wrapped, type, &decoded)) return std::nullopt;
    return decoded;
}

std::vector<Element> applicationWindows(platform::pid_t pid) {
    Element application = accessibility().createApplication(pid);
    return children(application, kAXWindowsAttribute);
}

// Where a window stands for the nearness ranking. A window whose size cannot
// be read ranks as if at the origin, like one whose position cannot be read.
kit::Point rankingPosition(const Element& window) {
    auto position = point(window, kAXPositionAttribute);
    if (!position) return {};
    if (!size(window, kAXSizeAttribute)) return {};
    return *position;
}

double distance(kit::Point a, kit::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

std::optional<Element> firstWithTitle(const std::vector<Element>& windows, const std::string& title) {
    for (const Element& window : windows) {
        if (string(window, kAXTitleAttribute) == title) return window;
    }
    return std::nullopt;
}

// Strictly nearer wins, so of two windows at one distance the earlier one
// in the application's list stays. The best's position is read again for
// every comparison: the window may move while we walk.
Element nearest(const std::vector<Element>& windows, kit::Point target) {
    Element best = windows.front();
    for (std::size_t i = 1; i < windows.size(); ++i) {
        double candidate = distance(rankingPosition(windows[i]), target);
        double current = distance(rankingPosition(best), target);
        if (candidate < current) best = windows[i];
    }
    return best;
}

}  // namespace

platform::AXError copyAttributeValue(const Element& element, const std::string& attribute, platform::CFType* value) {
    return send(element, [&] { return accessibility().copyAttributeValue(element, attribute, value); });
}

platform::AXError setAttributeValue(const Element& element, const std::string& attribute,
                                    const platform::CFType& value) {
    return send(element, [&] { return accessibility().setAttributeValue(element, attribute, value); });
}

platform::AXError performAction(const Element& element, const std::string& action) {
    return send(element, [&] { return accessibility().performAction(element, action); });
}

platform::AXError getWindow(const Element& element, platform::CGWindowID* windowID) {
    return send(element, [&] { return accessibility().getWindow(element, windowID); });
}

platform::AXError addNotification(const platform::AXObserverRef& observer, const Element& element,
                                  const std::string& notification) {
    return send(element, [&] { return accessibility().addNotification(observer, element, notification); });
}

Element systemWide() {
    static platform::PerProcess cached{[] { return accessibility().createSystemWide(); }};
    return cached.get();
}

std::optional<std::string> string(const Element& element, const std::string& attribute) {
    auto value = copy(element, attribute);
    if (!value || !value->string()) return std::nullopt;
    return *value->string();
}

bool boolValue(const Element& element, const std::string& attribute) {
    auto value = copy(element, attribute);
    return value && value->isNumber() && value->numberBoolValue();
}

std::vector<Element> children(const Element& element, const std::string& attribute) {
    auto value = copy(element, attribute);
    if (!value || !value->array()) return {};
    std::vector<Element> elements;
    for (const platform::CFType& member : *value->array()) {
        // A member that is not an element would be a bad cast on the platform;
        // leave it out rather than hand it on.
        if (const Element* child = member.element(); child && *child) elements.push_back(*child);
    }
    return elements;
}

std::optional<Element> element(const Element& element, const std::string& attribute) {
    auto value = copy(element, attribute);
    if (!value) return std::nullopt;
    const Element* found = value->element();
    if (!found || !*found) return std::nullopt;
    return *found;
}

std::optional<kit::Point> point(const Element& element, const std::string& attribute) {
    return axValue<kit::Point>(element, attribute, platform::kAXValueCGPointType);
}

std::optional<kit::Size> size(const Element& element, const std::string& attribute) {
    return axValue<kit::Size>(element, attribute, platform::kAXValueCGSizeType);
}

bool setFrame(const Element& window, const kit::Rect& frameTopLeft) {
    if (!window) return false;
    const platform::CFType size = platform::AXValue::create(frameTopLeft.size);
    const platform::CFType origin = platform::AXValue::create(frameTopLeft.origin);
    // 1. Size first: the platform keeps a window inside the visible area, so
    //    moving a large window first would clamp the move.
    setAttributeValue(window, kAXSizeAttribute, size);
    // 2. Only the move decides the result.
    bool moved = setAttributeValue(window, kAXPositionAttribute, origin) == platform::kAXErrorSuccess;
    // 3. Size again: the first write may itself have been clamped at the old
    //    position.
    setAttributeValue(window, kAXSizeAttribute, size);
    return moved;
}

std::optional<Element> windowAtTopLeft(kit::Point pointTopLeft) {
    Element hit;
    auto error = accessibility().copyElementAtPosition(systemWide(), static_cast<float>(pointTopLeft.x),
                                                       static_cast<float>(pointTopLeft.y), &hit);
    if (error != platform::kAXErrorSuccess || !hit) return std::nullopt;

    // The hit element and at most 11 of its ancestors. A role that cannot be
    // read is not a window; the walk goes on to the parent.
    constexpr int kMaxElements = 12;
    Element current = hit;
    for (int examined = 0; examined < kMaxElements; ++examined) {
        if (string(current, kAXRoleAttribute) == kAXWindowRole) return current;
        auto parent = element(current, kAXParentAttribute);
        if (!parent) return std::nullopt;
        current = *parent;
    }
    return std::nullopt;
}

std::optional<Element> window(platform::pid_t pid, platform::CGWindowID exactWindowID) {
    for (const Element& window : applicationWindows(pid)) {
        platform::CGWindowID number = 0;
        if (getWindow(window, &number) != platform::kAXErrorSuccess) continue;
        // Some windows report 0; a request for 0 must not pick one of them.
        if (number != 0 && number == exactWindowID) return window;
    }
    return std::nullopt;
}

std::optional<Element> window(platform::pid_t pid, const std::optional<std::string>& title,
                              const std::optional<kit::Rect>& nearTopLeft) {
    std::vector<Element> windows = applicationWindows(pid);
    if (windows.empty()) return std::nullopt;

    // Pass 1: exact title. An empty title names no window in particular.
    if (title && !title->empty()) {
        if (auto match = firstWithTitle(windows, *title)) return match;
    }
    // Pass 2: the window nearest the remembered origin, however far.
    if (nearTopLeft) return nearest(windows, nearTopLeft->origin);
    // Pass 3: nothing to go by.
    return windows.front();
}

}  // namespace durazizi::AX
