// `vexlor repair` of the generated 200,000-face model (8 meshes, 3 levels of detail) beside
// `vexlor check` of the same file, whole processes in turn in the same run: the model as built
// (it checks clean, so the repair writes a copy) and with every face normal negated (the repair
// writes every one back and lists 200,000 changes). The clock and the processor time of each are
// printed, and at the end the repair's time over the check's (goal: at most 3 times).
//
// The files are written once to $TMPDIR (else /tmp) and removed at the end.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "BenchMain.h"
#include "TimesReporter.h"
#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

namespace fs = std::filesystem;

fs::path Folder() {
    const char* tmp = std::getenv("TMPDIR");
    return fs::path(tmp && *tmp ? tmp : "/tmp") /
           ("vexlor-repair-bench-" + std::to_string(getpid()));
}

// The model with the sign of every stored face normal flipped.
std::vector<uint8_t> Negated(const std::vector<uint8_t>& bytes) {
    vexlor::OptDocument document;
    document.OpenBytes(bytes, "model.opt");
    std::vector<uint8_t> negated = bytes;
    std::set<int64_t> done;
    for (const vexlor::BlockEntry& entry : document.Model().BlockTable) {
        if (entry.Type != vexlor::kTypeFace || !done.insert(entry.Offset).second) continue;
        const vexlor::RegionPlace normals =
            vexlor::LocateBlock(document.Stream(), document.Model().GlobalOffset, entry.Offset,
                                vexlor::kTypeFace)
                .Region(vexlor::format::kFaceNormalsRegion);
        for (int64_t r = 0; r < normals.RecordsIn(document.Stream()); ++r) {
            // The sign bit is the top bit of each little-endian single's last byte.
            for (int c = 1; c <= 3; ++c)
                negated[static_cast<size_t>(normals.RecordOffset(r) +
                                            c * vexlor::format::kValueSize - 1)] ^= 0x80;
        }
    }
    return negated;
}

void WriteModels() {
    fs::create_directories(Folder());
    const std::vector<uint8_t> model = vexlor::testing::BuildLargeModel(200'000, 8);
    vexlor::testing::WriteFile((Folder() / "clean.opt").string(), model);
    vexlor::testing::WriteFile((Folder() / "negated.opt").string(), Negated(model));
}

double ChildSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Runs `vexlor COMMAND FILE ...` per iteration; exit statuses 0 and 1 (findings) are success.
void BM_Vexlor(benchmark::State& state, const std::string& command, const std::string& model) {
    const std::string file = (Folder() / (model + ".opt")).string();
    const std::string out = (Folder() / (model + ".repaired.opt")).string();
    const std::string line = "'" VEXLOR_BINARY "' " + command + " '" + file + "'" +
                             (command == "repair" ? " -o '" + out + "'" : "") + " > /dev/null";
    const double before = ChildSeconds();
    for (auto _ : state) {
        const int status = std::system(line.c_str());
        if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) {
            state.SkipWithError(("failed: " + line).c_str());
            break;
        }
    }
    state.counters["cpu_s"] =
        benchmark::Counter((ChildSeconds() - before) / static_cast<double>(state.iterations()));
}

BENCHMARK_CAPTURE(BM_Vexlor, check_clean, "check", "clean")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Vexlor, repair_clean, "repair", "clean")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Vexlor, check_negated, "check", "negated")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(BM_Vexlor, repair_negated, "repair", "negated")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

std::string RunName(const std::string& command, const std::string& model) {
    return "BM_Vexlor/" + command + "_" + model + "/iterations:5/real_time";
}

// The repair's clock and processor time over the check's, on each model.
void PrintRatios(const vexlor::bench::TimesReporter& times) {
    for (const char* model : {"clean", "negated"}) {
        const std::string check = RunName("check", model), repair = RunName("repair", model);
        const auto checkClock = times.ClockSeconds(check), repairClock = times.ClockSeconds(repair);
        const auto checkCpu = times.CpuSeconds(check), repairCpu = times.CpuSeconds(repair);
        if (!checkClock || !repairClock || !checkCpu || !repairCpu) continue;
        std::printf(
            "%s model: repair %.0f ms, check %.0f ms of clock: %.2f x; processor "
            "%.0f against %.0f ms: %.2f x\n",
            model, *repairClock * 1e3, *checkClock * 1e3, *repairClock / *checkClock,
            *repairCpu * 1e3, *checkCpu * 1e3, *repairCpu / *checkCpu);
    }
}

}  // namespace

int main(int argc, char** argv) {
    vexlor::bench::TimesReporter reporter(PrintRatios);
    const int status = vexlor::bench::RunBenchmarks(argc, argv, WriteModels, &reporter);
    fs::remove_all(Folder());
    return status;
}
