// `vexlor diff` as a user runs it: a file against itself, against copies of it with known fields
// changed, a count cut and a slot emptied, with and without a tolerance, and on bad input.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CommandRun.h"
#include "TempFolder.h"
#include "reader/BlockRegions.h"
#include "reader/FieldChange.h"
#include "reader/FormatTables.h"
#include "reader/OptDocument.h"
#include "samples/SampleModels.h"

namespace vexlor {
namespace {

namespace fs = std::filesystem;

class Diff : public ::testing::Test {
  protected:
    Diff() {
        dir_ = testing::TempFolderFor(
            "diff-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        bytes_ = testing::BuildFighter(layout_);
        document_.OpenBytes(bytes_, "fighter.opt");
        Write("a.opt", bytes_);
    }
    ~Diff() override { fs::remove_all(dir_); }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    testing::CommandRun Run(const std::string& args) const {
        return testing::RunCaught(
            "cd '" + dir_.string() +
                "' && '" VEXLOR_BINARY "' --names '" VEXLOR_SOURCE_DIR "/data' diff " + args,
            dir_ / "run");
    }
    // The regions of the first block of `type` in the fighter, and its node.
    std::pair<int32_t, BlockRegions> FirstBlock(int32_t type) const {
        const OptModel& model = document_.Model();
        for (size_t node = 1; node < model.BlockTable.size(); ++node)
            if (model.BlockTable[node].Type == type)
                return {static_cast<int32_t>(node),
                        LocateBlock(document_.Stream(), model.GlobalOffset,
                                    model.BlockTable[node].Offset, type)};
        ADD_FAILURE() << "no block of type " << type;
        return {0, BlockRegions(SchemaOf(type), 0)};
    }
    // Adds `delta` to the single at `at` of `bytes`; returns the new value's offset.
    static int64_t AddToSingle(std::vector<uint8_t>& bytes, int64_t at, float delta) {
        float value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        value += delta;
        std::memcpy(bytes.data() + at, &value, sizeof value);
        return at;
    }
    static void SetInt32(std::vector<uint8_t>& bytes, int64_t at, int32_t value) {
        std::memcpy(bytes.data() + at, &value, sizeof value);
    }

    fs::path dir_;
    testing::FighterLayout layout_;
    std::vector<uint8_t> bytes_;
    OptDocument document_;
};

// The one line that holds `part`; empty when none or several do.
std::string LineWith(const std::vector<std::string>& lines, const std::string& part) {
    std::string found;
    for (const std::string& line : lines) {
        if (line.find(part) == std::string::npos) continue;
        if (!found.empty()) return {};
        found = line;
    }
    return found;
}

TEST_F(Diff, AFileAgainstItselfHasNoDifferencesAndExitsZero) {
    const testing::CommandRun run = Run("a.opt a.opt");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "no differences\n");
    const testing::CommandRun json = Run("--json a.opt a.opt");
    EXPECT_EQ(json.status, 0);
    const nlohmann::json parsed = nlohmann::json::parse(json.out);
    EXPECT_TRUE(parsed["same"]);
    EXPECT_TRUE(parsed["fields"].empty() && parsed["records"].empty() && parsed["blocks"].empty());
}

TEST_F(Diff, ChangedValuesAreListedAsExactlyTheirFieldsWithinTheTolerance) {
    std::vector<uint8_t> changed = bytes_;
    const auto [faceNode, faces] = FirstBlock(kTypeFace);
    const auto [vertexNode, vertices] = FirstBlock(kTypeVertex);
    const auto [hardpointNode, hardpoint] = FirstBlock(kTypeHardpoint);
    // One value of each of three vector fields: each is listed as its whole field.
    const int64_t normal =
        AddToSingle(changed, faces.Region(format::kFaceNormalsRegion).RecordOffset(2), 3.0F);
    const int64_t vertex = vertices.Region(1).RecordOffset(1);
    AddToSingle(changed, vertex + format::kValueSize, 1.0F);
    const int64_t position = hardpoint.Region(1).Origin + format::kValueSize;
    AddToSingle(changed, position + 2 * format::kValueSize, 0.25F);
    Write("b.opt", changed);

    const testing::CommandRun run = Run("a.opt b.opt");
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> lines = testing::Lines(run.out);
    ASSERT_EQ(lines.size(), 4U) << run.out;
    const auto expected = [&](int64_t at, int32_t node, const BlockRegions& block, size_t region,
                              int64_t record, const std::string& field) {
        return "offset " + std::to_string(at) + ": block " + std::to_string(node) + " (" +
               std::string(block.Schema().Name) + " at " + std::to_string(block.Position()) +
               "), mesh 0, " + std::string(block.Region(region).Schema->Name) + "[" +
               std::to_string(record) + "]." + field + ": ";
    };
    for (const std::string& line :
         {expected(normal, faceNode, faces, format::kFaceNormalsRegion, 2, "normal"),
          expected(vertex, vertexNode, vertices, 1, 1, "position"),
          expected(position, hardpointNode, hardpoint, 1, 0, "position")})
        EXPECT_EQ(LineWith(lines, line).rfind(line, 0), 0U) << line << "\n" << run.out;
    // Every value of the field, A's before the arrow: the one changed, the others the same.
    const Vec3 was = document_.Stream().Vec3At(vertex);
    EXPECT_NE(LineWith(lines, "vertices[1].position: " + VectorText(was) + " -> " +
                                  VectorText({was.X, was.Y + 1.0F, was.Z})),
              "");
    EXPECT_EQ(lines[3],
              "3 differences: 3 field values, 0 record ranges, 0 blocks only in A, 0 "
              "blocks only in B");

    // The JSON holds the same differences, with both sides' values and offsets.
    const nlohmann::json json = nlohmann::json::parse(Run("--json a.opt b.opt").out);
    ASSERT_EQ(json["fields"].size(), 3U);
    for (const nlohmann::json& field : json["fields"]) {
        EXPECT_FALSE(field.contains("offsetB"));  // only where B's place is another
        EXPECT_EQ(LineWith(lines, field["line"]), field["line"]);
        if (field["field"] == "normal") {
            EXPECT_EQ(field["offset"], normal);
        }
    }
    EXPECT_EQ(json["summary"], lines[3]);

    // Differences within the tolerance count as equal, and so does one at its edge: the
    // hardpoint's exact 0.25.
    for (const std::string tolerance : {"0.25", "0.5"}) {
        const std::string out = Run("--tolerance " + tolerance + " a.opt b.opt").out;
        const std::vector<std::string> loose = testing::Lines(out);
        ASSERT_EQ(loose.size(), 3U) << "--tolerance " << tolerance << ":\n" << out;
        EXPECT_FALSE(LineWith(loose, "faceNormals[2].normal: ").empty());
        EXPECT_FALSE(LineWith(loose, "vertices[1].position: ").empty());
    }
    const testing::CommandRun looser = Run("a.opt b.opt --tolerance 3.5");
    EXPECT_EQ(looser.status, 0);
    EXPECT_EQ(looser.out, "no differences\n");
}

TEST_F(Diff, TheSameModelForAnotherGlobalOffsetDiffersOnlyInTheGlobalOffsetField) {
    // Every stored offset differs in its bytes and each gives the same file position.
    testing::FighterLayout layout;
    Write("zero.opt", testing::BuildFighter(layout, 0));
    Write("moved.opt", testing::BuildFighter(layout, 4096));
    const testing::CommandRun run = Run("zero.opt moved.opt");
    EXPECT_EQ(run.status, 1) << run.err;
    const std::vector<std::string> lines = testing::Lines(run.out);
    ASSERT_EQ(lines.size(), 2U) << run.out.substr(0, 1000);
    EXPECT_NE(lines[0].find(".globalOffset: 8 -> 4104"), std::string::npos) << lines[0];
}

TEST_F(Diff, ACutCountAndAnEmptiedSlotAreTheirFieldsRecordsAndBlockOnly) {
    std::vector<uint8_t> changed = bytes_;
    const auto [vertexNode, vertices] = FirstBlock(kTypeVertex);
    const int32_t count = static_cast<int32_t>(vertices.Region(1).Count);
    SetInt32(changed, vertices.Position() + kCountField, count - 1);
    // The first hardpoint's slot emptied: the hardpoint is only in A; its later siblings keep
    // their places.
    const auto [hardpointNode, hardpoint] = FirstBlock(kTypeHardpoint);
    const OptModel& model = document_.Model();
    const int32_t parent = model.Tree.Node(hardpointNode).Parent;
    const BlockRegions slots =
        LocateBlock(document_.Stream(), model.GlobalOffset,
                    model.BlockTable[static_cast<size_t>(parent)].Offset, kTypeJump);
    int64_t slot = 0;
    while (document_.Stream().Int32At(slots.Region(1).RecordOffset(slot)) - model.GlobalOffset !=
           hardpoint.Position())
        ++slot;
    SetInt32(changed, slots.Region(1).RecordOffset(slot), 0);
    Write("b.opt", changed);

    const testing::CommandRun run = Run("a.opt b.opt");
    EXPECT_EQ(run.status, 1);
    const std::vector<std::string> lines = testing::Lines(run.out);
    ASSERT_EQ(lines.size(), 5U) << run.out;
    for (const std::string& part :
         {"slots[" + std::to_string(slot) + "].childOffset: position " +
              std::to_string(hardpoint.Position()) + " -> empty",
          "header[0].vertexCount: " + std::to_string(count) + " -> " + std::to_string(count - 1),
          "vertices: 1 record from vertex " + std::to_string(count - 1) + " only in A",
          "block " + std::to_string(hardpointNode) + " (hardpoint, type 22), mesh 0: only in A"})
        EXPECT_FALSE(LineWith(lines, part).empty()) << part << "\n" << run.out;
    EXPECT_EQ(lines[4],
              "4 differences: 2 field values, 1 record range, 1 block only in A, 0 blocks "
              "only in B");
}

TEST_F(Diff, BadInputExitsTwoWithAMessage) {
    Write("empty.opt", {});
    const testing::CommandRun missing = Run("a.opt missing.opt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("Cannot open file missing.opt"), std::string::npos) << missing.err;
    const testing::CommandRun notOpt = Run("empty.opt a.opt");
    EXPECT_EQ(notOpt.status, 2);
    EXPECT_EQ(notOpt.err, "vexlor: empty.opt is not an OPT file: it is empty\n");
    EXPECT_TRUE(notOpt.out.empty());
    // A NaN tolerance would make every number equal to every other.
    for (const std::string tolerance : {"-1", "nan", "NaN", "inf", "-inf", "1e999", "0x1p3", ""}) {
        const testing::CommandRun run = Run("a.opt a.opt --tolerance '" + tolerance + "'");
        EXPECT_EQ(run.status, 2) << tolerance;
        EXPECT_EQ(run.err, "vexlor: --tolerance: T must be a finite number, 0 or more, not '" +
                               tolerance + "' (see vexlor --help)\n")
            << tolerance;
    }
    EXPECT_EQ(Run("a.opt a.opt --tolerance 1e-3").status, 0);
}

}  // namespace
}  // namespace vexlor
