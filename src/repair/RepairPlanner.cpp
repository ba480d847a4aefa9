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
    Vec3 Stored;  // the entry as stored
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
    FaceNormalVerdict Verdict;
    Vec3 Normal, Soft1, Soft2;  // as stored
    int64_t NormalOffset, SoftOffset;
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
    void PlanFaceNormals();
    Proposal SoftProposal(const FaceVisit& visit);
    void PlanSoftVectors();
    void PlanEntries();
    void DropOverlaps();
    const BlockRegions& FaceBlock(int64_t position);
    void Change(FieldChange change, const RepairedFace& face);
    FieldChange FaceChange(const RepairedFace& face, int64_t offset, const RegionSchema& region,
                           const FieldSchema& field, const Vec3& old, const Vec3& now);
    void Keep(FindingKind kind, const RepairedFace& face, int64_t offset, std::string reason);

    const OptDocument& document_;
    const RepairChoice& choice_;
    std::unordered_map<int64_t, int32_t> nodes_;  // block position -> first tree node
    std::unordered_map<int64_t, BlockRegions> faceBlocks_;
    std::map<int64_t, std::pair<FieldChange, RepairedFace>> changes_;  // by offset
    std::vector<FaceVisit> visits_;
    std::unordered_map<int64_t, Vec3> normals_;  // face normal offset -> its value as written
    std::vector<CornerUse> corners_;
    EntryOrigins origins_;
    RepairPlan plan_;
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

void Planner::Keep(FindingKind kind, const RepairedFace& face, int64_t offset, std::string reason) {
    plan_.Kept.push_back({kind, face.Mesh, face.Face, -1, offset, std::move(reason),
                          face.BlockOffset, face.FaceInBlock});
}

void Planner::ReadFace(int32_t mesh, int64_t f, const MeshTables& tables) {
    const FaceRecord& face = tables.FaceTable[static_cast<size_t>(f)];
    const FaceOrigin& origin = tables.FaceOrigins[static_cast<size_t>(f)];
    const RepairedFace place{mesh, f, origin.BlockOffset, origin.FaceInBlock, origin.RecordOffset};
    const auto& index = face.VertexIndex;
    const bool quad = index[3] >= 0;
    const Vec3 a = tables.VertexAt(index[0]), b = tables.VertexAt(index[1]),
               c = tables.VertexAt(index[2]), d = quad ? tables.VertexAt(index[3]) : Vec3{};
    if (CornersCollapse(a, b, c, d, quad)) {
        Keep(FindingKind::CoincidentVertices, place, origin.RecordOffset,
             "co-incident vertices cannot be mended in place");
    }
    const BlockRegions& block = FaceBlock(origin.BlockOffset);
    const Vec3 n = CalculatedFaceNormal(a, b, c);
    visits_.push_back({place, n, TestFaceNormal(n, face.FaceNormal), face.FaceNormal,
                       face.SoftVector1, face.SoftVector2,
                       block.Region(format::kFaceNormalsRegion).RecordOffset(origin.FaceInBlock),
                       block.Region(kSoftsRegion).RecordOffset(origin.FaceInBlock)});

    if (choice_.VertexNormals == VertexNormalCheck::None) return;
    const size_t cornerCount = quad ? 4 : 3;
    for (size_t k = 0; k < cornerCount; ++k) {
        const int32_t entry = face.VertexNormalIndex[k];
        const Vec3 stored = tables.VertexNormalAt(entry);
        if (stored.X == 0.0f && stored.Y == 0.0f && stored.Z == 0.0f) continue;  // never flagged
        corners_.push_back({tables.VertexAt(index[k]), stored, origins_.At(entry), mesh,
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
            if (!choice_.FaceNormals || v.Verdict == FaceNormalVerdict::Agrees) return Proposal{};
            // Corners far too close or too far apart give a rounded normal the test rejects.
            if (TestFaceNormal(v.Calculated, v.Calculated) != FaceNormalVerdict::Agrees) {
                Keep(FindingKind::FaceNormal, v.Place, v.NormalOffset + kNormalField.Offset,
                     "its corners give no normal that the check accepts (they lie too close "
                     "together or too far apart)");
                return Proposal{Proposal::Refused, {}, {}};
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
                        Keep(FindingKind::FaceNormal, visits_[readers[k]].Place,
                             first.NormalOffset + kNormalField.Offset, kShared);
                }
            }
        });
}

