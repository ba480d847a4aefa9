// The hex view as a user meets it: rows of a file of any size (the last one partial, none for an
// empty file), the tints and legend of each block type, the tool tip of a hovered byte, the
// current byte moved by clicks and keys, and "Go to offset" from typed text to the byte and the
// block that owns it.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <cmath>
#include <set>

#include "inspector/HexLegend.h"
#include "inspector/HexTints.h"
#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/plain/OffsetInput.h"
#include "reader/BlockLayout.h"
#include "reader/OptDocument.h"
#include "samples/EveryBlockSample.h"

namespace vexlor::inspector {
namespace {

using testing::EveryBlockSample;

class HexViewTest : public ::testing::Test {
  protected:
    HexViewTest() {
        document_.OpenBytes(sample_.Bytes, "every.opt");
        view_.resize(720, 400);
        view_.Model()->SetFile(&document_.Stream(), document_.Model().GlobalOffset);
        legend_.Follow(view_.Model());
        view_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view_));
    }

    HexViewModel& Model() { return *view_.Model(); }
    BlockLayout NodeLayout(int32_t node) {
        return DescribeNode(document_.Stream(), document_.Model().GlobalOffset,
                            document_.Model().BlockTable, node);
    }
    int32_t NodeOfBlock(int64_t position) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 1; k < table.size(); ++k)
            if (table[k].Offset == position) return static_cast<int32_t>(k);
        return -1;
    }
    void ShowNode(int32_t node) { view_.ShowBlock(NodeLayout(node)); }
    QImage Picture() { return view_.viewport()->grab().toImage(); }
    // What a hover shows: Qt sends the viewport a tool tip event at the mouse position.
    QString HoverText(int64_t offset) {
        if (view_.HexCellRect(offset).isEmpty()) view_.GoToOffset(offset);
        const QPoint at = view_.HexCellRect(offset).center();
        QTest::mouseMove(view_.viewport(), at);
        QHelpEvent help(QEvent::ToolTip, at, view_.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view_.viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    EveryBlockSample sample_;
    OptDocument document_;
    HexView view_;
    HexLegend legend_;
};

TEST_F(HexViewTest, RowsShowOffsetsHexAndAsciiWithTheLastRowPartial) {
    QAbstractItemModelTester tester(&Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto size = static_cast<int64_t>(sample_.Bytes.size());
    ASSERT_NE(size % 16, 0) << "the sample should end in a partial row";
    EXPECT_EQ(Model().RowCount(), (size + 15) / 16);
    EXPECT_EQ(Model().rowCount(), (size + 15) / 16);
    EXPECT_EQ(Model().columnCount(), 18);

    // Row 1 holds bytes 16 ... 31: the file header's end and whatever follows it.
    EXPECT_EQ(Model().OffsetText(1), "00000010");
    const int64_t gapRow = HexViewModel::RowOf(sample_.Gap);
    const int gapColumn = static_cast<int>(sample_.Gap % 16);
    EXPECT_EQ(Model().HexText(gapRow).mid(HexViewModel::HexTextColumn(gapColumn), 2), "EE");
    EXPECT_EQ(Model().index(static_cast<int>(gapRow), 1 + gapColumn).data().toString(), "EE");
    EXPECT_EQ(Model().AsciiText(gapRow)[gapColumn], QLatin1Char('.'));
    const int64_t nameRow = HexViewModel::RowOf(sample_.TexHeader + 24);
    EXPECT_TRUE((Model().AsciiText(nameRow) + Model().AsciiText(nameRow + 1)).contains("wood"));

    const int64_t last = Model().RowCount() - 1;
    const int held = static_cast<int>(size - last * 16);
    EXPECT_EQ(Model().AsciiText(last).size(), held);
    EXPECT_EQ(Model().HexText(last).size(), HexViewModel::kHexTextLength);
    EXPECT_EQ(Model().HexText(last).mid(HexViewModel::HexTextColumn(held)).trimmed(), "");
    EXPECT_TRUE(Model().index(static_cast<int>(last), 1 + held).data().isNull());
    EXPECT_FALSE(Model().index(static_cast<int>(last), held).data().isNull());

    // A click on the last row's last byte finds it; beyond it there is no byte.
    view_.ScrollToRow(last);
    Picture();
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.HexCellRect(size - 1).center());
    EXPECT_EQ(view_.CurrentOffset(), size - 1);
    const QRect lastCell = view_.HexCellRect(size - 1);
    EXPECT_EQ(view_.OffsetAt(lastCell.center() + QPoint(lastCell.width() * 2, 0)), -1);
}

TEST_F(HexViewTest, TheLastByteOfARowIsDrawnInsideItsCell) {
    // A fixed-pitch glyph advances by a fraction of a pixel; the cells must follow the digits
    // drawn to the end of the row, not drift from them.
    view_.GoToOffset(40);  // the current byte's frame elsewhere
    const QImage picture = Picture();
    const QRect last = view_.HexCellRect(15);
    const QRect before = view_.HexCellRect(14);
    const QRect ascii = view_.TextCellRect(0);
    ASSERT_FALSE(last.isEmpty());
    int left = picture.width();
    int right = -1;
    for (int y = last.top(); y <= last.bottom(); ++y)
        for (int x = before.right() + 1; x < ascii.left(); ++x)
            if (qGray(picture.pixel(x, y)) < 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, 0) << "no digits drawn after byte 14";
    EXPECT_GE(left, last.left());
    EXPECT_LE(right, last.right());
    // And a click on those digits finds the byte.
    EXPECT_EQ(view_.OffsetAt(QPoint((left + right) / 2, last.center().y())), 15);
}

TEST_F(HexViewTest, AnEmptyFileHasNoRowsAndSaysSo) {
    OptStream empty;
    Model().SetFile(&empty, 0);
    QAbstractItemModelTester tester(&Model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(Model().RowCount(), 0);
    EXPECT_EQ(Model().rowCount(), 0);
    EXPECT_EQ(Model().ToolTipAt(0), "");
    view_.ShowBlock(DescribeFileHeader(empty, 0));
    EXPECT_TRUE(Model().Block().Spans.empty());
    view_.GoToOffset(10);
    view_.setFocus();
    QTest::keyClick(&view_, Qt::Key_Down);
    EXPECT_EQ(view_.CurrentOffset(), 0);
    const QImage picture = Picture();  // paints the notice, not a row
    EXPECT_FALSE(picture.isNull());
    EXPECT_EQ(view_.OffsetAt(QPoint(100, 5)), -1);
    EXPECT_EQ(ParseOffset("0", 0).Message(), "The file is empty: there is no offset to go to");
}

TEST_F(HexViewTest, EveryBlockTypeTintsItsPartsInDistinctColours) {
    struct Expected {
        int64_t block;
        std::vector<std::pair<int64_t, FieldKind>> bytes;  // offset from the block, kind
    };
    const Expected blocks[] = {
        {sample_.Vertices,
         {{0, FieldKind::kBlockId},
          {4, FieldKind::kBlockType},
          {16, FieldKind::kElementCount},
          {20, FieldKind::kPayloadOffset},
          {24 + 23, FieldKind::kVertices}}},
        {sample_.Normals, {{8, FieldKind::kSlotCount}, {24 + 35, FieldKind::kVertexNormals}}},
        {sample_.TexVerts, {{12, FieldKind::kSlotTableOffset}, {24, FieldKind::kTextureVertices}}},
        {sample_.Faces,
         {{24, FieldKind::kFacePayloadStart},
          {28, FieldKind::kFaceVertexIndices},
          {28 + 16, FieldKind::kFaceEdgeIndices},
          {28 + 32, FieldKind::kFaceTextureVertexIndices},
          {28 + 48, FieldKind::kFaceVertexNormalIndices},
          {28 + 64, FieldKind::kFaceVertexIndices},
          {28 + 128, FieldKind::kFaceNormals},
          {28 + 152, FieldKind::kFaceSoftVectors}}},
        {sample_.Hardpoint, {{24, FieldKind::kHardpointType}, {28, FieldKind::kHardpointPosition}}},
        {sample_.Descriptor,
         {{24, FieldKind::kDescriptorMeshType},
          {24 + 4, FieldKind::kDescriptorUnknown},
          {24 + 8, FieldKind::kDescriptorSpan},
          {24 + 20, FieldKind::kDescriptorCentre},
          {24 + 32, FieldKind::kDescriptorMinima},
          {24 + 44, FieldKind::kDescriptorMaxima},
          {24 + 56, FieldKind::kDescriptorTargetGroup},
          {24 + 60, FieldKind::kDescriptorTargetCentre}}},
        {sample_.TexHeader, {{0, FieldKind::kTextureNameOffset}, {24, FieldKind::kTextureName}}},
        {sample_.TexPointer, {{20, FieldKind::kPayloadOffset}}},
        {sample_.Lod, {{24, FieldKind::kSlotTable}, {32, FieldKind::kLodDistances}}},
        {sample_.Unknown, {{4, FieldKind::kBlockType}, {24, FieldKind::kUnread}}},
    };
    for (const Expected& expected : blocks) {
        const int32_t node = NodeOfBlock(expected.block);
        ASSERT_GT(node, 0);
        ShowNode(node);
        for (const auto& [at, kind] : expected.bytes) {
            const int64_t offset = expected.block + at;
            const QModelIndex cell = Model().index(static_cast<int>(offset / 16), 1 + offset % 16);
            if (kind == FieldKind::kUnread) {  // the unknown block owns no payload
                EXPECT_FALSE(Model().TintAt(offset).isValid()) << node;
                EXPECT_TRUE(cell.data(Qt::BackgroundRole).isNull()) << node;
                continue;
            }
            EXPECT_EQ(Model().TintAt(offset), TintOf(kind)) << node << " +" << at;
            EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QBrush>().color(), TintOf(kind))
                << node << " +" << at;
        }
        // Every part of the block has a legend entry, and no two entries look alike.
        const QList<HexLegend::Entry>& entries = legend_.Entries();
        EXPECT_EQ(entries.size(), [&] {
            std::set<FieldKind> kinds;
            for (const LayoutSpan& span : Model().Block().Spans)
                kinds.insert(span.Kind);
            return static_cast<qsizetype>(kinds.size());
        }());
        for (qsizetype i = 0; i < entries.size(); ++i) {
            for (qsizetype j = i + 1; j < entries.size(); ++j) {
                const QColor a = entries[i].Tint;
                const QColor b = entries[j].Tint;
                const double distance =
                    std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
                EXPECT_GT(distance, 35.0) << node << ": " << entries[i].Name.toStdString()
                                          << " and " << entries[j].Name.toStdString();
            }
        }
    }
    // The root shows the file header; bytes of no block are never tinted.
    ShowNode(0);
    EXPECT_EQ(Model().TintAt(4), TintOf(FieldKind::kFileSize));
    EXPECT_EQ(Model().TintAt(sample_.B.MeshTablePosition()), TintOf(FieldKind::kSlotTable));
    EXPECT_FALSE(Model().TintAt(sample_.Gap).isValid());
}

TEST_F(HexViewTest, ChoosingAFaceBlockScrollsToItAndPaintsItsTintsAndLegend) {
    view_.resize(720, 120);  // a few rows, so the block must be scrolled to
    ShowNode(NodeOfBlock(sample_.Faces));
    EXPECT_EQ(view_.TopRow(), HexViewModel::RowOf(sample_.Faces));
    EXPECT_EQ(view_.CurrentOffset(), sample_.Faces);

    QStringList names;
    for (const HexLegend::Entry& entry : legend_.Entries())
        names << entry.Name;
    EXPECT_EQ(names, QStringList({"block id (not read)", "block type", "slot count (not followed)",
                                  "slot table offset (not followed)", "face count",
                                  "payload offset", "face payload start (not read)",
                                  "vertex indices", "edge indices", "texture vertex indices",
                                  "vertex normal indices", "face normals", "soft vectors"}));
    EXPECT_TRUE(legend_.text().contains(TintOf(FieldKind::kFaceEdgeIndices).name()));

    // The picture: an edge index byte's cell has the edge tint above its digits.
    const int64_t edge = sample_.Faces + 24 + 4 + 16 + 1;
    const QImage picture = Picture();
    const QRect cell = view_.HexCellRect(edge);
    ASSERT_FALSE(cell.isEmpty());
    EXPECT_EQ(QColor(picture.pixel(cell.center().x(), cell.top())),
              TintOf(FieldKind::kFaceEdgeIndices));
    EXPECT_EQ(QColor(picture.pixel(view_.TextCellRect(edge).center().x(), cell.top())),
              TintOf(FieldKind::kFaceEdgeIndices));
}

TEST_F(HexViewTest, HoveringAByteNamesItsFieldAndDecodedValue) {
    ShowNode(NodeOfBlock(sample_.Faces));
    EXPECT_EQ(HoverText(sample_.Faces + 24 + 4 + 64 + 13),
              QString("offset %1 (0x%2)\nface 1, corner 3 (vertex indices): int32 57")
                  .arg(sample_.Faces + 24 + 4 + 64 + 13)
                  .arg(QString::number(sample_.Faces + 24 + 4 + 64 + 13, 16).toUpper()));
    const int64_t payload = sample_.Faces + 24;
    EXPECT_TRUE(HoverText(sample_.Faces + 21)
                    .endsWith(QString("payload offset: stored %1 -> file position %2")
                                  .arg(payload + EveryBlockSample::kGlobalOffset)
                                  .arg(payload)));
    EXPECT_TRUE(HoverText(sample_.Faces + 24 + 4 + 128 + 8)
                    .endsWith("face 0, z (face normals): single -1"));
    // A byte of no field of the shown block: its raw values.
    EXPECT_TRUE(HoverText(sample_.Gap).endsWith("from here: int32 -286331154, single -3.69731E28"));
}

TEST_F(HexViewTest, ClicksAndKeysMoveTheCurrentByteAndKeepItInSight) {
    view_.resize(720, 120);
    ShowNode(NodeOfBlock(sample_.Vertices));
    Picture();
    const int64_t target = sample_.Vertices + 5;
    QSignalSpy moved(&view_, &HexView::CurrentOffsetChanged);
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, view_.TextCellRect(target).center());
    EXPECT_EQ(view_.CurrentOffset(), target);
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0][0].toLongLong(), target);

    QTest::keyClick(&view_, Qt::Key_Right);
    QTest::keyClick(&view_, Qt::Key_Down);
    EXPECT_EQ(view_.CurrentOffset(), target + 17);
    QTest::keyClick(&view_, Qt::Key_End, Qt::ControlModifier);
    const auto size = static_cast<int64_t>(sample_.Bytes.size());
    EXPECT_EQ(view_.CurrentOffset(), size - 1);
    EXPECT_FALSE(view_.HexCellRect(size - 1).isEmpty());  // scrolled into sight
    QTest::keyClick(&view_, Qt::Key_PageUp);
    EXPECT_LT(view_.CurrentOffset(), size - 1);
    EXPECT_FALSE(view_.HexCellRect(view_.CurrentOffset()).isEmpty());
    QTest::keyClick(&view_, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view_.CurrentOffset(), 0);
    EXPECT_EQ(view_.TopRow(), 0);
}

TEST_F(HexViewTest, AHundredMegabyteFileScrollsToItsLastPartialRow) {
    std::vector<uint8_t> bytes(100 * 1000 * 1000 + 7, 0x41);
    bytes.back() = 0x7A;
    OptStream big(std::move(bytes));
    Model().SetFile(&big, 0);
    EXPECT_EQ(Model().RowCount(), 6250001);
    view_.GoToOffset(big.Size() - 1);
    EXPECT_EQ(view_.CurrentOffset(), big.Size() - 1);
    Picture();
    EXPECT_FALSE(view_.HexCellRect(big.Size() - 1).isEmpty());
    EXPECT_EQ(Model().AsciiText(Model().RowCount() - 1), "AAAAAAz");
    view_.verticalScrollBar()->setValue(view_.verticalScrollBar()->maximum());
    const int lastVisible = static_cast<int>(Model().RowCount() - 1 - view_.TopRow());
    EXPECT_LT(lastVisible, view_.VisibleRows());
}

}  // namespace
}  // namespace vexlor::inspector
