// Mouse and added keys of the view.
#include "view/ViewInput.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>

#include "view/ViewFit.h"

namespace vexlor::view {

ViewInput::ViewInput(ViewState& view, SceneSource scene, QObject* parent)
    : QObject(parent), view_(view), scene_(std::move(scene)) {}

void ViewInput::Attach(QWidget* panel, QWidget* keysWindow) {
    panel_ = panel;
    keysWindow_ = keysWindow;
    if (panel_ != nullptr) {
        panel_->setMouseTracking(true);
        panel_->installEventFilter(this);
    }
    if (keysWindow_ != nullptr && keysWindow_ != panel_) keysWindow_->installEventFilter(this);
}

QPointF ViewInput::FramePoint(QPointF panelPoint) const {
    const qreal ratio = panel_ != nullptr ? panel_->devicePixelRatioF() : 1.0;
    return panelPoint * ratio;
}

int64_t ViewInput::FaceAt(QPointF panelPoint) {
    const ViewScene scene = scene_();
    if (!picker_.BuiltFor(scene.Faces, scene.ShowLod)) picker_.Build(scene.Faces, scene.ShowLod);
    const QPointF at = FramePoint(panelPoint);
    return picker_.Pick(scene.Faces, Frame(), at.x(), at.y()).Face;
}

void ViewInput::Hover(QPointF panelPoint) {
    cursor_ = panelPoint;
    const int64_t face = FaceAt(panelPoint);
    if (face == hovered_) return;
    hovered_ = face;
    emit FaceUnderCursor(face);
}

void ViewInput::RefreshHover() {
    if (cursor_) Hover(*cursor_);
}

void ViewInput::Run(ViewCommand command) {
    const ViewScene scene = scene_();
    switch (command) {
        case ViewCommand::None:
            return;
        case ViewCommand::FitModel:
        case ViewCommand::FitCurrentMesh: {
            const FitFaces which{scene.ShowLod,
                                 command == ViewCommand::FitModel ? -1 : scene.CurrentMesh};
            if (!FitView(view_, ViewBoxOf(view_), scene.Faces, which)) return;
            break;
        }
        case ViewCommand::Reset:
            ResetView(view_);
            break;
        case ViewCommand::Front:
            ApplyPresetView(view_, PresetView::Front);
            break;
        case ViewCommand::Back:
            ApplyPresetView(view_, PresetView::Back);
            break;
        case ViewCommand::Right:
            ApplyPresetView(view_, PresetView::Right);
            break;
        case ViewCommand::Left:
            ApplyPresetView(view_, PresetView::Left);
            break;
        case ViewCommand::Top:
            ApplyPresetView(view_, PresetView::Top);
            break;
        case ViewCommand::Bottom:
            ApplyPresetView(view_, PresetView::Bottom);
            break;
        case ViewCommand::ToggleRotation:
            emit RotationToggled();
            return;
        case ViewCommand::ToggleShaded:
            emit ShadedToggled();
            return;
    }
    emit ViewChanged();
}

bool ViewInput::MousePress(QMouseEvent* event) {
    const Qt::MouseButton button = event->button();
    if (drag_ != Drag::None) return true;  // a second button during a drag is ignored
    pressPoint_ = lastPoint_ = event->position();
    dragButton_ = button;
    pickOnRelease_ = false;
    pan_ = PanDrag{};
    if (button == Qt::MiddleButton ||
        (button == Qt::LeftButton && event->modifiers() == Qt::ShiftModifier)) {
        drag_ = Drag::Pan;
        emit DraggingChanged(true);
        return true;
    }
    if (button == Qt::LeftButton) {
        pickOnRelease_ = (event->modifiers() & Qt::ControlModifier) != 0;
        drag_ = Drag::Pending;
        return true;
    }
    dragButton_ = Qt::NoButton;
    return false;
}

bool ViewInput::MouseMove(QMouseEvent* event) {
    const QPointF point = event->position();
    if (drag_ == Drag::None) {
        Hover(point);
        return false;
    }
    if (drag_ == Drag::Pending) {
        const QPointF moved = point - pressPoint_;
        if (pickOnRelease_ || std::hypot(moved.x(), moved.y()) <= kClickSlop) return true;
        drag_ = Drag::Orbit;
        orbit_.emplace(view_);
        emit DraggingChanged(true);
    }
    const QPointF step = FramePoint(point) - FramePoint(lastPoint_);
    lastPoint_ = point;
    if (drag_ == Drag::Orbit) {
        orbit_->Move(view_, step.x(), step.y());
    } else {
        pan_.Move(view_, Frame(), step.x(), step.y());
    }
    emit ViewMoved();
    return true;
}

bool ViewInput::MouseRelease(QMouseEvent* event) {
    if (drag_ == Drag::None || event->button() != dragButton_) return drag_ != Drag::None;
    const Drag ended = drag_;
    drag_ = Drag::None;
    dragButton_ = Qt::NoButton;
    orbit_.reset();
    if (ended == Drag::Pending) emit FacePicked(FaceAt(event->position()));
    if (ended == Drag::Orbit || ended == Drag::Pan) emit DraggingChanged(false);
    return true;
}

bool ViewInput::DoubleClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return false;
    const int64_t face = FaceAt(event->position());
    const ViewScene scene = scene_();
    if (face >= 0 && static_cast<size_t>(face) < scene.Faces.size() &&
        CentreOn(view_, Frame(), FaceCentre(scene.Faces[static_cast<size_t>(face)]))) {
        emit ViewChanged();
    }
    // The second press of a double-click starts no drag; its release ends nothing.
    drag_ = Drag::None;
    return true;
}

bool ViewInput::Wheel(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return true;
    const QPointF at = FramePoint(event->position());
    if (ZoomAt(view_, Frame(), at.x(), at.y(), std::pow(kWheelZoomPerNotch, notches)))
        emit ViewMoved();
    return true;
}

bool ViewInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && panel_ != nullptr) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                return MousePress(static_cast<QMouseEvent*>(event));
            case QEvent::MouseMove:
                return MouseMove(static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonRelease:
                return MouseRelease(static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonDblClick:
                return DoubleClick(static_cast<QMouseEvent*>(event));
            case QEvent::Wheel:
                return Wheel(static_cast<QWheelEvent*>(event));
            case QEvent::Leave:
                cursor_.reset();
                if (hovered_ != -1) {
                    hovered_ = -1;
                    emit FaceUnderCursor(-1);
                }
                return false;
            default:
                return false;
        }
    }
    if (watched == keysWindow_ && keysWindow_ != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const ViewCommand command = ViewCommandForKey(key->key(), key->modifiers());
        if (command == ViewCommand::None) return false;
        Run(command);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vexlor::view
