// What the mouse does to the view, as arithmetic on the ViewState (the same fields the keys
// change, so keys and mouse mix): a turntable orbit, a pan that keeps the model under the
// cursor, a zoom towards the cursor and centring the view on a point of the model.
//
// Moves are in the frame's pixels (window x to the right, y down).
#pragma once

#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/ViewState.h"

namespace vexlor::view {

// Degrees turned per pixel dragged: half a turn over the frame's shorter side.
double OrbitDegreesPerPixel(int viewportWidth, int viewportHeight);

// A left drag under way. The sense of the horizontal turn is fixed when the drag starts: the
// side of the model facing the viewer follows the cursor, and seen from below the turn goes the
// other way.
class OrbitDrag {
  public:
    explicit OrbitDrag(const ViewState& view);
    // A move of (dx, dy) pixels since the last: horizontal turns about the model's own z axis
    // (AngleZ), vertical tilts about the screen's horizontal axis (AngleX).
    void Move(ViewState& view, double dx, double dy) const;

  private:
    double degreesPerPixel_;
    float zSense_;
};

// A pan drag under way: the pan is whole model units, so what a move could not take yet is
// carried to the next.
class PanDrag {
  public:
    // Moves the model by (dx, dy) pixels on the screen, as far as the pan can reach at this
    // rotation (see PanSolve.h).
    void Move(ViewState& view, const FrameTransform& frame, double dx, double dy);

  private:
    double carryX_ = 0, carryY_ = 0;
};

// The scales the mouse zooms within (the keys are not limited).
inline constexpr double kMouseScaleMin = 1e-4;
inline constexpr double kMouseScaleMax = 1e5;
// One notch of the wheel zooms by the zoom keys' factor.
inline constexpr double kWheelZoomPerNotch = 1.1;

// Scale x `factor` (kept within the mouse's scales), with the pan changed so that the model
// point under the window point (wx, wy) stays there. False when nothing changed.
bool ZoomAt(ViewState& view, const FrameTransform& frame, double wx, double wy, double factor);

// The pan that brings the model point to the middle of the frame (as far as the pan can reach).
bool CentreOn(ViewState& view, const FrameTransform& frame, const Vec3d& point);

// The middle of a face: the mean of its distinct corners.
Vec3d FaceCentre(const DrawFace& face);

}  // namespace vexlor::view
