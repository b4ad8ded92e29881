#include "macos/MacAccessibility.h"

#include <ApplicationServices/ApplicationServices.h>

#include <cassert>
#include <vector>

#include "macos/CFRef.h"
#include "macos/CocoaHelpers.h"
#include "macos/MacRunLoop.h"

// Private, in HIServices, not in any header: the window number of a window
// element. Declared as every user of it declares it.
extern "C" AXError _AXUIElementGetWindow(AXUIElementRef element, CGWindowID* out);

namespace macos {

namespace {

// Misuse, not a platform failure: accessibility is for the main thread.
void requireMainThread() { assert(onMainThread() && "accessibility is called on the main thread only"); }

struct MacAXElement final : platform::AXUIElement {
    explicit MacAXElement(CFRef<AXUIElementRef> r) : ref(std::move(r)) {}
    CFRef<AXUIElementRef> ref;
};

platform::AXUIElementRef wrap(CFRef<AXUIElementRef> ref) {
    if (!ref) return nullptr;
    return std::make_shared<MacAXElement>(std::move(ref));
}

AXUIElementRef native(const platform::AXUIElementRef& element) {
    auto mac = dynamic_cast<const MacAXElement*>(element.get());
    return mac ? mac->ref.get() : nullptr;
}

CFRef<CFStringRef> cfString(const std::string& text) {
    return CFRef<CFStringRef>::adopt(CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8));
}

std::string stdString(CFStringRef string) {
    if (string == nullptr) return {};
    if (const char* direct = CFStringGetCStringPtr(string, kCFStringEncodingUTF8)) return direct;
    const CFIndex size = CFStringGetMaximumSizeForEncoding(CFStringGetLength(string), kCFStringEncodingUTF8) + 1;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    if (!CFStringGetCString(string, buffer.data(), size, kCFStringEncodingUTF8)) return {};
    return buffer.data();
}

// A value another application handed over, copied into the seam's CFType.
// Lists are cut at a depth and a length (see CocoaHelpers.h); a type the
// seam has no form for reads as null.
platform::CFType fromNative(CFTypeRef value, int depth) {
    if (value == nullptr) return {};
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) return stdString(static_cast<CFStringRef>(value));
    if (type == CFBooleanGetTypeID()) return static_cast<bool>(CFBooleanGetValue(static_cast<CFBooleanRef>(value)));
    if (type == CFNumberGetTypeID()) {
        double number = 0;
        CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberDoubleType, &number);
        return platform::CFNumber{number};
    }
    if (type == AXUIElementGetTypeID()) {
        return wrap(CFRef<AXUIElementRef>::retain(static_cast<AXUIElementRef>(value)));
    }
    if (type == CFURLGetTypeID()) return platform::CFURL{stdString(CFURLGetString(static_cast<CFURLRef>(value)))};
    if (type == AXValueGetTypeID()) {
        auto axValue = static_cast<AXValueRef>(value);
        switch (helpers::axValueTypeFromNative(AXValueGetType(axValue))) {
            case platform::kAXValueCGPointType: {
                CGPoint p;
                if (AXValueGetValue(axValue, kAXValueTypeCGPoint, &p)) return platform::AXValue::create(kit::Point{p.x, p.y});
                break;
            }
            case platform::kAXValueCGSizeType: {
                CGSize s;
                if (AXValueGetValue(axValue, kAXValueTypeCGSize, &s)) {
                    return platform::AXValue::create(kit::Size{s.width, s.height});
                }
                break;
            }
            case platform::kAXValueCGRectType: {
                CGRect r;
                if (AXValueGetValue(axValue, kAXValueTypeCGRect, &r)) {
                    return platform::AXValue::create(kit::Rect(r.origin.x, r.origin.y, r.size.width, r.size.height));
                }
                break;
            }
            default:
                break;
        }
        return {};
    }
    if (type == CFArrayGetTypeID()) {
        if (depth >= helpers::kMaxValueDepth) return platform::CFArray{};
        auto array = static_cast<CFArrayRef>(value);
        const CFIndex count = std::min<CFIndex>(CFArrayGetCount(array), helpers::kMaxArrayCount);
        platform::CFArray items;
        items.reserve(static_cast<std::size_t>(count));
        for (CFIndex i = 0; i < count; ++i) items.push_back(fromNative(CFArrayGetValueAtIndex(array, i), depth + 1));
        return items;
    }
    return {};
}

