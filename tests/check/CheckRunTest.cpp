// A whole check run: what frames the findings, what it leaves behind in the document, files
// without meshes or with damaged structure, and the two sample models.
#include <gtest/gtest.h>

#include <cstring>

#include "CheckTestSupport.h"
#include "SampleModels.h"

namespace vexlor::testing {
namespace {

using Lines = std::vector<std::string>;

std::vector<uint8_t> Broken(const std::string& name) {
    for (auto& [sample, bytes] : BuildBrokenSamples())
        if (sample == name) return bytes;
    ADD_FAILURE() << "no broken sample " << name;
    return {};
}

TEST(CheckRun, WithoutMeshesTheVerdictIsStillWritten) {
    const Lines expected{"Consistency check...", "", "", "All OK!!"};
    std::vector<uint8_t> file = BuildMeshes({});
    EXPECT_EQ(CheckLines(file), expected);
    OptBuilder::PatchInt32(file, 14, -3);
    EXPECT_EQ(CheckLines(file), expected);
    EXPECT_EQ(CheckLines(Broken("header-only.opt")), expected);
    EXPECT_EQ(CheckLines(Broken("empty.opt")), expected);
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
    EXPECT_FALSE(outcome.allOk);
    EXPECT_EQ(outcome.errorCount, 0);
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
    EXPECT_TRUE(outcome.allOk);
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

// A mesh count beyond the table in the file, and a walk stopped by its budget, leave parts of the
// file unchecked: each says so once and is counted, so the run cannot end "All OK!!".
TEST(CheckRun, PartsOfTheFileThatCannotBeReadAreCountedOnce) {
    std::vector<uint8_t> file = BuildMeshes({CleanSquare()});
    OptBuilder::PatchInt32(file, 14, 3);
    const Lines cut = Findings(CheckLines(file));
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[0].rfind("!! mesh jump table at offset ", 0), 0u) << cut[0];
    EXPECT_NE(cut[0].find(": the file holds 1 of 3, the rest are not checked"), std::string::npos);
    EXPECT_EQ(cut[2], "Number of errors = 1");

    const Lines stopped = Findings(CheckLines(Broken("diamond.opt")));
    ASSERT_EQ(stopped.size(), 3u);
    EXPECT_EQ(stopped[0].rfind("!! walk stopped: ", 0), 0u) << stopped[0];
    EXPECT_EQ(stopped[2], "Number of errors = 1");
}

TEST(CheckRun, FighterIsCleanInEveryMode) {
    OptDocument document;
    document.OpenBytes(BuildFighter(), "fighter.opt");
    for (auto mode :
         {VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh, VertexNormalCheck::None}) {
        CheckOutcome outcome{};
        const Lines lines = RunCheck(document, mode, &outcome);
        EXPECT_TRUE(outcome.allOk) << static_cast<int>(mode);
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
        EXPECT_FALSE(outcome.allOk);
        EXPECT_EQ(outcome.errorCount, 6);
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
