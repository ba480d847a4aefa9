// Fit, reset and preset views.
#include "view/ViewFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "view/PanSolve.h"
#include "view/ViewMath.h"
#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

struct Rect {
    double Left = std::numeric_limits<double>::infinity();
    double Right = -std::numeric_limits<double>::infinity();
    double Bottom = std::numeric_limits<double>::infinity();
    double Top = -std::numeric_limits<double>::infinity();
    bool Empty() const { return !(Left <= Right); }
};

// The faces' corners turned (not scaled or panned) and taken across and up.
Rect TurnedBounds(const Mat3& r, std::span<const DrawFace> faces, const FitFaces& which) {
    Rect rect;
    for (const DrawFace& face : faces) {
        if (which.Mesh >= 0 && face.Mesh != static_cast<int16_t>(which.Mesh)) continue;
        if (!IsDrawnAtLod(face, which.ShowLod)) continue;
        for (const Vec3& c : face.Corners) {
            const double x = r[0][0] * c.X + r[0][1] * c.Y + r[0][2] * c.Z;
            const double y = r[1][0] * c.X + r[1][1] * c.Y + r[1][2] * c.Z;
            rect.Left = std::min(rect.Left, x);
            rect.Right = std::max(rect.Right, x);
            rect.Bottom = std::min(rect.Bottom, y);
            rect.Top = std::max(rect.Top, y);
        }
    }
    return rect;
}

// The scales s for which s x [lo, hi] + offset lies in [from, to] (offset = s t, t fixed), as
// an interval of s; written for one axis.
void NarrowScales(double lo, double hi, double from, double to, double& sMin, double& sMax) {
    for (const double w : {lo, hi}) {
        if (w > 0) {
            sMin = std::max(sMin, from / w);
            sMax = std::min(sMax, to / w);
        } else if (w < 0) {
            sMin = std::max(sMin, to / w);
            sMax = std::min(sMax, from / w);
        } else if (from > 0 || to < 0) {
            sMax = -1;  // no scale moves a point at 0
        }
    }
}

constexpr double kFitScaleMin = 1e-9;
constexpr double kFitScaleMax = 1e9;

}  // namespace

bool FitView(ViewState& view, const ViewBox& box, std::span<const DrawFace> faces,
             const FitFaces& which, double margin) {
    if (!std::isfinite(margin) || margin < 0 || margin >= 0.5) margin = kFitMargin;
    const Camera camera{view.AngleX, view.AngleY, view.AngleZ, 1.0, 0, 0};
    // A unit-size frame: only the rotation and the box matter here.
    const FrameTransform unit(box, camera, 1, 1);
    if (!unit.Usable()) return false;
    const Rect q = TurnedBounds(unit.Rotation(), faces, which);
    if (q.Empty() || !std::isfinite(q.Left + q.Right + q.Bottom + q.Top)) return false;

    const double across = box.Right - box.Left, up = box.Top - box.Bottom;
    const double fromX = std::min(box.Left, box.Right) + std::fabs(across) * margin;
    const double toX = std::max(box.Left, box.Right) - std::fabs(across) * margin;
    const double fromY = std::min(box.Bottom, box.Top) + std::fabs(up) * margin;
    const double toY = std::max(box.Bottom, box.Top) - std::fabs(up) * margin;
    const double centreX = (fromX + toX) / 2, centreY = (fromY + toY) / 2;
    const double midX = (q.Left + q.Right) / 2, midY = (q.Bottom + q.Top) / 2;

    // For a scale s: the pan that brings the middle of the faces nearest to the middle of the
    // frame, and whether the faces then fit.
    const auto panFor = [&](double s, double& panX, double& panY) {
        const FrameTransform atScale(box, {camera.AngleX, camera.AngleY, camera.AngleZ, s, 0, 0}, 1,
                                     1);
        PanForEyeMove(atScale, centreX - s * midX, centreY - s * midY, panX, panY);
    };
    const auto fits = [&](double s, double panX, double panY) {
        double tx, ty;
        const FrameTransform atOne(box, camera, 1, 1);
        EyeMoveForPan(atOne, panX, panY, tx, ty);  // the pan's move at scale 1
        double sMin = 0, sMax = std::numeric_limits<double>::infinity();
        NarrowScales(q.Left + tx, q.Right + tx, fromX, toX, sMin, sMax);
        NarrowScales(q.Bottom + ty, q.Top + ty, fromY, toY, sMin, sMax);
        return sMin <= s && s <= sMax;
    };

    // The largest scale that fits, by bisection in log scale: the scales that fit with the best
    // pan run from 0 up to it.
    double panX = 0, panY = 0;
    double lo = std::log(kFitScaleMin), hi = std::log(kFitScaleMax);
    panFor(std::exp(hi), panX, panY);
    double scale;
    double smallX, smallY;
    panFor(kFitScaleMin, smallX, smallY);
    // Off the box's middle and out of the pan's reach: no scale fits.
    if (!fits(kFitScaleMin, smallX, smallY)) return false;
    if (fits(std::exp(hi), panX, panY)) {
        // A point or a line seen end on: nothing to fit, the scale stays.
        scale = std::isfinite(view.Scale) && view.Scale > 0 ? view.Scale : 1.0;
    } else {
        for (int step = 0; step < 100; ++step) {
            const double mid = (lo + hi) / 2;
            panFor(std::exp(mid), panX, panY);
            (fits(std::exp(mid), panX, panY) ? lo : hi) = mid;
        }
        scale = std::exp(lo);
    }
    panFor(scale, panX, panY);

    // Whole units of pan; then the scale narrowed as far as the rounded pan needs.
    const int32_t wholeX = SaturateInt32(ClampToRange(std::round(panX), INT32_MIN, INT32_MAX));
    const int32_t wholeY = SaturateInt32(ClampToRange(std::round(panY), INT32_MIN, INT32_MAX));
    if (!fits(scale, wholeX, wholeY)) {
        double tx, ty;
        EyeMoveForPan(FrameTransform(box, camera, 1, 1), wholeX, wholeY, tx, ty);
        double sMin = 0, sMax = std::numeric_limits<double>::infinity();
        NarrowScales(q.Left + tx, q.Right + tx, fromX, toX, sMin, sMax);
        NarrowScales(q.Bottom + ty, q.Top + ty, fromY, toY, sMin, sMax);
        if (sMin <= sMax && sMax < scale && sMax > 0) scale = sMax;
    }
    view.Scale = scale;
    view.PanX = wholeX;
    view.PanY = wholeY;
    return true;
}

