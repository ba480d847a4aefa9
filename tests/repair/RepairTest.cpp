// The repair of built models: every face normal negated, soft vectors tilted, vertex normals
// scrambled, and the faulty sample. Each repair must list its changes, differ from its input only
// in the bytes of those changes, check clean but for what it listed as not mendable, and find
// nothing to change in its own output; compared with its input, it reads as exactly its list.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>

#include "check/ConsistencyCheck.h"
#include "compare/DifferenceText.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"
#include "repair/EntryOrigins.h"
#include "repair/RepairWrite.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

void PutVector(std::vector<uint8_t>& bytes, int64_t at, const Vec3& v) {
    for (int c = 0; c < 3; ++c) {
        const auto word = std::bit_cast<uint32_t>(c == 0 ? v.X : c == 1 ? v.Y : v.Z);
        for (int i = 0; i < 4; ++i)
            bytes[static_cast<size_t>(at + 4 * c + i)] = static_cast<uint8_t>(word >> (8 * i));
    }
}

// Calls `edit(record position, value)` for every record of region `region` of every block of
// `type` the open found, then returns the edited bytes.
template <typename Edit>
std::vector<uint8_t> EditRecords(const std::vector<uint8_t>& bytes, int32_t type, int32_t region,
                                 Edit edit) {
    OptDocument document;
    document.OpenBytes(bytes, "model.opt");
    std::vector<uint8_t> edited = bytes;
    std::set<int64_t> done;
    for (const BlockEntry& entry : document.Model().BlockTable) {
        if (entry.Type != type || !done.insert(entry.Offset).second) continue;
        const RegionPlace place =
            LocateBlock(document.Stream(), document.Model().GlobalOffset, entry.Offset, type)
                .Region(static_cast<size_t>(region));
        for (int64_t r = 0; r < place.RecordsIn(document.Stream()); ++r)
            edit(edited, place.RecordOffset(r), r);
    }
    return edited;
}

Vec3 VectorAt(const std::vector<uint8_t>& bytes, int64_t at) {
    return OptStream(bytes).Vec3At(at);
}

struct Repaired {
    RepairPlan plan;
    std::vector<uint8_t> bytes;
    std::vector<CheckFinding> recheck;
};

Repaired Repair(const std::vector<uint8_t>& bytes, RepairChoice choice = {}) {
    OptDocument document;
    document.OpenBytes(bytes, "model.opt");
    Repaired result{PlanRepair(document, choice), {}, {}};
    result.bytes = RepairedBytes(bytes, result.plan);
    OptDocument again;
    again.OpenBytes(result.bytes, "repaired.opt");
    std::vector<std::string> lines;
    const VertexNormalCheck mode = choice.VertexNormals == VertexNormalCheck::None
                                       ? VertexNormalCheck::WholeModel
                                       : choice.VertexNormals;
    RunConsistencyCheck(again, mode, lines, ContributionSearch::Indexed, &result.recheck);
    return result;
}

