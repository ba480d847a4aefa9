// "Check OPT": the consistency check of a loaded model. It re-reads every mesh silently, then
// tests the mesh's faces (co-incident corners, face normals, soft vectors) and the vertex normals
// at their corners, and writes its findings as report lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/CheckFinding.h"
#include "reader/OptDocument.h"

namespace vexlor {

// How the vertex normal test gathers the faces that meet at a corner: from the whole model, from
// the corner's own mesh only, or not at all.
enum class VertexNormalCheck { WholeModel, MeshByMesh, None };

// How the vertex normal test finds the corners near a point. Both give identical results; the
// plain scan visits the whole draw table for every corner and is kept as the reference.
enum class ContributionSearch { Indexed, PlainScan };

struct CheckOutcome {
    bool AllOk;                // the run ended with "All OK!!"
    int32_t ErrorCount;        // the "Number of errors" of the run
    int32_t WarningCount = 0;  // findings listed but not counted (a reversed face normal, ...)
};

// Runs the check on the loaded file and appends the run's lines to `lines`; with `findings`,
// also each finding with the place it points at, in the order of their lines. Nothing is loaded:
// no lines, and {false, 0}.
CheckOutcome RunConsistencyCheck(const OptDocument& document, VertexNormalCheck mode,
                                 std::vector<std::string>& lines,
                                 ContributionSearch search = ContributionSearch::Indexed,
                                 std::vector<CheckFinding>* findings = nullptr);

}  // namespace vexlor
