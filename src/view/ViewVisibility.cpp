// Watching whether the panel can be seen.
#include "view/ViewVisibility.h"

#include <QEvent>

namespace vexlor::view {

ViewVisibility::ViewVisibility(QWidget* panel, QWindow* surface)
    : QObject(panel), panel_(panel), surface_(surface) {
    panel_->installEventFilter(this);
    surface_->installEventFilter(this);
    connect(&x11_, &X11WindowWatch::Changed, this, &ViewVisibility::CheckSoon);
    Follow();
    seen_ = Seen();
}

bool ViewVisibility::Seen() const {
    if (!panel_->isVisible() || topLevel_ == nullptr || topLevel_->isMinimized()) return false;
    if (window_ == nullptr || !window_->isExposed() || !surface_->isExposed()) return false;
    if (panel_->visibleRegion().isEmpty()) return false;
    return !x11_.Covered() && !x11_.OnOtherDesktop();
}

void ViewVisibility::Follow() {
    QWidget* topLevel = panel_->window();
    if (topLevel != topLevel_) {
        if (topLevel_ != nullptr) topLevel_->removeEventFilter(this);
        topLevel_ = topLevel;
        topLevel_->installEventFilter(this);
    }
    QWindow* window = topLevel_->windowHandle();
    if (window != window_) {
        if (window_ != nullptr) window_->removeEventFilter(this);
        window_ = window;
        if (window_ != nullptr) window_->installEventFilter(this);
    }
    // The native windows exist once the windows have platform surfaces.
    const bool native =
        window_ != nullptr && window_->handle() != nullptr && surface_->handle() != nullptr;
    x11_.Watch(native ? surface_->winId() : 0, native ? window_->winId() : 0);
}

bool ViewVisibility::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::PlatformSurface:
        case QEvent::ParentChange:
        case QEvent::WindowChangeInternal:
            // At once: a window is shown after its show event, and the X server tells whether
            // it is covered only of changes after the watch began.
            Follow();
            CheckSoon();
            break;
        case QEvent::Hide:
        case QEvent::Expose:
        case QEvent::WindowStateChange:
        case QEvent::Resize:
            CheckSoon();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void ViewVisibility::CheckSoon() {
    if (checkPosted_) return;
    checkPosted_ = true;
    QMetaObject::invokeMethod(this, &ViewVisibility::Check, Qt::QueuedConnection);
}

void ViewVisibility::Check() {
    checkPosted_ = false;
    Follow();
    const bool seen = Seen();
    if (seen == seen_) return;
    seen_ = seen;
    emit SeenChanged(seen);
}

}  // namespace vexlor::view