// The whole contract of a repair, checked on one input.
void ExpectSoundRepair(const std::vector<uint8_t>& input, const Repaired& repaired,
                       RepairChoice choice = {}) {
    ASSERT_EQ(repaired.bytes.size(), input.size());
    // Only the changes' bytes differ, and each holds its new value.
    std::vector<bool> covered(input.size(), false);
    for (const FieldChange& change : repaired.plan.Changes) {
        for (int64_t i = 0; i < format::kVectorSize; ++i) {
            ASSERT_FALSE(covered[static_cast<size_t>(change.Offset + i)]) << change.Offset;
            covered[static_cast<size_t>(change.Offset + i)] = true;
        }
        EXPECT_EQ(std::bit_cast<uint32_t>(VectorAt(input, change.Offset).X),
                  std::bit_cast<uint32_t>(change.Old.X));
        EXPECT_EQ(VectorAt(repaired.bytes, change.Offset).Z, change.New.Z);
        // A component whose value stays keeps its bytes (-0 stays -0); some value changes.
        bool changed = false;
        for (int64_t at = change.Offset; at < change.Offset + format::kVectorSize; at += 4) {
            const float was = OptStream(input).SingleAt(at);
            const float now = OptStream(repaired.bytes).SingleAt(at);
            changed = changed || was != now;
            if (was == now) {
                EXPECT_EQ(std::bit_cast<uint32_t>(was), std::bit_cast<uint32_t>(now)) << at;
            }
        }
        EXPECT_TRUE(changed) << FieldChangeText(change);
    }
    for (size_t i = 0; i < input.size(); ++i) {
        if (!covered[i]) {
            ASSERT_EQ(input[i], repaired.bytes[i]) << "byte " << i;
        }
    }
    // The re-check finds nothing mendable but what was listed as not mendable.
    std::set<std::pair<int32_t, int64_t>> kept;
    for (const NotMendable& item : repaired.plan.Kept)
        kept.insert({item.Mesh, item.Face});
    for (const CheckFinding& finding : repaired.recheck) {
        const bool mendable = finding.Kind == FindingKind::FaceNormal ||
                              finding.Kind == FindingKind::FaceNormalReversed ||
                              finding.Kind == FindingKind::SoftVector ||
                              finding.Kind == FindingKind::VertexNormal;
        if (mendable) {
            EXPECT_TRUE(kept.contains({finding.Mesh, finding.Face}) ||
                        (finding.Kind == FindingKind::VertexNormal && !kept.empty()))
                << finding.Text;
        }
    }
    // The input compared with the repair: the same fields, places, values and lines.
    OptDocument before;
    before.OpenBytes(input, "model.opt");
    OptDocument after;
    after.OpenBytes(repaired.bytes, "repaired.opt");
    const FileComparison comparison = CompareFiles(before, after);
    EXPECT_TRUE(comparison.Records.empty() && comparison.Blocks.empty());
    std::vector<std::string> listed, compared;
    for (const FieldChange& change : repaired.plan.Changes)
        listed.push_back(FieldChangeText(change));
    for (const FieldDifference& difference : comparison.Fields)
        compared.push_back(DifferenceLine(before, after, difference));
    std::sort(listed.begin(), listed.end());
    std::sort(compared.begin(), compared.end());
    EXPECT_EQ(compared, listed);
    // A second repair changes nothing.
    const Repaired second = Repair(repaired.bytes, choice);
    EXPECT_TRUE(second.plan.Changes.empty());
    EXPECT_EQ(second.bytes, repaired.bytes);
    EXPECT_EQ(second.plan.Kept.size(), repaired.plan.Kept.size());
}

constexpr int32_t kNormals = format::kFaceNormalsRegion;
constexpr int32_t kSofts = RegionIndex(format::kFaceRegions, "softVectors");
constexpr int32_t kEntries = RegionIndex(format::kVertexNormalRegions, "vertexNormals");

TEST(Repair, EveryNegatedFaceNormalIsWrittenBackAndNothingElse) {
    const std::vector<uint8_t> fighter = BuildFighter();
    const std::vector<uint8_t> negated =
        EditRecords(fighter, kTypeFace, kNormals, [](auto& bytes, int64_t at, int64_t) {
            const Vec3 n = VectorAt(bytes, at);
            PutVector(bytes, at, {-n.X, -n.Y, -n.Z});
        });
    const Repaired repaired = Repair(negated);
    ExpectSoundRepair(negated, repaired);
    EXPECT_TRUE(repaired.plan.Kept.empty());
    EXPECT_TRUE(repaired.recheck.empty());
    OptDocument document;
    document.OpenBytes(fighter, "fighter.opt");
    EXPECT_EQ(repaired.plan.Changes.size(), document.Model().DrawFaces.size());
    bool keptNegativeZero = false;
    for (const FieldChange& change : repaired.plan.Changes) {
        EXPECT_EQ(change.Region, "faceNormals");
        EXPECT_EQ(change.Field, "normal");
        for (const float value : {change.New.X, change.New.Y, change.New.Z})
            keptNegativeZero = keptNegativeZero || (value == 0 && std::signbit(value));
    }
    // The negated zeros are -0, the calculated normals' are 0: the stored -0 is what stays.
    EXPECT_TRUE(keptNegativeZero);
}

