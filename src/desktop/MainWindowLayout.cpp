// The main window's docks and their default layout: the 3D view with its tool bar, the hex view
// and the findings; their first sizes, View > Reset layout, and a floating view placed beside
// the main window rather than over it.
//
// Default layout: tree | report under the tool panel, one column on the right with the 3D view
// over the hex view (the hex rows have a fixed natural width, which suits the view too, and the
// report's long lines get the rest), the findings across the whole bottom (their columns and
// their text need the width).
#include <QAction>
#include <QDockWidget>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "desktop/MainWindow.h"
#include "inspector/FindingsPanel.h"
#include "inspector/HexPane.h"

namespace vexlor::desktop {

namespace {
// Rows of findings the bottom dock shows at first.
constexpr int kFindingRowsShown = 6;
// The view's share of the right column's height (the hex view gets the rest).
constexpr int kViewSharePercent = 55;
// The smallest floating view worth placing beside the main window.
constexpr int kFloatingMinimumWidth = 240;
constexpr int kFloatingMinimumHeight = 200;
}  // namespace

void MainWindow::BuildViewDock() {
    viewDock_ = new QDockWidget(QStringLiteral("3D view"), this);
    viewDock_->setObjectName(QStringLiteral("viewDock"));
    auto* holder = new QWidget(viewDock_);
    holder->setObjectName(QStringLiteral("viewHolder"));
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    viewToolBar_ = new QToolBar(QStringLiteral("3D view"), holder);
    viewToolBar_->setObjectName(QStringLiteral("viewToolBar"));
    viewToolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    viewToolBar_->setIconSize(QSize(16, 16));
    layout->addWidget(viewToolBar_);
    // Until the program puts the view here: black, as the view is before its first model.
    auto* placeholder = new QWidget(holder);
    placeholder->setObjectName(QStringLiteral("viewPlaceholder"));
    placeholder->setAutoFillBackground(true);
    placeholder->setPalette(QPalette(Qt::black));
    placeholder->setMinimumSize(160, 120);
    layout->addWidget(placeholder, 1);
    viewDock_->setWidget(holder);
    connect(viewDock_, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        // Once the window system has placed it.
        if (floating) QTimer::singleShot(0, this, [this] { PlaceFloatingView(); });
    });
}

void MainWindow::PlaceView(QWidget* view) {
    QWidget* holder = viewDock_->widget();
    auto* layout = static_cast<QVBoxLayout*>(holder->layout());
    if (QWidget* placeholder = holder->findChild<QWidget*>(QStringLiteral("viewPlaceholder"))) {
        layout->removeWidget(placeholder);
        delete placeholder;
    }
    view->setParent(holder);
    layout->addWidget(view, 1);
    view->show();
    // The dock's caption is "3D view" until the view's caption gives a model's size.
    if (services_.Document.OptLoaded()) viewDock_->setWindowTitle(view->windowTitle());
    connect(view, &QWidget::windowTitleChanged, viewDock_, &QWidget::setWindowTitle);
}

void MainWindow::ArrangeDocks() {
    for (QDockWidget* dock : {viewDock_, hexDock_, recordDock_, findingsDock_}) {
        dock->setFloating(false);
        dock->show();
    }
    addDockWidget(Qt::RightDockWidgetArea, viewDock_);
    splitDockWidget(viewDock_, hexDock_, Qt::Vertical);
    splitDockWidget(hexDock_, recordDock_, Qt::Vertical);
    addDockWidget(Qt::BottomDockWidgetArea, findingsDock_);
    setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
    SizeDocks();
}

void MainWindow::SizeDocks() {
    // Whole rows of bytes with their offsets and text; the view above them as tall as the room
    // leaves; more than five rows of findings.
    resizeDocks({hexDock_}, {std::max(hexDock_->widget()->sizeHint().width(), 520)},
                Qt::Horizontal);
    const auto* table = findingsPanel_->findChild<QTableView*>(QStringLiteral("findingsTable"));
    const int row = table != nullptr ? table->verticalHeader()->defaultSectionSize() : 20;
    // The rows, the header, the filter and the dock's title.
    const int findings = row * (kFindingRowsShown + 2) + 56;
    resizeDocks({findingsDock_}, {findings}, Qt::Vertical);
    const int column =
        std::max(0, height() - menuBar()->height() - statusBar()->height() - findings);
    // The record inspector takes a third of what the view leaves, the hex view the rest.
    const int belowView = column * (100 - kViewSharePercent) / 100;
    resizeDocks({viewDock_, hexDock_, recordDock_},
                {column * kViewSharePercent / 100, belowView - belowView / 3, belowView / 3},
                Qt::Vertical);
}

void MainWindow::KeepHexViewWide() {
    // Docks restored from another screen or an older layout may come back too narrow for the
    // offsets and the text column.
    const int wanted = hexDock_->widget()->sizeHint().width();
    if (!hexDock_->isFloating() && hexDock_->isVisible() && hexDock_->width() < wanted)
        resizeDocks({hexDock_}, {wanted}, Qt::Horizontal);
}

void MainWindow::ResetLayout() {
    ArrangeDocks();
    if (splitter_ != nullptr) splitter_->setSizes({258, std::max(333, splitter_->width() - 258)});
}

void MainWindow::PlaceFloatingView() {
    if (!viewDock_->isFloating()) return;
    const QScreen* screen =
        this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect room = screen->availableGeometry();
    const QRect main = frameGeometry();
    QSize size = viewDock_->size().expandedTo({kFloatingMinimumWidth, kFloatingMinimumHeight});
    // The side with the most room: right, left, below, above the main window.
    const QRect sides[] = {
        QRect(QPoint(main.right() + 1, room.top()), QPoint(room.right(), room.bottom())),
        QRect(QPoint(room.left(), room.top()), QPoint(main.left() - 1, room.bottom())),
        QRect(QPoint(room.left(), main.bottom() + 1), QPoint(room.right(), room.bottom())),
        QRect(QPoint(room.left(), room.top()), QPoint(room.right(), main.top() - 1))};
    const QRect* best = nullptr;
    for (const QRect& side : sides) {
        if (!side.isValid()) continue;
        const auto area = [&](const QRect& r) {
            return static_cast<int64_t>(std::min(r.width(), size.width())) *
                   std::min(r.height(), size.height());
        };
        if (best == nullptr || area(side) > area(*best)) best = &side;
    }
    if (best == nullptr || best->width() < kFloatingMinimumWidth / 2 ||
        best->height() < kFloatingMinimumHeight / 2) {
        // The main window fills the screen: the view stays where it was let go.
        return;
    }
    size = size.boundedTo(best->size());
    viewDock_->resize(size);
    const QPoint topLeft(std::clamp(main.center().x() - size.width() / 2, best->left(),
                                    best->right() - size.width() + 1),
                         std::clamp(main.top(), best->top(), best->bottom() - size.height() + 1));
    viewDock_->move(topLeft);
}

}  // namespace vexlor::desktop
