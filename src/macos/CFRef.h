#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <utility>

namespace macos {

// An owning reference to a Core Foundation object: adopt a +1 result of a
// Create or Copy function, retain the result of a Get function. No bare
// CFRelease elsewhere in the backend.
template <typename T>
class CFRef {
public:
    CFRef() = default;
    static CFRef adopt(T object) {
        CFRef ref;
        ref.object_ = object;
        return ref;
    }
    static CFRef retain(T object) {
        CFRef ref;
        ref.object_ = object;
        if (object) CFRetain(object);
        return ref;
    }

    CFRef(const CFRef& other) : object_(other.object_) {
        if (object_) CFRetain(object_);
    }
    CFRef(CFRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    CFRef& operator=(CFRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~CFRef() { reset(); }

    void reset() {
        if (object_) CFRelease(object_);
        object_ = nullptr;
    }

    T get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Out-parameter of a Create/Copy call: releases what was held first.
    T* out() {
        reset();
        return &object_;
    }

private:
    T object_ = nullptr;
};

}  // namespace macos
