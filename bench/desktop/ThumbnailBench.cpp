// Thumbnails: optvexlor --thumbnail of samples/fighter.opt and of the 200,000-face model at
// 128 x 128 beside f3d --output of the same faces (level 1, written as glb by vexlor export) at
// the same size; and a folder of 100 models of 2,000 faces each through the browser's background
// jobs, the first visit (every model drawn, on all processors, and kept in the thumbnail cache)
// and the second (every picture from the cache). Medians of repeated runs, f3d in the same run.
// optvexlor --thumbnail needs no display; f3d does: run it under xvfb-run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <string>
#include <utility>

#include "desktop/ModelThumbnail.h"
#include "desktop/ThumbnailJobs.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

using namespace vexlor;

constexpr int kSide = 128;
constexpr int kFolderModels = 100;

enum Model { kFighter = 0, kLarge = 1 };

bool Run(const QString& program, const QStringList& arguments, const QStringList& unset = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset)
        environment.remove(name);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// The two models as OPT files and their level 1 as glb files, made once for the run.
struct Models {
    QTemporaryDir folder;
    QString opt[2], glb[2];
    bool ready = true;
    Models() {
        opt[kFighter] = QStringLiteral(VEXLOR_SAMPLES_DIR "/fighter.opt");
        opt[kLarge] = folder.filePath("large.opt");
        testing::WriteFile(opt[kLarge].toStdString(), testing::BuildLargeModel(200'000, 8));
        for (const int model : {kFighter, kLarge}) {
            glb[model] = folder.filePath(model == kFighter ? "fighter.glb" : "large.glb");
            ready =
                ready && Run(VEXLOR_BINARY, {"export", opt[model], "-o", glb[model], "--lod", "1"});
        }
    }
};

Models& TheModels() {
    static Models models;
    return models;
}

const char* Name(int64_t model) {
    return model == kFighter ? "fighter" : "200,000 faces";
}

void BM_Thumbnail(benchmark::State& state) {
    Models& models = TheModels();
    const QString out = models.folder.filePath("thumbnail.png");
    for (auto _ : state) {
        if (!Run(OPTVEXLOR_BINARY,
                 {"--thumbnail", models.opt[state.range(0)], out, QString::number(kSide)},
                 {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})) {
            state.SkipWithError("optvexlor --thumbnail failed");
            return;
        }
    }
    state.SetLabel(std::string("optvexlor --thumbnail, ") + Name(state.range(0)));
}

void BM_F3dThumbnail(benchmark::State& state) {
    Models& models = TheModels();
    const QString f3d = QStandardPaths::findExecutable("f3d");
    if (f3d.isEmpty() || !models.ready) {
        state.SkipWithError("f3d is not installed, or vexlor export failed");
        return;
    }
    const QString out = models.folder.filePath("f3d.png");
    for (auto _ : state) {
        if (!Run(f3d, {"--output", out, "--resolution", QString("%1,%1").arg(kSide), "--up", "+Z",
                       "--quiet", models.glb[state.range(0)]})) {
            state.SkipWithError("f3d failed");
            return;
        }
    }
    state.SetLabel(std::string("f3d --output, ") + Name(state.range(0)));
}

// 100 models of 2,000 faces each in a folder of their own.
struct Folder {
    QTemporaryDir folder;
    QStringList paths;
    Folder() {
        const std::vector<uint8_t> bytes = testing::BuildLargeModel(2'000, 2);
        for (int i = 0; i < kFolderModels; ++i) {
            paths << folder.filePath(QString("model-%1.opt").arg(i, 3, 10, QChar('0')));
            testing::WriteFile(paths.back().toStdString(), bytes);
        }
    }
};

// Every picture of the folder through the jobs, until the last has arrived.
int Visit(const Folder& folder, const QString& cacheRoot) {
    desktop::ThumbnailJobs jobs(desktop::DrawModelThumbnail, desktop::ThumbnailCache(cacheRoot));
    int arrived = 0, pictures = 0;
    QEventLoop loop;
    QObject::connect(&jobs, &desktop::ThumbnailJobs::Ready, &loop,
                     [&](const QString&, const QImage& picture, const QString&) {
                         pictures += picture.isNull() ? 0 : 1;
                         if (++arrived == kFolderModels) loop.quit();
                     });
    jobs.Request(folder.paths);
    loop.exec();
    return pictures;
}

enum VisitKind { kFirstVisit = 0, kSecondVisit = 1 };

void BM_FolderThumbnails(benchmark::State& state) {
    const Folder folder;
    const bool second = state.range(0) == kSecondVisit;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir cache;
        if (second) Visit(folder, cache.path());
        state.ResumeTiming();
        if (Visit(folder, cache.path()) != kFolderModels) {
            state.SkipWithError("a thumbnail is missing");
            return;
        }
    }
    state.SetLabel(second ? "100 x 2,000 faces, second visit (cache)"
                          : "100 x 2,000 faces, first visit (drawn)");
}

}  // namespace

BENCHMARK(BM_FolderThumbnails)
    ->Arg(kFirstVisit)
    ->Arg(kSecondVisit)
    ->ArgName("visit")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The two programs, each picture in turn.
    using Bench = std::pair<const char*, void (*)(benchmark::State&)>;
    for (const auto& [name, run] :
         {Bench{"BM_Thumbnail", BM_Thumbnail}, Bench{"BM_F3dThumbnail", BM_F3dThumbnail}}) {
        benchmark::RegisterBenchmark(name, run)
            ->Arg(kFighter)
            ->Arg(kLarge)
            ->ArgName("model")
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1)
            ->Repetitions(7)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
