// The problems an open keeps: the same "!!" lines the report of the file holds, each charged to a
// block of the tree and pointing at a byte that block owns, and no more than the cap of them.
#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupport.h"
#include "reader/BlockLayout.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

std::vector<std::string> ProblemLinesOfTheReport(OptDocument& document) {
    std::vector<std::string> problems;
    for (const std::string& line : ReportLines(document)) {
        const size_t text = line.find_first_not_of(' ');
        if (text != std::string::npos && line.compare(text, 2, "!!") == 0) problems.push_back(line);
    }
    return problems;
}

std::vector<std::string> KeptTexts(const OptDocument& document) {
    std::vector<std::string> texts;
    for (const WalkProblem& problem : document.Model().Problems.Kept())
        texts.push_back(problem.Text);
    return texts;
}

bool IsNodeBlock(const OptModel& model, int64_t block) {
    return std::any_of(model.BlockTable.begin(), model.BlockTable.end(),
                       [&](const BlockEntry& entry) { return entry.Offset == block; });
}

TEST(WalkProblems, TheOpenKeepsTheReportsProblemLinesEachChargedToABlockOfTheTree) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = BuildBrokenSamples();
    files.emplace_back("fighter", BuildFighter());
    files.emplace_back("faulty", BuildFaultySample());
    int withProblems = 0;
    for (const auto& [name, bytes] : files) {
        OptDocument document;
        Load(document, bytes);
        const OptModel& model = document.Model();
        const std::vector<std::string> expected = ProblemLinesOfTheReport(document);
        EXPECT_EQ(KeptTexts(document), expected) << name;
        EXPECT_EQ(model.Problems.Count(), static_cast<int64_t>(expected.size())) << name;
        withProblems += expected.empty() ? 0 : 1;

        for (const WalkProblem& problem : model.Problems.Kept()) {
            EXPECT_TRUE(IsNodeBlock(model, problem.Block)) << name << ": " << problem.Text;
            EXPECT_TRUE(model.Problems.BlockHasProblems(problem.Block)) << name;
            // A bad index or a slot is a byte of its own block: going there finds that block.
            if (problem.Kind == ProblemKind::BadIndex || problem.Kind == ProblemKind::LeadsBack) {
                const int32_t owner = FindInnermostBlock(document.Stream(), model.GlobalOffset,
                                                         model.BlockTable, problem.Offset);
                ASSERT_GE(owner, 0) << name << ": " << problem.Text;
                EXPECT_EQ(model.BlockTable[static_cast<size_t>(owner)].Offset, problem.Block)
                    << name << ": " << problem.Text;
            }
        }
        // Every block with a problem has one kept for it here, as none of these files reaches
        // the cap.
        for (const int64_t block : model.Problems.Blocks()) {
            EXPECT_TRUE(std::any_of(model.Problems.Kept().begin(), model.Problems.Kept().end(),
                                    [&](const WalkProblem& p) { return p.Block == block; }))
                << name << ": " << block;
        }
    }
    EXPECT_GE(withProblems, 10);
}

TEST(WalkProblems, KindsAndPlacesOfALoopAndOfBadIndices) {
    OptBuilder b;
    const int64_t vertices = b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    FaceInput face;
    face.Vertex = {0, 1, 5000, -1};
    face.VertexNormal = {2001, -1, -1, -1};
    const int64_t faces = b.AddFaces({face});
    const int64_t root = b.AddJump(0, {vertices, faces, 0});
    b.SetSlot(root, 2, root);
    b.SetMeshes({root});
    OptDocument document;
    Load(document, b.Build());
    const std::vector<WalkProblem>& kept = document.Model().Problems.Kept();
    ASSERT_EQ(kept.size(), 3u);
    // The face's corner 2 names vertex 5000 and its corner 0 vertex normal 2001, beyond the tables;
    // its record starts 4 bytes into the payload.
    const int64_t record = faces + 24 + 4;
    EXPECT_EQ(kept[0].Kind, ProblemKind::BadIndex);
    EXPECT_EQ(kept[0].Block, faces);
    EXPECT_EQ(kept[0].Offset, record + 8);
    EXPECT_EQ(kept[1].Kind, ProblemKind::BadIndex);
    EXPECT_EQ(kept[1].Offset, record + 48);
    EXPECT_EQ(kept[2].Kind, ProblemKind::LeadsBack);
    EXPECT_EQ(kept[2].Block, root);
    EXPECT_EQ(kept[2].Offset, root + 24 + 8);  // the third slot
    EXPECT_EQ(document.Model().Problems.Blocks(), (std::vector<int64_t>{faces, root}));
    EXPECT_EQ(ProblemKindName(ProblemKind::LeadsBack), "slot leads back");
}

TEST(WalkProblems, AFileFullOfProblemsKeepsTheCapAndSaysHowManyMore) {
    OptBuilder b;
    const int64_t vertices = b.AddVertices({{0, 0, 0}});
    FaceInput face;
    face.Vertex = {5000, 5001, 5002, 5003};
    std::vector<FaceInput> faces(325, face);
    const int64_t block = b.AddFaces(faces);
    b.SetMeshes({b.AddJump(0, {vertices, block})});
    OptDocument document;
    Load(document, b.Build());
    const WalkProblems& problems = document.Model().Problems;
    EXPECT_EQ(ProblemLinesOfTheReport(document).size(), 1300u);
    EXPECT_EQ(problems.Count(), 1300);
    ASSERT_EQ(problems.Kept().size(), WalkProblems::kKept + 1);
    EXPECT_EQ(problems.Kept().back().Kind, ProblemKind::LeftOut);
    EXPECT_EQ(problems.Kept().back().Text, "and 300 more");
    EXPECT_EQ(problems.Blocks(), std::vector<int64_t>{block});

    // The next open starts afresh.
    Load(document, BuildFighter());
    EXPECT_EQ(document.Model().Problems.Count(), 0);
    EXPECT_TRUE(document.Model().Problems.Kept().empty());
    EXPECT_TRUE(document.Model().Problems.Blocks().empty());
}

}  // namespace
}  // namespace vexlor::testing
