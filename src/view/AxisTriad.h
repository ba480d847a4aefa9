// The axis triad: three short arrows from one point showing where the model's x, y and z axes
// point at the view's current turn, each with its letter, x red-orange, y green, z blue. It is
// painted with QPainter over the frame (not into it), so the view's frames stay as they are:
// on the screen into an image the panel's surface lays over the frame, in pictures onto the
// image.
#pragma once

#include <QColor>
#include <QRectF>
#include <QSize>

#include "view/FrameTransform.h"

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

}  // namespace vexlor::view
