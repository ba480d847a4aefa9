// A console reporter that also keeps each run's clock seconds and its "cpu_s" counter by
// benchmark name, so a program can print at the end how one run compares with its peer's.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vexlor::bench {

class TimesReporter : public benchmark::ConsoleReporter {
  public:
    using Summary = std::function<void(const TimesReporter&)>;
    explicit TimesReporter(Summary summary) : summary_(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            clock_[run.benchmark_name()] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto cpu = run.counters.find("cpu_s");
            if (cpu != run.counters.end()) cpu_[run.benchmark_name()] = cpu->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (summary_) summary_(*this);
    }

    std::optional<double> ClockSeconds(const std::string& name) const { return Find(clock_, name); }
    std::optional<double> CpuSeconds(const std::string& name) const { return Find(cpu_, name); }

  private:
    static std::optional<double> Find(const std::map<std::string, double>& times,
                                      const std::string& name) {
        const auto found = times.find(name);
        if (found == times.end()) return std::nullopt;
        return found->second;
    }
    Summary summary_;
    std::map<std::string, double> clock_;
    std::map<std::string, double> cpu_;
};

}  // namespace vexlor::bench
