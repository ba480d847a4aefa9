// What the screen shows of the view: the last frame, also after the window was covered or
// hidden. These tests read the screen, so no other window may move over the view meanwhile:
// they run alone.
#include <QScreen>

#include "ViewTestSupport.h"

namespace vexlor::view::testing {
namespace {

class Screen : public ShownView {
  protected:
    QImage OnScreen() {
        const QPoint at = form.Panel()->mapToGlobal(QPoint(0, 0));
        return form.screen()
            ->grabWindow(0, at.x(), at.y(), 457, 417)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(Screen, UncoveringTheWindowShowsTheLastFrame) {
    TwoMeshModel model;
    Load(model.bytes);
    // Frames reach the screen when the window system gets round to it: wait for what must show.
    const QImage shown = form.GrabFrame();
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
    // A repaint of the panel copies the last frame again rather than drawing a new one.
    form.Panel()->update();
    QTest::qWait(100);
    EXPECT_EQ(OnScreen(), shown);
    EXPECT_EQ(form.Panel()->grabFramebuffer().convertToFormat(QImage::Format_RGB32), shown);
    // The next frame asked for shows the turn.
    form.Redraw();
    const QImage next = form.GrabFrame();
    EXPECT_NE(next, shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == next; }, 5000));
}

TEST_F(Screen, FramesDrawnWhileTheWindowIsHiddenShowWhenItComesBack) {
    TwoMeshModel model;
    Load(model.bytes);
    form.hide();
    QTest::qWait(50);
    view.AngleZ = 90;
    form.Redraw();
    const QImage turned = form.GrabFrame();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return OnScreen() == turned; }, 5000));
}

}  // namespace
}  // namespace vexlor::view::testing