CFRef<CFTypeRef> toNative(const platform::CFType& value, int depth) {
    if (auto s = value.string()) {
        auto text = cfString(*s);
        return CFRef<CFTypeRef>::retain(text.get());
    }
    if (auto b = std::get_if<bool>(&value.value)) return CFRef<CFTypeRef>::retain(*b ? kCFBooleanTrue : kCFBooleanFalse);
    if (auto n = std::get_if<platform::CFNumber>(&value.value)) {
        return CFRef<CFTypeRef>::adopt(CFNumberCreate(nullptr, kCFNumberDoubleType, &n->value));
    }
    if (auto e = value.element()) return CFRef<CFTypeRef>::retain(native(*e));
    if (auto v = value.axValue()) {
        switch (v->type) {
            case platform::kAXValueCGPointType: {
                CGPoint p = NSMakePoint(v->point.x, v->point.y);
                return CFRef<CFTypeRef>::adopt(AXValueCreate(kAXValueTypeCGPoint, &p));
            }
            case platform::kAXValueCGSizeType: {
                CGSize s = NSMakeSize(v->size.width, v->size.height);
                return CFRef<CFTypeRef>::adopt(AXValueCreate(kAXValueTypeCGSize, &s));
            }
            case platform::kAXValueCGRectType: {
                CGRect r = CGRectMake(v->rect.origin.x, v->rect.origin.y, v->rect.size.width, v->rect.size.height);
                return CFRef<CFTypeRef>::adopt(AXValueCreate(kAXValueTypeCGRect, &r));
            }
            default:
                return {};
        }
    }
    if (auto u = value.url()) {
        return CFRef<CFTypeRef>::adopt(CFURLCreateWithBytes(nullptr, reinterpret_cast<const uint8_t*>(u->absoluteString.data()),
                                                            static_cast<CFIndex>(u->absoluteString.size()),
                                                            kCFStringEncodingUTF8, nullptr));
    }
    if (auto a = value.array()) {
        if (depth >= helpers::kMaxValueDepth) return {};
        std::vector<CFRef<CFTypeRef>> owned;
        std::vector<const void*> items;
        for (const auto& item : *a) {
            owned.push_back(toNative(item, depth + 1));
            if (owned.back()) items.push_back(owned.back().get());
        }
        return CFRef<CFTypeRef>::adopt(
            CFArrayCreate(nullptr, items.data(), static_cast<CFIndex>(items.size()), &kCFTypeArrayCallBacks));
    }
    return {};
}

// The observer's callback reaches the C++ one through this record; the
// run-loop source is taken off the main run loop before it goes.
class MacAXObserver final : public platform::AXObserver {
public:
    MacAXObserver(CFRef<AXObserverRef> observer, platform::AXObserverCallback callback)
        : observer_(std::move(observer)), callback_(std::move(callback)) {
        // Common modes, so that notifications keep coming while a menu tracks.
        CFRunLoopAddSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_.get()), kCFRunLoopCommonModes);
    }
    ~MacAXObserver() override {
        CFRunLoopRemoveSource(CFRunLoopGetMain(), AXObserverGetRunLoopSource(observer_.get()), kCFRunLoopCommonModes);
    }

    AXObserverRef native() const { return observer_.get(); }

    static void deliver(AXObserverRef, AXUIElementRef element, CFStringRef notification, void* refcon) {
        auto* self = static_cast<MacAXObserver*>(refcon);
        // The element of a destroyed-element notice is already dead: it is
        // handed on for comparison, never to be queried.
        self->callback_(wrap(CFRef<AXUIElementRef>::retain(element)), stdString(notification));
    }

private:
    CFRef<AXObserverRef> observer_;
    platform::AXObserverCallback callback_;
};

}  // namespace

platform::AXUIElementRef MacAccessibility::createSystemWide() {
    requireMainThread();
    return wrap(CFRef<AXUIElementRef>::adopt(AXUIElementCreateSystemWide()));
}

platform::AXUIElementRef MacAccessibility::createApplication(platform::pid_t pid) {
    requireMainThread();
    return wrap(CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid)));
}

platform::AXError MacAccessibility::copyAttributeValue(const platform::AXUIElementRef& element,
                                                       const std::string& attribute, platform::CFType* value) {
    requireMainThread();
    AXUIElementRef ref = native(element);
    if (ref == nullptr || value == nullptr) return platform::kAXErrorIllegalArgument;
    CFRef<CFTypeRef> result;
    const AXError error = AXUIElementCopyAttributeValue(ref, cfString(attribute).get(), result.out());
    if (error != kAXErrorSuccess) return helpers::axErrorFromNative(error);
    *value = fromNative(result.get(), 0);
    return platform::kAXErrorSuccess;
}

