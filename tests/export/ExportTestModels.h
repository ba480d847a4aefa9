// Export models made by hand for the export tests and the benchmark: no OPT file, no walk.
//
// Faces are wound as OPT files wind them: the corners run clockwise around the face normal, which
// is N = -(AB x BC) (the consistency check's rule).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "export/ExportModel.h"

namespace vexlor::testing {

// A face over `corners` (3 or 4) with its OPT normal; each corner gets `normal` (when set) as its
// vertex normal and a planar texture vertex when `uv` is set.
ExportFace MakeFace(const std::vector<Vec3>& corners, bool vertexNormals, bool uv);

// The OPT normal of three corners: -(AB x BC), normalised.
Vec3 OptNormal(const Vec3& a, const Vec3& b, const Vec3& c);

// Two meshes (the first of type 1, "Main hull", with two levels of detail and a descriptor; the
// second without a type), quads and triangles, faces with and without vertex normals and texture
// vertices, two texture names and a block without one, three hardpoints.
ExportModel SmallModel();

// About `faces` faces over `meshes` meshes: tessellated plates of quads with every fifth quad given
// as two triangles, vertex normals and texture vertices throughout, two textures per mesh, two
// levels of detail (the second a quarter of the first), a hardpoint and a descriptor per mesh.
ExportModel LargeModel(int faces, int meshes = 8);

}  // namespace vexlor::testing
