// The transform of one frame of the view as plain arithmetic: where a model point lands in the
// window and which model points lie under a window point. It follows the frame's OpenGL set-up
// step by step: the orthographic view box, then Rx(AngleX) Ry(AngleY) Rz(AngleZ), the scale and
// the pan, so that what the mouse tools, the fit and the picking work out matches the pixels.
//
// Window points are in the frame's pixels with the origin at the top left corner (a pixel's
// centre at +0.5); eye coordinates are those of the view box. The viewer looks down the eye
// z axis from +z: of two points under one window point the one with the larger eye z is nearer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "reader/Vec3.h"
#include "view/Projection.h"
#include "view/ViewState.h"

namespace vexlor::view {

struct Vec3d {
    double X = 0, Y = 0, Z = 0;
};

inline Vec3d ToVec3d(const Vec3& v) {
    return {v.X, v.Y, v.Z};
}

// Row-major 3 x 3.
using Mat3 = std::array<std::array<double, 3>, 3>;

Mat3 Multiply(const Mat3& a, const Mat3& b);
Vec3d Multiply(const Mat3& m, const Vec3d& v);
Vec3d MultiplyTransposed(const Mat3& m, const Vec3d& v);

// Rx(angleX) Ry(angleY) Rz(angleZ), the angles in degrees as glRotated takes them.
Mat3 ViewRotation(double angleX, double angleY, double angleZ);

// The camera part of the view state: what a frame is drawn from besides the model and the box.
struct Camera {
    float AngleX = 0;
    float AngleY = 0;
    float AngleZ = 0;
    double Scale = 1.0;
    int32_t PanX = 0;
    int32_t PanY = 0;
};

Camera CameraOf(const ViewState& view);

// The panel the view was designed for; its frames stretch the square box a little across.
inline constexpr int kDesignedFrameWidth = 457;
inline constexpr int kDesignedFrameHeight = 417;

// The box a scene set-up made for the view's extent, widened for a viewport of another shape
// than the designed panel's so that the model keeps the designed panel's proportions: a larger
// or wider view shows more around the model, never a stretched one.
ViewBox ViewBoxOf(const ViewState& view);

// The box widened along one axis about its centre so that a pixel of a `width` x `height` frame
// covers as many eye units across as up (the picture keeps the model's proportions).
ViewBox BoxForAspect(const ViewBox& box, double width, double height);

class FrameTransform {
  public:
    FrameTransform(const ViewBox& box, const Camera& camera, int width, int height);
    // The view's own frame: its box, camera and viewport.
    static FrameTransform OfView(const ViewState& view);

    // A frame can be mapped both ways: a positive viewport, a box of some size, a finite
    // positive scale.
    bool Usable() const { return usable_; }

    const Mat3& Rotation() const { return rotation_; }
    double Scale() const { return scale_; }
    const ViewBox& Box() const { return box_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // R Scale (v + pan).
    Vec3d ModelToEye(const Vec3d& v) const;
    // Eye x, y to window x, y (z passes through as the depth).
    Vec3d EyeToWindow(const Vec3d& eye) const;
    Vec3d ModelToWindow(const Vec3d& v) const { return EyeToWindow(ModelToEye(v)); }
    // The eye x, y under a window point.
    void WindowToEye(double wx, double wy, double& ex, double& ey) const;
    // Eye units per window pixel, across and up.
    double EyeUnitsPerPixelX() const;
    double EyeUnitsPerPixelY() const;

    // The points under a window point that the depth range keeps, as a line in model
    // coordinates: Origin + t Direction for t in [TMin, TMax], Direction a unit vector towards
    // the viewer; the eye z of the point at t is Scale x t. None for a point outside the frame or
    // a frame that is not usable.
    struct Ray {
        Vec3d Origin, Direction;
        double TMin = 0, TMax = 0;
    };
    std::optional<Ray> RayAt(double wx, double wy) const;

  private:
    ViewBox box_;
    Mat3 rotation_{};
    double scale_ = 1;
    double panX_ = 0, panY_ = 0;
    int width_ = 0, height_ = 0;
    bool usable_ = false;
};

}  // namespace vexlor::view
