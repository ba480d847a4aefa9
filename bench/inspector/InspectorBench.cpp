// The inspector's response times on a generated model of about 200,000 faces over 8 meshes with
// 3 levels of detail: choosing a face block in the hex view (layout, tints, painted) and scrolling
// it 1,000 rows at a time; searching the model's whole report, through the window's event loop
// as the search bar runs it, and the line matcher alone; choosing the face block in the main
// window's tree, which fills the report list and the hex view and tells the 3D view; the record
// inspector's values of a face (its indices' targets found by two walks) and of a vertex, beside
// the open of the same model.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "GuiBenchMain.h"
#include "StandInWindow.h"
#include "desktop/MainWindow.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/ReportListView.h"
#include "inspector/ReportSearch.h"
#include "inspector/plain/LineMatcher.h"
#include "inspector/plain/RecordValues.h"
#include "reader/BlockLayout.h"
#include "reader/OptDocument.h"
#include "reader/RecordPlaces.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace {

using namespace vexlor;

constexpr int kFaces = 200'000;
constexpr int kMeshes = 8;

OptDocument& LargeDocument() {
    static OptDocument* document = [] {
        auto* opened = new OptDocument;
        opened->OpenBytes(testing::BuildLargeModel(kFaces, kMeshes), "large.opt");
        return opened;
    }();
    return *document;
}

const ReportLines& LargeReport() {
    static const ReportLines lines = [] {
        ReportLines report;
        ReportLinesOutput output(report);
        LargeDocument().WriteReport(output, "OPTvexlor - large.opt");
        return report;
    }();
    return lines;
}

// The node of the largest face block and the node of the mesh descriptor before it.
std::pair<int32_t, int32_t> FaceAndOtherNode() {
    const auto& table = LargeDocument().Model().BlockTable;
    int32_t face = -1;
    int32_t largest = -1;
    for (size_t k = 1; k < table.size(); ++k) {
        if (table[k].Type != 1) continue;
        const OptStream& stream = LargeDocument().Stream();
        const int32_t count = stream.Int32At(table[k].Offset + 16);
        if (count > largest) {
            largest = count;
            face = static_cast<int32_t>(k);
        }
    }
    return {face, 1};
}

struct ShownView {
    inspector::HexView view;
    ShownView() {
        OptDocument& document = LargeDocument();
        view.Model()->SetFile(&document.Stream(), document.Model().GlobalOffset);
        view.resize(760, 900);
        view.show();
        QApplication::processEvents();
    }
    void Show(int32_t node) {
        OptDocument& document = LargeDocument();
        view.ShowBlock(DescribeNode(document.Stream(), document.Model().GlobalOffset,
                                    document.Model().BlockTable, node));
    }
};

