// The consistency check on generated models (flat tessellated plates over 8 meshes with 3 levels
// of detail each), whole-model vertex normal mode:
//   - 20,000 faces, indexed and plain scan, in the same run; the summary line gives the ratio;
//   - 200,000 faces, indexed.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchMain.h"
#include "TimesReporter.h"
#include "check/ConsistencyCheck.h"
#include "reader/OptDocument.h"
#include "samples/SampleModels.h"

namespace {

constexpr int kMeshes = 8;

void LoadModel(vexlor::OptDocument& document, int faces) {
    document.OpenBytes(vexlor::testing::BuildLargeModel(faces, kMeshes), "large.opt");
}

void BM_Check(benchmark::State& state, vexlor::ContributionSearch search) {
    vexlor::OptDocument document;
    LoadModel(document, static_cast<int>(state.range(0)));
    bool allOk = false;
    for (auto _ : state) {
        std::vector<std::string> lines;
        allOk = vexlor::RunConsistencyCheck(document, vexlor::VertexNormalCheck::WholeModel, lines,
                                            search)
                    .AllOk;
        benchmark::DoNotOptimize(allOk);
    }
    if (!allOk) state.SkipWithError("the generated model should check clean");
    state.counters["faces"] = static_cast<double>(document.Model().DrawFaces.size());
}

void BM_CheckIndexed(benchmark::State& state) {
    BM_Check(state, vexlor::ContributionSearch::Indexed);
}
void BM_CheckPlainScan(benchmark::State& state) {
    BM_Check(state, vexlor::ContributionSearch::PlainScan);
}

BENCHMARK(BM_CheckIndexed)->Arg(20'000)->Unit(benchmark::kMillisecond)->UseRealTime();
// Quadratic: one iteration takes tens of seconds.
BENCHMARK(BM_CheckPlainScan)->Arg(20'000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CheckIndexed)->Arg(200'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// How much faster the indexed check was than the plain scan on the same model.
void PrintSpeedUp(const vexlor::bench::TimesReporter& times) {
    const auto indexed = times.ClockSeconds("BM_CheckIndexed/20000/real_time");
    const auto plain = times.ClockSeconds("BM_CheckPlainScan/20000/iterations:1/real_time");
    if (!indexed || !plain || *indexed <= 0) return;
    std::printf("20,000 faces: indexed %.1f ms, plain scan %.2f s, %.0f times faster\n",
                *indexed * 1e3, *plain, *plain / *indexed);
}

}  // namespace

int main(int argc, char** argv) {
    vexlor::bench::TimesReporter reporter(PrintSpeedUp);
    return vexlor::bench::RunBenchmarks(argc, argv, {}, &reporter);
}
