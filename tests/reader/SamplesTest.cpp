// The sample files in samples/ are what the generator makes, and the fighter is a clean,
// complete model within the usual capacities of the tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "TestSupport.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Samples, AreWhatTheGeneratorMakes) {
    EXPECT_EQ(ReadBytes(kSamples / "fighter.opt"), BuildFighter());
    EXPECT_EQ(ReadBytes(kSamples / "seam.opt"), BuildSeamSample());
    for (const auto& [name, bytes] : BuildBrokenSamples())
        EXPECT_EQ(ReadBytes(kSamples / "broken" / name), bytes) << name;
}

TEST(Samples, FighterIsCleanAndWithinTheUsualCapacities) {
    OptDocument document;
    Load(document, BuildFighter());
    const OptModel& store = document.Model();
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_FALSE(Contains(lines, "!!"));
    EXPECT_GE(store.Tree.Node(0).Children.size(), 3u);
    EXPECT_LE(store.Tree.Count(), 1001);
    EXPECT_LE(static_cast<int64_t>(store.DrawFaces.size()), 3001);
    EXPECT_NE(store.GlobalOffset, 0);
    bool quads = false, triangles = false, lod3 = false;
    for (int64_t i = 0; i < static_cast<int64_t>(store.DrawFaces.size()); ++i) {
        const DrawFace& face = store.DrawFaces[static_cast<size_t>(i)];
        (face.IsQuad ? quads : triangles) = true;
        lod3 = lod3 || face.Lod == 3;
    }
    EXPECT_TRUE(quads && triangles && lod3);
    for (int32_t type : {1, 3, 7, 11, 13, 20, 21, 22, 25})
        EXPECT_TRUE(std::any_of(store.BlockTable.begin(), store.BlockTable.end(),
                                [&](const BlockEntry& e) { return e.Type == type; }))
            << type;
}

}  // namespace
}  // namespace vexlor::testing
