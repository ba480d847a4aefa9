// `vexlor check` over a folder of 1,000 generated models of about 2,000 faces each (a flat plate
// with 3 levels of detail, checking clean), with --jobs 1 and --jobs 2: the files checked per
// second of the clock; how many processors the run kept busy (the program's processor time over
// the clock time); and the processor time per file, which stays the same for any number of jobs
// when the threads do not get in each other's way. The speed-up from --jobs 1 to --jobs 2 is
// printed at the end with the machine's load average: on a shared machine other work takes
// processors from the run, and the speed-up cannot exceed the processors it gets.
//
// The folder is written once, to $TMPDIR (else /tmp), and removed at the end.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "BenchMain.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr int kFaces = 2000;
constexpr int kMeshes = 1;

fs::path& Folder() {
    static fs::path folder;
    return folder;
}

int64_t FacesPerModel() {
    static int64_t faces = 0;
    if (faces == 0) {
        vexlor::OptDocument document;
        document.OpenBytes(vexlor::testing::BuildLargeModel(kFaces, kMeshes), "model.opt");
        faces = static_cast<int64_t>(document.Model().DrawFaces.size());
    }
    return faces;
}

void WriteFolder() {
    const char* tmp = std::getenv("TMPDIR");
    Folder() =
        fs::path(tmp && *tmp ? tmp : "/tmp") / ("vexlor-batch-bench-" + std::to_string(getpid()));
    fs::remove_all(Folder());
    fs::create_directories(Folder());
    const std::vector<uint8_t> model = vexlor::testing::BuildLargeModel(kFaces, kMeshes);
    char name[32];
    for (int k = 0; k < kFiles; ++k) {
        std::snprintf(name, sizeof name, "model-%04d.opt", k);
        vexlor::testing::WriteFile((Folder() / name).string(), model);
    }
}

double ChildrenProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::map<int64_t, double>& FilesPerSecond() {
    static std::map<int64_t, double> rates;
    return rates;
}

void BM_CheckFolder(benchmark::State& state) {
    const int64_t jobs = state.range(0);
    const std::string command = "'" VEXLOR_BINARY "' check '" + Folder().string() + "' --jobs " +
                                std::to_string(jobs) + " > /dev/null 2>&1";
    double seconds = 0, processorSeconds = 0;
    for (auto _ : state) {
        const double processorBefore = ChildrenProcessorSeconds();
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        processorSeconds += ChildrenProcessorSeconds() - processorBefore;
        seconds += elapsed;
        state.SetIterationTime(elapsed);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("vexlor check did not find every generated model clean");
            return;
        }
    }
    const double runs = static_cast<double>(state.iterations());
    FilesPerSecond()[jobs] = kFiles * runs / seconds;
    state.counters["files/s"] = kFiles * runs / seconds;
    state.counters["busy_cpus"] = processorSeconds / seconds;
    state.counters["cpu_ms/file"] = 1000 * processorSeconds / (kFiles * runs);
    state.counters["faces/model"] = static_cast<double>(FacesPerModel());
}

BENCHMARK(BM_CheckFolder)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    const int status = vexlor::bench::RunBenchmarks(argc, argv, [] {
        WriteFolder();
        std::printf("%d models of %lld faces in %s; load average before: %s\n", kFiles,
                    static_cast<long long>(FacesPerModel()), Folder().c_str(),
                    LoadAverage().c_str());
    });
    const auto& rates = FilesPerSecond();
    if (rates.count(1) && rates.count(2))
        std::printf("speed-up of --jobs 2 over --jobs 1: %.2f x (load average after: %s)\n",
                    rates.at(2) / rates.at(1), LoadAverage().c_str());
    fs::remove_all(Folder());
    return status;
}
