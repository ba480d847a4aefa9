// The view's added tools on the 200,000-face model under the software renderer: a frame in
// wireframe and in shaded mode drawn off the screen at the panel's size (frames per second) beside
// f3d's interactive frame of the same faces written as an OBJ file, a pick and the building of
// the pick index, a screenshot (open + one frame + PNG) beside f3d --output, f3d's catch-up after
// a drag (beside view_bench's BM_DragCatchUp); and the processor time of the whole program while
// samples/fighter.opt turns beside f3d showing the same model, all in the same run. Needs a
// display and xdotool: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_2_1>
#include <QOpenGLVersionFunctionsFactory>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>

#include "GuiBenchMain.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"
#include "view/FacePicker.h"
#include "view/FrameRenderer.h"
#include "view/OffscreenPicture.h"
#include "view/ViewFit.h"
#include "view/Wireframe.h"

namespace {

using namespace vexlor::view;
using vexlor::DrawFace;
using vexlor::OptDocument;

constexpr int kLargeFaces = 200'000;
constexpr int kLargeMeshes = 8;
constexpr QSize kPanel{457, 417};
constexpr QSize kScreenshot{1024, 768};

enum Level { kLevelOne = 1, kAllLevels = 0 };

// The faces read at `lod` (0: all) as an OBJ file for f3d: four (or three) corners per face,
// no sharing.
void WriteObj(const std::string& path, std::span<const DrawFace> faces, int32_t lod = 0) {
    std::ofstream out(path);
    int64_t next = 1;
    for (const DrawFace& face : faces) {
        if (lod != 0 && face.Lod != lod) continue;
        const int corners = face.IsQuad ? 4 : 3;
        for (int c = 0; c < corners; ++c) {
            const auto& p = face.Corners[size_t(c)];
            out << "v " << p.X << ' ' << p.Y << ' ' << p.Z << '\n';
        }
        out << 'f';
        for (int c = 0; c < corners; ++c)
            out << ' ' << next + c;
        out << '\n';
        next += corners;
    }
}

// The large model, opened once for the run.
struct LargeModel {
    QTemporaryDir folder;
    QString optPath, objPath, levelOneObjPath;
    OptDocument document;
    LargeModel() {
        const std::vector<uint8_t> bytes =
            vexlor::testing::BuildLargeModel(kLargeFaces, kLargeMeshes);
        optPath = folder.filePath("large.opt");
        vexlor::testing::WriteFile(optPath.toStdString(), bytes);
        document.OpenBytes(bytes, "large.opt");
        objPath = folder.filePath("large.obj");
        WriteObj(objPath.toStdString(), Faces());
        levelOneObjPath = folder.filePath("large-level-1.obj");
        WriteObj(levelOneObjPath.toStdString(), Faces(), kLevelOne);
    }
    std::span<const DrawFace> Faces() const {
        return std::span<const DrawFace>(document.Model().DrawFaces);
    }
};

LargeModel& Large() {
    static LargeModel model;
    return model;
}

// A context on an off-screen surface with a framebuffer of the panel's size.
struct OffscreenFrame {
    QOpenGLContext context;
    QOffscreenSurface surface;
    QOpenGLFunctions_2_1* gl = nullptr;
    std::unique_ptr<QOpenGLFramebufferObject> frame;
    OffscreenFrame() {
        context.create();
        surface.setFormat(context.format());
        surface.create();
        context.makeCurrent(&surface);
        gl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_2_1>(&context);
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::Depth);
        frame = std::make_unique<QOpenGLFramebufferObject>(kPanel, format);
        frame->bind();
    }
    ~OffscreenFrame() {
        frame.reset();
        context.doneCurrent();
    }
};

