// Drawing the wireframe with QPainter: one-pixel aliased lines, as OpenGL draws GL_LINES, cut to
// the view box's depth range as OpenGL clips them.
#include "view/WireframeImage.h"

#include <QColor>
#include <QLineF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <utility>
#include <vector>

#include "view/EdgeList.h"
#include "view/ViewFit.h"

namespace vexlor::view {

namespace {

// The part t0..t1 (of 0..1) of the segment a-b whose eye z lies in [lo, hi]; false if none.
bool ClipToDepth(double za, double zb, double lo, double hi, double& t0, double& t1) {
    t0 = 0;
    t1 = 1;
    const double dz = zb - za;
    for (const auto& [bound, below] : {std::pair{lo, true}, std::pair{hi, false}}) {
        const double outsideA = below ? bound - za : za - bound;  // > 0: a lies outside
        const double step = below ? dz : -dz;
        if (step == 0) {
            if (outsideA > 0) return false;
            continue;
        }
        const double t = outsideA / step;
        if (step > 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

QColor ColourOf(const DrawFace& face, int32_t currentMesh) {
    const uint8_t* rgba =
        face.Mesh == static_cast<int16_t>(currentMesh) ? kCurrentMeshRgba : kFaceRgba;
    return QColor(rgba[0], rgba[1], rgba[2]);
}

}  // namespace

QImage DrawWireframeImage(std::span<const DrawFace> faces, const WireframeFrame& frame) {
    QImage image(frame.Size, QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(Qt::black);
    const FrameTransform transform(frame.Box, frame.View, frame.Size.width(), frame.Size.height());
    if (!transform.Usable()) return image;
    std::vector<uint32_t> corners;
    FillEdgeList(faces, frame.Shown, corners);

    // glOrtho shows eye z from -Far to -Near, whichever way round they lie.
    const double nearZ = -frame.Box.Near, farZ = -frame.Box.Far;
    const double lo = std::min(nearZ, farZ), hi = std::max(nearZ, farZ);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Runs of one colour are drawn together; across colours the draw order is kept.
    std::vector<QLineF> run;
    QColor runColour;
    const auto flush = [&] {
        if (run.empty()) return;
        painter.setPen(QPen(runColour, 0));
        painter.drawLines(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (size_t i = 0; i + 1 < corners.size(); i += 2) {
        const DrawFace& face = faces[corners[i] / 4];
        const Vec3d a = transform.ModelToEye(ToVec3d(face.Corners[corners[i] % 4]));
        const Vec3d b =
            transform.ModelToEye(ToVec3d(faces[corners[i + 1] / 4].Corners[corners[i + 1] % 4]));
        double t0 = 0, t1 = 1;
        if (!ClipToDepth(a.Z, b.Z, lo, hi, t0, t1)) continue;
        const auto at = [&](double t) {
            const Vec3d eye{a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t, 0};
            const Vec3d window = transform.EyeToWindow(eye);
            return QPointF(window.X, window.Y);
        };
        const QColor colour = ColourOf(face, frame.CurrentMesh);
        if (colour != runColour) {
            flush();
            runColour = colour;
        }
        run.emplace_back(at(t0), at(t1));
    }
    flush();
    return image;
}

bool PreviewFrame(std::span<const DrawFace> faces, int32_t showLod, QSize size,
                  WireframeFrame& frame) {
    const ModelExtent extent = ComputeModelExtent(faces);
    const ViewBox box =
        BoxForAspect(ProjectionBox(extent.Max, extent.Min), size.width(), size.height());
    ViewState view;
    ResetToPreviewView(view);
    if (!FitView(view, box, faces, {showLod, -1})) return false;
    frame.Size = size;
    frame.Box = box;
    frame.View = CameraOf(view);
    frame.CurrentMesh = 0;
    frame.Shown = {showLod, {}};
    return true;
}

}  // namespace vexlor::view
