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
    int32_t MeshType = 0;
    int64_t Root = 0;                // mesh root jump block (type 0)
    int64_t Descriptor = 0;          // type 25
    int64_t Lod = 0;                 // type 21, three slots
    std::array<int64_t, 3> Level{};  // level jump blocks, slot order
    std::array<int64_t, 3> Faces{};  // face blocks of each level
    std::array<int32_t, 3> FaceCount{};
    std::array<int32_t, 3> TriangleCount{};
    int32_t VertexCount = 0;  // every level carries the mesh's whole vertex pool
    std::vector<std::pair<int32_t, int64_t>> Hardpoints;  // type code, block position
};

struct FighterLayout {
    int32_t GlobalOffset = 0;
    int64_t MeshTable = 0;
    std::vector<FighterMesh> Meshes;
    int32_t TreeNodes = 0;  // nodes a walk that builds the tree adds below the root
};

std::vector<uint8_t> BuildFighter();
std::vector<uint8_t> BuildFighter(FighterLayout& layout);
// The same blocks at the same places, with their stored offsets written for `globalOffset`.
std::vector<uint8_t> BuildFighter(FighterLayout& layout, int32_t globalOffset);

// About `faces` faces (at least one 4 x 4 grid per mesh) over `meshes` meshes (at least 1).
std::vector<uint8_t> BuildLargeModel(int faces, int meshes);

std::vector<std::pair<std::string, std::vector<uint8_t>>> BuildBrokenSamples();

std::vector<uint8_t> BuildFaultySample();

std::vector<uint8_t> BuildSeamSample();

}  // namespace vexlor::testing