platform::AXError MacAccessibility::setAttributeValue(const platform::AXUIElementRef& element,
                                                      const std::string& attribute, const platform::CFType& value) {
    requireMainThread();
    AXUIElementRef ref = native(element);
    CFRef<CFTypeRef> nativeValue = toNative(value, 0);
    if (ref == nullptr || !nativeValue) return platform::kAXErrorIllegalArgument;
    return helpers::axErrorFromNative(AXUIElementSetAttributeValue(ref, cfString(attribute).get(), nativeValue.get()));
}

platform::AXError MacAccessibility::performAction(const platform::AXUIElementRef& element, const std::string& action) {
    requireMainThread();
    AXUIElementRef ref = native(element);
    if (ref == nullptr) return platform::kAXErrorIllegalArgument;
    return helpers::axErrorFromNative(AXUIElementPerformAction(ref, cfString(action).get()));
}

platform::AXError MacAccessibility::copyElementAtPosition(const platform::AXUIElementRef& application, float x, float y,
                                                          platform::AXUIElementRef* element) {
    requireMainThread();
    AXUIElementRef ref = native(application);
    if (ref == nullptr || element == nullptr) return platform::kAXErrorIllegalArgument;
    CFRef<AXUIElementRef> found;
    const AXError error = AXUIElementCopyElementAtPosition(ref, x, y, found.out());
    if (error != kAXErrorSuccess) return helpers::axErrorFromNative(error);
    *element = wrap(std::move(found));
    return platform::kAXErrorSuccess;
}

platform::AXError MacAccessibility::getWindow(const platform::AXUIElementRef& element, platform::CGWindowID* windowID) {
    requireMainThread();
    AXUIElementRef ref = native(element);
    if (ref == nullptr || windowID == nullptr) return platform::kAXErrorIllegalArgument;
    CGWindowID number = 0;
    const AXError error = _AXUIElementGetWindow(ref, &number);
    if (error != kAXErrorSuccess) return helpers::axErrorFromNative(error);
    *windowID = number;
    return platform::kAXErrorSuccess;
}

platform::AXError MacAccessibility::getPid(const platform::AXUIElementRef& element, platform::pid_t* pid) {
    // Read from the element itself, with no message to its process: the
    // guard that keeps a hung process from stalling us asks this first, from
    // any thread.
    AXUIElementRef ref = native(element);
    if (ref == nullptr || pid == nullptr) return platform::kAXErrorIllegalArgument;
    ::pid_t owner = 0;
    const AXError error = AXUIElementGetPid(ref, &owner);
    if (error != kAXErrorSuccess) return helpers::axErrorFromNative(error);
    *pid = owner;
    return platform::kAXErrorSuccess;
}

platform::AXError MacAccessibility::setMessagingTimeout(const platform::AXUIElementRef& element,
                                                        float timeoutInSeconds) {
    requireMainThread();
    AXUIElementRef ref = native(element);
    if (ref == nullptr) return platform::kAXErrorIllegalArgument;
    return helpers::axErrorFromNative(AXUIElementSetMessagingTimeout(ref, timeoutInSeconds));
}

platform::AXError MacAccessibility::createObserver(platform::pid_t pid, platform::AXObserverCallback callback,
                                                   platform::AXObserverRef* observer) {
    requireMainThread();
    if (observer == nullptr || !callback) return platform::kAXErrorIllegalArgument;
    CFRef<AXObserverRef> created;
    const AXError error = AXObserverCreate(pid, &MacAXObserver::deliver, created.out());
    if (error != kAXErrorSuccess) return helpers::axErrorFromNative(error);
    *observer = std::make_shared<MacAXObserver>(std::move(created), std::move(callback));
    return platform::kAXErrorSuccess;
}

platform::AXError MacAccessibility::addNotification(const platform::AXObserverRef& observer,
                                                    const platform::AXUIElementRef& element,
                                                    const std::string& notification) {
    requireMainThread();
    auto* mac = dynamic_cast<MacAXObserver*>(observer.get());
    AXUIElementRef ref = native(element);
    if (mac == nullptr || ref == nullptr) return platform::kAXErrorIllegalArgument;
    return helpers::axErrorFromNative(AXObserverAddNotification(mac->native(), ref, cfString(notification).get(), mac));
}

bool MacAccessibility::isProcessTrusted() { return AXIsProcessTrusted(); }

bool MacAccessibility::isProcessTrustedWithOptions(bool prompt) {
    const void* keys[] = {kAXTrustedCheckOptionPrompt};
    const void* values[] = {prompt ? kCFBooleanTrue : kCFBooleanFalse};
    auto options = CFRef<CFDictionaryRef>::adopt(CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks,
                                                                    &kCFTypeDictionaryValueCallBacks));
    return AXIsProcessTrustedWithOptions(options.get());
}

}  // namespace macos
