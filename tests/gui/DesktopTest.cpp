// The desktop program's windows together with the real 3D view and rotation thread: what a load,
// a block choice, the level of detail and the browser do to the picture, read back from frames.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "BrowserWindow.h"
#include "DesktopProgram.h"
#include "GlViewLink.h"
#include "MainWindow.h"
#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "ScriptedFileDialogs.h"
#include "StructureTreeModel.h"
#include "TempFolder.h"
#include "ViewKeys.h"
#include "ViewTestSupport.h"

namespace vexlor::app {
namespace {

namespace fs = std::filesystem;
using view::testing::ColumnOf;
using view::testing::Hue;
using view::testing::HueOf;
using view::testing::Near;
using view::testing::PixelsOf;
using view::testing::PixelsWhere;
using view::testing::RowOf;

class Desktop : public ::testing::Test {
  protected:
    Desktop()
        : link_(state_),
          main_({document_, link_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}),
          viewWindow_(state_),
          browser_(main_, link_, messages_) {
        link_.Attach(&viewWindow_);
        main_.SetBrowseForm(&browser_);
        viewWindow_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&viewWindow_));
        dir_ = testing::TempFolderFor(
            "desktop-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        model_ = (dir_ / "two.opt").string();
        testing::WriteFile(model_, view::testing::TwoMeshModel().bytes);
    }
    ~Desktop() override {
        link_.StopRotation();
        fs::remove_all(dir_);
    }
    void StopTurning() {
        QCheckBox* box = main_.findChild<QCheckBox*>(QStringLiteral("rotationBox"));
        if (box->isChecked()) box->click();
    }
    void Choose(int32_t node) {
        main_.Tree()->setCurrentIndex(main_.TreeModel()->IndexOfNode(node));
    }
    QRadioButton* Item(const char* group, int index) {
        return main_.findChild<QGroupBox*>(QString::fromLatin1(group))
            ->findChildren<QRadioButton*>()[index];
    }

    view::ViewState state_;
    OptDocument document_;
    GlViewLink link_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow main_;
    view::ViewWindow viewWindow_;
    BrowserWindow browser_;
    fs::path dir_;
    std::string model_;
};

TEST_F(Desktop, AnOpenDrawsMeshZeroRedAndNamesTheModelSize) {
    EXPECT_EQ(viewWindow_.windowTitle(), "GLform");
    StopTurning();
    ASSERT_TRUE(main_.OpenFile(QString::fromStdString(model_)));
    EXPECT_EQ(viewWindow_.windowTitle(), "Model size = approx. 19.5122 metres (BoP/XWA)");
    const QImage frame = viewWindow_.GrabFrame();
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(-300), RowOf(0))), Hue::Red);
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(300), RowOf(0))), Hue::Cyan);
}

TEST_F(Desktop, ChoosingABlockPaintsItsMeshAndItsMarker) {
    StopTurning();
    main_.OpenFile(QString::fromStdString(model_));
    const OptModel& store = document_.Model();
    const int32_t mesh1 = store.Tree.Node(0).Children[1];
    Choose(mesh1 + 1);  // mesh 1's vertex block
    QImage frame = viewWindow_.GrabFrame();
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(-300), RowOf(0))), Hue::Cyan);
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(300), RowOf(0))), Hue::Red);

    int32_t hardpoint = -1;
    for (int32_t k = 0; k < store.Tree.Count(); ++k)
        if (store.BlockTable[static_cast<size_t>(k)].Type == 22) hardpoint = k;
    ASSERT_GE(hardpoint, 0);
    Choose(hardpoint);
    frame = viewWindow_.GrabFrame();
    EXPECT_FALSE(PixelsWhere(frame, [](QRgb c) { return Near(c, 51, 153, 255); }).isEmpty());
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(-300), RowOf(0))), Hue::Red);
}

TEST_F(Desktop, AClosedViewComesBackFromTheViewMenuAsItWas) {
    StopTurning();
    main_.OpenFile(QString::fromStdString(model_));
    viewWindow_.KeyDown(view::vk::kLeft, Qt::NoModifier);  // a turn the view must keep
    const QImage before = viewWindow_.GrabFrame();
    const QString caption = viewWindow_.windowTitle();
    viewWindow_.close();
    EXPECT_FALSE(viewWindow_.isVisible());
    main_.findChild<QAction*>(QStringLiteral("showViewAction"))->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewWindow_));
    EXPECT_EQ(viewWindow_.windowTitle(), caption);
    EXPECT_EQ(viewWindow_.GrabFrame(), before);
    // It still answers its keys and the main window's choices.
    Item("lodChoice", 2)->click();
    EXPECT_TRUE(PixelsOf(viewWindow_.GrabFrame(), Hue::Red).isEmpty());
}

