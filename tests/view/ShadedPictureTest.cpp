// Pictures drawn off the screen: the shaded mode fills faces in their mesh's colour, lit from
// the viewer, back faces darker and the nearer face in front; a picked face is highlighted; the
// picture can have any size OpenGL allows, a preset view, the model's proportions and the triad.
#include <QColor>

#include "ViewTestSupport.h"
#include "view/AxisTriad.h"
#include "view/OffscreenPicture.h"
#include "view/ShadedFaces.h"

namespace vexlor::view::testing {
namespace {

// Pictures need the application but no shown window; the document gives the faces.
class Pictures : public ::testing::Test {
  protected:
    void Load(const std::vector<uint8_t>& bytes) { document.OpenBytes(bytes, "model.opt"); }
    PictureRequest Request(bool shaded) const {
        PictureRequest request;
        request.Scene.Faces = std::span<const DrawFace>(document.Model().DrawFaces);
        request.Scene.ShowLod = 0;
        request.Look.Shaded = shaded;
        return request;
    }
    // The pixel of a model point in a picture.
    static QPoint PixelOf(const Expected<Picture>& picture, float x, float y, float z = 0) {
        const FrameTransform frame(picture->Box, picture->Drawn, picture->Image.width(),
                                   picture->Image.height());
        const Vec3d at = frame.ModelToWindow({x, y, z});
        return {static_cast<int>(at.X), static_cast<int>(at.Y)};
    }
    OptDocument document;
};

TEST_F(Pictures, ShadedModeFillsTheFacesInTheirMeshColoursAndWireframeModeDoesNot) {
    TwoMeshModel model;
    Load(model.bytes);
    const Expected<Picture> wire = RenderPicture(Request(false));
    const Expected<Picture> shaded = RenderPicture(Request(true));
    ASSERT_TRUE(wire.Ok()) << wire.Message();
    ASSERT_TRUE(shaded.Ok()) << shaded.Message();
    // The squares face the viewer squarely: full red for mesh 0, full cyan for mesh 1.
    EXPECT_EQ(HueOf(wire->Image.pixel(PixelOf(wire, -200, 0))), Hue::Black);
    EXPECT_EQ(HueOf(shaded->Image.pixel(PixelOf(shaded, -200, 0))), Hue::Red);
    EXPECT_EQ(HueOf(shaded->Image.pixel(PixelOf(shaded, 200, 0))), Hue::Cyan);
    EXPECT_EQ(HueOf(shaded->Image.pixel(PixelOf(shaded, 0, 0))), Hue::Black);
    // Filled, the whole square is red, not only its outline.
    const QRect red = PixelsOf(shaded->Image, Hue::Red);
    const QPoint corner = PixelOf(shaded, -300, 100);
    EXPECT_NEAR(red.left(), corner.x(), 2);
    EXPECT_NEAR(red.top(), corner.y(), 2);
    EXPECT_GT(red.width() * red.height() * 0.95,
              PixelsOf(wire->Image, Hue::Red).width() * 2);  // many more than an outline's
}

TEST_F(Pictures, BackFacesAreDarkerThanAnyFrontFace) {
    // Both squares in mesh 0; the right one's stored normal points away from the viewer.
    OptBuilder b(0);
    const int64_t facing = AddSquareMeshFacing(b, Square(-300, -100, -100, 100), {0, 0, 1});
    const int64_t reversed = AddSquareMeshFacing(b, Square(100, -100, 300, 100), {0, 0, -1});
    const int64_t tilted = AddSquareMeshFacing(b, Square(-100, 150, 100, 300), {0, 0.8f, 0.6f});
    b.SetMeshes({facing, reversed, tilted});
    Load(b.Build());
    PictureRequest request = Request(true);
    request.Scene.CurrentMesh = -1;  // all cyan
    Expected<Picture> picture = RenderPicture(request);
    ASSERT_TRUE(picture.Ok()) << picture.Message();
    const auto green = [&](float x, float y) {
        return qGreen(picture->Image.pixel(PixelOf(picture, x, y)));
    };
    EXPECT_EQ(green(-200, 0), 255);
    EXPECT_NEAR(green(0, 225), 255 * ShadeFactor(0.6), 2);
    EXPECT_NEAR(green(200, 0), 255 * ShadeFactor(-1), 2);
    EXPECT_LT(ShadeFactor(-1), ShadeFactor(0.001));
    EXPECT_GT(green(200, 0), 0);
    // The wireframe's edges over the dark face are in the full colour: its border is.
    const auto brightestNear = [&](float x, float y) {
        const QPoint at = PixelOf(picture, x, y);
        int most = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx)
                most = std::max(most, qGreen(picture->Image.pixel(at + QPoint(dx, dy))));
        }
        return most;
    };
    EXPECT_EQ(brightestNear(200, -100), 255);
    EXPECT_EQ(brightestNear(100, 0), 255);
    EXPECT_EQ(brightestNear(300, 50), 255);
    EXPECT_LT(brightestNear(200, 0), 128);

