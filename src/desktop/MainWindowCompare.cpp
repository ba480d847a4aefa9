// File > Compare with...: the open file compared with another, field by field, in the compare
// panel, whose rows lead to their places in the open file.
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>

#include "compare/DifferenceText.h"
#include "desktop/MainWindow.h"
#include "inspector/ComparePanel.h"

namespace vexlor::app {

void MainWindow::BuildCompareDock() {
    comparePanel_ = new ComparePanel(this);
    comparePanel_->setObjectName(QStringLiteral("comparePanel"));
    compareDock_ = new QDockWidget(QStringLiteral("Compare"), this);
    compareDock_->setObjectName(QStringLiteral("compareDock"));
    compareDock_->setWidget(comparePanel_);
    addDockWidget(Qt::BottomDockWidgetArea, compareDock_);
    tabifyDockWidget(findingsDock_, compareDock_);
    compareDock_->hide();
    // A face's field leads to the face's lines in the report too.
    connect(comparePanel_, &ComparePanel::Chosen, this, [this](const FindingPlace& place) {
        LeadTo(place, false);
        if (place.FaceInBlock >= 0) ScrollReportToFace(place.FaceInBlock);
    });
}

void MainWindow::CompareWithDialog() {
    if (!services_.document.OptLoaded()) {
        ShowNoOptLoaded();
        return;
    }
    const std::optional<QString> name =
        services_.dialogs.OpenFile(QStringLiteral("Compare with"),
                                   QStringLiteral("OPT files (*.OPT *.opt *.Opt)"), LastFolder());
    if (!name) return;
    SetLastFolder(QFileInfo(*name).absolutePath());
    CompareWith(*name);
}

bool MainWindow::CompareWith(const QString& path) {
    OptDocument& document = services_.document;
    if (!document.OptLoaded()) return false;
    auto other = std::make_unique<OptDocument>(document.Numbers());
    const Result opened = other->Open(QFile::encodeName(path).toStdString());
    if (!opened.Ok()) {
        ShowFailure(opened);
        return false;
    }
    if (!other->NotOptReason().empty()) {
        services_.messages.Error(QStringLiteral("%1 is not an OPT file").arg(path),
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
    statusBar()->showMessage(QStringLiteral("Compared with %1: %2").arg(path, summary));
    return true;
}

}  // namespace vexlor::app
