// Round-trip checks: what a written file must hold, derived from the ExportModel by the rules the
// export documents (not by its code), and the comparison with what assimp's importer reads back.
#pragma once

#include <assimp/vector3.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "export/ExportModel.h"

struct aiScene;

namespace vexlor::testing {

struct ExpectOptions {
    int32_t lod = 1;  // 0: all levels
    double scale = 1.0;
    bool yUp = false;
    bool triangulate = false;
};

// One primitive as the format receives it, corners counter-clockwise around its normal.
struct ExpectedPrimitive {
    int32_t mesh = 0;
    int32_t level = 0;
    std::vector<aiVector3D> positions;
    std::vector<aiVector3D> normals;  // unit
    std::vector<aiVector3D> uvs;      // assimp's (u, 1 - v); empty when the group has none
    aiVector3D normal;                // the face's, unit
};

struct Expectation {
    std::vector<ExpectedPrimitive> primitives;
    std::map<std::pair<int32_t, int32_t>, int64_t> perLevel;  // primitives of (mesh, level)
    int64_t corners = 0;
    aiVector3D low, high;
    std::vector<std::pair<std::string, aiVector3D>> hardpoints;  // node name, position
    std::vector<std::pair<std::string, aiVector3D>>
        descriptors;                     // node names (and children's), positions
    std::vector<std::string> meshNodes;  // "mesh M TYPENAME"
};

Expectation Expect(const ExportModel& model, const ExpectOptions& options);

// What to compare for a format.
struct CompareOptions {
    bool nodes = false;         // mesh, LOD, hardpoint and descriptor nodes by name
    bool meshNames = false;     // faces per level from the mesh names (OBJ's groups)
    bool normals = false;       // per-corner normals
    bool facetNormals = false;  // one normal per face that must face the same side (STL)
    bool uvs = false;
    bool materials = false;  // material names
    int sampleEvery = 1;     // compare the corners of every n-th imported face
    double positionTolerance = 1e-4;
};

// Compares an imported scene with the expectation; returns the differences found (at most a few
// of each kind), empty when the scene matches.
std::vector<std::string> Compare(const aiScene& scene, const Expectation& expected,
                                 const CompareOptions& options,
                                 const std::vector<std::string>& materialNames = {});

}  // namespace vexlor::testing
