// The main() the benchmark programs share: Google Benchmark's flags read, unknown flags refused,
// the programs' own preparation (models written to a scratch folder), then the runs.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>

namespace vexlor::bench {

// `prepare` runs once after the flags are read and before the first benchmark; `reporter` prints
// the runs (the console's own when null). Returns main()'s status.
inline int RunBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {},
                         benchmark::BenchmarkReporter* reporter = nullptr) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (prepare) prepare();
    benchmark::RunSpecifiedBenchmarks(reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace vexlor::bench
