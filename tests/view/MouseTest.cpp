// The mouse on the view's panel: a left drag orbits turntable-fashion, a middle or Shift+left
// drag pans with the model under the cursor, the wheel zooms towards the cursor, a click picks
// the face under it, a double-click centres the view on that face, the cursor's face is
// reported; and the mouse and the keys change the same view. A drag's frames never queue up
// behind slow ones, and a slow model is dragged at a coarser level of detail.
#include "ViewInputSupport.h"
#include "view/ViewMouse.h"
#include "view/ViewStepKeys.h"

namespace vexlor::view::testing {
namespace {

using Mouse = InputView;

const std::vector<V3> kLeftSquare = Square(-300, -100, -100, 100);
const std::vector<V3> kRightSquare = Square(100, -100, 300, 100);

TEST_F(Mouse, LeftDragTurnsAboutTheModelsZAxisAcrossAndTiltsUpAndDown) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    view.AngleX = -60;  // the model's z axis up the screen and towards the viewer
    form.Redraw();
    const double perPixel = 180.0 / 417;
    const QPoint from(228, 300);
    Drag(Qt::LeftButton, Qt::NoModifier, from, from + QPoint(40, 0));
    EXPECT_NEAR(view.AngleZ, 40 * perPixel, 1e-4);
    EXPECT_EQ(view.AngleX, -60);
    EXPECT_TRUE(SameBox(PixelsOf(form.GrabFrame(), Hue::Red), Projected(kLeftSquare)));
    EXPECT_TRUE(SameBox(PixelsOf(form.GrabFrame(), Hue::Cyan), Projected(kRightSquare)));
    Drag(Qt::LeftButton, Qt::NoModifier, from, from + QPoint(0, -30));
    EXPECT_NEAR(view.AngleX, -60 - 30 * perPixel, 1e-4);
    EXPECT_TRUE(SameBox(PixelsOf(form.GrabFrame(), Hue::Red), Projected(kLeftSquare)));

    // Seen from below, the same drag turns the other way, so the near side still follows.
    view.AngleX = 120;
    view.AngleZ = 0;
    Drag(Qt::LeftButton, Qt::NoModifier, from, from + QPoint(40, 0));
    EXPECT_NEAR(view.AngleZ, -40 * perPixel, 1e-4);
}

TEST_F(Mouse, TheNearSideOfTheModelFollowsAHorizontalDrag) {
    // A post standing up from the origin along z, seen from the front and a little above.
    OptBuilder b(0);
    b.SetMeshes({AddSquareMesh(b, {{0, -150, 0}, {0, -150, 300}, {0, -100, 300}, {0, -100, 0}})});
    LoadModel(b.Build());
    view.AngleX = -80;
    form.Redraw();
    const double before = At(0, -125, 150).x();
    Drag(Qt::LeftButton, Qt::NoModifier, QPoint(100, 100), QPoint(130, 100));
    EXPECT_GT(At(0, -125, 150).x(), before + 10);
}

TEST_F(Mouse, PanDragsMoveTheModelUnderTheCursor) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    const QRect start = PixelsOf(form.GrabFrame(), Hue::Red);
    Drag(Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 100), QPoint(130, 120));
    QRect moved = PixelsOf(form.GrabFrame(), Hue::Red);
    EXPECT_NEAR(moved.left() - start.left(), 30, 1);
    EXPECT_NEAR(moved.top() - start.top(), 20, 1);
    Drag(Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300), QPoint(250, 260), 7);
    moved = PixelsOf(form.GrabFrame(), Hue::Red);
    EXPECT_NEAR(moved.left() - start.left(), -20, 1);
    EXPECT_NEAR(moved.top() - start.top(), -20, 1);
    EXPECT_EQ(view.AngleX + view.AngleY + view.AngleZ, 0);  // no orbit
    EXPECT_TRUE(picked.empty());

    // Turned and tilted, a point of the model still stays under the cursor.
    view.AngleX = -45;
    view.AngleZ = 30;
    form.Redraw();
    const QPointF corner = At(-300, -100);
    Drag(Qt::MiddleButton, Qt::NoModifier, Pixel(corner), Pixel(corner) + QPoint(-40, 25), 5);
    const QPointF now = At(-300, -100);
    EXPECT_NEAR(now.x() - corner.x(), -40, 1.5);
    EXPECT_NEAR(now.y() - corner.y(), 25, 1.5);
}

