// The links between the main window's panes as a user follows them: a byte of the hex view names
// its block and field and leads to its node and report line, a report line outlines its record's
// bytes, "Go to offset" shows the record's line, the tree filter finds blocks by what they are,
// and the record inspector shows a record field by field and follows a face's indices to their
// vertices. The 3D view, dialogs and messages are recording stand-ins.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "QtPrinters.h"
#include "RecordingMessagePresenter.h"
#include "RecordingViewLink.h"
#include "ScriptedFileDialogs.h"
#include "desktop/MainWindow.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/OffsetBar.h"
#include "inspector/RecordInspector.h"
#include "inspector/RecordValuesModel.h"
#include "inspector/ReportListView.h"
#include "inspector/SearchBar.h"
#include "reader/BlockTypes.h"
#include "samples/EveryBlockSample.h"
#include "samples/OptBuilder.h"

namespace vexlor::inspector {
namespace {

namespace fs = std::filesystem;

class Links : public ::testing::Test {
  protected:
    Links() {
        fs::create_directories(dir_);
        testing::WriteFile((dir_ / "every.opt").string(), sample_.Bytes);
        window_.resize(1300, 850);
        window_.show();
        window_.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window_));
        EXPECT_TRUE(window_.OpenFile(QString::fromStdString((dir_ / "every.opt").string())));
        window_.ExpandAll();
    }
    ~Links() override { fs::remove_all(dir_); }

    int32_t NodeOfBlock(int64_t offset) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 1; k < table.size(); ++k)
            if (table[k].Offset == offset) return static_cast<int32_t>(k);
        return -1;
    }
    HexView* Hex() const { return window_.findChild<HexPane*>()->View(); }
    ReportListView* List() const {
        return window_.findChild<ReportListView*>(QStringLiteral("reportList"));
    }
    QString CurrentLine() const { return List()->currentIndex().data().toString(); }
    QTableView* RecordTable() const {
        return window_.findChild<RecordInspector*>()->findChild<QTableView*>(
            QStringLiteral("recordValues"));
    }
    QString RecordTitle() const {
        return window_.findChild<RecordInspector*>()
            ->findChild<QLabel*>(QStringLiteral("recordTitle"))
            ->text();
    }
    QString RecordCell(int row, int column) const {
        return RecordTable()->model()->index(row, column).data().toString();
    }
    // The byte's hex cell brought into sight, then clicked (twice for a double-click).
    void ClickByte(int64_t offset, bool twice = false) {
        if (Hex()->HexCellRect(offset).isEmpty()) Hex()->ScrollToRow(offset / 16);
        const QPoint at = Hex()->HexCellRect(offset).center();
        QTest::mouseClick(Hex()->viewport(), Qt::LeftButton, {}, at);
        if (twice) QTest::mouseDClick(Hex()->viewport(), Qt::LeftButton, {}, at);
    }
    void ClickListRow(int row) {
        const QModelIndex index = List()->model()->index(row, 0);
        List()->scrollTo(index);
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualRect(index).center());
    }
    int RowOf(const QString& line) const {
        for (int row = 0; row < List()->model()->rowCount(); ++row)
            if (List()->model()->index(row, 0).data().toString() == line) return row;
        return -1;
    }

    fs::path dir_ = fs::temp_directory_path() /
                    ("vexlor-links-" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    testing::EveryBlockSample sample_;
    QSettings settings_{QString::fromStdString((dir_ / "settings.ini").string()),
                        QSettings::IniFormat};
    OptDocument document_;
    desktop::RecordingViewLink view_;
    desktop::RecordingMessagePresenter messages_;
    desktop::ScriptedFileDialogs dialogs_;
    desktop::MainWindow window_{{document_, view_, messages_, dialogs_,
                                 QStringLiteral(VEXLOR_SOURCE_DIR "/data"), &settings_}};
};

