// The desktop program's windows together with the real 3D view and rotation thread: what a load,
// a block choice, the level of detail and the browser do to the picture, read back from frames;
// the view's mouse and added keys in the program, picking a face (the tree, the report and the
// bytes follow it), the shaded box, the status bar and View > Save picture; the faces the repair
// and compare panels list, marked in the view.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "ViewTestSupport.h"
#include "desktop/BrowserWindow.h"
#include "desktop/DesktopProgram.h"
#include "desktop/GlViewLink.h"
#include "desktop/MainWindow.h"
#include "desktop/RepairPanel.h"
#include "desktop/RepairTableModel.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "view/ViewStepKeys.h"

namespace vexlor::desktop {
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
        main_.SetBrowser(&browser_);
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
        main_.findChild<QTreeView*>(QStringLiteral("structureTree"))
            ->setCurrentIndex(main_.TreeIndexOfNode(node));
    }
    QRadioButton* Item(const char* group, int index) {
        return main_.findChild<QGroupBox*>(QString::fromLatin1(group))
            ->findChildren<QRadioButton*>()[index];
    }
    QString Label(const char* name) const {
        return main_.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QWidget* Panel() const { return viewWindow_.Panel(); }
    // An open, then the start view without the fit (Home): the frames the positions below
    // (ColumnOf, RowOf, GridFace) describe.
    bool OpenAtRest(const std::string& path) {
        if (!main_.OpenFile(QString::fromStdString(path))) return false;
        viewWindow_.PressKey(Qt::Key_Home, Qt::NoModifier);
        return true;
    }
    // The grid model, opened and standing still.
    void OpenGrid() {
        StopTurning();
        const std::string grid = (dir_ / "grid.opt").string();
        testing::WriteFile(grid, GridModel());
        ASSERT_TRUE(OpenAtRest(grid));
    }
    // Mesh 0 a grid of 8 x 8 squares left of the origin, mesh 1 one right of it, each square 25
    // units wide; face k of a grid is in row k / 8 (from below) and column k % 8. The normals are
    // stored as (0, 0, z), the faces `flipped` of mesh 0 upside down.
    static std::vector<uint8_t> GridModel(float z = 1, std::initializer_list<int> flipped = {}) {
        vexlor::testing::OptBuilder b(0);
        std::vector<int64_t> meshes;
        for (const float left : {-300.0f, 100.0f}) {
            std::vector<vexlor::testing::V3> corners;
            for (int row = 0; row <= 8; ++row)
                for (int column = 0; column <= 8; ++column)
                    corners.push_back({left + 25.0f * column, -100.0f + 25.0f * row, 0});
            std::vector<vexlor::testing::FaceInput> faces;
            for (int k = 0; k < 64; ++k) {
                const int corner = (k / 8) * 9 + k % 8;
                vexlor::testing::FaceInput face;
                face.Vertex = {corner, corner + 1, corner + 10, corner + 9};
                const bool down =
                    left < 0 && std::find(flipped.begin(), flipped.end(), k) != flipped.end();
                face.Normal = {0, 0, down ? -z : z};
                faces.push_back(face);
            }
            meshes.push_back(b.AddJump(0, {b.AddVertices(corners), b.AddFaces(faces)}));
        }
        b.SetMeshes(meshes);
        return b.Build();
    }
    // The middle of face k of the grid of `mesh` on the panel at rest.
    static QPoint GridFace(int mesh, int k) {
        const float x = (mesh == 0 ? -300.0f : 100.0f) + 25.0f * (k % 8) + 12.5f;
        const float y = -100.0f + 25.0f * (k / 8) + 12.5f;
        return {ColumnOf(x), RowOf(y)};
    }
    // The tree node of the face block of `mesh`.
    int32_t FaceBlockOf(int32_t mesh) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 0; k < table.size(); ++k)
            if (table[k].Type == 1 && table[k].Mesh == mesh) return static_cast<int32_t>(k);
        ADD_FAILURE() << "no face block in mesh " << mesh;
        return 0;
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