TEST_F(Mouse, SeenEdgeOnThePanMovesOnlyAcrossAndStaysSmall) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    view.AngleX = -90;  // the model's xy plane edge on: up and down is the model's z
    form.Redraw();
    Drag(Qt::MiddleButton, Qt::NoModifier, QPoint(200, 200), QPoint(230, 120));
    EXPECT_NEAR(view.PanX, 30 * 800.0 / 457, 1);
    EXPECT_EQ(view.PanY, 0);
}

TEST_F(Mouse, TheWheelZoomsTowardsTheCursor) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    view.AngleX = -30;
    view.AngleZ = 20;
    form.Redraw();
    const QPointF corner = At(-300, 100);
    const QRect before = PixelsOf(form.GrabFrame(), Hue::Red);
    Wheel(corner, 120);
    EXPECT_DOUBLE_EQ(view.Scale, 1.1);
    EXPECT_NEAR(At(-300, 100).x(), corner.x(), 1.0);
    EXPECT_NEAR(At(-300, 100).y(), corner.y(), 1.0);
    const QRect after = PixelsOf(form.GrabFrame(), Hue::Red);
    EXPECT_NEAR(after.width(), before.width() * 1.1, 2);
    Wheel(corner, -240);
    EXPECT_NEAR(view.Scale, 1.1 / 1.21, 1e-12);
    EXPECT_NEAR(At(-300, 100).x(), corner.x(), 1.0);
    EXPECT_NEAR(At(-300, 100).y(), corner.y(), 1.0);
}

TEST_F(Mouse, AClickPicksTheFaceUnderItAndADragPicksNothing) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, Pixel(At(200, 0)));
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, Pixel(At(-150, 50)));
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, Pixel(At(0, 300)));
    EXPECT_EQ(picked, (std::vector<qint64>{1, 0, -1}));
    // A drag turns the model and picks nothing; with Ctrl it never turns and picks.
    picked.clear();
    Drag(Qt::LeftButton, Qt::NoModifier, Pixel(At(200, 0)), Pixel(At(200, 0)) + QPoint(20, 0));
    EXPECT_TRUE(picked.empty());
    EXPECT_NE(view.AngleZ, 0);
    const float turned = view.AngleZ;
    const QPoint onRight = Pixel(At(200, 0));
    Drag(Qt::LeftButton, Qt::ControlModifier, onRight, onRight + QPoint(1, 6));
    EXPECT_EQ(view.AngleZ, turned);
    ASSERT_EQ(picked.size(), 1u);
    EXPECT_EQ(picked[0], 1);
}

TEST_F(Mouse, ADoubleClickCentresTheViewOnTheFace) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    view.AngleX = -20;
    form.Redraw();
    QTest::mouseDClick(Panel(), Qt::LeftButton, Qt::NoModifier, Pixel(At(250, 50)));
    const QPointF centre = At(200, 0);
    EXPECT_NEAR(centre.x(), 457 / 2.0, 1.0);
    EXPECT_NEAR(centre.y(), 417 / 2.0, 1.0);
    const QRect cyan = PixelsOf(form.GrabFrame(), Hue::Cyan);
    EXPECT_NEAR(cyan.center().x(), 228, 2);
    EXPECT_NEAR(cyan.center().y(), 208, 2);
    // On empty space nothing moves.
    const int32_t panX = view.PanX;
    QTest::mouseDClick(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(view.PanX, panX);
}

TEST_F(Mouse, MovingTheCursorReportsTheFaceUnderIt) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    Move(Pixel(At(-200, 0)));
    Move(Pixel(At(-210, 10)));  // the same face: not reported again
    Move(Pixel(At(0, 0)));
    Move(Pixel(At(200, 0)));
    EXPECT_EQ(hovered, (std::vector<qint64>{0, -1, 1}));
    // Turned under a still cursor, the face is found again when asked.
    view.AngleZ = 180;
    form.Redraw();
    input.RefreshHover();
    EXPECT_EQ(hovered.back(), 0);
}

TEST_F(Mouse, KeysAndMouseChangeTheSameView) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    Drag(Qt::LeftButton, Qt::NoModifier, QPoint(200, 200), QPoint(200, 240));
    const float tilted = view.AngleX;
    QTest::keyClick(&form, Qt::Key_Up);
    EXPECT_EQ(view.AngleX, tilted + 10);
    Wheel(QPointF(228, 208), 120);
    QTest::keyClick(&form, Qt::Key_Equal);
    EXPECT_DOUBLE_EQ(view.Scale, static_cast<double>(1.1 * 1.1L));
    const int32_t panX = view.PanX;
    QTest::keyClick(&form, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view.PanX, panX + PanStep(400, view.Scale));
}

