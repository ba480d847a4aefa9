// The repair's plan: a walk of each mesh as the consistency check walks it, the check's face tests
// with the mended face normal carried into the soft vector test, then the vertex normal test of
// every corner against the face normals as they will be written (see RepairPlan.h).
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
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
    return std::bit_cast<uint32_t>(a.x) == std::bit_cast<uint32_t>(b.x) &&
           std::bit_cast<uint32_t>(a.y) == std::bit_cast<uint32_t>(b.y) &&
           std::bit_cast<uint32_t>(a.z) == std::bit_cast<uint32_t>(b.z);
}

// `v` with its component along the unit vector `n` removed, scaled back to its length; nothing
// when what is left is too short to give a direction.
std::optional<Vec3> OntoPlane(const Vec3& v, const Vec3& n) {
    const double along = double{v.x} * n.x + double{v.y} * n.y + double{v.z} * n.z;
    const double x = v.x - along * n.x, y = v.y - along * n.y, z = v.z - along * n.z;
    const double length = std::sqrt(double{v.x} * v.x + double{v.y} * v.y + double{v.z} * v.z);
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
    void PlanFace(int32_t mesh, int64_t f, const MeshTables& tables);
    void PlanEntries();
    const BlockRegions& FaceBlock(int64_t position);
    // Adds a change unless one is already planned at that place; false when the planned one
    // writes another value there (a record that two walks of a shared block read).
    bool Change(const FieldChange& change, const RepairedFace& face);
    FieldChange FaceChange(const RepairedFace& face, const RegionSchema& region,
                           const FieldSchema& field, const Vec3& old, const Vec3& now);
    void Keep(FindingKind kind, const RepairedFace& face, int64_t offset, std::string reason);

    const OptDocument& document_;
    const RepairChoice& choice_;
    std::unordered_map<int64_t, int32_t> nodes_;  // block position -> first tree node
    std::unordered_map<int64_t, BlockRegions> faceBlocks_;
    std::map<int64_t, std::pair<FieldChange, RepairedFace>> changes_;  // by offset
    std::unordered_map<int64_t, Vec3> faceNormals_;  // face normal offset -> the value written
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

bool Planner::Change(const FieldChange& change, const RepairedFace& face) {
    const auto [at, added] = changes_.try_emplace(change.Offset, change, face);
    return added || SameBits(at->second.first.New, change.New);
}

FieldChange Planner::FaceChange(const RepairedFace& face, const RegionSchema& region,
                                const FieldSchema& field, const Vec3& old, const Vec3& now) {
    const BlockRegions& block = FaceBlock(face.BlockOffset);
    const int32_t index = region.Name == kNormals.Name ? format::kFaceNormalsRegion : kSoftsRegion;
    FieldChange change;
    change.Offset =
        block.Region(static_cast<size_t>(index)).RecordOffset(face.FaceInBlock) + field.Offset;
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
    plan_.Kept.push_back({kind, face.Mesh, face.Face, -1, offset, std::move(reason)});
}

void Planner::PlanFace(int32_t mesh, int64_t f, const MeshTables& tables) {
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

    const Vec3 n = CalculatedFaceNormal(a, b, c);
    const FaceNormalVerdict verdict = TestFaceNormal(n, face.FaceNormal);
    Vec3 normal = face.FaceNormal;  // as it will be written
    if (choice_.FaceNormals && verdict != FaceNormalVerdict::Agrees) {
        const FieldChange change = FaceChange(place, kNormals, kNormalField, face.FaceNormal, n);
        if (Change(change, place)) {
            normal = n;
            faceNormals_[change.Offset] = n;
        } else {
            Keep(FindingKind::FaceNormal, place, change.Offset,
                 "its record is read again for another face that needs another normal");
        }
    }

    if (choice_.SoftVectors && !SoftVectorsOnPlane(face.SoftVector1, face.SoftVector2, normal)) {
        const FieldChange first =
            FaceChange(place, kSofts, kSoft1Field, face.SoftVector1, face.SoftVector1);
        const auto keep = [&](std::string reason) {
            Keep(FindingKind::SoftVector, place, first.Offset, std::move(reason));
        };
        const std::optional<Vec3> soft1 = OntoPlane(face.SoftVector1, n);
        const std::optional<Vec3> soft2 = OntoPlane(face.SoftVector2, n);
        if (std::isnan(n.x) || std::isnan(n.y) || std::isnan(n.z)) {
            keep("the face's corners give no plane to project its soft vectors onto");
        } else if (verdict != FaceNormalVerdict::Agrees && !choice_.FaceNormals) {
            keep("its face normal fails the check too and is not being repaired");
        } else if (!soft1 || !soft2) {
            keep("a soft vector projects to nothing on the face's plane");
        } else {
            // The fewest vectors projected that pass the test: one, else both.
            const Vec3 s1 = face.SoftVector1, s2 = face.SoftVector2;
            const std::array<std::pair<Vec3, Vec3>, 3> tries{
                {{*soft1, s2}, {s1, *soft2}, {*soft1, *soft2}}};
            const auto passes = std::find_if(tries.begin(), tries.end(), [&](const auto& t) {
                return SoftVectorsOnPlane(t.first, t.second, normal);
            });
            if (passes == tries.end()) {
                keep("its soft vectors projected onto the face's plane are parallel");
            } else {
                bool written = true;
                if (!SameBits(passes->first, s1))
                    written =
                        Change(FaceChange(place, kSofts, kSoft1Field, s1, passes->first), place);
                if (!SameBits(passes->second, s2))
                    written =
                        Change(FaceChange(place, kSofts, kSoft2Field, s2, passes->second), place) &&
                        written;
                if (!written)
                    keep("its record is read again for another face that needs other values");
            }
        }
    }

    if (choice_.VertexNormals == VertexNormalCheck::None) return;
    const size_t cornerCount = quad ? 4 : 3;
    for (size_t k = 0; k < cornerCount; ++k) {
        const int32_t entry = face.VertexNormalIndex[k];
        const Vec3 stored = tables.VertexNormalAt(entry);
        if (stored.x == 0.0f && stored.y == 0.0f && stored.z == 0.0f) continue;  // never flagged
        corners_.push_back({tables.VertexAt(index[k]), stored, origins_.At(entry), mesh,
                            static_cast<int32_t>(k), f, place});
    }
}

void Planner::PlanEntries() {
    // The draw tables with the face normals as they will be written.
    std::vector<DrawFace> drawFaces = document_.Model().DrawFaces;
    if (!faceNormals_.empty()) {
        for (DrawFace& face : drawFaces) {
            const int64_t offset = FaceBlock(face.BlockOffset)
                                       .Region(format::kFaceNormalsRegion)
                                       .RecordOffset(face.FaceInBlock) +
                                   kNormalField.Offset;
            const auto mended = faceNormals_.find(offset);
            if (mended != faceNormals_.end()) face.Normal = mended->second;
        }
    }
    CornerIndex index(drawFaces, CheckTolerance);
    struct EntryUse {
        std::vector<Vec3> Averages;
        std::vector<size_t> Corners;
        bool Flagged = false;
        size_t FirstFlagged = 0;
    };
    std::map<int64_t, EntryUse> entries;  // by the entry's file position; -1: no place
    for (size_t i = 0; i < corners_.size(); ++i) {
        const CornerUse& corner = corners_[i];
        const MeshFilter filter = choice_.VertexNormals == VertexNormalCheck::MeshByMesh
                                      ? MeshFilter::OnlyMesh(corner.Mesh)
                                      : MeshFilter::Everything();
        const NormalSum found = index.Contributions(corner.Position, filter);
        if (found.count == 0) continue;
        const Vec3 average = AverageNormal(found);
        if (std::isnan(average.x) || std::isnan(average.y) || std::isnan(average.z)) continue;
        EntryUse& use = entries[corner.Entry.Offset];
        use.Averages.push_back(average);
        use.Corners.push_back(i);
        if (!use.Flagged && !VertexNormalAgrees(average, corner.Stored)) {
            use.Flagged = true;
            use.FirstFlagged = i;
        }
    }
    for (const auto& [offset, use] : entries) {
        if (!use.Flagged) continue;
        const CornerUse& first = corners_[use.FirstFlagged];
        NotMendable kept{FindingKind::VertexNormal,
                         first.Mesh,
                         first.Face,
                         first.Corner,
                         offset < 0 ? -1 : offset + kEntryField.Offset,
                         ""};
        if (offset < 0) {
            kept.Reason = "its vertex normal entry was written by no block of the file";
            plan_.Kept.push_back(kept);
            continue;
        }
        double x = 0, y = 0, z = 0;
        for (const Vec3& average : use.Averages) {
            x += average.x;
            y += average.y;
            z += average.z;
        }
        const auto count = static_cast<double>(use.Averages.size());
        const Vec3 mean =
            VecNormalised({static_cast<float>(x / count), static_cast<float>(y / count),
                           static_cast<float>(z / count)});
        const bool agree = std::all_of(use.Averages.begin(), use.Averages.end(),
                                       [&](const Vec3& a) { return VertexNormalAgrees(a, mean); });
        if (!agree || std::isnan(mean.x) || std::isnan(mean.y) || std::isnan(mean.z)) {
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
            PlanFace(mesh, f, tables);
    }
    if (choice_.VertexNormals != VertexNormalCheck::None) PlanEntries();

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

std::string RepairLine(const FieldChange& change, const RepairedFace& face) {
    return FieldChangeText(change) + " (mesh " + std::to_string(face.Mesh) + ", face " +
           std::to_string(face.Face) + ")";
}

}  // namespace vexlor