TEST(Repair, TiltedSoftVectorsAreProjectedBackOntoTheirFaces) {
    const std::vector<uint8_t> fighter = BuildFighter();
    OptDocument document;
    document.OpenBytes(fighter, "fighter.opt");
    // Each face's first soft vector tilted out of its plane by about 27 degrees.
    std::vector<uint8_t> tilted = fighter;
    for (const BlockEntry& entry : document.Model().BlockTable) {
        if (entry.Type != kTypeFace) continue;
        const BlockRegions block =
            LocateBlock(document.Stream(), document.Model().GlobalOffset, entry.Offset, kTypeFace);
        for (int64_t r = 0; r < block.Region(kSofts).RecordsIn(document.Stream()); ++r) {
            const Vec3 n = VectorAt(fighter, block.Region(kNormals).RecordOffset(r));
            const int64_t at = block.Region(kSofts).RecordOffset(r);
            const Vec3 s = VectorAt(fighter, at);
            PutVector(tilted, at, {s.X + 0.5f * n.X, s.Y + 0.5f * n.Y, s.Z + 0.5f * n.Z});
        }
    }
    const Repaired repaired = Repair(tilted);
    ExpectSoundRepair(tilted, repaired);
    EXPECT_TRUE(repaired.recheck.empty());
    ASSERT_FALSE(repaired.plan.Changes.empty());
    for (const FieldChange& change : repaired.plan.Changes)
        EXPECT_EQ(change.Field, "softVector1");
    // Only soft vectors: the face normals are not touched even where they would be.
    const Repaired only = Repair(tilted, {false, true, VertexNormalCheck::None});
    EXPECT_EQ(only.bytes, repaired.bytes);
}

TEST(Repair, ScrambledVertexNormalsAreAveragedInBothModes) {
    const std::vector<uint8_t> fighter = BuildFighter();
    // Every entry turned away from where it pointed.
    const std::vector<uint8_t> scrambled =
        EditRecords(fighter, kTypeVertexNormal, kEntries, [](auto& bytes, int64_t at, int64_t) {
            const Vec3 n = VectorAt(bytes, at);
            PutVector(bytes, at, {-n.Y, n.X - 0.5f, -n.Z});
        });
    for (const VertexNormalCheck mode :
         {VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh}) {
        const RepairChoice choice{false, false, mode};
        const Repaired repaired = Repair(scrambled, choice);
        ExpectSoundRepair(scrambled, repaired, choice);
        EXPECT_FALSE(repaired.plan.Changes.empty());
        for (const FieldChange& change : repaired.plan.Changes)
            EXPECT_EQ(change.Region, "vertexNormals");
    }
}

