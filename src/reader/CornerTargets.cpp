// Following the mesh tables through a walk: which block's record each entry holds.
#include "reader/CornerTargets.h"

#include <algorithm>
#include <vector>

#include "reader/FormatTables.h"
#include "reader/OptWalker.h"

namespace vexlor {

namespace {

class TargetFinder : public WalkObserver {
  public:
    TargetFinder(const RecordRef& face, int32_t mesh, CornerTable table)
        : face_(face), mesh_(mesh), table_(table) {}

    void VerticesRead(const WalkPlace&, const BlockHeader& header,
                      std::span<const Vec3> vertices) override {
        Wrote(vertexOrigins_, header.Position, kTypeVertex, vertices.size());
    }
    void VertexNormalsRead(const WalkPlace&, const BlockHeader& header,
                           std::span<const Vec3> normals) override {
        // A vertex normal block first clears the entries it may leave.
        const size_t cleared = std::min(kVertexNormalsZeroed, normalOrigins_.size());
        std::fill_n(normalOrigins_.begin(), cleared, RecordRef{});
        Wrote(normalOrigins_, header.Position, kTypeVertexNormal, normals.size());
    }
    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override {
        if (found_ || position != face_.Block || (mesh_ >= 0 && place.Mesh != mesh_)) return;
        if (face_.Record < 0 || face_.Record >= count) return;
        found_ = true;
        const FaceRecord& face = tables.FaceTable[static_cast<size_t>(first + face_.Record)];
        const bool vertices = table_ == CornerTable::kVertices;
        const size_t size = vertices ? tables.VertexTableSize() : tables.VertexNormalTableSize();
        const std::vector<RecordRef>& origins = vertices ? vertexOrigins_ : normalOrigins_;
        for (size_t corner = 0; corner < 4; ++corner) {
            const int32_t index = (vertices ? face.VertexIndex : face.VertexNormalIndex)[corner];
            if (StateOf(table_, corner, index, size) != IndexState::kNamesEntry) continue;
            if (static_cast<size_t>(index) < origins.size() &&
                origins[static_cast<size_t>(index)].Block >= 0)
                targets_[corner] = origins[static_cast<size_t>(index)];
        }
    }

    const CornerTargetList& Targets() const { return targets_; }

  private:
    // The block's records now fill entries 0 ... count - 1.
    static void Wrote(std::vector<RecordRef>& origins, int64_t block, int32_t type, size_t count) {
        if (origins.size() < count) origins.resize(count);
        for (size_t i = 0; i < count; ++i)
            origins[i] = RecordRef{block, type, 1, static_cast<int64_t>(i), -1};
    }

    RecordRef face_;
    int32_t mesh_;
    CornerTable table_;
    bool found_ = false;
    std::vector<RecordRef> vertexOrigins_;
    std::vector<RecordRef> normalOrigins_;
    CornerTargetList targets_;
};

static_assert(RegionIndex(format::kVertexRegions, "vertices") == 1 &&
              RegionIndex(format::kVertexNormalRegions, "vertexNormals") == 1);

}  // namespace

std::optional<RecordRef> CornerTarget(const OptStream& stream, const RecordRef& face, int32_t mesh,
                                      size_t corner, CornerTable table) {
    if (corner >= 4) return std::nullopt;
    return CornerTargets(stream, face, mesh, table)[corner];
}

CornerTargetList CornerTargets(const OptStream& stream, const RecordRef& face, int32_t mesh,
                               CornerTable table) {
    TargetFinder finder(face, mesh, table);
    WalkOptions options;
    options.Observers = {&finder};
    // As the open walked: from zero-filled tables.
    MeshTables tables;
    OptWalker(stream, tables, options).Walk();
    return finder.Targets();
}

}  // namespace vexlor
