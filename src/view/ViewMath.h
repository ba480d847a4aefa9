// The number rules of the view: R goes to the nearest integer with halves to the even neighbour,
// div truncates toward zero, and whatever would leave 32 bits (huge, infinite or NaN inputs) is
// clamped instead of overflowing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vexlor::view {

// Nearest integer, halves to the even neighbour, whatever the FPU's rounding mode. NaN and
// infinities pass through.
inline long double RoundHalfEven(long double x) {
    if (!std::isfinite(x)) return x;
    const long double below = std::floor(x);
    const long double fraction = x - below;
    if (fraction > 0.5L) return below + 1;
    if (fraction < 0.5L) return below;
    return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

// The value clamped to [lo, hi]; NaN becomes 0.
inline int64_t ClampToRange(long double x, int64_t lo, int64_t hi) {
    if (std::isnan(x)) return 0;
    if (x <= static_cast<long double>(lo)) return lo;
    if (x >= static_cast<long double>(hi)) return hi;
    return static_cast<int64_t>(x);
}

inline int32_t SaturateInt32(int64_t x) {
    constexpr int64_t lo = std::numeric_limits<int32_t>::min();
    constexpr int64_t hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(x < lo ? lo : (x > hi ? hi : x));
}

// R(x) as a 64-bit integer, clamped to the 32-bit range.
inline int64_t RoundToInt32Range(long double x) {
    return ClampToRange(RoundHalfEven(x), std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max());
}

// A real narrowed to a float, out-of-range values going to the largest float of their sign.
inline float NarrowToFloat(long double x) {
    constexpr long double most = std::numeric_limits<float>::max();
    if (x > most) return std::numeric_limits<float>::max();
    if (x < -most) return -std::numeric_limits<float>::max();
    return static_cast<float>(x);
}

}  // namespace vexlor::view
