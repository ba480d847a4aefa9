// What an open OPT file holds, as the walk of the open found it: the structure tree with the
// block of every node, the position of every mesh, every face of every mesh and level of detail
// with its corners resolved (the draw tables), and the problems the walk found. The open's walk
// writes it; the display, the saves, the check, the view and the export only read it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "reader/BlockTypes.h"
#include "reader/FormatSchema.h"
#include "reader/StructureTree.h"
#include "reader/Vec3.h"
#include "reader/WalkProblems.h"

namespace vexlor {

struct BlockEntry {
    int64_t Offset = 0;  // file position of the block (after AdjustOffset)
    int32_t Type = 0;    // block type code; 0 for the root and the mesh nodes
    int32_t Mesh = 0;
};

// A face of the whole model with its corners resolved.
struct DrawFace {
    std::array<Vec3, 4> Corners{};  // a triangle repeats its third corner as the fourth
    Vec3 Normal;                    // the face normal as stored
    int16_t Mesh = 0;               // low 16 bits of the mesh index
    uint8_t Lod = 0;                // low 8 bits of the level of detail it was read at
    uint8_t IsQuad = 0;             // 1 for a quadrilateral
    int64_t BlockOffset = 0;        // file position of the face block it came from
    int32_t FaceInBlock = 0;        // its place in that block, from 0
};

// The header's mesh jump table: where it lies, how many meshes the header declares, and the
// position of each mesh's root jump block that lies in the file (in mesh order).
struct MeshTable {
    int64_t Position = 0;
    int32_t DeclaredCount = 0;
    std::vector<int64_t> MeshPositions;
};

struct OptModel {
    OptModel() : BlockTable(1, BlockEntry{kRootBlockOffset, kTypeJump, 0}) {}

    // Stored offset − GlobalOffset = file position.
    int64_t GlobalOffset = 0;
    MeshTable Meshes;
    StructureTree Tree;
    // Entry k describes tree node k (pre-order index).
    std::vector<BlockEntry> BlockTable;
    // Every face read, in walk order: meshes in table order, all levels of detail.
    std::vector<DrawFace> DrawFaces;
    // The "!!" lines the report of the file would hold, found by the open without a report.
    WalkProblems Problems;
    // The vertices of every vertex block read, as far as they lie in the file.
    int64_t VertexCount = 0;
};

}  // namespace vexlor
