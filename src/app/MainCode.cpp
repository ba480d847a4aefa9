// Building the main window: tool panel, tree, list, status bar and menus; the start-up set-up.
#include "MainCode.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
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

#include "Hints.h"
#include "ReportListModel.h"
#include "ReportListView.h"
#include "StructureTreeModel.h"
#include "TreeImages.h"
#include "TypeNames.h"

namespace vexlor::app {

namespace {
constexpr int kSpeedPanelHeight = 89;

QToolButton* SpeedButton(QWidget* panel, const char* name, int left, int top,
                         QStyle::StandardPixmap icon, const QString& hint) {
    auto* button = new QToolButton(panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, 23, 22);
    button->setIcon(panel->style()->standardIcon(icon));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    ApplyHint(button, hint);
    return button;
}

QPushButton* PanelButton(QWidget* panel, const char* name, const QString& caption, int left,
                         int top, int width, const QString& hint) {
    auto* button = new QPushButton(caption, panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, 22);
    button->setFocusPolicy(Qt::NoFocus);
    ApplyHint(button, hint);
    return button;
}

QGroupBox* RadioGroup(QWidget* panel, const char* name, const QString& caption, QRect geometry,
                      QButtonGroup*& items) {
    auto* group = new QGroupBox(caption, panel);
    group->setObjectName(QString::fromLatin1(name));
    group->setGeometry(geometry);
    // The caption sits on the frame line and the items fill the rest, as in a classic radio group
    // only 30 pixels high.
    // A style sheet stops font inheritance, so it names the panel's font itself.
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
        auto* item = new QRadioButton(captions[i], group);
        item->setFocusPolicy(Qt::NoFocus);
        items->addButton(item, i);
        layout->addWidget(item, i / columns, i % columns);
        // Each column as wide as its caption needs: never cut an item's caption.
        layout->setColumnMinimumWidth(i % columns, std::max(layout->columnMinimumWidth(i % columns),
                                                            item->sizeHint().width()));
    }
}
}  // namespace

