// The main window keeps the user's place: the browser left without loading, another node chosen,
// a face named by a pane, Tab through the panes, panels of another file. Everything is done with
// clicks and keys on the whole window.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/BrowserWindow.h"
#include "desktop/MainWindow.h"
#include "inspector/FindingsPanel.h"
#include "inspector/FindingsTableModel.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/ReportListView.h"
#include "reader/BlockTypes.h"
#include "reader/RecordPlaces.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

class KeepsThePlace : public ::testing::Test {
  protected:
    KeepsThePlace()
        : window_(
              {document_, view_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}),
          browser_(window_, view_, messages_) {
        window_.SetBrowser(&browser_);
        window_.resize(1600, 1150);
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
        window_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
    }
    // The report list scrolled to its end, once its rows are laid out.
    void ScrollReportToEnd() {
        QScrollBar* scroll = Report()->verticalScrollBar();
        ASSERT_TRUE(QTest::qWaitFor([&] { return scroll->maximum() > 0; }));
        scroll->setValue(scroll->maximum());
    }
    ~KeepsThePlace() override { browser_.hide(); }

    template <typename T>
    T* Child(const char* name) const {
        T* child = window_.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Open(const char* name) {
        ASSERT_TRUE(window_.OpenFile(QString::fromStdString((kSamples / name).string())));
    }
    void Click(const char* button) { QTest::mouseClick(Child<QWidget>(button), Qt::LeftButton); }
    QTreeView* Tree() const { return Child<QTreeView>("structureTree"); }
    inspector::ReportListView* Report() const {
        return Child<inspector::ReportListView>("reportList");
    }
    // A click on the tree's node whose caption starts with `caption`.
    void ClickNode(const QString& caption) {
        const QModelIndexList found =
            Tree()->model()->match(Tree()->model()->index(0, 0), Qt::DisplayRole, caption, 1,
                                   Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        Tree()->scrollTo(found[0]);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                          Tree()->visualRect(found[0]).center());
        ASSERT_EQ(Tree()->currentIndex(), found[0]);
    }
    // A click on the node's row of the tree.
    void ClickNode(int32_t node) {
        const QModelIndex index = window_.TreeIndexOfNode(node);
        Tree()->scrollTo(index);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {},
                          Tree()->visualRect(index).center());
        ASSERT_EQ(window_.ChosenNode(), node);
    }
    // The first node of a block of `type` whose report has the most lines.
    int32_t LongestBlockOf(int32_t type) {
        int32_t longest = -1;
        size_t lines = 0;
        const OptModel& model = document_.Model();
        for (size_t k = 0; k < model.BlockTable.size(); ++k) {
            if (model.BlockTable[k].Type != type) continue;
            std::vector<std::string> report;
            document_.DisplayBlock(static_cast<int32_t>(k), report, nullptr);
            if (report.size() > lines) {
                lines = report.size();
                longest = static_cast<int32_t>(k);
            }
        }
        return longest;
    }
    // The menu's item chosen with the mouse, from the menu bar.
    void ClickMenu(const char* menuName, const char* itemName) {
        auto* menu = Child<QMenu>(menuName);
        QMenuBar* bar = window_.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
        auto* item = Child<QAction>(itemName);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    }
    int TopRow() const { return Report()->indexAt(QPoint(4, 4)).row(); }
    int ExpandedNodes() const {
        int expanded = 0;
        for (QModelIndex at = Tree()->model()->index(0, 0); at.isValid();
             at = Tree()->indexBelow(at))
            expanded += Tree()->isExpanded(at) ? 1 : 0;
        return expanded;
    }
    int FindingRows() const {
        return Child<inspector::FindingsPanel>("findingsPanel")->Rows()->rowCount();
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow window_;
    BrowserWindow browser_;
};

TEST_F(KeepsThePlace, LeavingTheBrowserWithoutLoadingLeavesTheWindowAsItWas) {
    window_.resize(1280, 800);  // the check's lines do not fit the report list
    Open("faulty.opt");
    Click("expandAllButton");
    ClickNode(QStringLiteral("Data block 3 at 22"));
    Click("checkButton");
    const int findings = FindingRows();
    ASSERT_GT(findings, 5);
    ScrollReportToEnd();
    auto* hex = window_.findChild<inspector::HexPane*>();
    ASSERT_NE(hex, nullptr);
    const int32_t node = window_.ChosenNode();
    const int expanded = ExpandedNodes();
    const int reportRows = Report()->model()->rowCount();
    const int reportScroll = Report()->verticalScrollBar()->value();
    const int64_t hexPlace = hex->View()->CurrentOffset();
    ASSERT_GT(expanded, 3);
    ASSERT_GT(reportScroll, 0);
    const auto same = [&] {
        EXPECT_EQ(window_.ChosenNode(), node);
        EXPECT_EQ(ExpandedNodes(), expanded);
        EXPECT_EQ(Report()->model()->rowCount(), reportRows);
        EXPECT_EQ(Report()->verticalScrollBar()->value(), reportScroll);
        EXPECT_EQ(hex->View()->CurrentOffset(), hexPlace);
        EXPECT_EQ(FindingRows(), findings);
        EXPECT_EQ(view_.model, &document_.Model());
        EXPECT_FALSE(view_.calls.contains("ResetToStartView"))
            << view_.calls.join(u' ').toStdString();
        EXPECT_FALSE(view_.calls.contains("FrameModel"));
    };

    // Escape without touching a model: nothing changes, the view included.
    view_.calls.clear();
    Click("browseButton");
    ASSERT_TRUE(browser_.isVisible());
    QTest::keyClick(browser_.FileList(), Qt::Key_Escape);
    EXPECT_FALSE(browser_.isVisible());
    same();
    EXPECT_TRUE(view_.calls.isEmpty()) << view_.calls.join(u' ').toStdString();

    // A model previewed, then Cancel: the open file is back in the view with its camera.
    Click("browseButton");
    browser_.ChangeDirectory(QString::fromStdString(kSamples.string()));
    ASSERT_TRUE(browser_.SelectFile(QStringLiteral("seam.opt")));
    EXPECT_NE(view_.model, &document_.Model());
    EXPECT_EQ(Report()->model()->rowCount(), reportRows);  // the panes are not touched
    view_.calls.clear();
    QTest::mouseClick(browser_.findChild<QWidget*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    EXPECT_FALSE(browser_.isVisible());
    same();
    EXPECT_TRUE(view_.calls.contains("RestoreCamera")) << view_.calls.join(u' ').toStdString();
}

TEST_F(KeepsThePlace, AnotherNodeShowsItsReportFromItsFirstLine) {
    Open("fighter.opt");
    Click("expandAllButton");
    ClickNode(LongestBlockOf(kTypeVertex));
    ScrollReportToEnd();
    ASSERT_GT(TopRow(), 0);
    ClickNode(LongestBlockOf(kTypeFace));
    EXPECT_EQ(Report()->verticalScrollBar()->value(), 0);
    EXPECT_EQ(TopRow(), 0);
}

TEST_F(KeepsThePlace, AFaceNamedByTheReportOrTheHexViewIsShownInTheView) {
    Open("fighter.opt");
    Click("expandAllButton");
    const int32_t node = LongestBlockOf(kTypeFace);
    const int64_t block = document_.Model().BlockTable[static_cast<size_t>(node)].Offset;
    ClickNode(node);
    Child<QWidget>("viewDock")->hide();

    // A click on a line of face 2's record in the report.
    const QModelIndexList heading =
        Report()->model()->match(Report()->model()->index(0, 0), Qt::DisplayRole,
                                 QStringLiteral("FACE 2"), 1, Qt::MatchExactly);
    ASSERT_EQ(heading.size(), 1);
    const QModelIndex line = Report()->model()->index(heading[0].row() + 1, 0);
    Report()->scrollTo(line);
    QTest::mouseClick(Report()->viewport(), Qt::LeftButton, {},
                      Report()->visualRect(line).center());
    EXPECT_EQ(view_.highlight, (std::pair<int64_t, int32_t>{block, 2}));
    EXPECT_TRUE(Child<QWidget>("viewDock")->isVisible());

    // A double-click on face 3's bytes in the hex view.
    auto* hex = window_.findChild<inspector::HexPane*>();
    ASSERT_NE(hex, nullptr);
    const int64_t byte =
        RangeOf(document_.Stream(), document_.Model().GlobalOffset, FaceRecordRef(block, 3)).Begin;
    hex->View()->GoToOffset(byte);
    QTest::mouseDClick(hex->View()->viewport(), Qt::LeftButton, {},
                       hex->View()->HexCellRect(byte).center());
    EXPECT_EQ(view_.highlight, (std::pair<int64_t, int32_t>{block, 3}));

    // A search hit in the report on face 4's line.
    QTest::mouseClick(Report()->viewport(), Qt::LeftButton, {},
                      Report()->visualRect(Report()->currentIndex()).center());
    QTest::keyClick(Report(), Qt::Key_F, Qt::ControlModifier);
    auto* search = Child<QWidget>("reportSearchBar")->findChild<QWidget*>("searchtext");
    ASSERT_TRUE(QTest::qWaitFor([&] { return search->hasFocus(); }));
    QTest::keyClicks(search, QStringLiteral("face 4 vert ind"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view_.highlight.second == 4; }));
    EXPECT_EQ(view_.highlight, (std::pair<int64_t, int32_t>{block, 4}));
}

TEST_F(KeepsThePlace, PanelsShowTheOpenFilesStateOrSayThereIsNone) {
    Open("faulty.opt");
    auto* summary = Child<QLabel>("repairSummary");
    auto* repairDock = Child<QDockWidget>("repairDock");
    EXPECT_EQ(summary->text(), "Repair not run for this file");
    // A closed repair panel comes back from the Inspect menu, in front.
    repairDock->close();
    ClickMenu("inspectMenu", "repairViewAction");
    EXPECT_TRUE(repairDock->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !summary->visibleRegion().isEmpty(); }));

    messages_.answers << true;
    ClickMenu("fileMenu", "repairAction");
    EXPECT_TRUE(summary->text().startsWith("3 changes")) << summary->text().toStdString();
    QTest::keyClick(&window_, Qt::Key_F5);
    EXPECT_EQ(summary->text(), "Repair not run for this file");

    // The compare panel forgets the other file when another file is opened.
    dialogs_.answers << QString::fromStdString((kSamples / "seam.opt").string());
    ClickMenu("fileMenu", "compareAction");
    auto* compareDock = Child<QDockWidget>("compareDock");
    auto* compareCount = Child<QLabel>("compareCount");
    EXPECT_EQ(compareDock->windowTitle(), "Compare with seam.opt");
    EXPECT_TRUE(compareCount->text().endsWith("rows")) << compareCount->text().toStdString();
    Open("fighter.opt");
    EXPECT_EQ(compareDock->windowTitle(), "Compare");
    EXPECT_EQ(compareCount->text(), "Compare not run for this file");
}

