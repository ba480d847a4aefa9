// The main window's repair: File > Repair... lists in the repair panel what a repair of the open
// file would write; its write button asks for a new file (never the open one), writes the repair
// there atomically and offers to open it.
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>

#include "desktop/MainWindow.h"
#include "desktop/RepairPanel.h"
#include "desktop/RepairTableModel.h"
#include "repair/RepairWrite.h"

namespace vexlor::desktop {

void MainWindow::RepairWithDialog() {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        ShowNoOptLoaded();
        return;
    }
    const int64_t problems = document.Model().Problems.Count();
    if ((problems > 0 || !document.NotOptReason().empty()) &&
        !services_.Messages.Confirm(
            QStringLiteral("The open found %1 problems in the file (the findings panel lists "
                           "them).\nRepair it anyway? Only records read whole are written.")
                .arg(problems)))
        return;
    const VertexNormalCheck mode = NormalCheckMode();
    repairPanel_->Rows()->SetPlan(PlanRepair(document, {true, true, mode}));
    repairDock_->show();
    repairDock_->raise();
    MarkPanelFaces();
    statusBar()->showMessage(QStringLiteral("Repair: ") + repairPanel_->Summary());
}

void MainWindow::WriteRepair() {
    OptDocument& document = services_.Document;
    const RepairPlan& plan = repairPanel_->Rows()->Plan();
    if (!document.OptLoaded() || plan.Changes.empty()) return;
    const QString open = QFile::decodeName(document.CurrentFileName().c_str());
    const std::optional<QString> chosen = ChooseSaveTarget(
        QStringLiteral("Write repaired file"), QStringLiteral("OPT files (*.OPT *.opt *.Opt)"),
        QStringLiteral(".opt"), QStringLiteral("-repaired"));
    if (!chosen) return;
    const std::string input = QFile::encodeName(open).toStdString();
    const std::string output = QFile::encodeName(*chosen).toStdString();
    const Result written =
        WriteRepairedFile(input, output, document.Stream(), plan);
    if (!written.Ok()) {
        ShowFailure(written);
        statusBar()->showMessage(QFile::decodeName(written.Message().c_str()));
        return;
    }
    statusBar()->showMessage(
        QStringLiteral("Repaired %1 fields, written to %2").arg(plan.Changes.size()).arg(*chosen));
    repairPanel_->ShowWritten(QFileInfo(*chosen).fileName());
    if (services_.Messages.Confirm(QStringLiteral("The repair is written to %1.\nOpen it?")
                                       .arg(QFileInfo(*chosen).fileName())))
        OpenFile(*chosen);
}

}  // namespace vexlor::desktop
