// Reader throughput on a generated model of about 200,000 faces over several meshes and levels of
// detail: the open walk, Save ASCII, Save PRJ, and the peak memory of `vexlor report`; and whole
// `vexlor` processes on 2 GiB files that claim far more than they hold, beside the same model.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"
#include "samples/SparseClaimant.h"

namespace {

namespace fs = std::filesystem;
constexpr int kFaces = 200'000;
constexpr int kMeshes = 8;

const std::vector<uint8_t>& LargeModel() {
    static const std::vector<uint8_t> model = vexlor::testing::BuildLargeModel(kFaces, kMeshes);
    return model;
}

fs::path ScratchFile(const std::string& name) {
    return fs::temp_directory_path() / ("vexlor-bench-" + std::to_string(getpid()) + "-" + name);
}

void BM_Open(benchmark::State& state) {
    vexlor::OptDocument document;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<uint8_t> bytes = LargeModel();
        state.ResumeTiming();
        document.OpenBytes(std::move(bytes), "large.opt");
        benchmark::DoNotOptimize(static_cast<int64_t>(document.Model().DrawFaces.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(LargeModel().size()));
    state.counters["faces"] =
        static_cast<double>(static_cast<int64_t>(document.Model().DrawFaces.size()));
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveAscii(benchmark::State& state) {
    vexlor::OptDocument document;
    document.OpenBytes(LargeModel(), "large.opt");
    const fs::path target = ScratchFile("report.txt");
    for (auto _ : state) {
        if (!document.SaveAscii(target.string(), "OPTvexlor - large.opt").Ok())
            state.SkipWithError("save failed");
    }
    const auto reportBytes = static_cast<int64_t>(fs::file_size(target));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * reportBytes);
    state.counters["report_MB"] = static_cast<double>(reportBytes) / 1e6;
    fs::remove(target);
}
BENCHMARK(BM_SaveAscii)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SavePrj(benchmark::State& state) {
    vexlor::OptDocument document;
    document.OpenBytes(LargeModel(), "large.opt");
    const fs::path target = ScratchFile("faces.PRJ");
    for (auto _ : state) {
        if (!document.SavePrj(target.string()).Ok()) state.SkipWithError("save failed");
    }
    const auto prjBytes = static_cast<int64_t>(fs::file_size(target));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * prjBytes);
    state.counters["opt_MB_per_s"] =
        benchmark::Counter(static_cast<double>(LargeModel().size()) / 1e6,
                           benchmark::Counter::kIsIterationInvariantRate);
    fs::remove(target);
}
BENCHMARK(BM_SavePrj)->Unit(benchmark::kMillisecond)->UseRealTime();

// Runs `vexlor report` on the model in a child process and reads its peak resident memory.
void BM_ReportPeakMemory(benchmark::State& state) {
    const fs::path model = ScratchFile("large.opt");
    vexlor::testing::WriteFile(model.string(), LargeModel());
    const fs::path report = ScratchFile("peak.txt");
    long peakKb = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            execl(VEXLOR_BINARY, VEXLOR_BINARY, "report", model.c_str(), "-o", report.c_str(),
                  nullptr);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            state.SkipWithError("vexlor report failed");
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    const double fileMb = static_cast<double>(LargeModel().size()) / (1 << 20);
    state.counters["opt_MiB"] = fileMb;
    state.counters["peak_MiB"] = static_cast<double>(peakKb) / 1024.0;
    state.counters["limit_MiB"] = 2 * fileMb + 64;
    fs::remove(model);
    fs::remove(report);
}
BENCHMARK(BM_ReportPeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// `vexlor tree` (the open) and `vexlor check` as whole processes, output thrown away: on the
// 200,000-face model, on a sparse 2 GiB file whose header claims 2^31 - 1 meshes, and on a sparse
// 2 GiB file of zeros. Clock time per run; the peak resident memory of the largest run.
void BM_CommandOnLargeFiles(benchmark::State& state) {
    static const char* const kFiles[] = {"model-200000-faces", "claims-2G-meshes", "zeros-2G"};
    static const char* const kCommands[] = {"tree", "check"};
    const auto file = static_cast<size_t>(state.range(0));
    const char* command = kCommands[state.range(1)];
    const fs::path path = ScratchFile(std::string(kFiles[file]) + ".opt");
    constexpr int64_t kTwoGiB = int64_t{1} << 31;
    if (file == 0) vexlor::testing::WriteFile(path.string(), LargeModel());
    if (file == 1) vexlor::testing::WriteMeshCountClaimant(path.string(), kTwoGiB - 1);
    if (file == 2) vexlor::testing::WriteZeros(path.string(), kTwoGiB);
    state.SetLabel(std::string(command) + " " + kFiles[file]);
    long peakKb = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            execl(VEXLOR_BINARY, VEXLOR_BINARY, command, path.c_str(), nullptr);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 2) state.SkipWithError("vexlor failed");
        peakKb = std::max(peakKb, usage.ru_maxrss);
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKb) / 1024.0;
    fs::remove(path);
}
BENCHMARK(BM_CommandOnLargeFiles)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"file", "command"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
