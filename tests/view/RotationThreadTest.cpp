// The rotation thread: started by a tick or a load, stopped by an untick or a load, never two in
// their loops, no key press lost while it turns, and no hang when it is torn down mid-turn.
#include <QElapsedTimer>
#include <memory>

#include "Deadline.h"
#include "RotationThread.h"
#include "ViewKeys.h"
#include "ViewTestSupport.h"

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