    // Seen from behind (turned half round about y) the reversed face is the lit one.
    request.View.AngleY = 180;
    picture = RenderPicture(request);
    EXPECT_NEAR(green(-200, 0), 255 * ShadeFactor(-1), 2);
    EXPECT_EQ(green(200, 0), 255);
}

TEST_F(Pictures, TheNearerFaceHidesTheFartherInShadedModeAndItsHiddenEdges) {
    // Mesh 0 (red) at z = 0, mesh 1 (cyan) at z = 100 over its upper right part.
    OptBuilder b(0);
    b.SetMeshes({AddSquareMesh(b, SquareAt(-250, -250, 100, 100, 0)),
                 AddSquareMesh(b, SquareAt(-100, -100, 250, 250, 100))});
    Load(b.Build());
    PictureRequest request = Request(true);
    Expected<Picture> picture = RenderPicture(request);
    ASSERT_TRUE(picture.Ok()) << picture.Message();
    // From +z the cyan square is nearer: the overlap and the red edge through it are cyan.
    EXPECT_EQ(HueOf(picture->Image.pixel(PixelOf(picture, 0, 0))), Hue::Cyan);
    EXPECT_EQ(HueOf(picture->Image.pixel(PixelOf(picture, 100, 0))), Hue::Cyan);
    EXPECT_EQ(HueOf(picture->Image.pixel(PixelOf(picture, -200, -200))), Hue::Red);
    // The wireframe has no depth: there the red edge crosses the cyan square.
    const Expected<Picture> wire = RenderPicture(Request(false));
    const QPoint edge = PixelOf(wire, 100, 0);
    bool redNearEdge = false;
    for (int dx = -1; dx <= 1; ++dx)
        redNearEdge |= HueOf(wire->Image.pixel(edge + QPoint(dx, 0))) == Hue::Red;
    EXPECT_TRUE(redNearEdge);

    // From below (turned half round about x) the red square is nearer; its normal (from its
    // winding) points away, so it is dark red.
    request.View.AngleX = 180;
    picture = RenderPicture(request);
    const QRgb overlap = picture->Image.pixel(PixelOf(picture, 0, 0));
    EXPECT_GT(qRed(overlap), 0);
    EXPECT_EQ(qGreen(overlap), 0);
    EXPECT_LT(qRed(overlap), 128);
}

TEST_F(Pictures, APickedFaceIsHighlightedInBothModes) {
    TwoMeshModel model;
    Load(model.bytes);
    for (const bool shaded : {false, true}) {
        PictureRequest request = Request(shaded);
        request.Look.HighlightFace = 1;
        const Expected<Picture> picture = RenderPicture(request);
        ASSERT_TRUE(picture.Ok()) << picture.Message();
        const auto isHighlight = [](QRgb c) {
            return c == qRgb(kHighlightRgb[0], kHighlightRgb[1], kHighlightRgb[2]);
        };
        EXPECT_TRUE(isHighlight(picture->Image.pixel(PixelOf(picture, 200, 0)))) << shaded;
        EXPECT_FALSE(isHighlight(picture->Image.pixel(PixelOf(picture, -200, 0)))) << shaded;
        const QRect lit = PixelsWhere(picture->Image, isHighlight);
        EXPECT_NEAR(lit.left(), PixelOf(picture, 100, 0).x(), 2);
        EXPECT_NEAR(lit.right(), PixelOf(picture, 300, 0).x(), 2);
    }
}

TEST_F(Pictures, SizesUpToTheLimitAndClearRefusalsBeyond) {
    TwoMeshModel model;
    Load(model.bytes);
    PictureRequest request = Request(false);
    request.Size = QSize(1, 1);
    EXPECT_TRUE(RenderPicture(request).Ok());
    request.Size = QSize(2400, 1800);
    const Expected<Picture> large = RenderPicture(request);
    ASSERT_TRUE(large.Ok()) << large.Message();
    EXPECT_EQ(large->Image.size(), QSize(2400, 1800));
    EXPECT_FALSE(PixelsOf(large->Image, Hue::Red).isEmpty());

    for (const QSize bad : {QSize(0, 10), QSize(10, -1)}) {
        request.Size = bad;
        const Expected<Picture> refused = RenderPicture(request);
        EXPECT_FALSE(refused.Ok());
        EXPECT_EQ(refused.Message(), "a picture needs a width and a height of at least one pixel");
    }
    const int largest = LargestPictureSide();
    ASSERT_GT(largest, 2400);
    request.Size = QSize(largest + 1, 16);
    const Expected<Picture> tooWide = RenderPicture(request);
    EXPECT_FALSE(tooWide.Ok());
    EXPECT_EQ(tooWide.Message(), "a picture can be at most " + std::to_string(largest) + " x " +
                                     std::to_string(largest) + " pixels here");
}

