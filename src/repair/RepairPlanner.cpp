// The repair's plan: a walk of each mesh as the consistency check walks it, the check's face tests
// with the mended face normal carried into the soft vector test, then the vertex normal test of
// every corner against the face normals as they will be written (see RepairPlan.h).
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <unordered_map>

#include "check/CornerIndex.h"
#include "check/FaceTests.h"
#include "check/StoredVertexNormals.h"
#include "check/VectorMath.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"
#include "repair/EntryOrigins.h"
#include "repair/RepairPlan.h"

namespace vexlor {

namespace {

constexpr const RegionSchema& kNormals = format::kFaceNormals;
constexpr const RegionSchema& kSofts = format::kSoftVectors;
constexpr const FieldSchema& kNormalField = FieldOf(kNormals, "normal");
constexpr const FieldSchema& kSoft1Field = FieldOf(kSofts, "softVector1");
constexpr const FieldSchema& kSoft2Field = FieldOf(kSofts, "softVector2");
constexpr const FieldSchema& kEntryField = FieldOf(format::kVertexNormals, "normal");
constexpr int32_t kSoftsRegion = RegionIndex(format::kFaceRegions, "softVectors");

bool SameBits(const Vec3& a, const Vec3& b) {
    return std::bit_cast<uint32_t>(a.X) == std::bit_cast<uint32_t>(b.X) &&
           std::bit_cast<uint32_t>(a.Y) == std::bit_cast<uint32_t>(b.Y) &&
           std::bit_cast<uint32_t>(a.Z) == std::bit_cast<uint32_t>(b.Z);
}

// What is written over `stored` to make it `wanted`: a component equal in value keeps its stored
// bytes (0 stays 0 where -0 was wanted, and the other way round), so that a field is only written
// where a value changes.
Vec3 AsWritten(const Vec3& stored, const Vec3& wanted) {
    return {stored.X == wanted.X ? stored.X : wanted.X, stored.Y == wanted.Y ? stored.Y : wanted.Y,
            stored.Z == wanted.Z ? stored.Z : wanted.Z};
}

// `v` with its component along the unit vector `n` removed, scaled back to its length; nothing
// when what is left is too short to give a direction.
std::optional<Vec3> OntoPlane(const Vec3& v, const Vec3& n) {
    const double along = double{v.X} * n.X + double{v.Y} * n.Y + double{v.Z} * n.Z;
    const double x = v.X - along * n.X, y = v.Y - along * n.Y, z = v.Z - along * n.Z;
    const double length = std::sqrt(double{v.X} * v.X + double{v.Y} * v.Y + double{v.Z} * v.Z);
    const double left = std::sqrt(x * x + y * y + z * z);
    if (!std::isfinite(left) || !(left > double{CheckTolerance} * length)) return std::nullopt;
    const double scale = length / left;
    return Vec3{static_cast<float>(x * scale), static_cast<float>(y * scale),
                static_cast<float>(z * scale)};
}

// A corner whose vertex normal entry lies in the file, for the vertex normal test.
struct CornerUse {
    Vec3 Position;
    Vec3 Stored;    // the entry as stored
    bool Unusable;  // the entry is not finite or stored with no length: flagged whatever it meets
    EntryOrigin Entry;
    int32_t Mesh;
    int32_t Corner;
    int64_t Face;
    RepairedFace Place;
};

// One face as one walk of its mesh read it; a face block that several slots reach is read once
// for each.
struct FaceVisit {
    RepairedFace Place;
    Vec3 Calculated;
    FaceNormalVerdict Verdict;  // Agrees where the check does not test the face normal
    Vec3 Normal, Soft1, Soft2;  // as stored
    int64_t NormalOffset, SoftOffset;
    Vec3 A, B, C;                         // the first three corners
    const char* CornerTrouble = nullptr;  // why the corners give no geometry to mend from
    bool NormalFinite = true;
    bool SoftsFinite = true;
    bool SoftsFlagged = false;  // the check flags the soft vectors as stored