// The processor time of this process, all its threads (the renderer's included), in seconds.
double OwnProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// One frame after another as the rotation turns the model, each finished by OpenGL. Beside the
// frames a second, the processor time a frame takes over all threads, which other work on the
// machine disturbs less than the clock.
void BM_Frame(benchmark::State& state) {
    const bool shaded = state.range(0) == 1;
    const auto level = static_cast<int32_t>(state.range(1));
    LargeModel& model = Large();
    OffscreenFrame offscreen;
    FrameRenderer renderer;
    renderer.Create();
    const ModelExtent extent = ComputeModelExtent(model.Faces());
    const ViewBox box = ProjectionBox(extent.Max, extent.Min);
    Camera camera;
    camera.AngleX = -60;  // from above and aside, as the view's benchmark has it
    const FrameScene scene{model.Faces(), 0, level, nullptr, nullptr, {}, 0};
    FrameLook look;
    look.Shaded = shaded;
    renderer.Draw(*offscreen.gl, box, camera, kPanel.width(), kPanel.height(), scene, look);
    offscreen.gl->glFinish();  // the upload is not a frame
    QElapsedTimer clock;
    clock.start();
    const double processorFrom = OwnProcessorSeconds();
    int64_t frames = 0;
    for (auto _ : state) {
        camera.AngleZ += 2;
        renderer.Draw(*offscreen.gl, box, camera, kPanel.width(), kPanel.height(), scene, look);
        offscreen.gl->glFinish();
        ++frames;
    }
    state.counters["fps"] = double(frames) / (double(clock.nsecsElapsed()) * 1e-9);
    state.counters["processor_ms"] = (OwnProcessorSeconds() - processorFrom) * 1e3 / double(frames);
    state.counters["faces"] = double(model.Faces().size());
    state.SetLabel(std::string(shaded ? "shaded" : "wireframe") +
                   (level == kAllLevels ? " all levels" : " level 1"));
    renderer.Destroy();
}
BENCHMARK(BM_Frame)
    ->ArgsProduct({{0, 1}, {kLevelOne, kAllLevels}})
    ->ArgNames({"shaded", "lod"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

QString F3d() {
    return QStandardPaths::findExecutable("f3d");
}

// Runs a program to its end; its wall time in seconds, or a negative number when it failed.
double RunSeconds(const QString& program, const QStringList& arguments) {
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) * 1e-9;
}

// f3d's interactive frame of the same faces in a window of the panel's size: f3d plays a left
// drag of kF3dMoves mouse moves (each a frame of its own) and renders its picture; a run that
// plays no move is taken away. f3d has no wireframe mode: its surface with edges (--edges) is the
// shaded mode's work, its surface alone the nearest to the wireframe's.
constexpr int kF3dMoves = 40;

QString DragLog(const QString& folder, int moves) {
    const QString path = folder + QString("/drag-%1.log").arg(moves);
    std::ofstream out(path.toStdString());
    out << "# StreamVersion 1.1\nEnterEvent 200 200 0 0 0 0 0\nMouseMoveEvent 200 200 0 0 0 0 0\n"
        << "LeftButtonPressEvent 200 200 0 0 0 0 0\n";
    for (int i = 1; i <= moves; ++i)
        out << "MouseMoveEvent " << 200 + 3 * i << " 200 0 0 0 0 0\n";
    out << "LeftButtonReleaseEvent " << 200 + 3 * moves << " 200 0 0 0 0 0\n";
    return path;
}

void BM_F3dInteractiveFrame(benchmark::State& state) {
    if (F3d().isEmpty()) {
        state.SkipWithError("f3d is not installed (scripts/setup.sh installs it)");
        return;
    }
    const bool edges = state.range(0) == 1;
    const auto level = static_cast<int32_t>(state.range(1));
    LargeModel& model = Large();
    QStringList common{"--resolution",
                       QString("%1,%2").arg(kPanel.width()).arg(kPanel.height()),
                       "--up",
                       "+Z",
                       "--quiet",
                       "--output",
                       model.folder.filePath("drag.png")};
    if (edges) common << "--edges";
    common << (level == kLevelOne ? model.levelOneObjPath : model.objPath);
    const auto play = [&](int moves) {
        return RunSeconds(
            F3d(),
            QStringList{"--interaction-test-play=" + DragLog(model.folder.path(), moves)} + common);
    };
    for (auto _ : state) {
        const double still = play(0), dragged = play(kF3dMoves);
        if (still < 0 || dragged < 0) {
            state.SkipWithError("f3d failed");
            return;
        }
        const double frame = std::max(1e-6, (dragged - still) / kF3dMoves);
        state.SetIterationTime(frame);
        state.counters["fps"] = 1.0 / frame;
    }
    state.SetLabel(std::string(edges ? "f3d surface and edges" : "f3d surface") +
                   (level == kAllLevels ? " all levels" : " level 1"));
}
BENCHMARK(BM_F3dInteractiveFrame)
    ->ArgsProduct({{0, 1}, {kLevelOne, kAllLevels}})
    ->ArgNames({"edges", "lod"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// A pick at a point of the model (the index built beforehand), at a turned view.
void BM_Pick(benchmark::State& state) {
    LargeModel& model = Large();
    const auto faces = model.Faces();
    FacePicker picker;
    picker.Build(faces, 0);
    const ModelExtent extent = ComputeModelExtent(faces);
    ViewState view;
    view.AngleX = -60;
    view.AngleZ = 30;
    const ViewBox box = ProjectionBox(extent.Max, extent.Min);
    FitView(view, box, faces, {0, -1});
    const FrameTransform frame(box, CameraOf(view), kPanel.width(), kPanel.height());
    std::mt19937 random(5);
    std::uniform_real_distribution<double> x(0, kPanel.width()), y(0, kPanel.height());
    int64_t hits = 0, picks = 0;
    for (auto _ : state) {
        const PickHit hit = picker.Pick(faces, frame, x(random), y(random));
        benchmark::DoNotOptimize(hit);
        hits += hit.Face >= 0 ? 1 : 0;
        ++picks;
    }
    state.counters["hit_share"] = double(hits) / double(picks);
    state.counters["faces"] = double(faces.size());
}
BENCHMARK(BM_Pick)->Unit(benchmark::kMicrosecond);

// Building the pick index, once per model and level.
void BM_PickIndexBuild(benchmark::State& state) {
    LargeModel& model = Large();
    for (auto _ : state) {
        FacePicker picker;
        picker.Build(model.Faces(), 0);
        benchmark::DoNotOptimize(picker);
    }
}
BENCHMARK(BM_PickIndexBuild)->Unit(benchmark::kMillisecond)->UseRealTime();

// A screenshot as --screenshot takes it: open the file, one iso frame fitted with the model's
// proportions, the PNG written.
void BM_Screenshot(benchmark::State& state) {
    const bool shaded = state.range(0) == 1;
    LargeModel& model = Large();
    const QString out = model.folder.filePath("shot.png");
    for (auto _ : state) {
        OptDocument document;
        if (!document.Open(model.optPath.toStdString()).Ok()) {
            state.SkipWithError("the model cannot be opened");
            return;
        }
        PictureRequest request;
        request.Size = kScreenshot;
        request.Preset = PresetView::Iso;
        request.Fit = true;
        request.KeepProportions = true;
        request.Scene.Faces = std::span<const DrawFace>(document.Model().DrawFaces);
        request.Scene.ShowLod = 0;
        request.Look.Shaded = shaded;
        const vexlor::Expected<Picture> picture = RenderPicture(request);
        if (!picture.Ok() || !picture->Image.save(out)) {
            state.SkipWithError("no picture");
            return;
        }
    }
    state.SetLabel(shaded ? "shaded" : "wireframe");
}
BENCHMARK(BM_Screenshot)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("shaded")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// f3d rendering the same faces from the OBJ file into a PNG of the same size.
void BM_F3dScreenshot(benchmark::State& state) {
    const QString f3d = F3d();
    if (f3d.isEmpty()) {
        state.SkipWithError("f3d is not installed (scripts/setup.sh installs it)");
        return;
    }
    LargeModel& model = Large();
    const QString out = model.folder.filePath("f3d.png");
    for (auto _ : state) {
        QProcess process;
        process.start(f3d, {"--output", out, "--resolution",
                            QString("%1,%2").arg(kScreenshot.width()).arg(kScreenshot.height()),
                            "--up", "+Z", "--quiet", model.objPath});
        if (!process.waitForFinished(120'000) || process.exitCode() != 0) {
            state.SkipWithError("f3d failed");
            return;
        }
    }
}
BENCHMARK(BM_F3dScreenshot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// Processor seconds a running process has used (user and system, all its threads).
double ProcessorSeconds(qint64 pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 13 && fields >> field; ++i) {
        if (i >= 12) ticks += std::stod(field);
    }
    return ticks / double(sysconf(_SC_CLK_TCK));
}

void Wait(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// A program started with its window shown and left alone (after `prepare`): the cores it uses
// over five seconds, once it has settled.
double IdleCores(const QString& program, const QStringList& arguments,
                 const std::function<void()>& prepare) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) return -1;
    Wait(2500);
    prepare();
    Wait(1000);
    const double from = ProcessorSeconds(process.processId());
    QElapsedTimer clock;
    clock.start();
    Wait(5000);
    const double cores =
        (ProcessorSeconds(process.processId()) - from) / (double(clock.nsecsElapsed()) * 1e-9);
    process.kill();
    process.waitForFinished();
    return cores;
}

// f3d showing the large model's faces (every level, surface and edges: the shaded mode's work)
// in a window of the panel's size, dragged by the X server's own pointer as view_bench's
// BM_DragCatchUp drags the view: 125 moves in a second, then let go. Measured: from the release
// to f3d's last use of the processor (no more for 300 ms), so up to a tick (10 ms) late.
void BM_F3dDragCatchUp(benchmark::State& state) {
    if (F3d().isEmpty()) {
        state.SkipWithError("f3d is not installed (scripts/setup.sh installs it)");
        return;
    }
    LargeModel& model = Large();
    QStringList drag{"mousemove", "200", "200", "mousedown", "1"};
    for (int i = 1; i <= 125; ++i)
        drag << "mousemove_relative"
             << "--" << (i % 2 ? "3" : "-3") << "0"
             << "sleep"
             << "0.008";
    for (auto _ : state) {
        QProcess f3d;
        f3d.start(F3d(), {"--resolution", QString("%1,%2").arg(kPanel.width()).arg(kPanel.height()),
                          "--up", "+Z", "--edges", model.objPath});
        Wait(8000);  // read and first frame
        QProcess::execute("xdotool", drag);
        QProcess::execute("xdotool", {"mouseup", "1"});
        QElapsedTimer sinceRelease;
        sinceRelease.start();
        double used = ProcessorSeconds(f3d.processId());
        qint64 lastUse = 0;
        while (sinceRelease.elapsed() - lastUse < 300 && sinceRelease.elapsed() < 60'000) {
            Wait(10);
            const double now = ProcessorSeconds(f3d.processId());
            if (now != used) lastUse = sinceRelease.elapsed();
            used = now;
        }
        f3d.kill();
        f3d.waitForFinished();
        state.SetIterationTime(double(lastUse) * 1e-3);
        state.counters["catch_up_ms"] = double(lastUse);
    }
    state.SetLabel("f3d surface and edges all levels");
}
BENCHMARK(BM_F3dDragCatchUp)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// samples/fighter.opt and its level 1 as an OBJ file for f3d.
struct Fighter {
    QTemporaryDir folder;
    QString optPath = QStringLiteral(VEXLOR_SOURCE_DIR "/samples/fighter.opt");
    QString objPath = folder.filePath("fighter.obj");
    Fighter() {
        OptDocument document;
        document.Open(optPath.toStdString());
        WriteObj(objPath.toStdString(), std::span<const DrawFace>(document.Model().DrawFaces),
                 kLevelOne);
    }
};

enum ViewSight { kRaised = 0, kUnderTheMainWindow = 1 };

// The whole program turning the fighter (the designed start: rotation on), its view raised
// over the main window or left where it starts under it.
void BM_ProgramTurningCost(benchmark::State& state) {
    Fighter fighter;
    const bool raised = state.range(0) == kRaised;
    for (auto _ : state) {
        const double cores = IdleCores(OPTVEXLOR_BINARY, {fighter.optPath}, [&] {
            if (raised)
                QProcess::execute("xdotool", {"search", "--name", "Model size", "windowraise"});
        });
        if (cores < 0) {
            state.SkipWithError("optvexlor did not start");
            return;
        }
        state.SetIterationTime(cores);
        state.counters["cores"] = cores;
    }
    state.SetLabel(raised ? "optvexlor, fighter turning in sight"
                          : "optvexlor, view under the main window");
}
BENCHMARK(BM_ProgramTurningCost)
    ->Arg(kRaised)
    ->Arg(kUnderTheMainWindow)
    ->ArgName("sight")
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// f3d showing the same fighter, left alone (it draws a frame only when asked to).
void BM_F3dIdleCost(benchmark::State& state) {
    if (F3d().isEmpty()) {
        state.SkipWithError("f3d is not installed (scripts/setup.sh installs it)");
        return;
    }
    Fighter fighter;
    for (auto _ : state) {
        const double cores =
            IdleCores(F3d(), {"--resolution", "457,417", "--up", "+Z", fighter.objPath}, [] {});
        if (cores < 0) {
            state.SkipWithError("f3d did not start");
            return;
        }
        state.SetIterationTime(cores);
        state.counters["cores"] = cores;
    }
    state.SetLabel("f3d, fighter shown");
}
BENCHMARK(BM_F3dIdleCost)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    return vexlor::bench::RunGuiBenchmarks(argc, argv, vexlor::bench::Display::Required);
}
