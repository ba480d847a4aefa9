// The main window's side of the 3D view where only a recording stand-in for the view can show it:
// the shaded box follows the view's W key without asking the view again, a pick in another
// model's view changes nothing, and a picture the view cannot make is told with its reason. What
// a user sees of the same calls with the real view is tested in DesktopTest.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QTreeView>
#include <filesystem>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "TempFolder.h"
#include "desktop/MainWindow.h"
#include "inspector/StructureTreeModel.h"
#include "reader/BlockTypes.h"

namespace vexlor::desktop {
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

TEST_F(MainWindowAndView, APictureTheViewCannotMakeIsToldWithItsReason) {
    QAction* save = window_.findChild<QAction*>(QStringLiteral("savePictureAction"));
    OpenFighter();
    view_.calls.clear();
    const QString front = QString::fromStdString((dir_ / "front.png").string());
    // The view is asked for the name and the size chosen; its failure reaches a message box.
    dialogs_.sizes = {QSize(1920, 1080)};
    dialogs_.answers = {front};
    view_.pictureResult =
        Result::Failure("Cannot save the picture " + front.toStdString(), "Disk full");
    save->trigger();
    EXPECT_EQ(view_.calls, QStringList{"SavePicture(" + front + ",1920x1080)"});
    EXPECT_EQ(messages_.messages, QStringList{"Cannot save the picture " + front});
    EXPECT_EQ(messages_.details, QStringList{"Disk full"});

    // OpenGL without framebuffers: no size dialog, no call, a message.
    view_.calls.clear();
    view_.largestPicture = 0;
    dialogs_.answers = {front};
    save->trigger();
    EXPECT_TRUE(view_.calls.isEmpty());
    EXPECT_EQ(dialogs_.sizesOffered.size(), 1);
    EXPECT_EQ(messages_.messages.size(), 2);
}

}  // namespace
}  // namespace vexlor::desktop
