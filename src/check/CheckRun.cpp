// The tests of one mesh, in the order their lines appear: co-incident corners, face normal and
// soft vectors face by face, then the vertex normal at every corner.
#include "check/CheckRun.h"

#include <algorithm>
#include <limits>

#include "check/FaceTests.h"
#include "check/VectorMath.h"

namespace vexlor {

void CheckRun::CountFinding() {
    CheckAllOk = false;
    if (CheckErrorCount < std::numeric_limits<int32_t>::max()) ++CheckErrorCount;
}

void CheckRun::CountFindings(int64_t count) {
    if (count <= 0) return;
    CheckAllOk = false;
    const int64_t total = int64_t{CheckErrorCount} + count;
    CheckErrorCount =
        static_cast<int32_t>(std::min<int64_t>(total, std::numeric_limits<int32_t>::max()));
}

namespace {
// The faces a mesh holds in the format's usual capacity, and the findings listed past them.
constexpr int64_t kFaceCapacity = 2001;
constexpr int64_t kListedPastCapacity = 100;
}  // namespace

void CheckRun::StartFace(int64_t f) {
    pastCapacity_ = f >= kFaceCapacity;
    quiet_ = pastCapacity_ && listedPastCapacity_ >= kListedPastCapacity;
}

void CheckRun::EndMesh() {
    quiet_ = false;
    pastCapacity_ = false;
    if (unlisted_ > 0)
        Line("... and " + sink_.IntText(unlisted_) + " more findings about faces past the first " +
             sink_.IntText(kFaceCapacity) + " of mesh " + sink_.IntText(mesh_) +
             ", counted but not listed");
    listedPastCapacity_ = 0;
    unlisted_ = 0;
}

void CheckRun::NoteFinding(CheckFinding finding) {
    if (quiet_) {
        ++unlisted_;
        return;
    }
    if (pastCapacity_) ++listedPastCapacity_;
    finding.Line = static_cast<int64_t>(sink_.ListedLines());
    Findings.push_back(std::move(finding));
}

CheckFinding CheckRun::FaceFinding(FindingKind kind, int64_t f, bool counted,
                                   std::string text) const {
    CheckFinding finding;
    finding.Kind = kind;
    finding.Counted = counted;
    finding.Text = std::move(text);
    finding.Mesh = mesh_;
    finding.Face = f;
    if (f >= 0 && static_cast<size_t>(f) < tables_->FaceOrigins.size()) {
        const FaceOrigin& origin = tables_->FaceOrigins[static_cast<size_t>(f)];
        finding.BlockOffset = origin.BlockOffset;
        finding.FaceInBlock = origin.FaceInBlock;
        finding.RecordOffset = origin.RecordOffset;
    }
    return finding;
}

std::string CheckRun::MeshFace(int64_t f) const {
    return "mesh " + sink_.IntText(mesh_) + ", face " + sink_.IntText(f);
}

std::string CheckRun::Triple(const Vec3& v) const {
    return sink_.TripleText(v.X, v.Y, v.Z);
}

CheckRun::Corners CheckRun::CornersOf(const FaceRecord& face) const {
    const auto& index = face.VertexIndex;
    const bool quad = index[3] >= 0;
    return {Position(index[0]), Position(index[1]), Position(index[2]),
            quad ? Position(index[3]) : Vec3{}, quad};
}

void CheckRun::CheckMesh(int32_t mesh, const MeshTables& tables) {
    mesh_ = mesh;
    tables_ = &tables;
    Line("Checking for co-incident vertices...");
    Line("Checking face normals by re-calculating...");
    Line("Checking Software vectors on-plane...");
    const int64_t faces = tables.FaceCount();
    for (int64_t f = 0; f < faces; ++f) {
        StartFace(f);
        const FaceRecord& face = tables.FaceTable[static_cast<size_t>(f)];
        const bool cornersFinite = CheckFiniteCorners(f, face);
        const bool normalFinite = CheckFiniteFaceNormal(f, face);
        const bool softsFinite = CheckFiniteSoftVectors(f, face);
        const Corners corners = CornersOf(face);
        if (cornersFinite) {
            CheckCoincidentVertices(f, face, corners);
            if (normalFinite) CheckFaceNormal(f, face, corners);
        }
        if (normalFinite && softsFinite) CheckSoftVectors(f, face);
    }

    StartFace(0);
    Line("Checking vertex normals...");
    if (mode_ != VertexNormalCheck::None) {
        for (int64_t f = 0; f < faces; ++f) {
            StartFace(f);
            const FaceRecord& face = tables.FaceTable[static_cast<size_t>(f)];
            const size_t cornerCount = face.VertexIndex[3] >= 0 ? 4 : 3;
            for (size_t k = 0; k < cornerCount; ++k)
                CheckVertexNormal(f, face, k);
        }
    }
    EndMesh();
}

void CheckRun::NoteVectorFinding(FindingKind kind, int64_t f, int32_t corner,
                                 const std::string& first, const Vec3& stored, std::string field) {
    CheckFinding finding = FaceFinding(kind, f, true, first);
    finding.Corner = corner;
    finding.Stored = stored;
    finding.Field = std::move(field);
    NoteFinding(std::move(finding));
    Line(first);
}

bool CheckRun::CheckFiniteCorners(int64_t f, const FaceRecord& face) {
    bool finite = true;
    const size_t cornerCount = face.VertexIndex[3] >= 0 ? 4 : 3;
    for (size_t k = 0; k < cornerCount; ++k) {
        const Vec3 vertex = Position(face.VertexIndex[k]);
        if (IsFiniteVector(vertex)) continue;
        const std::string first = "ERROR! non-finite vertex, " + MeshFace(f) + ", vertex " +
                                  sink_.IntText(static_cast<int64_t>(k)) + "!";
        NoteVectorFinding(FindingKind::NonFiniteVertex, f, static_cast<int32_t>(k), first, vertex,
                          "vertex");
        Line("   vertex index is: " + sink_.IntText(face.VertexIndex[k]));
        Line(Triple(vertex));
        CountFinding();
        finite = false;
    }
    return finite;
}

bool CheckRun::CheckFiniteFaceNormal(int64_t f, const FaceRecord& face) {
    const Vec3& stored = face.FaceNormal;
    if (IsFiniteVector(stored)) return true;
    const std::string first = "ERROR! non-finite face normal, " + MeshFace(f) + "!";
    NoteVectorFinding(FindingKind::NonFiniteFaceNormal, f, -1, first, stored, "face normal");
    Line("Stored normal: " + Triple(stored));
    CountFinding();
    return false;
}

bool CheckRun::CheckFiniteSoftVectors(int64_t f, const FaceRecord& face) {
    if (IsFiniteVector(face.SoftVector1) && IsFiniteVector(face.SoftVector2)) return true;
    const std::string first = "ERROR! non-finite softvec, " + MeshFace(f) + "!";
    NoteVectorFinding(FindingKind::NonFiniteSoftVector, f, -1, first,
                      IsFiniteVector(face.SoftVector1) ? face.SoftVector2 : face.SoftVector1,
                      "soft vectors");
    Line("Softvec 1 :" + Triple(face.SoftVector1));
    Line("Softvec 2 :" + Triple(face.SoftVector2));
    CountFinding();
    return false;
}

bool CheckRun::CheckUsableVertexNormal(int64_t f, const FaceRecord& face, size_t k) {
    const int32_t index = face.VertexNormalIndex[k];
    const Vec3 entry = tables_->VertexNormalAt(index);
    FindingKind kind = FindingKind::NonFiniteVertexNormal;
    std::string first = "ERROR! non-finite vertex normal, ";
    if (IsFiniteVector(entry)) {
        // Only an entry a block of the file stored: one no block wrote stands for no normal.
        if (!storedNormals_.Stored(index) || entry.X != 0.0f || entry.Y != 0.0f || entry.Z != 0.0f)
            return true;
        kind = FindingKind::ZeroVertexNormal;
        first = "ERROR! zero-length vertex normal, ";
    }
    first += MeshFace(f) + ", vertex " + sink_.IntText(static_cast<int64_t>(k)) + "!";
    NoteVectorFinding(kind, f, static_cast<int32_t>(k), first, entry, "vertex normal");
    Line("Stored VN :" + Triple(entry));
    CountFinding();
    return false;
}

void CheckRun::CheckCoincidentVertices(int64_t f, const FaceRecord& face, const Corners& p) {
    if (!CornersCollapse(p.A, p.B, p.C, p.D, p.Quad)) return;

    const std::string first = "ERROR! co-incident vertices, " + MeshFace(f) + "!";
    NoteFinding(FaceFinding(FindingKind::CoincidentVertices, f, true, first));
    Line(first);
    const auto& index = face.VertexIndex;
    Line("   vertex indices are: " + sink_.IntText(index[0]) + " , " + sink_.IntText(index[1]) +
         " , " + sink_.IntText(index[2]) + " , " + sink_.IntText(index[3]));
    for (const int32_t i : index) {
        if (i >= 0) Line(Triple(Position(i)));
    }
    CountFinding();
}

void CheckRun::CheckFaceNormal(int64_t f, const FaceRecord& face, const Corners& p) {
    // The normal rebuilt from the winding of A, B and C; a quad's D plays no part.
    const Vec3 n = CalculatedFaceNormal(p.A, p.B, p.C);
    const Vec3& stored = face.FaceNormal;  // compared as stored, not normalised
    const FaceNormalVerdict verdict = TestFaceNormal(n, stored);
    if (verdict == FaceNormalVerdict::Agrees) return;
    if (verdict == FaceNormalVerdict::Reversed) {
        // Right line, wrong way round: the winding disagrees with the stored normal.
        const std::string line =
            "WARNING! face normal not consistent with vertex order, " + MeshFace(f) + "!";
        CheckFinding finding = FaceFinding(FindingKind::FaceNormalReversed, f, false, line);
        finding.Stored = stored;
        finding.Computed = n;
        NoteFinding(std::move(finding));
        Line(line);
        return;
    }
    const std::string first = "ERROR! face normal anomaly, " + MeshFace(f) + "!";
    CheckFinding finding = FaceFinding(FindingKind::FaceNormal, f, true, first);
    finding.Stored = stored;
    finding.Computed = n;
    NoteFinding(std::move(finding));
    Line(first);
    Line("Stored normal: " + Triple(stored));
    Line("Calc     normal: " + Triple(n));
    CountFinding();
}

void CheckRun::CheckSoftVectors(int64_t f, const FaceRecord& face) {
    const Vec3& stored = face.FaceNormal;
    if (SoftVectorsOnPlane(face.SoftVector1, face.SoftVector2, stored)) return;
    const Vec3 t = SoftVectorNormal(face.SoftVector1, face.SoftVector2);
    const std::string first = "ERROR! softvec anomaly, " + MeshFace(f) + "!";
    CheckFinding finding = FaceFinding(FindingKind::SoftVector, f, true, first);
    finding.Stored = stored;
    finding.Computed = t;
    NoteFinding(std::move(finding));
    Line(first);
    Line("Stored normal: " + Triple(stored));
    Line("Softvec   normal : " + Triple(t));
    CountFinding();
}

NormalSum CheckRun::Contributions(const Vec3& point) {
    const MeshFilter filter = mode_ == VertexNormalCheck::MeshByMesh ? MeshFilter::OnlyMesh(mesh_)
                                                                     : MeshFilter::Everything();
    if (search_ == ContributionSearch::PlainScan)
        return ScanContributions(drawFaces_, point, CheckTolerance, filter);
    if (!index_) index_.emplace(drawFaces_, CheckTolerance);
    return index_->Contributions(point, filter);
}

void CheckRun::CheckVertexNormal(int64_t f, const FaceRecord& face, size_t k) {
    const Vec3 point = Position(face.VertexIndex[k]);
    if (!IsFiniteVector(point)) return;  // the corner is a finding of its face already
    // An entry that cannot be compared is a finding whatever the corner meets; the corner's
    // contributions are told all the same, as they are for any entry.
    const bool usable = CheckUsableVertexNormal(f, face, k);
    const NormalSum found = Contributions(point);
    if (found.Count == 0) {
        const std::string line = "error! no VN contribs found, face " + sink_.IntText(f);
        CheckFinding finding = FaceFinding(FindingKind::NoNormalContributions, f, false, line);
        finding.Corner = static_cast<int32_t>(k);
        NoteFinding(std::move(finding));
        Line(line);
        return;
    }
    if (!usable) return;
    // The average of the contributing face normals, against the stored vertex normal.
    const Vec3 average = AverageNormal(found);
    const Vec3 entry = tables_->VertexNormalAt(face.VertexNormalIndex[k]);
    if (VertexNormalAgrees(average, entry)) return;
    const Vec3 stored = VecNormalised(entry);
    Line("");
    const std::string first = "WARNING! Vertex normal anomaly, " + MeshFace(f) + ", vertex " +
                              sink_.IntText(static_cast<int64_t>(k)) + "!";
    CheckFinding finding = FaceFinding(FindingKind::VertexNormal, f, true, first);
    finding.Corner = static_cast<int32_t>(k);
    finding.Stored = stored;
    finding.Computed = average;
    NoteFinding(std::move(finding));
    Line(first);
    Line("Stored VN :" + Triple(stored));
    Line("Calcd   VN :" + Triple(average));
    CountFinding();
}

}  // namespace vexlor
