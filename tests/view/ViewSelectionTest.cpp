// What choosing a block shows in the view: its mesh in red and, for a hardpoint or a mesh
// descriptor, its markers in their colours and sizes.
#include <gtest/gtest.h>

#include <limits>

#include "view/ViewSelection.h"

namespace vexlor::view {
namespace {

void ExpectVec(const Vec3& v, float x, float y, float z) {
    EXPECT_EQ(v.X, x);
    EXPECT_EQ(v.Y, y);
    EXPECT_EQ(v.Z, z);
}

TEST(ViewSelection, AHardpointShowsItsPointInItsTypeColourInsideABoxOfTheExtent) {
    ViewSelection selection;
    ShownBlock block;
    block.Mesh = 3;
    block.Hardpoint = HardpointRecord{5, {10, 0, -4}};
    SelectBlock(selection, block, 400, -350);
    EXPECT_EQ(selection.CurrentMesh, 3);
    ASSERT_TRUE(selection.Hardpoint && selection.Box);
    ExpectVec(selection.Hardpoint->Position, 10, 0, -4);
    ExpectVec(selection.Hardpoint->Colour, 0.2f, 0.6f, 1.0f);
    EXPECT_EQ(selection.Hardpoint->Size, 5.0f);
    ExpectVec(selection.Box->Centre, 10, 0, -4);
    ExpectVec(selection.Box->Span, 10, 10, 10);  // (400 + 350) / 75
    ExpectVec(selection.Box->Colour, 0.5f, 0.0f, 0.9f);

    // Types without a colour of their own are white, negative and large codes included.
    for (const int32_t type : {0, 7, 8, -1, 12, 1000})
        ExpectVec(HardpointColour(type), 1, 1, 1);
    ExpectVec(HardpointColour(9), 1.0f, 0.2f, 0.6f);
    ExpectVec(HardpointColour(10), 0.2f, 1.0f, 0.6f);
    ExpectVec(HardpointColour(11), 0.2f, 0.2f, 1.0f);
}

TEST(ViewSelection, AMeshDescriptorShowsItsBoxAndAnyOtherBlockNoMarker) {
    ViewSelection selection;
    ShownBlock descriptor;
    descriptor.Mesh = 1;
    descriptor.Descriptor = MeshDescriptorRecord{};
    descriptor.Descriptor->Span = {1.5f, 2, 3};
    descriptor.Descriptor->Centre = {0, 1, -2.25f};
    descriptor.Descriptor->Minima = {-9, -9, -9};  // reported only
    SelectBlock(selection, descriptor, 0, 0);
    EXPECT_FALSE(selection.Hardpoint);
    ASSERT_TRUE(selection.Box);
    ExpectVec(selection.Box->Span, 1.5f, 2, 3);
    ExpectVec(selection.Box->Centre, 0, 1, -2.25f);
    ExpectVec(selection.Box->Colour, 0.5f, 0.3f, 0.7f);

    ShownBlock plain;
    plain.Mesh = 2;
    SelectBlock(selection, plain, 0, 0);
    EXPECT_EQ(selection.CurrentMesh, 2);
    EXPECT_FALSE(selection.Box || selection.Hardpoint);
}

TEST(ViewSelection, AnExtentOfThe32BitLimitsDoesNotOverflowTheBox) {
    ViewSelection selection;
    ShownBlock block;
    block.Hardpoint = HardpointRecord{1, {}};
    SelectBlock(selection, block, std::numeric_limits<int32_t>::max(),
                std::numeric_limits<int32_t>::min());
    ASSERT_TRUE(selection.Box);
    EXPECT_GT(selection.Box->Span.X, 5.7e7f);
}

}  // namespace
}  // namespace vexlor::view