// Mesh 0 two squares side by side at level 1 and one square over both at level 2; mesh 1 one
// square at level 1.
std::vector<uint8_t> TwoLevelModel() {
    OptBuilder b(0);
    const auto level = [&](std::vector<V3> corners, int squares) {
        std::vector<FaceInput> faces;
        for (int i = 0; i < squares; ++i) {
            FaceInput face;
            face.Vertex = {4 * i, 4 * i + 1, 4 * i + 2, 4 * i + 3};
            faces.push_back(face);
        }
        return b.AddJump(0, {b.AddVertices(corners), b.AddFaces(faces)});
    };
    std::vector<V3> two = Square(-300, -100, -210, 100);
    for (const V3& corner : Square(-190, -100, -100, 100))
        two.push_back(corner);
    const int64_t lod =
        b.AddLod({level(two, 2), level(Square(-300, -100, -100, 100), 1)}, {1000.0f, 100.0f});
    b.SetMeshes({b.AddJump(0, {lod}), AddSquareMesh(b, kRightSquare)});
    return b.Build();
}

TEST_F(Mouse, ASlowModelIsDraggedAtACoarserLevelAndDrawnWhole) {
    LoadModel(TwoLevelModel());
    form.Panel()->SetCoarseAfter(0);  // every full frame counts as slow
    // The load's frame fills the arrays and is no measure; drawn on its own, so that the next
    // frame is a measured full one even when the load's frame was still pending.
    form.GrabFrame();
    form.Redraw();
    // Red near a model point: the level-2 square's edge runs where level 1 has its gap.
    const auto redNear = [&](float x, float y) {
        const QImage frame = form.GrabFrame();
        const QPoint at = Pixel(At(x, y));
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (HueOf(frame.pixel(at + QPoint(dx, dy))) == Hue::Red) return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(redNear(-200, 100));
    QTest::mousePress(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(228, 300));
    Move(QPoint(248, 300), Qt::LeftButton);
    EXPECT_TRUE(redNear(-200, 100));
    EXPECT_TRUE(form.Panel()->LastFrameCoarse());
    EXPECT_FALSE(PixelsOf(form.GrabFrame(), Hue::Cyan).isEmpty());  // mesh 1 has one level
    QTest::mouseRelease(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(248, 300));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Panel()->LastFrameCoarse(); }, 5000));
    EXPECT_FALSE(redNear(-200, 100));
    EXPECT_TRUE(redNear(-210, 0));
}

TEST_F(Mouse, MovesOfADragThatCameTogetherGiveOneFrame) {
    TwoMeshModel model;
    LoadModel(model.bytes);
    const int64_t before = form.FramesDrawn();
    QTest::mousePress(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    // Waiting together, as the window system delivers moves that came during a slow frame.
    for (int i = 1; i <= 30; ++i) {
        const QPointF to(100 + 2 * i, 100);
        QApplication::postEvent(
            Panel(), new QMouseEvent(QEvent::MouseMove, to, Panel()->mapToGlobal(to), Qt::NoButton,
                                     Qt::LeftButton, Qt::NoModifier));
    }
    // The moves come in one go; a loaded machine may take a while over their frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.FramesDrawn() > before; }, 5000));
    QTest::qWait(100);
    EXPECT_NEAR(view.AngleZ, 60 * 180.0 / 417, 1e-4);
    EXPECT_LE(form.FramesDrawn() - before, 2);
    EXPECT_GE(form.FramesDrawn() - before, 1);
    QTest::mouseRelease(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 100));
}

TEST_F(Mouse, BeforeAnyModelTheMouseTurnsButPicksAndPansNothing) {
    Drag(Qt::LeftButton, Qt::NoModifier, QPoint(100, 100), QPoint(100, 140));
    EXPECT_NE(view.AngleX, 0);
    Drag(Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100), QPoint(140, 140));
    EXPECT_EQ(view.PanX, 0);
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(picked, (std::vector<qint64>{-1}));
    Wheel(QPointF(100, 100), 120);
    EXPECT_DOUBLE_EQ(view.Scale, 1.1);
    EXPECT_EQ(form.FramesDrawn(), 0);
}

}  // namespace
}  // namespace vexlor::view::testing
