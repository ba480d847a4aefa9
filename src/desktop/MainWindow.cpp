// Building the main window: tool panel, tree, list, hex view, findings panel, status bar and
// menus; the start-up set-up.
#include "desktop/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/FileWatch.h"
#include "desktop/Hints.h"
#include "desktop/RecentFiles.h"
#include "desktop/ReloadBar.h"
#include "desktop/RepairPanel.h"
#include "inspector/BlockKindWords.h"
#include "inspector/FindingsPanel.h"
#include "inspector/HexPane.h"
#include "inspector/OffsetBar.h"
#include "inspector/ReportListModel.h"
#include "inspector/ReportListView.h"
#include "inspector/ReportMatchDelegate.h"
#include "inspector/ReportSearch.h"
#include "inspector/SearchBar.h"
#include "inspector/StructureTreeModel.h"
#include "inspector/TreeFilterModel.h"
#include "inspector/TreeImages.h"
#include "reader/TypeNames.h"

namespace vexlor::desktop {

namespace {
constexpr int kSpeedPanelHeight = 89;

QToolButton* ToolButton(QWidget* panel, const char* name, int left, int top,
                        QStyle::StandardPixmap icon, const QString& hint) {
    auto* button = new QToolButton(panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, 23, 22);
    button->setIcon(panel->style()->standardIcon(icon));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    ApplyHint(button, hint);
    return button;
}

QPushButton* PanelButton(QWidget* panel, const char* name, const QString& caption, int left,
                         int top, int width, const QString& hint) {
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, 22);
    button->setFocusPolicy(Qt::StrongFocus);
    ApplyHint(button, hint);
    return button;
}

QGroupBox* RadioGroup(QWidget* panel, const char* name, const QString& caption, QRect geometry,
                      QButtonGroup*& items) {
    auto* group = new QGroupBox(caption, panel);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    // The group is only 30 pixels high: its caption sits on the frame line so that the items fit
    // below it. A style sheet stops font inheritance, so it names the panel's font itself.
    group->setStyleSheet(QStringLiteral(
        "* { font-family: Arial; font-size: 11px; }"
        "QGroupBox { margin-top: 7px; border: 1px solid palette(mid); }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }"));
    auto* layout = new QGridLayout(group);
    layout->setContentsMargins(3, 3, 0, 0);
    layout->setVerticalSpacing(0);
    layout->setHorizontalSpacing(2);
    items = new QButtonGroup(group);
    items->setExclusive(true);
    return group;
}

void SetItems(QGroupBox* group, QButtonGroup* items, const QStringList& captions, int columns) {
    auto* layout = static_cast<QGridLayout*>(group->layout());
    for (int i = 0; i < captions.size(); ++i) {
        // Tab reaches the chosen item, the arrow keys choose another.
        auto* item = new QRadioButton(captions[i], group);
        item->setFocusPolicy(Qt::StrongFocus);
        items->addButton(item, i);
        layout->addWidget(item, i / columns, i % columns);
        // Each column as wide as its caption needs: never cut an item's caption.
        layout->setColumnMinimumWidth(i % columns, std::max(layout->columnMinimumWidth(i % columns),
                                                            item->sizeHint().width()));
    }
}
}  // namespace

