// The main window: tool panel, menus, structure tree, report list and status bar, the docks of
// the 3D view (with its tool bar), the hex view and the findings panel beside them, and the
// commands behind them (open, block display, saves, export, check, rotation controls, shaded mode,
// pictures, search, go to offset, findings, compare, repair, record inspector, recent files and
// reload); it follows the 3D view's
// picks, cursor and shaded mode as the view's ViewEvents.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "check/CheckFinding.h"
#include "check/ConsistencyCheck.h"
#include "desktop/FileDialogs.h"
#include "desktop/MessagePresenter.h"
#include "desktop/ViewLink.h"
#include "inspector/plain/FindingPlace.h"
#include "reader/OptDocument.h"
#include "reader/RecordPlaces.h"
#include "reader/ReportLineMap.h"
#include "reader/ReportLines.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QDockWidget;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QSettings;
class QSlider;
class QSplitter;
class QToolButton;
class QTreeView;
class QPushButton;
class QToolBar;

namespace vexlor::inspector {
class ComparePanel;
class FindingsPanel;
class HexPane;
class RecordInspector;
class ReportListModel;
class ReportListView;
class ReportSearch;
class SearchBar;
class StructureTreeModel;
class TreeFilterModel;
}  // namespace vexlor::inspector

namespace vexlor::desktop {

class FileWatch;
class RepairPanel;
class RecentFiles;
class ReloadBar;

// `name`, with `extension` added unless it already ends with it (letter case ignored).
QString WithExtension(const QString& name, const QString& extension);

class MainWindow : public QMainWindow, public ViewEvents {
    Q_OBJECT
  public:
    struct Services {
        OptDocument& Document;
        ViewLink& View;
        MessagePresenter& Messages;
        FileDialogs& Dialogs;
        // Folder of the two type-name tables; empty for data/ in the working directory, else
        // data/ beside the program.
        QString NamesFolder;
        // Where the window keeps its geometry, splitter and dock places, the last folder, the
        // recent files and the auto reload choice from one run to the next; none keeps nothing.
        QSettings* Settings = nullptr;
    };

    // Builds the window and runs FinishStartUp.
    explicit MainWindow(Services services, QWidget* parent = nullptr);
    ~MainWindow() override;

    void SetAboutBox(QDialog* about) { aboutBox_ = about; }
    // Puts the 3D view into its dock, under the view's tool bar; the dock's caption follows the
    // view's.
    void PlaceView(QWidget* view);
    // Shown as at a start: maximised the first time, else as it was kept. A maximised first start
    // is not kept as maximised.
    void ShowAtStart();
    void SetBrowser(QWidget* browse) { browser_ = browse; }

    // Opens `path` as "&Open..." would after its dialog. False when it could not be opened.
    bool OpenFile(const QString& path);

    OptDocument& Document() { return services_.Document; }
    bool RotationTicked() const;
    // Shows these lines in the report list.
    void ShowLines(const std::vector<std::string>& lines);
    // The same for lines held packed (the full report).
    void ShowReportLines(ReportLines lines);

    // The open file back in the view after the browser's previews, as it was shown before them:
    // its model, level of detail, chosen block and camera. The panes were never touched.
    void ReturnFromPreview();

    // The file chosen for the last full open (the loaded file, or the one that failed to open).
    const QString& CurrentFileName() const { return currentFileName_; }

    // Commands of the menus, buttons and controls.
    void FinishStartUp();
    void OpenWithDialog();
    bool OpenCurrentFile();
    void SaveAsciiWithDialog();
    void SavePrjWithDialog();
    void ExportWithDialog();
    // File > Compare with...: the other file chosen, then compared with the open one.
    void CompareWithDialog();
    // The open file compared with `path` in the compare panel. False when there is no open file
    // or `path` cannot be read as an OPT file (the message is shown).
    bool CompareWith(const QString& path);
    // File > Repair...: lists what a repair of the open file would write in the repair panel.
    void RepairWithDialog();
    // The panel's write button: asks for a new file's name, writes the repair there and offers
    // to open it.
    void WriteRepair();
    // The faces the shown repair and compare panels list, marked in the view.
    void MarkPanelFaces();
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
    void RotationKeyPressed() override;
    // View > Reset layout: the docks back in their first places and sizes, none floating or
    // hidden.
    void ResetLayout();

