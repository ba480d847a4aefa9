// The mouse on the view's panel and the added keys on its window, turned into changes of the
// ViewState (ViewMouse.h, ViewFit.h) and into picks of faces (FacePicker.h). Installed as an
// event filter; the designed keys pass through to the window's own handler untouched.
//
//   left drag                  orbit (turntable about the model's z axis, tilt)
//   middle drag, Shift+left    pan, the model following the cursor
//   wheel                      zoom towards the cursor
//   click (no drag), Ctrl+click  pick the face under the cursor
//   double-click               centre the view on the face under the cursor
//   moving the mouse           the face under the cursor is reported
#pragma once

#include <QObject>
#include <QPointF>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "reader/OptModel.h"
#include "view/FacePicker.h"
#include "view/ViewCommandKeys.h"
#include "view/ViewMouse.h"
#include "view/ViewState.h"

class QMouseEvent;
class QWheelEvent;
class QWidget;

namespace vexlor::view {

// What the view shows at the moment of an event.
struct ViewScene {
    std::span<const DrawFace> Faces;
    int32_t ShowLod = 0;
    int32_t CurrentMesh = 0;
};

// Pixels the cursor may move with a button held and still make a click.
inline constexpr double kClickSlop = 3.0;

class ViewInput : public QObject {
    Q_OBJECT
  public:
    using SceneSource = std::function<ViewScene()>;
    // The view's frames use the ViewState's extent and viewport (as the scene set-up left them).
    ViewInput(ViewState& view, SceneSource scene, QObject* parent = nullptr);

    // Takes the mouse events of `panel` (turning its mouse tracking on) and the keys of
    // `keysWindow` (may be the same widget or null).
    void Attach(QWidget* panel, QWidget* keysWindow);

    // The faces were filled again (a load): the pick index is built anew at the next pick.
    void ModelChanged() { picker_.Clear(); }

    // The face under a point of the panel (in its logical pixels): -1 for none.
    int64_t FaceAt(QPointF panelPoint);
    // Reports the face under the cursor again (the model may have turned under it).
    void RefreshHover();
    // Carries out a command of the added keys.
    void Run(ViewCommand command);

    // A drag is turning or panning the view.
    bool Dragging() const { return drag_ == Drag::Orbit || drag_ == Drag::Pan; }

  signals:
    // The view state changed: a frame is wanted.
    void ViewChanged();
    // The mouse (a drag or the wheel) changed the view: a frame is wanted, and one frame for
    // the changes of many events will do.
    void ViewMoved();
    // A drag started or ended.
    void DraggingChanged(bool dragging);
    // A click picked a face (its draw index), or hit empty space (-1).
    void FacePicked(qint64 face);
    // The face under the cursor changed (-1: none).
    void FaceUnderCursor(qint64 face);
    // W was pressed.
    void ShadedToggled();
    // R was pressed.
    void RotationToggled();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Drag { None, Pending, Orbit, Pan };
    bool MousePress(QMouseEvent* event);
    bool MouseMove(QMouseEvent* event);
    bool MouseRelease(QMouseEvent* event);
    bool DoubleClick(QMouseEvent* event);
    bool Wheel(QWheelEvent* event);
    // A panel point in the frame's pixels.
    QPointF FramePoint(QPointF panelPoint) const;
    FrameTransform Frame() const { return FrameTransform::OfView(view_); }
    void Hover(QPointF panelPoint);

    ViewState& view_;
    SceneSource scene_;
    QWidget* panel_ = nullptr;
    QWidget* keysWindow_ = nullptr;
    FacePicker picker_;

    Drag drag_ = Drag::None;
    bool pickOnRelease_ = false;  // Ctrl held at the press: a pick, never a drag
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPointF pressPoint_, lastPoint_;
    std::optional<OrbitDrag> orbit_;
    PanDrag pan_;
    int64_t hovered_ = -1;
    std::optional<QPointF> cursor_;
};

}  // namespace vexlor::view
