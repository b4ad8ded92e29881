#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "kit/Geometry.h"
#include "platform/Constants.h"

namespace platform {

// An accessibility element handle. Opaque to the core: only the backend that
// made it knows what it refers to. Shared ownership stands in for CF retain.
struct AXUIElement {
    virtual ~AXUIElement() = default;
};
using AXUIElementRef = std::shared_ptr<const AXUIElement>;

// An AXValue wraps one of the geometry structs, tagged by its AXValueType.
struct AXValue {
    AXValueType type = kAXValueIllegalType;
    kit::Point point;
    kit::Size size;
    kit::Rect rect;

    static AXValue create(kit::Point p) { AXValue v; v.type = kAXValueCGPointType; v.point = p; return v; }
    static AXValue create(kit::Size s) { AXValue v; v.type = kAXValueCGSizeType; v.size = s; return v; }
    static AXValue create(kit::Rect r) { AXValue v; v.type = kAXValueCGRectType; v.rect = r; return v; }
};

struct CFURL {
    std::string absoluteString;
};

struct CFNumber {
    double value = 0;
};

struct CFType;
using CFArray = std::vector<CFType>;

// A value as Accessibility hands it out, typed the way the platform types it,
// so that code reading the wrong type sees the mismatch it would see on macOS.
// Booleans are CFBoolean, which is also a number.
struct CFType {
    using Variant = std::variant<std::monostate, std::string, bool, CFNumber, AXUIElementRef, CFArray, AXValue, CFURL>;
    Variant value;

    CFType() = default;
    CFType(std::string s) : value(std::move(s)) {}
    CFType(const char* s) : value(std::string(s)) {}
    CFType(bool b) : value(b) {}
    CFType(CFNumber n) : value(n) {}
    CFType(AXUIElementRef e) : value(std::move(e)) {}
    CFType(CFArray a) : value(std::move(a)) {}
    CFType(AXValue v) : value(v) {}
    CFType(CFURL u) : value(std::move(u)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(value); }
    const std::string* string() const { return std::get_if<std::string>(&value); }
    const AXUIElementRef* element() const { return std::get_if<AXUIElementRef>(&value); }
    const CFArray* array() const { return std::get_if<CFArray>(&value); }
    const AXValue* axValue() const { return std::get_if<AXValue>(&value); }
    const CFURL* url() const { return std::get_if<CFURL>(&value); }
    // A CFBoolean or a CFNumber; the boolean value of a number is "non-zero".
    bool isNumber() const { return std::holds_alternative<bool>(value) || std::holds_alternative<CFNumber>(value); }
    bool numberBoolValue() const {
        if (auto b = std::get_if<bool>(&value)) return *b;
        if (auto n = std::get_if<CFNumber>(&value)) return n->value != 0;
        return false;
    }
};

// AXValueGetValue: true only when the value holds the asked-for type.
inline bool AXValueGetValue(const AXValue& value, AXValueType type, kit::Point* out) {
    if (type != kAXValueCGPointType || value.type != type) return false;
    *out = value.point;
    return true;
}
inline bool AXValueGetValue(const AXValue& value, AXValueType type, kit::Size* out) {
    if (type != kAXValueCGSizeType || value.type != type) return false;
    *out = value.size;
    return true;
}

}  // namespace platform
