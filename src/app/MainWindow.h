// The main window: tool panel, menus, structure tree, report list and status bar, and the
// commands behind them (open, block display, saves, check, rotation controls, shaded mode,
// pictures); it follows the 3D view's picks, cursor and shaded mode as the view's ViewEvents.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>

#include "FileDialogs.h"
#include "MessagePresenter.h"
#include "OptDocument.h"
#include "ViewLink.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QGroupBox;
class QLabel;
class QListView;
class QSlider;
class QToolButton;
class QTreeView;
class QPushButton;

namespace vexlor::app {

class ReportListModel;
class ReportListView;
class StructureTreeModel;

// `name`, with `extension` added unless it already ends with it (letter case ignored).
QString WithExtension(const QString& name, const QString& extension);

class MainWindow : public QMainWindow, public ViewEvents {
    Q_OBJECT
  public:
    struct Services {
        OptDocument& document;
        ViewLink& view;
        MessagePresenter& messages;
        FileDialogs& dialogs;
        // Folder of the two type-name tables; empty for data/ in the working directory, else
        // data/ beside the program.
        QString namesFolder;
    };

    // Builds the window and runs FinishStartUp.
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetAboutBox(QDialog* about) { aboutBox_ = about; }
    void SetBrowseForm(QWidget* browse) { browseForm_ = browse; }

    // Opens `path` as "&Open..." would after its dialog. False when it could not be opened.
    bool OpenFile(const QString& path);

    OptDocument& Document() { return services_.document; }
    bool RotationTicked() const;
    // Shows these lines in the report list (the browser's preview clears it with none).
    void ShowLines(std::vector<std::string> lines);

    // The file chosen for the last full open (the loaded file, or the one that failed to open).
    const QString& CurrentFileName() const { return currentFileName_; }

    // Commands of the menus, buttons and controls.
    void FinishStartUp();
    void OpenWithDialog();
    bool OpenCurrentFile();
    void SaveAsciiWithDialog();
    void SavePrjWithDialog();
    void SavePictureWithDialog();
    void Exit();
    void ShowAbout();
    void ShowReadme();
    void ShowViewWindowCommand();
    void TreeSelectionChanged();
    void TreeClicked();
    void DisplayBlock();
    void ExpandAll();
    void CollapseAll();
    void ExpandSelected();
    void ChooseLevelOfDetail(int itemIndex);
    void RunCheck();
    void ShowBrowser();
    void RotationBoxClicked();
    void SpinSpeedChanged(int position);
    void ShadedBoxClicked();
    void Redraw();
    // Shows the face block that holds the face (choosing its tree node) with the report list
    // scrolled to the face's lines, which are selected. False when the open file's tree has no
    // such face block.
    bool ShowFaceInReport(int64_t blockOffset, int32_t faceInBlock, int32_t mesh);

    // What the view tells.
    void FacePicked(const PickedFace& face) override;
    void ModelNumbersChanged(const std::string& text) override;
    void UnderCursorChanged(const std::string& text) override;
    void ShadedChanged(bool on) override;

    QTreeView* Tree() const { return structureTree_; }
    StructureTreeModel* TreeModel() const { return treeModel_; }
    ReportListView* List() const { return reportList_; }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildToolPanel(QWidget* panel);
    void BuildStatusBar();
    // "?? no opt loaded!" in the report list: what commands on a file say before any open.
    void ShowNoOptLoaded();
    // The tree node of the face block at `blockOffset`: of the face's mesh where the block is
    // linked from more than one mesh; -1 when the tree has none.
    int32_t FaceBlockNode(int64_t blockOffset, int32_t mesh) const;
    // The report list scrolled to the lines of face `faceInBlock` of the face block it shows.
    bool ScrollReportToFace(int32_t faceInBlock);
    void BuildMenus();
    void LoadTypeNames();
    QString CaptionOfLoadedFile() const;
    void ShowFailure(const OperationResult& result);
    // The save dialog, started in the last folder with the open file's base name; the name with
    // `extension` added where it lacks it. Nothing when the user cancels, or declines to replace
    // a file that the added extension names.
    std::optional<QString> ChooseSaveTarget(const QString& caption, const QString& filter,
                                            const QString& extension);
    // A failed save's message, or what was written in the status bar.
    void ReportSave(const OperationResult& saved, const QString& path);
    // The folder a file dialog starts in: the one last used, else the open file's.
    QString LastFolder() const;

    Services services_;
    QDialog* aboutBox_ = nullptr;
    QWidget* browseForm_ = nullptr;
    QWidget* readmeWindow_ = nullptr;
    QString currentFileName_;
    QString lastFolder_;

    QTreeView* structureTree_ = nullptr;
    ReportListView* reportList_ = nullptr;
    StructureTreeModel* treeModel_ = nullptr;
    ReportListModel* listModel_ = nullptr;
    QCheckBox* rotationBox_ = nullptr;
    QSlider* spinSpeed_ = nullptr;
    QGroupBox* lodChoice_ = nullptr;
    QButtonGroup* lodItems_ = nullptr;
    QGroupBox* normalCheckMode_ = nullptr;
    QButtonGroup* normalCheckItems_ = nullptr;
    QCheckBox* shadedBox_ = nullptr;
    QLabel* modelNumbers_ = nullptr;
    QLabel* underCursor_ = nullptr;
};

}  // namespace vexlor::app
