// Which entries of the vertex normal table a block of the file stored, followed through the
// check's walk as the reader fills the table: a vertex normal block clears entries 0 ... 1000 and
// then writes its own from 0. A zero entry that a block stored is a vertex normal of no length; one
// that no block of the walk stored (cleared, or never written) stands for no normal at all.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/WalkObserver.h"

namespace vexlor {

class StoredVertexNormals : public WalkObserver {
  public:
    void VertexNormalsRead(const WalkPlace& place, const BlockHeader& header,
                           std::span<const Vec3> normals) override;

    // Whether a block of the walk stored entry `index`.
    bool Stored(int32_t index) const;

  private:
    std::vector<bool> stored_;
};

}  // namespace vexlor
