// What a repair of a loaded file will write, decided before anything is written: the fields it
// changes (face normals, soft vectors, vertex normal entries that fail the consistency check's
// tests) and the flagged things it will not write, each with the reason.
//
// The check's tests run in the order in which the fields depend on each other: a face normal is
// mended first, the soft vectors are tested against the face's normal as it will be written, and
// the vertex normals against averages of the face normals as they will be written. So every
// field written is one that the check flags in the file as far as it is mended, and the check of
// the written file passes every test the repair mended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "check/CheckFinding.h"
#include "check/ConsistencyCheck.h"
#include "reader/FieldChange.h"
#include "reader/OptDocument.h"

namespace vexlor {

// Which fields to mend. VertexNormals None leaves them alone; WholeModel and MeshByMesh gather the
// corners' face normals as the check's two vertex normal modes do.
struct RepairChoice {
    bool FaceNormals = true;
    bool SoftVectors = true;
    VertexNormalCheck VertexNormals = VertexNormalCheck::WholeModel;
};

// A flagged thing the repair does not write.
struct NotMendable {
    FindingKind Kind = FindingKind::FaceNormal;
    int32_t Mesh = -1;
    int64_t Face = -1;         // numbered over the mesh as the check numbers it; -1 for an entry
    int32_t Corner = -1;       // a vertex normal: the first corner that fails
    int64_t Offset = -1;       // the field's file position, where it has one
    std::string Reason;        // "co-incident vertices cannot be mended in place"
    int64_t BlockOffset = -1;  // the face's face block
    int32_t FaceInBlock = -1;  // its place in that block
};

// A face the repair changes, for the window's highlight and rows.
struct RepairedFace {
    int32_t Mesh = -1;
    int64_t Face = -1;
    int64_t BlockOffset = -1;   // its face block
    int32_t FaceInBlock = -1;   // its place in the block
    int64_t RecordOffset = -1;  // its four vertex indices
};

struct RepairPlan {
    // In file order; no two share a byte. A component whose value does not change keeps its
    // stored bytes (its sign of zero), and a field none of whose values changes is not listed.
    std::vector<FieldChange> Changes;
    // One per change: the face whose record it is, or the first face whose corner uses the entry.
    std::vector<RepairedFace> Faces;
    std::vector<NotMendable> Kept;
};

RepairPlan PlanRepair(const OptDocument& document, const RepairChoice& choice);

// "mesh 0, face 3: co-incident vertices cannot be mended in place"
std::string NotMendableText(const NotMendable& kept);

}  // namespace vexlor
