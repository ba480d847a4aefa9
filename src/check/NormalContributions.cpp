// The plain scan of the draw table.
#include "check/NormalContributions.h"

#include "check/Vector_Utils.h"

namespace vexlor {

Vec3 UnitNormal(const DrawFace& face) {
    Vec3 n = face.Normal;
    VecNormalise(n);
    return n;
}

void AddContribution(NormalSum& total, const Vec3& unitNormal) {
    total.sum.x += unitNormal.x;
    total.sum.y += unitNormal.y;
    total.sum.z += unitNormal.z;
    ++total.count;
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
