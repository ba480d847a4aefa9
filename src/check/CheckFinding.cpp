// The names of the kinds of finding.
#include "check/CheckFinding.h"

namespace vexlor {

std::string_view FindingKindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::CoincidentVertices:
            return "co-incident vertices";
        case FindingKind::FaceNormalReversed:
            return "face normal reversed";
        case FindingKind::FaceNormal:
            return "face normal anomaly";
        case FindingKind::SoftVector:
            return "softvec anomaly";
        case FindingKind::NoNormalContributions:
            return "no vertex normal contributions";
        case FindingKind::VertexNormal:
            return "vertex normal anomaly";
        case FindingKind::FileProblem:
            return "problem in the file";
        case FindingKind::WalkStopped:
            return "walk stopped";
    }
    return "finding";
}

std::string_view KindName(const CheckFinding& finding) {
    return finding.Problem ? ProblemKindName(finding.Problem->Kind) : FindingKindName(finding.Kind);
}

}  // namespace vexlor
