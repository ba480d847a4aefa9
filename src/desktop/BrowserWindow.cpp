// The OPT browser window.
#include "desktop/BrowserWindow.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QStorageInfo>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include "desktop/MainWindow.h"
#include "desktop/ThumbnailGrid.h"

namespace vexlor::desktop {

BrowserWindow::BrowserWindow(MainWindow& main, ViewLink& view, MessagePresenter& messages,
                             BrowserThumbnails thumbnails, QWidget* parent)
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
    auto* load = new QToolButton(toolBar);
    load->setObjectName(QStringLiteral("loadButton"));
    load->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    // With its text beside the picture the button reads as what it does, not as "back".
    load->setText(tr("&Load"));
    load->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    load->setToolTip(QStringLiteral("load this OPT!"));
    load->setStatusTip(tr("Open the chosen file in the main window (Enter)"));
    toolBar->addWidget(load);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), toolBar);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setToolTip(QStringLiteral("don't load, return to main form"));
    toolBar->addWidget(cancel);
    connect(load, &QToolButton::clicked, this, [this] { LoadSelectedFile(); });
    connect(cancel, &QPushButton::clicked, this, [this] { GoBack(); });

    driveChoice_ = new QComboBox(this);
    driveChoice_->setObjectName(QStringLiteral("driveChoice"));
    driveChoice_->setToolTip(tr("The drive whose folders are listed"));
    FillDrives();

    // The folders as a tree from the drive's root, opened down to the current folder, so the
    // list shows where it is and every folder above it.
    directories_ = new QFileSystemModel(this);
    directories_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderTree_ = new QTreeView(this);
    folderTree_->setObjectName(QStringLiteral("folderTree"));
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
    fileList_->setModel(files_);
    grid_ = new ThumbnailGrid(std::move(thumbnails.Draw), std::move(thumbnails.Cache), this);
    grid_->setObjectName(QStringLiteral("thumbnailGrid"));
    grid_->setModel(files_);
    // One selection for both: a file chosen in either is chosen in the other.
    grid_->setSelectionModel(fileList_->selectionModel());
    // Every change of the selection previews, however it happens: a mouse press makes an item
    // current before it selects it, so following the current item alone would find nothing
    // selected on a click.
    connect(fileList_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { PreviewSelectedFile(); });
    // A double-click on a file, or Enter (eventFilter), loads it, as the load button does.
    for (QListView* files : {fileList_, static_cast<QListView*>(grid_)}) {
        connect(files, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid() && !files_->isDir(index)) LoadSelectedFile();
        });
    }
    // The pictures are asked for once the folder's files are known, while the window is shown.
    const auto filesCame = [this] {
        HideFolders();
        if (isVisible()) grid_->RequestMissing();
    };
    connect(files_, &QFileSystemModel::directoryLoaded, this, filesCame);
    connect(files_, &QFileSystemModel::rowsInserted, this, filesCame);

    connect(driveChoice_, &QComboBox::activated, this,
            [this](int index) { ChangeDirectory(driveChoice_->itemData(index).toString()); });
    // Only the user's choice of a folder (a click, Enter, or the arrow keys in the tree: see
    // eventFilter) changes the file list; the tree's own movements while it reads folders in the
    // background never do.
    connect(folderTree_, &QTreeView::clicked, this, &BrowserWindow::ChooseFolder);
    connect(folderTree_, &QTreeView::activated, this, &BrowserWindow::ChooseFolder);

    BuildLayout(toolBar, load, cancel);
    // Escape goes back from every control; Enter loads from the list and the grid.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);
    ChangeDirectory(QDir::currentPath());
}

