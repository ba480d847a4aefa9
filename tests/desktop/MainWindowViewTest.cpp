// The main window's side of the 3D view, with a recording stand-in for the view: the shaded box
// and the view's W key in step, a face picked in the view shown in the tree and the report list,
// the status bar's texts about the view, and View > Save picture.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/MainWindow.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "reader/BlockTypes.h"

namespace vexlor::app {
namespace {

namespace fs = std::filesystem;
const fs::path kFighter = fs::path(VEXLOR_SOURCE_DIR) / "samples" / "fighter.opt";

class MainWindowAndView : public ::testing::Test {
  protected:
    MainWindowAndView()
        : window_(
              {document_, view_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}) {
        dir_ = testing::TempFolderFor(
            "gui-view-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~MainWindowAndView() override { fs::remove_all(dir_); }

    void OpenFighter() { ASSERT_TRUE(window_.OpenFile(QString::fromStdString(kFighter.string()))); }
    QCheckBox* ShadedBox() const {
        return window_.findChild<QCheckBox*>(QStringLiteral("shadedBox"));
    }
    QString Label(const char* name) const {
        return window_.findChild<QLabel*>(QString::fromLatin1(name))->text();
    }
    QString Line(int row) const {
        return window_.findChild<ReportListView*>(QStringLiteral("reportList"))
            ->model()
            ->index(row, 0)
            .data()
            .toString();
    }
    // The first face block of `mesh`, as a tree node.
    int32_t FaceBlockNode(int32_t mesh) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 0; k < table.size(); ++k) {
            if (table[k].Type == kTypeFace && table[k].Mesh == mesh) return static_cast<int32_t>(k);
        }
        ADD_FAILURE() << "no face block in mesh " << mesh;
        return 0;
    }
    // What the view tells of a click on face `faceInBlock` of the block of tree node `node`.
    PickedFace PickOf(int32_t node, int32_t faceInBlock) const {
        const BlockEntry& block = document_.Model().BlockTable[static_cast<size_t>(node)];
        for (size_t i = 0; i < document_.Model().DrawFaces.size(); ++i) {
            const DrawFace& face = document_.Model().DrawFaces[i];
            if (face.BlockOffset == block.Offset && face.FaceInBlock == faceInBlock)
                return {&document_.Model(), static_cast<int64_t>(i), face.Mesh, face.BlockOffset,
                        face.FaceInBlock};
        }
        ADD_FAILURE() << "no face " << faceInBlock << " in node " << node;
        return {};
    }

    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow window_;
    fs::path dir_;
};

TEST_F(MainWindowAndView, TheShadedBoxAndTheViewsWKeyStayInStep) {
    ASSERT_EQ(view_.events, &window_);
    ShadedBox()->click();
    EXPECT_TRUE(view_.shaded);
    EXPECT_EQ(view_.calls, QStringList{"SetShaded(1)"});
    // W in the view switches it off: the box follows without asking the view again.
    view_.calls.clear();
    view_.events->ShadedChanged(false);
    EXPECT_FALSE(ShadedBox()->isChecked());
    view_.events->ShadedChanged(true);
    EXPECT_TRUE(ShadedBox()->isChecked());
    EXPECT_TRUE(view_.calls.isEmpty());
}

TEST_F(MainWindowAndView, APickedFaceChoosesItsBlockAndScrollsTheReportToItsLines) {
    window_.resize(900, 600);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    OpenFighter();
    const int32_t block = FaceBlockNode(2);
    view_.calls.clear();
    const PickedFace picked = PickOf(block, 17);
    view_.events->FacePicked(picked);
    EXPECT_EQ(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              window_.TreeIndexOfNode(block));
    // The chosen block clears the highlight; the picked face gets it back.
    EXPECT_EQ(view_.calls, (QStringList{"ShowBlock(2)", "Redraw",
                                        QString("HighlightFace(%1,17)").arg(picked.BlockOffset)}));
    const QModelIndex face =
        window_.findChild<ReportListView*>(QStringLiteral("reportList"))->currentIndex();
    ASSERT_TRUE(face.isValid());
    EXPECT_EQ(face.data().toString(), "FACE 17");
    // The face's record is at the top of the list, from the rule above it, and selected.
    EXPECT_EQ(window_.findChild<ReportListView*>(QStringLiteral("reportList"))
                  ->indexAt(QPoint(2, 2))
                  .row(),
              face.row() - 1);
    const QModelIndexList selected =
        window_.findChild<ReportListView*>(QStringLiteral("reportList"))
            ->selectionModel()
            ->selectedRows();
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(selected.size(), 12);
    for (const QModelIndex& line : selected) {
        EXPECT_GE(line.row(), face.row());
        EXPECT_FALSE(line.data().toString().startsWith("---"));
    }
    EXPECT_TRUE(Line(face.row() + 2).startsWith("   face 17 vert indices are"));
    // The hex view outlines the face's record: it starts with the four vertex indices the
    // report gives.
    EXPECT_EQ(window_.findChild<HexPane*>()->View()->MarkedLength(), 64);
    std::ifstream in(kFighter, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    QStringList stored;
    for (int corner = 0; corner < 4; ++corner) {
        int32_t index = 0;
        const auto at =
            static_cast<size_t>(window_.findChild<HexPane*>()->View()->MarkedOffset() + 4 * corner);
        ASSERT_LE(at + 4, file.size());
        std::memcpy(&index, file.data() + at, 4);
        stored << QString::number(index);
    }
    EXPECT_EQ(Line(face.row() + 2).split(QRegularExpression("[^0-9]+"), Qt::SkipEmptyParts).mid(1),
              stored);

    // Another face of the same block, after the list showed something else: the block again.
    window_.ShowLines({"other"});
    view_.events->FacePicked(PickOf(block, 3));
    EXPECT_EQ(window_.findChild<ReportListView*>(QStringLiteral("reportList"))
                  ->currentIndex()
                  .data()
                  .toString(),
              "FACE 3");
    window_.hide();
}

TEST_F(MainWindowAndView, PicksOfEmptySpaceOrOfAnotherModelChangeNothing) {
    OpenFighter();
    const int32_t block = FaceBlockNode(0);
    window_.findChild<QTreeView*>(QStringLiteral("structureTree"))
        ->setCurrentIndex(window_.TreeIndexOfNode(1));
    view_.calls.clear();
    PickedFace nothing;
    nothing.Model = &document_.Model();
    view_.events->FacePicked(nothing);
    // The browser's preview shows a model of its own.
    OptDocument preview;
    preview.Open(kFighter.string());
    PickedFace previewed = PickOf(block, 5);
    previewed.Model = &preview.Model();
    view_.events->FacePicked(previewed);
    EXPECT_EQ(window_.findChild<QTreeView*>(QStringLiteral("structureTree"))->currentIndex(),
              window_.TreeIndexOfNode(1));
    EXPECT_TRUE(view_.calls.isEmpty());
}

TEST_F(MainWindowAndView, TheStatusBarShowsTheViewsTextsBesideItsMessages) {
    view_.events->ModelNumbersChanged("4 meshes, 1152 of 1596 faces shown, 2000 vertices");
    view_.events->UnderCursorChanged("mesh 2, face 17");
    EXPECT_EQ(Label("modelNumbers"), "4 meshes, 1152 of 1596 faces shown, 2000 vertices");
    EXPECT_EQ(Label("underCursor"), "mesh 2, face 17");
    window_.statusBar()->showMessage(QStringLiteral("Saved 12 bytes to x"));
    EXPECT_EQ(window_.statusBar()->currentMessage(), "Saved 12 bytes to x");
    EXPECT_EQ(Label("modelNumbers"), "4 meshes, 1152 of 1596 faces shown, 2000 vertices");
    view_.events->UnderCursorChanged("");
    EXPECT_EQ(Label("underCursor"), "");
}

TEST_F(MainWindowAndView, SavePictureAsksTheSizeAndTheNameAndSaysWhatHappened) {
    QAction* save = window_.findChild<QAction*>(QStringLiteral("savePictureAction"));
    ASSERT_NE(save, nullptr);
    save->trigger();  // before any open
    EXPECT_EQ(window_.findChild<ReportListView*>(QStringLiteral("reportList"))
                  ->model()
                  ->index(1, 0)
                  .data()
                  .toString(),
              "?? no opt loaded!");
    EXPECT_TRUE(dialogs_.sizesOffered.isEmpty());

    OpenFighter();
    view_.calls.clear();
    // The frame's size as offered, and a name without the extension.
    dialogs_.answers = {QString::fromStdString((dir_ / "front").string())};
    save->trigger();
    EXPECT_EQ(dialogs_.sizesOffered, QList<QSize>{QSize(457, 417)});
    EXPECT_EQ(dialogs_.largestSeen, 16384);
    EXPECT_EQ(dialogs_.filtersSeen, QStringList{"PNG pictures (*.png)"});
    EXPECT_EQ(dialogs_.startsSeen.front(),
              QString::fromStdString((kFighter.parent_path() / "fighter.png").string()));
    const QString front = QString::fromStdString((dir_ / "front.png").string());
    EXPECT_EQ(view_.calls, QStringList{"SavePicture(" + front + ",457x417)"});
    EXPECT_TRUE(window_.statusBar()->currentMessage().endsWith("front.png"));

    // Another size; then a failure, which a message box tells.
    view_.calls.clear();
    dialogs_.sizes = {QSize(1920, 1080)};
    dialogs_.answers = {front};
    view_.pictureResult =
        Result::Failure("Cannot save the picture " + front.toStdString(), "Disk full");
    save->trigger();
    EXPECT_EQ(view_.calls, QStringList{"SavePicture(" + front + ",1920x1080)"});
    EXPECT_EQ(messages_.messages, QStringList{"Cannot save the picture " + front});
    EXPECT_EQ(messages_.details, QStringList{"Disk full"});

    // A cancelled size dialog, and OpenGL without framebuffers, save nothing.
    view_.calls.clear();
    dialogs_.sizes = {std::nullopt};
    dialogs_.answers = {front};
    save->trigger();
    view_.largestPicture = 0;
    save->trigger();
    EXPECT_TRUE(view_.calls.isEmpty());
    EXPECT_EQ(messages_.messages.size(), 2);
}

}  // namespace
}  // namespace vexlor::app