bool FitTurning(ViewState& view, const ViewBox& box, std::span<const DrawFace> faces,
                const FitFaces& which, double margin) {
    if (!std::isfinite(margin) || margin < 0 || margin >= 0.5) margin = kFitMargin;
    const auto eachCorner = [&](auto visit) {
        for (const DrawFace& face : faces) {
            if (which.Mesh >= 0 && face.Mesh != static_cast<int16_t>(which.Mesh)) continue;
            if (!IsDrawnAtLod(face, which.ShowLod)) continue;
            for (const Vec3& c : face.Corners)
                visit(c);
        }
    };
    double minX = std::numeric_limits<double>::infinity(), maxX = -minX, minY = minX, maxY = -minX;
    eachCorner([&](const Vec3& c) {
        minX = std::min(minX, static_cast<double>(c.X));
        maxX = std::max(maxX, static_cast<double>(c.X));
        minY = std::min(minY, static_cast<double>(c.Y));
        maxY = std::max(maxY, static_cast<double>(c.Y));
    });
    if (!(minX <= maxX) || !std::isfinite(minX + maxX + minY + maxY)) return false;
    // The pan puts the middle of the faces on the axis they turn about, which every frame shows
    // at the eye's origin; the scale keeps their circle about it (their sphere, where the view
    // is tilted) inside the box less the margin.
    const double cx = std::round((minX + maxX) / 2), cy = std::round((minY + maxY) / 2);
    double radiusXy = 0, heightMax = 0;
    eachCorner([&](const Vec3& c) {
        radiusXy = std::max(radiusXy, std::hypot(c.X - cx, c.Y - cy));
        heightMax = std::max(heightMax, std::fabs(static_cast<double>(c.Z)));
    });
    const bool seenFromAbove =
        std::fmod(view.AngleX, 360.0f) == 0 && std::fmod(view.AngleY, 360.0f) == 0;
    const double radius = seenFromAbove ? radiusXy : std::hypot(radiusXy, heightMax);
    const double across = std::fabs(box.Right - box.Left) * margin;
    const double up = std::fabs(box.Top - box.Bottom) * margin;
    const double room =
        std::min({std::max(box.Left, box.Right) - across, -(std::min(box.Left, box.Right) + across),
                  std::max(box.Bottom, box.Top) - up, -(std::min(box.Bottom, box.Top) + up)});
    if (!(room > 0) || !(radius > 0) || !std::isfinite(room / radius)) {
        // The axis lies outside the box (a model off the origin) or the faces are one point:
        // a fit at the view's angles alone.
        return FitView(view, box, faces, which, margin);
    }
    view.Scale = std::clamp(room / radius, kFitScaleMin, kFitScaleMax);
    view.PanX = SaturateInt32(ClampToRange(-cx, INT32_MIN, INT32_MAX));
    view.PanY = SaturateInt32(ClampToRange(-cy, INT32_MIN, INT32_MAX));
    return true;
}

void ResetView(ViewState& view) {
    view.AngleX = view.AngleY = view.AngleZ = 0;
    view.Scale = 1.0;
    view.PanX = view.PanY = 0;
}

void ResetToPreviewView(ViewState& view) {
    ResetView(view);
    view.AngleX = -130.0f;
    view.AngleZ = 210.0f;
}

ViewAngles PresetAngles(PresetView preset) {
    switch (preset) {
        case PresetView::Front:
            return {-90, 0, 0};
        case PresetView::Back:
            return {-90, 0, 180};
        case PresetView::Right:
            return {-90, 0, -90};
        case PresetView::Left:
            return {-90, 0, 90};
        case PresetView::Top:
            return {0, 0, 0};
        case PresetView::Bottom:
            return {180, 0, 0};
        case PresetView::Iso:
            // From the front right and above, the three axes at equal angles to the screen.
            return {-54.7356f, 0, -45};
    }
    return {};
}

void ApplyPresetView(ViewState& view, PresetView preset) {
    const ViewAngles angles = PresetAngles(preset);
    view.AngleX = angles.AngleX;
    view.AngleY = angles.AngleY;
    view.AngleZ = angles.AngleZ;
}

std::optional<PresetView> PresetViewNamed(std::string_view name) {
    if (name == "front") return PresetView::Front;
    if (name == "back") return PresetView::Back;
    if (name == "right") return PresetView::Right;
    if (name == "left") return PresetView::Left;
    if (name == "top") return PresetView::Top;
    if (name == "bottom") return PresetView::Bottom;
    if (name == "iso") return PresetView::Iso;
    return std::nullopt;
}

}  // namespace vexlor::view
