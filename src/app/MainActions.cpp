// The main window's commands: open, block display, tree buttons, level of detail, saves, check,
// rotation controls.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QUrl>

#include "MainCode.h"
#include "ReportListModel.h"
#include "StructureTreeModel.h"

namespace vexlor::app {

namespace {
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

bool IsOptFile(const QUrl& url) {
    return url.isLocalFile() &&
           url.toLocalFile().endsWith(QStringLiteral(".opt"), Qt::CaseInsensitive);
}
}  // namespace

void TMain::ChangeDocument(bool tree, const std::function<void()>& change) {
    // The models announce the reset before the reader touches the data they present.
    listModel_->BeginReset();
    if (tree) treeModel_->BeginReset();
    change();
    if (tree) treeModel_->EndReset();
    listModel_->EndReset();
}

void TMain::ReloadTree() {
    treeModel_->Reload();
}

QString TMain::CaptionOfLoadedFile() const {
    const OptDocument& document = services_.document;
    if (!document.OptLoaded()) return QStringLiteral("OPT Vexlor");
    return QStringLiteral("OPTvexlor - ") + QFile::decodeName(document.CurrentFileName().c_str());
}

void TMain::ShowFailure(const OperationResult& result) {
    services_.messages.Error(QFile::decodeName(result.message.c_str()),
                             QString::fromStdString(result.reason));
}

bool TMain::OpenFile(const QString& path) {
    CurrentFileName = path;
    return OpenOPTfile();
}

bool TMain::RotationTicked() const {
    return modelrotatebutton_->isChecked();
}

void TMain::ClearReportList() {
    ChangeDocument(false, [&] { services_.document.Sink().ClearList(); });
}

void TMain::OpenItemClick() {
    const std::optional<QString> name = services_.dialogs.OpenFile(
        QStringLiteral("Open"), QStringLiteral("OPT files (*.OPT *.opt *.Opt)"));
    if (!name) return;
    OpenFile(*name);
}

bool TMain::OpenOPTfile() {
    services_.view.StopRotation();
    setWindowTitle(QStringLiteral("OPTvexlor - ") + CurrentFileName);
    OperationResult opened;
    ChangeDocument(true, [&] { opened = services_.document.Open(LocalPath(CurrentFileName)); });
    if (!opened.ok) {
        ShowFailure(opened);
        // The previous file is still the loaded one, so the caption names it again, and it is
        // the file that going back from the browser re-opens.
        setWindowTitle(CaptionOfLoadedFile());
        if (services_.document.OptLoaded())
            CurrentFileName = QFile::decodeName(services_.document.CurrentFileName().c_str());
        return false;
    }
    TV1_->expand(treeModel_->IndexOfNode(0));
    drawn_ = &services_.document.Store();
    services_.view.SetModel(drawn_);
    services_.view.SetupScene();
    services_.document.Store().CurrentMesh = 0;
    services_.view.RedrawView();
    services_.view.RestartRotation(modelrotatebutton_->isChecked());
    return true;
}

void TMain::TV1Change() {
    DisplayBlock();
}
void TMain::TV1Click() {
    DisplayBlock();
}

void TMain::DisplayBlock() {
    const int32_t node = StructureTreeModel::NodeOf(TV1_->currentIndex());
    if (node < 0) return;  // nothing chosen yet
    ChangeDocument(false, [&] { services_.document.DisplayBlock(node); });
    NewTr();
}

void TMain::Button1Click() {
    TV1_->expandAll();
    services_.document.Store().CurrentTreeNode = 0;
    TV1_->scrollTo(treeModel_->IndexOfNode(0), QAbstractItemView::PositionAtTop);
}

void TMain::BitBtn1Click() {
    TV1_->collapseAll();
    TV1_->expand(treeModel_->IndexOfNode(0));
}

void TMain::BitBtn2Click() {
    const QModelIndex selected = TV1_->currentIndex();
    if (!selected.isValid()) {
        services_.messages.Error(QStringLiteral("Invalid index"));
        return;
    }
    services_.document.Store().CurrentTreeNode = StructureTreeModel::NodeOf(selected);
    TV1_->expandRecursively(selected);
}

void TMain::RG1Click(int itemIndex) {
    if (itemIndex < 0 || itemIndex > 3) return;
    drawn_->ShowLod = itemIndex;
    NewTr();
}

void TMain::SaveItemClick() {
    OptDocument& document = services_.document;
    if (!document.OptLoaded()) {
        ChangeDocument(false, [&] { document.ReportNoOptLoaded(); });
        return;
    }
    const std::optional<QString> name = services_.dialogs.SaveFile(
        QStringLiteral("Save ASCII"), QStringLiteral("Text Files (*.txt)"));
    if (!name) return;
    const QString path = *name + QStringLiteral(".txt");
    const OperationResult saved =
        document.SaveAscii(LocalPath(path), QFile::encodeName(windowTitle()).toStdString());
    if (!saved.ok) ShowFailure(saved);
}

void TMain::SavePRJ1Click() {
    OptDocument& document = services_.document;
    if (!document.OptLoaded()) {
        ChangeDocument(false, [&] { document.ReportNoOptLoaded(); });
        return;
    }
    const std::optional<QString> name =
        services_.dialogs.SaveFile(QStringLiteral("Save PRJ"), QStringLiteral("PRJ files (*.prj)"));
    if (!name) return;
    const QString path = *name + QStringLiteral(".PRJ");
    const OperationResult saved = document.SavePrj(LocalPath(path));
    if (!saved.ok) ShowFailure(saved);
}

void TMain::CheckOPT1Click() {
    if (!check_) return;
    const int mode = vnRGItems_->checkedId() < 0 ? 0 : vnRGItems_->checkedId();
    ChangeDocument(false, [&] { check_(services_.document, mode); });
    ListBox1_->scrollToBottom();
}

void TMain::BrowseOPTs1Click() {
    if (browseForm_ != nullptr) browseForm_->show();
}

void TMain::SpeedButton2Click() {
    BrowseOPTs1Click();
}

void TMain::modelrotatebuttonClick() {
    services_.view.RotationClicked(modelrotatebutton_->isChecked());
}

void TMain::spinSlider1Change(int position) {
    services_.view.SpinSliderChanged(position);
}

void TMain::NewTr() {
    services_.view.NewTr();
}

void TMain::ExitItemClick() {
    close();
}

void TMain::About1Click() {
    if (aboutBox_ != nullptr) aboutBox_->exec();
}

void TMain::viewREADME1Click() {
    if (readmeWindow_ == nullptr) {
        auto* text = new QPlainTextEdit(this);
        text->setWindowFlag(Qt::Window);
        text->setObjectName(QStringLiteral("ReadmeWindow"));
        text->setWindowTitle(QStringLiteral("OPT Vexlor README"));
        text->setReadOnly(true);
        text->setPlainText(ReadmeText());
        QFont font(QStringLiteral("DejaVu Sans Mono"), 9);
        font.setStyleHint(QFont::Monospace);
        text->setFont(font);
        text->resize(640, 420);
        readmeWindow_ = text;
    }
    readmeWindow_->show();
    readmeWindow_->raise();
}

void TMain::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && IsOptFile(urls.front())) event->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !IsOptFile(urls.front())) return;
    event->acceptProposedAction();
    OpenFile(urls.front().toLocalFile());
}

void TMain::closeEvent(QCloseEvent* event) {
    services_.view.StopRotation();
    event->accept();
    QApplication::quit();
}

}  // namespace vexlor::app
