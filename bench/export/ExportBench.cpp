// Export of a 200,000-face model (8 meshes, 2 levels of detail, 2 textures per mesh, vertex normals
// and texture vertices throughout) to .glb; the goal is under 1 s. In the same run:
//   - the scene building alone (our part before assimp's writer),
//   - assimp's own command line (`assimp export`, from assimp-utils) converting the same model
//     from OBJ to GLB, which reads the OBJ file too.
// The .glb goes to the temporary folder (a disk here, so the sync before the rename counts) and,
// where there is one, to /dev/shm (memory). "opt_MB_per_s" relates the time to the size of an OPT
// file with as many faces and meshes (reader_bench's generated model).
//
// On that generated OPT file itself (200,000 faces, 8 meshes, 3 levels of detail), side by side:
//   - the open (the walk that builds the tree and the draw tables) and the export model builder
//     (one observed walk): the builder is to be at least as fast as the open;
//   - the whole `vexlor export FILE --lod all -o OUT.glb` as a process, and `assimp export`
//     converting the OBJ file of the same model (written by vexlor export) to GLB: their time and
//     their peak memory ("peak_MiB", the child's maximum resident size).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ExportTestModels.h"
#include "export/ExportModelBuilder.h"
#include "export/ExportWriter.h"
#include "export/SceneBuilder.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr int kFaces = 200'000;
constexpr int kMeshes = 8;

const vexlor::ExportModel& Model() {
    static const vexlor::ExportModel model = vexlor::testing::LargeModel(kFaces, kMeshes);
    return model;
}

double OptMegabytes() {
    static const double size =
        static_cast<double>(vexlor::testing::BuildLargeModel(kFaces, kMeshes).size()) / 1e6;
    return size;
}

fs::path Scratch(const std::string& name, bool memory) {
    const fs::path folder = memory ? fs::path("/dev/shm") : fs::temp_directory_path();
    return folder / ("vexlor-export-bench-" + std::to_string(getpid()) + "-" + name);
}

vexlor::ExportOptions AllLevels() {
    vexlor::ExportOptions options;
    options.Lod = vexlor::kAllLevels;
    return options;
}

void BM_ExportGlb(benchmark::State& state) {
    const bool memory = state.range(0) == 1;
    if (memory && !fs::is_directory("/dev/shm")) {
        state.SkipWithError("no /dev/shm");
        return;
    }
    const fs::path target = Scratch("model.glb", memory);
    int64_t faces = 0;
    for (auto _ : state) {
        const vexlor::Expected<vexlor::ExportSummary> result =
            vexlor::ExportToFile(Model(), target.string(), AllLevels());
        if (!result.Ok()) {
            state.SkipWithError((result.Message() + ": " + result.Reason()).c_str());
            break;
        }
        faces = result->Faces;
    }
    state.counters["faces"] = static_cast<double>(faces);
    if (fs::exists(target))
        state.counters["glb_MB"] = static_cast<double>(fs::file_size(target)) / 1e6;
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(memory ? "to /dev/shm" : "to " + fs::temp_directory_path().string());
    fs::remove(target);
}
BENCHMARK(BM_ExportGlb)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_BuildScene(benchmark::State& state) {
    vexlor::detail::SceneOptions options;
    options.Lod = vexlor::kAllLevels;
    options.YUp = true;
    options.Triangulate = true;
    for (auto _ : state) {
        vexlor::detail::SceneStats stats;
        std::vector<std::string> warnings;
        vexlor::detail::ScenePtr scene =
            vexlor::detail::BuildScene(Model(), options, stats, warnings);
        benchmark::DoNotOptimize(scene.get());
    }
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BuildScene)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs a program with its output to /dev/null; true when it exits with status 0. `peakMiB` gets
// the largest resident size the child reached, as the kernel counts it (what /usr/bin/time -v
// calls its maximum resident set size).
bool RunProgram(std::vector<std::string> args, double* peakMiB = nullptr) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage {};
    const bool ended = spawned == 0 && wait4(child, &status, 0, &usage) == child;
    if (ended && peakMiB != nullptr)
        *peakMiB = std::max(*peakMiB, static_cast<double>(usage.ru_maxrss) / 1024.0);
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The generated OPT file of reader_bench: 200,000 faces over 8 meshes with 3 levels of detail.
const std::vector<uint8_t>& OptFile() {
    static const std::vector<uint8_t> bytes = vexlor::testing::BuildLargeModel(kFaces, kMeshes);
    return bytes;
}