MainWindow::MainWindow(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("OPT Vexlor"));
    setWindowIcon(inspector::ProgramIcon());
    resize(1280, 800);
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    reloadBar_ = new ReloadBar(central);
    layout->addWidget(reloadBar_);

    auto* speedPanel = new QWidget(central);
    speedPanel->setObjectName(QStringLiteral("toolPanel"));
    speedPanel->setFixedHeight(kSpeedPanelHeight);
    speedPanel->setMinimumWidth(600);
    BuildToolPanel(speedPanel);
    layout->addWidget(speedPanel);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->setObjectName(QStringLiteral("treeAndReport"));
    treePane_ = BuildTreePane(splitter_);
    reportPane_ = BuildReportPane(splitter_);
    splitter_->addWidget(treePane_);
    splitter_->addWidget(reportPane_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({258, 333});
    layout->addWidget(splitter_, 1);
    setCentralWidget(central);

    BuildStatusBar();
    BuildDocks();
    fileWatch_ = new FileWatch(this);
    BuildMenus();

    connect(structureTree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!treeRowsChanging_) TreeSelectionChanged();
    });
    connect(structureTree_, &QTreeView::clicked, this, [this] { TreeClicked(); });
    connect(reportList_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ListRowDoubleClicked(index.row()); });
    connect(findingsPanel_, &inspector::FindingsPanel::Chosen, this,
            [this](const inspector::FindingPlace& place) { LeadTo(place, false); });
    connect(repairPanel_, &RepairPanel::Chosen, this,
            [this](const inspector::FindingPlace& place) { LeadTo(place, false); });
    connect(repairPanel_, &RepairPanel::WriteAsked, this, [this] { WriteRepair(); });
    connect(reloadBar_, &ReloadBar::ReloadRequested, this, [this] { ReloadFile(); });
    connect(reloadBar_, &ReloadBar::AutoReloadToggled, this,
            [this](bool on) { SetAutoReload(on); });
    connect(fileWatch_, &FileWatch::Changed, this,
            [this](bool exists) { FileChangedOnDisk(exists); });
    connect(recentFiles_, &RecentFiles::OpenRequested, this,
            [this](const QString& path) { OpenFile(path); });
    connect(hexPane_->Offsets(), &inspector::OffsetBar::GoRequested, this,
            [this](const QString& text) {
                GoToOffset(text);
                // The whole message, also where the bar is too narrow for it.
                statusBar()->showMessage(hexPane_->Offsets()->Status());
            });
    treeModel_->SetToolTips([this](int32_t node) {
        OptDocument& document = services_.Document;
        if (!document.OptLoaded()) return QString();
        QString tip =
            inspector::BlockKindWords(document.Stream(), document.Model(), node, document.Names());
        const QString problems = inspector::ProblemsOfNode(document.Model(), node);
        if (!problems.isEmpty()) tip += u'\n' + problems;
        return tip;
    });

    services_.View.SetEvents(this);
    FinishStartUp();
    RestoreSettings();
}

QWidget* MainWindow::BuildTreePane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("treePane"));
    structureTree_ = new QTreeView(pane);
    structureTree_->setObjectName(QStringLiteral("structureTree"));
    treeModel_ = new inspector::StructureTreeModel(services_.Document.Model().Tree, this);
    treeModel_->SetRootCaption(QStringLiteral("No file open"));
    treeFilter_ = new inspector::TreeFilterModel(this);
    treeFilter_->SetTree(treeModel_);
    // Filtering moves the current node off a row it hides; that is no choice of the user's. These
    // come before the view's own connections, which move it.
    connect(treeFilter_, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this] { treeRowsChanging_ = true; });
    connect(treeFilter_, &QAbstractItemModel::rowsRemoved, this,
            [this] { treeRowsChanging_ = false; });
    structureTree_->setModel(treeFilter_);
    structureTree_->setHeaderHidden(true);
    structureTree_->setIndentation(19);
    structureTree_->setUniformRowHeights(true);
    structureTree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    structureTree_->setFocusPolicy(Qt::StrongFocus);
    structureTree_->setFont(QFont(QStringLiteral("Arial"), 8));
    structureTree_->setIconSize(QSize(16, 16));
    structureTree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    structureTree_->header()->setStretchLastSection(false);

    treeBar_ = new inspector::SearchBar(pane);
    treeBar_->setObjectName(QStringLiteral("treeSearchBar"));
    // Opening it never widens the tree's pane: the bar takes the width the pane has.
    treeBar_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    treeBar_->hide();
    treeFilter_->Attach(treeBar_, structureTree_);
    connect(treeBar_, &inspector::SearchBar::Closed, structureTree_,
            [this] { structureTree_->setFocus(); });

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(structureTree_, 1);
    layout->addWidget(treeBar_);
    return pane;
}

QWidget* MainWindow::BuildReportPane(QWidget* parent) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QStringLiteral("reportPane"));
    reportList_ = new inspector::ReportListView(pane);
    reportList_->setObjectName(QStringLiteral("reportList"));
    listModel_ = new inspector::ReportListModel(this);
    reportList_->setModel(listModel_);
    reportList_->setFocusPolicy(Qt::StrongFocus);
    // Report lines line numbers up in columns, which only a fixed-pitch face keeps.
    QFont listFont(QStringLiteral("DejaVu Sans Mono"), 8);
    listFont.setStyleHint(QFont::Monospace);
    reportList_->setFont(listFont);

    reportBar_ = new inspector::SearchBar(pane);
    reportBar_->setObjectName(QStringLiteral("reportSearchBar"));
    reportBar_->hide();
    reportSearch_ = new inspector::ReportSearch(listModel_->Lines(), this);
    reportSearch_->Follow(listModel_);
    reportSearch_->Show(reportList_);
    reportSearch_->Attach(reportBar_);
    inspector::ReportMatchDelegate::Install(reportList_, *reportSearch_);
    connect(reportBar_, &inspector::SearchBar::Closed, reportList_,
            [this] { reportList_->setFocus(); });

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(reportList_, 1);
    layout->addWidget(reportBar_);
    return pane;
}

