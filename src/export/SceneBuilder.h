// ExportModel -> aiScene: the nodes, meshes and materials that ExportWriter.h describes.
//
// Per corner: the position (scaled, turned into the output frame), the vertex normal or else the
// face normal or else the normal of the corners' plane, normalised, and the texture vertex as
// assimp keeps it (v' = 1 - v: assimp's origin is the bottom-left corner, the file's the
// top-left; the glTF writer turns it back). Corners with equal position, normal and texture
// vertex share one vertex of the scene mesh. A scene mesh whose faces carry no texture vertex at
// all gets none; in one that does, a corner without one gets (0, 1), the file's (0, 0).
//
// Winding: the corners of an OPT face run clockwise around its face normal when the cross product
// is taken as in a right-handed frame (the check's rule: N = -(AB x BC)), which is
// counter-clockwise in the file's own left-handed frame. The x axis is mirrored on the way out,
// so in the written right-handed frame the file's order A B C D runs counter-clockwise around the
// outward normal, as every format written here wants, and is kept. A quad split for a
// triangle-only format gives A B C and A C D: the split runs along the A-C diagonal.
//
// Mesh descriptors become empty nodes "descriptor K: TYPE TYPENAME" at their centre (in the output
// frame and scale) with three empty children at the box's corners and the target box centre:
// "descriptor K minima", "descriptor K maxima" and "descriptor K target group G". The node's
// metadata holds the block's values as the file has them (OPT frame and units): "type" (int32),
// "typeName" (string), "span", "centre", "minima", "maxima" (vectors), "targetGroup" (int32),
// "targetCentre" (vector), "offset" (uint64, the block's file position). Of the formats tested,
// none keeps node metadata (glTF, FBX and Collada drop it in assimp 5.2; assimp's own dumps keep
// it), so the names and positions are what reaches the file.
// Hardpoint nodes carry "type", "typeName", "offset"; LOD nodes "level" and, when known,
// "distance" (float); mesh nodes "meshIndex" and, when known, "meshType".
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/ExportModel.h"

struct aiScene;

namespace vexlor::detail {

struct SceneOptions {
    int32_t Lod = 1;  // kAllLevels (0) for all
    double Scale = 1.0;
    bool YUp = false;          // (x, y, z) -> (-x, z, -y); else (-x, y, z)
    bool Triangulate = false;  // quads split along A-C
    bool Nodes = true;         // hardpoints and descriptors as empty nodes
    // Every corner gets its face's normal: for STL, whose writer makes each facet's normal the
    // mean of its corners' normals, which smooth vertex normals would turn away from the facet.
    bool FaceNormals = false;
    // Material colours as linear values (glTF's baseColorFactor), not sRGB (every other format).
    bool LinearColours = false;
    // Materials also get an ambient colour (their diffuse one) and a specular one: for 3DS.
    bool AmbientAndSpecular = false;
};

struct SceneStats {
    int64_t Faces = 0;      // source faces written
    int64_t Triangles = 0;  // primitives as written
    int64_t Quads = 0;
    int64_t Hardpoints = 0;
    int64_t Descriptors = 0;
};

struct SceneDeleter {
    void operator()(aiScene* scene) const;
};
using ScenePtr = std::unique_ptr<aiScene, SceneDeleter>;

// Builds the scene. `progress` gets the fraction of faces done; false from it stops the build,
// which then returns null. Warnings are appended to `warnings`.
ScenePtr BuildScene(const ExportModel& model, const SceneOptions& options, SceneStats& stats,
                    std::vector<std::string>& warnings,
                    const std::function<bool(double)>& progress = {});

// A texture name as a material name: cut at the first zero byte, every character outside
// [A-Za-z0-9_.-] replaced by '_'; "texture" when nothing is left.
std::string MaterialName(const std::string& texture);

}  // namespace vexlor::detail
