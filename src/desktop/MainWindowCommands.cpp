// The main window's commands: open, block display, tree buttons, level of detail, saves, check,
// rotation controls.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QLocale>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>
#include <QUrl>

#include "check/ConsistencyCheck.h"
#include "desktop/ExportAction.h"
#include "desktop/MainWindow.h"
#include "desktop/ReadmeWindow.h"
#include "inspector/FindingsPanel.h"
#include "inspector/FindingsTableModel.h"
#include "inspector/HexPane.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "reader/BlockLayout.h"
#include "reader/HeaderCheck.h"
#include "reader/SameFileRule.h"

namespace vexlor::desktop {

namespace {
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool IsOptFile(const QUrl& url) {
    return url.isLocalFile() &&
           url.toLocalFile().endsWith(QStringLiteral(".opt"), Qt::CaseInsensitive);
}

// What the saves, the check and the block display say before any file is opened.
const std::vector<std::string> kNoOptLoaded{"", "?? no opt loaded!"};

// The vertex normal modes in the order of the radio group's items.
constexpr VertexNormalCheck kNormalCheckModes[] = {
    VertexNormalCheck::WholeModel, VertexNormalCheck::MeshByMesh, VertexNormalCheck::None};
}  // namespace

void MainWindow::ShowLines(const std::vector<std::string>& lines) {
    ShowReportLines(ReportLines(lines));
}

void MainWindow::ShowReportLines(ReportLines lines) {
    // Rows lead to findings only while they are the check's lines.
    findingOfRow_.clear();
    lineMap_ = ReportLineMap();
    listModel_->SetLines(std::move(lines));
    // New lines start at their first line, not where the lines before were scrolled to.
    reportList_->scrollToTop();
    reportList_->horizontalScrollBar()->setValue(0);
}

void MainWindow::ShowNoOptLoaded() {
    ShowLines(kNoOptLoaded);
}

QString MainWindow::CaptionOfLoadedFile() const {
    const OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return QStringLiteral("OPT Vexlor");
    return QStringLiteral("OPTvexlor - ") + QFile::decodeName(document.CurrentFileName().c_str());
}

void MainWindow::ShowFailure(const Result& result) {
    services_.Messages.Error(QFile::decodeName(result.Message().c_str()),
                             QString::fromStdString(result.Reason()));
}

bool MainWindow::OpenFile(const QString& path) {
    currentFileName_ = path;
    return OpenCurrentFile();
}

bool MainWindow::RotationTicked() const {
    return rotationBox_->isChecked();
}

void MainWindow::OpenWithDialog() {
    const std::optional<QString> name = services_.Dialogs.OpenFile(
        QStringLiteral("Open"), QStringLiteral("OPT files (*.OPT *.opt *.Opt);;All files (*)"),
        LastFolder());
    if (!name) return;
    SetLastFolder(QFileInfo(*name).absolutePath());
    OpenFile(*name);
}

bool MainWindow::AcceptUnlikelyFile(const OptStream& stream) {
    // The loaded file read again (a reload) was accepted when it was opened.
    const OptDocument& document = services_.Document;
    if (document.OptLoaded() &&
        QFile::decodeName(document.CurrentFileName().c_str()) == currentFileName_)
        return true;
    const std::string reason = vexlor::NotOptReason(stream);
    if (reason.empty()) return true;
    return services_.Messages.Confirm(
        QStringLiteral("%1 does not look like an OPT file: %2. Open it anyway?")
            .arg(QFileInfo(currentFileName_).fileName(), QString::fromStdString(reason)));
}

bool MainWindow::OpenCurrentFile() {
    // The file is read, and a file that does not look like an OPT file is asked about, before
    // anything changes: a file that is not opened leaves the loaded one as it was, its tree's
    // expanded nodes and selection, the report list, the caption and the turning model included.
    OptStream stream;
    const Result opened = OptDocument::ReadFile(LocalPath(currentFileName_), stream);
    if (!opened.Ok()) ShowFailure(opened);
    if (!opened.Ok() || !AcceptUnlikelyFile(stream)) {
        // The previous file is still the loaded one; it is the file that going back from the
        // browser re-opens.
        setWindowTitle(CaptionOfLoadedFile());
        if (services_.Document.OptLoaded())
            currentFileName_ = QFile::decodeName(services_.Document.CurrentFileName().c_str());
        return false;
    }
    services_.View.StopRotation();
    // Every open starts at the first level of detail, whatever the radio group shows.
    services_.View.ShowLevelOfDetail(1);
    ShowLines({});
    setWindowTitle(QStringLiteral("OPTvexlor - ") + currentFileName_);
    // The tree model announces the reset before the document rebuilds the tree it presents; the
    // hex view lets go of the bytes before they change.
    hexPane_->ClearFile();
    treeModel_->BeginReset();
    services_.Document.Open(std::move(stream), LocalPath(currentFileName_));
    const OptModel& model = services_.Document.Model();
    std::vector<bool> warned(static_cast<size_t>(model.Tree.Count()));
    for (size_t k = 0; k < warned.size() && k < model.BlockTable.size(); ++k)
        warned[k] = model.Problems.BlockHasProblems(model.BlockTable[k].Offset);
    shownBlock_.reset();
    treeModel_->SetWarnings(std::move(warned));
    treeModel_->EndReset();
    treeModel_->SetRootCaption({});
    structureTree_->expand(TreeIndexOfNode(0));
    // The walk reads any file; one that is plainly not an OPT file is said to be one at once.
    const std::string& notOpt = services_.Document.NotOptReason();
    if (notOpt.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(QStringLiteral("This does not look like an OPT file: ") +
                                 QString::fromStdString(notOpt));
    ShowOpenedFile();
    services_.View.SetModel(&services_.Document.Model());
    services_.View.SetupScene();
    services_.View.ShowMesh(0);
    // Every open starts framed: the start view, fitted to the new model.
    services_.View.ResetToStartView();
    services_.View.FrameModel();
    services_.View.Redraw();
    services_.View.RestartRotation(rotationBox_->isChecked());
    return true;
}

void MainWindow::ReturnFromPreview() {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) return;
    ViewLink& view = services_.View;
    view.StopRotation();
    view.SetModel(&document.Model());
    view.SetupScene();
    view.ShowLevelOfDetail(std::max(0, lodItems_->checkedId()));
    view.ShowMesh(0);
    if (shownBlock_) view.ShowBlock(*shownBlock_);
    view.RestoreCamera();
    MarkPanelFaces();
    view.Redraw();
    view.RestartRotation(rotationBox_->isChecked());
}

void MainWindow::TreeSelectionChanged() {
    DisplayBlock();
}
void MainWindow::TreeClicked() {
    DisplayBlock();
}

void MainWindow::DisplayBlock() {
    const int32_t node = ChosenNode();
    if (node < 0) return;  // nothing chosen yet
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
    } else {
        std::vector<std::string> lines;
        ReportLineMap records;
        const std::optional<ShownBlock> shown = document.DisplayBlock(node, lines, &records);
        if (!keepListOnChoice_) {
            ShowLines(std::move(lines));
            lineMap_ = std::move(records);
        }
        if (shown) services_.View.ShowBlock(*shown);
        shownBlock_ = shown;
        hexPane_->ShowBlock(DescribeNode(document.Stream(), document.Model().GlobalOffset,
                                         document.Model().BlockTable, node));
    }
    Redraw();
}