void MainWindow::BuildDocks() {
    hexPane_ = new inspector::HexPane(this);
    hexDock_ = new QDockWidget(QStringLiteral("Hex view"), this);
    hexDock_->setObjectName(QStringLiteral("hexDock"));
    hexDock_->setWidget(hexPane_);
    addDockWidget(Qt::RightDockWidgetArea, hexDock_);

    findingsPanel_ = new inspector::FindingsPanel(this);
    findingsPanel_->setObjectName(QStringLiteral("findingsPanel"));
    findingsDock_ = new QDockWidget(QStringLiteral("Findings"), this);
    findingsDock_->setObjectName(QStringLiteral("findingsDock"));
    findingsDock_->setWidget(findingsPanel_);
    BuildViewDock();
    BuildRecordDock();
    ArrangeDocks();
    BuildCompareDock();

    repairPanel_ = new RepairPanel(this);
    repairPanel_->setObjectName(QStringLiteral("repairPanel"));
    repairDock_ = new QDockWidget(QStringLiteral("Repair"), this);
    repairDock_->setObjectName(QStringLiteral("repairDock"));
    repairDock_->setWidget(repairPanel_);
    addDockWidget(Qt::BottomDockWidgetArea, repairDock_);
    tabifyDockWidget(findingsDock_, repairDock_);
    findingsDock_->raise();
    repairDock_->hide();
    connect(repairDock_, &QDockWidget::visibilityChanged, this, [this] { MarkPanelFaces(); });
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (docksPlaced_) {
        KeepHexViewWide();
        return;
    }
    docksPlaced_ = true;
    SizeDocks();
}

MainWindow::~MainWindow() {
    services_.View.SetEvents(nullptr);
    // The docks are hidden as the window goes: no marks asked of a window half taken down.
    repairDock_->disconnect(this);
    compareDock_->disconnect(this);
}

void MainWindow::BuildStatusBar() {
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(status);
    // Permanent widgets sit at the right end, so hints and the saves' messages still show.
    underCursor_ = new QLabel(status);
    underCursor_->setObjectName(QStringLiteral("underCursor"));
    modelNumbers_ = new QLabel(status);
    modelNumbers_->setObjectName(QStringLiteral("modelNumbers"));
    problemsLabel_ = new QLabel(status);
    problemsLabel_->setObjectName(QStringLiteral("problemsLabel"));
    problemsLabel_->setToolTip(QStringLiteral("The findings panel lists them"));
    status->addPermanentWidget(underCursor_);
    status->addPermanentWidget(modelNumbers_);
    status->addPermanentWidget(problemsLabel_);
}

