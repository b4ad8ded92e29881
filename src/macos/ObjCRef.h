#pragma once

#import <Foundation/Foundation.h>

#include <utility>

namespace macos {

// An owning reference to an Objective-C object kept by C++ code. The backend
// is built with ARC, but must read correctly without it too (it is
// type-checked without ARC); this is the one place where the two differ.
// Under ARC the member is a strong reference and the compiler does the rest.
template <typename T>
class ObjCRef {
public:
    ObjCRef() = default;
    // Takes over a reference the caller owns: the result of alloc/init, new
    // or copy.
    static ObjCRef adopt(T* object) {
        ObjCRef ref;
        ref.object_ = object;
        return ref;
    }
    // Keeps an object the caller does not own: a factory's result or a
    // property's value.
    static ObjCRef retain(T* object) {
        ObjCRef ref;
        ref.object_ = object;
#if !__has_feature(objc_arc)
        [object retain];
#endif
        return ref;
    }

    ObjCRef(const ObjCRef& other) : object_(other.object_) {
#if !__has_feature(objc_arc)
        [object_ retain];
#endif
    }
    ObjCRef(ObjCRef&& other) noexcept : object_(other.object_) { other.object_ = nil; }
    ObjCRef& operator=(ObjCRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ObjCRef() { reset(); }

    void reset() {
#if !__has_feature(objc_arc)
        [object_ release];
#endif
        object_ = nil;
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nil; }

private:
    T* object_ = nil;
};

// Hands an object the caller owns (alloc/init) to code that expects a
// factory's result: autoreleased without ARC, as is under it.
template <typename T>
T* autoreleased(T* owned) {
#if !__has_feature(objc_arc)
    return [owned autorelease];
#else
    return owned;
#endif
}

}  // namespace macos
