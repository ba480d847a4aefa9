// The view window and its keys.
#include "GLformcode.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <chrono>

#include "Projection.h"
#include "ViewKeys.h"

namespace vexlor::view {

namespace {

constexpr int kLeft = 334;
constexpr int kTop = 157;
constexpr int kPanelWidth = 457;
constexpr int kPanelHeight = 417;

}  // namespace

TGLform::TGLform(ViewState& view, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint),
      view_(view),
      numbers_(DecimalSeparatorFromEnvironment()),
      p_(new GlPanel(view, this)) {
    setObjectName(QStringLiteral("GLform"));
    setWindowTitle(QStringLiteral("GLform"));
    setFocusPolicy(Qt::StrongFocus);
    // The panel covers the client area and keeps its size when the window is resized.
    p_->setObjectName(QStringLiteral("p"));
    p_->setGeometry(0, 0, kPanelWidth, kPanelHeight);
    p_->setFixedSize(kPanelWidth, kPanelHeight);
    p_->setFocusPolicy(Qt::NoFocus);
    move(kLeft, kTop);
    resize(kPanelWidth, kPanelHeight);
}

void TGLform::SetupScene() {
    p_->SetupScene();
    setWindowTitle(
        QString::fromStdString(ModelSizeCaption(view_.ExtentMax, view_.ExtentMin, numbers_)));
}

void TGLform::FormKeyDown(int virtualKey, Qt::KeyboardModifiers shift, Qt::MouseButtons buttons) {
    if (ApplyViewKey(view_, virtualKey, shift, buttons)) NewTr();
}

void TGLform::keyPressEvent(QKeyEvent* event) {
    // On Windows the event carries the virtual-key code itself.
    const bool windows = QGuiApplication::platformName() == QLatin1String("windows");
    const int key = windows ? static_cast<int>(event->nativeVirtualKey())
                            : VirtualKeyFromQt(event->key(), event->modifiers());
    FormKeyDown(key, event->modifiers(), QGuiApplication::mouseButtons());
}

bool TGLform::event(QEvent* event) {
    if (event->type() != QEvent::UpdateRequest) return QWidget::event(event);
    const auto start = std::chrono::steady_clock::now();
    const bool handled = QWidget::event(event);
    p_->AddPresentTime(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return handled;
}

}  // namespace vexlor::view
