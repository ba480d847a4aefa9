// The axis triad: three short arrows from one point showing where the model's x, y and z axes
// point at the view's current turn, each with its letter, x red-orange, y green, z blue. It is
// painted with QPainter over the frame (not into it), so the view's frames stay as they are:
// on the screen by an overlay widget in a corner of the panel, in pictures onto the image.
#pragma once

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QWidget>

#include "FrameTransform.h"

class QPainter;

namespace vexlor::view {

inline constexpr int kTriadSide = 64;  // pixels
inline constexpr int kTriadInset = 6;

// The colours of the x, y and z arrows (none of them the wireframe's red or cyan).
QColor TriadColour(int axis);

// The square in the lower left corner of a frame of this size that the triad takes.
QRectF TriadArea(QSize frame);

// The triad for the rotation, fitted into `area`; the arrow pointing most towards the viewer
// is painted last.
void PaintAxisTriad(QPainter& painter, const QRectF& area, const Mat3& rotation);

// The triad on the screen: a transparent child widget of the view's panel in its lower left
// corner, showing the turn of the panel's last frame (given after each frame), so that it never
// runs ahead of the picture beneath it.
class AxisTriadOverlay : public QWidget {
    Q_OBJECT
  public:
    explicit AxisTriadOverlay(QWidget* panel);
    void SetRotation(const Mat3& rotation);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    Mat3 rotation_ = ViewRotation(0, 0, 0);
};

}  // namespace vexlor::view