TEST(Repair, TheFaultySampleKeepsOnlyWhatCannotBeMendedInPlace) {
    const std::vector<uint8_t> faulty = BuildFaultySample();
    const Repaired repaired = Repair(faulty);
    ExpectSoundRepair(faulty, repaired);
    EXPECT_FALSE(repaired.plan.Changes.empty());
    bool coincident = false;
    for (const NotMendable& item : repaired.plan.Kept)
        coincident = coincident || item.Kind == FindingKind::CoincidentVertices;
    EXPECT_TRUE(coincident);
}

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(Repair, NonFiniteVectorsAreRecomputedAndANonFiniteVertexIsNotMendable) {
    const std::vector<uint8_t> fighter = BuildFighter();
    // In every block: the first face normal and the second face's soft vectors not finite, the
    // first vertex normal entry NaN, the second 0 0 0.
    std::vector<uint8_t> broken =
        EditRecords(fighter, kTypeFace, kNormals, [](auto& bytes, int64_t at, int64_t r) {
            if (r == 0) PutVector(bytes, at, {kNan, 0, 0});
        });
    broken = EditRecords(broken, kTypeFace, kSofts, [](auto& bytes, int64_t at, int64_t r) {
        if (r == 1) PutVector(bytes, at + format::kVectorSize, {0, -kInf, 0});
    });
    broken =
        EditRecords(broken, kTypeVertexNormal, kEntries, [](auto& bytes, int64_t at, int64_t r) {
            if (r < 2) PutVector(bytes, at, r == 0 ? Vec3{0, kNan, kNan} : Vec3{});
        });
    const Repaired repaired = Repair(broken);
    ExpectSoundRepair(broken, repaired);
    EXPECT_TRUE(repaired.plan.Kept.empty());
    EXPECT_TRUE(repaired.recheck.empty());
    // Only the broken fields change; the normals are the fighter's again.
    std::set<std::string> regions;
    for (const FieldChange& change : repaired.plan.Changes) {
        regions.insert(std::string(change.Region));
        const Vec3 old = change.Old;
        EXPECT_TRUE(!IsFiniteVector(old) || (old.X == 0 && old.Y == 0 && old.Z == 0))
            << FieldChangeText(change);
        if (change.Region == "softVectors") continue;
        const Vec3 was = VectorAt(fighter, change.Offset);
        EXPECT_NEAR(change.New.X, was.X, 1e-5) << FieldChangeText(change);
        EXPECT_NEAR(change.New.Z, was.Z, 1e-5) << FieldChangeText(change);
    }
    EXPECT_EQ(regions, (std::set<std::string>{"faceNormals", "softVectors", "vertexNormals"}));

    // A vertex that is not finite: not mendable, with its reason; nothing is written.
    const std::vector<uint8_t> vertex =
        EditRecords(fighter, kTypeVertex, 1, [](auto& bytes, int64_t at, int64_t r) {
            if (r == 0) PutVector(bytes, at, {VectorAt(bytes, at).X, VectorAt(bytes, at).Y, kInf});
        });
    const Repaired kept = Repair(vertex);
    EXPECT_TRUE(kept.plan.Changes.empty());
    ASSERT_FALSE(kept.plan.Kept.empty());
    for (const NotMendable& item : kept.plan.Kept) {
        EXPECT_EQ(item.Kind, FindingKind::NonFiniteVertex);
        EXPECT_NE(NotMendableText(item).find("not a finite point"), std::string::npos);
    }
    EXPECT_EQ(kept.recheck.size(), kept.plan.Kept.size());
}

// The fields the check flags, by file position: a flagged face normal, both soft vectors of a
// flagged pair, the vertex normal entry of a flagged corner. Also the findings' lines.
std::set<int64_t> FlaggedFields(const OptDocument& document, VertexNormalCheck mode,
                                std::set<std::string>& lines) {
    std::vector<std::string> report;
    std::vector<CheckFinding> findings;
    RunConsistencyCheck(document, mode, report, ContributionSearch::Indexed, &findings);
    EntryOrigins origins;
    document.Observe(origins);
    MeshTables tables = document.WalkTables();
    OptWalker walker = document.MeshWalker(tables, {&origins});
    std::set<int64_t> flagged;
    const std::vector<int64_t>& meshes = document.Model().Meshes.MeshPositions;
    for (size_t m = 0; m < meshes.size(); ++m) {
        walker.WalkMesh(static_cast<int32_t>(m), meshes[m]);
        for (const CheckFinding& finding : findings) {
            if (finding.Mesh != static_cast<int32_t>(m) || finding.Face < 0) continue;
            const BlockRegions block = LocateBlock(document.Stream(), document.Model().GlobalOffset,
                                                   finding.BlockOffset, kTypeFace);
            switch (finding.Kind) {
                case FindingKind::FaceNormal:
                case FindingKind::FaceNormalReversed:
                case FindingKind::NonFiniteFaceNormal:
                    flagged.insert(block.Region(kNormals).RecordOffset(finding.FaceInBlock));
                    break;
                case FindingKind::SoftVector:
                case FindingKind::NonFiniteSoftVector: {
                    const int64_t at = block.Region(kSofts).RecordOffset(finding.FaceInBlock);
                    flagged.insert({at, at + format::kVectorSize});
                    break;
                }
                case FindingKind::VertexNormal:
                case FindingKind::NonFiniteVertexNormal:
                case FindingKind::ZeroVertexNormal: {
                    const FaceRecord& face = tables.FaceTable.at(static_cast<size_t>(finding.Face));
                    flagged.insert(
                        origins.At(face.VertexNormalIndex.at(static_cast<size_t>(finding.Corner)))
                            .Offset);
                    break;
                }
                default:
                    break;
            }
        }
    }
    for (const CheckFinding& finding : findings)
        lines.insert(finding.Text);
    return flagged;
}

