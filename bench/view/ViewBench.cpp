// The 3D view turning models: frames per second with the rotation thread and the event loop as
// in the program, the processor time the turning fighter costs (shown, covered by a window,
// hidden), how long other events wait while it turns, how long the view takes to settle after a
// drag of the large model is let go, and the single steps, each waited for until OpenGL has
// finished it (a frame, recolouring for another current mesh, the upload at a load). Needs a
// display: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

#include "GuiBenchMain.h"
#include "reader/OptDocument.h"
#include "samples/SampleModels.h"
#include "view/RotationThread.h"
#include "view/ViewState.h"
#include "view/ViewWindow.h"

namespace {

using vexlor::OptDocument;
using vexlor::view::RotationThread;
using vexlor::view::ViewState;
using vexlor::view::ViewWindow;

constexpr int kLargeFaces = 200'000;
constexpr int kLargeMeshes = 8;

enum Model { kFighter = 0, kLarge = 1, kLargeAllLevels = 2 };

const char* ModelName(int64_t model) {
    switch (model) {
        case kFighter:
            return "fighter";
        case kLarge:
            return "large_lod1";
        default:
            return "large_all_levels";
    }
}

void Pump(const std::function<bool()>& until) {
    QEventLoop loop;
    while (!until())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
}

// A shown view window with a model loaded as the main window loads one.
struct Scene {
    ViewState view;
    OptDocument document;
    ViewWindow form{view};

    explicit Scene(int64_t model) {
        if (model == kFighter) {
            const auto opened = document.Open(VEXLOR_SOURCE_DIR "/samples/fighter.opt");
            if (!opened.Ok()) document.OpenBytes(vexlor::testing::BuildFighter(), "fighter.opt");
        } else {
            document.OpenBytes(vexlor::testing::BuildLargeModel(kLargeFaces, kLargeMeshes),
                               "large.opt");
        }
        form.Selection().ShowLod = model == kLargeAllLevels ? 0 : 1;
        form.SetModel(&document.Model());
        form.show();
        Pump([this] { return form.Panel()->ContextReady(); });
        view.AngleX = -60;  // a view from above and aside, as after a few key presses
        form.SetupScene();
        form.Selection().CurrentMesh = 0;
        form.Redraw();
    }
    int64_t Faces() const { return static_cast<int64_t>(document.Model().DrawFaces.size()); }
};

// Waits until OpenGL has finished the frames asked for, so that their time is counted.
void FinishFrames(ViewWindow& form) {
    form.Panel()->FinishFrames();
}

void Counters(benchmark::State& state, const Scene& scene) {
    state.counters["faces"] = static_cast<double>(scene.Faces());
    state.SetLabel(ModelName(state.range(0)));
}

// Turning as in the program: the thread asks for frames back to back and the event loop runs
// them and puts them on the screen.
void BM_Turning(benchmark::State& state) {
    Scene scene(state.range(0));
    RotationThread spinner(scene.view, scene.form);
    scene.view.RotationOn = true;
    spinner.Start();
    Pump([&] { return spinner.FramesTurned() >= 3; });
    const int64_t firstFrame = spinner.FramesTurned();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const int64_t next = spinner.FramesTurned() + 1;
        Pump([&] { return spinner.FramesTurned() >= next; });
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    const auto frames = static_cast<double>(spinner.FramesTurned() - firstFrame);
    spinner.Stop();
    Counters(state, scene);
    state.counters["fps"] = frames / seconds;
}
BENCHMARK(BM_Turning)
    ->Arg(kFighter)
    ->Arg(kLarge)
    ->Arg(kLargeAllLevels)
    ->ArgName("model")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

double ProcessSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

enum Sight { kShown = 0, kCovered = 1, kHidden = 2 };

// The processor time of the whole process (the event loop, the rotation thread, the renderer's
// threads) while the fighter turns for a second per iteration, in cores.
void BM_TurningCost(benchmark::State& state) {
    Scene scene(kFighter);
    QWidget cover(nullptr, Qt::Window);
    const auto sight = state.range(0);
    if (sight == kCovered) {
        cover.setGeometry(scene.form.geometry().adjusted(-10, -10, 10, 10));
        cover.show();
    }
    if (sight == kHidden) scene.form.hide();
    RotationThread spinner(scene.view, scene.form);
    scene.view.RotationOn = true;
    spinner.Start();
    const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
    Pump([&] { return std::chrono::steady_clock::now() >= settle; });
    const double cpuFrom = ProcessSeconds();
    const int64_t framesFrom = scene.form.FramesDrawn();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const qint64 end = clock.elapsed() + 1000;
        Pump([&] { return clock.elapsed() >= end; });
    }
    const double seconds = double(clock.nsecsElapsed()) * 1e-9;
    state.counters["cores"] = (ProcessSeconds() - cpuFrom) / seconds;
    state.counters["fps"] = double(scene.form.FramesDrawn() - framesFrom) / seconds;
    spinner.Stop();
    state.SetLabel(sight == kShown ? "fighter shown" : sight == kCovered ? "covered" : "hidden");
}
BENCHMARK(BM_TurningCost)
    ->Arg(kShown)
    ->Arg(kCovered)
    ->Arg(kHidden)
    ->ArgName("sight")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// A middle (pan) drag of the large model (every level, wireframe or shaded), to and fro by a
