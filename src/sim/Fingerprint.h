#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "kit/Color.h"
#include "kit/Geometry.h"

namespace sim {

// FNV-1a over the bytes of what is fed in: stable and cheap, and a missed
// change would need a 64-bit collision.
class Fingerprint {
public:
    template <typename T>
    void add(const T& value) {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes) mix(b);
    }
    void add(const std::string& text) {
        add(text.size());
        for (unsigned char c : text) mix(c);
    }
    void add(const kit::Rect& r) {
        add(r.origin.x);
        add(r.origin.y);
        add(r.size.width);
        add(r.size.height);
    }
    void add(const kit::Color& c) {
        add(static_cast<int>(c.semantic));
        add(c.red);
        add(c.green);
        add(c.blue);
        add(c.alpha);
    }
    template <typename T>
    void add(const T* pointer) {
        add(reinterpret_cast<std::uintptr_t>(pointer));
    }
    std::uint64_t value() const { return h_; }

private:
    void mix(unsigned char b) {
        h_ ^= b;
        h_ *= 1099511628211ull;
    }
    std::uint64_t h_ = 14695981039346656037ull;
};

}  // namespace sim