void BM_HexShowFaceBlock(benchmark::State& state) {
    ShownView shown;
    const auto [face, other] = FaceAndOtherNode();
    for (auto _ : state) {
        state.PauseTiming();
        shown.Show(other);
        shown.view.viewport()->repaint();
        QApplication::processEvents();
        state.ResumeTiming();
        shown.Show(face);
        shown.view.viewport()->repaint();
    }
    state.counters["rows_shown"] = shown.view.VisibleRows();
    state.counters["block_bytes"] =
        static_cast<double>(shown.view.Model()->Block().Extent().Size());
}
BENCHMARK(BM_HexShowFaceBlock)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HexScrollThousandRows(benchmark::State& state) {
    ShownView shown;
    shown.Show(FaceAndOtherNode().first);
    const int64_t rows = shown.view.Model()->RowCount();
    for (auto _ : state) {
        const int64_t next = shown.view.TopRow() + 1000;
        shown.view.ScrollToRow(next < rows - 1000 ? next : 0);
        shown.view.viewport()->repaint();
    }
    state.counters["file_rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_HexScrollThousandRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// The search as the bar runs it: slices between window events until the whole report is done.
void BM_ReportSearch(benchmark::State& state, const char* text) {
    const ReportLines& lines = LargeReport();
    inspector::ReportSearch search(lines);
    for (auto _ : state) {
        search.SetText(QString::fromLatin1(text));
        while (search.Running())
            QApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["matches"] = static_cast<double>(search.Matches().size());
}
BENCHMARK_CAPTURE(BM_ReportSearch, few_matches, "FaCe 4321 ")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ReportSearch, many_matches, "vertex")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_LineMatcherOnly(benchmark::State& state) {
    const ReportLines& lines = LargeReport();
    const inspector::LineMatcher matcher("FaCe 4321 ");
    std::vector<int32_t> rows;
    const auto bytes = static_cast<int64_t>(lines.ByteCount());
    for (auto _ : state) {
        rows.clear();
        matcher.MatchRows(lines, 0, lines.size(), rows);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_LineMatcherOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same over the lines held as one string each, as the report list held them before: the
// peer of the packed lines above, in the same run.
void BM_LineMatcherOverStrings(benchmark::State& state) {
    const ReportLines& packed = LargeReport();
    const std::vector<std::string> lines(packed.begin(), packed.end());
    const inspector::LineMatcher matcher("FaCe 4321 ");
    std::vector<int32_t> rows;
    for (auto _ : state) {
        rows.clear();
        for (size_t row = 0; row < lines.size(); ++row)
            if (matcher.Matches(lines[row])) rows.push_back(static_cast<int32_t>(row));
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * packed.ByteCount()));
}
BENCHMARK(BM_LineMatcherOverStrings)->Unit(benchmark::kMillisecond)->UseRealTime();

// A click on the largest face block's node in the tree, after a click on the first mesh: the
// block's report in the list (about 100,000 lines), its tints in the hex view, the view told.
void BM_WindowChooseFaceBlock(benchmark::State& state) {
    bench::StandInWindow standIn;
    desktop::MainWindow& window = standIn.Window;
    window.resize(1400, 900);
    window.show();
    const std::string path = std::filesystem::temp_directory_path() /
                             ("vexlor-bench-large-" + std::to_string(getpid()) + ".opt");
    testing::WriteFile(path, testing::BuildLargeModel(kFaces, kMeshes));
    window.OpenFile(QString::fromStdString(path));
    std::filesystem::remove(path);
    const auto [face, other] = FaceAndOtherNode();
    const QModelIndex faceIndex = window.TreeIndexOfNode(face);
    const QModelIndex otherIndex = window.TreeIndexOfNode(other);
    for (auto _ : state) {
        state.PauseTiming();
        window.findChild<QTreeView*>(QStringLiteral("structureTree"))->setCurrentIndex(otherIndex);
        QApplication::processEvents();
        state.ResumeTiming();
        window.findChild<QTreeView*>(QStringLiteral("structureTree"))->setCurrentIndex(faceIndex);
        window.findChild<inspector::HexPane*>()->repaint();
    }
    state.counters["list_lines"] =
        window.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
            ->model()
            ->rowCount();
}
BENCHMARK(BM_WindowChooseFaceBlock)->Unit(benchmark::kMillisecond)->UseRealTime();

// The record inspector's values of the middle face of the largest face block: the values and the
// vertex and vertex normal each index names, which takes a walk per table.
void BM_RecordValuesOfAFace(benchmark::State& state) {
    const OptDocument& document = LargeDocument();
    const BlockEntry& block =
        document.Model().BlockTable[static_cast<size_t>(FaceAndOtherNode().first)];
    const int32_t faces = document.Stream().Int32At(block.Offset + 16);
    const RecordRef face = FaceRecordRef(block.Offset, faces / 2);
    size_t linked = 0;
    for (auto _ : state) {
        const inspector::RecordValues values = inspector::ValuesOfRecord(
            document.Stream(), document.Model().GlobalOffset, face, block.Mesh, document.Numbers());
        linked = static_cast<size_t>(std::count_if(values.Rows.begin(), values.Rows.end(),
                                                   [](const auto& row) { return row.Target; }));
    }
    state.counters["linked_indices"] = static_cast<double>(linked);
}
BENCHMARK(BM_RecordValuesOfAFace)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer of the face's values: the open of the same model (its walk with tree and tables).
void BM_OpenTheSameModel(benchmark::State& state) {
    const std::span<const uint8_t> bytes = LargeDocument().Stream().Bytes();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<uint8_t> copy(bytes.begin(), bytes.end());
        OptDocument document;
        state.ResumeTiming();
        document.OpenBytes(std::move(copy), "large.opt");
        benchmark::DoNotOptimize(document.Model().BlockTable.data());
    }
}
BENCHMARK(BM_OpenTheSameModel)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return vexlor::bench::RunGuiBenchmarks(argc, argv, vexlor::bench::Display::OffscreenWithout);
}
