// Lighting normals and the fill arrays.
#include "view/ShadedFaces.h"

#include <algorithm>
#include <cmath>

#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

Vec3d Unit(const Vec3d& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0) || !std::isfinite(length)) return {};
    return {v.x / length, v.y / length, v.z / length};
}

bool SamePoint(const Vec3& a, const Vec3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

Vec3d LightingNormal(const DrawFace& face) {
    const Vec3d stored = Unit(ToVec3d(face.Normal));
    if (stored.x != 0 || stored.y != 0 || stored.z != 0) return stored;
    // The diagonals' cross product: the winding's normal for a quadrilateral and a triangle.
    const auto& c = face.Corners;
    const Vec3d d1{double(c[2].x) - c[0].x, double(c[2].y) - c[0].y, double(c[2].z) - c[0].z};
    const Vec3d d2{double(c[3].x) - c[1].x, double(c[3].y) - c[1].y, double(c[3].z) - c[1].z};
    return Unit({d1.y * d2.z - d1.z * d2.y, d1.z * d2.x - d1.x * d2.z, d1.x * d2.y - d1.y * d2.x});
}

void FillCornerNormals(std::span<const DrawFace> faces, std::vector<int8_t>& normals) {
    const auto count = static_cast<size_t>(DrawableFaceCount(faces));
    normals.resize(count * 16);
    int8_t* out = normals.data();
    for (size_t i = 0; i < count; ++i) {
        const Vec3d n = LightingNormal(faces[i]);
        const int8_t packed[4] = {static_cast<int8_t>(std::lround(n.x * 127)),
                                  static_cast<int8_t>(std::lround(n.y * 127)),
                                  static_cast<int8_t>(std::lround(n.z * 127)), 0};
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
