// The in-memory model that a walk fills and the display, the saves, the check and the view read:
// walk state, the switches, the BlockTable tied to the structure tree, the per-mesh tables, the
// draw tables, the type-name tables and the two markers.
//
// The tables start at their classic capacities (zero-filled) and grow when a file holds more, but
// only by what the file's bytes can hold: every count read from a file is cut to the elements
// that lie inside the file before anything is allocated for it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "StructureTree.h"
#include "Vec3.h"

namespace vexlor {

inline constexpr size_t kVertexTableCapacity = 2001;
inline constexpr size_t kFaceTableCapacity = 2001;
inline constexpr size_t kVertexNormalsZeroed = 1001;  // a vertex normal block clears 0 ... 1000
inline constexpr size_t kTypeNameCount = 51;          // type codes 0 ... 50
inline constexpr int64_t kRootBlockOffset = 6;        // the header read as a jump block

struct BlockEntry {
    int64_t Offset = 0;  // file position of the block (after AdjustOffset)
    int32_t Type = 0;    // block type code; 0 for the root and the mesh nodes
    int32_t Mesh = 0;
};

struct FaceRecord {
    std::array<int32_t, 4> VertexIndex{};
    std::array<int32_t, 4> EdgeIndex{};
    std::array<int32_t, 4> VertexNormalIndex{};
    std::array<int32_t, 4> TextureVertexIndex{};
    Vec3 FaceNormal;
    Vec3 SoftVector1;
    Vec3 SoftVector2;
};

// One entry of the draw tables: a face of the whole model with its corners resolved.
struct DrawFace {
    std::array<Vec3, 4> Corners{};  // a triangle repeats its third corner as the fourth
    Vec3 Normal;
    int16_t Mesh = 0;    // low 16 bits of the mesh index
    uint8_t Lod = 0;     // low 8 bits of curLOD
    uint8_t IsQuad = 0;  // 1 for a quadrilateral
};

// The work one walk may do: PerByte units per byte of the file and Floor more. A well-formed file
// costs about one unit per byte (every block visited once); the rest leaves room for blocks that
// several slots share. The program keeps the defaults; a fuzz target chooses less, so that each
// input is quick.
struct WalkBudget {
    int64_t PerByte = 16;
    int64_t Floor = int64_t{1} << 16;
};

struct MarkerBoxData {
    Vec3 Centre;
    Vec3 Span;
    Vec3 Colour;
};

struct HardpointMarkerData {
    Vec3 Position;
    Vec3 Colour;
    float Size = 0.0f;
};

struct ModelStore {
    ModelStore()
        : BlockTable(1, BlockEntry{kRootBlockOffset, 0, 0}),
          VertexTable(kVertexTableCapacity),
          VertexNormalTable(kVertexTableCapacity),
          FaceTable(kFaceTableCapacity),
          MeshTypeNames(kTypeNameCount),
          HardpointTypeNames(kTypeNameCount) {}

    // Walk state.
    int32_t FileSize = 0;
    int64_t GlobalOffset = 0;
    int32_t CurrentMesh = 0;
    int64_t curLOD = 0;
    int64_t MeshFaceBase = 0;
    int32_t CurrentTreeNode = 0;
    int64_t BlockCount = 0;

    // Switches of the walk.
    bool BuildTree = false;
    bool FillDrawTables = false;
    bool WritePrj = false;
    WalkBudget Budget;

    // Entry k describes tree node k (pre-order index).
    std::vector<BlockEntry> BlockTable;
    StructureTree Tree;

    // Per-mesh tables, overwritten mesh after mesh.
    std::vector<Vec3> VertexTable;
    std::vector<Vec3> VertexNormalTable;
    std::vector<FaceRecord> FaceTable;

    // Draw tables: every face of the model; entries at and above ShownFaceCount are not in use.
    std::vector<DrawFace> DrawFaces;
    int64_t DrawFaceCount = 0;
    int64_t ShownFaceCount = 0;
    int32_t ShowLod = 0;

    std::vector<std::string> MeshTypeNames;
    std::vector<std::string> HardpointTypeNames;

    MarkerBoxData MarkerBox;
    bool MarkerBoxShown = false;
    HardpointMarkerData HardpointMarker;
    bool HardpointMarkerShown = false;

    // The view's model extent as the last scene set-up computed it; a hardpoint's marker box
    // is sized from it.
    int32_t ExtentMax = 0;
    int32_t ExtentMin = 0;

    // Draw entries in use, never more than the table holds.
    int64_t DrawnFaceCount() const {
        const auto held = static_cast<int64_t>(DrawFaces.size());
        return ShownFaceCount < 0 ? 0 : (ShownFaceCount > held ? held : ShownFaceCount);
    }
};

}  // namespace vexlor
