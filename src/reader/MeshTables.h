// The tables of the mesh a walk is reading: its vertices, vertex normals and texture vertices (as
// the last block of each kind left them) and every face of the mesh so far (all levels of detail).
// The readers fill them; the face detail pass resolves corners against them and the consistency
// check tests them after each mesh's walk.
//
// A vertex block overwrites its table from index 0 and leaves later entries as they were, so a
// mesh whose faces come before its vertices gets the corners of the vertices read before. The
// vertex tables have the format's usual capacity, or more where a block wrote more; an entry no
// block wrote is zero, and is not stored. The open's walk starts from tables no block wrote;
// every later walk of the same file starts from the vertex tables as the open left them
// (OptDocument::WalkTables), so what a walk reports depends on the file alone, never on the walks
// before it. Tables grow only by what the file's bytes can hold.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "reader/Vec3.h"

namespace vexlor {

inline constexpr size_t kVertexTableCapacity = 2001;
inline constexpr size_t kVertexNormalsZeroed = 1001;  // a vertex normal block clears 0 ... 1000

struct FaceRecord {
    std::array<int32_t, 4> VertexIndex{};  // a triangle has -1 in the fourth
    std::array<int32_t, 4> EdgeIndex{};
    std::array<int32_t, 4> VertexNormalIndex{};
    std::array<int32_t, 4> TextureVertexIndex{};
    Vec3 FaceNormal;
    Vec3 SoftVector1;
    Vec3 SoftVector2;
};

// Where a face of the FaceTable came from.
struct FaceOrigin {
    int64_t BlockOffset = 0;   // file position of its face block
    int32_t FaceInBlock = 0;   // its place in that block
    int64_t RecordOffset = 0;  // file position of its four vertex indices
};

struct TextureVertex {
    float U = 0.0f;
    float V = 0.0f;
};

struct MeshTables {
    // Tables no block wrote: zero vertices and normals at the usual capacity, no faces.
    MeshTables() = default;
    // What a walk starts from after `before`: its vertex and vertex normal tables, no faces. A
    // face's entries are always read by the walk that uses them, so they are not carried over.
    static MeshTables After(const MeshTables& before) {
        return MeshTables(before.VertexTable, before.VertexNormalTable);
    }

    // The entries blocks wrote, from 0; the tables go on with zeros up to their size.
    std::vector<Vec3> VertexTable;
    std::vector<Vec3> VertexNormalTable;
    std::vector<TextureVertex> TextureVertexTable;
    std::vector<FaceRecord> FaceTable;
    std::vector<FaceOrigin> FaceOrigins;  // one per FaceTable entry
    // Faces of the current mesh in FaceTable: the first free index.
    int64_t MeshFaceBase = 0;

    // How many entries the vertex tables have: an index from 0 to one less names an entry.
    size_t VertexTableSize() const { return std::max(kVertexTableCapacity, VertexTable.size()); }
    size_t VertexNormalTableSize() const {
        return std::max(kVertexTableCapacity, VertexNormalTable.size());
    }
    // The vertex at `index`; the origin for an entry no block wrote and for an index that names
    // no entry (a corner drawn at the origin, as its report line says).
    Vec3 VertexAt(int32_t index) const { return At(VertexTable, index); }
    // The vertex normal at `index`, or a zero vector.
    Vec3 VertexNormalAt(int32_t index) const { return At(VertexNormalTable, index); }
    // Faces 0 ... MeshFaceBase - 1, never more than the table holds.
    int64_t FaceCount() const {
        const auto held = static_cast<int64_t>(FaceTable.size());
        return MeshFaceBase < 0 ? 0 : (MeshFaceBase > held ? held : MeshFaceBase);
    }

  private:
    MeshTables(std::vector<Vec3> vertices, std::vector<Vec3> normals)
        : VertexTable(std::move(vertices)), VertexNormalTable(std::move(normals)) {}
    static Vec3 At(const std::vector<Vec3>& table, int32_t index) {
        if (index < 0 || static_cast<size_t>(index) >= table.size()) return Vec3{};
        return table[static_cast<size_t>(index)];
    }
};

}  // namespace vexlor
