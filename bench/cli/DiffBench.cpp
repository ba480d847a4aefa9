// `vexlor diff` of the 200,000-face model (8 meshes, 3 levels of detail) against itself and
// against a copy with every face normal negated, beside `vexlor check` of the same file in the
// same run: the seconds of each, and each diff's time over the check's (the goal is at most 3).
// All three run as processes with their output thrown away, so each includes opening its files.
//
// The two files are written once, to $TMPDIR (else /tmp), and removed at the end.
#include <benchmark/benchmark.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

constexpr int kFaces = 200'000;
constexpr int kMeshes = 8;

fs::path ScratchFile(const std::string& name) {
    const char* tmp = std::getenv("TMPDIR");
    return fs::path(tmp && *tmp ? tmp : "/tmp") /
           ("vexlor-diff-bench-" + std::to_string(getpid()) + "-" + name);
}

// The model with every face normal of every face block negated (the sign bit of each single).
std::vector<uint8_t> NormalsNegated(const std::vector<uint8_t>& model) {
    vexlor::OptDocument document;
    document.OpenBytes(model, "model.opt");
    std::vector<uint8_t> changed = model;
    const vexlor::OptModel& tables = document.Model();
    for (const vexlor::BlockEntry& entry : tables.BlockTable) {
        if (entry.Type != vexlor::kTypeFace) continue;
        const vexlor::RegionPlace normals =
            vexlor::LocateBlock(document.Stream(), tables.GlobalOffset, entry.Offset, entry.Type)
                .Region(vexlor::format::kFaceNormalsRegion);
        for (int64_t face = 0; face < normals.RecordsIn(document.Stream()); ++face)
            for (int64_t axis = 0; axis < 3; ++axis)
                changed[static_cast<size_t>(normals.RecordOffset(face) +
                                            axis * vexlor::format::kValueSize + 3)] ^= 0x80;
    }
    return changed;
}

void RunCommand(benchmark::State& state, const std::string& args, int expectedStatus) {
    const std::string command = "'" VEXLOR_BINARY "' " + args + " > /dev/null 2>&1";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != expectedStatus) {
            state.SkipWithError(("unexpected exit status of vexlor " + args).c_str());
            return;
        }
    }
}

void BM_Check(benchmark::State& state) {
    RunCommand(state, "check '" + ScratchFile("a.opt").string() + "'", 0);
}
void BM_DiffItself(benchmark::State& state) {
    const std::string a = ScratchFile("a.opt").string();
    RunCommand(state, "diff '" + a + "' '" + a + "'", 0);
}
void BM_DiffNormalsNegated(benchmark::State& state) {
    RunCommand(
        state,
        "diff '" + ScratchFile("a.opt").string() + "' '" + ScratchFile("b.opt").string() + "'", 1);
}

BENCHMARK(BM_Check)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffItself)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiffNormalsNegated)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void WriteModels() {
    const std::vector<uint8_t> model = vexlor::testing::BuildLargeModel(kFaces, kMeshes);
    vexlor::testing::WriteFile(ScratchFile("a.opt").string(), model);
    vexlor::testing::WriteFile(ScratchFile("b.opt").string(), NormalsNegated(model));
}

// Each diff's seconds over the check's.
void PrintRatios(const vexlor::bench::TimesReporter& times) {
    const auto check = times.ClockSeconds("BM_Check/iterations:3/manual_time");
    if (!check || *check <= 0) return;
    for (const char* diff : {"BM_DiffItself", "BM_DiffNormalsNegated"})
        if (const auto seconds =
                times.ClockSeconds(std::string(diff) + "/iterations:3/manual_time"))
            std::printf("%s: %.3f s, check %.3f s, ratio %.2f (goal at most 3)\n", diff, *seconds,
                        *check, *seconds / *check);
}

}  // namespace

int main(int argc, char** argv) {
    vexlor::bench::TimesReporter reporter(PrintRatios);
    const int status = vexlor::bench::RunBenchmarks(argc, argv, WriteModels, &reporter);
    fs::remove(ScratchFile("a.opt"));
    fs::remove(ScratchFile("b.opt"));
    return status;
}
