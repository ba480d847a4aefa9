// The View menu and the 3D view's tool bar: the view's commands with the keys that do the same
// while the view has the focus (F, Shift+F, Home, the keypad views, W, R), the model rotation,
// showing the view, resetting the layout and saving a picture.
//
// The keys are shown beside the menu items, not bound as the window's shortcuts: Home, F or W
// pressed in the tree, the report or a search field keep doing what they do there, and the
// keypad's Home (7 with Num Lock off) stays the top view in the view.
#include <QAction>
#include <QCheckBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "desktop/Hints.h"
#include "desktop/MainWindow.h"

namespace vexlor::desktop {

void MainWindow::BuildViewMenu() {
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    const auto item = [this, view](const char* name, const QString& caption, const QString& keys,
                                   const QString& hint) {
        QAction* action = view->addAction(keys.isEmpty() ? caption : caption + u'\t' + keys);
        action->setObjectName(QString::fromLatin1(name));
        ApplyHint(action, hint);
        // The tool bar's buttons name their key in their tool tips.
        if (!keys.isEmpty()) action->setToolTip(QStringLiteral("%1 (%2)").arg(hint, keys));
        return action;
    };
    const auto viewKey = [this, &item](const char* name, const QString& caption,
                                       const QString& keys, const QString& hint, int key,
                                       Qt::KeyboardModifiers modifiers) {
        QAction* action = item(name, caption, keys, hint);
        connect(action, &QAction::triggered, this,
                [this, key, modifiers] { services_.View.PressViewKey(key, modifiers); });
        return action;
    };

    QAction* show = item("showViewAction", QStringLiteral("&3D view"), {},
                         QStringLiteral("Show the 3D view and give it the keyboard"));
    show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_3));
    connect(show, &QAction::triggered, this, [this] { ShowViewWindowCommand(); });
    view->addSeparator();
    QAction* fit =
        viewKey("fitModelAction", QStringLiteral("&Fit model"), QStringLiteral("F"),
                QStringLiteral("Fit the model into the view"), Qt::Key_F, Qt::NoModifier);
    viewKey("fitMeshAction", QStringLiteral("Fit current &mesh"), QStringLiteral("Shift+F"),
            QStringLiteral("Fit the red mesh into the view"), Qt::Key_F, Qt::ShiftModifier);
    QAction* start =
        viewKey("startViewAction", QStringLiteral("&Start view"), QStringLiteral("Home"),
                QStringLiteral("No turn, zoom 1, no pan"), Qt::Key_Home, Qt::NoModifier);
    QAction* front =
        viewKey("frontViewAction", QStringLiteral("F&ront"), QStringLiteral("Keypad 1"),
                QStringLiteral("The model from the front"), Qt::Key_1, Qt::KeypadModifier);
    QAction* right =
        viewKey("rightViewAction", QStringLiteral("R&ight"), QStringLiteral("Keypad 3"),
                QStringLiteral("The model from the right"), Qt::Key_3, Qt::KeypadModifier);
    QAction* top = viewKey("topViewAction", QStringLiteral("&Top"), QStringLiteral("Keypad 7"),
                           QStringLiteral("The model from above"), Qt::Key_7, Qt::KeypadModifier);
    viewKey("backViewAction", QStringLiteral("&Back"), QStringLiteral("Ctrl+Keypad 1"),
            QStringLiteral("The model from the back"), Qt::Key_1,
            Qt::KeypadModifier | Qt::ControlModifier);
    viewKey("leftViewAction", QStringLiteral("&Left"), QStringLiteral("Ctrl+Keypad 3"),
            QStringLiteral("The model from the left"), Qt::Key_3,
            Qt::KeypadModifier | Qt::ControlModifier);
    viewKey("bottomViewAction", QStringLiteral("B&ottom"), QStringLiteral("Ctrl+Keypad 7"),
            QStringLiteral("The model from below"), Qt::Key_7,
            Qt::KeypadModifier | Qt::ControlModifier);
    view->addSeparator();
    shadedAction_ = item("shadedAction", QStringLiteral("S&haded"), QStringLiteral("W"),
                         QStringLiteral("Shaded faces in the 3D view"));
    shadedAction_->setCheckable(true);
    connect(shadedAction_, &QAction::triggered, this, [this](bool on) {
        shadedBox_->setChecked(on);
        ShadedBoxClicked();
    });
    rotationAction_ = item("rotationAction", QStringLiteral("Model rotatio&n"), QStringLiteral("R"),
                           QStringLiteral("Keep the model turning about its z axis"));
    rotationAction_->setCheckable(true);
    rotationAction_->setChecked(rotationBox_->isChecked());
    connect(rotationAction_, &QAction::triggered, this, [this](bool on) {
        if (rotationBox_->isChecked() != on) rotationBox_->click();
    });
    view->addSeparator();
    connect(item("resetLayoutAction", QStringLiteral("Reset l&ayout"), {},
                 QStringLiteral("Put the 3D view, the hex view and the findings back in their "
                                "places")),
            &QAction::triggered, this, [this] { ResetLayout(); });
    connect(item("savePictureAction", QStringLiteral("Save &picture..."), {},
                 QStringLiteral("Save the 3D view's frame as a PNG picture")),
            &QAction::triggered, this, [this] { SavePictureWithDialog(); });

    for (QAction* action : {fit, start, front, right, top, shadedAction_, rotationAction_}) {
        viewToolBar_->addAction(action);
        QWidget* button = viewToolBar_->widgetForAction(action);
        button->setObjectName(action->objectName() + QStringLiteral("Button"));
    }
    // Short names on the buttons.
    const std::pair<QAction*, const char*> shortNames[] = {
        {fit, "Fit"}, {start, "Start"},          {front, "Front"},           {right, "Right"},
        {top, "Top"}, {shadedAction_, "Shaded"}, {rotationAction_, "Rotate"}};
    for (const auto& [action, text] : shortNames)
        action->setIconText(QString::fromLatin1(text));
}

void MainWindow::RotationKeyPressed() {
    rotationBox_->click();
}

}  // namespace vexlor::desktop
