// What the open's walk keeps in the model besides the tree, each an observer of the walk: the
// draw tables (every face with its corners resolved, and the vertex count) and the problems (the
// "!!" lines the file's report would hold, found without writing it).
#pragma once

#include <string>

#include "reader/OptModel.h"
#include "reader/WalkObserver.h"

namespace vexlor {

class DrawTableFiller : public WalkObserver {
  public:
    explicit DrawTableFiller(OptModel& model) : model_(model) {}

    void VerticesRead(const WalkPlace& place, const BlockHeader& header,
                      std::span<const Vec3> vertices) override;
    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override;

  private:
    OptModel& model_;
};

class ProblemRecorder : public WalkObserver {
  public:
    explicit ProblemRecorder(WalkProblems& problems) : problems_(problems) {}

    bool WantsProblems() const override { return true; }
    void Problem(const WalkProblem& problem) override;
    // The corners whose indices name no entry of their table, as the report's face details
    // name them.
    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override;

  private:
    WalkProblems& problems_;
    std::string line_;
};

}  // namespace vexlor