void MainWindow::ExpandAll() {
    structureTree_->expandAll();
    structureTree_->scrollTo(TreeIndexOfNode(0), QAbstractItemView::PositionAtTop);
}

void MainWindow::CollapseAll() {
    structureTree_->collapseAll();
    structureTree_->expand(TreeIndexOfNode(0));
}

void MainWindow::ExpandSelected() {
    const QModelIndex selected = structureTree_->currentIndex();
    if (!selected.isValid()) {
        services_.Messages.Error(QStringLiteral("Invalid index"));
        return;
    }
    structureTree_->expandRecursively(selected);
}

void MainWindow::ChooseLevelOfDetail(int itemIndex) {
    // The items are "All", "1", "2", "3": the item's index is the level, 0 for all of them.
    if (itemIndex < 0 || itemIndex > 3) return;
    services_.View.ShowLevelOfDetail(itemIndex);
    Redraw();
}

void MainWindow::SaveAsciiWithDialog() {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
        return;
    }
    const std::optional<QString> path = ChooseSaveTarget(
        QStringLiteral("Save ASCII"), QStringLiteral("Text Files (*.txt)"), QStringLiteral(".txt"));
    if (!path) return;
    const Result saved =
        document.SaveAscii(LocalPath(*path), QFile::encodeName(windowTitle()).toStdString());
    ReportSave(saved, *path);
}

void MainWindow::SavePrjWithDialog() {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
        return;
    }
    const std::optional<QString> path = ChooseSaveTarget(
        QStringLiteral("Save PRJ"), QStringLiteral("PRJ files (*.prj)"), QStringLiteral(".PRJ"));
    if (!path) return;
    ReportSave(document.SavePrj(LocalPath(*path)), *path);
}

void MainWindow::ExportWithDialog() {
    if (!services_.Document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
        return;
    }
    const std::optional<QString> chosen = ChooseAndExport(
        *this, services_.Dialogs, services_.Messages, lodItems_->checkedId(), LastFolder());
    if (chosen) lastFolder_ = QFileInfo(*chosen).absolutePath();
}

