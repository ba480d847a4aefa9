// File > Compare with...: the open file compared with another, field by field, in the compare
// panel, whose rows lead to their places in the open file; the faces the compare and repair
// panels list, marked in the view while they show.
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>

#include "compare/DifferenceText.h"
#include "desktop/MainWindow.h"
#include "desktop/RepairPanel.h"
#include "desktop/RepairTableModel.h"
#include "inspector/ComparePanel.h"

namespace vexlor::desktop {

void MainWindow::BuildCompareDock() {
    comparePanel_ = new inspector::ComparePanel(this);
    comparePanel_->setObjectName(QStringLiteral("comparePanel"));
    compareDock_ = new QDockWidget(QStringLiteral("Compare"), this);
    compareDock_->setObjectName(QStringLiteral("compareDock"));
    compareDock_->setWidget(comparePanel_);
    addDockWidget(Qt::BottomDockWidgetArea, compareDock_);
    tabifyDockWidget(findingsDock_, compareDock_);
    compareDock_->hide();
    connect(compareDock_, &QDockWidget::visibilityChanged, this, [this] { MarkPanelFaces(); });
    // A face's field leads to the face's lines in the report too.
    connect(comparePanel_, &inspector::ComparePanel::Chosen, this,
            [this](const inspector::FindingPlace& place) {
                LeadTo(place, false);
                if (place.FaceInBlock >= 0) ScrollReportToFace(place.FaceInBlock);
            });
}

void MainWindow::CompareWithDialog() {
    if (!services_.Document.OptLoaded()) {
        ShowNoOptLoaded();
        return;
    }
    const std::optional<QString> name =
        services_.Dialogs.OpenFile(QStringLiteral("Compare with"),
                                   QStringLiteral("OPT files (*.OPT *.opt *.Opt)"), LastFolder());
    if (!name) return;
    SetLastFolder(QFileInfo(*name).absolutePath());
    CompareWith(*name);
}

bool MainWindow::CompareWith(const QString& path) {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return false;
    auto other = std::make_unique<OptDocument>(document.Numbers());
    const Result opened = other->Open(QFile::encodeName(path).toStdString());
    if (!opened.Ok()) {
        ShowFailure(opened);
        return false;
    }
    if (!other->NotOptReason().empty()) {
        services_.Messages.Error(QStringLiteral("%1 is not an OPT file").arg(path),
                                 QString::fromStdString(other->NotOptReason()));
        return false;
    }
    FileComparison comparison = CompareFiles(document, *other);
    QString summary = QString::fromStdString(ComparisonSummary(comparison));
    for (const std::string& note : ProblemNotes(comparison))
        summary += QStringLiteral("; ") + QString::fromStdString(note);
    comparePanel_->Rows()->SetComparison(document, std::move(other), std::move(comparison));
    compareDock_->setWindowTitle(QStringLiteral("Compare with %1").arg(QFileInfo(path).fileName()));
    compareDock_->show();
    compareDock_->raise();
    MarkPanelFaces();
    statusBar()->showMessage(QStringLiteral("Compared with %1: %2").arg(path, summary));
    return true;
}

void MainWindow::MarkPanelFaces() {
    std::vector<std::pair<int64_t, int32_t>> faces;
    if (repairDock_ != nullptr && repairDock_->isVisible())
        faces = repairPanel_->Rows()->ChangedFaces();
    if (compareDock_ != nullptr && compareDock_->isVisible()) {
        const auto differing = comparePanel_->Rows()->DifferingFaces();
        faces.insert(faces.end(), differing.begin(), differing.end());
    }
    services_.View.MarkFaces(faces);
}

}  // namespace vexlor::desktop