Proposal Planner::SoftProposal(const FaceVisit& visit) {
    const auto written = normals_.find(visit.NormalOffset);
    const Vec3 normal = written == normals_.end() ? visit.Normal : written->second;
    if (!choice_.SoftVectors || SoftVectorsOnPlane(visit.Soft1, visit.Soft2, normal)) return {};
    const auto refuse = [&](const char* reason) {
        Keep(FindingKind::SoftVector, visit.Place, visit.SoftOffset + kSoft1Field.Offset, reason);
        return Proposal{Proposal::Refused, {}, {}};
    };
    const Vec3& n = visit.Calculated;
    if (HasNaN(n))
        return refuse("the face's corners give no plane to project its soft vectors onto");
    if (written == normals_.end() && visit.Verdict != FaceNormalVerdict::Agrees)
        return refuse("its face normal fails the check too and is not being repaired");
    const std::optional<Vec3> soft1 = OntoPlane(visit.Soft1, n);
    const std::optional<Vec3> soft2 = OntoPlane(visit.Soft2, n);
    if (!soft1 || !soft2) return refuse("a soft vector projects to nothing on the face's plane");
    // The fewest vectors projected that pass the test: one, else both.
    const std::array<std::pair<Vec3, Vec3>, 3> tries{
        {{*soft1, visit.Soft2}, {visit.Soft1, *soft2}, {*soft1, *soft2}}};
    const auto passes = std::find_if(tries.begin(), tries.end(), [&](const auto& t) {
        return SoftVectorsOnPlane(t.first, t.second, normal);
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
                        Keep(FindingKind::SoftVector, visits_[readers[k]].Place,
                             first.SoftOffset + kSoft1Field.Offset, kShared);
                }
            }
        });
}

