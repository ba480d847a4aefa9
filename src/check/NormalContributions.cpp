// The plain scan of the draw table.
#include "NormalContributions.h"

#include "Vector_Utils.h"

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

NormalSum ScanContributions(const ModelStore& store, const Vec3& point, float tol,
                            MeshFilter filter) {
    NormalSum total;
    const int64_t entries = store.DrawnFaceCount();
    for (int64_t e = 0; e < entries; ++e) {
        const DrawFace& face = store.DrawFaces[static_cast<size_t>(e)];
        if (!filter.Accepts(face)) continue;
        for (int q = 0; q < CornerCount(face); ++q) {
            if (VecNear(point, face.Corners[static_cast<size_t>(q)], tol))
                AddContribution(total, UnitNormal(face));
        }
    }
    return total;
}

}  // namespace vexlor
