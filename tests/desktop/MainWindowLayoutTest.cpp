// The main window's layout and keyboard as a user meets them: the View menu and the view's tool
// bar, the docks with their names, places and sizes kept from one run to the next and put back by
// Reset layout, the rotation choice kept, a maximised first start not kept as maximised, Tab
// reaching every control, and panes that keep their width; the 3D view a recording stand-in.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <memory>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/MainWindow.h"
#include "inspector/SearchBar.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

class WindowLayout : public ::testing::Test {
  protected:
    WindowLayout() {
        dir_ = testing::TempFolderFor(
            "layout-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Start();
    }
    ~WindowLayout() override {
        window_.reset();
        settings_.reset();
        fs::remove_all(dir_);
    }
    // A new run of the program: the window reads what the last one kept.
    void Start() {
        if (window_) window_->SaveWindowSettings();
        window_.reset();
        settings_ = std::make_unique<QSettings>(
            QString::fromStdString((dir_ / "optvexlor.conf").string()), QSettings::IniFormat);
        window_ = std::make_unique<MainWindow>(
            MainWindow::Services{document_, view_, messages_, dialogs_,
                                 QStringLiteral(VEXLOR_SOURCE_DIR "/data"), settings_.get()});
    }
    void ShowAt(int width, int height) {
        window_->resize(width, height);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    template <typename T>
    T* Child(const char* name) const {
        T* child = window_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QRect Place(const char* name) const {
        const QWidget* widget = Child<QWidget>(name);
        return QRect(widget->mapTo(window_.get(), QPoint(0, 0)), widget->size());
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    fs::path dir_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(WindowLayout, TheViewsToolBarAndMenuRunItsKeysAndTheRotationAndShadedChoices) {
    ShowAt(1280, 800);
    const auto click = [this](const char* name) {
        QTest::mouseClick(Child<QToolButton>(name), Qt::LeftButton);
    };
    view_.calls.clear();
    for (const char* name :
         {"fitModelActionButton", "startViewActionButton", "frontViewActionButton",
          "rightViewActionButton", "topViewActionButton"})
        click(name);
    EXPECT_EQ(Child<QToolButton>("fitModelActionButton")->text(), "Fit");
    EXPECT_EQ(Child<QToolButton>("fitModelActionButton")->toolTip(),
              "Fit the model into the view (F)");
    Child<QAction>("fitMeshAction")->trigger();
    Child<QAction>("bottomViewAction")->trigger();
    EXPECT_EQ(view_.calls,
              (QStringList{"PressViewKey(F)", "PressViewKey(Home)", "PressViewKey(Num+1)",
                           "PressViewKey(Num+3)", "PressViewKey(Num+7)", "PressViewKey(Shift+F)",
                           "PressViewKey(Ctrl+Num+7)"}));

    // Shaded and rotation: the buttons, the menu items, the panel's boxes and the view's keys
    // in step.
    view_.calls.clear();
    click("shadedActionButton");
    EXPECT_TRUE(Child<QCheckBox>("shadedBox")->isChecked());
    EXPECT_TRUE(Child<QAction>("shadedAction")->isChecked());
    view_.events->ShadedChanged(false);
    EXPECT_FALSE(Child<QAction>("shadedAction")->isChecked());
    click("rotationActionButton");
    EXPECT_FALSE(Child<QCheckBox>("rotationBox")->isChecked());
    view_.events->RotationKeyPressed();
    EXPECT_TRUE(Child<QCheckBox>("rotationBox")->isChecked());
    EXPECT_TRUE(Child<QAction>("rotationAction")->isChecked());
    EXPECT_EQ(view_.calls,
              (QStringList{"SetShaded(1)", "RotationClicked(0)", "RotationClicked(1)"}));
}

TEST_F(WindowLayout, RotationIsOnAtTheFirstStartAndThenAsTheUserLeftIt) {
    EXPECT_TRUE(Child<QCheckBox>("rotationBox")->isChecked());
    Child<QCheckBox>("rotationBox")->click();
    Start();
    EXPECT_FALSE(Child<QCheckBox>("rotationBox")->isChecked());
    EXPECT_FALSE(Child<QAction>("rotationAction")->isChecked());
    Child<QAction>("rotationAction")->trigger();
    Start();
    EXPECT_TRUE(Child<QCheckBox>("rotationBox")->isChecked());
}

TEST_F(WindowLayout, DocksStartBesideTheTreeAreKeptAndResetLayoutPutsThemBack) {
    ShowAt(1280, 800);
    const auto defaultPlaces = [this] {
        // Tree | report | the view over the hex view; the findings below them all.
        const QRect tree = Place("treePane"), report = Place("reportPane");
        const QRect view = Place("viewDock"), hex = Place("hexDock"),
                    findings = Place("findingsDock");
        EXPECT_LT(tree.right(), report.left());
        EXPECT_LT(report.right(), view.left());
        EXPECT_LT(view.bottom(), hex.top());
        EXPECT_EQ(view.left(), hex.left());
        EXPECT_LT(report.bottom(), findings.top());
        EXPECT_LT(hex.bottom(), findings.top());
        // Room for the model, the bytes with their offsets and text, and more than five findings.
        EXPECT_GE(view.width(), 400);
        EXPECT_GE(view.height(), 250);
        EXPECT_GE(hex.width(), Child<QDockWidget>("hexDock")->widget()->sizeHint().width());
        const auto* table = Child<QTableView>("findingsTable");
        EXPECT_GT(table->viewport()->height() / table->verticalHeader()->defaultSectionSize(), 5);
    };
    defaultPlaces();

    // Floated, hidden and narrowed: kept so for the next run.
    Child<QDockWidget>("viewDock")->setFloating(true);
    Child<QDockWidget>("findingsDock")->hide();
    window_->resizeDocks({Child<QDockWidget>("hexDock")}, {120}, Qt::Horizontal);
    Start();
    ShowAt(1280, 800);
    EXPECT_TRUE(Child<QDockWidget>("viewDock")->isFloating());
    EXPECT_FALSE(Child<QDockWidget>("findingsDock")->isVisible());
    // ...but the hex view comes back wide enough for its offsets and text.
    EXPECT_GE(Child<QDockWidget>("hexDock")->width(),
              Child<QDockWidget>("hexDock")->widget()->sizeHint().width());

    Child<QAction>("resetLayoutAction")->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(Child<QDockWidget>("viewDock")->isFloating());
    EXPECT_TRUE(Child<QDockWidget>("findingsDock")->isVisible());
    defaultPlaces();
}

TEST_F(WindowLayout, AMaximisedFirstStartIsNotKeptAsMaximised) {
    window_->ShowAtStart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    EXPECT_TRUE(window_->isMaximized());
    Start();
    EXPECT_TRUE(window_->HasSavedGeometry());
    window_->ShowAtStart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    EXPECT_FALSE(window_->isMaximized());
}

TEST_F(WindowLayout, TabReachesEveryControlOfTheToolPanelAndThePanes) {
    ShowAt(1280, 800);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    Child<QWidget>("openButton")->setFocus();
    QStringList reached;
    for (int k = 0; k < 40; ++k) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        // A radio item stands for its group.
        const QWidget* named = qobject_cast<QRadioButton*>(focus) ? focus->parentWidget() : focus;
        if (!reached.contains(named->objectName())) reached << named->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (const char* control :
         {"openButton", "saveButton", "exitButton", "browseButton", "rotationBox", "spinSpeed",
          "shadedBox", "lodChoice", "normalCheckMode", "checkButton", "expandAllButton",
          "collapseAllButton", "expandButton", "structureTree", "reportList"})
        EXPECT_TRUE(reached.contains(QString::fromLatin1(control))) << control;

    // The keyboard works what it reaches: Space on "Check OPT" before any open.
    Child<QWidget>("checkButton")->setFocus();
    QTest::keyClick(Child<QWidget>("checkButton"), Qt::Key_Space);
    EXPECT_EQ(Child<QAbstractItemView>("reportList")->model()->index(1, 0).data().toString(),
              "?? no opt loaded!");
}

TEST_F(WindowLayout, SearchBarsAndGoToOffsetKeepThePanesAsWideAsTheyWere) {
    ShowAt(1280, 800);
    ASSERT_TRUE(window_->OpenFile(QString::fromStdString((kSamples / "fighter.opt").string())));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    const int treeWidth = Child<QWidget>("treePane")->width();
    Child<QTreeView>("structureTree")->setFocus();
    window_->Find();
    QTest::qWait(20);
    auto* bar = Child<inspector::SearchBar>("treeSearchBar");
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(Child<QWidget>("treePane")->width(), treeWidth);
    const QLineEdit* field = bar->findChild<QLineEdit*>(QStringLiteral("searchtext"));
    EXPECT_GE(field->width(),
              field->fontMetrics().horizontalAdvance(QStringLiteral("hardpoint 12")));

    // A long answer of Go to offset stays on one line; the status bar has all of it.
    const int hexWidth = Child<QDockWidget>("hexDock")->width();
    window_->OpenGoToOffset();
    auto* offset = Child<QLineEdit>("offsettext");
    QTest::keyClicks(offset, QStringLiteral("0x7FFFFFFFFFFFFFFFFFFF"));
    QTest::keyClick(offset, Qt::Key_Return);
    const auto* answer = Child<QLabel>("offsetstatus");
    EXPECT_FALSE(answer->wordWrap());
    EXPECT_FALSE(answer->text().isEmpty());
    EXPECT_EQ(window_->statusBar()->currentMessage(), answer->text());
    EXPECT_EQ(Child<QDockWidget>("hexDock")->width(), hexWidth);
}

TEST_F(WindowLayout, TheFindingsTextColumnGetsTheRoomAndTheOthersTheirContentsWidth) {
    ShowAt(1280, 800);
    ASSERT_TRUE(window_->OpenFile(QString::fromStdString((kSamples / "faulty.opt").string())));
    window_->RunCheck();
    auto* table = Child<QTableView>("findingsTable");
    ASSERT_GT(table->model()->rowCount(), 5);
    const QHeaderView* header = table->horizontalHeader();
    const int text = header->count() - 1;
    for (int column = 0; column < text; ++column)
        EXPECT_LT(header->sectionSize(column), header->sectionSize(text)) << column;
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
}

}  // namespace
}  // namespace vexlor::desktop