TEST_F(Desktop, AnOpenStartsFramedDrawsMeshZeroRedAndNamesTheModelSize) {
    EXPECT_EQ(viewWindow_.windowTitle(), "GLform");
    StopTurning();
    // A turn and a zoom that would put the next model out of sight.
    state_.AngleX = 70;
    state_.Scale = 40;
    ASSERT_TRUE(main_.OpenFile(QString::fromStdString(model_)));
    EXPECT_EQ(viewWindow_.windowTitle(), "Model size = approx. 19.5122 metres (BoP/XWA)");
    // The start view, fitted: the model in the middle, filling much of the frame, whole at
    // every turn of the rotation.
    EXPECT_EQ(state_.AngleX, 0);
    const QImage frame = viewWindow_.GrabFrame();
    const QRect red = PixelsOf(frame, Hue::Red), cyan = PixelsOf(frame, Hue::Cyan);
    ASSERT_FALSE(red.isEmpty());
    ASSERT_FALSE(cyan.isEmpty());
    const QRect drawn = red.united(cyan);
    EXPECT_LT(red.center().x(), cyan.center().x());
    EXPECT_GT(drawn.width(), frame.width() * 6 / 10);
    EXPECT_NEAR(drawn.center().x(), frame.width() / 2, 3);
    EXPECT_NEAR(drawn.center().y(), frame.height() / 2, 3);
    for (int turn = 0; turn < 360; turn += 30) {
        state_.AngleZ = static_cast<float>(turn);
        viewWindow_.Redraw();
        const QRect turned =
            PixelsWhere(viewWindow_.GrabFrame(), [](QRgb c) { return c != qRgb(0, 0, 0); });
        EXPECT_TRUE(QRect(1, 1, frame.width() - 2, frame.height() - 2).contains(turned)) << turn;
    }
}