void MainWindow::BuildToolPanel(QWidget* panel) {
    // The panel's controls are laid out at fixed places; an 11-pixel Arial keeps captions inside.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    panel->setFont(font);

    connect(ToolButton(panel, "openButton", 10, 2, QStyle::SP_DialogOpenButton,
                       QStringLiteral("Open|")),
            &QToolButton::clicked, this, [this] { OpenWithDialog(); });
    connect(ToolButton(panel, "saveButton", 34, 2, QStyle::SP_DialogSaveButton,
                       QStringLiteral("Save text to file")),
            &QToolButton::clicked, this, [this] { SaveAsciiWithDialog(); });
    connect(ToolButton(panel, "exitButton", 59, 2, QStyle::SP_DialogCloseButton,
                       QStringLiteral("Exit|")),
            &QToolButton::clicked, this, [this] { Exit(); });
    connect(ToolButton(panel, "browseButton", 112, 2, QStyle::SP_DirOpenIcon,
                       QStringLiteral("Browse OPTs")),
            &QToolButton::clicked, this, [this] { ShowBrowser(); });

    rotationBox_ = new QCheckBox(QStringLiteral("model rotation"), panel);
    rotationBox_->setObjectName(QStringLiteral("rotationBox"));
    rotationBox_->setGeometry(173, 6, 97, 22);
    rotationBox_->setChecked(true);
    rotationBox_->setFocusPolicy(Qt::StrongFocus);
    connect(rotationBox_, &QCheckBox::clicked, this, [this] { RotationBoxClicked(); });

    spinSpeed_ = new QSlider(Qt::Horizontal, panel);
    spinSpeed_->setObjectName(QStringLiteral("spinSpeed"));
    spinSpeed_->setGeometry(269, 6, 324, 22);
    spinSpeed_->setRange(1, 8000);
    spinSpeed_->setValue(1000);
    spinSpeed_->setTickPosition(QSlider::NoTicks);
    spinSpeed_->setSingleStep(1);
    connect(spinSpeed_, &QSlider::valueChanged, this,
            [this](int position) { SpinSpeedChanged(position); });

    // Between the speed track bar and the vertex normal group.
    shadedBox_ = new QCheckBox(QStringLiteral("shaded"), panel);
    shadedBox_->setObjectName(QStringLiteral("shadedBox"));
    shadedBox_->setGeometry(276, 30, 70, 20);
    shadedBox_->setFocusPolicy(Qt::StrongFocus);
    ApplyHint(shadedBox_, QStringLiteral("Shaded faces in the 3D view (W)"));
    connect(shadedBox_, &QCheckBox::clicked, this, [this] { ShadedBoxClicked(); });

    lodChoice_ = RadioGroup(panel, "lodChoice", QStringLiteral("Show LOD:"), QRect(8, 28, 261, 30),
                            lodItems_);
    connect(lodItems_, &QButtonGroup::idClicked, this,
            [this](int index) { ChooseLevelOfDetail(index); });

    normalCheckMode_ = RadioGroup(panel, "normalCheckMode", QStringLiteral("Vertex normal check"),
                                  QRect(276, 52, 288, 36), normalCheckItems_);
    SetItems(normalCheckMode_, normalCheckItems_,
             {QStringLiteral("across whole model"), QStringLiteral("mesh-by-mesh"),
              QStringLiteral("none")},
             3);
    normalCheckItems_->button(0)->setChecked(true);

    connect(ToolButton(panel, "checkButton", 564, 58, QStyle::SP_DialogApplyButton,
                       QStringLiteral("Check OPT")),
            &QToolButton::clicked, this, [this] { RunCheck(); });

    connect(PanelButton(panel, "expandAllButton", QStringLiteral("expand all"), 8, 64, 66,
                        QStringLiteral("expand all below this level")),
            &QPushButton::clicked, this, [this] { ExpandAll(); });
    connect(PanelButton(panel, "collapseAllButton", QStringLiteral("collapse all"), 76, 64, 74,
                        QStringLiteral("collapse all below this level")),
            &QPushButton::clicked, this, [this] { CollapseAll(); });
    connect(PanelButton(panel, "expandButton", QStringLiteral("expand"), 152, 64, 66,
                        QStringLiteral("expand all below current node")),
            &QPushButton::clicked, this, [this] { ExpandSelected(); });
}

