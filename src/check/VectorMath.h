// Operations on three-component vectors, used by the consistency check to rebuild normals from
// corner positions and to find corners that lie at the same place.
//
// Inputs are 32-bit floats; each operation does its arithmetic in double precision and rounds to
// 32 bits once, where it stores a result. NaN and infinity pass through and never trap: a
// zero-length normalisation leaves NaN components, and VecNear counts a NaN distance as near.
#pragma once

#include "reader/Vec3.h"

namespace vexlor {

// v * s, component by component.
Vec3 VecScaled(const Vec3& v, float s);
// b - a, the vector that points from a to b.
Vec3 VecDifference(const Vec3& a, const Vec3& b);
// sqrt(x*x + y*y + z*z), rounded once.
float VecLength(const Vec3& v);
// v / VecLength(v); no guard against a zero length.
Vec3 VecNormalised(const Vec3& v);
// a x b.
Vec3 VecCross(const Vec3& a, const Vec3& b);
float VecDot(const Vec3& a, const Vec3& b);
// True unless the distance from a to b exceeds tol: a distance equal to tol, or one that is not a
// number, is near.
bool VecNear(const Vec3& a, const Vec3& b, float tol);

}  // namespace vexlor