TEST_F(KeepsThePlace, TabGoesRoundEveryPaneTheViewIncludedAndArrowsMoveInATable) {
    auto* view = new QWidget;
    view->setFocusPolicy(Qt::StrongFocus);
    window_.PlaceView(view);
    Open("fighter.opt");
    Click("expandAllButton");
    ClickNode(LongestBlockOf(kTypeFace));
    auto* values = Child<QTableView>("recordValues");
    auto* hex = window_.findChild<inspector::HexPane*>();
    ASSERT_NE(hex, nullptr);
    QTest::mouseClick(hex->View()->viewport(), Qt::LeftButton, {},
                      hex->View()->HexCellRect(hex->View()->CurrentOffset() + 4).center());
    ASSERT_GT(values->model()->rowCount(), 2);
    QTest::mouseClick(values->viewport(), Qt::LeftButton, {},
                      values->visualRect(values->model()->index(0, 0)).center());
    ASSERT_EQ(QApplication::focusWidget(), values);
    QTest::keyClick(values, Qt::Key_Down);
    EXPECT_EQ(values->currentIndex().row(), 1);

    for (const Qt::KeyboardModifiers back : {Qt::NoModifier, Qt::ShiftModifier}) {
        QList<QWidget*> visited;
        for (int press = 0; press < 80; ++press) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, back);
            if (QApplication::focusWidget() == values) break;
            visited << QApplication::focusWidget();
        }
        EXPECT_EQ(QApplication::focusWidget(), values) << "shift " << (back != Qt::NoModifier);
        for (QWidget* pane : {static_cast<QWidget*>(view), static_cast<QWidget*>(Tree()),
                              static_cast<QWidget*>(Report()), static_cast<QWidget*>(hex->View())})
            EXPECT_TRUE(visited.contains(pane)) << pane->metaObject()->className();
    }
}

