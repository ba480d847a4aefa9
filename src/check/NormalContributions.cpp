// The plain scan of the draw table.
#include "check/NormalContributions.h"

#include <cmath>
#include <limits>

#include "check/VectorMath.h"

namespace vexlor {

Vec3 UnitNormal(const DrawFace& face) {
    // One NaN for every component that is none: x86 keeps either operand's NaN when two meet in
    // a sum, and which one depends on how the compiler ordered the addition, so NaNs of different
    // signs (a zero normal's 0/0, a NaN read from the file) would make the scan and the index
    // disagree in the sign bit of a sum that is NaN either way.
    Vec3 n = VecNormalised(face.Normal);
    for (float* c : {&n.X, &n.Y, &n.Z})
        if (std::isnan(*c)) *c = std::numeric_limits<float>::quiet_NaN();
    return n;
}

void AddContribution(NormalSum& total, const Vec3& unitNormal) {
    total.Sum.X += unitNormal.X;
    total.Sum.Y += unitNormal.Y;
    total.Sum.Z += unitNormal.Z;
    ++total.Count;
}

NormalSum ScanContributions(const std::vector<DrawFace>& faces, const Vec3& point, float tol,
                            MeshFilter filter) {
    NormalSum total;
    for (const DrawFace& face : faces) {
        if (!filter.Accepts(face)) continue;
        for (int q = 0; q < CornerCount(face); ++q) {
            if (VecNear(point, face.Corners[static_cast<size_t>(q)], tol))
                AddContribution(total, UnitNormal(face));
        }
    }
    return total;
}

}  // namespace vexlor
