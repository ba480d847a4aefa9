// File > Export... as a user meets it: the menu item triggered, the save dialog answered (a name,
// a filter), the file written as `vexlor export` writes it, the tool panel's level of detail, the
// progress dialog of a large model and its Cancel button, and the outcome in the status bar, the
// report list and the message boxes.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "desktop/ExportAction.h"
#include "desktop/MainWindow.h"
#include "export/ExportWriter.h"
#include "inspector/ReportListView.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";
const QString kDataFolder = QStringLiteral(VEXLOR_SOURCE_DIR "/data");

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// The filter the dialog offers for a format id.
QString FilterOf(const std::string& id) {
    for (const ExportFormat& format : ExportFormats())
        if (format.Id == id)
            return QString::fromStdString(format.Description + " (*." + format.Extension + ")");
    return {};
}

class FileExport : public ::testing::Test {
  protected:
    FileExport() : window_({document_, view_, messages_, dialogs_, kDataFolder}) {
        dir_ = fs::temp_directory_path() /
               ("vexlor-gui-export-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "expected");
    }
    ~FileExport() override { fs::remove_all(dir_); }

    void Open(const fs::path& file) { ASSERT_TRUE(window_.OpenFile(Q(file))); }
    void ChooseLevel(int item) {
        window_.findChild<QGroupBox*>(QStringLiteral("lodChoice"))
            ->findChildren<QRadioButton*>()[item]
            ->click();
    }
    // Triggers File > Export... and answers its dialog with `name`.
    void Export(const fs::path& name) {
        dialogs_.answers = {Q(name)};
        window_.findChild<QAction*>(QStringLiteral("exportAction"))->trigger();
    }
    // What `vexlor export FILE ARGS -o expected/NAME` writes.
    std::string VexlorWrites(const fs::path& file, const std::string& args,
                             const std::string& name) {
        const fs::path out = dir_ / "expected" / name;
        const std::string command =
            "'" VEXLOR_BINARY "' --names '" VEXLOR_SOURCE_DIR "/data' export '" + file.string() +
            "' " + args + " -o '" + out.string() + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return ReadFile(out);
    }
    std::vector<std::string> Written() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().filename() != "expected")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    QString Status() const { return window_.statusBar()->currentMessage(); }
    static QString Exported(int64_t faces, const fs::path& file) {
        return QStringLiteral("Exported %1 faces to %2")
            .arg(QLocale(QLocale::English).toString(faces), Q(file));
    }
    int64_t FacesOfLevel(int lod) const {
        int64_t n = 0;
        for (const DrawFace& face : document_.Model().DrawFaces)
            n += lod == 0 || face.Lod == lod ? 1 : 0;
        return n;
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow window_;
    fs::path dir_;
};

TEST_F(FileExport, WritesTheToolPanelsLevelAsVexlorExportDoesAndSaysSo) {
    const fs::path fighter = kSamples / "fighter.opt";
    Open(fighter);
    ChooseLevel(2);
    Export(dir_ / "ship.glb");

    // One filter per format, glTF binary first and chosen; the dialog starts beside the open file.
    ASSERT_EQ(dialogs_.filtersSeen.size(), 1);
    const QStringList filters = dialogs_.filtersSeen[0].split(QStringLiteral(";;"));
    EXPECT_EQ(filters.size(), static_cast<qsizetype>(ExportFormats().size()));
    EXPECT_EQ(filters[0], "GL Transmission Format v. 2 (binary) (*.glb)");
    EXPECT_EQ(filters[2], "Wavefront OBJ format (*.obj)");
    EXPECT_EQ(dialogs_.selectedSeen, QStringList{filters[0]});
    EXPECT_EQ(dialogs_.startsSeen, QStringList{Q(kSamples / "fighter.glb")});

    EXPECT_EQ(ReadFile(dir_ / "ship.glb"), VexlorWrites(fighter, "--lod 2", "ship.glb"));
    EXPECT_EQ(Status(), Exported(FacesOfLevel(2), dir_ / "ship.glb"));
    EXPECT_TRUE(messages_.messages.isEmpty());

    // "All" exports every level; the next dialog starts in the folder chosen last.
    ChooseLevel(0);
    Export(dir_ / "all.glb");
    EXPECT_EQ(ReadFile(dir_ / "all.glb"), VexlorWrites(fighter, "--lod all", "all.glb"));
    EXPECT_EQ(dialogs_.startsSeen[1], Q(dir_ / "fighter.glb"));
    EXPECT_EQ(Written(), (std::vector<std::string>{"all.glb", "ship.glb"}));

    dialogs_.answers.clear();  // a cancelled dialog writes nothing and says nothing
    window_.findChild<QAction*>(QStringLiteral("exportAction"))->trigger();
    EXPECT_EQ(Written(), (std::vector<std::string>{"all.glb", "ship.glb"}));
}

TEST_F(FileExport, TheChosenFilterGivesANameItsFormatUnlessItsExtensionNamesAnother) {
    const fs::path fighter = kSamples / "fighter.opt";
    Open(fighter);
    // No extension: the filter's is added, with the side file.
    dialogs_.filterAnswers = {FilterOf("obj")};
    Export(dir_ / "model");
    EXPECT_EQ(ReadFile(dir_ / "model.obj"), VexlorWrites(fighter, "", "model.obj"));
    EXPECT_TRUE(fs::exists(dir_ / "model.mtl"));
    // OBJ keeps no nodes: the hardpoints and descriptors are left out, with a warning.
    EXPECT_TRUE(Status().endsWith("model.obj with 1 warning (listed)")) << Status().toStdString();
    // The filter's own extension: the filter's format (ASCII STL, where .stl alone means binary).
    dialogs_.filterAnswers = {FilterOf("stl")};
    Export(dir_ / "part.stl");
    EXPECT_EQ(ReadFile(dir_ / "part.stl").rfind("solid", 0), 0u);
    // Another format's extension: that format, whatever the filter.
    dialogs_.filterAnswers = {FilterOf("glb2")};
    Export(dir_ / "cloud.ply");
    EXPECT_EQ(ReadFile(dir_ / "cloud.ply").rfind("ply", 0), 0u);
    EXPECT_EQ(Written(),
              (std::vector<std::string>{"cloud.ply", "model.mtl", "model.obj", "part.stl"}));
    EXPECT_TRUE(messages_.messages.isEmpty());
}

TEST_F(FileExport, AnAddedExtensionAsksBeforeItReplacesAFile) {
    Open(kSamples / "fighter.opt");
    std::ofstream(dir_ / "fighter.glb") << "old";
    messages_.answers = {false};
    Export(dir_ / "fighter");
    EXPECT_EQ(messages_.questions,
              QStringList{"fighter.glb already exists.\nDo you want to replace it?"});
    EXPECT_EQ(ReadFile(dir_ / "fighter.glb"), "old");
    messages_.answers = {true};
    Export(dir_ / "fighter");
    EXPECT_EQ(ReadFile(dir_ / "fighter.glb").substr(0, 4), "glTF");
}

TEST_F(FileExport, BeforeAnyOpenSaysNoOptLoaded) {
    Export(dir_ / "x.glb");
    const QAbstractItemModel* list =
        window_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))->model();
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->index(1, 0).data().toString(), "?? no opt loaded!");
    EXPECT_TRUE(dialogs_.filtersSeen.isEmpty());
    EXPECT_TRUE(Written().empty());
}

