// The rotation thread: started by a tick or a load, stopped by an untick or a load, never two in
// their loops, no key press lost while it turns, no hang when it is torn down mid-turn; frames
// paced to about 60 a second, and none while the view cannot be seen, in a window of its own or
// in a dock.
#include <xcb/xcb.h>

#include <QDockWidget>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMainWindow>
#include <cstring>
#include <memory>

#include "Deadline.h"
#include "ViewTestSupport.h"
#include "samples/SampleModels.h"
#include "view/RotationThread.h"
#include "view/ViewStepKeys.h"

namespace vexlor::view::testing {
namespace {

class Spinning : public ShownView {
  protected:
    Spinning() : spinner(std::make_unique<RotationThread>(view, form)) {}

    // The check box "model rotation" clicked.
    void Tick(bool ticked) {
        const bool wasClear = !view.RotationOn;
        view.RotationOn = ticked;
        if (wasClear && ticked) spinner->Start();
    }
    // Frames the view draws in `ms` milliseconds.
    int64_t FramesIn(int ms) {
        const int64_t from = form.FramesDrawn();
        QTest::qWait(ms);
        return form.FramesDrawn() - from;
    }
    // After `hide` nothing is drawn and the model stands still; after `show` it turns again.
    void StandsStillWhileUnseen(const std::function<void()>& hide,
                                const std::function<void()>& show) {
        hide();
        QTest::qWait(100);  // a frame asked for just before may still come
        const float angle = view.AngleZ;
        EXPECT_EQ(FramesIn(500), 0);
        EXPECT_EQ(view.AngleZ, angle);
        show();
        EXPECT_TRUE(TurnsFor(3));
    }

    // A whole load as the main window makes it.
    void LoadTurning(const std::vector<uint8_t>& bytes, bool ticked) {
        spinner->Stop();
        Load(bytes);
        view.RotationOn = ticked;
        if (ticked) spinner->Start();
    }
    bool TurnsFor(int frames) {
        const int64_t from = spinner->FramesTurned();
        return QTest::qWaitFor([&] { return spinner->FramesTurned() >= from + frames; }, 5000);
    }

    vexlor::testing::Deadline deadline{std::chrono::seconds(60)};  // a thread never stopped hangs
    TwoMeshModel model;
    std::unique_ptr<RotationThread> spinner;
};

uint32_t RootWindow() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 == nullptr ? 0
                          : xcb_setup_roots_iterator(xcb_get_setup(x11->connection())).data->root;
}

// Sets a 32-bit property of an X window, as a window manager sets the desktops.
void SetCardinal(uint32_t window, const char* name, uint32_t value) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_NE(x11, nullptr);
    xcb_connection_t* connection = x11->connection();
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    ASSERT_NE(atom, nullptr);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom->atom, XCB_ATOM_CARDINAL,
                        32, 1, &value);
    xcb_flush(connection);
    std::free(atom);
}

TEST_F(Spinning, TickingTurnsByTheStepEachFrameAndUntickingStopsAtOnce) {
    Load(model.bytes);
    Tick(true);
    EXPECT_TRUE(spinner->Running());
    ASSERT_TRUE(TurnsFor(5));
    Tick(false);
    const int64_t turned = spinner->FramesTurned();
    const int64_t drawn = form.FramesDrawn();
    EXPECT_EQ(view.AngleZ, 2.0f * static_cast<float>(turned));
    // A frame already asked for finds the flag clear and draws nothing.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !spinner->Running(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(spinner->FramesTurned(), turned);
    EXPECT_EQ(form.FramesDrawn(), drawn);
    EXPECT_EQ(view.AngleZ, 2.0f * static_cast<float>(turned));

    Tick(true);
    ASSERT_TRUE(TurnsFor(3));
    EXPECT_EQ(spinner->MostInLoop(), 1);
}

TEST_F(Spinning, TheTurnIsVisible) {
    Load(model.bytes);
    SetSpinStepFromSlider(view, 8000);  // 8 degrees a frame
    const QRect atRest = PixelsOf(form.GrabFrame(), Hue::Red);
    Tick(true);
    ASSERT_TRUE(TurnsFor(3));
    spinner->Stop();
    EXPECT_NE(PixelsOf(form.GrabFrame(), Hue::Red), atRest);
}

