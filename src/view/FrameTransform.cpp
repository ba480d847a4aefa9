// The frame's transform worked in doubles.
#include "view/FrameTransform.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vexlor::view {

Mat3 Multiply(const Mat3& a, const Mat3& b) {
    Mat3 m{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            m[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
        }
    }
    return m;
}

Vec3d Multiply(const Mat3& m, const Vec3d& v) {
    return {m[0][0] * v.X + m[0][1] * v.Y + m[0][2] * v.Z,
            m[1][0] * v.X + m[1][1] * v.Y + m[1][2] * v.Z,
            m[2][0] * v.X + m[2][1] * v.Y + m[2][2] * v.Z};
}

Vec3d MultiplyTransposed(const Mat3& m, const Vec3d& v) {
    return {m[0][0] * v.X + m[1][0] * v.Y + m[2][0] * v.Z,
            m[0][1] * v.X + m[1][1] * v.Y + m[2][1] * v.Z,
            m[0][2] * v.X + m[1][2] * v.Y + m[2][2] * v.Z};
}

namespace {

// Sine and cosine of an angle in degrees; whole turns are taken off first so that large
// never-wrapped angles keep their precision.
void SinCos(double degrees, double& s, double& c) {
    const double radians = std::fmod(degrees, 360.0) * (std::numbers::pi / 180.0);
    s = std::sin(radians);
    c = std::cos(radians);
}

}  // namespace

Mat3 ViewRotation(double angleX, double angleY, double angleZ) {
    double sx, cx, sy, cy, sz, cz;
    SinCos(angleX, sx, cx);
    SinCos(angleY, sy, cy);
    SinCos(angleZ, sz, cz);
    const Mat3 rx{{{1, 0, 0}, {0, cx, -sx}, {0, sx, cx}}};
    const Mat3 ry{{{cy, 0, sy}, {0, 1, 0}, {-sy, 0, cy}}};
    const Mat3 rz{{{cz, -sz, 0}, {sz, cz, 0}, {0, 0, 1}}};
    return Multiply(Multiply(rx, ry), rz);
}

Camera CameraOf(const ViewState& view) {
    return {view.AngleX, view.AngleY, view.AngleZ, view.Scale, view.PanX, view.PanY};
}

ViewBox ViewBoxOf(const ViewState& view) {
    const ViewBox box = ProjectionBox(view.ExtentMax, view.ExtentMin);
    if (view.ViewportWidth <= 0 || view.ViewportHeight <= 0) return box;
    // The designed panel's frame counts as square: at its size the box stays as designed.
    constexpr double kDesignedStretch =
        static_cast<double>(kDesignedFrameHeight) / static_cast<double>(kDesignedFrameWidth);
    return BoxForAspect(box, view.ViewportWidth * kDesignedStretch, view.ViewportHeight);
}

ViewBox BoxForAspect(const ViewBox& box, double width, double height) {
    if (width <= 0 || height <= 0) return box;
    const double across = box.Right - box.Left;
    const double up = box.Top - box.Bottom;
    const double perPixelX = std::fabs(across) / width;
    const double perPixelY = std::fabs(up) / height;
    ViewBox wider = box;
    if (perPixelX < perPixelY) {
        const double centre = (box.Left + box.Right) / 2;
        const double half = across / 2 * (perPixelY / perPixelX);
        wider.Left = centre - half;
        wider.Right = centre + half;
    } else if (perPixelY < perPixelX) {
        const double centre = (box.Bottom + box.Top) / 2;
        const double half = up / 2 * (perPixelX / perPixelY);
        wider.Bottom = centre - half;
        wider.Top = centre + half;
    }
    return wider;
}

FrameTransform::FrameTransform(const ViewBox& box, const Camera& camera, int width, int height)
    : box_(box),
      rotation_(ViewRotation(camera.AngleX, camera.AngleY, camera.AngleZ)),
      // The frame narrows the scale to a float, as glScalef takes it.
      scale_(static_cast<float>(std::clamp(camera.Scale, -3.4e38, 3.4e38))),
      panX_(camera.PanX),
      panY_(camera.PanY),
      width_(width),
      height_(height) {
    const bool finiteBox = std::isfinite(box.Left) && std::isfinite(box.Right) &&
                           std::isfinite(box.Bottom) && std::isfinite(box.Top) &&
                           std::isfinite(box.Near) && std::isfinite(box.Far);
    usable_ = width > 0 && height > 0 && finiteBox && box.Left != box.Right &&
              box.Bottom != box.Top && box.Near != box.Far && std::isfinite(scale_) && scale_ > 0 &&
              std::isfinite(camera.AngleX) && std::isfinite(camera.AngleY) &&
              std::isfinite(camera.AngleZ);
}

FrameTransform FrameTransform::OfView(const ViewState& view) {
    return {ViewBoxOf(view), CameraOf(view), view.ViewportWidth, view.ViewportHeight};
}

Vec3d FrameTransform::ModelToEye(const Vec3d& v) const {
    const Vec3d r = Multiply(rotation_, Vec3d{v.X + panX_, v.Y + panY_, v.Z});
    return {r.X * scale_, r.Y * scale_, r.Z * scale_};
}

Vec3d FrameTransform::EyeToWindow(const Vec3d& eye) const {
    return {(eye.X - box_.Left) / (box_.Right - box_.Left) * width_,
            (box_.Top - eye.Y) / (box_.Top - box_.Bottom) * height_, eye.Z};
}

void FrameTransform::WindowToEye(double wx, double wy, double& ex, double& ey) const {
    ex = box_.Left + wx / width_ * (box_.Right - box_.Left);
    ey = box_.Top - wy / height_ * (box_.Top - box_.Bottom);
}

double FrameTransform::EyeUnitsPerPixelX() const {
    return (box_.Right - box_.Left) / width_;
}

double FrameTransform::EyeUnitsPerPixelY() const {
    return (box_.Top - box_.Bottom) / height_;
}

std::optional<FrameTransform::Ray> FrameTransform::RayAt(double wx, double wy) const {
    if (!usable_ || !(wx >= 0 && wx <= width_ && wy >= 0 && wy <= height_)) return std::nullopt;
    double ex, ey;
    WindowToEye(wx, wy, ex, ey);
    // glOrtho keeps the eye depths from -Near to -Far.
    const double zA = -box_.Near, zB = -box_.Far;
    Ray ray;
    const Vec3d atZero = MultiplyTransposed(rotation_, Vec3d{ex / scale_, ey / scale_, 0});
    ray.Origin = {atZero.X - panX_, atZero.Y - panY_, atZero.Z};
    ray.Direction = MultiplyTransposed(rotation_, Vec3d{0, 0, 1});
    ray.TMin = std::min(zA, zB) / scale_;
    ray.TMax = std::max(zA, zB) / scale_;
    return ray;
}

}  // namespace vexlor::view
