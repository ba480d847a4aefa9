// What one walk produces besides its events, chosen by its caller for that walk alone: the
// structure tree; who is told what the walk reads; and how much work the walk may do.
#pragma once

#include <cstdint>
#include <vector>

namespace vexlor {

class WalkObserver;

// The work one walk may do: PerByte units per byte of the file and Floor more, and never more than
// MostWork units, MostBlocks blocks or MostRecordsPerBlock records of one block, whatever the
// file's size. A well-formed file costs about one
// unit per byte of its blocks and records (every block visited once); the rest leaves room for
// blocks that several slots share. The two limits keep a file that claims millions of meshes,
// blocks or records cheap: they lie far beyond any model the format's tools write (a few thousand
// faces) and the largest this program is measured on (200,000 faces, about 24 MiB). The program
// keeps the defaults; a fuzz target chooses less, so that each input is quick.
struct WalkBudget {
    int64_t PerByte = 16;
    int64_t Floor = int64_t{1} << 16;
    int64_t MostWork = int64_t{64} << 20;
    int64_t MostBlocks = int64_t{1} << 17;
    // The most records read from one block (vertices, normals, texture vertices, faces), so that
    // one block's display stays within memory; the benchmark model's largest holds about 25,000.
    int64_t MostRecordsPerBlock = int64_t{1} << 17;
};

struct WalkOptions {
    // Rebuild the model's tree and BlockTable (the open).
    bool BuildTree = false;
    // Told of everything the walk reads, in this order (see WalkObserver.h): the report, the
    // draw tables, the problems, the PRJ file, the export's model.
    std::vector<WalkObserver*> Observers;
    WalkBudget Budget;
};

}  // namespace vexlor
