// The vertex normal test's raw material: for a point, the normalised face normals of every
// draw-table corner that lies near it, summed in draw-table order (entry by entry, corner by
// corner), and how many there were.
//
// ScanContributions is the plain scan over the whole draw table. It is slow (every corner of the
// model for every query) but obviously right, and stays as the reference that CornerIndex must
// match bit for bit.
#pragma once

#include <cstdint>

#include <vector>

#include "reader/OptModel.h"
#include "reader/Vec3.h"

namespace vexlor {

struct NormalSum {
    Vec3 Sum;           // each addition rounded to float
    int64_t Count = 0;  // corners that contributed
};

// Which draw entries take part: every one, or those whose mesh tag equals `mesh`. The draw table
// keeps the low 16 bits of the mesh index, so that is what is compared.
struct MeshFilter {
    bool All = true;
    int16_t Mesh = 0;

    static MeshFilter Everything() { return {}; }
    static MeshFilter OnlyMesh(int32_t m) { return {false, static_cast<int16_t>(m)}; }
    bool Accepts(const DrawFace& face) const { return All || face.Mesh == Mesh; }
};

// Corners of a draw entry that take part: 4 for a quad, 3 for a triangle.
inline int CornerCount(const DrawFace& face) {
    return face.IsQuad != 0 ? 4 : 3;
}

// A normalised copy of a face's stored normal.
Vec3 UnitNormal(const DrawFace& face);

// Adds one contribution to the running sum.
void AddContribution(NormalSum& total, const Vec3& unitNormal);

NormalSum ScanContributions(const std::vector<DrawFace>& faces, const Vec3& point, float tol,
                            MeshFilter filter);

}  // namespace vexlor
