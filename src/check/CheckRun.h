// One run of the consistency check: its finding count and the tests of one mesh (CheckMesh).
//
// CheckMesh reads the tables that the last walk of a mesh filled: its VertexTable,
// VertexNormalTable and FaceTable (faces 0 to MeshFaceBase - 1), and the draw tables of the whole
// model for the vertex normal test. Indices that name no entry of their table stand for the
// origin (a zero vector), as the walker draws such corners; nothing is read out of range.
//
// A vector with a coordinate that is not a finite number passes every comparison silently, so it
// is a finding of its own, and the tests that would compare it are left out for its face (or
// corner): a non-finite corner stops the co-incident and face normal tests, a non-finite face
// normal or soft vector the soft vector test, a non-finite corner the vertex normal test at that
// corner, and a non-finite vertex normal entry, or one stored with no length, the comparison
// there (its "no VN contribs" line is written all the same).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "check/CheckFinding.h"
#include "check/ConsistencyCheck.h"
#include "check/CornerIndex.h"
#include "check/FaceTests.h"
#include "check/NormalContributions.h"
#include "check/StoredVertexNormals.h"
#include "reader/MeshTables.h"
#include "reader/OptModel.h"
#include "reader/ReportSink.h"

namespace vexlor {

class CheckRun {
  public:
    CheckRun(ReportSink& sink, const std::vector<DrawFace>& drawFaces, VertexNormalCheck mode,
             ContributionSearch search)
        : sink_(sink), drawFaces_(drawFaces), mode_(mode), search_(search) {}

    // Tests the faces of mesh `mesh`, whose tables the last walk filled, and writes the findings.
    void CheckMesh(int32_t mesh, const MeshTables& tables);
    // A counted finding: clears CheckAllOk and adds one to CheckErrorCount.
    void CountFinding();
    // `count` counted findings at once (the problems the open found).
    void CountFindings(int64_t count);
    // Notes a finding whose first line is the next line written.
    void NoteFinding(CheckFinding finding);
    // To be told the walks of the meshes: which vertex normal entries the file stored.
    WalkObserver& StoredNormalsWatch() { return storedNormals_; }

    int32_t CheckErrorCount = 0;
    bool CheckAllOk = true;
    std::vector<CheckFinding> Findings;

  private:
    struct Corners {
        Vec3 A, B, C, D;
        bool Quad;
    };
    Corners CornersOf(const FaceRecord& face) const;
    Vec3 Position(int32_t vertexIndex) const { return tables_->VertexAt(vertexIndex); }
    // The non-finite vectors of a face, each a finding; whether all of them were finite.
    bool CheckFiniteCorners(int64_t f, const FaceRecord& face);
    bool CheckFiniteFaceNormal(int64_t f, const FaceRecord& face);
    bool CheckFiniteSoftVectors(int64_t f, const FaceRecord& face);
    // A counted finding about a stored vector of face f (of its corner, or -1), and its first line.
    void NoteVectorFinding(FindingKind kind, int64_t f, int32_t corner, const std::string& first,
                           const Vec3& stored, std::string field);
    // A corner's vertex normal entry that is not finite, or stored with no length: a finding.
    bool CheckUsableVertexNormal(int64_t f, const FaceRecord& face, size_t k);
    void CheckCoincidentVertices(int64_t f, const FaceRecord& face, const Corners& p);
    void CheckFaceNormal(int64_t f, const FaceRecord& face, const Corners& p);
    void CheckSoftVectors(int64_t f, const FaceRecord& face);
    void CheckVertexNormal(int64_t f, const FaceRecord& face, size_t k);

    NormalSum Contributions(const Vec3& point);
    std::string MeshFace(int64_t f) const;  // "mesh m, face f"
    // A finding about face f of the current mesh, with where the face lies in the file.
    CheckFinding FaceFinding(FindingKind kind, int64_t f, bool counted, std::string text) const;
    std::string Triple(const Vec3& v) const;
    void Line(std::string_view text) {
        if (!quiet_) sink_.ReportLine(text);
    }
    // Face f's findings are next. Past the faces a mesh holds in the format's usual capacity,
    // only the first kListedPastCapacity findings are written and kept, so that a file claiming
    // millions of broken faces stays cheap; the rest are counted, and EndMesh says how many.
    void StartFace(int64_t f);
    void EndMesh();

    ReportSink& sink_;
    const std::vector<DrawFace>& drawFaces_;
    int32_t mesh_ = 0;
    const MeshTables* tables_ = nullptr;
    bool pastCapacity_ = false;
    bool quiet_ = false;
    int64_t listedPastCapacity_ = 0;
    int64_t unlisted_ = 0;
    VertexNormalCheck mode_;
    ContributionSearch search_;
    std::optional<CornerIndex> index_;  // built on first use; the draw tables do not change
    StoredVertexNormals storedNormals_;
};

}  // namespace vexlor
