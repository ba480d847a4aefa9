// A whole check run: what frames the findings, what it leaves behind in the document, files
// without meshes or with damaged structure, and the two sample models.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "CheckTestSupport.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

using Lines = std::vector<std::string>;

// A negative mesh count is no count of meshes: the open's problem, and so the check's.
TEST(CheckRun, WithoutMeshesTheVerdictIsStillWritten) {
    std::vector<uint8_t> file = BuildMeshes({});
    EXPECT_EQ(CheckLines(file), (Lines{"Consistency check...", "", "", "All OK!!"}));
    OptBuilder::PatchInt32(file, 14, -3);
    EXPECT_EQ(CheckLines(file),
              (Lines{"Consistency check...", "",
                     "!! this does not look like an OPT file: its mesh count -3 is negative", "",
                     "errors were detected!!", "Number of errors = 1"}));
}

TEST(CheckRun, MeshWithoutFacesGetsItsHeadingsOnly) {
    OptBuilder b(0x100);
    b.SetMeshes({b.AddJump(0, {b.AddVertices({{1, 2, 3}})})});
    const Lines expected{"Consistency check...",
                         "",
                         "Checking mesh 0...",
                         "Checking for co-incident vertices...",
                         "Checking face normals by re-calculating...",
                         "Checking Software vectors on-plane...",
                         "Checking vertex normals...",
                         "",
                         "All OK!!"};
    EXPECT_EQ(CheckLines(b.Build()), expected);
}

TEST(CheckRun, BeforeAnyFileIsOpenItWritesNothing) {
    OptDocument document;
    CheckOutcome outcome{true, 1};
    EXPECT_TRUE(RunCheck(document, VertexNormalCheck::WholeModel, &outcome).empty());
    EXPECT_FALSE(outcome.AllOk);
    EXPECT_EQ(outcome.ErrorCount, 0);
}

// The saves and the check re-walk the file with tables of their own: the model (draw tables,
// tree, block table) is as it was, and a block display afterwards shows what it showed before,
// also of a hardpoint that later walks read past.
TEST(CheckRun, SavesAndTheCheckLeaveTheModelAndTheBlockDisplayAsTheyWere) {
    OptDocument document;
    document.OpenBytes(BuildFighter(), "fighter.opt");
    int32_t hardpointNode = -1;
    for (int32_t k = 0; k < document.Model().Tree.Count() && hardpointNode < 0; ++k)
        if (document.Model().BlockTable[static_cast<size_t>(k)].Type == 22) hardpointNode = k;
    std::vector<std::string> shown;
    ASSERT_TRUE(document.DisplayBlock(hardpointNode, shown));
    const OptModel before = document.Model();

    MemoryOutput report;
    CrLfLineOutput lines(report);
    document.WriteReport(lines, "caption");
    MemoryOutput prj;
    document.WritePrj(prj);
    CheckOutcome outcome{};
    EXPECT_EQ(RunCheck(document, VertexNormalCheck::WholeModel, &outcome).front(),
              "Consistency check...");
    EXPECT_TRUE(outcome.AllOk);
    const OptModel& after = document.Model();
    ASSERT_EQ(after.DrawFaces.size(), before.DrawFaces.size());
    EXPECT_EQ(std::memcmp(after.DrawFaces.data(), before.DrawFaces.data(),
                          before.DrawFaces.size() * sizeof(DrawFace)),
              0);
    EXPECT_EQ(after.Tree.Count(), before.Tree.Count());
    EXPECT_EQ(after.BlockTable.size(), before.BlockTable.size());
    std::vector<std::string> again;
    document.DisplayBlock(hardpointNode, again);
    EXPECT_EQ(again, shown);
}

