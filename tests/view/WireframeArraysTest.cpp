// The arrays the wireframe is drawn from: red exactly for the faces of the current mesh, the
// level-of-detail filter keeping draw-table order, each shared edge once; and the levels a drag's
// coarse frames draw.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "view/CoarseLevels.h"
#include "view/EdgeList.h"
#include "view/Wireframe.h"

namespace vexlor::view {
namespace {

// Face i has its first corner at x = i, and the given mesh and level.
std::vector<DrawFace> Faces(const std::vector<std::pair<int16_t, uint8_t>>& meshAndLod) {
    std::vector<DrawFace> store;
    for (size_t i = 0; i < meshAndLod.size(); ++i) {
        DrawFace face;
        face.Corners = {Vec3{float(i), 0, 0}, Vec3{float(i), 1, 0}, Vec3{float(i), 1, 1},
                        Vec3{float(i), 0, 1}};
        face.Mesh = meshAndLod[i].first;
        face.Lod = meshAndLod[i].second;
        store.push_back(face);
    }
    return store;
}

std::vector<bool> RedFaces(const std::vector<DrawFace>& store, int32_t currentMesh) {
    std::vector<uint8_t> colours;
    FillColours(store, currentMesh, colours);
    std::vector<bool> red;
    for (size_t corner = 0; corner < colours.size() / 4; ++corner) {
        const uint8_t* rgba = &colours[corner * 4];
        const bool isRed = std::equal(rgba, rgba + 4, kCurrentMeshRgba);
        EXPECT_TRUE(isRed || std::equal(rgba, rgba + 4, kFaceRgba));
        if (corner % 4 == 0) {
            red.push_back(isRed);
        } else {
            EXPECT_EQ(isRed, red.back()) << "corners of one face differ";
        }
    }
    return red;
}

// The faces whose four edges are in the edge list, in list order.
std::vector<uint32_t> DrawnFaces(const std::vector<DrawFace>& store, int32_t showLod) {
    std::vector<uint32_t> corners;
    FillEdgeList(store, FaceSelection{showLod, {}}, corners);
    EXPECT_EQ(corners.size() % 8, 0u);
    std::vector<uint32_t> faces;
    for (size_t i = 0; i + 8 <= corners.size(); i += 8) {
        const uint32_t first = corners[i];
        EXPECT_EQ(first % 4, 0u);
        const std::vector<uint32_t> edges(corners.begin() + i, corners.begin() + i + 8);
        EXPECT_EQ(edges, (std::vector<uint32_t>{first, first + 1, first + 1, first + 2, first + 2,
                                                first + 3, first + 3, first}));
        faces.push_back(first / 4);
    }
    return faces;
}

TEST(WireframeArrays, RedExactlyForTheCurrentMeshInEveryRun) {
    // Mesh 3 in two separate runs.
    const std::vector<DrawFace> store = Faces({{3, 1}, {0, 1}, {3, 1}, {3, 1}, {1, 1}});
    EXPECT_EQ(RedFaces(store, 3), (std::vector<bool>{true, false, true, true, false}));
    EXPECT_EQ(RedFaces(store, 0), (std::vector<bool>{false, true, false, false, false}));
    EXPECT_EQ(RedFaces(store, 7), std::vector<bool>(5, false));
}

TEST(WireframeArrays, MeshNumbersCompareInTheSixteenBitsTheTablesKeep) {
    // Mesh 40000 is held as -25536.
    const std::vector<DrawFace> store = Faces({{static_cast<int16_t>(40000), 1}, {0, 1}});
    EXPECT_EQ(RedFaces(store, 40000), (std::vector<bool>{true, false}));
}

TEST(WireframeArrays, LevelFilterKeepsTableOrder) {
    const std::vector<DrawFace> store = Faces({{0, 1}, {0, 2}, {1, 1}, {1, 3}, {1, 2}});
    EXPECT_EQ(DrawnFaces(store, 0), (std::vector<uint32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(DrawnFaces(store, 1), (std::vector<uint32_t>{0, 2}));
    EXPECT_EQ(DrawnFaces(store, 2), (std::vector<uint32_t>{1, 4}));
    EXPECT_TRUE(DrawnFaces(store, 4).empty());
    // A face left out by the filter still gets its mesh's colour.
    EXPECT_EQ(RedFaces(store, 1), (std::vector<bool>{false, false, true, true, true}));
}

TEST(WireframeArrays, FacesWithCornersThatAreNotNumbersAreLeftOut) {
    std::vector<DrawFace> store = Faces({{0, 1}, {0, 1}, {0, 1}});
    store[0].Corners[2].Y = std::nanf("");
    store[2].Corners[3].Z = -INFINITY;
    EXPECT_EQ(DrawnFaces(store, 0), (std::vector<uint32_t>{1}));
}

TEST(EdgeList, ASharedEdgeIsDrawnOnceByTheLastFaceShownThatHasIt) {
    DrawFace square, apart, sharing, triangle;
    square.Corners = {Vec3{0, 0, 0}, Vec3{1, 0, 0}, Vec3{1, 1, 0}, Vec3{0, 1, 0}};
    apart.Corners = {Vec3{5, 0, 0}, Vec3{6, 0, 0}, Vec3{6, 1, 0}, Vec3{5, 1, 0}};
    // Side 1-0 of the square the other way round, at level 2.
    sharing.Corners = {Vec3{1, 1, 0}, Vec3{1, 0, 0}, Vec3{2, 0, 0}, Vec3{2, 1, 0}};
    sharing.Lod = 2;
    // The square's side 3-0 again (-0 is 0), and a fourth side of no length.
    triangle.Corners = {Vec3{-0.0f, 1, 0}, Vec3{0, 0, -0.0f}, Vec3{-1, 0, 0}, Vec3{-1, 0, 0}};
    for (DrawFace* face : {&square, &apart, &triangle})
        face->Lod = 1;
    const std::vector<DrawFace> store{square, apart, sharing, triangle};
    std::vector<uint32_t> corners;
    FillEdgeList(store, FaceSelection{0, {}}, corners);
    EXPECT_EQ(corners, (std::vector<uint32_t>{0, 1, 2,  3,  4,  5,  5, 6,  6,  7,  7,  4,  8,
                                              9, 9, 10, 10, 11, 11, 8, 12, 13, 13, 14, 15, 12}));
    // Without the face at level 2 the square draws the side it shared with it.
    FillEdgeList(store, FaceSelection{1, {}}, corners);
    EXPECT_EQ(corners, (std::vector<uint32_t>{0, 1, 1, 2, 2,  3,  4,  5,  5,  6,
                                              6, 7, 7, 4, 12, 13, 13, 14, 15, 12}));
}

TEST(CoarseLevels, TheFinestLevelWithinTheBudgetElseTheFewestFacesAndNoneThatSavesNothing) {
    // Mesh 0: 100 faces at level 1, 20 at 2, 5 at 3; mesh 1: 50 at level 1; mesh 2: 10 at 2.
    std::vector<DrawFace> store;
    for (const auto& [mesh, lod, count] : std::vector<std::array<int, 3>>{
             {0, 1, 100}, {0, 2, 20}, {0, 3, 5}, {1, 1, 50}, {2, 2, 10}}) {
        DrawFace face;
        face.Mesh = int16_t(mesh);
        face.Lod = uint8_t(lod);
        store.insert(store.end(), size_t(count), face);
    }
    store[0].Corners[0].X = NAN;  // never drawn: not counted
    CoarseLevels levels;
    levels.Count(store);
    // Level 1 shown: 149 faces. A full frame of 149 ms is a millisecond a face.
    auto choice = levels.Choose(1, 149, 80);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Faces, 70);  // mesh 0 at level 2, mesh 1 at 1, mesh 2 not at level 1
    EXPECT_EQ(choice->LevelOfMesh[0], 2);
    EXPECT_EQ(choice->LevelOfMesh[1], 1);
    EXPECT_EQ(choice->LevelOfMesh[2], 0);
    choice = levels.Choose(1, 149, 10);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Faces, 55);  // nothing within 10 ms: the fewest faces
    EXPECT_EQ(choice->LevelOfMesh[0], 3);
    // Every level shown (184 faces): each mesh at one level, mesh 2 at its finest.
    choice = levels.Choose(0, 184, 160);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Faces, 159);
    EXPECT_EQ(choice->LevelOfMesh[2], 2);
    // Mesh 1 alone has one level: no coarser frame.
    std::vector<DrawFace> oneLevel(store.begin() + 125, store.begin() + 175);
    levels.Count(oneLevel);
    EXPECT_FALSE(levels.Choose(1, 500, 30));
}

TEST(WireframeUploads, ArraysAreFilledAgainOnlyWhenTheirSourceChanges) {
    using Refill = WireframeUploads::Refill;
    WireframeUploads uploads;
    const int model = 0;
    const int other = 0;
    EXPECT_EQ(uploads.Plan(&model, 1, 20, 0, 1), (Refill{true, true, true}));
    EXPECT_EQ(uploads.Plan(&model, 1, 20, 0, 1), Refill{});  // turning, zooming: nothing
    EXPECT_EQ(uploads.Plan(&model, 1, 20, 1, 1), (Refill{false, true, false}));
    EXPECT_EQ(uploads.Plan(&model, 1, 20, 1, 0), (Refill{false, false, true}));
    // The same model filled again by a load, another model, or a lost context: everything.
    EXPECT_EQ(uploads.Plan(&model, 2, 20, 1, 0), (Refill{true, true, true}));
    EXPECT_EQ(uploads.Plan(&other, 2, 20, 1, 0), (Refill{true, true, true}));
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0), (Refill{true, true, true}));
    // A coarse frame fills its own edges, for each new choice, and leaves the full frame's.
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0, 5), (Refill{false, false, false, true}));
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0, 5), Refill{});
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0), Refill{});
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0, 6), (Refill{false, false, false, true}));
    uploads.Forget();
    EXPECT_EQ(uploads.Plan(&other, 2, 21, 1, 0), (Refill{true, true, true}));
}

}  // namespace
}  // namespace vexlor::view
