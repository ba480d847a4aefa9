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
    return {static_cast<float>(v.X * k), static_cast<float>(v.Y * k), static_cast<float>(v.Z * k)};
}

Vec3 VecDifference(const Vec3& a, const Vec3& b) {
    return {static_cast<float>(double{b.X} - double{a.X}),
            static_cast<float>(double{b.Y} - double{a.Y}),
            static_cast<float>(double{b.Z} - double{a.Z})};
}

float VecLength(const Vec3& v) {
    const double x = v.X, y = v.Y, z = v.Z;
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

Vec3 VecNormalised(const Vec3& v) {
    const double length = VecLength(v);
    return {static_cast<float>(v.X / length), static_cast<float>(v.Y / length),
            static_cast<float>(v.Z / length)};
}

Vec3 VecCross(const Vec3& a, const Vec3& b) {
    const double ax = a.X, ay = a.Y, az = a.Z;
    const double bx = b.X, by = b.Y, bz = b.Z;
    return {static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
            static_cast<float>(ax * by - ay * bx)};
}

float VecDot(const Vec3& a, const Vec3& b) {
    return static_cast<float>(double{a.X} * b.X + double{a.Y} * b.Y + double{a.Z} * b.Z);
}

bool VecNear(const Vec3& a, const Vec3& b, float tol) {
    return !(VecLength(VecDifference(a, b)) > tol);
}

}  // namespace vexlor
