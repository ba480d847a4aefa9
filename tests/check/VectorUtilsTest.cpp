// Vector arithmetic: the worked examples, the precision rule (double inside, one rounding to float
// per result), and NaN that propagates and never traps.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "check/VectorMath.h"

// The same guard as the library's: these tests must see IEEE semantics to mean anything.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "the check's tests must be built without -ffast-math, -Ofast or -ffinite-math-only"
#endif

namespace vexlor {
namespace {

// NaN by its bits, so the test still sees one under flags that make std::isnan answer false.
bool NanBits(float x) {
    const auto bits = std::bit_cast<uint32_t>(x);
    return (bits & 0x7f800000u) == 0x7f800000u && (bits & 0x007fffffu) != 0;
}

void ExpectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.X, x);
    EXPECT_EQ(v.Y, y);
    EXPECT_EQ(v.Z, z);
}

// Hides a value from the optimiser, so the arithmetic happens at run time.
float Opaque(float x) {
    volatile float v = x;
    return v;
}

TEST(VectorUtils, WorkedExamples) {
    const Vec3 r = VecDifference({1, 2, 3}, {4, 6, 3});
    ExpectVec(r, 3, 4, 0);
    EXPECT_EQ(VecLength(r), 5.0f);

    ExpectVec(VecCross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
    ExpectVec(VecCross({0, 1, 0}, {1, 0, 0}), 0, 0, -1);

    const Vec3 v = VecNormalised({0, 0, 2});
    ExpectVec(v, 0, 0, 1);
    ExpectVec(VecScaled(v, -1), 0, 0, -1);

    EXPECT_EQ(VecDot({1, 2, 3}, {4, 5, 6}), 32.0f);
}

TEST(VectorUtils, NearIncludesTheToleranceItself) {
    const float tol = 0.01f;
    EXPECT_TRUE(VecNear({0, 0, 0}, {tol, 0, 0}, tol));
    EXPECT_TRUE(VecNear({0, 0, 0}, {0, 0, -tol}, tol));
    EXPECT_FALSE(VecNear({0, 0, 0}, {std::nextafter(tol, 1.0f), 0, 0}, tol));
    EXPECT_FALSE(VecNear({5, 5, 5}, {5, 5.02f, 5}, tol));
    EXPECT_TRUE(VecNear({5, 5, 5}, {5, 5, 5}, 0.0f));
}

// Intermediate results that a float would lose: each operation rounds only its result.
TEST(VectorUtils, ArithmeticIsCarriedBeyondFloatAndRoundedOnce) {
    // 1e8 + 1 is not a float; summed in float the dot product would be 0.
    EXPECT_EQ(VecDot({Opaque(1e8f), 1, -1e8f}, {1, 1, 1}), 1.0f);
    // The squares overflow a float; the length does not.
    EXPECT_EQ(VecLength({Opaque(3e20f), 4e20f, 0}), 5e20f);
    // (1 + 2^-12)^2 - (1 + 2^-11) = 2^-24 exactly; float products would give 0 or 2^-23.
    const float a = Opaque(1.0f + 0x1p-12f);
    EXPECT_EQ(VecCross({0, a, 1}, {0, 1.0f + 0x1p-11f, a}).X, 0x1p-24f);
}

// A NaN comes out where the arithmetic says so, and VecNear counts a NaN distance as near. A
// build with fast-math or finite-math flags breaks these (and the check's verdicts with them).
TEST(VectorUtils, NanAndInfinityPropagateAndNeverTrap) {
    const Vec3 zero = VecNormalised({Opaque(0), 0, 0});
    EXPECT_TRUE(NanBits(zero.X) && NanBits(zero.Y) && NanBits(zero.Z));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Vec3 r = VecDifference({Opaque(nan), 0, 0}, {1, 1, 1});
    EXPECT_TRUE(NanBits(r.X));
    EXPECT_EQ(r.Y, 1.0f);
    EXPECT_TRUE(NanBits(VecCross({Opaque(nan), 0, 0}, {0, 1, 0}).Z));
    EXPECT_TRUE(NanBits(VecDot({Opaque(nan), 0, 0}, {1, 0, 0})));
    EXPECT_TRUE(NanBits(VecLength({0, Opaque(nan), 0})));
    EXPECT_EQ(VecLength({0, 0, Opaque(inf)}), inf);

    EXPECT_TRUE(VecNear({Opaque(nan), 0, 0}, {100, 100, 100}, 0.01f));
    EXPECT_TRUE(VecNear({Opaque(inf), 0, 0}, {inf, 7, 7}, 0.01f));  // inf - inf is NaN
    EXPECT_FALSE(VecNear({Opaque(inf), 0, 0}, {-inf, 0, 0}, 0.01f));
    EXPECT_FALSE(VecNear({Opaque(inf), 0, 0}, {0, 0, 0}, 0.01f));
}

}  // namespace
}  // namespace vexlor