TEST_F(Links, AByteNamesItsFieldAndLeadsToItsNodeAndReportLineByDoubleClickOrEnter) {
    const int64_t vertex1y = sample_.Vertices + 24 + 12 + 4;
    ClickByte(vertex1y);
    const QLabel* place = window_.findChild<QLabel*>(QStringLiteral("bytePlace"));
    const QString label =
        QString::fromStdString(document_.Model().Tree.Node(NodeOfBlock(sample_.Vertices)).Label);
    EXPECT_EQ(place->text(),
              QString("Offset %1: vertex 1, y (vertices) in %2").arg(vertex1y).arg(label));
    EXPECT_EQ(window_.ChosenNode(), -1);  // a click only names the byte

    ClickByte(vertex1y, true);
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Vertices));
    EXPECT_EQ(Hex()->CurrentOffset(), vertex1y);
    EXPECT_TRUE(CurrentLine().trimmed().startsWith("vertex 1 :")) << CurrentLine().toStdString();
    const int vertexRow = List()->currentIndex().row();

    // Enter on the face block's count field: its node and its count line.
    const int64_t faceCount = sample_.Faces + 16;
    ClickByte(faceCount);
    EXPECT_TRUE(place->text().contains("face count")) << place->text().toStdString();
    QTest::keyClick(Hex()->viewport(), Qt::Key_Return);
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Faces));
    EXPECT_EQ(Hex()->CurrentOffset(), faceCount);
    EXPECT_TRUE(CurrentLine().contains("2")) << CurrentLine().toStdString();

    // Go to offset leads to the vertex's line too.
    QTest::keyClick(Hex()->viewport(), Qt::Key_G, Qt::ControlModifier);
    OffsetBar* bar = window_.findChild<HexPane*>()->Offsets();
    bar->Field()->clear();
    QTest::keyClicks(bar->Field(), QString::number(vertex1y));
    QTest::keyClick(bar->Field(), Qt::Key_Return);
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Vertices));
    EXPECT_EQ(List()->currentIndex().row(), vertexRow);
    EXPECT_EQ(Hex()->CurrentOffset(), vertex1y);

    // A search hit is named as a click is.
    ClickByte(0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "39 00 00 00");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(place->text().endsWith(
        ": face 1, corner 3 (vertex indices) in " +
        QString::fromStdString(document_.Model().Tree.Node(NodeOfBlock(sample_.Faces)).Label)))
        << place->text().toStdString();

    // Between blocks no block is named, and nothing is chosen.
    ClickByte(sample_.Gap + 2, true);
    EXPECT_EQ(place->text(), QString("Offset %1: no block holds it").arg(sample_.Gap + 2));
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Vertices));
}

TEST_F(Links, AReportLineOutlinesTheBytesOfTheRecordItShows) {
    QTreeView* tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"));
    const QModelIndex faces = window_.TreeIndexOfNode(NodeOfBlock(sample_.Faces));
    tree->scrollTo(faces);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(faces).center());
    const int face1 = RowOf("FACE 1");
    ASSERT_GE(face1, 0);
    ClickListRow(face1);
    const int64_t record1 = sample_.Faces + 24 + 4 + 64;
    EXPECT_EQ(Hex()->MarkedOffset(), record1);
    EXPECT_EQ(Hex()->MarkedLength(), 64);
    // A line of one index group outlines the group; the arrow keys lead on to the next.
    const int normals = RowOf("   face 1 vert norm indices are 0 , 1 , 0 , -1");
    ASSERT_GT(normals, face1);
    ClickListRow(normals);
    EXPECT_EQ(Hex()->MarkedOffset(), record1 + 48);
    EXPECT_EQ(Hex()->MarkedLength(), 16);
    QTest::keyClick(List(), Qt::Key_Up);
    EXPECT_EQ(Hex()->MarkedOffset(), record1 + 32);  // the texture vertex indices
    EXPECT_EQ(Hex()->MarkedLength(), 16);

    // The hardpoint's record: one line of type and position.
    const QModelIndex hardpoint = window_.TreeIndexOfNode(NodeOfBlock(sample_.Hardpoint));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(hardpoint).center());
    for (int row = 0; row < List()->model()->rowCount(); ++row) {
        ClickListRow(row);
        if (Hex()->MarkedOffset() == sample_.Hardpoint + 24) break;
    }
    EXPECT_EQ(Hex()->MarkedOffset(), sample_.Hardpoint + 24);
    EXPECT_GE(Hex()->MarkedLength(), 4);
}

