// Lighting normals and the fill arrays.
#include "view/ShadedFaces.h"

#include <algorithm>
#include <cmath>

#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

Vec3d Unit(const Vec3d& v) {
    const double length = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    if (!(length > 0) || !std::isfinite(length)) return {};
    return {v.X / length, v.Y / length, v.Z / length};
}

bool SamePoint(const Vec3& a, const Vec3& b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

}  // namespace

Vec3d LightingNormal(const DrawFace& face) {
    const Vec3d stored = Unit(ToVec3d(face.Normal));
    if (stored.X != 0 || stored.Y != 0 || stored.Z != 0) return stored;
    // The diagonals' cross product: the winding's normal for a quadrilateral and a triangle.
    const auto& c = face.Corners;
    const Vec3d d1{double(c[2].X) - c[0].X, double(c[2].Y) - c[0].Y, double(c[2].Z) - c[0].Z};
    const Vec3d d2{double(c[3].X) - c[1].X, double(c[3].Y) - c[1].Y, double(c[3].Z) - c[1].Z};
    return Unit({d1.Y * d2.Z - d1.Z * d2.Y, d1.Z * d2.X - d1.X * d2.Z, d1.X * d2.Y - d1.Y * d2.X});
}

void FillCornerNormals(std::span<const DrawFace> faces, std::vector<int8_t>& normals) {
    const auto count = static_cast<size_t>(DrawableFaceCount(faces));
    normals.resize(count * 16);
    int8_t* out = normals.data();
    for (size_t i = 0; i < count; ++i) {
        const Vec3d n = LightingNormal(faces[i]);
        const int8_t packed[4] = {static_cast<int8_t>(std::lround(n.X * 127)),
                                  static_cast<int8_t>(std::lround(n.Y * 127)),
                                  static_cast<int8_t>(std::lround(n.Z * 127)), 0};
        for (int corner = 0; corner < 4; ++corner) {
            for (const int8_t b : packed)
                *out++ = b;
        }
    }
}

void FillTriangleList(std::span<const DrawFace> faces, const FaceSelection& shown,
                      std::vector<uint32_t>& corners) {
    const auto count = static_cast<size_t>(DrawableFaceCount(faces));
    corners.clear();
    corners.reserve(count * 6);
    for (size_t i = 0; i < count; ++i) {
        const DrawFace& face = faces[i];
        if (!shown.Draws(face)) continue;
        const auto first = static_cast<uint32_t>(i * 4);
        corners.insert(corners.end(), {first, first + 1, first + 2});
        if (!SamePoint(face.Corners[3], face.Corners[2]))
            corners.insert(corners.end(), {first, first + 2, first + 3});
    }
}

}  // namespace vexlor::view
