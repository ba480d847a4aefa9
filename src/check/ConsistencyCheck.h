// "Check OPT": the consistency check of a loaded model. It re-reads every mesh silently, then
// tests the mesh's faces (co-incident corners, face normals, soft vectors) and the vertex normals
// at their corners, and writes its findings to the document's report list.
#pragma once

#include <cstdint>

#include "OptDocument.h"

namespace vexlor {

// How the vertex normal test gathers faces; the values are the "Vertex normal check" radio
// group's item indices.
enum class VertexNormalCheck { WholeModel = 0, MeshByMesh = 1, None = 2 };

// How the vertex normal test finds the corners near a point. Both give identical results; the
// plain scan visits the whole draw table for every corner and is kept as the reference.
enum class ContributionSearch { Indexed, PlainScan };

struct CheckOutcome {
    bool allOk;          // the run ended with "All OK!!"
    int32_t errorCount;  // the "Number of errors" of the run
};

// Runs the check on the loaded file and leaves the run's lines, and only those, in the report
// list. Before any file is loaded it writes an empty line and "?? no opt loaded!" instead and
// returns {false, 0}. The view's state (current mesh, markers) is as it was before the run.
CheckOutcome CheckOPT(OptDocument& document, VertexNormalCheck mode,
                      ContributionSearch search = ContributionSearch::Indexed);

}  // namespace vexlor