void BrowserWindow::BuildLayout(QWidget* toolBar, QToolButton* load, QPushButton* cancel) {
    auto* folders = new QWidget(this);
    auto* folderColumn = new QVBoxLayout(folders);
    folderColumn->setContentsMargins(0, 0, 0, 0);
    folderColumn->setSpacing(4);
    folderColumn->addWidget(driveChoice_);
    folderColumn->addWidget(folderTree_, 1);

    // The lists and the grid share the room; the grid, which needs the most, takes what grows.
    auto* columns = new QSplitter(Qt::Horizontal, this);
    columns->setObjectName(QStringLiteral("browserColumns"));
    columns->setChildrenCollapsible(false);
    columns->addWidget(folders);
    columns->addWidget(fileList_);
    columns->addWidget(grid_);
    columns->setStretchFactor(0, 1);
    columns->setStretchFactor(1, 1);
    columns->setStretchFactor(2, 3);
    for (QWidget* part : {static_cast<QWidget*>(folders), static_cast<QWidget*>(fileList_),
                          static_cast<QWidget*>(grid_)})
        part->setMinimumWidth(60);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(2, 0, 2, 2);
    window->setSpacing(2);
    window->addWidget(toolBar);
    window->addWidget(columns, 1);

    // Tab goes through the controls in the order they are seen.
    setTabOrder(load, cancel);
    setTabOrder(cancel, driveChoice_);
    setTabOrder(driveChoice_, folderTree_);
    setTabOrder(folderTree_, fileList_);
    setTabOrder(fileList_, grid_);
}

void BrowserWindow::FillDrives() {
    driveChoice_->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        if (driveChoice_->findData(root) < 0) driveChoice_->addItem(root, root);
    }
}

void BrowserWindow::ChooseFolder(const QModelIndex& index) {
    const QString folder = QDir::cleanPath(directories_->filePath(index));
    if (index.isValid() && folder != CurrentDirectory()) ChangeDirectory(folder);
}

QString BrowserWindow::CurrentDirectory() const {
    return files_->rootPath();
}

void BrowserWindow::ChangeDirectory(const QString& path) {
    const QString directory = QDir::cleanPath(QDir(path).absolutePath());
    // A new folder starts with nothing chosen, so changing folders alone previews nothing.
    const QModelIndex filesRoot = files_->setRootPath(directory);
    fileList_->setRootIndex(filesRoot);
    grid_->ShowFolder(files_, filesRoot);
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
    // A folder read before has its files at once, and no directoryLoaded comes for it.
    HideFolders();
    if (isVisible()) grid_->RequestMissing();
}

void BrowserWindow::HideFolders() {
    // The file model keeps showing a folder on the way to one it was shown before.
    const QModelIndex root = fileList_->rootIndex();
    for (int row = 0; row < files_->rowCount(root); ++row) {
        const bool folder = files_->isDir(files_->index(row, 0, root));
        fileList_->setRowHidden(row, folder);
        grid_->setRowHidden(row, folder);
    }
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
    const Result opened = preview_.OpenForPreview(QFile::encodeName(path).toStdString());
    if (!opened.Ok()) {
        messages_.Error(QFile::decodeName(opened.Message().c_str()),
                        QString::fromStdString(opened.Reason()));
        return;
    }
    // The open file's camera is kept for going back; its panes are not touched.
    if (!previewing_) view_.KeepCamera();
    previewing_ = true;
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
    if (!main_.OpenFile(SelectedPath())) return;
    previewing_ = false;
    hide();
}

void BrowserWindow::GoBack() {
    main_.show();
    hide();
    // Without a preview the view still shows the open file, and nothing changes.
    if (!previewing_) return;
    previewing_ = false;
    main_.ReturnFromPreview();
}

void BrowserWindow::closeEvent(QCloseEvent* event) {
    // Closing acts as Back; the window is only hidden, so it keeps its folder and selection.
    event->ignore();
    GoBack();
}

void BrowserWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    grid_->RequestMissing();
}

void BrowserWindow::hideEvent(QHideEvent* event) {
    grid_->CancelPending();
    QWidget::hideEvent(event);
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape && watched != driveChoice_->view()) {
        GoBack();
        return true;
    }
    const bool inFiles = watched == fileList_ || watched == grid_;
    if (inFiles && (key == Qt::Key_Return || key == Qt::Key_Enter) && !SelectedPath().isEmpty()) {
        LoadSelectedFile();
        return true;
    }
    // The tree moves its current folder with the key first; the folder it lands on is chosen.
    if (watched == folderTree_ && key != Qt::Key_Return && key != Qt::Key_Enter)
        QTimer::singleShot(0, this, [this] { ChooseFolder(folderTree_->currentIndex()); });
    return QWidget::eventFilter(watched, event);
}

}  // namespace vexlor::desktop