// What the open could not read has not been found OK: every problem it found is listed once,
// as its "!!" line, before the first mesh is checked, and counted; the count of a file with more
// problems than are kept still counts them all.
TEST(CheckRun, EveryProblemOfTheOpenIsListedOnceAndCounted) {
    std::vector<uint8_t> cut = BuildMeshes({CleanSquare()});
    OptBuilder::PatchInt32(cut, 14, 3);
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = BuildBrokenSamples();
    files.emplace_back("mesh table cut", cut);
    for (const auto& [name, bytes] : files) {
        OptDocument document;
        document.OpenBytes(bytes, name);
        const WalkProblems& problems = document.Model().Problems;
        std::vector<CheckFinding> findings;
        std::vector<std::string> lines;
        const CheckOutcome outcome = RunConsistencyCheck(
            document, VertexNormalCheck::WholeModel, lines, ContributionSearch::Indexed, &findings);
        // Well formed beyond an old reader's capacities (deep-chain, over-capacity): nothing to
        // add.
        if (problems.Count() == 0) {
            EXPECT_TRUE(outcome.AllOk) << name;
            continue;
        }
        EXPECT_FALSE(outcome.AllOk) << name;
        EXPECT_GE(outcome.ErrorCount, std::min<int64_t>(problems.Count(), INT32_MAX)) << name;
        const auto afterProblems =
            std::find_if(lines.begin() + 2, lines.end(),
                         [](const std::string& l) { return !l.starts_with("!! "); });
        const Lines listed(lines.begin() + 2, afterProblems);
        // Before the first mesh, if there is one.
        EXPECT_TRUE(afterProblems->empty() || afterProblems->starts_with("Checking mesh 0"))
            << name;
        ASSERT_EQ(listed.size(), problems.Kept().size()) << name;
        for (size_t i = 0; i < listed.size(); ++i) {
            EXPECT_TRUE(listed[i].starts_with("!! ")) << name << ": " << listed[i];
            EXPECT_TRUE(problems.Kept()[i].Text.ends_with(listed[i].substr(3))) << name;
            EXPECT_EQ(findings[i].Line, static_cast<int64_t>(i + 2));
            EXPECT_TRUE(findings[i].Counted && findings[i].Problem);
        }
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "errors were detected!!"), 1) << name;
        EXPECT_EQ(lines.back(), "Number of errors = " + std::to_string(outcome.ErrorCount));
    }
    OptDocument cutDocument;
    const Lines meshTable = Findings(CheckLines(cutDocument, cut));
    ASSERT_EQ(meshTable.size(), 3u);
    EXPECT_TRUE(meshTable[0].starts_with("!! mesh jump table at offset ")) << meshTable[0];
    EXPECT_EQ(meshTable[2], "Number of errors = 1");
}

TEST(CheckRun, FighterIsCleanInEveryMode) {
    OptDocument document;
    document.OpenBytes(BuildFighter(), "fighter.opt");
    for (auto mode :
         {VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh, VertexNormalCheck::None}) {
        CheckOutcome outcome{};
        const Lines lines = RunCheck(document, mode, &outcome);
        EXPECT_TRUE(outcome.AllOk) << static_cast<int>(mode);
        EXPECT_EQ(Findings(lines), Lines{"All OK!!"});
    }
}

// The faulty sample lists each planted finding in file order; the count covers the counted ones
// and starts again from zero on every run.
TEST(CheckRun, FaultySampleListsEachFinding) {
    OptDocument document;
    document.OpenBytes(BuildFaultySample(), "faulty.opt");
    Lines whole;
    for (int run = 0; run < 2; ++run) {
        CheckOutcome outcome{};
        whole = RunCheck(document, VertexNormalCheck::WholeModel, &outcome);
        EXPECT_FALSE(outcome.AllOk);
        EXPECT_EQ(outcome.ErrorCount, 6);
    }
    Lines headline;
    for (const std::string& line : whole) {
        if (line.rfind("ERROR!", 0) == 0 || line.rfind("WARNING!", 0) == 0 ||
            line.rfind("error!", 0) == 0 || line.rfind("Checking mesh", 0) == 0 ||
            line.rfind("Number", 0) == 0)
            headline.push_back(line);
    }
    const Lines expected{"Checking mesh 0...",
                         "ERROR! co-incident vertices, mesh 0, face 0!",
                         "ERROR! co-incident vertices, mesh 0, face 1!",
                         "WARNING! face normal not consistent with vertex order, mesh 0, face 2!",
                         "ERROR! face normal anomaly, mesh 0, face 3!",
                         "ERROR! softvec anomaly, mesh 0, face 3!",
                         "ERROR! softvec anomaly, mesh 0, face 4!",
                         "WARNING! Vertex normal anomaly, mesh 0, face 5, vertex 2!",
                         "Checking mesh 1...",
                         "error! no VN contribs found, face 0",
                         "error! no VN contribs found, face 0",
                         "error! no VN contribs found, face 0",
                         "error! no VN contribs found, face 0",
                         "Number of errors = 6"};
    EXPECT_EQ(headline, expected);
    // No face of one mesh touches another, so mesh by mesh finds the same.
    EXPECT_EQ(RunCheck(document, VertexNormalCheck::MeshByMesh), whole);
}

}  // namespace
}  // namespace vexlor::testing