TEST_F(Desktop, ChoosingABlockPaintsItsMeshAndItsMarker) {
    StopTurning();
    OpenAtRest(model_);
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

TEST_F(Desktop, ADoubleClickedFindingFillsItsFaceYellowUntilAnotherBlockIsChosen) {
    StopTurning();
    main_.resize(1200, 800);
    main_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    ASSERT_TRUE(OpenAtRest(model_));
    // Both squares' stored normals are zero: a face normal finding for each mesh.
    main_.findChild<QToolButton*>(QStringLiteral("checkButton"))->click();
    ASSERT_EQ(main_.CheckFindings().size(), 2u);
    const CheckFinding& right = main_.CheckFindings()[1];
    ASSERT_EQ(right.Mesh, 1);
    const auto yellow = [](QRgb c) { return Near(c, 255, 255, 0); };
    EXPECT_TRUE(PixelsWhere(viewWindow_.GrabFrame(), yellow).isEmpty());

    inspector::ReportListView* list =
        main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"));
    const QModelIndex line = list->model()->index(static_cast<int>(right.Line), 0);
    list->scrollTo(line);
    const QPoint at = list->visualRect(line).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QImage frame = viewWindow_.GrabFrame();
    // The right square, filled; its mesh's edges stay red around it, the left one cyan.
    EXPECT_TRUE(yellow(frame.pixel(ColumnOf(200), RowOf(0))));
    const QRect filled = PixelsWhere(frame, yellow);
    EXPECT_GE(filled.left(), ColumnOf(100) - 1);
    EXPECT_LE(filled.right(), ColumnOf(300) + 1);
    EXPECT_EQ(HueOf(frame.pixel(ColumnOf(-300), RowOf(0))), Hue::Cyan);

    Choose(0);
    frame = viewWindow_.GrabFrame();
    EXPECT_TRUE(PixelsWhere(frame, yellow).isEmpty());
    main_.hide();
}

TEST_F(Desktop, AClosedViewComesBackFromTheViewMenuAsItWas) {
    StopTurning();
    OpenAtRest(model_);
    viewWindow_.KeyDown(Qt::Key_Left, Qt::NoModifier);  // a turn the view must keep
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
    OpenAtRest(model_);
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

bool Yellow(QRgb c) {
    return Near(c, 255, 255, 0);
}

TEST_F(Desktop, AClickOnAFaceHighlightsItChoosesItsBlockAndScrollsTheReportToIt) {
    main_.resize(900, 600);
    main_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    OpenGrid();
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, GridFace(1, 45));
    const QImage frame = viewWindow_.GrabFrame();
    EXPECT_TRUE(Yellow(frame.pixel(GridFace(1, 45))));
    EXPECT_FALSE(Yellow(frame.pixel(GridFace(1, 44))));
    EXPECT_FALSE(Yellow(frame.pixel(GridFace(0, 45))));
    EXPECT_EQ(main_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              main_.TreeIndexOfNode(FaceBlockOf(1)));
    const QModelIndex face =
        main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))->currentIndex();
    EXPECT_EQ(face.data().toString(), "FACE 45");
    inspector::ReportListView* list =
        main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"));
    // The face's record is at the top of the list, from the rule above it, and selected.
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), face.row() - 1);
    const QModelIndexList selected = list->selectionModel()->selectedRows();
    EXPECT_EQ(selected.size(), 12);
    for (const QModelIndex& line : selected) {
        EXPECT_GE(line.row(), face.row());
        EXPECT_FALSE(line.data().toString().startsWith("---"));
    }
    // The hex view outlines the face's record: it starts with the four vertex indices the
    // report gives.
    const QString indices = list->model()->index(face.row() + 2, 0).data().toString();
    EXPECT_TRUE(indices.startsWith("   face 45 vert indices are")) << indices.toStdString();
    const inspector::HexView* hex = main_.findChild<inspector::HexPane*>()->View();
    EXPECT_EQ(hex->MarkedLength(), 64);
    std::ifstream in(dir_ / "grid.opt", std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    QStringList stored;
    for (int corner = 0; corner < 4; ++corner) {
        int32_t index = 0;
        const auto at = static_cast<size_t>(hex->MarkedOffset() + 4 * corner);
        ASSERT_LE(at + 4, file.size());
        std::memcpy(&index, file.data() + at, 4);
        stored << QString::number(index);
    }
    EXPECT_EQ(indices.split(QRegularExpression("[^0-9]+"), Qt::SkipEmptyParts).mid(1), stored);
    // The block's mesh is red around the yellow face.
    EXPECT_EQ(HueOf(frame.pixel(GridFace(1, 0) + QPoint(0, 6))), Hue::Red);

    // Another face of the same block, after the list showed something else: the block again.
    main_.ShowLines({"other"});
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, GridFace(1, 3));
    EXPECT_EQ(list->currentIndex().data().toString(), "FACE 3");

    // A Ctrl+click on a face of the other mesh moves both; a click on empty space clears the
    // highlight and leaves the tree as it was.
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::ControlModifier, GridFace(0, 3));
    EXPECT_EQ(main_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              main_.TreeIndexOfNode(FaceBlockOf(0)));
    EXPECT_EQ(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
                  ->currentIndex()
                  .data()
                  .toString(),
              "FACE 3");
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(ColumnOf(0), RowOf(300)));
    EXPECT_TRUE(PixelsWhere(viewWindow_.GrabFrame(), Yellow).isEmpty());
    EXPECT_EQ(main_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              main_.TreeIndexOfNode(FaceBlockOf(0)));
    main_.hide();
}

