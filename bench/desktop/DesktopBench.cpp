// The desktop program's response times: choosing a tree node of a 2,000-face block until the
// report list has its lines, laid out and painted; and a browser preview of the sample fighter
// from the file's selection to its first frame (this one needs a display for OpenGL).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QListView>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GuiBenchMain.h"
#include "StandInWindow.h"
#include "desktop/BrowserWindow.h"
#include "desktop/GlViewLink.h"
#include "desktop/MainWindow.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "samples/OptBuilder.h"

namespace {

using namespace vexlor;

std::vector<uint8_t> TwoThousandFaceBlock() {
    testing::OptBuilder b;
    std::vector<testing::V3> vertices;
    for (int i = 0; i < 2001; ++i)
        vertices.push_back({float(i % 45), float(i / 45), 0});
    std::vector<testing::FaceInput> faces(2000);
    for (int i = 0; i < 2000; ++i) {
        faces[static_cast<size_t>(i)].Vertex = {i % 2000, (i + 1) % 2000, (i + 45) % 2000,
                                                (i + 46) % 2000};
        faces[static_cast<size_t>(i)].Normal = {0, 0, -1};
    }
    const int64_t v = b.AddVertices(vertices);
    const int64_t f = b.AddFaces(faces);
    b.SetMeshes({b.AddJump(0, {v, f})});
    return b.Build();
}

void BM_ChooseFaceBlockNode(benchmark::State& state) {
    bench::StandInWindow standIn;
    desktop::MainWindow& window = standIn.Window;
    window.resize(1200, 900);
    window.show();
    const std::string path = std::filesystem::temp_directory_path() /
                             ("vexlor-bench-faces-" + std::to_string(getpid()) + ".opt");
    testing::WriteFile(path, TwoThousandFaceBlock());
    window.OpenFile(QString::fromStdString(path));
    std::filesystem::remove(path);
    const QModelIndex mesh = window.TreeIndexOfNode(1);
    const QModelIndex faces = window.TreeIndexOfNode(3);
    for (auto _ : state) {
        state.PauseTiming();
        window.findChild<QTreeView*>(QStringLiteral("structureTree"))->setCurrentIndex(mesh);
        QApplication::processEvents();
        state.ResumeTiming();
        window.findChild<QTreeView*>(QStringLiteral("structureTree"))->setCurrentIndex(faces);
        window.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
            ->viewport()
            ->repaint();
        QApplication::processEvents();
    }
    state.counters["lines"] = static_cast<double>(
        window.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
            ->model()
            ->rowCount());
}
BENCHMARK(BM_ChooseFaceBlockNode)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PreviewFighter(benchmark::State& state) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        state.SkipWithError("needs a display (run under xvfb-run)");
        return;
    }
    view::ViewState viewState;
    OptDocument document;
    desktop::GlViewLink link(viewState);
    desktop::RecordingMessagePresenter messages;
    desktop::ScriptedFileDialogs dialogs;
    desktop::MainWindow window(
        {document, link, messages, dialogs, QStringLiteral(VEXLOR_DATA_DIR)});
    view::ViewWindow viewWindow(viewState);
    link.Attach(&viewWindow);
    viewWindow.show();
    desktop::BrowserWindow browser(window, link, messages);
    browser.ChangeDirectory(QStringLiteral(VEXLOR_SAMPLES_DIR));
    while (browser.Files()->rowCount(browser.FileList()->rootIndex()) < 2)
        QApplication::processEvents();
    // Without turning, so that each preview's frames are its own.
    window.findChild<QCheckBox*>(QStringLiteral("rotationBox"))->setChecked(false);
    for (auto _ : state) {
        state.PauseTiming();
        browser.SelectFile(QStringLiteral("faulty.opt"));
        QApplication::processEvents();
        state.ResumeTiming();
        browser.SelectFile(QStringLiteral("fighter.opt"));  // walk, scene set-up, first frame
    }
    state.counters["faces"] = static_cast<double>(browser.Preview().Model().DrawFaces.size());
}
BENCHMARK(BM_PreviewFighter)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return vexlor::bench::RunGuiBenchmarks(argc, argv, vexlor::bench::Display::OffscreenWithout);
}