TEST_F(Pictures, PresetViewsFitAndKeepTheModelsProportions) {
    Load(BoxModel());
    const auto shape = [&](PresetView preset) {
        PictureRequest request = Request(true);
        request.Size = QSize(800, 400);
        request.Preset = preset;
        request.Fit = true;
        request.KeepProportions = true;
        const Expected<Picture> picture = RenderPicture(request);
        EXPECT_TRUE(picture.Ok()) << picture.Message();
        return PixelsWhere(picture->Image, [](QRgb c) { return HueOf(c) != Hue::Black; });
    };
    // From the top: 200 across, 600 up; fitted, it reaches nearly from top to bottom.
    const QRect top = shape(PresetView::Top);
    EXPECT_NEAR(double(top.height()) / top.width(), 3.0, 0.1);
    EXPECT_GE(top.top(), 400 * kFitMargin - 2);
    EXPECT_LE(top.top(), 400 * kFitMargin + 4);
    // From the right: the length across and the height up.
    const QRect right = shape(PresetView::Right);
    EXPECT_NEAR(double(right.width()) / right.height(), 6.0, 0.25);
    EXPECT_NEAR(right.left(), 800 / 2 - right.width() / 2, 2);
    // From the front: 200 across, 100 up.
    const QRect front = shape(PresetView::Front);
    EXPECT_NEAR(double(front.width()) / front.height(), 2.0, 0.1);
    // Iso: everything inside with the margin.
    const QRect iso = shape(PresetView::Iso);
    EXPECT_TRUE(QRect(0, 0, 800, 400).adjusted(19, 19, -19, -19).contains(iso));
}

TEST_F(Pictures, TheTriadShowsTheAxesInTheLowerLeftCorner) {
    TwoMeshModel model;
    Load(model.bytes);
    PictureRequest request = Request(false);
    request.Triad = true;
    request.Preset = PresetView::Front;  // x to the right, z up, y away
    const Expected<Picture> picture = RenderPicture(request);
    ASSERT_TRUE(picture.Ok()) << picture.Message();
    const QRectF area = TriadArea(picture->Image.size());
    const auto near = [](QColor want) {
        return [want](QRgb c) {
            return std::abs(qRed(c) - want.red()) < 24 && std::abs(qGreen(c) - want.green()) < 24 &&
                   std::abs(qBlue(c) - want.blue()) < 24;
        };
    };
    const QRect x = PixelsWhere(picture->Image, near(TriadColour(0)));
    const QRect z = PixelsWhere(picture->Image, near(TriadColour(2)));
    ASSERT_FALSE(x.isEmpty());
    ASSERT_FALSE(z.isEmpty());
    EXPECT_TRUE(area.contains(x) && area.contains(z));
    // x points right of the middle, z above it.
    EXPECT_GT(x.center().x(), area.center().x() + 4);
    EXPECT_LT(z.center().y(), area.center().y() - 4);
}

TEST_F(Pictures, ModelsWithoutFacesOrWithBadCoordinatesGiveAPicture) {
    OptBuilder b(0);
    b.SetMeshes({b.AddJump(0, {b.AddHardpoint(5, {0, 0, 0})})});
    Load(b.Build());
    for (const bool shaded : {false, true}) {
        PictureRequest request = Request(shaded);
        request.Fit = true;
        request.Preset = PresetView::Iso;
        const Expected<Picture> picture = RenderPicture(request);
        ASSERT_TRUE(picture.Ok()) << picture.Message();
        EXPECT_TRUE(
            PixelsWhere(picture->Image, [](QRgb c) { return HueOf(c) != Hue::Black; }).isEmpty());
    }
    OptBuilder bad(0);
    const float inf = std::numeric_limits<float>::infinity();
    bad.SetMeshes({AddSquareMesh(bad, Square(-100, -100, 100, 100)),
                   AddSquareMesh(bad, {{inf, 0, 0}, {0, std::nanf(""), 0}, {1, 1, 1}, {0, 0, 0}})});
    Load(bad.Build());
    PictureRequest request = Request(true);
    request.Fit = true;
    const Expected<Picture> picture = RenderPicture(request);
    ASSERT_TRUE(picture.Ok()) << picture.Message();
    EXPECT_FALSE(PixelsOf(picture->Image, Hue::Red).isEmpty());
}

}  // namespace
}  // namespace vexlor::view::testing