TEST_F(Spinning, TheTurningFighterDrawsAtMostAboutSixtyFramesASecondAndNoneWhileUnseen) {
    Load(vexlor::testing::BuildFighter());
    Tick(true);
    ASSERT_TRUE(TurnsFor(3));
    // Counted, not timed closely: a loaded machine draws fewer, never more.
    const int64_t inASecond = FramesIn(1000);
    EXPECT_GT(inASecond, 0);
    EXPECT_LE(inASecond, 75);

    StandsStillWhileUnseen([&] { form.hide(); }, [&] { form.show(); });
    StandsStillWhileUnseen([&] { form.showMinimized(); }, [&] { form.showNormal(); });
    QWidget cover(nullptr, Qt::Window);
    cover.setGeometry(form.geometry().adjusted(-10, -10, 10, 10));
    StandsStillWhileUnseen([&] { cover.show(); }, [&] { cover.hide(); });
    // On another desktop than the one shown, as window managers mark the desktops.
    SetCardinal(static_cast<uint32_t>(form.winId()), "_NET_WM_DESKTOP", 0);
    StandsStillWhileUnseen([] { SetCardinal(RootWindow(), "_NET_CURRENT_DESKTOP", 1); },
                           [] { SetCardinal(RootWindow(), "_NET_CURRENT_DESKTOP", 0); });
}

TEST_F(Spinning, AViewInADockTurnsDockedAndFloatingAndStopsWhileTheDockIsClosed) {
    QMainWindow main;
    auto* dock = new QDockWidget(QStringLiteral("3D view"));
    ViewState dockedView;
    auto* docked = new ViewWindow(dockedView);
    dock->setWidget(docked);
    main.setCentralWidget(new QWidget);
    main.addDockWidget(Qt::RightDockWidgetArea, dock);
    main.resize(1100, 600);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    document.OpenBytes(model.bytes, "model.opt");
    docked->SetModel(&document.Model());
    docked->SetupScene();
    RotationThread dockedSpinner(dockedView, *docked);
    dockedView.RotationOn = true;
    dockedSpinner.Start();
    const auto turns = [&] {
        const int64_t from = docked->FramesDrawn();
        return QTest::qWaitFor([&] { return docked->FramesDrawn() >= from + 3; }, 5000);
    };
    EXPECT_TRUE(turns());
    dock->close();
    QTest::qWait(100);
    const int64_t closed = docked->FramesDrawn();
    QTest::qWait(400);
    EXPECT_EQ(docked->FramesDrawn(), closed);
    dock->show();
    dock->setFloating(true);
    EXPECT_TRUE(turns());
    dock->setFloating(false);
    EXPECT_TRUE(turns());
    dockedSpinner.Stop();
}

TEST_F(Spinning, SliderSetsTheStep) {
    EXPECT_EQ(view.SpinStep, 2.0f);  // until the slider first moves
    SetSpinStepFromSlider(view, 1);
    EXPECT_EQ(view.SpinStep, 0.001f);
    SetSpinStepFromSlider(view, 8000);
    EXPECT_EQ(view.SpinStep, 8.0f);
    SetSpinStepFromSlider(view, 1000);
    EXPECT_EQ(view.SpinStep, 1.0f);
}

TEST_F(Spinning, KeyPressesWhileTurningAreNotLost) {
    Load(model.bytes);
    Tick(true);
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(&form, Qt::Key_PageUp);
        QTest::qWait(2);
    }
    spinner->Stop();
    EXPECT_FALSE(spinner->Running());
    EXPECT_EQ(view.AngleZ, 2.0f * static_cast<float>(spinner->FramesTurned()) + 20 * 10.0f);
}

TEST_F(Spinning, LoadsRestartItAndLoadsAndTicksNeverLeaveTwoThreads) {
    LoadTurning(model.bytes, true);
    ASSERT_TRUE(TurnsFor(2));
    LoadTurning(model.bytes, false);
    EXPECT_FALSE(spinner->Running());
    const int64_t stopped = spinner->FramesTurned();
    QTest::qWait(30);
    EXPECT_EQ(spinner->FramesTurned(), stopped);
    LoadTurning(model.bytes, true);
    ASSERT_TRUE(TurnsFor(2));

    // Unticking and ticking again before the thread has seen the flag, loads between frames.
    for (int round = 0; round < 40; ++round) {
        Tick(false);
        Tick(true);
        if (round % 3 == 0) LoadTurning(model.bytes, round % 2 == 0);
        if (round % 4 == 0) QTest::qWait(1);
        QCoreApplication::processEvents();
    }
    Tick(true);
    ASSERT_TRUE(TurnsFor(2));
    EXPECT_EQ(spinner->MostInLoop(), 1);
}

TEST_F(Spinning, WithNoModelLoadedTickingTurnsButDrawsNothing) {
    Tick(true);
    ASSERT_TRUE(TurnsFor(3));
    EXPECT_GT(view.AngleZ, 0);
    EXPECT_EQ(form.FramesDrawn(), 0);
}

TEST_F(Spinning, ClosingTheWindowWhileItTurnsEndsPromptly) {
    Load(model.bytes);
    Tick(true);
    ASSERT_TRUE(TurnsFor(3));
    QElapsedTimer clock;
    clock.start();
    form.close();
    spinner.reset();  // with a frame most likely still queued
    // Not a speed figure: far longer than any join takes, so only a hang fails it.
    EXPECT_LT(clock.elapsed(), 10000);
    QTest::qWait(20);  // a queued frame of the gone thread must not run
}

}  // namespace
}  // namespace vexlor::view::testing
