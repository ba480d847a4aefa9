// The browser window: its file list, the preview that leaves the open file alone, load, back,
// and the failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileSystemModel>
#include <QListView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/BrowserWindow.h"
#include "desktop/MainWindow.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "samples/OptBuilder.h"

namespace vexlor::app {
namespace {

namespace fs = std::filesystem;
const fs::path kFighter = fs::path(VEXLOR_SOURCE_DIR) / "samples" / "fighter.opt";

std::vector<uint8_t> Box(float size) {
    testing::OptBuilder b;
    const int64_t v = b.AddVertices({{0, 0, 0}, {size, 0, 0}, {size, size, 0}, {0, size, 0}});
    testing::FaceInput face;
    face.vertex = {0, 1, 2, 3};
    b.SetMeshes({b.AddJump(0, {v, b.AddFaces({face})})});
    return b.Build();
}

class Browser : public ::testing::Test {
  protected:
    Browser()
        : main_({document_, view_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}),
          browser_(main_, view_, messages_) {
        dir_ = testing::TempFolderFor(
            "browse-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sub");
        testing::WriteFile((dir_ / "one.opt").string(), Box(1));
        testing::WriteFile((dir_ / "TWO.OPT").string(), Box(2));
        testing::WriteFile((dir_ / "three.Opt").string(), Box(3));
        std::ofstream(dir_ / "notes.txt") << "not a model";
        main_.SetBrowser(&browser_);
    }
    ~Browser() override { fs::remove_all(dir_); }

    QStringList ListedFiles() {
        const QModelIndex root = browser_.FileList()->rootIndex();
        QStringList names;
        for (int row = 0; row < browser_.Files()->rowCount(root); ++row)
            names << browser_.Files()->fileName(browser_.Files()->index(row, 0, root));
        names.sort(Qt::CaseInsensitive);
        return names;
    }
    void ShowFolder(const fs::path& folder, int expected) {
        browser_.ChangeDirectory(QString::fromStdString(folder.string()));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return browser_.Files()->rowCount(browser_.FileList()->rootIndex()) == expected;
        })) << folder;
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow main_;
    BrowserWindow browser_;
    fs::path dir_;
};

TEST_F(Browser, ShowingItChangesNothingElse) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    const QString caption = main_.windowTitle();
    view_.calls.clear();
    main_.ShowBrowser();
    EXPECT_TRUE(browser_.isVisible());
    EXPECT_EQ(browser_.windowTitle(), "OPTvexlor Browser");
    EXPECT_EQ(main_.windowTitle(), caption);
    EXPECT_TRUE(view_.calls.isEmpty());
    browser_.hide();
}

TEST_F(Browser, ListsOptFilesInAnyLetterCaseAndChangingFolderPreviewsNothing) {
    ShowFolder(dir_, 3);
    EXPECT_EQ(ListedFiles(), (QStringList{"one.opt", "three.Opt", "TWO.OPT"}));
    view_.calls.clear();
    ShowFolder(dir_ / "sub", 0);
    EXPECT_TRUE(ListedFiles().isEmpty());
    EXPECT_TRUE(view_.calls.isEmpty());
    EXPECT_TRUE(browser_.SelectedPath().isEmpty());
}

TEST_F(Browser, PreviewDrawsTheFileButLeavesTheOpenFileAlone) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    const QString caption = main_.windowTitle();
    const int32_t nodes = document_.Model().Tree.Count();
    main_.findChild<QTreeView*>(QStringLiteral("structureTree"))
        ->setCurrentIndex(main_.TreeIndexOfNode(2));
    ShowFolder(dir_, 3);
    view_.calls.clear();
    ASSERT_TRUE(browser_.SelectFile("TWO.OPT"));
    EXPECT_EQ(
        view_.calls,
        (QStringList{"StopRotation", "ShowLevelOfDetail(1)", "ResetToPreviewView", "SetModel",
                     "SetupScene", "ShowMesh(0)", "FrameModel", "Redraw", "RestartRotation(1)"}));
    EXPECT_EQ(view_.model, &browser_.Preview().Model());
    ASSERT_EQ(static_cast<int64_t>(browser_.Preview().Model().DrawFaces.size()), 1);
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].x, 2.0f);
    EXPECT_EQ(main_.findChild<ReportListView*>(QStringLiteral("reportList"))->model()->rowCount(),
              0);  // the main list is cleared
    EXPECT_EQ(main_.windowTitle(), caption);
    EXPECT_EQ(document_.Model().Tree.Count(), nodes);

    // The open file's blocks are still what its tree nodes show.
    main_.findChild<QTreeView*>(QStringLiteral("structureTree"))
        ->setCurrentIndex(main_.TreeIndexOfNode(3));
    ASSERT_GT(main_.findChild<ReportListView*>(QStringLiteral("reportList"))->model()->rowCount(),
              1);
    EXPECT_EQ(main_.findChild<ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->index(0, 0)
                  .data()
                  .toString(),
              "This block is in MESH 0");
    EXPECT_TRUE(main_.findChild<ReportListView*>(QStringLiteral("reportList"))
                    ->model()
                    ->index(2, 0)
                    .data()
                    .toString()
                    .contains(QString::number(document_.Model().BlockTable[3].Offset)));

    // Arrow keys move through the list, previewing each file.
    view_.calls.clear();
    QTest::keyClick(browser_.FileList(), Qt::Key_Up);
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);
}