    // The check flags the face normal as stored.
    bool NormalFlagged() const { return !NormalFinite || Verdict != FaceNormalVerdict::Agrees; }
};

// What one visit of a record asks to be written there: nothing, new values, or something that
// cannot be written (the reason is kept already).
struct Proposal {
    enum { Nothing, Values, Refused } What = Nothing;
    Vec3 First, Second;
};

bool SameProposal(const Proposal& a, const Proposal& b) {
    return a.What == b.What && (a.What != Proposal::Values ||
                                (SameBits(a.First, b.First) && SameBits(a.Second, b.Second)));
}

bool HasNaN(const Vec3& v) {
    return std::isnan(v.X) || std::isnan(v.Y) || std::isnan(v.Z);
}

constexpr const char* kShared = "its record is read for several faces that need different values";
constexpr const char* kOverlap = "its bytes are also read as part of another record";

bool IsZero(const Vec3& v) {
    return v.X == 0.0f && v.Y == 0.0f && v.Z == 0.0f;
}

// The unit vector from a to b; nothing for corners at one place or not finite.
std::optional<Vec3> Edge(const Vec3& a, const Vec3& b) {
    const Vec3 e = VecNormalised(VecDifference(a, b));
    if (!IsFiniteVector(e)) return std::nullopt;
    return e;
}

class Planner {
  public:
    Planner(const OptDocument& document, const RepairChoice& choice)
        : document_(document), choice_(choice) {
        for (size_t node = 0; node < document.Model().BlockTable.size(); ++node) {
            const BlockEntry& entry = document.Model().BlockTable[node];
            nodes_.try_emplace(entry.Offset, static_cast<int32_t>(node));
        }
    }

    RepairPlan Run();

  private:
    void ReadFace(int32_t mesh, int64_t f, const MeshTables& tables);
    // One round of planning with the face normals withdrawn so far; whether it had to withdraw
    // more, so that the plan changes no field the check does not flag.
    bool PlanRound();
    void Withdraw(int64_t normalOffset, const char* reason);
    void PlanFaceNormals();
    Proposal SoftProposal(const FaceVisit& visit);
    void PlanSoftVectors();
    void PlanEntries();
    // Writes the normalised mean of a flagged entry's corner averages, or keeps it with the
    // reason; whether it is written.
    bool MendEntry(int64_t offset, const std::vector<Vec3>& averages, const CornerUse& first);
    void FindOverlaps();
    bool Overlaps(int64_t start, int64_t end) const;
    void DropOverlaps();
    const BlockRegions& FaceBlock(int64_t position);
    void Change(FieldChange change, const RepairedFace& face);
    FieldChange FaceChange(const RepairedFace& face, int64_t offset, const RegionSchema& region,
                           const FieldSchema& field, const Vec3& old, const Vec3& now);
    void Keep(FindingKind kind, const RepairedFace& face, int64_t offset, std::string reason,
              int32_t corner = -1);

