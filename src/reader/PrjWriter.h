// The PRJ file of Save PRJ, written from what a walk reads: an observer of the walk that writes
// one face record (its mesh and its four corners, a triangle's third repeated) per face read, and
// at the end the count of them in front.
#pragma once

#include <cstdint>

#include "reader/ByteOutput.h"
#include "reader/WalkObserver.h"

namespace vexlor {

class PrjWriter : public WalkObserver {
  public:
    // Writes the place of the count.
    explicit PrjWriter(ByteOutput& out);

    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override;
    // Writes the count of the records written.
    void Finish();

  private:
    ByteOutput& out_;
    int64_t records_ = 0;
};

}  // namespace vexlor