TMain::TMain(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), drawn_(&services_.document.Store()) {
    setObjectName(QStringLiteral("Main"));
    setWindowTitle(QStringLiteral("OPT Vexlor"));
    setWindowIcon(ProgramIcon());
    resize(611, 536);
    setAcceptDrops(true);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* speedPanel = new QWidget(central);
    speedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    speedPanel->setFixedHeight(kSpeedPanelHeight);
    speedPanel->setMinimumWidth(600);
    BuildSpeedPanel(speedPanel);
    layout->addWidget(speedPanel);

    auto* splitter = new QSplitter(Qt::Horizontal, central);
    TV1_ = new QTreeView(splitter);
    TV1_->setObjectName(QStringLiteral("TV1"));
    treeModel_ = new StructureTreeModel(services_.document.Store().Tree, this);
    TV1_->setModel(treeModel_);
    TV1_->setHeaderHidden(true);
    TV1_->setIndentation(19);
    TV1_->setUniformRowHeights(true);
    TV1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TV1_->setFocusPolicy(Qt::ClickFocus);
    TV1_->setFont(QFont(QStringLiteral("Arial"), 8));
    TV1_->setIconSize(QSize(16, 16));
    TV1_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TV1_->header()->setStretchLastSection(false);

    ListBox1_ = new ReportListView(splitter);
    ListBox1_->setObjectName(QStringLiteral("ListBox1"));
    listModel_ = new ReportListModel(services_.document.Sink().List(), this);
    ListBox1_->setModel(listModel_);
    ListBox1_->setFocusPolicy(Qt::ClickFocus);
    // Report lines line numbers up in columns, which only a fixed-pitch face keeps.
    QFont listFont(QStringLiteral("DejaVu Sans Mono"), 8);
    listFont.setStyleHint(QFont::Monospace);
    ListBox1_->setFont(listFont);

    splitter->addWidget(TV1_);
    splitter->addWidget(ListBox1_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({258, 333});
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(status);

    BuildMenus();

    connect(TV1_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { TV1Change(); });
    connect(TV1_, &QTreeView::clicked, this, [this] { TV1Click(); });

    FormCreate();
}

TMain::~TMain() = default;

void TMain::BuildSpeedPanel(QWidget* panel) {
    // The panel's controls are laid out at fixed places; an 11-pixel Arial keeps captions inside.
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    panel->setFont(font);

    connect(
        SpeedButton(panel, "OpenBtn", 10, 2, QStyle::SP_DialogOpenButton, QStringLiteral("Open|")),
        &QToolButton::clicked, this, [this] { OpenItemClick(); });
    connect(SpeedButton(panel, "SaveBtn", 34, 2, QStyle::SP_DialogSaveButton,
                        QStringLiteral("Save text to file")),
            &QToolButton::clicked, this, [this] { SaveItemClick(); });
    connect(
        SpeedButton(panel, "ExitBtn", 59, 2, QStyle::SP_DialogCloseButton, QStringLiteral("Exit|")),
        &QToolButton::clicked, this, [this] { ExitItemClick(); });
    connect(SpeedButton(panel, "SpeedButton2", 112, 2, QStyle::SP_DirOpenIcon,
                        QStringLiteral("Browse OPTs")),
            &QToolButton::clicked, this, [this] { SpeedButton2Click(); });

    modelrotatebutton_ = new QCheckBox(QStringLiteral("model rotation"), panel);
    modelrotatebutton_->setObjectName(QStringLiteral("modelrotatebutton"));
    modelrotatebutton_->setGeometry(173, 6, 97, 22);
    modelrotatebutton_->setChecked(true);
    modelrotatebutton_->setFocusPolicy(Qt::NoFocus);
    connect(modelrotatebutton_, &QCheckBox::clicked, this, [this] { modelrotatebuttonClick(); });

    spinSlider1_ = new QSlider(Qt::Horizontal, panel);
    spinSlider1_->setObjectName(QStringLiteral("spinSlider1"));
    spinSlider1_->setGeometry(269, 6, 324, 22);
    spinSlider1_->setRange(1, 8000);
    spinSlider1_->setValue(1000);
    spinSlider1_->setTickPosition(QSlider::NoTicks);
    spinSlider1_->setSingleStep(1);
    connect(spinSlider1_, &QSlider::valueChanged, this,
            [this](int position) { spinSlider1Change(position); });

    RG1_ = RadioGroup(panel, "RG1", QStringLiteral("Show LOD:"), QRect(8, 28, 261, 30), RG1Items_);
    connect(RG1Items_, &QButtonGroup::idClicked, this, [this](int index) { RG1Click(index); });

    vnRG_ = RadioGroup(panel, "vnRG", QStringLiteral("Vertex normal check"),
                       QRect(276, 52, 288, 36), vnRGItems_);
    SetItems(vnRG_, vnRGItems_,
             {QStringLiteral("across whole model"), QStringLiteral("mesh-by-mesh"),
              QStringLiteral("none")},
             3);
    vnRGItems_->button(0)->setChecked(true);

    connect(SpeedButton(panel, "SpeedButton1", 564, 58, QStyle::SP_DialogApplyButton,
                        QStringLiteral("Check OPT")),
            &QToolButton::clicked, this, [this] { CheckOPT1Click(); });

    connect(PanelButton(panel, "Button1", QStringLiteral("expand all"), 8, 64, 66,
                        QStringLiteral("expand all below this level")),
            &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(PanelButton(panel, "BitBtn1", QStringLiteral("collapse all"), 76, 64, 74,
                        QStringLiteral("collapse all below this level")),
            &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(PanelButton(panel, "BitBtn2", QStringLiteral("expand"), 152, 64, 66,
                        QStringLiteral("expand all below current node")),
            &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void TMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("SDIAppMenu"));
    const auto item = [this](QMenu* menu, const char* name, const QString& caption,
                             const QString& hint, void (TMain::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!hint.isEmpty()) ApplyHint(action, hint);
        if (handler != nullptr)
            connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    item(file, "OpenItem", QStringLiteral("&Open..."), QStringLiteral("Open a file"),
         &TMain::OpenItemClick)
        ->setShortcut(QKeySequence::Open);
    item(file, "BrowseOPTs1", QStringLiteral("&Browse OPTs..."), {}, &TMain::BrowseOPTs1Click);
    item(file, "SavePRJ1", QStringLiteral("Save &PRJ..."), {}, &TMain::SavePRJ1Click);
    item(file, "SaveItem", QStringLiteral("&Save ASCII..."), QStringLiteral("Save current file"),
         &TMain::SaveItemClick)
        ->setShortcut(QKeySequence::Save);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction* exit = item(file, "ExitItem", QStringLiteral("E&xit"),
                         QStringLiteral("Exit application"), &TMain::ExitItemClick);
    exit->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("ViewMenu"));
    item(view, "ShowViewItem", QStringLiteral("&3D view"),
         QStringLiteral("Show the 3D view window"), &TMain::ShowViewWindowClick)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));

    QMenu* options = bar->addMenu(QStringLiteral("&OPTions :=)"));
    options->setObjectName(QStringLiteral("Options"));
    item(options, "CheckOPT1", QStringLiteral("&Check OPT"), {}, &TMain::CheckOPT1Click);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    item(help, "About1", QStringLiteral("&About..."), {}, &TMain::About1Click);
    item(help, "viewREADME1", QStringLiteral("view &README"), {}, &TMain::viewREADME1Click)
        ->setShortcut(QKeySequence::HelpContents);
}

// Start-up set-up: the view's defaults live in the ViewState as constructed; then the level of
// detail group and the type-name tables.
void TMain::FormCreate() {
    SetItems(RG1_, RG1Items_,
             {QStringLiteral("All"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")},
             4);
    RG1Items_->button(1)->setChecked(true);
    LoadTypeNames();
}

void TMain::LoadTypeNames() {
    const std::string folder = QFile::encodeName(services_.namesFolder).toStdString();
    const std::string programFolder =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    const TypeNameLoad load = LoadTypeNameTables(
        services_.document.Store(), TypeNameFilePath("Mesh_Type.ace", folder, programFolder),
        TypeNameFilePath("Hardpoint_Type.ace", folder, programFolder));
    if (!load.ok)
        services_.messages.Error(QString::fromStdString(load.error),
                                 QFile::decodeName(load.failedPath.c_str()));
}

}  // namespace vexlor::app
