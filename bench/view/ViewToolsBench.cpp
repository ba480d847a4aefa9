// The view's added tools on the 200,000-face model under the software renderer: a frame in
// wireframe and in shaded mode drawn off the screen at the panel's size (frames per second), a
// pick and the building of the pick index, and a screenshot (open + one frame + PNG) beside
// f3d --output rendering the same model written as an OBJ file, in the same run. Needs a display:
// run it under xvfb-run.
#include <benchmark/benchmark.h>

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
#include <memory>
#include <random>

#include "FacePicker.h"
#include "FrameRenderer.h"
#include "OffscreenPicture.h"
#include "OptBuilder.h"
#include "OptDocument.h"
#include "SampleModels.h"
#include "ViewFit.h"
#include "Wireframe.h"

namespace {

using namespace vexlor::view;
using vexlor::DrawFace;
using vexlor::OptDocument;

constexpr int kLargeFaces = 200'000;
constexpr int kLargeMeshes = 8;
constexpr QSize kPanel{457, 417};
constexpr QSize kScreenshot{1024, 768};

enum Level { kLevelOne = 1, kAllLevels = 0 };

// The large model, opened once for the run.
struct LargeModel {
    QTemporaryDir folder;
    QString optPath, objPath;
    OptDocument document;
    LargeModel() {
        const std::vector<uint8_t> bytes =
            vexlor::testing::BuildLargeModel(kLargeFaces, kLargeMeshes);
        optPath = folder.filePath("large.opt");
        vexlor::testing::WriteFile(optPath.toStdString(), bytes);
        document.OpenBytes(bytes, "large.opt");
        objPath = folder.filePath("large.obj");
        WriteObj(objPath.toStdString(),
                 std::span<const vexlor::DrawFace>(document.Model().DrawFaces));
    }
    std::span<const DrawFace> Faces() const {
        return std::span<const DrawFace>(document.Model().DrawFaces);
    }

    // The faces as an OBJ file for f3d: four (or three) corners per face, no sharing.
    static void WriteObj(const std::string& path, std::span<const DrawFace> faces) {
        std::ofstream out(path);
        int64_t next = 1;
        for (const DrawFace& face : faces) {
            const int corners = face.IsQuad ? 4 : 3;
            for (int c = 0; c < corners; ++c) {
                const auto& p = face.Corners[size_t(c)];
                out << "v " << p.x << ' ' << p.y << ' ' << p.z << '\n';
            }
            out << 'f';
            for (int c = 0; c < corners; ++c)
                out << ' ' << next + c;
            out << '\n';
            next += corners;
        }
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

// One frame after another as the rotation turns the model, each finished by OpenGL.
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
    int64_t frames = 0;
    for (auto _ : state) {
        camera.AngleZ += 2;
        renderer.Draw(*offscreen.gl, box, camera, kPanel.width(), kPanel.height(), scene, look);
        offscreen.gl->glFinish();
        ++frames;
    }
    state.counters["fps"] = double(frames) / (double(clock.nsecsElapsed()) * 1e-9);
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
        if (!document.Open(model.optPath.toStdString()).ok) {
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
        const Picture picture = RenderPicture(request);
        if (!picture.Ok() || !picture.Image.save(out)) {
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
    const QString f3d = QStandardPaths::findExecutable("f3d");
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

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