TEST_F(Desktop, TheMouseTurnsAndZoomsTheProgramsViewAndItsKeysStillWork) {
    StopTurning();
    ASSERT_TRUE(OpenAtRest(model_));
    // Seen from above, a drag across turns the model about its z axis: a quarter turn puts the
    // two squares one above the other.
    const int quarter = qRound(90 / (180.0 / 417));
    QTest::mousePress(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 200));
    for (int step = 1; step <= 8; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(100 + quarter * step / 8.0, 200),
                         Panel()->mapToGlobal(QPointF(100 + quarter * step / 8.0, 200)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Panel(), &move);
    }
    QTest::mouseRelease(Panel(), Qt::LeftButton, Qt::NoModifier, QPoint(100 + quarter, 200));
    EXPECT_NEAR(std::fabs(state_.AngleZ), 90, 0.5);
    const QRect red = PixelsOf(viewWindow_.GrabFrame(), Hue::Red);
    const QRect cyan = PixelsOf(viewWindow_.GrabFrame(), Hue::Cyan);
    EXPECT_NEAR(red.center().x(), 228, 3);
    EXPECT_NEAR(cyan.center().x(), 228, 3);
    EXPECT_GT(std::abs(red.center().y() - cyan.center().y()), 150);
    // A notch of the wheel on the red square's middle zooms by 1.1 about it.
    QWheelEvent wheel(QPointF(red.center()), Panel()->mapToGlobal(QPointF(red.center())), {},
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Panel(), &wheel);
    const QRect zoomed = PixelsOf(viewWindow_.GrabFrame(), Hue::Red);
    EXPECT_NEAR(zoomed.width(), red.width() * 1.1, 2);
    EXPECT_NEAR(zoomed.center().x(), red.center().x(), 2);
    EXPECT_NEAR(zoomed.center().y(), red.center().y(), 2);
    // The designed keys go on from the view the mouse left.
    const float tilt = state_.AngleX;
    QTest::keyClick(&viewWindow_, Qt::Key_Up);
    EXPECT_EQ(state_.AngleX, tilt + view::TurnStep(state_.Scale));
}

TEST_F(Desktop, WAndTheShadedBoxSwitchTheShadedModeTogetherAndFAndHomeWork) {
    StopTurning();
    ASSERT_TRUE(OpenAtRest(model_));
    const QImage atRest = viewWindow_.GrabFrame();
    QCheckBox* shaded = main_.findChild<QCheckBox*>(QStringLiteral("shadedBox"));
    const QPoint inside(ColumnOf(-200), RowOf(0));
    QTest::keyClick(&viewWindow_, Qt::Key_W);
    EXPECT_TRUE(shaded->isChecked());
    EXPECT_EQ(HueOf(viewWindow_.GrabFrame().pixel(inside)), Hue::Red);
    shaded->click();
    EXPECT_FALSE(shaded->isChecked());
    EXPECT_EQ(viewWindow_.GrabFrame(), atRest);
    shaded->click();
    EXPECT_EQ(HueOf(viewWindow_.GrabFrame().pixel(inside)), Hue::Red);
    QTest::keyClick(&viewWindow_, Qt::Key_W);
    EXPECT_FALSE(shaded->isChecked());

    // Zoomed far out, F brings the model back to fill the frame less its margin; Home goes back
    // to the start view's frame.
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(&viewWindow_, Qt::Key_Minus);
    QTest::keyClick(&viewWindow_, Qt::Key_F);
    const QRect drawn =
        PixelsWhere(viewWindow_.GrabFrame(), [](QRgb c) { return c != qRgb(0, 0, 0); });
    EXPECT_NEAR(drawn.left(), 457 * view::kFitMargin, 3);
    EXPECT_NEAR(drawn.right(), 457 * (1 - view::kFitMargin), 3);
    QTest::keyClick(&viewWindow_, Qt::Key_Home);
    EXPECT_EQ(viewWindow_.GrabFrame(), atRest);
}