void MainWindow::BuildInspectorMenu() {
    QMenu* inspect = menuBar()->addMenu(QStringLiteral("&Inspect"));
    inspect->setObjectName(QStringLiteral("inspectMenu"));
    const auto item = [this, inspect](const char* name, const QString& caption, const QString& hint,
                                      const QKeySequence& keys, auto handler) {
        QAction* action = inspect->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        ApplyHint(action, hint);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    item(
        "findAction", QStringLiteral("&Find..."),
        QStringLiteral("Search the report list, the tree or the hex view, whichever has the focus"),
        QKeySequence::Find, [this] { Find(); });
    item("goToOffsetAction", QStringLiteral("&Go to offset..."),
         QStringLiteral("Show a byte of the file in the hex view and its block in the tree"),
         QKeySequence(Qt::CTRL | Qt::Key_G), [this] { OpenGoToOffset(); });
    item("fullReportAction", QStringLiteral("Full &report"),
         QStringLiteral("Show the whole report of the file in the list, as Save ASCII writes it"),
         QKeySequence(), [this] { ShowFullReport(); });
    inspect->addSeparator();
    QAction* hex = hexDock_->toggleViewAction();
    hex->setText(QStringLiteral("&Hex view"));
    hex->setObjectName(QStringLiteral("hexViewAction"));
    ApplyHint(hex, QStringLiteral("Show or hide the hex view"));
    inspect->addAction(hex);
    QAction* findings = findingsDock_->toggleViewAction();
    findings->setText(QStringLiteral("F&indings"));
    findings->setObjectName(QStringLiteral("findingsAction"));
    ApplyHint(findings, QStringLiteral("Show or hide the findings panel"));
    inspect->addAction(findings);
    QAction* compare = compareDock_->toggleViewAction();
    compare->setText(QStringLiteral("&Compare"));
    compare->setObjectName(QStringLiteral("compareViewAction"));
    ApplyHint(compare, QStringLiteral("Show or hide the compare panel"));
    inspect->addAction(compare);
    QAction* repair = repairDock_->toggleViewAction();
    repair->setText(QStringLiteral("Re&pair"));
    repair->setObjectName(QStringLiteral("repairViewAction"));
    ApplyHint(repair, QStringLiteral("Show or hide the repair panel"));
    inspect->addAction(repair);
    // Shown again, the panel comes in front of the findings it shares its place with.
    connect(repair, &QAction::triggered, this, [this](bool shown) {
        if (shown) repairDock_->raise();
    });
    QAction* record = recordDock_->toggleViewAction();
    record->setText(QStringLiteral("R&ecord"));
    record->setObjectName(QStringLiteral("recordAction"));
    ApplyHint(record, QStringLiteral("Show or hide the record inspector"));
    inspect->addAction(record);
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QString& hint, void (MainWindow::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!hint.isEmpty()) ApplyHint(action, hint);
        if (handler != nullptr)
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    item(file, "openAction", QStringLiteral("&Open..."), QStringLiteral("Open a file"),
         &MainWindow::OpenWithDialog)
        ->setShortcut(QKeySequence::Open);
    recentMenu_ = file->addMenu(QStringLiteral("Recent &files"));
    recentMenu_->setObjectName(QStringLiteral("recentMenu"));
    recentFiles_ = new RecentFiles(recentMenu_, services_.Settings, this);
    QAction* reload = item(file, "reloadAction", QStringLiteral("&Reload"),
                           QStringLiteral("Read the open file again from disk"), nullptr);
    reload->setShortcut(QKeySequence(Qt::Key_F5));
    connect(reload, &QAction::triggered, this, [this] { ReloadFile(); });
    autoReloadAction_ =
        item(file, "autoReloadAction", QStringLiteral("A&uto reload"),
             QStringLiteral("Read the open file again whenever it changes on disk"), nullptr);
    autoReloadAction_->setCheckable(true);
    connect(autoReloadAction_, &QAction::toggled, this, [this](bool on) { SetAutoReload(on); });
    item(file, "browseAction", QStringLiteral("&Browse OPTs..."), {}, &MainWindow::ShowBrowser);
    item(file, "savePrjAction", QStringLiteral("Save &PRJ..."), {}, &MainWindow::SavePrjWithDialog);
    item(file, "saveAsciiAction", QStringLiteral("&Save ASCII..."),
         QStringLiteral("Save current file"), &MainWindow::SaveAsciiWithDialog)
        ->setShortcut(QKeySequence::Save);
    item(file, "exportAction", QStringLiteral("&Export..."),
         QStringLiteral("Export the model to glTF, OBJ, FBX, STL and other formats"),
         &MainWindow::ExportWithDialog);
    item(file, "compareAction", QStringLiteral("&Compare with..."),
         QStringLiteral("Compare the open file with another, field by field"),
         &MainWindow::CompareWithDialog);
    item(file, "repairAction", QStringLiteral("Rep&air..."),
         QStringLiteral("List what a repair of the face normals, soft vectors and vertex normals "
                        "would change, then write it to a new file"),
         &MainWindow::RepairWithDialog);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* exit = item(file, "exitAction", QStringLiteral("E&xit"),
                         QStringLiteral("Exit application"), &MainWindow::Exit);
    // The menu shows the first: the usual Ctrl+Q; Alt+X works as well.
    exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::ALT | Qt::Key_X)});

    BuildViewMenu();
    BuildInspectorMenu();

    QMenu* options = bar->addMenu(QStringLiteral("&OPTions :=)"));
    options->setObjectName(QStringLiteral("optionsMenu"));
    item(options, "checkAction", QStringLiteral("&Check OPT"), {}, &MainWindow::RunCheck);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    item(help, "aboutAction", QStringLiteral("&About..."), {}, &MainWindow::ShowAbout);
    item(help, "readmeAction", QStringLiteral("view &README"), {}, &MainWindow::ShowReadme)
        ->setShortcut(QKeySequence::HelpContents);
}

// Start-up set-up: the view's defaults live in the ViewState as constructed; then the level of
// detail group and the type-name tables.
void MainWindow::FinishStartUp() {
    SetItems(lodChoice_, lodItems_,
             {QStringLiteral("All"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
             4);
    lodItems_->button(1)->setChecked(true);
    LoadTypeNames();
}

void MainWindow::LoadTypeNames() {
    const std::string folder = QFile::encodeName(services_.NamesFolder).toStdString();
    const std::string programFolder =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    const Result load = LoadTypeNameTables(
        services_.Document.Names(), TypeNameFilePath("Mesh_Type.ace", folder, programFolder),
        TypeNameFilePath("Hardpoint_Type.ace", folder, programFolder));
    if (!load.Ok())
        services_.Messages.Error(QString::fromStdString(load.Reason()),
                                 QFile::decodeName(load.Message().c_str()));
}

}  // namespace vexlor::desktop
