// Export of a 200,000-face model (8 meshes, 2 levels of detail, 2 textures per mesh, vertex normals
// and texture vertices throughout) to .glb; the goal is under 1 s. In the same run:
//   - the scene building alone (our part before assimp's writer),
//   - assimp's own command line (`assimp export`, from assimp-utils) converting the same model
//     from OBJ to GLB, which reads the OBJ file too.
// The .glb goes to the temporary folder (a disk here, so the sync before the rename counts) and,
// where there is one, to /dev/shm (memory). "opt_MB_per_s" relates the time to the size of an OPT
// file with as many faces and meshes (reader_bench's generated model).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <string>

#include "ExportTestModels.h"
#include "ModelExport.h"
#include "SampleModels.h"
#include "SceneBuilder.h"

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
    static const double size = static_cast<double>(vexlor::testing::BuildLargeModel(kFaces, kMeshes).size()) / 1e6;
    return size;
}

fs::path Scratch(const std::string& name, bool memory) {
    const fs::path folder = memory ? fs::path("/dev/shm") : fs::temp_directory_path();
    return folder / ("vexlor-export-bench-" + std::to_string(getpid()) + "-" + name);
}

vexlor::ExportOptions AllLevels() {
    vexlor::ExportOptions options;
    options.lod = vexlor::kAllLevels;
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
        const vexlor::ExportResult result = vexlor::ExportToFile(Model(), target.string(), AllLevels());
        if (!result.ok) {
            state.SkipWithError((result.message + ": " + result.reason).c_str());
            break;
        }
        faces = result.faces;
    }
    state.counters["faces"] = static_cast<double>(faces);
    if (fs::exists(target)) state.counters["glb_MB"] = static_cast<double>(fs::file_size(target)) / 1e6;
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(memory ? "to /dev/shm" : "to " + fs::temp_directory_path().string());
    fs::remove(target);
}
BENCHMARK(BM_ExportGlb)->Arg(0)->Arg(1)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildScene(benchmark::State& state) {
    vexlor::detail::SceneOptions options;
    options.lod = vexlor::kAllLevels;
    options.yUp = true;
    options.triangulate = true;
    for (auto _ : state) {
        vexlor::detail::SceneStats stats;
        std::vector<std::string> warnings;
        vexlor::detail::ScenePtr scene = vexlor::detail::BuildScene(Model(), options, stats, warnings);
        benchmark::DoNotOptimize(scene.get());
    }
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(OptMegabytes(), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_BuildScene)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// `assimp export model.obj out.glb` in a child process, timed from start to exit.
void BM_AssimpCommandLineObjToGlb(benchmark::State& state) {
    const fs::path obj = Scratch("model.obj", false);
    const fs::path glb = Scratch("cli.glb", false);
    const vexlor::ExportResult written = vexlor::ExportToFile(Model(), obj.string(), AllLevels());
    if (!written.ok) {
        state.SkipWithError(("cannot write the OBJ file: " + written.message).c_str());
        return;
    }
    std::string program = "assimp", verb = "export", in = obj.string(), out = glb.string(), format = "-fglb2";
    char* argv[] = {program.data(), verb.data(), in.data(), out.data(), format.data(), nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        const int spawned = posix_spawnp(&child, "assimp", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("`assimp export` failed (is assimp-utils installed?)");
            break;
        }
    }
    state.counters["faces"] = static_cast<double>(written.faces);
    if (fs::exists(glb)) state.counters["glb_MB"] = static_cast<double>(fs::file_size(glb)) / 1e6;
    state.counters["obj_MB"] = static_cast<double>(fs::file_size(obj)) / 1e6;
    for (const std::string& file : written.files) fs::remove(file);
    fs::remove(glb);
}
BENCHMARK(BM_AssimpCommandLineObjToGlb)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