void Planner::PlanEntries() {
    // The draw tables with the face normals as they will be written.
    std::vector<DrawFace> drawFaces = document_.Model().DrawFaces;
    if (!normals_.empty()) {
        for (DrawFace& face : drawFaces) {
            const int64_t offset = FaceBlock(face.BlockOffset)
                                       .Region(format::kFaceNormalsRegion)
                                       .RecordOffset(face.FaceInBlock);
            const auto mended = normals_.find(offset);
            if (mended != normals_.end()) face.Normal = mended->second;
        }
    }
    CornerIndex index(drawFaces, CheckTolerance);
    // Each corner's average; the entries that fail at some corner, with the first such corner.
    std::vector<std::optional<Vec3>> averages(corners_.size());
    std::unordered_map<int64_t, size_t> flagged;
    for (size_t i = 0; i < corners_.size(); ++i) {
        const CornerUse& corner = corners_[i];
        const MeshFilter filter = choice_.VertexNormals == VertexNormalCheck::MeshByMesh
                                      ? MeshFilter::OnlyMesh(corner.Mesh)
                                      : MeshFilter::Everything();
        const NormalSum found = index.Contributions(corner.Position, filter);
        if (found.Count == 0) continue;
        const Vec3 average = AverageNormal(found);
        if (HasNaN(average)) continue;
        averages[i] = average;
        if (!VertexNormalAgrees(average, corner.Stored))
            flagged.try_emplace(corner.Entry.Offset, i);
    }
    struct EntryUse {
        std::vector<Vec3> Averages;
        size_t FirstFlagged = 0;
    };
    std::map<int64_t, EntryUse> entries;  // the flagged, by file position; -1: no place
    for (const auto& [offset, first] : flagged)
        entries[offset].FirstFlagged = first;
    for (size_t i = 0; i < corners_.size() && !entries.empty(); ++i) {
        const auto use = entries.find(corners_[i].Entry.Offset);
        if (averages[i] && use != entries.end()) use->second.Averages.push_back(*averages[i]);
    }
    for (const auto& [offset, use] : entries) {
        const CornerUse& first = corners_[use.FirstFlagged];
        NotMendable kept{FindingKind::VertexNormal,
                         first.Mesh,
                         first.Face,
                         first.Corner,
                         offset < 0 ? -1 : offset + kEntryField.Offset,
                         "",
                         first.Place.BlockOffset,
                         first.Place.FaceInBlock};
        if (offset < 0) {
            kept.Reason = "its vertex normal entry was written by no block of the file";
            plan_.Kept.push_back(kept);
            continue;
        }
        double x = 0, y = 0, z = 0;
        for (const Vec3& average : use.Averages) {
            x += average.X;
            y += average.Y;
            z += average.Z;
        }
        const auto count = static_cast<double>(use.Averages.size());
        const Vec3 mean =
            VecNormalised({static_cast<float>(x / count), static_cast<float>(y / count),
                           static_cast<float>(z / count)});
        const bool agree = std::all_of(use.Averages.begin(), use.Averages.end(),
                                       [&](const Vec3& a) { return VertexNormalAgrees(a, mean); });
        if (!agree || HasNaN(mean)) {
            kept.Reason =
                "the corners that share its vertex normal entry disagree beyond the "
                "check's tolerance: it would need a split, which changes the file's "
                "layout";
            plan_.Kept.push_back(kept);
            continue;
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
    }
}

// A field whose bytes the walk also reads as part of another record (blocks that overlap) is not
// written: the write would change what that record says.
void Planner::DropOverlaps() {
    const OptStream& stream = document_.Stream();
    const OptModel& model = document_.Model();
    // Where the regions read cover a byte more than once, as disjoint [start, end) spans.
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
    std::vector<std::pair<int64_t, int64_t>> shared;
    int depth = 0;
    for (const auto& [at, step] : edges) {
        if (depth < 2 && depth + step >= 2) shared.emplace_back(at, at);
        if (depth >= 2 && depth + step < 2) shared.back().second = at;
        depth += step;
    }
    const auto overlaps = [&](int64_t start, int64_t end) {
        const auto after = std::upper_bound(shared.begin(), shared.end(),
                                            std::pair{start, std::numeric_limits<int64_t>::max()});
        if (after != shared.end() && after->first < end) return true;
        return after != shared.begin() && std::prev(after)->second > start;
    };
    for (auto it = changes_.begin(); it != changes_.end();) {
        const FieldChange& change = it->second.first;
        const auto next = std::next(it);
        const bool sharesBytes =
            next != changes_.end() && next->first < change.Offset + format::kVectorSize;
        if (sharesBytes || overlaps(change.Offset, change.Offset + format::kVectorSize)) {
            const FindingKind kind = change.Region == kNormals.Name ? FindingKind::FaceNormal
                                     : change.Region == kSofts.Name ? FindingKind::SoftVector
                                                                    : FindingKind::VertexNormal;
            Keep(kind, it->second.second, change.Offset,
                 "its bytes are also read as part of another record");
            it = changes_.erase(it);
        } else {
            it = next;
        }
    }
}

RepairPlan Planner::Run() {
    if (!document_.OptLoaded()) return {};
    // The check's walks start from the tables the open left: follow the entries' places there.
    document_.Observe(origins_);
    const OptModel& model = document_.Model();
    MeshTables tables = document_.WalkTables();
    OptWalker walker = document_.MeshWalker(tables, {&origins_});
    const auto held = static_cast<int64_t>(model.Meshes.MeshPositions.size());
    for (int64_t m = 0; m < held; ++m) {
        const auto mesh = static_cast<int32_t>(m);
        walker.WalkMesh(mesh, model.Meshes.MeshPositions[static_cast<size_t>(m)]);
        for (int64_t f = 0; f < tables.FaceCount(); ++f)
            ReadFace(mesh, f, tables);
    }
    PlanFaceNormals();
    PlanSoftVectors();
    if (choice_.VertexNormals != VertexNormalCheck::None) PlanEntries();
    DropOverlaps();

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