    // The inspector's commands.
    // Ctrl+F: the search bar of the pane that has the focus (the report list's by default).
    void Find();
    // Ctrl+G: the hex view's "Go to offset" bar.
    void OpenGoToOffset();
    // The typed offset: the hex view goes there and the tree chooses the innermost block that
    // holds it; the bar says what came of it. False for text that is no offset of the file.
    bool GoToOffset(const QString& text);
    // The whole report of the file in the list, as Save ASCII writes it.
    void ShowFullReport();
    // Where a finding or problem leads: its node chosen in the tree, its bytes in the hex view,
    // its face highlighted. With `keepList` the report list keeps what it shows.
    void LeadTo(const inspector::FindingPlace& place, bool keepList);
    // A double-click on a row of the report list: a finding line of a check leads to its face.
    void ListRowDoubleClicked(int row);
    // The links between bytes, blocks, report lines and records (MainWindowLinks.cpp).
    // The hex view's current byte: its block and field in the status bar, its record in the
    // record inspector.
    void ByteChosen(int64_t offset);
    // A double-click or Enter on a byte: its block chosen in the tree, its record's line in the
    // report list.
    void ByteActivated(int64_t offset);
    // A report line chosen: the bytes of the record it shows outlined in the hex view.
    void ReportLineChosen(int row);
    // A record inspector's link: the record's block, bytes, report line and values.
    void ShowRecord(const RecordRef& record);
    // The open file read again from disk, with the chosen node kept by its block's position.
    bool ReloadFile();
    // Keeps the geometry and the places of the splitter and docks in the settings (on close).
    void SaveWindowSettings();
    bool HasSavedGeometry() const { return hasSavedGeometry_; }

    // The tree view shows the nodes through its filter: these map between its indexes and the
    // reader's node numbers.
    QModelIndex TreeIndexOfNode(int32_t node) const;
    int32_t NodeOfTreeIndex(const QModelIndex& index) const;
    // The node chosen in the tree; -1 when none is.
    int32_t ChosenNode() const;
    // Chooses the node as a click on it would, in sight (the filter is cleared if it hides it).
    void ChooseNode(int32_t node);
    const std::vector<CheckFinding>& CheckFindings() const { return checkFindings_; }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

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
    // The face's record outlined in the hex view.
    void MarkFaceRecord(int64_t blockOffset, int32_t faceInBlock);
    // A record of a face (its indices, normal or soft vectors): the face highlighted in the 3D
    // view, whose dock is brought into sight, as a face picked there is. Other records: nothing.
    void ShowFaceOfRecord(const RecordRef& record);
    void BuildMenus();
    void BuildViewMenu();
    void BuildInspectorMenu();
    // The docks (MainWindowLayout.cpp): the view's, their default places and first sizes, the hex
    // view kept wide enough, a floating view put beside the window.
    void BuildViewDock();
    void ArrangeDocks();
    void SizeDocks();
    void KeepHexViewWide();
    void PlaceFloatingView();
    // Asks before opening a file that does not look like an OPT file; true to go on.
    bool AcceptUnlikelyFile(const OptStream& stream);
    // The model rotation's choice in the menu and the settings.
    void RememberRotation(bool on);
    // The tree's, the list's and the hex view's panes with their search bars; the docks.
    QWidget* BuildTreePane(QWidget* parent);
    QWidget* BuildReportPane(QWidget* parent);
    void BuildDocks();
    void BuildCompareDock();
    // The record inspector's dock and the links between the panes.
    void BuildRecordDock();
    // The first report line that shows the record (else the whole record) chosen and in sight;
    // false when no line of the list shows it.
    bool SelectReportLineOf(const RecordRef& record);
    // What follows a successful open: hex view, problems, findings, watch, recent files.
    void ShowOpenedFile();
    void ShowProblemCount();
    void RestoreSettings();
    void FileChangedOnDisk(bool exists);
    void SetAutoReload(bool on);
    void LoadTypeNames();
    QString CaptionOfLoadedFile() const;
    void ShowFailure(const Result& result);
    // The save dialog, started in the last folder with the open file's base name; the name with
    // `extension` added where it lacks it. Nothing when the user cancels, declines to replace
    // a file that the added extension names, or chose the open file (refused in a message box).
    // The dialog suggests the open file's base name with `suffix` and `extension`.
    std::optional<QString> ChooseSaveTarget(const QString& caption, const QString& filter,
                                            const QString& extension, const QString& suffix = {});
    // A failed save's message, or what was written in the status bar.
    void ReportSave(const Result& saved, const QString& path);
    // The folder a file dialog starts in: the one last used, else the open file's.
    QString LastFolder() const;
    // The tool panel's vertex normal mode.
    VertexNormalCheck NormalCheckMode() const;
    void SetLastFolder(const QString& folder);

