// How a face's corners are found in the mesh tables, for everyone who resolves them: the report's
// face details, the draw tables, the PRJ file and the problems. A triangle (-1 as its fourth
// vertex index) repeats its third corner as the fourth. An index that names no entry of its table
// is a problem, and its corner stands at the origin; a vertex normal index below 0 means none.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "reader/MeshTables.h"

namespace vexlor {

struct FaceCorners {
    std::array<Vec3, 4> Corners{};
    bool Quad = true;
};
inline FaceCorners ResolveCorners(const FaceRecord& face, const MeshTables& tables) {
    FaceCorners resolved;
    for (size_t c = 0; c < 4; ++c) {
        int32_t v = face.VertexIndex[c];
        if (c == 3 && v == -1) {
            v = face.VertexIndex[2];
            resolved.Quad = false;
        }
        resolved.Corners[c] = tables.VertexAt(v);
    }
    return resolved;
}

// The two index groups whose indices name table entries.
enum class CornerTable { kVertices, kVertexNormals };

enum class IndexState { kNone, kNamesEntry, kOutsideTable };
inline IndexState StateOf(CornerTable table, size_t corner, int32_t index, size_t tableSize) {
    if (index < 0 && (table == CornerTable::kVertexNormals || (corner == 3 && index == -1)))
        return IndexState::kNone;
    if (index >= 0 && static_cast<size_t>(index) < tableSize) return IndexState::kNamesEntry;
    return IndexState::kOutsideTable;
}

// The problem line of an index outside its table, e.g. "   !! corner 3: vertex index 57 is
// outside the vertex table (4 entries), drawn at the origin".
void AppendOutsideIndexLine(std::string& line, CornerTable table, size_t corner, int32_t index,
                            size_t tableSize);
// The file position of that index, in the face's record at `record`.
int64_t IndexPosition(CornerTable table, size_t corner, int64_t record);

}  // namespace vexlor
