// The browser window: its file list and grid of thumbnails, the preview that leaves the open file
// alone, load, back, the keyboard, the layout, and the failures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileSystemModel>
#include <QListView>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <atomic>
#include <filesystem>
#include <fstream>

#include "CommandRun.h"
#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/BrowserWindow.h"
#include "desktop/MainWindow.h"
#include "desktop/ModelThumbnail.h"
#include "desktop/ThumbnailGrid.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "reader/Version.h"
#include "samples/OptBuilder.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;
const fs::path kFighter = fs::path(VEXLOR_SOURCE_DIR) / "samples" / "fighter.opt";

std::vector<uint8_t> Box(float size) {
    testing::OptBuilder b;
    const int64_t v = b.AddVertices({{0, 0, 0}, {size, 0, 0}, {size, size, 0}, {0, size, 0}});
    testing::FaceInput face;
    face.Vertex = {0, 1, 2, 3};
    b.SetMeshes({b.AddJump(0, {v, b.AddFaces({face})})});
    return b.Build();
}

std::string TestName() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

class Browser : public ::testing::Test {
  protected:
    Browser()
        : cache_(testing::TempFolderFor("browse-cache-" + TestName())),
          main_({document_, view_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}),
          browser_(main_, view_, messages_,
                   {[this](const QString& path, int side) {
                        ++drawn_;
                        return DrawModelThumbnail(path, side);
                    },
                    ThumbnailCache(QString::fromStdString(cache_.string()))}) {
        dir_ = testing::TempFolderFor("browse-" + TestName());
        fs::remove_all(dir_);
        fs::remove_all(cache_);
        fs::create_directories(dir_ / "sub");
        testing::WriteFile((dir_ / "one.opt").string(), Box(1));
        testing::WriteFile((dir_ / "TWO.OPT").string(), Box(2));
        testing::WriteFile((dir_ / "three.Opt").string(), Box(3));
        std::ofstream(dir_ / "notes.txt") << "not a model";
        main_.SetBrowser(&browser_);
    }
    ~Browser() override {
        browser_.Grid()->CancelPending();
        browser_.Grid()->Jobs().WaitForDone();
        fs::remove_all(dir_);
        fs::remove_all(cache_);
    }

    // The files the list shows.
    QStringList ListedFiles() {
        const QModelIndex root = browser_.FileList()->rootIndex();
        QStringList names;
        for (int row = 0; row < browser_.Files()->rowCount(root); ++row) {
            if (!browser_.FileList()->isRowHidden(row))
                names << browser_.Files()->fileName(browser_.Files()->index(row, 0, root));
        }
        names.sort(Qt::CaseInsensitive);
        return names;
    }
    void ShowFolder(const fs::path& folder, int expected) {
        browser_.ChangeDirectory(QString::fromStdString(folder.string()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return ListedFiles().size() == expected; }))
            << folder << ": " << ListedFiles().join(u' ').toStdString();
    }

    fs::path cache_;
    std::atomic<int> drawn_{0};  // thumbnails drawn, not taken from the cache
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
    EXPECT_EQ(view_.calls,
              (QStringList{"StopRotation", "ShowLevelOfDetail(1)", "KeepCamera",
                           "ResetToPreviewView", "SetModel", "SetupScene", "ShowMesh(0)",
                           "FrameModel", "Redraw", "RestartRotation(1)"}));
    EXPECT_EQ(view_.model, &browser_.Preview().Model());
    ASSERT_EQ(static_cast<int64_t>(browser_.Preview().Model().DrawFaces.size()), 1);
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].X, 2.0f);
    EXPECT_GT(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->rowCount(),
              0);  // the main list keeps the open file's lines
    EXPECT_EQ(main_.windowTitle(), caption);
    EXPECT_EQ(document_.Model().Tree.Count(), nodes);

    // The open file's blocks are still what its tree nodes show.
    main_.findChild<QTreeView*>(QStringLiteral("structureTree"))
        ->setCurrentIndex(main_.TreeIndexOfNode(3));
    ASSERT_GT(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->rowCount(),
              1);
    EXPECT_EQ(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->index(0, 0)
                  .data()
                  .toString(),
              "This block is in MESH 0");
    EXPECT_TRUE(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
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
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].X, 2.0f);

    view_.calls.clear();
    QTest::mouseClick(items, Qt::LeftButton, {}, place("one.opt"));
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);
    EXPECT_EQ(browser_.Preview().Model().DrawFaces[0].Corners[2].X, 1.0f);

    // A double-click reaches the list as a click followed by a double-click event.
    QTest::mouseClick(items, Qt::LeftButton, {}, place("three.Opt"));
    QTest::mouseDClick(items, Qt::LeftButton, {}, place("three.Opt"));
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(main_.windowTitle(),
              "OPTvexlor - " + QString::fromStdString((dir_ / "three.Opt").string()));
    EXPECT_EQ(view_.model, &document_.Model());
}

