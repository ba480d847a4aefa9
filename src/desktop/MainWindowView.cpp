// The main window's side of the 3D view: the shaded box, picked faces shown in the tree and the
// report list, the status bar's texts about the view, and View > Save picture.
#include <QCheckBox>
#include <QDockWidget>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTreeView>
#include <algorithm>
#include <limits>

#include "desktop/MainWindow.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "reader/BlockTypes.h"
#include "reader/FormatTables.h"
#include "reader/RecordPlaces.h"

namespace vexlor::desktop {

void MainWindow::ShadedBoxClicked() {
    services_.View.SetShaded(shadedBox_->isChecked());
    shadedAction_->setChecked(shadedBox_->isChecked());
}

void MainWindow::ShadedChanged(bool on) {
    shadedBox_->setChecked(on);
    shadedAction_->setChecked(on);
}

void MainWindow::ModelNumbersChanged(const std::string& text) {
    modelNumbers_->setText(QString::fromStdString(text));
}

void MainWindow::UnderCursorChanged(const std::string& text) {
    underCursor_->setText(QString::fromStdString(text));
}

void MainWindow::FacePicked(const PickedFace& face) {
    // A face of the browser's preview is no face of the open file.
    if (face.DrawIndex < 0 || face.Model != &services_.Document.Model()) return;
    if (!ShowFaceInReport(face.BlockOffset, face.FaceInBlock, face.Mesh)) return;
    // Showing the face's block cleared the view's highlight, as any chosen block does.
    services_.View.HighlightFace(face.BlockOffset, face.FaceInBlock);
    MarkFaceRecord(face.BlockOffset, face.FaceInBlock);
}

void MainWindow::MarkFaceRecord(int64_t blockOffset, int32_t faceInBlock) {
    const OptDocument& document = services_.Document;
    // The record's four index groups, as a finding about the face outlines them.
    const ByteRange range = RangeOf(document.Stream(), document.Model().GlobalOffset,
                                    FaceRecordRef(blockOffset, faceInBlock));
    if (!range.Empty()) hexPane_->View()->MarkRange(range.Begin, range.Size());
}

void MainWindow::ShowFaceOfRecord(const RecordRef& record) {
    if (record.Type != kTypeFace || record.Region < format::kFaceIndicesRegion ||
        record.Record < 0 || record.Record > std::numeric_limits<int32_t>::max())
        return;
    services_.View.HighlightFace(record.Block, static_cast<int32_t>(record.Record));
    if (viewDock_ != nullptr) {
        viewDock_->show();
        viewDock_->raise();
    }
}

int32_t MainWindow::FaceBlockNode(int64_t blockOffset, int32_t mesh) const {
    const std::vector<BlockEntry>& table = services_.Document.Model().BlockTable;
    int32_t found = -1;
    for (size_t k = 0; k < table.size(); ++k) {
        if (table[k].Type != kTypeFace || table[k].Offset != blockOffset) continue;
        if (table[k].Mesh == mesh) return static_cast<int32_t>(k);
        if (found < 0) found = static_cast<int32_t>(k);
    }
    return found;
}

bool MainWindow::ShowFaceInReport(int64_t blockOffset, int32_t faceInBlock, int32_t mesh) {
    if (!services_.Document.OptLoaded()) return false;
    const int32_t node = FaceBlockNode(blockOffset, mesh);
    if (node < 0) return false;
    // Choosing the node shows its block, also when it was chosen already and shows other lines
    // (a check's).
    ChooseNode(node);
    return ScrollReportToFace(faceInBlock);
}

bool MainWindow::ScrollReportToFace(int32_t faceInBlock) {
    const ReportLines& lines = listModel_->Lines();
    const std::string heading = "FACE " + std::to_string(faceInBlock);
    const auto at = std::find(lines.begin(), lines.end(), heading);
    if (at == lines.end()) return false;
    const auto first = static_cast<int>(at.Row());
    // The face's lines run to the rule before the next face.
    int last = first;
    while (last + 1 < static_cast<int>(lines.size()) && !lines[size_t(last) + 1].starts_with("---"))
        ++last;
    const QModelIndex top = listModel_->index(first);
    movingReportLine_ = true;
    reportList_->setCurrentIndex(top);
    movingReportLine_ = false;
    reportList_->selectionModel()->select(QItemSelection(top, listModel_->index(last)),
                                          QItemSelectionModel::ClearAndSelect);
    // The rule above the face at the top, so that the face's record shows from its start.
    reportList_->scrollTo(listModel_->index(first > 0 ? first - 1 : first),
                          QAbstractItemView::PositionAtTop);
    return true;
}

void MainWindow::SavePictureWithDialog() {
    if (!services_.Document.OptLoaded()) {
        ShowNoOptLoaded();
        return;
    }
    const int32_t largest = services_.View.LargestPictureSide();
    if (largest <= 0) {
        services_.Messages.Error(QStringLiteral("Cannot save a picture"),
                                 QStringLiteral("OpenGL offers no framebuffer for pictures here"));
        return;
    }
    const PixelSize frame = services_.View.FrameSize();
    const std::optional<QSize> size =
        services_.Dialogs.PictureSize(QSize(frame.Width, frame.Height), largest);
    if (!size) return;
    const std::optional<QString> path =
        ChooseSaveTarget(QStringLiteral("Save picture"), QStringLiteral("PNG pictures (*.png)"),
                         QStringLiteral(".png"));
    if (!path) return;
    ReportSave(services_.View.SavePicture(QFile::encodeName(*path).toStdString(),
                                          {size->width(), size->height()}),
               *path);
}

}  // namespace vexlor::desktop
