// Counting what a model holds with one observed walk.
#include "cli/ModelCounts.h"

#include <algorithm>

#include "reader/WalkObserver.h"

namespace vexlor::cli {

namespace {

class Counter : public WalkObserver {
  public:
    void MeshStarted(int32_t, int64_t) override { ++Counts.Meshes; }
    void FacesRead(const WalkPlace& place, int64_t, const MeshTables&, int64_t,
                   int64_t count) override {
        Counts.Faces += count;
        if (count > 0) Counts.Levels = std::max(Counts.Levels, place.Lod);
    }
    void HardpointRead(const WalkPlace&, int64_t, const HardpointRecord&) override {
        ++Counts.Hardpoints;
    }

    ModelCounts Counts;
};

}  // namespace

ModelCounts CountModel(const OptDocument& document) {
    Counter counter;
    document.Observe(counter);
    return counter.Counts;
}

}  // namespace vexlor::cli
