// Following the vertex normal table's entries to their records (see EntryOrigins.h).
#include "repair/EntryOrigins.h"

#include <algorithm>

#include "reader/FormatTables.h"
#include "reader/MeshTables.h"

namespace vexlor {

void EntryOrigins::VertexNormalsRead(const WalkPlace& /*place*/, const BlockHeader& header,
                                     std::span<const Vec3> normals) {
    std::fill_n(origins_.begin(), std::min(kVertexNormalsZeroed, origins_.size()), EntryOrigin{});
    if (origins_.size() < normals.size()) origins_.resize(normals.size());
    constexpr int64_t kRecordSize = format::kVertexNormals.RecordSize;
    for (size_t i = 0; i < normals.size(); ++i) {
        const auto record = static_cast<int64_t>(i);
        origins_[i] = {header.Payload + kRecordSize * record, header.Position, record};
    }
}

EntryOrigin EntryOrigins::At(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= origins_.size()) return {};
    return origins_[static_cast<size_t>(index)];
}

}  // namespace vexlor