TEST_F(KeepsThePlace, WithNoFileTheCaptionsSaySo) {
    auto* view = new QWidget;
    view->setWindowTitle(QStringLiteral("GLform"));
    window_.PlaceView(view);
    auto* viewDock = Child<QDockWidget>("viewDock");
    EXPECT_EQ(viewDock->windowTitle(), "3D view");
    EXPECT_EQ(Tree()->model()->index(0, 0).data().toString(), "No file open");
    Open("seam.opt");
    EXPECT_EQ(Tree()->model()->index(0, 0).data().toString(), "OPTfile");
    view->setWindowTitle(QStringLiteral("Model size = approx. 1 metres"));
    EXPECT_EQ(viewDock->windowTitle(), "Model size = approx. 1 metres");
}

TEST_F(KeepsThePlace, ExitShowsCtrlQOpenListsAllFilesAndADeletedFileLeavesTheRecentFiles) {
    EXPECT_EQ(Child<QAction>("exitAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    Click("openButton");  // the dialog, cancelled
    ASSERT_EQ(dialogs_.filtersSeen.size(), 1);
    EXPECT_TRUE(dialogs_.filtersSeen[0].split(QStringLiteral(";;")).contains("All files (*)"));

    const fs::path folder = testing::TempFolderFor("recent-deleted");
    fs::create_directories(folder);
    const fs::path copy = folder / "gone.opt";
    fs::copy_file(kSamples / "seam.opt", copy, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(window_.OpenFile(QString::fromStdString(copy.string())));
    Open("fighter.opt");
    fs::remove_all(folder);
    auto* file = Child<QMenu>("fileMenu");
    QMenuBar* bar = window_.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return file->isVisible(); }));
    auto* recent = Child<QMenu>("recentMenu");
    QTest::mouseClick(file, Qt::LeftButton, {},
                      file->actionGeometry(recent->menuAction()).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return recent->isVisible(); }));
    EXPECT_TRUE(Child<QAction>("recentFile1")->isVisible());
    EXPECT_TRUE(Child<QAction>("recentFile1")->text().endsWith("fighter.opt"));
    EXPECT_FALSE(Child<QAction>("recentFile2")->isVisible());
    QTest::keyClick(recent, Qt::Key_Escape);
    QTest::keyClick(file, Qt::Key_Escape);
}

}  // namespace
}  // namespace vexlor::desktop