TEST_F(Browser, AClickOnAFilePreviewsItAndADoubleClickLoadsIt) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser_));
    ShowFolder(dir_, 3);
    const auto place = [&](const char* name) {
        const QModelIndex index =
            browser_.Files()->index(QString::fromStdString((dir_ / name).string()));
        browser_.FileList()->scrollTo(index);
        return browser_.FileList()->visualRect(index).center();
    };
    QWidget* items = browser_.FileList()->viewport();

    view_.calls.clear();
    QTest::mouseClick(items, Qt::LeftButton, {}, place("TWO.OPT"));
    EXPECT_EQ(browser_.SelectedPath(), QString::fromStdString((dir_ / "TWO.OPT").string()));
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);
    ASSERT_EQ(static_cast<int64_t>(browser_.Preview().Model().DrawFaces.size()), 1);
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].x, 2.0f);

    view_.calls.clear();
    QTest::mouseClick(items, Qt::LeftButton, {}, place("one.opt"));
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].x, 1.0f);

    // A double-click reaches the list as a click followed by a double-click event.
    QTest::mouseClick(items, Qt::LeftButton, {}, place("three.Opt"));
    QTest::mouseDClick(items, Qt::LeftButton, {}, place("three.Opt"));
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(main_.windowTitle(),
              "OPTvexlor - " + QString::fromStdString((dir_ / "three.Opt").string()));
    EXPECT_EQ(view_.model, &document_.Model());
}

TEST_F(Browser, BackReopensTheFileOpenedBefore) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ShowFolder(dir_, 3);
    browser_.SelectFile("one.opt");
    view_.calls.clear();
    browser_.GoBack();
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(view_.calls, (QStringList{"StopRotation", "ShowLevelOfDetail(1)", "SetModel",
                                        "SetupScene", "ShowMesh(0)", "ResetToStartView",
                                        "FrameModel", "Redraw", "RestartRotation(1)"}));
    EXPECT_EQ(view_.model, &document_.Model());
    EXPECT_EQ(main_.windowTitle(), "OPTvexlor - " + QString::fromStdString(kFighter.string()));

    // Closing the window acts as Back and keeps the window for next time.
    browser_.show();
    view_.calls.clear();
    browser_.close();
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_TRUE(view_.calls.contains("SetupScene"));
    EXPECT_EQ(browser_.CurrentDirectory(), QString::fromStdString(dir_.string()));
    EXPECT_EQ(browser_.SelectedPath(), QString::fromStdString((dir_ / "one.opt").string()));
}

TEST_F(Browser, BackWithNothingOpenedBeforeKeepsThePreviewInTheView) {
    browser_.show();
    ShowFolder(dir_, 3);
    browser_.SelectFile("one.opt");
    view_.calls.clear();
    browser_.GoBack();
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_TRUE(view_.calls.isEmpty());
    EXPECT_EQ(view_.model, &browser_.Preview().Model());
    EXPECT_EQ(document_.Model().Tree.Count(), 1);
}

TEST_F(Browser, LoadMakesThePreviewedFileTheOpenFile) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ShowFolder(dir_, 3);
    browser_.SelectFile("three.Opt");
    browser_.LoadSelectedFile();
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(main_.windowTitle(),
              "OPTvexlor - " + QString::fromStdString((dir_ / "three.Opt").string()));
    EXPECT_EQ(main_.CurrentFileName(), QString::fromStdString((dir_ / "three.Opt").string()));
    EXPECT_EQ(document_.Model().Tree.Count(), 4);
    EXPECT_EQ(view_.model, &document_.Model());
}

TEST_F(Browser, FailuresSayCannotOpenAndKeepTheWindow) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ShowFolder(dir_, 3);
    // A file that vanished after it was listed.
    fs::remove(dir_ / "one.opt");
    view_.calls.clear();
    browser_.SelectFile("one.opt");
    EXPECT_EQ(messages_.messages, QStringList{"Cannot open file " +
                                              QString::fromStdString((dir_ / "one.opt").string())});
    // The rotation stays stopped and nothing is drawn.
    EXPECT_EQ(view_.calls, (QStringList{"StopRotation", "ShowLevelOfDetail(1)"}));

    messages_.messages.clear();
    browser_.FileList()->selectionModel()->clear();
    browser_.LoadSelectedFile();
    EXPECT_EQ(messages_.messages, QStringList{"Cannot open file "});
    EXPECT_TRUE(browser_.isVisible());
    // The file opened before is still the one that Back re-opens.
    EXPECT_EQ(main_.CurrentFileName(), QString::fromStdString(kFighter.string()));
    browser_.hide();
}

}  // namespace
}  // namespace vexlor::app
