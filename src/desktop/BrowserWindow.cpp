// The OPT browser window.
#include "desktop/BrowserWindow.h"

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

#include "desktop/MainWindow.h"

namespace vexlor::app {

BrowserWindow::BrowserWindow(MainWindow& main, ViewLink& view, MessagePresenter& messages,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      main_(main),
      view_(view),
      messages_(messages),
      preview_(main.Document().Numbers()) {
    setObjectName(QStringLiteral("browserWindow"));
    setWindowTitle(QStringLiteral("OPTvexlor Browser"));
    setGeometry(0, 72, 432, 169);

    auto* toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setGeometry(0, 0, 424, 28);
    auto* load = new QToolButton(toolBar);
    load->setObjectName(QStringLiteral("loadButton"));
    load->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    load->setToolTip(QStringLiteral("load this OPT!"));
    load->setGeometry(0, 2, 25, 22);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), toolBar);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setToolTip(QStringLiteral("don't load, return to main form"));
    cancel->setGeometry(25, 2, 40, 22);
    connect(load, &QToolButton::clicked, this, [this] { LoadSelectedFile(); });
    connect(cancel, &QPushButton::clicked, this, [this] { GoBack(); });

    driveChoice_ = new QComboBox(this);
    driveChoice_->setObjectName(QStringLiteral("driveChoice"));
    driveChoice_->setGeometry(0, 32, 209, 19);
    FillDrives();

    // The folders as a tree from the drive's root, opened down to the current folder, so the
    // list shows where it is and every folder above it.
    directories_ = new QFileSystemModel(this);
    directories_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderTree_ = new QTreeView(this);
    folderTree_->setObjectName(QStringLiteral("folderTree"));
    folderTree_->setGeometry(0, 56, 209, 85);
    folderTree_->setModel(directories_);
    folderTree_->setHeaderHidden(true);
    folderTree_->setIndentation(10);
    for (int column = 1; column < directories_->columnCount(); ++column)
        folderTree_->hideColumn(column);

    files_ = new QFileSystemModel(this);
    files_->setFilter(QDir::Files);
    // Without QDir::CaseSensitive the mask ignores letter case, as OPT file names vary.
    files_->setNameFilters({QStringLiteral("*.opt")});
    files_->setNameFilterDisables(false);
    fileList_ = new QListView(this);
    fileList_->setObjectName(QStringLiteral("fileList"));
    fileList_->setGeometry(212, 32, 209, 109);
    fileList_->setModel(files_);
    // Every change of the selection previews, however it happens: a mouse press makes an item
    // current before it selects it, so following the current item alone would find nothing
    // selected on a click.
    connect(fileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { PreviewSelectedFile(); });
    // A double-click on a file loads it, as the load button does.
    connect(fileList_, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && !files_->isDir(index)) LoadSelectedFile();
    });

    connect(driveChoice_, &QComboBox::activated, this,
            [this](int index) { ChangeDirectory(driveChoice_->itemData(index).toString()); });
    // Only the user's choice of a folder (a click, or Enter) changes the file list; the tree's
    // own movements while it reads folders in the background never do.
    const auto chooseFolder = [this](const QModelIndex& index) {
        const QString folder = QDir::cleanPath(directories_->filePath(index));
        if (index.isValid() && folder != CurrentDirectory()) ChangeDirectory(folder);
    };
    connect(folderTree_, &QTreeView::clicked, this, chooseFolder);
    connect(folderTree_, &QTreeView::activated, this, chooseFolder);

    ChangeDirectory(QDir::currentPath());
}

void BrowserWindow::FillDrives() {
    driveChoice_->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        if (driveChoice_->findData(root) < 0) driveChoice_->addItem(root, root);
    }
}

QString BrowserWindow::CurrentDirectory() const {
    return files_->rootPath();
}

void BrowserWindow::ChangeDirectory(const QString& path) {
    const QString directory = QDir::cleanPath(QDir(path).absolutePath());
    // A new folder starts with nothing chosen, so changing folders alone previews nothing.
    fileList_->setRootIndex(files_->setRootPath(directory));
    fileList_->selectionModel()->clear();
    const QString drive = QStorageInfo(directory).rootPath();
    folderTree_->setRootIndex(directories_->setRootPath(drive));
    const QModelIndex folder = directories_->index(directory);
    for (QModelIndex above = folder.parent(); above.isValid(); above = above.parent())
        folderTree_->expand(above);
    folderTree_->setCurrentIndex(folder);
    folderTree_->scrollTo(folder);
    folderTree_->setToolTip(directory);
    const int driveItem = driveChoice_->findData(drive);
    if (driveItem >= 0) driveChoice_->setCurrentIndex(driveItem);
}

bool BrowserWindow::SelectFile(const QString& name) {
    const QModelIndex index = files_->index(QDir(CurrentDirectory()).filePath(name));
    if (!index.isValid()) return false;
    fileList_->setCurrentIndex(index);
    return true;
}

QString BrowserWindow::SelectedPath() const {
    const QModelIndex current = fileList_->currentIndex();
    if (!current.isValid() || !fileList_->selectionModel()->isSelected(current)) return {};
    return files_->filePath(current);
}

void BrowserWindow::PreviewSelectedFile() {
    const QString path = SelectedPath();
    if (path.isEmpty()) return;
    view_.StopRotation();
    view_.ShowLevelOfDetail(1);
    main_.ShowLines({});
    const Result opened = preview_.OpenForPreview(QFile::encodeName(path).toStdString());
    if (!opened.Ok()) {
        messages_.Error(QFile::decodeName(opened.Message().c_str()),
                        QString::fromStdString(opened.Reason()));
        return;
    }
    view_.ResetToPreviewView();
    view_.SetModel(&preview_.Model());
    view_.SetupScene();
    view_.ShowMesh(0);
    view_.FrameModel();  // the preview's start view, fitted to the model
    view_.Redraw();
    view_.RestartRotation(main_.RotationTicked());
}

void BrowserWindow::LoadSelectedFile() {
    view_.StopRotation();
    if (main_.OpenFile(SelectedPath())) hide();
}

void BrowserWindow::GoBack() {
    main_.show();
    hide();
    if (main_.Document().OptLoaded()) main_.OpenCurrentFile();
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    // Closing acts as Back; the window is only hidden, so it keeps its folder and selection.
    event->ignore();
    GoBack();
}

}  // namespace vexlor::app
