// Picking faces: the face under a window point of a built model at known places, the nearest of
// overlapping faces (the later of equally near ones), nothing on empty space or outside the
// frame, only faces of the shown level and with finite corners; the index gives the answers of a
// scan of every face, and the face it finds is the one the shaded picture shows there.
#include <random>

#include "ViewTestSupport.h"
#include "samples/SampleModels.h"
#include "view/FacePicker.h"
#include "view/OffscreenPicture.h"

namespace vexlor::view::testing {
namespace {

// Faces of a model opened as the program opens it.
class Picking : public ::testing::Test {
  protected:
    void Load(const std::vector<uint8_t>& bytes) {
        document.OpenBytes(bytes, "model.opt");
        faces = std::span<const DrawFace>(document.Model().DrawFaces);
        const ModelExtent extent = ComputeModelExtent(faces);
        box = ProjectionBox(extent.Max, extent.Min);
    }
    FrameTransform Frame(const Camera& camera, int width = 457, int height = 417) const {
        return {box, camera, width, height};
    }
    int64_t PickAt(const FrameTransform& frame, float x, float y, float z = 0,
                   int32_t showLod = 0) {
        if (!picker.BuiltFor(faces, showLod)) picker.Build(faces, showLod);
        const Vec3d w = frame.ModelToWindow({x, y, z});
        return picker.Pick(faces, frame, w.X, w.Y).Face;
    }
    OptDocument document;
    std::span<const DrawFace> faces;
    ViewBox box;
    FacePicker picker;
};

TEST_F(Picking, FacesAtKnownPlacesAndNothingOnEmptySpace) {
    TwoMeshModel model;
    Load(model.bytes);
    const FrameTransform frame = Frame({});
    EXPECT_EQ(PickAt(frame, -200, 0), 0);
    EXPECT_EQ(PickAt(frame, -299, 99), 0);
    EXPECT_EQ(PickAt(frame, 250, -50), 1);
    EXPECT_EQ(PickAt(frame, 0, 0), -1);
    EXPECT_EQ(PickAt(frame, -200, 150), -1);
    // Turned, zoomed and panned: the same model points.
    const FrameTransform turned = Frame({-40, 15, 70, 1.7, 30, -20});
    EXPECT_EQ(PickAt(turned, -150, -80), 0);
    EXPECT_EQ(PickAt(turned, 120, 90), 1);
    EXPECT_EQ(PickAt(turned, 0, 0), -1);
    // Outside the frame, and frames that cannot be mapped, pick nothing.
    EXPECT_EQ(picker.Pick(faces, frame, -1, 100).Face, -1);
    EXPECT_EQ(picker.Pick(faces, frame, 100, 418).Face, -1);
    for (const FrameTransform& bad :
         {Frame({}, 0, 417), Frame({0, 0, 0, 0.0, 0, 0}), Frame({0, 0, 0, std::nan(""), 0, 0}),
          Frame({std::nanf(""), 0, 0, 1, 0, 0})}) {
        EXPECT_EQ(picker.Pick(faces, bad, 100, 208).Face, -1);
    }
}

TEST_F(Picking, TheNearestOfOverlappingFacesWinsAndTheLaterOfEquallyNearOnes) {
    OptBuilder b(0);
    b.SetMeshes({AddSquareMesh(b, SquareAt(-250, -250, 100, 100, 0)),
                 AddSquareMesh(b, SquareAt(-100, -100, 250, 250, 100)),
                 AddSquareMesh(b, SquareAt(-250, -250, 100, 100, 0))});
    Load(b.Build());
    // From +z the square at z = 100 is nearer.
    EXPECT_EQ(PickAt(Frame({}), 0, 0), 1);
    // From below, the squares at z = 0, of which the later (face 2) lies over face 0.
    EXPECT_EQ(PickAt(Frame({180, 0, 0, 1, 0, 0}), 0, 0), 2);
    EXPECT_EQ(PickAt(Frame({}), -200, -200), 2);
    // Tilted, the line of sight crosses both at other places: still the nearer.
    EXPECT_EQ(PickAt(Frame({-30, 20, 0, 1, 0, 0}), 0, 0, 100), 1);
}

TEST_F(Picking, OnlyFacesOfTheShownLevelWithFiniteCornersArePicked) {
    OptBuilder b(0);
    const float inf = std::numeric_limits<float>::infinity();
    const int64_t level1 = AddSquareMesh(b, SquareAt(-300, -100, -100, 100, 0));
    const int64_t level2 = AddSquareMesh(b, SquareAt(-300, -100, -100, 100, 50));
    const int64_t bad =
        AddSquareMesh(b, {{100, -100, 0}, {inf, -100, 0}, {300, 100, 0}, {100, 100, 0}});
    b.SetMeshes({b.AddJump(0, {b.AddLod({level1, level2}, {1000, 0})}), bad});
    Load(b.Build());
    EXPECT_EQ(PickAt(Frame({}), -200, 0, 0, 1), 0);
    EXPECT_EQ(PickAt(Frame({}), -200, 0, 0, 2), 1);
    EXPECT_EQ(PickAt(Frame({}), -200, 0, 0, 0), 1);
    EXPECT_EQ(PickAt(Frame({}), 200, 0, 0, 0), -1);
}

TEST_F(Picking, TheIndexAnswersAsAScanOfEveryFace) {
    Load(vexlor::testing::BuildFighter());
    std::mt19937 random(12);
    std::uniform_real_distribution<float> angle(-180, 180);
    std::uniform_real_distribution<double> where(0, 1);
    for (const int32_t lod : {0, 1, 3}) {
        picker.Build(faces, lod);
        for (int view = 0; view < 6; ++view) {
            const FrameTransform frame = Frame(
                {angle(random), angle(random), angle(random), 1.5 + 1.5 * where(random), 0, 0});
            int hits = 0;
            for (int i = 0; i < 400; ++i) {
                const double x = where(random) * 457, y = where(random) * 417;
                const PickHit indexed = picker.Pick(faces, frame, x, y);
                EXPECT_EQ(indexed, PickByScan(faces, lod, frame, x, y)) << x << "," << y;
                hits += indexed.Face >= 0 ? 1 : 0;
            }
            EXPECT_GT(hits, 10);
        }
    }
}

TEST_F(Picking, ThePickedFaceIsTheOneTheShadedPictureShows) {
    Load(vexlor::testing::BuildFighter());
    PictureRequest request;
    request.Scene = {faces, 2, 1, nullptr, nullptr, {}, 0};
    request.Look.Shaded = true;
    request.Preset = PresetView::Iso;
    request.Fit = true;
    const Expected<Picture> picture = RenderPicture(request);
    ASSERT_TRUE(picture.Ok()) << picture.Message();
    const FrameTransform frame(picture->Box, picture->Drawn, 457, 417);
    picker.Build(faces, 1);
    int compared = 0, agreeing = 0;
    for (int y = 2; y < 417; y += 5) {
        for (int x = 2; x < 457; x += 5) {
            const int64_t face = picker.Pick(faces, frame, x + 0.5, y + 0.5).Face;
            const QRgb pixel = picture->Image.pixel(x, y);
            const bool black = pixel == qRgb(0, 0, 0);
            if (face < 0) {
                agreeing += black ? 1 : 0;
            } else {
                // Red for mesh 2, cyan (no red) for the others.
                const bool red = qRed(pixel) > 0 && qGreen(pixel) == 0;
                const bool cyan = qRed(pixel) == 0 && qGreen(pixel) > 0;
                agreeing += (faces[size_t(face)].Mesh == 2 ? red : cyan) ? 1 : 0;
            }
            ++compared;
        }
    }
    // Pixels on an edge may show the neighbour's line.
    EXPECT_GT(agreeing, compared * 97 / 100) << agreeing << " of " << compared;
}

}  // namespace
}  // namespace vexlor::view::testing
