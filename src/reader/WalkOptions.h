// What one walk produces besides its report lines, chosen by its caller for that walk alone:
// the structure tree, the draw tables, the problems found, PRJ records; and how much work the
// walk may do.
#pragma once

#include <cstdint>

namespace vexlor {

class ByteOutput;
class WalkObserver;

// The work one walk may do: PerByte units per byte of the file and Floor more. A well-formed file
// costs about one unit per byte (every block visited once); the rest leaves room for blocks that
// several slots share. The program keeps the defaults; a fuzz target chooses less, so that each
// input is quick.
struct WalkBudget {
    int64_t PerByte = 16;
    int64_t Floor = int64_t{1} << 16;
};

struct WalkOptions {
    // Rebuild the model's tree and BlockTable (the open).
    bool BuildTree = false;
    // Append every face to the model's draw tables (the open, the browser's preview).
    bool FillDrawTables = false;
    // Keep every "!!" line in the model's Problems, with or without a report (the open).
    bool RecordProblems = false;
    // Write the PRJ file there: the face count, then one 52-byte record per face (Save PRJ).
    ByteOutput* Prj = nullptr;
    // Told of every block the walk reads (see WalkObserver.h).
    WalkObserver* Observer = nullptr;
    WalkBudget Budget;
};

}  // namespace vexlor