TEST_F(FileExport, AFailureIsInTheStatusBarAndAMessageBoxAndWritesNothing) {
    Open(kSamples / "fighter.opt");
    Export(dir_ / "missing" / "x.glb");
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_EQ(messages_.messages[0], "Cannot create file " + Q(dir_ / "missing" / "x.glb"));
    EXPECT_FALSE(messages_.details[0].isEmpty());
    EXPECT_EQ(Status(), messages_.messages[0]);
    ChooseLevel(3);
    messages_.answers << true;  // open it, although it does not look like an OPT file
    Open(kSamples / "broken" / "header-only.opt");
    Export(dir_ / "x.glb");
    EXPECT_EQ(messages_.messages.last(), "Nothing to export: the model has no faces");
    EXPECT_TRUE(Written().empty());
}

TEST_F(FileExport, WarningsAreListedAndCountedInTheStatusBar) {
    Open(kSamples / "broken" / "bad-indices.opt");
    ChooseLevel(0);
    Export(dir_ / "bad.glb");
    EXPECT_TRUE(fs::exists(dir_ / "bad.glb"));
    EXPECT_TRUE(Status().startsWith("Exported ")) << Status().toStdString();
    EXPECT_TRUE(Status().endsWith(" with 2 warnings (listed)")) << Status().toStdString();
    const QAbstractItemModel* list =
        window_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))->model();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->index(0, 0).data().toString(), "Export to " + Q(dir_ / "bad.glb") + ":");
    EXPECT_EQ(list->index(1, 0).data().toString(),
              "!! mesh 0, LOD 1, face block at offset 810: 10 corners with a vertex index outside "
              "the vertex table left out");
    EXPECT_TRUE(messages_.messages.isEmpty());
}

// A model of kExportProgressFaces faces or more is exported under a progress dialog; its Cancel
// button stops the export and leaves no file.
TEST_F(FileExport, ALargeModelShowsItsProgressAndCanBeCancelled) {
    vexlor::testing::WriteFile(
        (dir_ / "large.opt").string(),
        vexlor::testing::BuildLargeModel(static_cast<int>(kExportProgressFaces) + 20'000, 2));
    Open(dir_ / "large.opt");
    QStringList seen;
    const auto watch = [&](bool cancel) {
        QTimer::singleShot(0, &window_, [&, cancel] {
            auto* progress = window_.findChild<QProgressDialog*>(QStringLiteral("exportProgress"));
            if (progress == nullptr || !progress->isVisible()) return;
            seen << progress->labelText();
            if (cancel) progress->findChild<QPushButton*>()->click();
        });
    };
    watch(false);
    Export(dir_ / "large.glb");
    EXPECT_EQ(seen, QStringList{"Exporting to large.glb…"});
    EXPECT_TRUE(fs::exists(dir_ / "large.glb"));
    EXPECT_EQ(Status(), Exported(FacesOfLevel(1), dir_ / "large.glb"));
    EXPECT_EQ(window_.findChild<QProgressDialog*>(QStringLiteral("exportProgress")), nullptr);

    watch(true);
    Export(dir_ / "cancelled.glb");
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(Status(), "Export cancelled");
    EXPECT_EQ(Written(), (std::vector<std::string>{"large.glb", "large.opt"}));
    EXPECT_TRUE(messages_.messages.isEmpty());
}

}  // namespace
}  // namespace vexlor::desktop