TEST_F(Desktop, TheStatusBarShowsTheModelsNumbersAndTheFaceUnderTheCursor) {
    main_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    OpenGrid();
    const QString size = QString::fromStdString(
        NumberText().FloatText(view::ModelSizeMetres(state_.ExtentMax, state_.ExtentMin)));
    EXPECT_EQ(Label("modelNumbers"),
              "2 meshes, 128 of 128 faces shown, 162 vertices, LOD 1, " + size + " m");
    Item("lodChoice", 0)->click();
    EXPECT_EQ(Label("modelNumbers"),
              "2 meshes, 128 of 128 faces shown, 162 vertices, all LODs, " + size + " m");
    Item("lodChoice", 2)->click();
    EXPECT_TRUE(Label("modelNumbers").startsWith("2 meshes, 0 of 128 faces shown"));
    Item("lodChoice", 1)->click();
    // The status bar's own messages leave the view's texts beside them.
    const QString numbers = Label("modelNumbers");
    main_.statusBar()->showMessage(QStringLiteral("Saved 12 bytes to x"));
    EXPECT_EQ(main_.statusBar()->currentMessage(), "Saved 12 bytes to x");
    EXPECT_EQ(Label("modelNumbers"), numbers);
    // The cursor over a face, then over nothing; the main window, with its docks, may lie over
    // the view window.
    viewWindow_.raise();
    viewWindow_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewWindow_));
    QTest::mouseMove(Panel(), GridFace(1, 21));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Label("underCursor") == "mesh 1, face 21"; }));
    QTest::mouseMove(Panel(), QPoint(ColumnOf(0), RowOf(300)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Label("underCursor").isEmpty(); }));
    main_.hide();
}

TEST_F(Desktop, SavePictureWritesTheViewsFrameWithItsHighlightOrAnotherSize) {
    QAction* save = main_.findChild<QAction*>(QStringLiteral("savePictureAction"));
    save->trigger();  // before any open
    EXPECT_EQ(main_.findChild<inspector::ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->index(1, 0)
                  .data()
                  .toString(),
              "?? no opt loaded!");
    EXPECT_TRUE(dialogs_.sizesOffered.isEmpty());

    OpenGrid();
    QTest::mouseClick(Panel(), Qt::LeftButton, Qt::NoModifier, GridFace(0, 9));
    // The frame's size as offered, and a name without the extension.
    const QString picture = QString::fromStdString((dir_ / "view.png").string());
    dialogs_.answers = {QString::fromStdString((dir_ / "view").string())};
    save->trigger();
    EXPECT_TRUE(messages_.messages.isEmpty()) << messages_.details.join(u' ').toStdString();
    EXPECT_EQ(dialogs_.sizesOffered, QList<QSize>{Panel()->size()});
    EXPECT_GE(dialogs_.largestSeen, 1024);
    EXPECT_EQ(dialogs_.filtersSeen, QStringList{"PNG pictures (*.png)"});
    EXPECT_EQ(dialogs_.startsSeen.front(), QString::fromStdString((dir_ / "grid.png").string()));
    EXPECT_TRUE(main_.statusBar()->currentMessage().endsWith("view.png"));
    const QImage written = QImage(picture).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(written, viewWindow_.GrabFrame());
    EXPECT_TRUE(Yellow(written.pixel(GridFace(0, 9))));
    EXPECT_TRUE(main_.statusBar()->currentMessage().startsWith("Saved "));
    EXPECT_FALSE(Label("modelNumbers").isEmpty());

    // Another size keeps the model's proportions: the squares stay square.
    dialogs_.sizes = {QSize(1000, 400)};
    dialogs_.answers = {picture};
    save->trigger();
    const QImage wide(picture);
    EXPECT_EQ(wide.size(), QSize(1000, 400));
    const QRect highlighted = PixelsWhere(wide.convertToFormat(QImage::Format_RGB32), Yellow);
    EXPECT_NEAR(highlighted.width(), highlighted.height(), 2);

    // A folder that does not exist: a message, and the picture before stays.
    dialogs_.answers = {QString::fromStdString((dir_ / "none" / "x.png").string())};
    save->trigger();
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].startsWith("Cannot save the picture "));
    EXPECT_EQ(QImage(picture).size(), QSize(1000, 400));

    // A cancelled size dialog saves nothing and says nothing.
    dialogs_.sizes = {std::nullopt};
    dialogs_.answers = {QString::fromStdString((dir_ / "cancelled.png").string())};
    save->trigger();
    EXPECT_FALSE(fs::exists(dir_ / "cancelled.png"));
    EXPECT_EQ(messages_.messages.size(), 1);
}