TEST_F(Desktop, TheLevelOfDetailChoiceHidesOtherLevels) {
    StopTurning();
    main_.OpenFile(QString::fromStdString(model_));
    Item("lodChoice", 2)->click();
    EXPECT_TRUE(PixelsOf(viewWindow_.GrabFrame(), Hue::Red).isEmpty());
    Item("lodChoice", 0)->click();
    EXPECT_FALSE(PixelsOf(viewWindow_.GrabFrame(), Hue::Red).isEmpty());
}

TEST_F(Desktop, PreviewsNeverRunTwoRotationThreadsAndBackRestoresTheOpenFile) {
    testing::WriteFile((dir_ / "other.opt").string(), view::testing::TwoMeshModel().bytes);
    ASSERT_TRUE(main_.OpenFile(QString::fromStdString(model_)));
    const QString caption = viewWindow_.windowTitle();
    browser_.show();
    browser_.ChangeDirectory(QString::fromStdString(dir_.string()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return browser_.Files()->rowCount(browser_.FileList()->rootIndex()) == 2; }));
    for (int round = 0; round < 10; ++round) {
        browser_.SelectFile(round % 2 ? QStringLiteral("two.opt") : QStringLiteral("other.opt"));
        QTest::qWait(5);
    }
    ASSERT_NE(link_.RotationThread(), nullptr);
    EXPECT_EQ(link_.RotationThread()->MostInLoop(), 1);
    EXPECT_TRUE(link_.RotationThread()->Running());
    EXPECT_EQ(viewWindow_.Model(), &browser_.Preview().Model());
    EXPECT_FLOAT_EQ(state_.AngleX, -130.0f);

    browser_.GoBack();
    EXPECT_EQ(viewWindow_.Model(), &document_.Model());
    EXPECT_EQ(viewWindow_.windowTitle(), caption);
    EXPECT_EQ(main_.windowTitle(), "OPTvexlor - " + QString::fromStdString(model_));
    EXPECT_EQ(link_.RotationThread()->MostInLoop(), 1);
}

TEST_F(Desktop, ClosingTheMainWindowStopsTheTurningModelPromptly) {
    main_.OpenFile(QString::fromStdString(model_));
    ASSERT_TRUE(link_.RotationThread()->Running());
    EXPECT_TRUE(QTest::qWaitFor([&] { return state_.AngleZ > 0.0f; }));
    main_.close();
    EXPECT_FALSE(link_.RotationThread()->Running());
}

// Notes, with each message, which windows exist at that moment.
class WindowsAtMessage : public MessagePresenter {
  public:
    void Error(const QString& text, const QString&) override {
        QStringList windows;
        const QStringList programWindows{"mainWindow", "aboutBox", "viewWindow", "browserWindow"};
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (programWindows.contains(widget->objectName())) windows << widget->objectName();
        windows.sort();
        seen << text + ": " + windows.join(u' ');
    }
    bool Confirm(const QString&) override { return false; }
    QStringList seen;
};

TEST(StartUp, TheMainWindowReadsTheNamesBeforeTheOtherWindowsExist) {
    WindowsAtMessage messages;
    ScriptedFileDialogs dialogs;
    const fs::path empty = testing::TempFolderFor("startup-no-names");
    fs::create_directories(empty);
    DesktopProgram program(NumberText(), messages, dialogs, QString::fromStdString(empty.string()));
    EXPECT_EQ(messages.seen, QStringList{"File not found: mainWindow"});
    program.Show();
    EXPECT_EQ(program.Main().windowTitle(), "OPT Vexlor");
    EXPECT_TRUE(program.View().isVisible());
    EXPECT_EQ(program.View().windowTitle(), "GLform");
    EXPECT_FALSE(program.Browser().isVisible());
    EXPECT_FALSE(program.About().isVisible());
    EXPECT_EQ(program.About().findChild<QLabel*>(QStringLiteral("version"))->text(),
              "Version 0.13");
    fs::remove_all(empty);
}

}  // namespace
}  // namespace vexlor::app
