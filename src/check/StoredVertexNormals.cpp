// Following the stored entries of the vertex normal table (see StoredVertexNormals.h).
#include "check/StoredVertexNormals.h"

#include <algorithm>

#include "reader/MeshTables.h"

namespace vexlor {

void StoredVertexNormals::VertexNormalsRead(const WalkPlace& /*place*/,
                                            const BlockHeader& /*header*/,
                                            std::span<const Vec3> normals) {
    std::fill_n(stored_.begin(), std::min(kVertexNormalsZeroed, stored_.size()), false);
    if (stored_.size() < normals.size()) stored_.resize(normals.size());
    std::fill_n(stored_.begin(), normals.size(), true);
}

bool StoredVertexNormals::Stored(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < stored_.size() &&
           stored_[static_cast<size_t>(index)];
}

}  // namespace vexlor