double OptFileMegabytes() {
    return static_cast<double>(OptFile().size()) / 1e6;
}

// The open of the OPT file: its walk with the tree and the draw tables built.
void BM_OpenOptFile(benchmark::State& state) {
    vexlor::OptDocument document;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<uint8_t> bytes = OptFile();
        state.ResumeTiming();
        document.OpenBytes(std::move(bytes), "large.opt");
        benchmark::DoNotOptimize(document.Model().DrawFaces.data());
    }
    state.counters["faces"] = static_cast<double>(document.Model().DrawFaces.size());
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptFileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_OpenOptFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// The export model of the open OPT file: one observed walk.
void BM_BuildExportModel(benchmark::State& state) {
    vexlor::OptDocument document;
    document.OpenBytes(OptFile(), "large.opt");
    int64_t faces = 0;
    for (auto _ : state) {
        const vexlor::ExportModel model = vexlor::BuildExportModel(document);
        faces = model.FaceCount();
    }
    state.counters["faces"] = static_cast<double>(faces);
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptFileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BuildExportModel)->Unit(benchmark::kMillisecond)->UseRealTime();

// `vexlor export large.opt --lod all -o large.glb`, from start to exit: reading the file, the open,
// the builder, the scene, assimp's writer and the all-or-nothing rename.
void BM_VexlorExportGlb(benchmark::State& state) {
    const fs::path opt = Scratch("large.opt", false);
    const fs::path glb = Scratch("vexlor.glb", false);
    vexlor::testing::WriteFile(opt.string(), OptFile());
    double peak = 0;
    for (auto _ : state) {
        if (!RunProgram({VEXLOR_BINARY, "export", opt.string(), "--lod", "all", "-o", glb.string()},
                        &peak)) {
            state.SkipWithError("`vexlor export` failed");
            break;
        }
    }
    state.counters["peak_MiB"] = peak;
    if (fs::exists(glb)) state.counters["glb_MB"] = static_cast<double>(fs::file_size(glb)) / 1e6;
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptFileMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
    fs::remove(opt);
    fs::remove(glb);
}
BENCHMARK(BM_VexlorExportGlb)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// `assimp export large.obj out.glb` in a child process, timed from start to exit; the OBJ file is
// the same model, all levels, as vexlor export writes it.
void BM_AssimpCommandLineObjToGlb(benchmark::State& state) {
    const fs::path opt = Scratch("large.opt", false);
    const fs::path obj = Scratch("large.obj", false);
    const fs::path glb = Scratch("assimp.glb", false);
    vexlor::testing::WriteFile(opt.string(), OptFile());
    if (!RunProgram({VEXLOR_BINARY, "export", opt.string(), "--lod", "all", "-o", obj.string()})) {
        state.SkipWithError("cannot write the OBJ file with vexlor export");
        return;
    }
    double peak = 0;
    for (auto _ : state) {
        if (!RunProgram({"assimp", "export", obj.string(), glb.string(), "-fglb2"}, &peak)) {
            state.SkipWithError("`assimp export` failed (is assimp-utils installed?)");
            break;
        }
    }
    state.counters["peak_MiB"] = peak;
    if (fs::exists(glb)) state.counters["glb_MB"] = static_cast<double>(fs::file_size(glb)) / 1e6;
    state.counters["obj_MB"] = static_cast<double>(fs::file_size(obj)) / 1e6;
    for (const fs::path& file : {opt, obj, glb, fs::path(obj).replace_extension(".mtl")})
        fs::remove(file);
}
BENCHMARK(BM_AssimpCommandLineObjToGlb)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
