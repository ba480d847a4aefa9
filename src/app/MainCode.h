// TMain, the main window: tool panel, menus, structure tree, report list and status bar, and the
// commands behind them (open, block display, saves, check, rotation controls).
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

class TMain : public QMainWindow {
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

    // Builds the window and runs FormCreate.
    explicit TMain(Services services, QWidget* parent = nullptr);
    ~TMain() override;

    void SetAboutBox(QDialog* about) { aboutBox_ = about; }
    void SetBrowseForm(QWidget* browse) { browseForm_ = browse; }
    // The consistency check, run by "Check OPT" with the vnRG item index.
    void SetCheckCommand(std::function<void(OptDocument&, int)> check) {
        check_ = std::move(check);
    }

    // Opens `path` as "&Open..." would after its dialog. False when it could not be opened.
    bool OpenFile(const QString& path);

    OptDocument& Document() { return services_.document; }
    bool RotationTicked() const;
    // Clears the report list (the browser's preview does, before it reads a file).
    void ClearReportList();
    // The browser shows a model of its own in the view: the level-of-detail choice applies to it.
    void ShowingPreview(ModelStore* preview) { drawn_ = preview; }

    QString CurrentFileName;

    // Handlers.
    void FormCreate();
    void OpenItemClick();
    bool OpenOPTfile();
    void SaveItemClick();
    void SavePRJ1Click();
    void ExitItemClick();
    void About1Click();
    void viewREADME1Click();
    void ShowViewWindowClick();
    void TV1Change();
    void TV1Click();
    void DisplayBlock();
    void Button1Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void RG1Click(int itemIndex);
    void CheckOPT1Click();
    void BrowseOPTs1Click();
    void SpeedButton2Click();
    void modelrotatebuttonClick();
    void spinSlider1Change(int position);
    void NewTr();

    // Call after the document's tree was rebuilt outside these handlers.
    void ReloadTree();

    QTreeView* Tree() const { return TV1_; }
    StructureTreeModel* TreeModel() const { return treeModel_; }
    ReportListView* List() const { return ListBox1_; }
    ReportListModel* ListModel() const { return listModel_; }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildSpeedPanel(QWidget* panel);
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
    // Runs `change` between a reset of the list model (and the tree model when asked).
    void ChangeDocument(bool tree, const std::function<void()>& change);

    Services services_;
    QDialog* aboutBox_ = nullptr;
    QWidget* browseForm_ = nullptr;
    QWidget* readmeWindow_ = nullptr;
    QString lastFolder_;
    std::function<void(OptDocument&, int)> check_;
    ModelStore* drawn_;  // the model the view draws: the open file's, or a preview's

    QTreeView* TV1_ = nullptr;
    ReportListView* ListBox1_ = nullptr;
    StructureTreeModel* treeModel_ = nullptr;
    ReportListModel* listModel_ = nullptr;
    QCheckBox* modelrotatebutton_ = nullptr;
    QSlider* spinSlider1_ = nullptr;
    QGroupBox* RG1_ = nullptr;
    QButtonGroup* RG1Items_ = nullptr;
    QGroupBox* vnRG_ = nullptr;
    QButtonGroup* vnRGItems_ = nullptr;
};

}  // namespace vexlor::app
