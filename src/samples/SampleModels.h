// SampleModels: whole OPT files for tests, benchmarks and the samples directory.
//
// BuildFighter: a small ship (hull, two wings, engine) within the reader's capacities, whose
// geometry passes the consistency check in both vertex normal modes.
// BuildLargeModel: flat tessellated plates, far beyond the capacities, for benchmarks.
// BuildBrokenSamples: malformed files, each breaking the format in a few documented ways.
// BuildFaultySample: a well-formed file whose geometry has one of each consistency check finding.
// BuildSeamSample: meshes meeting along seams, whose vertex normals the check judges differently
// across the whole model and mesh by mesh.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexlor::testing {

// Where the fighter's blocks ended up, for tests that want to point at them.
struct FighterMesh {
    int32_t meshType = 0;
    int64_t root = 0;                // mesh root jump block (type 0)
    int64_t descriptor = 0;          // type 25
    int64_t lod = 0;                 // type 21, three slots
    std::array<int64_t, 3> level{};  // level jump blocks, slot order
    std::array<int64_t, 3> faces{};  // face blocks of each level
    std::array<int32_t, 3> faceCount{};
    std::array<int32_t, 3> triangleCount{};
    int32_t vertexCount = 0;  // every level carries the mesh's whole vertex pool
    std::vector<std::pair<int32_t, int64_t>> hardpoints;  // type code, block position
};

struct FighterLayout {
    int32_t globalOffset = 0;
    int64_t meshTable = 0;
    std::vector<FighterMesh> meshes;
    int32_t treeNodes = 0;  // nodes a walk that builds the tree adds below the root
};

std::vector<uint8_t> BuildFighter();
std::vector<uint8_t> BuildFighter(FighterLayout& layout);

// About `faces` faces (at least one 4 x 4 grid per mesh) over `meshes` meshes (at least 1).
std::vector<uint8_t> BuildLargeModel(int faces, int meshes);

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildBrokenSamples();

std::vector<uint8_t> BuildFaultySample();

std::vector<uint8_t> BuildSeamSample();

}  // namespace vexlor::testing
