// The consistency check's tests of one face and one corner, as functions of the values they
// compare. The check and the repair share them, so that a value the repair writes passes the
// very test that flagged the value it replaces, with the same float rounding.
#pragma once

#include "check/NormalContributions.h"
#include "reader/Vec3.h"

namespace vexlor {

// The one threshold of the check: a distance, and how far a dot product may stray from 1.
inline constexpr float CheckTolerance = 0.01f;

// Whether a face's corners collapse: an edge (or a quad's diagonal AC) shorter than the tolerance
// or of no length at all. A quad's other diagonal, BD, is not tested.
bool CornersCollapse(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, bool quad);

// The normal rebuilt from the winding of A, B and C, N = -(AB x BC) normalised; NaN components
// when the corners give no plane.
Vec3 CalculatedFaceNormal(const Vec3& a, const Vec3& b, const Vec3& c);

enum class FaceNormalVerdict {
    Agrees,    // or cannot be told (a NaN product)
    Reversed,  // the right line, the wrong way round: "face normal not consistent with ..."
    Anomaly,   // "face normal anomaly"
};
// The stored normal is compared as stored, not normalised.
FaceNormalVerdict TestFaceNormal(const Vec3& calculated, const Vec3& stored);

// The direction the two soft vectors span a plane about: their normalised cross product.
Vec3 SoftVectorNormal(const Vec3& soft1, const Vec3& soft2);
// Soft vectors in the face's plane have a cross product along the stored normal, either way round.
bool SoftVectorsOnPlane(const Vec3& soft1, const Vec3& soft2, const Vec3& stored);

// The normalised average of the contributing face normals; `found` has at least one.
Vec3 AverageNormal(const NormalSum& found);
// Whether a stored vertex normal entry agrees with a corner's average (the entry is normalised
// first; a NaN product agrees).
bool VertexNormalAgrees(const Vec3& average, const Vec3& storedEntry);

}  // namespace vexlor