// Malformed files of a seeded run: a sample with a few of its words overwritten by NaN, an
// infinity, zero, a random float or a small integer.
std::vector<uint8_t> Malformed(const std::vector<uint8_t>& base, uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes = base;
    const auto words = static_cast<uint32_t>((bytes.size() - 22) / 4);
    for (uint32_t edits = 1 + random() % 6; edits > 0; --edits) {
        const size_t at = 22 + 4 * static_cast<size_t>(random() % words);
        uint32_t word = 0;
        switch (random() % 6) {
            case 0:
                word = std::bit_cast<uint32_t>(kNan);
                break;
            case 1:
                word = std::bit_cast<uint32_t>(random() % 2 ? kInf : -kInf);
                break;
            case 2:
                word = 0;
                break;
            case 3:
                word =
                    std::bit_cast<uint32_t>(std::uniform_real_distribution<float>(-2, 2)(random));
                break;
            case 4:
                word = random() % 3000;
                break;
            default:
                word = static_cast<uint32_t>(random());
                break;
        }
        for (size_t i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<uint8_t>(word >> (8 * i));
    }
    return bytes;
}

// A repair writes only fields the check flags, and its output has no finding its input lacked:
// every broken sample, and the malformed files of a seeded run.
TEST(Repair, ChangesOnlyWhatTheCheckFlagsAndAddsNoFinding) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs = BuildBrokenSamples();
    const std::vector<std::vector<uint8_t>> bases{BuildFighter(), BuildFaultySample(),
                                                  BuildSeamSample()};
    for (uint32_t seed = 0; seed < 300; ++seed)
        inputs.emplace_back("seed " + std::to_string(seed), Malformed(bases[seed % 3], seed));
    for (const auto& [name, bytes] : inputs) {
        OptDocument document;
        document.OpenBytes(bytes, "model.opt");
        for (const auto mode : {VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh}) {
            const RepairChoice choice{true, true, mode};
            std::set<std::string> before, after;
            const std::set<int64_t> flagged = FlaggedFields(document, mode, before);
            const RepairPlan plan = PlanRepair(document, choice);
            for (const FieldChange& change : plan.Changes)
                EXPECT_TRUE(flagged.contains(change.Offset))
                    << name << ": " << FieldChangeText(change);
            OptDocument repaired;
            repaired.OpenBytes(RepairedBytes(bytes, plan), "repaired.opt");
            FlaggedFields(repaired, mode, after);
            for (const std::string& line : after)
                EXPECT_TRUE(before.contains(line)) << name << ": " << line;
            // As the repair fuzzer requires: a second repair changes nothing.
            EXPECT_TRUE(PlanRepair(repaired, choice).Changes.empty()) << name;
        }
        const RepairPlan plan = PlanRepair(document, {});
        if (name == "bad-indices.opt") {
            // Faces with a corner outside the vertex table keep their normals.
            EXPECT_TRUE(std::any_of(plan.Kept.begin(), plan.Kept.end(), [](const auto& item) {
                return item.Reason == "a corner's vertex index lies outside the vertex table";
            }));
        }
    }
}

}  // namespace
}  // namespace vexlor::testing
