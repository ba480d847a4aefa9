// File > Repair... as a user meets it: the repair panel listing the changes before anything is
// written, a click on a row leading to the face and its bytes, the write button whose dialog never
// suggests the open file and refuses it, the file written as `vexlor repair` writes it, and the
// offer to open it.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "desktop/MainWindow.h"
#include "desktop/RepairPanel.h"
#include "desktop/RepairTableModel.h"
#include "inspector/HexView.h"

namespace vexlor::desktop {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

class FileRepair : public ::testing::Test {
  protected:
    FileRepair()
        : window_(
              {document_, view_, messages_, dialogs_, QStringLiteral(VEXLOR_SOURCE_DIR "/data")}) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(fs::path(VEXLOR_SOURCE_DIR) / "samples" / "faulty.opt", dir_ / "faulty.opt");
        window_.resize(1200, 800);
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    ~FileRepair() override { fs::remove_all(dir_); }

    fs::path dir_ = fs::temp_directory_path() / ("vexlor-gui-repair-" + std::to_string(getpid()));
    OptDocument document_;
    RecordingViewLink view_;
    RecordingMessagePresenter messages_;
    ScriptedFileDialogs dialogs_;
    MainWindow window_;
};

TEST_F(FileRepair, ListsTheChangesLeadsToThemAndWritesANewFileOnlyWhenAsked) {
    ASSERT_TRUE(window_.OpenFile(Q(dir_ / "faulty.opt")));
    const std::string original = ReadFile(dir_ / "faulty.opt");
    window_.findChild<QAction*>(QStringLiteral("repairAction"))->trigger();

    auto* panel = window_.findChild<RepairPanel*>(QStringLiteral("repairPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(window_.findChild<QDockWidget*>(QStringLiteral("repairDock"))->isVisible());
    const RepairPlan& plan = panel->Rows()->Plan();
    ASSERT_FALSE(plan.Changes.empty());
    EXPECT_EQ(panel->Table()->model()->rowCount(),
              static_cast<int>(plan.Changes.size() + plan.Kept.size()));
    EXPECT_TRUE(panel->Summary().endsWith(QStringLiteral("not written yet")))
        << panel->Summary().toStdString();
    EXPECT_EQ(ReadFile(dir_ / "faulty.opt"), original);  // nothing written yet
    // Every changed face is marked in the view while the panel shows.
    ASSERT_EQ(view_.marked.size(), plan.Faces.size());
    for (size_t k = 0; k < plan.Faces.size(); ++k)
        EXPECT_EQ(view_.marked[k],
                  std::make_pair(plan.Faces[k].BlockOffset, plan.Faces[k].FaceInBlock));

    // A click on a face normal's row highlights its face and outlines its bytes.
    size_t row = 0;
    while (row < plan.Changes.size() && plan.Changes[row].Region != "faceNormals")
        ++row;
    ASSERT_LT(row, plan.Changes.size());
    QTableView* table = panel->Table();
    const QRect cell = table->visualRect(table->model()->index(static_cast<int>(row), 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(view_.highlight,
              std::make_pair(plan.Faces[row].BlockOffset, plan.Faces[row].FaceInBlock));
    auto* hex = window_.findChild<inspector::HexView*>();
    ASSERT_NE(hex, nullptr);
    EXPECT_EQ(hex->MarkedOffset(), plan.Changes[row].Offset);

    // The dialog suggests a new name; the open file itself is refused and left alone.
    dialogs_.answers = {Q(dir_ / "faulty.opt")};
    QTest::mouseClick(panel->WriteButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs_.startsSeen.size(), 1);
    EXPECT_TRUE(dialogs_.startsSeen[0].endsWith(QStringLiteral("faulty-repaired.opt")));
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(
        messages_.messages[0].contains(QStringLiteral(": it is the same file as the input ")));
    EXPECT_EQ(ReadFile(dir_ / "faulty.opt"), original);

    // Written but not opened: the panel says where its plan went.
    dialogs_.answers = {Q(dir_ / "kept.opt")};
    messages_.answers = {false};
    QTest::mouseClick(panel->WriteButton(), Qt::LeftButton);
    EXPECT_TRUE(panel->Summary().endsWith(QStringLiteral(", written to kept.opt")))
        << panel->Summary().toStdString();
    EXPECT_EQ(window_.CurrentFileName(), Q(dir_ / "faulty.opt"));

    // A new name: written as `vexlor repair` writes it (".opt" added), then opened when accepted.
    dialogs_.answers = {Q(dir_ / "mended")};
    messages_.answers = {true};
    QTest::mouseClick(panel->WriteButton(), Qt::LeftButton);
    const fs::path expected = dir_ / "expected.opt";
    const std::string command = "'" VEXLOR_BINARY "' repair '" + (dir_ / "faulty.opt").string() +
                                "' -o '" + expected.string() + "' > /dev/null";
    EXPECT_EQ(std::system(command.c_str()) >> 8, 1) << command;
    EXPECT_EQ(ReadFile(dir_ / "mended.opt"), ReadFile(expected));
    EXPECT_EQ(window_.CurrentFileName(), Q(dir_ / "mended.opt"));
    // The plan belonged to the file it was made for, and so did its marks.
    EXPECT_EQ(panel->Table()->model()->rowCount(), 0);
    EXPECT_TRUE(view_.marked.empty());
}

}  // namespace
}  // namespace vexlor::desktop
