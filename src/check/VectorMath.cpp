// Vector arithmetic in double precision with one rounding to float per stored result.
#include "check/VectorMath.h"

#include <cmath>
#include <limits>

// The check's pass/fail decisions test for NaN. Builds that assume finite math would silently
// turn those tests into "never NaN" and change every verdict on degenerate geometry.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "vexlor_check must be built without -ffast-math, -Ofast or -ffinite-math-only"
#endif
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559);

namespace vexlor {

Vec3 VecScaled(const Vec3& v, float s) {
    const double k = s;
    return {static_cast<float>(v.x * k), static_cast<float>(v.y * k), static_cast<float>(v.z * k)};
}

Vec3 VecDifference(const Vec3& a, const Vec3& b) {
    return {static_cast<float>(double{b.x} - double{a.x}),
            static_cast<float>(double{b.y} - double{a.y}),
            static_cast<float>(double{b.z} - double{a.z})};
}

float VecLength(const Vec3& v) {
    const double x = v.x, y = v.y, z = v.z;
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

Vec3 VecNormalised(const Vec3& v) {
    const double length = VecLength(v);
    return {static_cast<float>(v.x / length), static_cast<float>(v.y / length),
            static_cast<float>(v.z / length)};
}

Vec3 VecCross(const Vec3& a, const Vec3& b) {
    const double ax = a.x, ay = a.y, az = a.z;
    const double bx = b.x, by = b.y, bz = b.z;
    return {static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
            static_cast<float>(ax * by - ay * bx)};
}

float VecDot(const Vec3& a, const Vec3& b) {
    return static_cast<float>(double{a.x} * b.x + double{a.y} * b.y + double{a.z} * b.z);
}

bool VecNear(const Vec3& a, const Vec3& b, float tol) {
    return !(VecLength(VecDifference(a, b)) > tol);
}

}  // namespace vexlor