TEST_F(Desktop, AFaceChosenOutsideTheFrameIsBroughtIntoIt) {
    OpenGrid();
    state_.Scale = 6;  // mesh 1's grid lies far right of the frame
    viewWindow_.Redraw();
    const auto yellow = [](QRgb c) { return Near(c, 255, 255, 0); };
    const BlockEntry& block = document_.Model().BlockTable[static_cast<size_t>(FaceBlockOf(1))];
    link_.HighlightFace(block.Offset, 63);
    const QRect filled = PixelsWhere(viewWindow_.GrabFrame(), yellow);
    ASSERT_FALSE(filled.isEmpty());
    EXPECT_NEAR(filled.center().x(), Panel()->width() / 2, 4);
    EXPECT_NEAR(filled.center().y(), Panel()->height() / 2, 4);
}

TEST_F(Desktop, TheRepairAndComparePanelsMarkEveryFaceTheyListWhileTheyShowThem) {
    StopTurning();
    main_.resize(1200, 800);
    main_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    const std::string flipped = (dir_ / "flipped.opt").string();
    // The check's normal of a grid face is (0, 0, -1): three faces upside down.
    testing::WriteFile(flipped, GridModel(-1, {9, 18, 27}));
    ASSERT_TRUE(OpenAtRest(flipped));
    const auto marked = [](QRgb c) { return Near(c, 150, 100, 0); };
    const auto yellow = [](QRgb c) { return Near(c, 255, 255, 0); };
    const auto expectMarks = [&](int chosen) {
        const QImage frame = viewWindow_.GrabFrame();
        for (const int k : {9, 18, 27}) {
            const QRgb pixel = frame.pixel(GridFace(0, k));
            EXPECT_TRUE(k == chosen ? yellow(pixel) : marked(pixel)) << k;
        }
        EXPECT_EQ(HueOf(frame.pixel(GridFace(0, 10))), Hue::Black);
        return frame;
    };
    EXPECT_TRUE(PixelsWhere(viewWindow_.GrabFrame(), marked).isEmpty());

    // File > Repair...: the three faces it turns back are marked.
    main_.findChild<QAction*>(QStringLiteral("repairAction"))->trigger();
    expectMarks(-1);
    // A click on a row: its face yellow, the other two still marked.
    auto* panel = main_.findChild<RepairPanel*>(QStringLiteral("repairPanel"));
    const RepairPlan& plan = panel->Rows()->Plan();
    int row = 0;
    while (row < static_cast<int>(plan.Changes.size()) &&
           plan.Faces[static_cast<size_t>(row)].FaceInBlock != 18)
        ++row;
    ASSERT_LT(row, static_cast<int>(plan.Changes.size()));
    QTableView* table = panel->Table();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(row, 0)).center());
    expectMarks(18);
    // Closed, the panel marks nothing.
    main_.findChild<QDockWidget*>(QStringLiteral("repairDock"))->close();
    EXPECT_TRUE(PixelsWhere(viewWindow_.GrabFrame(), marked).isEmpty());

    // Compared with the grid as it should be: the three differing faces marked, until closed.
    const std::string grid = (dir_ / "grid.opt").string();
    testing::WriteFile(grid, GridModel(-1));
    dialogs_.answers = {QString::fromStdString(grid)};
    main_.findChild<QAction*>(QStringLiteral("compareAction"))->trigger();
    Choose(0);  // no face chosen
    expectMarks(-1);
    main_.findChild<QDockWidget*>(QStringLiteral("compareDock"))->close();
    EXPECT_TRUE(PixelsWhere(viewWindow_.GrabFrame(), marked).isEmpty());
    main_.hide();
}

