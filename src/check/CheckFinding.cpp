// The names of the kinds of finding, and the test of a vector for finite coordinates.
#include "check/CheckFinding.h"

#include <cmath>

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
        case FindingKind::NonFiniteVertex:
            return "non-finite vertex";
        case FindingKind::NonFiniteFaceNormal:
            return "non-finite face normal";
        case FindingKind::NonFiniteSoftVector:
            return "non-finite softvec";
        case FindingKind::NonFiniteVertexNormal:
            return "non-finite vertex normal";
        case FindingKind::ZeroVertexNormal:
            return "zero-length vertex normal";
    }
    return "finding";
}

bool IsFiniteVector(const Vec3& v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

std::string_view KindName(const CheckFinding& finding) {
    return finding.Problem ? ProblemKindName(finding.Problem->Kind) : FindingKindName(finding.Kind);
}

}  // namespace vexlor
