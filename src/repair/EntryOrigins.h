// Where each entry of the vertex normal table came from, followed through a walk as the reader
// fills the table: a vertex normal block clears entries 0 ... 1000 and then writes its own from 0.
// An entry no block of the file wrote has no place and cannot be written.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/WalkObserver.h"

namespace vexlor {

struct EntryOrigin {
    int64_t Offset = -1;       // file position of the entry's record; -1 when no block wrote it
    int64_t BlockOffset = -1;  // its vertex normal block
    int64_t Record = -1;       // its index in that block
};

class EntryOrigins : public WalkObserver {
  public:
    void VertexNormalsRead(const WalkPlace& place, const BlockHeader& header,
                           std::span<const Vec3> normals) override;

    // The origin of entry `index`, or none for an index no block wrote.
    EntryOrigin At(int32_t index) const;

  private:
    std::vector<EntryOrigin> origins_;
};

}  // namespace vexlor