TEST_F(Browser, BackShowsTheFileOpenedBeforeAgain) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ShowFolder(dir_, 3);
    browser_.SelectFile("one.opt");
    view_.calls.clear();
    browser_.GoBack();
    EXPECT_FALSE(browser_.isVisible());
    // The open file's camera comes back; nothing is read again.
    EXPECT_EQ(view_.calls, (QStringList{"StopRotation", "SetModel", "SetupScene",
                                        "ShowLevelOfDetail(1)", "ShowMesh(0)", "RestoreCamera",
                                        "Redraw", "RestartRotation(1)"}));
    EXPECT_EQ(view_.model, &document_.Model());
    EXPECT_EQ(main_.windowTitle(), "OPTvexlor - " + QString::fromStdString(kFighter.string()));

    // Closing the window acts as Back and keeps the window for next time.
    browser_.show();
    browser_.SelectFile("three.Opt");
    browser_.SelectFile("one.opt");
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

TEST_F(Browser, TheGridShowsEachModelDrawnAndKeepsItInTheThumbnailCache) {
    testing::WriteFile((dir_ / "broken.opt").string(), {});
    const auto path = [&](const char* name) {
        return QString::fromStdString((dir_ / name).string());
    };
    ThumbnailGrid& grid = *browser_.Grid();
    const auto visit = [&] {
        ShowFolder(dir_ / "sub", 0);
        ShowFolder(dir_, 4);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return grid.Pending() == 0 && !grid.Thumbnail(path("one.opt")).isNull(); },
            60'000));
    };
    browser_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser_));
    visit();
    for (const char* name : {"one.opt", "TWO.OPT", "three.Opt"}) {
        const QImage picture = grid.Thumbnail(path(name)).toImage();
        ASSERT_EQ(picture.size(), QSize(128, 128)) << name;
        EXPECT_EQ(picture.pixelColor(0, 0), QColor(Qt::black)) << name;
        bool red = false;  // the one face is mesh 0's: red
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                red = red || picture.pixelColor(x, y) == QColor(Qt::red);
        }
        EXPECT_TRUE(red) << name;
    }
    EXPECT_TRUE(grid.Thumbnail(path("broken.opt")).isNull());
    EXPECT_TRUE(grid.Problem(path("broken.opt")).contains("does not look like an OPT file"));
    EXPECT_EQ(drawn_, 4);

    // The entries as the thumbnail standard names and marks them, read by other programs.
    const auto entry = [&](const char* name, const std::string& folder) {
        const std::string uri = "file://" + (dir_ / name).string();
        const testing::CommandRun md5 =
            testing::RunCaught("printf %s '" + uri + "' | md5sum", dir_ / "md5");
        return std::pair{cache_ / folder / (md5.out.substr(0, 32) + ".png"), uri};
    };
    const auto [one, oneUri] = entry("one.opt", "normal");
    const std::string bytes = testing::ReadWhole(one);
    const auto mtime = std::to_string(QFileInfo(path("one.opt")).lastModified().toSecsSinceEpoch());
    EXPECT_NE(bytes.find("tEXtThumb::URI" + std::string(1, '\0') + oneUri), std::string::npos);
    EXPECT_NE(bytes.find("tEXtThumb::MTime" + std::string(1, '\0') + mtime), std::string::npos);
    EXPECT_EQ(
        testing::RunCaught("identify -format '%m %wx%h' '" + one.string() + "'", dir_ / "id").out,
        "PNG 128x128");
    EXPECT_EQ(fs::status(one).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::exists(entry("broken.opt", "fail/optvexlor-" VEXLOR_VERSION).first));

    // The second visit takes every picture, and the failure, from the cache; a changed file is
    // drawn again.
    visit();
    EXPECT_FALSE(grid.Thumbnail(path("three.Opt")).isNull());
    EXPECT_FALSE(grid.Problem(path("broken.opt")).isEmpty());
    EXPECT_EQ(drawn_, 4);
    fs::last_write_time(dir_ / "one.opt",
                        fs::last_write_time(dir_ / "one.opt") + std::chrono::seconds(10));
    visit();
    EXPECT_EQ(drawn_, 5);
}

