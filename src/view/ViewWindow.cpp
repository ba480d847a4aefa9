// The view window and its keys.
#include "ViewWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "Projection.h"
#include "ViewKeys.h"

namespace vexlor::view {

namespace {

constexpr int kLeft = 334;
constexpr int kTop = 157;
constexpr int kPanelWidth = 457;
constexpr int kPanelHeight = 417;

}  // namespace

ViewWindow::ViewWindow(ViewState& view, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      view_(view),
      numbers_(DecimalSeparatorFromEnvironment()),
      panel_(new GlPanel(view, this)) {
    setObjectName(QStringLiteral("viewWindow"));
    setWindowTitle(QStringLiteral("GLform"));
    setFocusPolicy(Qt::StrongFocus);
    // The panel covers the client area and keeps its size when the window is resized.
    panel_->setObjectName(QStringLiteral("viewPanel"));
    panel_->setGeometry(0, 0, kPanelWidth, kPanelHeight);
    panel_->setFixedSize(kPanelWidth, kPanelHeight);
    panel_->setFocusPolicy(Qt::NoFocus);
    move(kLeft, kTop);
    resize(kPanelWidth, kPanelHeight);
}

void ViewWindow::SetupScene() {
    panel_->SetupScene();
    setWindowTitle(
        QString::fromStdString(ModelSizeCaption(view_.ExtentMax, view_.ExtentMin, numbers_)));
}

void ViewWindow::KeyDown(int virtualKey, Qt::KeyboardModifiers shift, Qt::MouseButtons buttons) {
    if (ApplyViewKey(view_, virtualKey, shift, buttons)) Redraw();
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    KeyDown(VirtualKeyFromQt(event->key(), event->modifiers()), event->modifiers(),
            QGuiApplication::mouseButtons());
}

}  // namespace vexlor::view
