// What Inspect > Full report of the 200,000-face model costs in memory, against the report's own
// size (its bytes as Save ASCII writes them): the heap the window holds for it (malloc's count
// of bytes in use, which memory freed earlier cannot hide) and the resident size it adds; beside
// it, the peak while the report is made; in the same run, the same lines held as one string each,
// as the report list held them before; and the process's peak while the model is exported to .glb
// with the report shown. Run it alone, in its own process: `report_memory_bench` (no display
// needed).
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QListView>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "GuiBenchMain.h"
#include "StandInWindow.h"
#include "desktop/MainWindow.h"
#include "inspector/ReportListModel.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

using namespace vexlor;

constexpr int kFaces = 200'000;
constexpr int kMeshes = 8;
constexpr double kMiB = 1024.0 * 1024.0;

// Bytes malloc has handed out and not had back, mapped blocks included.
double HeapInUse() {
    malloc_trim(0);
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
double StatusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string name;
    double kib = 0;
    while (status >> name) {
        if (name == field + ":") {
            status >> kib;
            return kib * 1024.0;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// From here on VmHWM is the peak since this call.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The process's peak while File > Export... writes `target`.
double ExportPeak(desktop::MainWindow& window, desktop::ScriptedFileDialogs& dialogs,
                  const std::filesystem::path& target) {
    dialogs.answers = {QString::fromStdString(target.string())};
    ResetPeak();
    window.findChild<QAction*>(QStringLiteral("exportAction"))->trigger();
    return StatusBytes("VmHWM");
}

void BM_FullReportMemory(benchmark::State& state) {
    bench::StandInWindow standIn;
    desktop::MainWindow& window = standIn.Window;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("vexlor-bench-memory-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = folder / "large.opt";
    testing::WriteFile(path, testing::BuildLargeModel(kFaces, kMeshes));
    window.OpenFile(QString::fromStdString(path));
    auto* list = window.findChild<QListView*>(QStringLiteral("reportList"));
    const auto* lines = qobject_cast<const inspector::ReportListModel*>(list->model());

    double held = 0;
    double resident = 0;
    double peakWhileMade = 0;
    double reportBytes = 0;
    double lineCount = 0;
    double asStrings = 0;
    double exportPeak = 0;
    double residentBeforeExport = 0;
    double exportPeakStrings = 0;
    for (auto _ : state) {
        const double heapBefore = HeapInUse();
        const double residentBefore = StatusBytes("VmRSS");
        ResetPeak();
        window.findChild<QAction*>(QStringLiteral("fullReportAction"))->trigger();
        peakWhileMade = StatusBytes("VmHWM") - residentBefore;
        held = HeapInUse() - heapBefore;
        resident = StatusBytes("VmRSS") - residentBefore;
        // Each line ends with CR LF in the file.
        lineCount = static_cast<double>(lines->Lines().size());
        reportBytes = static_cast<double>(lines->Lines().ByteCount() + 2 * lines->Lines().size());
        residentBeforeExport = StatusBytes("VmRSS");
        exportPeak = ExportPeak(window, standIn.Dialogs, folder / "large.glb");
        // The lines as the list held them before: a string each, and the export beside them.
        const double heapPacked = HeapInUse();
        std::vector<std::string> strings;
        strings.reserve(lines->Lines().size());
        for (const std::string_view line : lines->Lines())
            strings.emplace_back(line);
        asStrings = HeapInUse() - heapPacked;
        window.ShowLines({});
        exportPeakStrings = ExportPeak(window, standIn.Dialogs, folder / "strings.glb");
        benchmark::DoNotOptimize(strings.data());
    }
    std::filesystem::remove_all(folder);
    state.counters["report_MiB"] = reportBytes / kMiB;
    state.counters["lines"] = lineCount;
    state.counters["held_MiB"] = held / kMiB;
    state.counters["held_per_report"] = held / reportBytes;
    state.counters["rss_added_MiB"] = resident / kMiB;
    state.counters["rss_per_report"] = resident / reportBytes;
    state.counters["peak_added_per_report"] = peakWhileMade / reportBytes;
    state.counters["strings_MiB"] = asStrings / kMiB;
    state.counters["strings_per_report"] = asStrings / reportBytes;
    state.counters["rss_before_export_MiB"] = residentBeforeExport / kMiB;
    state.counters["export_peak_MiB"] = exportPeak / kMiB;
    state.counters["strings_export_peak_MiB"] = exportPeakStrings / kMiB;
}
BENCHMARK(BM_FullReportMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return vexlor::bench::RunGuiBenchmarks(argc, argv, vexlor::bench::Display::OffscreenWithout);
}
