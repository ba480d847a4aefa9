// The main window's inspector commands: the tree seen through its filter, search, go to offset,
// where findings and problems lead, and what an open shows besides the tree.
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QTreeView>

#include "desktop/FileWatch.h"
#include "desktop/MainWindow.h"
#include "desktop/RecentFiles.h"
#include "desktop/ReloadBar.h"
#include "desktop/RepairPanel.h"
#include "desktop/RepairTableModel.h"
#include "inspector/BlockKindWords.h"
#include "inspector/ComparePanel.h"
#include "inspector/FindingsPanel.h"
#include "inspector/FindingsTableModel.h"
#include "inspector/HexPane.h"
#include "inspector/HexView.h"
#include "inspector/HexViewModel.h"
#include "inspector/OffsetBar.h"
#include "inspector/RecordInspector.h"
#include "inspector/SearchBar.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "inspector/plain/OffsetInput.h"
#include "reader/BlockLayout.h"
#include "reader/RecordPlaces.h"

namespace vexlor::desktop {

QModelIndex MainWindow::TreeIndexOfNode(int32_t node) const {
    return treeFilter_->IndexOfNode(node);
}

int32_t MainWindow::NodeOfTreeIndex(const QModelIndex& index) const {
    return treeFilter_->NodeOf(index);
}

int32_t MainWindow::ChosenNode() const {
    return NodeOfTreeIndex(structureTree_->currentIndex());
}

void MainWindow::ChooseNode(int32_t node) {
    QModelIndex index = TreeIndexOfNode(node);
    if (!index.isValid() && !treeFilter_->FilterText().isEmpty()) {
        treeBar_->Close();  // the filter hid it: the whole tree again
        index = TreeIndexOfNode(node);
    }
    if (!index.isValid()) return;
    const bool already = structureTree_->currentIndex() == index;
    structureTree_->setCurrentIndex(index);
    structureTree_->scrollTo(index);
    // A node that was chosen already shows its block again, as a click on it would.
    if (already) DisplayBlock();
}

void MainWindow::Find() {
    const QWidget* focus = QApplication::focusWidget();
    const auto within = [focus](const QWidget* pane) {
        return focus != nullptr && (focus == pane || pane->isAncestorOf(focus));
    };
    if (within(treePane_))
        treeBar_->Open();
    else if (within(hexPane_))
        hexPane_->Search()->Open();
    else
        reportBar_->Open();
}

void MainWindow::OpenGoToOffset() {
    hexDock_->show();
    hexDock_->raise();
    hexPane_->Offsets()->Open();
}

bool MainWindow::GoToOffset(const QString& text) {
    inspector::OffsetBar* bar = hexPane_->Offsets();
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        bar->SetStatus(QStringLiteral("No file is open"), true);
        return false;
    }
    const QByteArray typed = text.toUtf8();
    const Expected<int64_t> input = inspector::ParseOffset(
        std::string_view(typed.constData(), static_cast<size_t>(typed.size())),
        document.Stream().Size());
    if (!input.Ok()) {
        bar->SetStatus(QString::fromStdString(input.Message()), true);
        return false;
    }
    const OptModel& model = document.Model();
    const BytePlace place = PlaceOfByte(document.Stream(), model, input.Value());
    const int32_t node = place.Node >= 0 ? place.Node
                                         : FindInnermostBlock(document.Stream(), model.GlobalOffset,
                                                              model.BlockTable, input.Value());
    if (node >= 0) ChooseNode(node);
    hexPane_->View()->GoToOffset(input.Value());
    if (place.Node >= 0) SelectReportLineOf(place.Record);
    if (node >= 0) {
        const std::string& label = model.Tree.Node(node).Label;
        bar->SetStatus(
            QStringLiteral("%1 is in %2")
                .arg(inspector::OffsetWords(input.Value()), QString::fromStdString(label)),
            false);
    } else {
        bar->SetStatus(QStringLiteral("No block holds offset %1: it lies between blocks")
                           .arg(inspector::OffsetWords(input.Value())),
                       false);
    }
    return true;
}

void MainWindow::LeadTo(const inspector::FindingPlace& place, bool keepList) {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded() || !place.Leads()) return;
    const int32_t node = inspector::NodeOfPlace(place, document.Model());
    if (node < 0) return;
    keepListOnChoice_ = keepList;
    ChooseNode(node);
    keepListOnChoice_ = false;
    if (place.FaceInBlock >= 0) {
        if (!keepList) ScrollReportToFace(place.FaceInBlock);
        services_.View.HighlightFace(place.Block, place.FaceInBlock);
        Redraw();
    }
    const int64_t size = document.Stream().Size();
    if (place.Offset < 0 || place.Offset >= size) return;
    if (place.Length > 0)
        hexPane_->View()->MarkRange(place.Offset, std::min(place.Length, size - place.Offset));
    else
        hexPane_->View()->GoToOffset(place.Offset);
}

void MainWindow::ListRowDoubleClicked(int row) {
    const auto found = findingOfRow_.find(row);
    if (found == findingOfRow_.end()) return;
    const OptDocument& document = services_.Document;
    LeadTo(inspector::PlaceOfFinding(checkFindings_[found->second], document.Stream(),
                                     document.Model()),
           true);
}

void MainWindow::ShowProblemCount() {
    const int64_t count = services_.Document.Model().Problems.Count();
    if (count == 0)
        problemsLabel_->setText(QStringLiteral("No problems in the file"));
    else if (count == 1)
        problemsLabel_->setText(QStringLiteral("1 problem in the file"));
    else
        problemsLabel_->setText(QStringLiteral("%1 problems in the file").arg(count));
}

void MainWindow::ShowOpenedFile() {
    OptDocument& document = services_.Document;
    hexPane_->SetFile(&document.Stream(), document.Model().GlobalOffset, document.Numbers());
    checkFindings_.clear();
    findingsPanel_->Rows()->SetProblems(document.Stream(), document.Model());
    // The comparison's rows name blocks of the file that was open before.
    comparePanel_->Rows()->Clear();
    compareDock_->setWindowTitle(QStringLiteral("Compare"));
    // A plan holds places in the file it was made for.
    repairPanel_->Rows()->Clear();
    MarkPanelFaces();
    recordInspector_->Clear();
    bytePlace_->clear();
    ShowProblemCount();
    reloadBar_->hide();
    fileWatch_->Watch(currentFileName_);
    recentFiles_->Add(currentFileName_);
}

}  // namespace vexlor::desktop
