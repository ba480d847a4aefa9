// Counting what a model holds with one observed walk.
#include "cli/ModelCounts.h"

#include <algorithm>

#include "reader/WalkObserver.h"

namespace vexlor::cli {

namespace {

class Counter : public WalkObserver {
  public:
    void MeshStarted(int32_t, int64_t) override { ++counts.meshes; }
    void FacesRead(const WalkPlace& place, int64_t, const MeshTables&, int64_t,
                   int64_t count) override {
        counts.faces += count;
        if (count > 0) counts.levels = std::max(counts.levels, place.lod);
    }
    void HardpointRead(const WalkPlace&, int64_t, const HardpointRecord&) override {
        ++counts.hardpoints;
    }

    ModelCounts counts;
};

}  // namespace

ModelCounts CountModel(const OptDocument& document) {
    Counter counter;
    document.Observe(counter);
    return counter.counts;
}

}  // namespace vexlor::cli
