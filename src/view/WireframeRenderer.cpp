// The wireframe's OpenGL calls.
#include "view/WireframeRenderer.h"

#include <QOpenGLFunctions_2_1>
#include <cmath>
#include <vector>

#include "view/EdgeList.h"
#include "view/Wireframe.h"

namespace vexlor::view {

namespace {

constexpr float kMarkerPointSize = 2.0f;
constexpr float kBoxCentrePointSize = 6.0f;

}  // namespace

void DrawMarkerBox(QOpenGLFunctions_2_1& gl, const MarkerBox& box) {
    gl.glColor3f(box.Colour.X, box.Colour.Y, box.Colour.Z);
    const Vec3& c = box.Centre;
    const Vec3 lo{c.X - box.Span.X * 0.5f, c.Y - box.Span.Y * 0.5f, c.Z - box.Span.Z * 0.5f};
    const Vec3 hi{c.X + box.Span.X * 0.5f, c.Y + box.Span.Y * 0.5f, c.Z + box.Span.Z * 0.5f};
    gl.glPointSize(kBoxCentrePointSize);
    gl.glBegin(GL_POINTS);
    gl.glVertex3f(c.X, c.Y, c.Z);
    gl.glEnd();
    gl.glPointSize(kMarkerPointSize);
    // Outlined, these four sides cover all twelve edges of the box.
    gl.glBegin(GL_QUADS);
    for (const float z : {lo.Z, hi.Z}) {
        gl.glVertex3f(lo.X, lo.Y, z);
        gl.glVertex3f(hi.X, lo.Y, z);
        gl.glVertex3f(hi.X, hi.Y, z);
        gl.glVertex3f(lo.X, hi.Y, z);
    }
    gl.glVertex3f(lo.X, lo.Y, hi.Z);
    gl.glVertex3f(lo.X, hi.Y, hi.Z);
    gl.glVertex3f(lo.X, hi.Y, lo.Z);
    gl.glVertex3f(lo.X, lo.Y, lo.Z);
    gl.glVertex3f(hi.X, hi.Y, hi.Z);
    gl.glVertex3f(hi.X, lo.Y, hi.Z);
    gl.glVertex3f(hi.X, lo.Y, lo.Z);
    gl.glVertex3f(hi.X, hi.Y, lo.Z);
    gl.glEnd();
}

void DrawHardpointMarker(QOpenGLFunctions_2_1& gl, const HardpointMarker& point) {
    gl.glColor3f(point.Colour.X, point.Colour.Y, point.Colour.Z);
    // OpenGL refuses sizes that are not positive; such a point keeps the size in force.
    if (point.Size > 0 && std::isfinite(point.Size)) gl.glPointSize(point.Size);
    gl.glBegin(GL_POINTS);
    gl.glVertex3f(point.Position.X, point.Position.Y, point.Position.Z);
    gl.glEnd();
    gl.glPointSize(kMarkerPointSize);
}

void IndexBuffer::Fill(const std::vector<uint32_t>& indices) {
    Upload(Buffer, indices);
    Count = static_cast<int32_t>(indices.size());
}

void IndexBuffer::Draw(QOpenGLFunctions_2_1& gl, unsigned mode) {
    if (Count <= 0) return;
    Buffer.bind();
    gl.glDrawElements(mode, Count, GL_UNSIGNED_INT, nullptr);
    Buffer.release();
}

void FrameIndices::Create() {
    full_.Buffer.create();
    coarse_.Buffer.create();
}

void FrameIndices::Destroy() {
    full_.Buffer.destroy();
    coarse_.Buffer.destroy();
}

void FrameIndices::Choose(bool coarse, const WireframeUploads::Refill& refill,
                          const std::function<void(std::vector<uint32_t>&)>& fill) {
    drawn_ = coarse ? &coarse_ : &full_;
    if (coarse ? refill.CoarseEdges : refill.Edges) {
        std::vector<uint32_t> indices;
        fill(indices);
        drawn_->Fill(indices);
    }
}

void WireframeRenderer::Create() {
    positions_.create();
    colours_.create();
    edges_.Create();
    uploads_.Forget();
}

void WireframeRenderer::Destroy() {
    positions_.destroy();
    colours_.destroy();
    edges_.Destroy();
    uploads_.Forget();
}

bool WireframeRenderer::Prepare(std::span<const DrawFace> faces, int32_t currentMesh,
                                const FaceSelection& shown, std::optional<int32_t> coarseKey) {
    const WireframeUploads::Refill refill = uploads_.Plan(
        faces.data(), generation_, DrawableFaceCount(faces), currentMesh, shown.ShowLod, coarseKey);
    if (refill.Positions) {
        std::vector<float> positions;
        FillPositions(faces, positions);
        Upload(positions_, positions);
    }
    if (refill.Colours) {
        std::vector<uint8_t> colours;
        FillColours(faces, currentMesh, colours);
        Upload(colours_, colours);
    }
    edges_.Choose(coarseKey.has_value(), refill,
                  [&](std::vector<uint32_t>& corners) { FillEdgeList(faces, shown, corners); });
    return refill != WireframeUploads::Refill{};
}

void WireframeRenderer::BindCorners(QOpenGLFunctions_2_1& gl) {
    gl.glEnableClientState(GL_VERTEX_ARRAY);
    gl.glEnableClientState(GL_COLOR_ARRAY);
    positions_.bind();
    gl.glVertexPointer(3, GL_FLOAT, 0, nullptr);
    colours_.bind();
    gl.glColorPointer(4, GL_UNSIGNED_BYTE, 0, nullptr);
    colours_.release();
}

void WireframeRenderer::ReleaseCorners(QOpenGLFunctions_2_1& gl) {
    gl.glDisableClientState(GL_COLOR_ARRAY);
    gl.glDisableClientState(GL_VERTEX_ARRAY);
}

void WireframeRenderer::DrawEdges(QOpenGLFunctions_2_1& gl) {
    if (edges_.Drawn().Count <= 0) return;
    BindCorners(gl);
    // In draw-table order: a later face's edges lie over an earlier face's.
    edges_.Drawn().Draw(gl, GL_LINES);
    ReleaseCorners(gl);
}

}  // namespace vexlor::view
