// What the screen shows of the view: the last frame, also after the window was covered or
// hidden, with the axis triad over its lower left corner. These tests read the screen, so no
// other window may move over the view meanwhile: they run alone.
#include <QPainter>
#include <QScreen>

#include "ViewTestSupport.h"
#include "view/AxisTriad.h"

namespace vexlor::view::testing {
namespace {

class Screen : public ShownView {
  protected:
    // The panel as the screen shows it, the triad's corner blacked out.
    QImage OnScreen() { return WithoutTriad(Grab()); }
    QImage Grab() {
        const QPoint at = form.Panel()->mapToGlobal(QPoint(0, 0));
        return form.screen()
            ->grabWindow(0, at.x(), at.y(), 457, 417)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    static QImage WithoutTriad(QImage image) {
        QPainter(&image).fillRect(TriadArea(image.size()), Qt::black);
        return image;
    }
    // The triad's pixels of one axis's colour on the screen.
    QRect TriadAxisOnScreen(int axis) {
        const QImage screen = Grab().copy(TriadArea(QSize(457, 417)).toAlignedRect());
        const QColor want = TriadColour(axis);
        return PixelsWhere(screen, [want](QRgb c) {
            return std::abs(qRed(c) - want.red()) < 24 && std::abs(qGreen(c) - want.green()) < 24 &&
                   std::abs(qBlue(c) - want.blue()) < 24;
        });
    }
};

TEST_F(Screen, UncoveringTheWindowShowsTheLastFrame) {
    TwoMeshModel model;
    Load(model.bytes);
    // Frames reach the screen when the window system gets round to it: wait for what must show.
    const QImage shown = WithoutTriad(form.GrabFrame());
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == shown; }, 5000));

    // The view changes without a frame being asked for, and a window covers the panel.
    view.AngleZ = 90;
    QWidget cover(nullptr, Qt::Window | Qt::WindowStaysOnTopHint);
    cover.setGeometry(form.geometry());
    cover.setStyleSheet(QStringLiteral("background: white"));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() != shown; }, 5000));
    cover.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == shown; }, 5000));
    // Hiding and showing the window, too.
    form.hide();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == shown; }, 5000));
    // A repaint of the panel shows the last frame again rather than drawing a new one.
    const int64_t drawn = form.FramesDrawn();
    form.Panel()->update();
    QTest::qWait(100);
    EXPECT_EQ(OnScreen(), shown);
    EXPECT_EQ(form.FramesDrawn(), drawn);
    // The next frame asked for shows the turn, and the triad turns with it: at rest the x axis
    // points right, turned a quarter about z it points up.
    const QRect xAtRest = TriadAxisOnScreen(0);
    EXPECT_GT(xAtRest.width(), 2 * xAtRest.height());
    form.Redraw();
    const QImage next = WithoutTriad(form.GrabFrame());
    EXPECT_NE(next, shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == next; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QRect x = TriadAxisOnScreen(0);
            return x.height() > 2 * x.width();
        },
        5000));
}

// Frames are drawn into the window's own buffers: the shaded mode's depth test there gives the
// pixels of the frame's picture, before and after a turn.
TEST_F(Screen, ShadedFramesShowAsTheirPictures) {
    TwoMeshModel model;
    Load(model.bytes);
    form.SetShaded(true);
    const QImage shaded = WithoutTriad(form.GrabFrame());
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == shaded; }, 5000));
    view.AngleX = 40;
    view.AngleZ = 30;
    form.Redraw();
    const QImage turned = WithoutTriad(form.GrabFrame());
    EXPECT_NE(turned, shaded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == turned; }, 5000));
}

TEST_F(Screen, FramesDrawnWhileTheWindowIsHiddenShowWhenItComesBack) {
    TwoMeshModel model;
    Load(model.bytes);
    form.hide();
    QTest::qWait(50);
    view.AngleZ = 90;
    form.Redraw();
    const QImage turned = WithoutTriad(form.GrabFrame());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == turned; }, 5000));
}

}  // namespace
}  // namespace vexlor::view::testing
