// The draw tables and the problems, kept from the open's walk.
#include "reader/OpenObservers.h"

#include "reader/FaceCorners.h"

namespace vexlor {

void DrawTableFiller::VerticesRead(const WalkPlace&, const BlockHeader&,
                                   std::span<const Vec3> vertices) {
    model_.VertexCount += static_cast<int64_t>(vertices.size());
}

void DrawTableFiller::FacesRead(const WalkPlace& place, int64_t, const MeshTables& tables,
                                int64_t first, int64_t count) {
    for (int64_t k = first; k < first + count; ++k) {
        const FaceRecord& face = tables.FaceTable[static_cast<size_t>(k)];
        const FaceOrigin& origin = tables.FaceOrigins[static_cast<size_t>(k)];
        const FaceCorners resolved = ResolveCorners(face, tables);
        DrawFace& draw = model_.DrawFaces.emplace_back();
        draw.Mesh = static_cast<int16_t>(place.Mesh);
        draw.IsQuad = resolved.Quad ? 1 : 0;
        draw.Lod = static_cast<uint8_t>(place.Lod);
        draw.Normal = face.FaceNormal;
        draw.Corners = resolved.Corners;
        draw.BlockOffset = origin.BlockOffset;
        draw.FaceInBlock = origin.FaceInBlock;
    }
}

void ProblemRecorder::Problem(const WalkProblem& problem) {
    problems_.Add(problem.Kind, problem.Block, problem.Offset, problem.Text);
}

void ProblemRecorder::FacesRead(const WalkPlace&, int64_t position, const MeshTables& tables,
                                int64_t first, int64_t count) {
    for (int64_t k = first; k < first + count; ++k) {
        const FaceRecord& face = tables.FaceTable[static_cast<size_t>(k)];
        const int64_t record = tables.FaceOrigins[static_cast<size_t>(k)].RecordOffset;
        for (const CornerTable which : {CornerTable::kVertices, CornerTable::kVertexNormals}) {
            const bool vertices = which == CornerTable::kVertices;
            const size_t size =
                vertices ? tables.VertexTableSize() : tables.VertexNormalTableSize();
            const std::array<int32_t, 4>& indices =
                vertices ? face.VertexIndex : face.VertexNormalIndex;
            for (size_t c = 0; c < 4; ++c) {
                if (StateOf(which, c, indices[c], size) != IndexState::kOutsideTable) continue;
                line_.clear();
                AppendOutsideIndexLine(line_, which, c, indices[c], size);
                problems_.Add(ProblemKind::BadIndex, position, IndexPosition(which, c, record),
                              line_);
            }
        }
    }
}

}  // namespace vexlor
