// BrowserWindow: a small stay-on-top window for leafing through a folder of OPT files. Choosing a
// file (in the list or in the grid of thumbnails beside it) previews it in the 3D view through a
// document of its own, so the main window's file, tree and block display stay as they were;
// "load" opens the previewed file fully and "Cancel" (or closing the window) goes back to the
// file opened before, as it was shown. The drives, folders, files and thumbnails grow with the
// window, and the keyboard does all the mouse does: arrow keys choose folders and files, Enter
// loads, Escape goes back.
#pragma once

#include <QWidget>

#include "desktop/MessagePresenter.h"
#include "desktop/ThumbnailJobs.h"
#include "desktop/ViewLink.h"
#include "reader/OptDocument.h"

class QComboBox;
class QFileSystemModel;
class QListView;
class QToolButton;
class QPushButton;
class QTreeView;

namespace vexlor::desktop {

class MainWindow;
class ThumbnailGrid;

// How the browser's grid gets its pictures: no `Draw`, no pictures.
struct BrowserThumbnails {
    ThumbnailDraw Draw;
    ThumbnailCache Cache;
};

class BrowserWindow : public QWidget {
    Q_OBJECT
  public:
    BrowserWindow(MainWindow& main, ViewLink& view, MessagePresenter& messages,
                  BrowserThumbnails thumbnails = {}, QWidget* parent = nullptr);

    // The full path of the selected file; empty when none is selected.
    QString SelectedPath() const;
    QString CurrentDirectory() const;
    void ChangeDirectory(const QString& path);
    // Selects a file of the current directory by name (as a click in the list would).
    bool SelectFile(const QString& name);

    // The preview of the selected file, after every change of the selection.
    void PreviewSelectedFile();
    // The load button: the selected file becomes the open file.
    void LoadSelectedFile();
    // Cancel, or closing the window: back to the file opened before.
    void GoBack();

    QListView* FileList() const { return fileList_; }
    ThumbnailGrid* Grid() const { return grid_; }
    QFileSystemModel* Files() const { return files_; }
    const OptDocument& Preview() const { return preview_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FillDrives();
    // A folder chosen in the tree becomes the listed one.
    void ChooseFolder(const QModelIndex& index);
    void HideFolders();
    void BuildLayout(QWidget* toolBar, QToolButton* load, QPushButton* cancel);

    MainWindow& main_;
    ViewLink& view_;
    MessagePresenter& messages_;
    OptDocument preview_;

    QComboBox* driveChoice_ = nullptr;
    QTreeView* folderTree_ = nullptr;
    QListView* fileList_ = nullptr;
    ThumbnailGrid* grid_ = nullptr;
    QFileSystemModel* directories_ = nullptr;
    QFileSystemModel* files_ = nullptr;
    // The view shows a preview, not the open file.
    bool previewing_ = false;
};

}  // namespace vexlor::desktop
