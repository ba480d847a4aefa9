// The face and corner tests of the consistency check (see FaceTests.h).
#include "check/FaceTests.h"

#include <cmath>

#include "check/VectorMath.h"

namespace vexlor {

namespace {

// |x| within the tolerance; x is formed in double from a float result and not rounded again.
bool WithinTolerance(double x) {
    return std::fabs(x) <= double{CheckTolerance};
}

// An edge too short to be one: shorter than the tolerance, or of no length at all (NaN).
bool Collapsed(const Vec3& edge) {
    const float length = VecLength(edge);
    return std::isnan(length) || length < CheckTolerance;
}

}  // namespace

bool CornersCollapse(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, bool quad) {
    const bool sides = Collapsed(VecDifference(a, b)) || Collapsed(VecDifference(b, c));
    if (quad) {
        return sides || Collapsed(VecDifference(c, d)) || Collapsed(VecDifference(d, a)) ||
               Collapsed(VecDifference(a, c));
    }
    return sides || Collapsed(VecDifference(c, a));
}

Vec3 CalculatedFaceNormal(const Vec3& a, const Vec3& b, const Vec3& c) {
    return VecScaled(VecNormalised(VecCross(VecDifference(a, b), VecDifference(b, c))), -1.0f);
}

FaceNormalVerdict TestFaceNormal(const Vec3& calculated, const Vec3& stored) {
    const float d = VecDot(calculated, stored);
    if (std::isnan(d) || WithinTolerance(double{d} - 1.0)) return FaceNormalVerdict::Agrees;
    if (WithinTolerance(std::fabs(double{d}) - 1.0)) return FaceNormalVerdict::Reversed;
    return FaceNormalVerdict::Anomaly;
}

Vec3 SoftVectorNormal(const Vec3& soft1, const Vec3& soft2) {
    return VecNormalised(VecCross(soft1, soft2));
}

bool SoftVectorsOnPlane(const Vec3& soft1, const Vec3& soft2, const Vec3& stored) {
    const float d = VecDot(SoftVectorNormal(soft1, soft2), stored);
    return std::isnan(d) || WithinTolerance(std::fabs(double{d}) - 1.0);
}

Vec3 AverageNormal(const NormalSum& found) {
    const auto count = static_cast<double>(found.Count);
    return VecNormalised({static_cast<float>(found.Sum.X / count),
                          static_cast<float>(found.Sum.Y / count),
                          static_cast<float>(found.Sum.Z / count)});
}

bool VertexNormalAgrees(const Vec3& average, const Vec3& storedEntry) {
    const float d = VecDot(average, VecNormalised(storedEntry));
    return std::isnan(d) || WithinTolerance(double{d} - 1.0);
}

}  // namespace vexlor
