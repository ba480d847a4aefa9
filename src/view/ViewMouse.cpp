// Orbit, pan, zoom and centring worked on the ViewState.
#include "view/ViewMouse.h"

#include <algorithm>
#include <cmath>

#include "view/PanSolve.h"
#include "view/ViewMath.h"

namespace vexlor::view {

double OrbitDegreesPerPixel(int viewportWidth, int viewportHeight) {
    const int side = std::max(1, std::min(viewportWidth, viewportHeight));
    return 180.0 / side;
}

OrbitDrag::OrbitDrag(const ViewState& view)
    : degreesPerPixel_(OrbitDegreesPerPixel(view.ViewportWidth, view.ViewportHeight)) {
    // The model's z axis on the screen: pointing up (or at the viewer), a turn that adds to
    // AngleZ moves the near side to the right.
    const Mat3 r = ViewRotation(view.AngleX, view.AngleY, view.AngleZ);
    const double up = r[1][2], towards = r[2][2];
    constexpr double tiny = 1e-9;
    zSense_ = up > tiny ? 1.0f : (up < -tiny ? -1.0f : (towards >= 0 ? 1.0f : -1.0f));
}

void OrbitDrag::Move(ViewState& view, double dx, double dy) const {
    if (!std::isfinite(dx) || !std::isfinite(dy)) return;
    view.AngleZ = NarrowToFloat(view.AngleZ + zSense_ * dx * degreesPerPixel_);
    view.AngleX = NarrowToFloat(view.AngleX + dy * degreesPerPixel_);
}

namespace {

// Adds a change of pan, keeping whole units and carrying the rest.
void AddPan(int32_t& pan, double change, double& carry) {
    const double wanted = carry + change;
    if (!std::isfinite(wanted)) return;
    const double whole = std::round(wanted);
    const int64_t step = ClampToRange(whole, -(int64_t{1} << 40), int64_t{1} << 40);
    pan = SaturateInt32(int64_t{pan} + step);
    carry = wanted - static_cast<double>(step);
}

}  // namespace

void PanDrag::Move(ViewState& view, const FrameTransform& frame, double dx, double dy) {
    if (!frame.Usable()) return;
    double panX, panY;
    PanForEyeMove(frame, dx * frame.EyeUnitsPerPixelX(), -dy * frame.EyeUnitsPerPixelY(), panX,
                  panY);
    AddPan(view.PanX, panX, carryX_);
    AddPan(view.PanY, panY, carryY_);
}

bool ZoomAt(ViewState& view, const FrameTransform& frame, double wx, double wy, double factor) {
    if (!std::isfinite(factor) || factor <= 0 || !std::isfinite(view.Scale)) return false;
    const double scale = view.Scale;
    double zoomed = scale * factor;
    // Within the mouse's scales, but never back across a limit the keys went past.
    if (factor > 1) zoomed = std::min(zoomed, std::max(kMouseScaleMax, scale));
    if (factor < 1) zoomed = std::max(zoomed, std::min(kMouseScaleMin, scale));
    if (zoomed == scale) return false;
    view.Scale = zoomed;
    if (!frame.Usable()) return true;
    // The point under the cursor sits at eye (ex, ey) = s Q (v + pan). With s' it stays there
    // when Q (pan' - pan) = (ex, ey) (1/s' - 1/s): a pan for the eye move (ex, ey)(s/s' - 1)
    // at scale s.
    double ex, ey;
    frame.WindowToEye(wx, wy, ex, ey);
    const double ratio = frame.Scale() / NarrowToFloat(zoomed) - 1.0;
    double panX, panY;
    PanForEyeMove(frame, ex * ratio, ey * ratio, panX, panY);
    double carryX = 0, carryY = 0;
    AddPan(view.PanX, panX, carryX);
    AddPan(view.PanY, panY, carryY);
    return true;
}

bool CentreOn(ViewState& view, const FrameTransform& frame, const Vec3d& point) {
    if (!frame.Usable()) return false;
    const Vec3d eye = frame.ModelToEye(point);
    const ViewBox& box = frame.Box();
    const double cx = (box.Left + box.Right) / 2, cy = (box.Bottom + box.Top) / 2;
    double panX, panY;
    PanForEyeMove(frame, cx - eye.X, cy - eye.Y, panX, panY);
    double carryX = 0, carryY = 0;
    AddPan(view.PanX, panX, carryX);
    AddPan(view.PanY, panY, carryY);
    return true;
}

Vec3d FaceCentre(const DrawFace& face) {
    // A triangle repeats its third corner: count it once.
    const bool triangle = face.Corners[3].X == face.Corners[2].X &&
                          face.Corners[3].Y == face.Corners[2].Y &&
                          face.Corners[3].Z == face.Corners[2].Z;
    const int corners = triangle ? 3 : 4;
    Vec3d sum;
    for (int i = 0; i < corners; ++i) {
        sum.X += face.Corners[static_cast<size_t>(i)].X;
        sum.Y += face.Corners[static_cast<size_t>(i)].Y;
        sum.Z += face.Corners[static_cast<size_t>(i)].Z;
    }
    return {sum.X / corners, sum.Y / corners, sum.Z / corners};
}

}  // namespace vexlor::view
