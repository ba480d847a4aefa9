// BrowserWindow: a small stay-on-top window for leafing through a folder of OPT files. Choosing a
// file previews it in the 3D view through a document of its own, so the main window's file,
// tree and block display stay as they were; "load" opens the previewed file fully and "Cancel"
// (or closing the window) goes back to the file opened before.
#pragma once

#include <QWidget>

#include "desktop/MessagePresenter.h"
#include "desktop/ViewLink.h"
#include "reader/OptDocument.h"

class QComboBox;
class QFileSystemModel;
class QListView;
class QToolButton;
class QPushButton;
class QTreeView;

namespace vexlor::app {

class MainWindow;

class BrowserWindow : public QWidget {
    Q_OBJECT
  public:
    BrowserWindow(MainWindow& main, ViewLink& view, MessagePresenter& messages,
                  QWidget* parent = nullptr);

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
    QFileSystemModel* Files() const { return files_; }
    const OptDocument& Preview() const { return preview_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FillDrives();

    MainWindow& main_;
    ViewLink& view_;
    MessagePresenter& messages_;
    OptDocument preview_;

    QComboBox* driveChoice_ = nullptr;
    QTreeView* folderTree_ = nullptr;
    QListView* fileList_ = nullptr;
    QFileSystemModel* directories_ = nullptr;
    QFileSystemModel* files_ = nullptr;
};

}  // namespace vexlor::app