// The whole program as it starts: the view in its dock, with a settings file of its own.
class TheProgram : public ::testing::Test {
  protected:
    TheProgram()
        : dir_(testing::TempFolderFor(
              "program-" +
              std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))),
          settings_(QString::fromStdString((dir_ / "optvexlor.conf").string()),
                    QSettings::IniFormat),
          program_(NumberText(), messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data"),
                   &settings_) {}
    ~TheProgram() override {
        program_.ViewLink().StopRotation();
        fs::remove_all(dir_);
    }
    MainWindow& Main() { return program_.Main(); }
    QDockWidget* ViewDock() { return Main().findChild<QDockWidget*>(QStringLiteral("viewDock")); }
    void ShowFighter(QRect geometry) {
        Main().setGeometry(geometry);
        Main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main()));
        ASSERT_TRUE(Main().OpenFile(QStringLiteral(VEXLOR_SOURCE_DIR "/samples/fighter.opt")));
        const int64_t drawn = program_.View().FramesDrawn();
        ASSERT_TRUE(QTest::qWaitFor([&] { return program_.View().FramesDrawn() > drawn + 2; }));
    }

    fs::path dir_;
    QSettings settings_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    DesktopProgram program_;
};

TEST_F(TheProgram, TheDefaultLayoutAt1280x800ShowsTheTurningModelInTheDockedView) {
    ShowFighter(QRect(0, 0, 1280, 800));
    ASSERT_FALSE(ViewDock()->isFloating());
    EXPECT_TRUE(program_.View().CanBeSeen());
    // What the screen shows of the main window, the view's own native window included.
    const QImage shot = Main().screen()->grabWindow(Main().winId()).toImage();
    shot.save(
        QString::fromStdString((fs::temp_directory_path() / "vexlor-default-layout.png").string()));
    const QRect dock(ViewDock()->mapTo(&Main(), QPoint(0, 0)), ViewDock()->size());
    const QImage inDock = shot.copy(dock).convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(PixelsOf(inDock, Hue::Red).isEmpty());
    EXPECT_FALSE(PixelsOf(inDock, Hue::Cyan).isEmpty());
    const QImage outside =
        shot.copy(0, 0, dock.left(), shot.height()).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(PixelsOf(outside, Hue::Red).isEmpty());

    // A closed dock hides the view: the turning model draws nothing until it is shown again.
    ViewDock()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !program_.View().CanBeSeen(); }));
    const int64_t hidden = program_.View().FramesDrawn();
    QTest::qWait(200);
    EXPECT_EQ(program_.View().FramesDrawn(), hidden);
    Main().findChild<QAction*>(QStringLiteral("showViewAction"))->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return program_.View().FramesDrawn() > hidden + 2; }));
}

TEST_F(TheProgram, AFloatingViewLiesBesideTheMainWindowWithItsCaptionAndKeys) {
    ShowFighter(QRect(0, 0, 1000, 700));
    Main().findChild<QCheckBox*>(QStringLiteral("rotationBox"))->click();  // standing still
    ViewDock()->setFloating(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ViewDock()));
    QTest::qWait(100);
    EXPECT_FALSE(ViewDock()->frameGeometry().intersects(Main().frameGeometry()));
    EXPECT_EQ(ViewDock()->windowTitle(), "Model size = approx. 15.8537 metres (BoP/XWA)");
    // The designed keys and the added ones still reach it.
    program_.View().setFocus();
    const QImage before = program_.View().GrabFrame();
    QTest::keyClick(&program_.View(), Qt::Key_Left);
    EXPECT_NE(program_.View().GrabFrame(), before);
    QTest::keyClick(&program_.View(), Qt::Key_R);
    EXPECT_TRUE(Main().findChild<QCheckBox*>(QStringLiteral("rotationBox"))->isChecked());
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
    EXPECT_EQ(program.View().window(), &program.Main());
    EXPECT_EQ(program.View().windowTitle(), "GLform");
    EXPECT_FALSE(program.Browser().isVisible());
    EXPECT_FALSE(program.About().isVisible());
    EXPECT_EQ(program.About().findChild<QLabel*>(QStringLiteral("version"))->text(),
              "Version 0.13");
    fs::remove_all(empty);
}

}  // namespace
}  // namespace vexlor::desktop
