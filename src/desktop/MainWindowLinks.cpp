// The main window's links between its panes: a byte of the hex view names its block and field and
// leads to its node and report line; a report line outlines its record's bytes; the record
// inspector shows the record of the current byte and follows its links.
#include <QDockWidget>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>

#include "desktop/MainWindow.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/RecordInspector.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "reader/BlockLayout.h"
#include "reader/ByteDescription.h"

namespace vexlor::desktop {

void MainWindow::BuildRecordDock() {
    recordInspector_ = new inspector::RecordInspector(this);
    recordInspector_->setObjectName(QStringLiteral("recordInspectorPane"));
    recordDock_ = new QDockWidget(QStringLiteral("Record"), this);
    recordDock_->setObjectName(QStringLiteral("recordInspector"));
    recordDock_->setWidget(recordInspector_);
    // Placed under the hex view by ArrangeDocks.
    addDockWidget(Qt::RightDockWidgetArea, recordDock_);

    bytePlace_ = new QLabel(this);
    bytePlace_->setObjectName(QStringLiteral("bytePlace"));
    statusBar()->insertPermanentWidget(0, bytePlace_);

    inspector::HexView* hex = hexPane_->View();
    connect(hex, &inspector::HexView::CurrentOffsetChanged, this,
            [this](qint64 offset) { ByteChosen(offset); });
    connect(hex, &inspector::HexView::OffsetActivated, this,
            [this](qint64 offset) { ByteActivated(offset); });
    connect(reportList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!movingReportLine_) ReportLineChosen(current.row());
            });
    connect(recordInspector_, &inspector::RecordInspector::TargetChosen, this,
            [this](const RecordRef& target) { ShowRecord(target); });
}

void MainWindow::ByteChosen(int64_t offset) {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded() || offset < 0 || offset >= document.Stream().Size()) {
        bytePlace_->clear();
        return;
    }
    const OptModel& model = document.Model();
    const BytePlace place = PlaceOfByte(document.Stream(), model, offset);
    if (place.Node < 0) {
        bytePlace_->setText(QStringLiteral("Offset %1: no block holds it").arg(offset));
        return;
    }
    const ByteDescription byte = DescribeByte(
        document.Stream(), model.GlobalOffset,
        DescribeNode(document.Stream(), model.GlobalOffset, model.BlockTable, place.Node), offset,
        document.Numbers());
    bytePlace_->setText(QStringLiteral("Offset %1: %2 in %3")
                            .arg(QString::number(offset), QString::fromStdString(byte.Field),
                                 QString::fromStdString(model.Tree.Node(place.Node).Label)));
    recordInspector_->Show(document.Stream(), model.GlobalOffset, document.Numbers(), place.Record,
                           model.BlockTable[static_cast<size_t>(place.Node)].Mesh);
}

void MainWindow::ByteActivated(int64_t offset) {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return;
    const BytePlace place = PlaceOfByte(document.Stream(), document.Model(), offset);
    if (place.Node < 0) return;
    ChooseNode(place.Node);
    // Showing the block moved the hex view to the block's start: back to the byte.
    hexPane_->View()->GoToOffset(offset);
    SelectReportLineOf(place.Record);
    ShowFaceOfRecord(place.Record);
}

void MainWindow::ReportLineChosen(int row) {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded() || row < 0) return;
    const std::optional<RecordRef> record = lineMap_.RecordOfLine(row);
    if (!record) return;
    const ByteRange range = RangeOf(document.Stream(), document.Model().GlobalOffset, *record);
    if (!range.Empty()) hexPane_->View()->MarkRange(range.Begin, range.Size());
    ShowFaceOfRecord(*record);
}

void MainWindow::ShowRecord(const RecordRef& record) {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return;
    const OptModel& model = document.Model();
    const ByteRange range = RangeOf(document.Stream(), model.GlobalOffset, record);
    if (range.Empty()) return;
    // The record's own block (a vertex block shared by levels of detail: its first node).
    int32_t node = -1;
    const auto nodes = std::min(model.BlockTable.size(), static_cast<size_t>(model.Tree.Count()));
    for (size_t k = 0; k < nodes && node < 0; ++k)
        if (model.BlockTable[k].Offset == record.Block && model.BlockTable[k].Type == record.Type)
            node = static_cast<int32_t>(k);
    if (node >= 0) ChooseNode(node);
    hexPane_->View()->MarkRange(range.Begin, range.Size());
    SelectReportLineOf(record);
    ShowFaceOfRecord(record);
}

bool MainWindow::SelectReportLineOf(const RecordRef& record) {
    std::optional<int64_t> line = lineMap_.LineOfRecord(record);
    if (!line && record.Field >= 0) {
        RecordRef whole = record;
        whole.Field = -1;
        line = lineMap_.LineOfRecord(whole);
    }
    if (!line || *line >= listModel_->rowCount()) return false;
    const QModelIndex index = listModel_->index(static_cast<int>(*line));
    movingReportLine_ = true;
    reportList_->setCurrentIndex(index);
    movingReportLine_ = false;
    reportList_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    return true;
}

}  // namespace vexlor::desktop
