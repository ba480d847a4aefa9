// Where the findings panel's rows of non-finite vectors lead: a face normal's or soft vectors' row
// to their bytes in the face block, a vertex normal's to the face's record and corner. This
// program links no Qt and runs without a display.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "check/ConsistencyCheck.h"
#include "inspector/plain/FindingPlace.h"
#include "reader/FormatTables.h"
#include "samples/OptBuilder.h"

namespace vexlor::inspector {
namespace {

TEST(FindingPlaceTest, NonFiniteVectorsLeadToTheirBytes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    testing::OptBuilder b;
    testing::FaceInput face;
    face.Vertex = {0, 1, 2, -1};
    face.VertexNormal = {0, 0, 0, -1};
    face.Normal = {nan, 0, -1};
    face.Soft1 = {1, 0, 0};
    face.Soft2 = {0, nan, 0};
    b.SetMeshes({b.AddJump(0, {b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}),
                               b.AddVertexNormals({{0, 0, nan}}), b.AddFaces({face})})});
    const std::vector<uint8_t> bytes = b.Build();
    OptDocument document;
    document.OpenBytes(bytes, "nan.opt");
    std::vector<std::string> lines;
    std::vector<CheckFinding> findings;
    RunConsistencyCheck(document, VertexNormalCheck::WholeModel, lines, ContributionSearch::Indexed,
                        &findings);
    ASSERT_EQ(findings.size(), 5u);  // the face normal, the soft vectors, three corners
    const std::vector<std::pair<std::string_view, int64_t>> expected{
        {"non-finite face normal", format::kVectorSize},
        {"non-finite softvec", 2 * format::kVectorSize},
        {"non-finite vertex normal", format::kFaceIndices.RecordSize}};
    for (size_t i = 0; i < expected.size(); ++i) {
        const CheckFinding& finding = findings[i];
        EXPECT_EQ(FindingKindName(finding.Kind), expected[i].first);
        const FindingPlace place = PlaceOfFinding(finding, document.Stream(), document.Model());
        EXPECT_EQ(place.Block, finding.BlockOffset);
        EXPECT_TRUE(place.FaceBlock);
        EXPECT_EQ(place.FaceInBlock, 0);
        EXPECT_EQ(place.Length, expected[i].second) << finding.Text;
        const int64_t at = i < 2 ? finding.FieldOffset : finding.RecordOffset;
        EXPECT_EQ(place.Offset, at) << finding.Text;
    }
    // The face normal's first value and the second soft vector's second are the NaNs.
    EXPECT_TRUE(std::isnan(testing::OptBuilder::ReadFloat(bytes, findings[0].FieldOffset)));
    EXPECT_TRUE(std::isnan(testing::OptBuilder::ReadFloat(bytes, findings[1].FieldOffset + 16)));
    EXPECT_EQ(findings[2].Corner, 0);
}

}  // namespace
}  // namespace vexlor::inspector
