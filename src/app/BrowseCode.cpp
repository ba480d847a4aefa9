// The OPT browser window.
#include "BrowseCode.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QPushButton>
#include <QStorageInfo>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "MainCode.h"

namespace vexlor::app {

TBrowseForm::TBrowseForm(TMain& main, ViewLink& view, MessagePresenter& messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      main_(main),
      view_(view),
      messages_(messages),
      preview_(main.Document().Sink().Numbers()) {
    setObjectName(QStringLiteral("BrowseForm"));
    setWindowTitle(QStringLiteral("OPTvexlor Browser"));
    setGeometry(0, 72, 432, 169);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setGeometry(0, 0, 424, 28);
    auto* load = new QToolButton(toolBar);
    load->setObjectName(QStringLiteral("SpeedButton1"));
    load->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    load->setToolTip(QStringLiteral("load this OPT!"));
    load->setGeometry(0, 2, 25, 22);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), toolBar);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setToolTip(QStringLiteral("don't load, return to main form"));
    cancel->setGeometry(25, 2, 40, 22);
    connect(load, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(cancel, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

    DriveComboBox1_ = new QComboBox(this);
    DriveComboBox1_->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1_->setGeometry(0, 32, 209, 19);
    FillDrives();

    // The folders as a tree from the drive's root, opened down to the current folder, so the
    // list shows where it is and every folder above it, as a classic directory list does.
    directories_ = new QFileSystemModel(this);
    directories_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    DirectoryListBox1_ = new QTreeView(this);
    DirectoryListBox1_->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1_->setGeometry(0, 56, 209, 85);
    DirectoryListBox1_->setModel(directories_);
    DirectoryListBox1_->setHeaderHidden(true);
    DirectoryListBox1_->setIndentation(10);
    for (int column = 1; column < directories_->columnCount(); ++column)
        DirectoryListBox1_->hideColumn(column);

    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::Files);
    // Without QDir::CaseSensitive the mask ignores letter case, as OPT file names vary.
    files_->setNameFilters({QStringLiteral("*.opt")});
    files_->setNameFilterDisables(false);
    FileListBox1_ = new QListView(this);
    FileListBox1_->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1_->setGeometry(212, 32, 209, 109);
    FileListBox1_->setModel(files_);
    // Every change of the selection previews, however it happens: a mouse press makes an item
    // current before it selects it, so following the current item alone would find nothing
    // selected on a click.
    connect(FileListBox1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { FileListBox1Change(); });
    // A double-click on a file loads it, as the load button does.
    connect(FileListBox1_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && !files_->isDir(index)) SpeedButton1Click();
    });

    connect(DriveComboBox1_, &QComboBox::activated, this,
            [this](int index) { ChangeDirectory(DriveComboBox1_->itemData(index).toString()); });
    // Only the user's choice of a folder (a click, or Enter) changes the file list; the tree's
    // own movements while it reads folders in the background never do.
    const auto chooseFolder = [this](const QModelIndex& index) {
        const QString folder = QDir::cleanPath(directories_->filePath(index));
        if (index.isValid() && folder != CurrentDirectory()) ChangeDirectory(folder);
    };
    connect(DirectoryListBox1_, &QTreeView::clicked, this, chooseFolder);
    connect(DirectoryListBox1_, &QTreeView::activated, this, chooseFolder);

    ChangeDirectory(QDir::currentPath());
}

void TBrowseForm::FillDrives() {
    DriveComboBox1_->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        if (DriveComboBox1_->findData(root) < 0) DriveComboBox1_->addItem(root, root);
    }
}

QString TBrowseForm::CurrentDirectory() const {
    return files_->rootPath();
}

void TBrowseForm::ChangeDirectory(const QString& path) {
    const QString directory = QDir::cleanPath(QDir(path).absolutePath());
    // A new folder starts with nothing chosen, so changing folders alone previews nothing.
    FileListBox1_->setRootIndex(files_->setRootPath(directory));
    FileListBox1_->selectionModel()->clear();
    const QString drive = QStorageInfo(directory).rootPath();
    DirectoryListBox1_->setRootIndex(directories_->setRootPath(drive));
    const QModelIndex folder = directories_->index(directory);
    for (QModelIndex above = folder.parent(); above.isValid(); above = above.parent())
        DirectoryListBox1_->expand(above);
    DirectoryListBox1_->setCurrentIndex(folder);
    DirectoryListBox1_->scrollTo(folder);
    DirectoryListBox1_->setToolTip(directory);
    const int driveItem = DriveComboBox1_->findData(drive);
    if (driveItem >= 0) DriveComboBox1_->setCurrentIndex(driveItem);
}

bool TBrowseForm::SelectFile(const QString& name) {
    const QModelIndex index = files_->index(QDir(CurrentDirectory()).filePath(name));
    if (!index.isValid()) return false;
    FileListBox1_->setCurrentIndex(index);
    return true;
}

QString TBrowseForm::SelectedPath() const {
    const QModelIndex current = FileListBox1_->currentIndex();
    if (!current.isValid() || !FileListBox1_->selectionModel()->isSelected(current)) return {};
    return files_->filePath(current);
}

void TBrowseForm::FileListBox1Change() {
    const QString path = SelectedPath();
    if (path.isEmpty()) return;
    view_.StopRotation();
    main_.ClearReportList();
    const OperationResult opened = preview_.OpenForPreview(QFile::encodeName(path).toStdString());
    if (!opened.ok) {
        messages_.Error(QFile::decodeName(opened.message.c_str()),
                        QString::fromStdString(opened.reason));
        return;
    }
    view_.ResetToPreviewView();
    ModelStore& store = preview_.Store();
    main_.ShowingPreview(&store);
    view_.SetModel(&store);
    view_.SetupScene();
    store.CurrentMesh = 0;
    view_.RedrawView();
    view_.RestartRotation(main_.RotationTicked());
}

void TBrowseForm::SpeedButton1Click() {
    view_.StopRotation();
    if (main_.OpenFile(SelectedPath())) hide();
}

void TBrowseForm::GoBack() {
    main_.show();
    hide();
    if (main_.Document().OptLoaded()) main_.OpenOPTfile();
}

void TBrowseForm::CancelButtonClick() {
    GoBack();
}

void TBrowseForm::closeEvent(QCloseEvent* event) {
    // Closing acts as Back; the window is only hidden, so it keeps its folder and selection.
    event->ignore();
    GoBack();
}

}  // namespace vexlor::app