// pixel so that every frame shows the whole model: a mouse moving at 125 events a second for a
// second, its events posted from another thread as the window system delivers them whatever the
// view is doing, then let go. Measured: from the release to the view
// settled (the release handled, the full frame drawn, nothing asked for), and the frames drawn
// meanwhile.
void BM_DragCatchUp(benchmark::State& state) {
    Scene scene(kLargeAllLevels);
    scene.form.SetShaded(state.range(0) == 1);
    scene.form.Redraw();
    QWidget* panel = scene.form.Panel();
    const auto post = [panel](QEvent::Type type, QPointF at, Qt::MouseButton button,
                              Qt::MouseButtons held) {
        QCoreApplication::postEvent(
            panel, new QMouseEvent(type, at, panel->mapToGlobal(at), button, held, Qt::NoModifier));
    };
    double longest = 0, total = 0;
    int64_t frames = 0, drags = 0;
    for (auto _ : state) {
        const int64_t framesBefore = scene.form.FramesDrawn();
        std::atomic<bool> released{false};
        QElapsedTimer sinceRelease;
        post(QEvent::MouseButtonPress, QPointF(100, 200), Qt::MiddleButton, Qt::MiddleButton);
        std::jthread mouse([&] {
            const auto start = std::chrono::steady_clock::now();
            for (int i = 1; i <= 125; ++i) {
                std::this_thread::sleep_until(start + std::chrono::milliseconds(8 * i));
                post(QEvent::MouseMove, QPointF(100 + i % 2, 200), Qt::NoButton, Qt::MiddleButton);
            }
            // Marked first: the release wakes the event loop that looks at the mark.
            sinceRelease.start();
            released = true;
            post(QEvent::MouseButtonRelease, QPointF(101, 200), Qt::MiddleButton, Qt::NoButton);
        });
        Pump([&] {
            return released && !scene.form.Input().Dragging() &&
                   !scene.form.Panel()->FrameWanted() && !scene.form.Panel()->LastFrameCoarse();
        });
        const double ms = double(sinceRelease.nsecsElapsed()) * 1e-6;
        longest = std::max(longest, ms);
        total += ms;
        frames += scene.form.FramesDrawn() - framesBefore;
        ++drags;
    }
    state.counters["catch_up_ms"] = total / double(drags);
    state.counters["longest_ms"] = longest;
    state.counters["frames_per_drag"] = double(frames) / double(drags);
    state.counters["full_frame_ms"] = scene.form.Panel()->LastFullFrameMs();
    state.SetLabel(state.range(0) == 1 ? "shaded" : "wireframe");
}
BENCHMARK(BM_DragCatchUp)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("shaded")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// How long a timer event, standing for input, waits while the model turns.
void BM_EventWaitWhileTurning(benchmark::State& state) {
    Scene scene(state.range(0));
    RotationThread spinner(scene.view, scene.form);
    scene.view.RotationOn = true;
    spinner.Start();
    double longest = 0;
    for (auto _ : state) {
        bool fired = false;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(0, [&] { fired = true; });
        Pump([&] { return fired; });
        longest = std::max(longest, static_cast<double>(clock.nsecsElapsed()) * 1e-6);
    }
    spinner.Stop();
    Counters(state, scene);
    state.counters["longest_ms"] = longest;
}
BENCHMARK(BM_EventWaitWhileTurning)
    ->Arg(kFighter)
    ->Arg(kLargeAllLevels)
    ->ArgName("model")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// One frame drawn and finished, without the event loop.
void BM_Frame(benchmark::State& state) {
    Scene scene(state.range(0));
    for (auto _ : state) {
        scene.view.AngleZ += 2;
        scene.form.Redraw();
        FinishFrames(scene.form);
    }
    Counters(state, scene);
}
BENCHMARK(BM_Frame)
    ->Arg(kFighter)
    ->Arg(kLarge)
    ->Arg(kLargeAllLevels)
    ->ArgName("model")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// A block of another mesh chosen: the colours refilled and the frame drawn.
void BM_FrameAfterChoosingAnotherMesh(benchmark::State& state) {
    Scene scene(state.range(0));
    for (auto _ : state) {
        scene.form.Selection().CurrentMesh = (scene.form.Selection().CurrentMesh + 1) % 2;
        scene.form.Redraw();
        FinishFrames(scene.form);
    }
    Counters(state, scene);
}
BENCHMARK(BM_FrameAfterChoosingAnotherMesh)
    ->Arg(kLargeAllLevels)
    ->ArgName("model")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The scene set-up after a load: extent, upload and the first frame.
void BM_SetupScene(benchmark::State& state) {
    Scene scene(state.range(0));
    for (auto _ : state) {
        scene.form.SetupScene();
        FinishFrames(scene.form);
    }
    Counters(state, scene);
}
BENCHMARK(BM_SetupScene)
    ->Arg(kLargeAllLevels)
    ->ArgName("model")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    return vexlor::bench::RunGuiBenchmarks(argc, argv, vexlor::bench::Display::Required);
}
