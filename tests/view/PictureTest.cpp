// Frames read back from the view: the current mesh in red and the others in cyan, the level of
// detail, the markers, drawing order, the camera, the window itself, and models the plain rules
// could not frame.
#include <limits>

#include "ViewTestSupport.h"
#include "view/ViewStepKeys.h"

namespace vexlor::view::testing {
namespace {

using Picture = ShownView;

TEST_F(Picture, MeshZeroIsRedAfterAnOpenAndTheChosenBlocksMeshAfterwards) {
    TwoMeshModel model;
    Load(model.bytes);
    QImage frame = form.GrabFrame();
    ASSERT_EQ(frame.size(), QSize(457, 417));
    // Each square exactly where its edges are, in its colour; nothing else but black.
    const QRect left(ColumnOf(-300), RowOf(100), ColumnOf(-100) - ColumnOf(-300) + 1,
                     RowOf(-100) - RowOf(100) + 1);
    const QRect right(ColumnOf(100), RowOf(100), ColumnOf(300) - ColumnOf(100) + 1,
                      RowOf(-100) - RowOf(100) + 1);
    const int slack = 2;
    EXPECT_TRUE(left.adjusted(-slack, -slack, slack, slack).contains(PixelsOf(frame, Hue::Red)));
    EXPECT_TRUE(PixelsOf(frame, Hue::Red).adjusted(-slack, -slack, slack, slack).contains(left));
    EXPECT_TRUE(right.adjusted(-slack, -slack, slack, slack).contains(PixelsOf(frame, Hue::Cyan)));
    EXPECT_TRUE(PixelsOf(frame, Hue::Cyan).adjusted(-slack, -slack, slack, slack).contains(right));
    EXPECT_TRUE(PixelsOf(frame, Hue::Other).isEmpty());
    // Outlines, not filled: the middle of a square is black.
    EXPECT_EQ(HueOf(frame.pixel(left.center())), Hue::Black);

    // Choosing a block of mesh 1 (its face block) paints it red and mesh 0 cyan.
    const auto& table = document.Model().BlockTable;
    int32_t node = 0;
    for (size_t k = 0; k < table.size(); ++k)
        if (table[k].Type == 1 && table[k].Mesh == 1) node = static_cast<int32_t>(k);
    ASSERT_TRUE(Choose(node));
    form.Redraw();
    frame = form.GrabFrame();
    EXPECT_TRUE(right.adjusted(-slack, -slack, slack, slack).contains(PixelsOf(frame, Hue::Red)));
    EXPECT_TRUE(left.adjusted(-slack, -slack, slack, slack).contains(PixelsOf(frame, Hue::Cyan)));
    EXPECT_FALSE(PixelsOf(frame, Hue::Red).isEmpty());
    EXPECT_FALSE(PixelsOf(frame, Hue::Cyan).isEmpty());
}

TEST_F(Picture, CaptionGivesTheModelSizeAndTheExtentReachesTheStore) {
    EXPECT_EQ(form.windowTitle(), "GLform");
    TwoMeshModel model;
    Load(model.bytes);
    EXPECT_EQ(form.windowTitle(), "Model size = approx. 19.5122 metres (BoP/XWA)");
    EXPECT_EQ(view.ExtentMax, 400);
    EXPECT_EQ(view.ExtentMin, -400);
    EXPECT_EQ(view.ExtentMax, 400);
    EXPECT_EQ(view.ExtentMin, -400);
    EXPECT_EQ(view.ViewportWidth, 457);
    EXPECT_EQ(view.ViewportHeight, 417);
}

TEST_F(Picture, LevelTwoHidesTheFacesOfLevelOne) {
    OptBuilder b(0x100);
    const int64_t level1 = AddSquareMesh(b, Square(-300, -100, -100, 100));
    const int64_t level2 = AddSquareMesh(b, Square(100, -100, 300, 100));
    b.SetMeshes({b.AddJump(0, {b.AddLod({level1, level2}, {1000, 0})})});
    Load(b.Build());
    ASSERT_EQ(form.Selection().ShowLod, 1);
    QImage frame = form.GrabFrame();
    EXPECT_LT(PixelsOf(frame, Hue::Red).right(), ColumnOf(0));
    EXPECT_TRUE(PixelsOf(frame, Hue::Cyan).isEmpty());

    form.Selection().ShowLod = 2;
    form.Redraw();
    frame = form.GrabFrame();
    EXPECT_GT(PixelsOf(frame, Hue::Red).left(), ColumnOf(0));

    form.Selection().ShowLod = 0;
    form.Redraw();
    frame = form.GrabFrame();
    EXPECT_LT(PixelsOf(frame, Hue::Red).left(), ColumnOf(0));
    EXPECT_GT(PixelsOf(frame, Hue::Red).right(), ColumnOf(0));
    // The view box covers every level whatever is shown.
    EXPECT_EQ(view.ExtentMax, 400);
}

TEST_F(Picture, HardpointShowsItsPointAndBoxInTheirColours) {
    TwoMeshModel model;
    Load(model.bytes);
    const auto isPoint = [](QRgb c) { return Near(c, 51, 153, 255); };  // type 5
    const auto isBox = [](QRgb c) { return Near(c, 128, 0, 230); };
    EXPECT_TRUE(PixelsWhere(form.GrabFrame(), isPoint).isEmpty());

    ASSERT_TRUE(Choose(NodeOfType(22)));
    form.Redraw();
    const QImage frame = form.GrabFrame();
    const QPoint centre(ColumnOf(0), RowOf(0));
    const QRect point = PixelsWhere(frame, isPoint);
    EXPECT_TRUE(point.contains(centre)) << point.x() << "," << point.y();
    EXPECT_LE(point.width(), 6);
    // The box is 800 / 75 units wide: about 6 pixels.
    const QRect box = PixelsWhere(frame, isBox);
    EXPECT_TRUE(box.contains(point));
    EXPECT_GE(box.width(), 6);
    EXPECT_LE(box.width(), 10);

    // Any other block afterwards, or the next load, takes the markers away.
    Load(model.bytes);
    EXPECT_TRUE(PixelsWhere(form.GrabFrame(), isPoint).isEmpty());
    EXPECT_TRUE(PixelsWhere(form.GrabFrame(), isBox).isEmpty());
}

TEST_F(Picture, LaterFacesLieOverEarlierOnes) {
    // Both meshes are the same square: the shared edges show the later mesh's colour.
    OptBuilder b(0);
    const std::vector<V3> square = Square(-300, -300, 300, 300);
    b.SetMeshes({AddSquareMesh(b, square), AddSquareMesh(b, square)});
    Load(b.Build());
    QImage frame = form.GrabFrame();
    EXPECT_FALSE(PixelsOf(frame, Hue::Cyan).isEmpty());
    EXPECT_TRUE(PixelsOf(frame, Hue::Red).isEmpty());

    form.Selection().CurrentMesh = 1;
    form.Redraw();
    frame = form.GrabFrame();
    EXPECT_FALSE(PixelsOf(frame, Hue::Red).isEmpty());
    EXPECT_TRUE(PixelsOf(frame, Hue::Cyan).isEmpty());
}

TEST_F(Picture, KeysTurnZoomAndPanTheModel) {
    TwoMeshModel model;
    Load(model.bytes);
    const int64_t frames = form.FramesDrawn();
    const int leftEdge = PixelsOf(form.GrabFrame(), Hue::Red).left();

    // Shift+Left: 400 div 15 = 26 units to the right.
    QTest::keyClick(&form, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view.PanX, 26);
    EXPECT_EQ(form.FramesDrawn(), frames + 1);
    EXPECT_NEAR(PixelsOf(form.GrabFrame(), Hue::Red).left(), leftEdge + 26 * 457 / 800, 1);

    // Page Up turns half round in 18 presses: mesh 0 comes out on the right.
    for (int i = 0; i < 18; ++i)
        QTest::keyClick(&form, Qt::Key_PageUp);
    EXPECT_EQ(view.AngleZ, 180);
    EXPECT_EQ(form.FramesDrawn(), frames + 19);
    EXPECT_GT(PixelsOf(form.GrabFrame(), Hue::Red).left(), ColumnOf(0));

    // Ctrl+"=" zooms in: the model grows about the origin.
    const QRect before = PixelsOf(form.GrabFrame(), Hue::Red);
    QTest::keyClick(&form, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(view.Scale, static_cast<double>(1.1L));
    EXPECT_GT(PixelsOf(form.GrabFrame(), Hue::Red).width(), before.width());

    // Keys outside the table, and Shift with Page Up, draw nothing.
    const int64_t handled = form.FramesDrawn();
    QTest::keyClick(&form, Qt::Key_Plus, Qt::KeypadModifier);
    QTest::keyClick(&form, Qt::Key_Minus, Qt::KeypadModifier);
    QTest::keyClick(&form, Qt::Key_PageUp, Qt::ShiftModifier);
    QTest::keyClick(&form, Qt::Key_A);
    EXPECT_EQ(form.FramesDrawn(), handled);
    EXPECT_EQ(view.Scale, static_cast<double>(1.1L));
    EXPECT_EQ(view.AngleZ, 180);
}

TEST_F(Picture, KeysBeforeTheFirstLoadChangeTheViewButDrawNothing) {
    form.KeyDown(Qt::Key_Up, Qt::NoModifier);
    EXPECT_EQ(view.AngleX, 10);
    EXPECT_EQ(form.FramesDrawn(), 0);
    EXPECT_TRUE(
        PixelsWhere(form.GrabFrame(), [](QRgb c) { return HueOf(c) != Hue::Black; }).isEmpty());
}

TEST_F(Picture, ThePanelStartsAtTheDesignedSizeAndFollowsItsHolder) {
    // A dock or a floating window holds the view: it is no longer a window of its own, kept on top.
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.Panel()->objectName(), "viewPanel");
    EXPECT_EQ(form.Panel()->geometry(), QRect(0, 0, 457, 417));
    form.resize(700, 600);
    QTest::qWait(50);
    EXPECT_EQ(form.Panel()->size(), QSize(700, 600));
}

TEST_F(Picture, ModelsWithoutAProperExtentStillGetAViewAndACaption) {
    // No faces at all, but a hardpoint.
    {
        OptBuilder b(0);
        b.SetMeshes({b.AddJump(0, {b.AddHardpoint(5, {0, 0, 0})})});
        Load(b.Build());
        EXPECT_EQ(form.windowTitle(), "Model size = approx. 0 metres (BoP/XWA)");
        ASSERT_TRUE(Choose(NodeOfType(22)));
        form.Redraw();
        EXPECT_FALSE(
            PixelsWhere(form.GrabFrame(), [](QRgb c) { return Near(c, 51, 153, 255); }).isEmpty());
    }
    // Every coordinate the same: the model is one point, its hardpoint shown in the middle.
    {
        OptBuilder b(0);
        const int64_t hardpoint = b.AddHardpoint(5, {0, 0, 0});
        b.SetMeshes({AddSquareMesh(b, Square(0, 0, 0, 0), {hardpoint})});
        Load(b.Build());
        EXPECT_EQ(form.windowTitle(), "Model size = approx. 0 metres (BoP/XWA)");
        ASSERT_TRUE(Choose(NodeOfType(22)));
        form.Redraw();
        const QRect point =
            PixelsWhere(form.GrabFrame(), [](QRgb c) { return Near(c, 51, 153, 255); });
        EXPECT_TRUE(point.contains(QPoint(228, 208))) << point.x() << "," << point.y();
    }
    // Far off the origin: 1000 ... 3000 on every axis.
    {
        OptBuilder b(0);
        b.SetMeshes({b.AddJump(
            0,
            {b.AddVertices(
                 {{1000, 1000, 1000}, {3000, 1000, 3000}, {3000, 3000, 3000}, {1000, 3000, 1000}}),
             b.AddFaces({QuadFace()})})});
        Load(b.Build());
        EXPECT_FALSE(PixelsOf(form.GrabFrame(), Hue::Red).isEmpty());
    }
    // Infinite and NaN coordinates beside an ordinary face; extents past 32 bits.
    {
        OptBuilder b(0);
        const float inf = std::numeric_limits<float>::infinity();
        const int64_t good = AddSquareMesh(b, Square(-1e9f, -1e9f, 1e9f, 1e9f));
        const int64_t bad =
            AddSquareMesh(b, {{inf, 0, 0}, {0, std::nanf(""), 0}, {1, 1, 1}, {-inf, 0, 0}});
        b.SetMeshes({good, bad});
        Load(b.Build());
        EXPECT_EQ(view.ExtentMax, std::numeric_limits<int32_t>::max());
        EXPECT_EQ(view.ExtentMin, std::numeric_limits<int32_t>::min());
        EXPECT_EQ(form.windowTitle(), "Model size = approx. 1.04755E8 metres (BoP/XWA)");
        EXPECT_FALSE(PixelsOf(form.GrabFrame(), Hue::Red).isEmpty());
    }
}

}  // namespace
}  // namespace vexlor::view::testing
