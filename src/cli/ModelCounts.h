// How much a model holds, as a walk over it reads it: meshes, faces, levels of detail and
// hardpoints. For the records `vexlor check --json` writes of each of several files.
#pragma once

#include <cstdint>

#include "reader/OptDocument.h"

namespace vexlor::cli {

struct ModelCounts {
    int64_t Meshes = 0;      // meshes of the mesh jump table that the walk entered
    int64_t Faces = 0;       // faces of every face block, all levels of detail
    int64_t Levels = 0;      // the most levels of detail any mesh has faces in
    int64_t Hardpoints = 0;  // hardpoint blocks read
};

// One silent walk over the loaded file. It reads into the document's mesh tables, as every walk
// does, so a check of the same document should come before it.
ModelCounts CountModel(const OptDocument& document);

}  // namespace vexlor::cli