TEST_F(Links, TheTreeFilterFindsBlocksByWhatTheirToolTipsCallThem) {
    QTreeView* tree = window_.findChild<QTreeView*>(QStringLiteral("structureTree"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualRect(window_.TreeIndexOfNode(0)).center());
    QTest::keyClick(tree, Qt::Key_F, Qt::ControlModifier);
    SearchBar* bar = window_.findChild<SearchBar*>(QStringLiteral("treeSearchBar"));
    ASSERT_TRUE(bar->isVisible());
    QTest::keyClicks(QApplication::focusWidget(), "hardpoint");
    EXPECT_TRUE(window_.TreeIndexOfNode(NodeOfBlock(sample_.Hardpoint)).isValid());
    EXPECT_FALSE(window_.TreeIndexOfNode(NodeOfBlock(sample_.Vertices)).isValid());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Hardpoint));
}

TEST_F(Links, TheRecordInspectorShowsTheChosenRecordAndFollowsAFacesIndices) {
    QDockWidget* dock = window_.findChild<QDockWidget*>(QStringLiteral("recordInspector"));
    ASSERT_NE(dock, nullptr);
    EXPECT_EQ(dock->windowTitle(), "Record");
    EXPECT_TRUE(dock->isVisible());

    // Face 0's record under the hex cursor: 16 values, each with its place and bytes.
    const int64_t record0 = sample_.Faces + 24 + 4;
    ClickByte(record0 + 4);
    EXPECT_EQ(RecordTitle(), QString("face 0 of the face block at %1").arg(sample_.Faces));
    ASSERT_EQ(RecordTable()->model()->rowCount(), 16);
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kName), "vertex indices, corner 1");
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kOffset), QString::number(record0 + 4));
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kType), "int32");
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kBytes), "01 00 00 00");
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kValue), "1");
    const QString vertex1 = QString("vertex 1 of the vertex block at %1").arg(sample_.Vertices);
    EXPECT_EQ(RecordCell(1, RecordValuesModel::kTarget), "vertex 1");
    EXPECT_EQ(RecordCell(2, RecordValuesModel::kTarget), "none");  // index 2 of 2 vertices
    EXPECT_EQ(RecordCell(13, RecordValuesModel::kTarget), "vertex normal 1");
    EXPECT_EQ(RecordTable()->model()->index(13, RecordValuesModel::kTarget).data(Qt::ToolTipRole),
              QString("Click, or Enter on the row, to go to vertex normal 1 of the vertex normal "
                      "block at %1")
                  .arg(sample_.Normals));

    // A picture of the window with the dock, to look at.
    QTest::qWait(50);
    window_.grab().save(QString::fromStdString(
        (fs::temp_directory_path() / "vexlor-record-inspector.png").string()));

    // A click on the link: the vertex's block, bytes and values.
    const QModelIndex link = RecordTable()->model()->index(1, RecordValuesModel::kTarget);
    RecordTable()->scrollTo(link);
    QTest::mouseClick(RecordTable()->viewport(), Qt::LeftButton, {},
                      RecordTable()->visualRect(link).center());
    EXPECT_EQ(window_.ChosenNode(), NodeOfBlock(sample_.Vertices));
    EXPECT_EQ(Hex()->MarkedOffset(), sample_.Vertices + 24 + 12);
    EXPECT_EQ(Hex()->MarkedLength(), 12);
    EXPECT_EQ(RecordTitle(), vertex1);
    ASSERT_EQ(RecordTable()->model()->rowCount(), 3);
    EXPECT_EQ(RecordCell(0, RecordValuesModel::kName), "vertices, x");
    EXPECT_EQ(RecordCell(0, RecordValuesModel::kValue), "0");

    // A face picked in the view shows its record; Enter on an index's row follows it.
    window_.FacePicked({&document_.Model(), 1, 0, sample_.Faces, 1});
    EXPECT_EQ(RecordTitle(), QString("face 1 of the face block at %1").arg(sample_.Faces));
    EXPECT_EQ(RecordCell(3, RecordValuesModel::kTarget), "none");  // 57
    RecordTable()->setFocus();
    RecordTable()->setCurrentIndex(RecordTable()->model()->index(2, 0));  // index 0
    QTest::keyClick(RecordTable(), Qt::Key_Return);
    EXPECT_EQ(RecordTitle(), QString("vertex 0 of the vertex block at %1").arg(sample_.Vertices));
    EXPECT_EQ(RecordCell(0, RecordValuesModel::kValue), "1");
}

}  // namespace
}  // namespace vexlor::inspector
