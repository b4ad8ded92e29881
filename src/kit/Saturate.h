#pragma once

#include <concepts>
#include <limits>
#include <type_traits>
#include <utility>

namespace kit {

// A number as an integer of type T, saturating: a value beyond T's range
// gives T's nearest limit, NaN gives 0, and a fraction is truncated toward
// zero (round first for any other rule). Sizes and coordinates reach the
// pixel code from settings, scenarios and other applications' windows, and a
// plain cast of an out-of-range double is undefined behaviour.
template <std::integral T, typename From>
    requires std::is_arithmetic_v<From>
constexpr T saturatingCast(From value) noexcept {
    using Limits = std::numeric_limits<T>;
    if constexpr (std::integral<From>) {
        if (std::cmp_less(value, Limits::min())) return Limits::min();
        if (std::cmp_greater(value, Limits::max())) return Limits::max();
        return static_cast<T>(value);
    } else {
        if (value != value) return 0;  // NaN
        // Both limits are powers of two (or one less), so the comparison
        // against their double values is exact where it matters: anything
        // that compares below max() converts without overflow.
        if (value <= static_cast<From>(Limits::min())) return Limits::min();
        if (value >= static_cast<From>(Limits::max())) return Limits::max();
        return static_cast<T>(value);
    }
}

}  // namespace kit
