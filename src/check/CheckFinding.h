// One finding of a consistency check run, with the place it points at: the line it begins in
// the run's report, what kind it is, whether it was counted, the mesh, face and corner, the
// stored and computed vectors, and where the face lies in the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "reader/Vec3.h"
#include "reader/WalkProblems.h"

namespace vexlor {

enum class FindingKind {
    CoincidentVertices,     // "ERROR! co-incident vertices, ..."
    FaceNormalReversed,     // "WARNING! face normal not consistent with vertex order, ..."
    FaceNormal,             // "ERROR! face normal anomaly, ..."
    SoftVector,             // "ERROR! softvec anomaly, ..."
    NoNormalContributions,  // "error! no VN contribs found, face ..."
    VertexNormal,           // "WARNING! Vertex normal anomaly, ..."
    FileProblem,            // a "!!" line of the open: a part of the file it could not read
    WalkStopped,            // "!! walk stopped: ..." (the check's own walk)
    // A vector whose coordinates are not all finite numbers (NaN or an infinity), which no test
    // comparing it could pass or fail, and a stored vertex normal of no length.
    NonFiniteVertex,        // "ERROR! non-finite vertex, ..."
    NonFiniteFaceNormal,    // "ERROR! non-finite face normal, ..."
    NonFiniteSoftVector,    // "ERROR! non-finite softvec, ..."
    NonFiniteVertexNormal,  // "ERROR! non-finite vertex normal, ..."
    ZeroVertexNormal,       // "ERROR! zero-length vertex normal, ..."
};

// A short name of the kind ("face normal anomaly"), as scripts and the findings panel show it.
std::string_view FindingKindName(FindingKind kind);

struct CheckFinding {
    FindingKind Kind = FindingKind::FaceNormal;
    bool Counted = false;  // it added to the run's "Number of errors"
    std::string Text;      // its first report line
    int64_t Line = -1;     // index of that line in the run's lines
    int32_t Mesh = -1;     // -1 where the finding is about no one mesh
    int64_t Face = -1;     // the face, numbered over the mesh as the report numbers it
    int32_t Corner = -1;   // 0 ... 3 for a finding about a corner
    std::optional<Vec3> Stored;
    std::optional<Vec3> Computed;
    int64_t BlockOffset = -1;   // file position of the face's face block
    int32_t FaceInBlock = -1;   // the face's place in that block
    int64_t RecordOffset = -1;  // file position of the face's record (its four vertex indices)
    std::optional<WalkProblem> Problem;  // a FileProblem: its kind, block and offset
    // The vector a non-finite or zero-length finding is about ("face normal", "soft vectors",
    // "vertex", "vertex normal"), and the file position of the face's record of it where the
    // check knows it (a face normal, the soft vectors); empty and -1 for other findings.
    std::string Field;
    int64_t FieldOffset = -1;
};

// Whether every coordinate of `v` is a finite number.
bool IsFiniteVector(const Vec3& v);

// The kind's name, or for a problem of the file the problem's ("offset outside the file").
std::string_view KindName(const CheckFinding& finding);

}  // namespace vexlor
