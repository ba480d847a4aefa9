// The scene's numbers: the rounding rules, the model extent, the view box and the size caption,
// with the worked examples and the models whose extents the plain rules cannot frame.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "view/Projection.h"
#include "view/ViewMath.h"
#include "view/Wireframe.h"

namespace vexlor::view {
namespace {

std::vector<DrawFace> FacesWithCorners(const std::vector<Vec3>& corners, int32_t lod = 1) {
    std::vector<DrawFace> faces;
    for (size_t i = 0; i < corners.size(); i += 4) {
        DrawFace face;
        for (size_t c = 0; c < 4; ++c)
            face.Corners[c] = corners[std::min(i + c, corners.size() - 1)];
        face.Lod = static_cast<uint8_t>(lod);
        faces.push_back(face);
    }
    return faces;
}

TEST(ViewRounding, HalvesGoToTheEvenNeighbourDivTruncatesAndNothingOverflows) {
    EXPECT_EQ(RoundHalfEven(3.5L), 4);
    EXPECT_EQ(RoundHalfEven(-2.5L), -2);
    EXPECT_EQ(ExtentBound(2.5f), 2);    // 2 + 2 div 3
    EXPECT_EQ(ExtentBound(-7.4f), -9);  // -7 + -7 div 3, toward zero
    constexpr float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ExtentBound(inf), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ExtentBound(-3e9f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ExtentBound(std::nanf("")), 0);
    EXPECT_EQ(NarrowToFloat(1e300L), std::numeric_limits<float>::max());
}

TEST(ModelExtent, WorkedExampleGivesBoxProjectionAndCaption) {
    const std::vector<DrawFace> faces = FacesWithCorners({{-299.6f, 0, 12}, {300.4f, 5, -3}});
    const ModelExtent extent = ComputeModelExtent(faces);
    EXPECT_EQ(extent.Max, 400);
    EXPECT_EQ(extent.Min, -400);
    const ViewBox box = ProjectionBox(extent.Max, extent.Min);
    EXPECT_EQ(box.Left, -400);
    EXPECT_EQ(box.Right, 400);
    EXPECT_EQ(box.Bottom, -400);
    EXPECT_EQ(box.Top, 400);
    EXPECT_EQ(box.Near, 40000);
    EXPECT_EQ(box.Far, -40000);
    EXPECT_EQ(ModelSizeCaption(extent.Max, extent.Min, NumberText()),
              "Model size = approx. 19.5122 metres (BoP/XWA)");
    EXPECT_EQ(ModelSizeCaption(extent.Max, extent.Min, NumberText(",")),
              "Model size = approx. 19,5122 metres (BoP/XWA)");
}

TEST(ModelExtent, OneBoundOverAllAxesAndEveryLevelOfDetail) {
    std::vector<DrawFace> faces = FacesWithCorners({{0, 0, 0},
                                                    {0, 0, 0},
                                                    {0, 0, 0},
                                                    {0, 0, 0},  // level 1
                                                    {1, 2, 60},
                                                    {-30, 0, 0},
                                                    {0, 0, 0},
                                                    {0, 0, 0}});
    faces[1].Lod = 2;
    const ModelExtent extent = ComputeModelExtent(faces);
    EXPECT_EQ(extent.Max, 80);
    EXPECT_EQ(extent.Min, -40);
}

TEST(ModelExtent, EmptyModelKeepsTheInvertedBoxButHasNoNegativeSize) {
    const ModelExtent extent = ComputeModelExtent(std::vector<DrawFace>{});
    EXPECT_EQ(extent.Max, -1333332);
    EXPECT_EQ(extent.Min, 1333332);
    const ViewBox box = ProjectionBox(extent.Max, extent.Min);
    EXPECT_EQ(box.Left, 1333332);
    EXPECT_EQ(box.Right, -1333332);
    EXPECT_EQ(box.Near, -133333200);
    EXPECT_EQ(box.Far, 133333200);
    EXPECT_EQ(ModelSizeCaption(extent.Max, extent.Min, NumberText()),
              "Model size = approx. 0 metres (BoP/XWA)");
}

TEST(ModelExtent, CoordinatesAllAlikeGetABoxOpenGLAccepts) {
    const ModelExtent extent = ComputeModelExtent(FacesWithCorners({{0, 0, 0}}));
    EXPECT_EQ(extent.Max, 0);
    EXPECT_EQ(extent.Min, 0);
    const ViewBox box = ProjectionBox(0, 0);
    EXPECT_LT(box.Left, box.Right);
    EXPECT_LT(box.Bottom, box.Top);
    EXPECT_GT(box.Near, 0);  // the plane z = 0 lies inside the depth range
    EXPECT_LT(box.Far, 0);
    EXPECT_EQ(ModelSizeCaption(0, 0, NumberText()), "Model size = approx. 0 metres (BoP/XWA)");
}

TEST(ModelExtent, ModelOffTheOriginStaysInsideTheDepthRange) {
    // All coordinates from 100 to 500: the box is 133 ... 666, and depth from 100 x 666 to
    // 100 x 133 would lie wholly in front of the model.
    const ModelExtent extent =
        ComputeModelExtent(FacesWithCorners({{100, 100, 100}, {500, 500, 500}}));
    EXPECT_EQ(extent.Max, 666);
    EXPECT_EQ(extent.Min, 133);
    const ViewBox box = ProjectionBox(extent.Max, extent.Min);
    EXPECT_EQ(box.Left, 133);
    EXPECT_EQ(box.Right, 666);
    EXPECT_EQ(box.Near, 66600);
    EXPECT_EQ(box.Far, -66600);
}

TEST(ModelExtent, NaNsArePassedOverAndInfinitiesClamp) {
    const float nan = std::nanf("");
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ComputeModelExtent(FacesWithCorners({{nan, 3, nan}, {-3, nan, 0}})).Max, 4);
    EXPECT_EQ(ComputeModelExtent(FacesWithCorners({{nan, nan, nan}})).Max, -1333332);

    const ModelExtent huge = ComputeModelExtent(FacesWithCorners({{inf, 0, 0}, {-1e30f, 0, 0}}));
    EXPECT_EQ(huge.Max, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(huge.Min, std::numeric_limits<int32_t>::min());
    const ViewBox box = ProjectionBox(huge.Max, huge.Min);
    EXPECT_DOUBLE_EQ(box.Near, 100.0 * std::numeric_limits<int32_t>::max());  // past 32 bits
    EXPECT_DOUBLE_EQ(box.Far, 100.0 * std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ModelSizeCaption(huge.Max, huge.Min, NumberText()),
              "Model size = approx. 1.04755E8 metres (BoP/XWA)");
}

}  // namespace
}  // namespace vexlor::view