    const OptDocument& document_;
    const RepairChoice& choice_;
    std::unordered_map<int64_t, int32_t> nodes_;  // block position -> first tree node
    std::unordered_map<int64_t, BlockRegions> faceBlocks_;
    std::map<int64_t, std::pair<FieldChange, RepairedFace>> changes_;  // by offset
    std::vector<FaceVisit> visits_;
    std::unordered_map<int64_t, Vec3> normals_;  // face normal offset -> its value as written
    std::vector<CornerUse> corners_;
    EntryOrigins origins_;
    StoredVertexNormals storedNormals_;  // as the check's walk follows them
    RepairPlan plan_;
    std::vector<NotMendable> readKept_;  // what the reading of the faces kept, for every round
    // Face normal records not written, with the reason: their mend would change what the check
    // does not flag (the soft vectors or vertex normals that agree with them as stored).
    std::map<int64_t, const char*> withdrawn_;
    bool withdrew_ = false;
    std::vector<std::pair<int64_t, int64_t>> shared_;  // spans of bytes read more than once
};

const BlockRegions& Planner::FaceBlock(int64_t position) {
    auto found = faceBlocks_.find(position);
    if (found == faceBlocks_.end()) {
        const BlockRegions regions =
            LocateBlock(document_.Stream(), document_.Model().GlobalOffset, position, kTypeFace);
        found = faceBlocks_.emplace(position, regions).first;
    }
    return found->second;
}

void Planner::Change(FieldChange change, const RepairedFace& face) {
    change.New = AsWritten(change.Old, change.New);
    if (!SameBits(change.Old, change.New)) changes_.try_emplace(change.Offset, change, face);
}

FieldChange Planner::FaceChange(const RepairedFace& face, int64_t offset,
                                const RegionSchema& region, const FieldSchema& field,
                                const Vec3& old, const Vec3& now) {
    FieldChange change;
    change.Offset = offset + field.Offset;
    const auto node = nodes_.find(face.BlockOffset);
    change.Block = node == nodes_.end() ? -1 : node->second;
    change.BlockOffset = face.BlockOffset;
    change.BlockType = kTypeFace;
    change.Mesh = face.Mesh;
    change.Region = region.Name;
    change.Record = face.FaceInBlock;
    change.Field = field.Name;
    change.Old = old;
    change.New = now;
    return change;
}

void Planner::Keep(FindingKind kind, const RepairedFace& face, int64_t offset, std::string reason,
                   int32_t corner) {
    plan_.Kept.push_back({kind, face.Mesh, face.Face, corner, offset, std::move(reason),
                          face.BlockOffset, face.FaceInBlock});
}

void Planner::Withdraw(int64_t normalOffset, const char* reason) {
    if (withdrawn_.try_emplace(normalOffset, reason).second) withdrew_ = true;
}

void Planner::ReadFace(int32_t mesh, int64_t f, const MeshTables& tables) {
    const FaceRecord& face = tables.FaceTable[static_cast<size_t>(f)];
    const FaceOrigin& origin = tables.FaceOrigins[static_cast<size_t>(f)];
    const RepairedFace place{mesh, f, origin.BlockOffset, origin.FaceInBlock, origin.RecordOffset};
    const auto& index = face.VertexIndex;
    const bool quad = index[3] >= 0;
    const size_t cornerCount = quad ? 4 : 3;
    const Vec3 a = tables.VertexAt(index[0]), b = tables.VertexAt(index[1]),
               c = tables.VertexAt(index[2]), d = quad ? tables.VertexAt(index[3]) : Vec3{};
    // A corner whose index names no vertex is drawn at the origin: no geometry to mend from.
    const char* trouble = nullptr;
    bool cornersFinite = true;
    for (size_t k = 0; k < cornerCount; ++k) {
        if (index[k] < 0 || static_cast<size_t>(index[k]) >= tables.VertexTableSize()) {
            trouble = "a corner's vertex index lies outside the vertex table";
        } else if (!IsFiniteVector(tables.VertexAt(index[k]))) {
            cornersFinite = false;
            Keep(FindingKind::NonFiniteVertex, place, origin.RecordOffset,
                 "the vertex is not a finite point, and nothing in the file tells where it should "
                 "be",
                 static_cast<int32_t>(k));
        }
    }
    if (!cornersFinite && trouble == nullptr)
        trouble = "a corner of the face is not a finite point";
    if (cornersFinite && CornersCollapse(a, b, c, d, quad)) {
        Keep(FindingKind::CoincidentVertices, place, origin.RecordOffset,
             "co-incident vertices cannot be mended in place");
    }
    const BlockRegions& block = FaceBlock(origin.BlockOffset);
    const Vec3 n = CalculatedFaceNormal(a, b, c);
    FaceVisit visit{place,
                    n,
                    FaceNormalVerdict::Agrees,
                    face.FaceNormal,
                    face.SoftVector1,
                    face.SoftVector2,
                    block.Region(format::kFaceNormalsRegion).RecordOffset(origin.FaceInBlock),
                    block.Region(kSoftsRegion).RecordOffset(origin.FaceInBlock),
                    a,
                    b,
                    c,
                    trouble};
    // The check's tests, as far as it runs them on this face.
    visit.NormalFinite = IsFiniteVector(face.FaceNormal);
    visit.SoftsFinite = IsFiniteVector(face.SoftVector1) && IsFiniteVector(face.SoftVector2);
    if (cornersFinite && visit.NormalFinite) visit.Verdict = TestFaceNormal(n, face.FaceNormal);
    visit.SoftsFlagged = !visit.SoftsFinite ||
                         (visit.NormalFinite &&
                          !SoftVectorsOnPlane(face.SoftVector1, face.SoftVector2, face.FaceNormal));
    visits_.push_back(visit);

    // Also without the vertex normal mends: a face normal mend must not fail an entry.
    for (size_t k = 0; k < cornerCount; ++k) {
        // The check tests no corner that is not a finite point; none drawn at the origin for
        // want of a vertex is mended from.
        if (index[k] < 0 || static_cast<size_t>(index[k]) >= tables.VertexTableSize()) continue;
        const Vec3 position = tables.VertexAt(index[k]);
        if (!IsFiniteVector(position)) continue;
        const int32_t entry = face.VertexNormalIndex[k];
        const Vec3 stored = tables.VertexNormalAt(entry);
        const bool unusable =
            !IsFiniteVector(stored) || (storedNormals_.Stored(entry) && IsZero(stored));
        if (!unusable && IsZero(stored)) continue;  // an entry no block wrote: never flagged
        corners_.push_back({position, stored, unusable, origins_.At(entry), mesh,
                            static_cast<int32_t>(k), f, place});
    }
}

// Calls `decide(first visit, proposals)` for the visits of each record, grouped by `offset`.
template <typename Offset, typename Propose, typename Decide>
void ByRecord(const std::vector<FaceVisit>& visits, Offset offset, Propose propose, Decide decide) {
    std::vector<std::pair<int64_t, size_t>> records;  // (offset, visit), sorted
    records.reserve(visits.size());
    for (size_t i = 0; i < visits.size(); ++i)
        records.emplace_back(offset(visits[i]), i);
    std::sort(records.begin(), records.end());
    std::vector<size_t> readers;
    std::vector<Proposal> proposals;
    for (size_t start = 0; start < records.size();) {
        readers.clear();
        proposals.clear();
        size_t end = start;
        for (; end < records.size() && records[end].first == records[start].first; ++end) {
            readers.push_back(records[end].second);
            proposals.push_back(propose(visits[records[end].second]));
        }
        const bool agree = std::all_of(proposals.begin(), proposals.end(), [&](const auto& p) {
            return SameProposal(p, proposals.front());
        });
        decide(readers, proposals, agree);
        start = end;
    }
}

void Planner::PlanFaceNormals() {
    ByRecord(
        visits_, [](const FaceVisit& v) { return v.NormalOffset; },
        [&](const FaceVisit& v) {
            if (!choice_.FaceNormals || !v.NormalFlagged()) return Proposal{};
            const FindingKind kind =
                v.NormalFinite ? FindingKind::FaceNormal : FindingKind::NonFiniteFaceNormal;
            const auto refuse = [&](const char* reason) {
                Keep(kind, v.Place, v.NormalOffset + kNormalField.Offset, reason);
                return Proposal{Proposal::Refused, {}, {}};
            };
            if (v.CornerTrouble != nullptr) return refuse(v.CornerTrouble);
            if (const auto withdrawn = withdrawn_.find(v.NormalOffset);
                withdrawn != withdrawn_.end())
                return refuse(withdrawn->second);
            // Corners far too close or too far apart give a rounded normal the test rejects.
            if (!IsFiniteVector(v.Calculated) ||
                TestFaceNormal(v.Calculated, v.Calculated) != FaceNormalVerdict::Agrees) {
                return refuse(
                    "its corners give no normal that the check accepts (they lie too close "
                    "together or too far apart)");
            }
            return Proposal{Proposal::Values, v.Calculated, {}};
        },
        [&](const std::vector<size_t>& readers, const std::vector<Proposal>& proposals,
            bool agree) {
            const FaceVisit& first = visits_[readers.front()];
            if (agree && proposals.front().What == Proposal::Values) {
                normals_[first.NormalOffset] = AsWritten(first.Normal, proposals.front().First);
                Change(FaceChange(first.Place, first.NormalOffset, kNormals, kNormalField,
                                  first.Normal, proposals.front().First),
                       first.Place);
            } else if (!agree) {
                for (size_t k = 0; k < readers.size(); ++k) {
                    if (proposals[k].What == Proposal::Values)
                        Keep(visits_[readers[k]].NormalFinite ? FindingKind::FaceNormal
                                                              : FindingKind::NonFiniteFaceNormal,
                             visits_[readers[k]].Place, first.NormalOffset + kNormalField.Offset,
                             kShared);
                }
            }
        });
}

Proposal Planner::SoftProposal(const FaceVisit& visit) {
    const auto written = normals_.find(visit.NormalOffset);
    const Vec3 normal = written == normals_.end() ? visit.Normal : written->second;
    if (!visit.SoftsFlagged) {
        // Soft vectors the check passes stay as they are: a face normal mend that would put them
        // off its plane is not written either.
        if (written != normals_.end() && IsFiniteVector(normal) &&
            !SoftVectorsOnPlane(visit.Soft1, visit.Soft2, normal))
            Withdraw(visit.NormalOffset,
                     "its soft vectors, which the check passes, do not lie in the plane of its "
                     "corners");
        return {};
    }
    if (!choice_.SoftVectors) return {};
    if (visit.SoftsFinite && SoftVectorsOnPlane(visit.Soft1, visit.Soft2, normal)) return {};
    const FindingKind kind =
        visit.SoftsFinite ? FindingKind::SoftVector : FindingKind::NonFiniteSoftVector;
    const auto refuse = [&](const char* reason) {
        Keep(kind, visit.Place, visit.SoftOffset + kSoft1Field.Offset, reason);
        return Proposal{Proposal::Refused, {}, {}};
    };
    if (visit.CornerTrouble != nullptr) return refuse(visit.CornerTrouble);
    const Vec3& n = visit.Calculated;
    if (!IsFiniteVector(n))
        return refuse("the face's corners give no plane to project its soft vectors onto");
    if (!IsFiniteVector(normal) ||
        (written == normals_.end() && visit.Verdict != FaceNormalVerdict::Agrees))
        return refuse("its face normal fails the check too and is not being repaired");
    // Candidates in the order of the fewest vectors changed: a finite one projected onto the
    // face's plane, a non-finite one replaced by the direction of an edge of the face.
    std::vector<std::pair<Vec3, Vec3>> tries;
    const std::optional<Vec3> ab = Edge(visit.A, visit.B), bc = Edge(visit.B, visit.C);
    const bool finite1 = IsFiniteVector(visit.Soft1), finite2 = IsFiniteVector(visit.Soft2);
    const std::optional<Vec3> soft1 = finite1 ? OntoPlane(visit.Soft1, n) : std::nullopt;
    const std::optional<Vec3> soft2 = finite2 ? OntoPlane(visit.Soft2, n) : std::nullopt;
    if (finite1 && finite2) {
        if (!soft1 || !soft2)
            return refuse("a soft vector projects to nothing on the face's plane");
        tries = {{*soft1, visit.Soft2}, {visit.Soft1, *soft2}, {*soft1, *soft2}};
    } else {
        for (const std::optional<Vec3>& edge : {ab, bc}) {
            if (!edge) continue;
            if (finite1) tries.emplace_back(visit.Soft1, *edge);
            if (finite2) tries.emplace_back(*edge, visit.Soft2);
            if (soft1) tries.emplace_back(*soft1, *edge);
            if (soft2) tries.emplace_back(*edge, *soft2);
        }
        if (ab && bc) tries.emplace_back(*ab, *bc);
    }
    const auto passes = std::find_if(tries.begin(), tries.end(), [&](const auto& t) {
        return IsFiniteVector(t.first) && IsFiniteVector(t.second) &&
               SoftVectorsOnPlane(t.first, t.second, normal);
    });
    if (passes == tries.end())
        return refuse("its soft vectors projected onto the face's plane are parallel");
    return {Proposal::Values, passes->first, passes->second};
}

void Planner::PlanSoftVectors() {
    ByRecord(
        visits_, [](const FaceVisit& v) { return v.SoftOffset; },
        [&](const FaceVisit& v) { return SoftProposal(v); },
        [&](const std::vector<size_t>& readers, const std::vector<Proposal>& proposals,
            bool agree) {
            const FaceVisit& first = visits_[readers.front()];
            if (agree && proposals.front().What == Proposal::Values) {
                const Proposal& p = proposals.front();
                if (!SameBits(p.First, first.Soft1))
                    Change(FaceChange(first.Place, first.SoftOffset, kSofts, kSoft1Field,
                                      first.Soft1, p.First),
                           first.Place);
                if (!SameBits(p.Second, first.Soft2))
                    Change(FaceChange(first.Place, first.SoftOffset, kSofts, kSoft2Field,
                                      first.Soft2, p.Second),
                           first.Place);
            } else if (!agree) {
                for (size_t k = 0; k < readers.size(); ++k) {
                    if (proposals[k].What == Proposal::Values)
                        Keep(visits_[readers[k]].SoftsFinite ? FindingKind::SoftVector
                                                             : FindingKind::NonFiniteSoftVector,
                             visits_[readers[k]].Place, first.SoftOffset + kSoft1Field.Offset,
                             kShared);
                }
            }
        });
}

void Planner::PlanEntries() {
    // Without face normal mends no entry the check passes can come to fail.
    if (normals_.empty() && choice_.VertexNormals == VertexNormalCheck::None) return;
    // The draw tables as stored, and with the face normals as they will be written.
    const std::vector<DrawFace>& storedFaces = document_.Model().DrawFaces;
    std::vector<DrawFace> drawFaces = storedFaces;
    std::vector<int64_t> normalOffsets(drawFaces.size());
    for (size_t e = 0; e < drawFaces.size(); ++e) {
        DrawFace& face = drawFaces[e];
        normalOffsets[e] = FaceBlock(face.BlockOffset)
                               .Region(format::kFaceNormalsRegion)
                               .RecordOffset(face.FaceInBlock);
        const auto mended = normals_.find(normalOffsets[e]);
        if (mended != normals_.end()) face.Normal = mended->second;
    }
    CornerIndex index(drawFaces, CheckTolerance);
    std::optional<CornerIndex> storedIndex;
    if (!normals_.empty()) storedIndex.emplace(storedFaces, CheckTolerance);
    const auto filterOf = [&](const CornerUse& corner) {
        return choice_.VertexNormals == VertexNormalCheck::MeshByMesh
                   ? MeshFilter::OnlyMesh(corner.Mesh)
                   : MeshFilter::Everything();
    };
    // At each corner: whether the check flags it as stored, and its average with the face normals
    // as they will be written (none where the check says nothing: no contribution, or NaN).
    std::vector<bool> flaggedAsStored(corners_.size());
    std::vector<std::optional<Vec3>> averages(corners_.size());
    std::set<int64_t> flaggedEntries;  // only these may be written
    for (size_t i = 0; i < corners_.size(); ++i) {
        const CornerUse& corner = corners_[i];
        const NormalSum found = index.Contributions(corner.Position, filterOf(corner));
        if (found.Count > 0 && !HasNaN(AverageNormal(found))) averages[i] = AverageNormal(found);
        bool flags = corner.Unusable;
        if (!flags) {
            const NormalSum stored =
                storedIndex ? storedIndex->Contributions(corner.Position, filterOf(corner)) : found;
            flags = stored.Count > 0 && !VertexNormalAgrees(AverageNormal(stored), corner.Stored);
        }
        flaggedAsStored[i] = flags;
        if (flags) flaggedEntries.insert(corner.Entry.Offset);
    }
    // The flagged entries that fail at some corner as they will be met, with the first such
    // corner, and the averages of all their corners.
    struct EntryUse {
        std::vector<Vec3> Averages;
        size_t FirstFlagged = 0;
    };
    std::map<int64_t, EntryUse> entries;  // by file position; -1: no place
    for (size_t i = 0; i < corners_.size(); ++i) {
        const CornerUse& corner = corners_[i];
        if (!flaggedEntries.contains(corner.Entry.Offset)) continue;
        const bool fails =
            corner.Unusable || (averages[i] && !VertexNormalAgrees(*averages[i], corner.Stored));
        if (fails && !entries.contains(corner.Entry.Offset))
            entries[corner.Entry.Offset].FirstFlagged = i;
    }
    for (size_t i = 0; i < corners_.size() && !entries.empty(); ++i) {
        const auto use = entries.find(corners_[i].Entry.Offset);
        if (averages[i] && use != entries.end()) use->second.Averages.push_back(*averages[i]);
    }
    std::set<int64_t> written;
    if (choice_.VertexNormals != VertexNormalCheck::None) {
        for (const auto& [offset, use] : entries) {
            if (MendEntry(offset, use.Averages, corners_[use.FirstFlagged])) written.insert(offset);
        }
    }
    // A corner the check passes as stored that fails with the mended face normals, where its
    // entry is not written: the mends of the face normals that meet there are not written.
    std::vector<size_t> offenders;
    for (size_t i = 0; i < corners_.size(); ++i) {
        const CornerUse& corner = corners_[i];
        if (!flaggedAsStored[i] && !written.contains(corner.Entry.Offset) && averages[i] &&
            !VertexNormalAgrees(*averages[i], corner.Stored))
            offenders.push_back(i);
    }
    if (offenders.empty()) return;
    // The offending corners in a grid of cells twice the tolerance wide, as the corner index
    // keeps them: a draw corner near one lies in its cell or a neighbour.
    const auto cellOf = [](const Vec3& p) {
        const auto coordinate = [](float v) {
            constexpr double kLimit = 1152921504606846976.0;  // 2^60
            const double c = std::floor(double{v} / (2.0 * double{CheckTolerance}));
            return static_cast<int64_t>(std::clamp(c, -kLimit, kLimit));
        };
        return std::array<int64_t, 3>{coordinate(p.X), coordinate(p.Y), coordinate(p.Z)};
    };
    std::map<std::array<int64_t, 3>, std::vector<size_t>> grid;
    for (const size_t i : offenders)
        grid[cellOf(corners_[i].Position)].push_back(i);
    const auto meets = [&](const DrawFace& face, size_t i, const Vec3& point) {
        return filterOf(corners_[i]).Accepts(face) &&
               VecNear(corners_[i].Position, point, CheckTolerance);
    };
    for (size_t e = 0; e < drawFaces.size(); ++e) {
        if (!normals_.contains(normalOffsets[e])) continue;
        const DrawFace& face = drawFaces[e];
        bool near = false;
        for (int q = 0; q < CornerCount(face) && !near; ++q) {
            const Vec3& point = face.Corners[static_cast<size_t>(q)];
            if (HasNaN(point)) {
                // Near every point, as VecNear counts a NaN distance.
                near = std::any_of(offenders.begin(), offenders.end(),
                                   [&](size_t i) { return meets(face, i, point); });
                continue;
            }
            if (!IsFiniteVector(point)) continue;  // never near a finite corner
            const std::array<int64_t, 3> centre = cellOf(point);
            for (int64_t d = 0; d < 27 && !near; ++d) {
                const auto found = grid.find(
                    {centre[0] + d % 3 - 1, centre[1] + d / 3 % 3 - 1, centre[2] + d / 9 - 1});
                if (found == grid.end()) continue;
                near = std::any_of(found->second.begin(), found->second.end(),
                                   [&](size_t i) { return meets(face, i, point); });
            }
        }
        if (near)
            Withdraw(normalOffsets[e],
                     "a vertex normal the check passes would no longer agree with the face "
                     "normals at its corner");
    }
}

bool Planner::MendEntry(int64_t offset, const std::vector<Vec3>& averages, const CornerUse& first) {
    const FindingKind kind = !first.Unusable                ? FindingKind::VertexNormal
                             : IsFiniteVector(first.Stored) ? FindingKind::ZeroVertexNormal
                                                            : FindingKind::NonFiniteVertexNormal;
    NotMendable kept{kind,
                     first.Mesh,
                     first.Face,
                     first.Corner,
                     offset < 0 ? -1 : offset + kEntryField.Offset,
                     "",
                     first.Place.BlockOffset,
                     first.Place.FaceInBlock};
    const auto keep = [&](const char* reason) {
        kept.Reason = reason;
        plan_.Kept.push_back(kept);
        return false;
    };
    if (offset < 0) return keep("its vertex normal entry was written by no block of the file");
    if (averages.empty()) return keep("no face normal at its corners gives an average to write");
    double x = 0, y = 0, z = 0;
    for (const Vec3& average : averages) {
        x += average.X;
        y += average.Y;
        z += average.Z;
    }
    const auto count = static_cast<double>(averages.size());
    const Vec3 mean = VecNormalised({static_cast<float>(x / count), static_cast<float>(y / count),
                                     static_cast<float>(z / count)});
    const bool agree = std::all_of(averages.begin(), averages.end(),
                                   [&](const Vec3& a) { return VertexNormalAgrees(a, mean); });
    if (!agree || HasNaN(mean)) {
        return keep(
            "the corners that share its vertex normal entry disagree beyond the check's "
            "tolerance: it would need a split, which changes the file's layout");
    }
    FieldChange change;
    change.Offset = offset + kEntryField.Offset;
    const auto node = nodes_.find(first.Entry.BlockOffset);
    change.Block = node == nodes_.end() ? -1 : node->second;
    change.BlockOffset = first.Entry.BlockOffset;
    change.BlockType = kTypeVertexNormal;
    change.Mesh = first.Mesh;
    change.Region = format::kVertexNormals.Name;
    change.Record = first.Entry.Record;
    change.Field = kEntryField.Name;
    change.Old = first.Stored;
    change.New = mean;
    Change(change, first.Place);
    return true;
}

// Where the regions the walk reads cover a byte more than once, as disjoint [start, end) spans.
void Planner::FindOverlaps() {
    const OptStream& stream = document_.Stream();
    const OptModel& model = document_.Model();
    std::vector<std::pair<int64_t, int>> edges;
    std::set<std::pair<int64_t, int32_t>> located;
    for (size_t node = 0; node < model.BlockTable.size(); ++node) {
        const BlockEntry& entry = model.BlockTable[node];
        if (!located.insert({entry.Offset, entry.Type}).second) continue;
        const std::optional<BlockRegions> block =
            LocateNode(stream, model.GlobalOffset, model.BlockTable, static_cast<int32_t>(node));
        if (!block) continue;
        for (const RegionPlace& region : block->Regions()) {
            const int64_t records = region.RecordsIn(stream);
            if (records <= 0) continue;
            edges.emplace_back(region.Origin, 1);
            edges.emplace_back(region.RecordOffset(records), -1);
        }
    }
    std::sort(edges.begin(), edges.end());
    int depth = 0;
    for (const auto& [at, step] : edges) {
        if (depth < 2 && depth + step >= 2) shared_.emplace_back(at, at);
        if (depth >= 2 && depth + step < 2) shared_.back().second = at;
        depth += step;
    }
}

bool Planner::Overlaps(int64_t start, int64_t end) const {
    const auto after = std::upper_bound(shared_.begin(), shared_.end(),
                                        std::pair{start, std::numeric_limits<int64_t>::max()});
    if (after != shared_.end() && after->first < end) return true;
    return after != shared_.begin() && std::prev(after)->second > start;
}

// A field whose bytes the walk also reads as part of another record (blocks that overlap) is not
// written: the write would change what that record says. A face normal not written is withdrawn,
// so that the next round tests its soft vectors and vertex normals without it.
void Planner::DropOverlaps() {
    for (auto it = changes_.begin(); it != changes_.end();) {
        const FieldChange& change = it->second.first;
        const auto next = std::next(it);
        const bool sharesBytes =
            next != changes_.end() && next->first < change.Offset + format::kVectorSize;
        if (!sharesBytes && !Overlaps(change.Offset, change.Offset + format::kVectorSize)) {
            it = next;
            continue;
        }
        if (change.Region == kNormals.Name) {
            Withdraw(change.Offset - kNormalField.Offset, kOverlap);
        } else {
            Keep(change.Region == kSofts.Name ? FindingKind::SoftVector : FindingKind::VertexNormal,
                 it->second.second, change.Offset, kOverlap);
        }
        it = changes_.erase(it);
    }
}

bool Planner::PlanRound() {
    withdrew_ = false;
    changes_.clear();
    normals_.clear();
    plan_.Kept = readKept_;
    PlanFaceNormals();
    PlanSoftVectors();
    PlanEntries();
    DropOverlaps();
    return withdrew_;
}

RepairPlan Planner::Run() {
    if (!document_.OptLoaded()) return {};
    // The check's walks start from the tables the open left: follow the entries' places there.
    document_.Observe(origins_);
    const OptModel& model = document_.Model();
    MeshTables tables = document_.WalkTables();
    OptWalker walker = document_.MeshWalker(tables, {&origins_, &storedNormals_});
    const auto held = static_cast<int64_t>(model.Meshes.MeshPositions.size());
    for (int64_t m = 0; m < held; ++m) {
        const auto mesh = static_cast<int32_t>(m);
        walker.WalkMesh(mesh, model.Meshes.MeshPositions[static_cast<size_t>(m)]);
        for (int64_t f = 0; f < tables.FaceCount(); ++f)
            ReadFace(mesh, f, tables);
    }
    readKept_ = std::move(plan_.Kept);
    FindOverlaps();
    // Each round withdraws the face normal mends that would change what the check passes; a few
    // rounds settle it, and should they not, no face normal is written at all.
    constexpr int kMostRounds = 8;
    int round = 0;
    while (PlanRound()) {
        if (++round < kMostRounds) continue;
        for (const FaceVisit& visit : visits_)
            Withdraw(visit.NormalOffset,
                     "its mend would change soft vectors or vertex normals the check passes");
        PlanRound();
        break;
    }

    for (auto& [offset, change] : changes_) {
        plan_.Changes.push_back(change.first);
        plan_.Faces.push_back(change.second);
    }
    return std::move(plan_);
}

}  // namespace

RepairPlan PlanRepair(const OptDocument& document, const RepairChoice& choice) {
    return Planner(document, choice).Run();
}

std::string NotMendableText(const NotMendable& kept) {
    std::string place = "mesh " + std::to_string(kept.Mesh) + ", face " + std::to_string(kept.Face);
    if (kept.Corner >= 0) place += ", vertex " + std::to_string(kept.Corner);
    return std::string(FindingKindName(kept.Kind)) + ", " + place + ": " + kept.Reason;
}

}  // namespace vexlor