TEST_F(Browser, TheGridAnswersTheMouseAndTheKeysAsTheListDoes) {
    main_.OpenFile(QString::fromStdString(kFighter.string()));
    browser_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser_));
    ShowFolder(dir_, 3);
    QListView* grid = browser_.Grid();
    const QModelIndex two =
        browser_.Files()->index(QString::fromStdString((dir_ / "TWO.OPT").string()));
    grid->scrollTo(two);

    view_.calls.clear();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(two).center());
    EXPECT_EQ(browser_.SelectedPath(), QString::fromStdString((dir_ / "TWO.OPT").string()));
    EXPECT_EQ(browser_.FileList()->currentIndex(), two);  // one choice for the list and the grid
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);

    view_.calls.clear();
    QTest::keyClick(grid, two.row() == 0 ? Qt::Key_Right : Qt::Key_Left);
    const QString moved = browser_.SelectedPath();
    EXPECT_FALSE(moved.isEmpty());
    EXPECT_NE(moved, QString::fromStdString((dir_ / "TWO.OPT").string()));
    EXPECT_EQ(view_.calls.count("SetupScene"), 1);

    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(main_.CurrentFileName(), moved);
}

TEST_F(Browser, TheKeyboardChoosesFoldersLoadsAndGoesBackAndTheLayoutGrows) {
    browser_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&browser_));
    EXPECT_EQ(browser_.size(), QSize(432, 169));
    auto* load = browser_.findChild<QToolButton*>(QStringLiteral("loadButton"));
    EXPECT_EQ(load->text(), "&Load");
    EXPECT_EQ(load->toolTip(), "load this OPT!");
    QWidget* afterList = browser_.FileList()->nextInFocusChain();
    while (afterList != nullptr && !(afterList->focusPolicy() & Qt::TabFocus))
        afterList = afterList->nextInFocusChain();
    EXPECT_EQ(afterList, browser_.Grid());  // Tab goes from the list to the grid

    // The arrow keys in the folder tree list the folder they land on.
    ShowFolder(dir_ / "sub", 0);
    auto* folders = browser_.findChild<QTreeView*>(QStringLiteral("folderTree"));
    QTest::keyClick(folders, Qt::Key_Up);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return browser_.CurrentDirectory() == QString::fromStdString(dir_.string()); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ListedFiles().size() == 3; }));

    // Enter in the list loads the chosen file; Escape goes back.
    ASSERT_TRUE(browser_.SelectFile("one.opt"));
    QTest::keyClick(browser_.FileList(), Qt::Key_Enter);
    EXPECT_FALSE(browser_.isVisible());
    EXPECT_EQ(main_.CurrentFileName(), QString::fromStdString((dir_ / "one.opt").string()));
    browser_.show();
    QTest::keyClick(folders, Qt::Key_Escape);
    EXPECT_FALSE(browser_.isVisible());

    // The lists and the grid take the room a larger window gives.
    browser_.show();
    const QSize list = browser_.FileList()->size(), grid = browser_.Grid()->size();
    browser_.resize(1000, 600);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return browser_.FileList()->height() > list.height() + 300 &&
               browser_.Grid()->width() > grid.width() + 300;
    })) << browser_.FileList()->height()
        << " " << browser_.Grid()->width();
    browser_.hide();
}

}  // namespace
}  // namespace vexlor::desktop