    Services services_;
    QDialog* aboutBox_ = nullptr;
    QWidget* browser_ = nullptr;
    QWidget* readmeWindow_ = nullptr;
    QString currentFileName_;
    QString lastFolder_;

    QTreeView* structureTree_ = nullptr;
    inspector::ReportListView* reportList_ = nullptr;
    inspector::StructureTreeModel* treeModel_ = nullptr;
    inspector::ReportListModel* listModel_ = nullptr;
    QCheckBox* rotationBox_ = nullptr;
    QSlider* spinSpeed_ = nullptr;
    QGroupBox* lodChoice_ = nullptr;
    QButtonGroup* lodItems_ = nullptr;
    QGroupBox* normalCheckMode_ = nullptr;
    QButtonGroup* normalCheckItems_ = nullptr;

    QSplitter* splitter_ = nullptr;
    inspector::TreeFilterModel* treeFilter_ = nullptr;
    inspector::SearchBar* treeBar_ = nullptr;
    QWidget* treePane_ = nullptr;
    inspector::SearchBar* reportBar_ = nullptr;
    inspector::ReportSearch* reportSearch_ = nullptr;
    QWidget* reportPane_ = nullptr;
    inspector::HexPane* hexPane_ = nullptr;
    QDockWidget* hexDock_ = nullptr;
    inspector::FindingsPanel* findingsPanel_ = nullptr;
    QDockWidget* findingsDock_ = nullptr;
    inspector::ComparePanel* comparePanel_ = nullptr;
    QDockWidget* compareDock_ = nullptr;
    RepairPanel* repairPanel_ = nullptr;
    QDockWidget* repairDock_ = nullptr;
    inspector::RecordInspector* recordInspector_ = nullptr;
    QDockWidget* recordDock_ = nullptr;
    // Names the block and field of the hex view's current byte.
    QLabel* bytePlace_ = nullptr;
    // Which record each line of the report list shows, while it shows a block or the full report.
    ReportLineMap lineMap_;
    // What the view was last told of the chosen block (its mesh, its marker).
    std::optional<ShownBlock> shownBlock_;
    // The program, not the user, moves the report list's current line.
    bool movingReportLine_ = false;
    QDockWidget* viewDock_ = nullptr;
    QToolBar* viewToolBar_ = nullptr;
    QAction* shadedAction_ = nullptr;
    QAction* rotationAction_ = nullptr;
    // Maximised by the first start and not since changed by the user: kept as not maximised.
    bool maximizedAtStart_ = false;
    ReloadBar* reloadBar_ = nullptr;
    QLabel* problemsLabel_ = nullptr;
    FileWatch* fileWatch_ = nullptr;
    RecentFiles* recentFiles_ = nullptr;
    QMenu* recentMenu_ = nullptr;
    QAction* autoReloadAction_ = nullptr;
    bool hasSavedGeometry_ = false;
    // The docks get their first sizes when the window is first shown, unless they were kept.
    bool docksPlaced_ = false;

    // The last check's findings, and the list row of each one's first line while the list shows
    // that check's lines.
    std::vector<CheckFinding> checkFindings_;
    std::unordered_map<int, size_t> findingOfRow_;
    // A choice made by LeadTo that leaves the list as it is.
    bool keepListOnChoice_ = false;
    // The tree's current node moved because the filter hid it, not because the user chose.
    bool treeRowsChanging_ = false;

    QCheckBox* shadedBox_ = nullptr;
    QLabel* modelNumbers_ = nullptr;
    QLabel* underCursor_ = nullptr;
};

}  // namespace vexlor::desktop
