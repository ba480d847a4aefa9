// The 3D view turning models: frames per second with the rotation thread and the event loop as
// in the program, where the time of a frame goes (drawing it, Qt putting it on the screen, the
// rest), how long other events wait while it turns, and the single steps (a frame, recolouring
// for another current mesh, the upload at a load). Needs a display: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <string>

#include "GLformcode.h"
#include "OptDocument.h"
#include "SampleModels.h"
#include "SpinThread.h"
#include "ViewState.h"

namespace {

using vexlor::OptDocument;
using vexlor::view::Spinner;
using vexlor::view::TGLform;
using vexlor::view::ViewState;

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
    TGLform form{view};

    explicit Scene(int64_t model) {
        if (model == kFighter) {
            const auto opened = document.Open(VEXLOR_SOURCE_DIR "/samples/fighter.opt");
            if (!opened.ok) document.OpenBytes(vexlor::testing::BuildFighter(), "fighter.opt");
        } else {
            document.OpenBytes(vexlor::testing::BuildLargeModel(kLargeFaces, kLargeMeshes),
                               "large.opt");
        }
        if (model == kLargeAllLevels) document.Store().ShowLod = 0;
        form.SetModel(&document.Store());
        form.show();
        Pump([this] { return form.Panel()->isValid(); });
        view.AngleX = -60;  // a view from above and aside, as after a few key presses
        form.SetupScene();
        document.Store().CurrentMesh = 0;
        form.RedrawView();
    }
    int64_t Faces() const { return document.Store().DrawnFaceCount(); }
};

void Counters(benchmark::State& state, const Scene& scene) {
    state.counters["faces"] = static_cast<double>(scene.Faces());
    state.SetLabel(ModelName(state.range(0)));
}

// Turning as in the program: the thread asks for frames back to back and the event loop runs
// them and puts them on the screen. With range(1) set each frame waits for OpenGL to finish it,
// so that the drawing time is counted in the frame that caused it.
void BM_Turning(benchmark::State& state) {
    Scene scene(state.range(0));
    scene.form.Panel()->SetFinishFrames(state.range(1) != 0);
    Spinner spinner(scene.view, scene.form);
    scene.view.RotationOn = true;
    spinner.Start();
    Pump([&] { return spinner.FramesTurned() >= 3; });
    const auto before = scene.form.Panel()->Times();
    const int64_t firstFrame = spinner.FramesTurned();
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state) {
        const int64_t next = spinner.FramesTurned() + 1;
        Pump([&] { return spinner.FramesTurned() >= next; });
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    const auto after = scene.form.Panel()->Times();
    const auto frames = static_cast<double>(spinner.FramesTurned() - firstFrame);
    spinner.Stop();

    const double render = after.renderSeconds - before.renderSeconds;
    const double present = after.presentSeconds - before.presentSeconds;
    Counters(state, scene);
    state.counters["fps"] = frames / seconds;
    state.counters["draw_ms"] = 1e3 * render / frames;
    state.counters["screen_ms"] = 1e3 * present / frames;
    state.counters["shown_share"] = static_cast<double>(after.presents - before.presents) / frames;
    state.counters["outside_share"] = std::max(0.0, 1.0 - (render + present) / seconds);
}
BENCHMARK(BM_Turning)
    ->ArgsProduct({{kFighter, kLarge, kLargeAllLevels}, {0, 1}})
    ->ArgNames({"model", "finish"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// How long a timer event, standing for input, waits while the model turns.
void BM_EventWaitWhileTurning(benchmark::State& state) {
    Scene scene(state.range(0));
    Spinner spinner(scene.view, scene.form);
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
    scene.form.Panel()->SetFinishFrames(true);
    for (auto _ : state) {
        scene.view.AngleZ += 2;
        scene.form.NewTr();
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
    scene.form.Panel()->SetFinishFrames(true);
    for (auto _ : state) {
        scene.document.Store().CurrentMesh = (scene.document.Store().CurrentMesh + 1) % 2;
        scene.form.NewTr();
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
    scene.form.Panel()->SetFinishFrames(true);
    for (auto _ : state)
        scene.form.SetupScene();
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
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