std::optional<QString> MainWindow::ChooseSaveTarget(const QString& caption, const QString& filter,
                                                    const QString& extension,
                                                    const QString& suffix) {
    const QString baseName =
        QFileInfo(QFile::decodeName(services_.Document.CurrentFileName().c_str()))
            .completeBaseName();
    const std::optional<QString> chosen = services_.Dialogs.SaveFile(
        caption, filter, QDir(LastFolder()).filePath(baseName + suffix + extension));
    if (!chosen) return std::nullopt;
    SetLastFolder(QFileInfo(*chosen).absolutePath());
    const QString path = WithExtension(*chosen, extension);
    // The open file is never written over, by any name: refused before anything is written.
    const std::string open = services_.Document.CurrentFileName();
    if (!open.empty())
        if (const Result distinct = RefuseSameFile(open, QFile::encodeName(path).toStdString());
            !distinct.Ok()) {
            ShowFailure(distinct);
            return std::nullopt;
        }
    // The dialog asked about the name chosen in it; a name it never saw is asked about here.
    if (path != *chosen && QFileInfo::exists(path) &&
        !services_.Messages.Confirm(QFileInfo(path).fileName() +
                                    QStringLiteral(" already exists.\nDo you want to replace it?")))
        return std::nullopt;
    return path;
}

void MainWindow::ReportSave(const Result& saved, const QString& path) {
    if (!saved.Ok()) {
        ShowFailure(saved);
        return;
    }
    statusBar()->showMessage(QStringLiteral("Saved %1 bytes to %2")
                                 .arg(QLocale(QLocale::English).toString(QFileInfo(path).size()),
                                      QDir::toNativeSeparators(path)));
}

VertexNormalCheck MainWindow::NormalCheckMode() const {
    const int item = normalCheckItems_->checkedId();
    return item >= 0 && item < 3 ? kNormalCheckModes[item] : VertexNormalCheck::WholeModel;
}

QString MainWindow::LastFolder() const {
    if (!lastFolder_.isEmpty()) return lastFolder_;
    if (services_.Document.OptLoaded())
        return QFileInfo(QFile::decodeName(services_.Document.CurrentFileName().c_str()))
            .absolutePath();
    return QDir::currentPath();
}

QString WithExtension(const QString& name, const QString& extension) {
    return name.endsWith(extension, Qt::CaseInsensitive) ? name : name + extension;
}

void MainWindow::ShowFullReport() {
    OptDocument& document = services_.Document;
    if (!document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The list's lines go before the report is made: it is the largest thing the window holds.
    ShowReportLines(ReportLines());
    ReportLines lines;
    ReportLinesOutput output(lines);
    ReportLineMap records;
    document.WriteReport(output, QFile::encodeName(windowTitle()).toStdString(), &records);
    ShowReportLines(std::move(lines));
    lineMap_ = std::move(records);
    QApplication::restoreOverrideCursor();
}

void MainWindow::RunCheck() {
    if (!services_.Document.OptLoaded()) {
        ShowLines(kNoOptLoaded);
        return;
    }
    const VertexNormalCheck mode = NormalCheckMode();
    std::vector<std::string> lines;
    std::vector<CheckFinding> findings;
    const CheckOutcome outcome = RunConsistencyCheck(services_.Document, mode, lines,
                                                     ContributionSearch::Indexed, &findings);
    // The verdict line, "All OK!!" last or "errors were detected!!" before the count, is marked
    // with a tick or with the error sign.
    const int verdictRow = static_cast<int>(lines.size()) - (outcome.AllOk ? 1 : 2);
    ShowLines(std::move(lines));
    listModel_->MarkRow(verdictRow,
                        style()->standardIcon(outcome.AllOk ? QStyle::SP_DialogApplyButton
                                                            : QStyle::SP_MessageBoxCritical));
    checkFindings_ = std::move(findings);
    for (size_t i = 0; i < checkFindings_.size(); ++i)
        if (checkFindings_[i].Line >= 0 && checkFindings_[i].Line < listModel_->rowCount())
            findingOfRow_[static_cast<int>(checkFindings_[i].Line)] = i;
    findingsPanel_->Rows()->SetFindings(checkFindings_, services_.Document.Stream(),
                                        services_.Document.Model());
    reportList_->scrollToBottom();
}

void MainWindow::ShowBrowser() {
    if (browser_ != nullptr) browser_->show();
}

void MainWindow::RotationBoxClicked() {
    services_.View.RotationClicked(rotationBox_->isChecked());
    RememberRotation(rotationBox_->isChecked());
}

void MainWindow::SpinSpeedChanged(int position) {
    services_.View.SpinSliderChanged(position);
}

void MainWindow::Redraw() {
    services_.View.Redraw();
}

void MainWindow::Exit() {
    close();
}

void MainWindow::ShowAbout() {
    if (aboutBox_ != nullptr) aboutBox_->exec();
}

void MainWindow::ShowReadme() {
    if (readmeWindow_ == nullptr) readmeWindow_ = new ReadmeWindow(this);
    readmeWindow_->show();
    readmeWindow_->raise();
}

void MainWindow::ShowViewWindowCommand() {
    services_.View.ShowViewWindow();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && IsOptFile(urls.front())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !IsOptFile(urls.front())) return;
    event->acceptProposedAction();
    OpenFile(urls.front().toLocalFile());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveWindowSettings();
    services_.View.StopRotation();
    event->accept();
    QApplication::quit();
}

}  // namespace vexlor::desktop
