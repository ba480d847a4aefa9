// The frame's OpenGL calls, in the order the view has always made them.
#include "view/FrameRenderer.h"

#include <QOpenGLFunctions_2_1>

#include "view/ViewMath.h"

#include <optional>

namespace vexlor::view {

void FrameRenderer::Create() {
    wireframe_.Create();
    shaded_.Create();
}

void FrameRenderer::Destroy() {
    wireframe_.Destroy();
    shaded_.Destroy();
}

void FrameRenderer::Invalidate() {
    wireframe_.Invalidate();
    shaded_.Invalidate();
}

void DrawHighlightedFace(QOpenGLFunctions_2_1& gl, const DrawFace& face) {
    if (!HasFiniteCorners(face)) return;
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.glColor3ub(kHighlightRgb[0], kHighlightRgb[1], kHighlightRgb[2]);
    gl.glBegin(GL_POLYGON);
    for (const Vec3& c : face.Corners)
        gl.glVertex3f(c.X, c.Y, c.Z);
    gl.glEnd();
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

void DrawMarkedFaces(QOpenGLFunctions_2_1& gl, std::span<const DrawFace> faces,
                     std::span<const int64_t> marked, const FaceSelection& shown) {
    if (marked.empty()) return;
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.glColor3ub(kMarkedRgb[0], kMarkedRgb[1], kMarkedRgb[2]);
    gl.glBegin(GL_TRIANGLES);
    for (const int64_t index : marked) {
        if (index < 0 || static_cast<uint64_t>(index) >= faces.size()) continue;
        const DrawFace& face = faces[static_cast<size_t>(index)];
        if (!shown.Draws(face)) continue;
        for (const size_t corner : {0, 1, 2, 0, 2, 3}) {
            const Vec3& c = face.Corners[corner];
            gl.glVertex3f(c.X, c.Y, c.Z);
        }
    }
    gl.glEnd();
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
}

bool FrameRenderer::Draw(QOpenGLFunctions_2_1& gl, const ViewBox& box, const Camera& camera,
                         int width, int height, const FrameScene& scene, const FrameLook& look) {
    gl.glViewport(0, 0, width, height);
    gl.glMatrixMode(GL_PROJECTION);
    gl.glLoadIdentity();
    gl.glOrtho(box.Left, box.Right, box.Bottom, box.Top, box.Near, box.Far);
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    gl.glFrontFace(GL_CCW);
    gl.glDisable(GL_DEPTH_TEST);
    gl.glDisable(GL_LIGHTING);
    gl.glDisable(GL_CULL_FACE);

    const bool shaded = look.Shaded && shaded_.Ready();
    gl.glClearColor(0, 0, 0, 1);
    gl.glClearDepth(DepthForBox(box).ClearDepth);
    // Only the shaded mode tests depth: the software renderer's clear of the depth buffer is a
    // good part of a small model's frame.
    gl.glClear(shaded ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
    gl.glMatrixMode(GL_MODELVIEW);
    gl.glPushMatrix();
    gl.glLoadIdentity();
    // A model point v is shown at Rx Ry Rz Scale (v + pan).
    gl.glRotated(camera.AngleX, 1, 0, 0);
    gl.glRotated(camera.AngleY, 0, 1, 0);
    gl.glRotated(camera.AngleZ, 0, 0, 1);
    const float scale = NarrowToFloat(camera.Scale);
    gl.glScalef(scale, scale, scale);
    gl.glTranslatef(static_cast<float>(camera.PanX), static_cast<float>(camera.PanY), 0);

    const FaceSelection shown = scene.Shown();
    const std::optional<int32_t> coarseKey =
        shown.LevelOfMesh.empty() ? std::nullopt : std::optional<int32_t>(scene.CoarseKey);
    bool filled = wireframe_.Prepare(scene.Faces, scene.CurrentMesh, shown, coarseKey);
    // Without the shader the wireframe stands in for the shaded mode.
    if (shaded) {
        const NearerWins depth = DepthForBox(box);
        gl.glEnable(GL_DEPTH_TEST);
        gl.glDepthFunc(depth.DepthFunction);
        filled = shaded_.DrawFill(gl, depth, scene.Faces, shown, coarseKey, wireframe_) || filled;
        wireframe_.DrawEdges(gl);
        gl.glDisable(GL_DEPTH_TEST);
    } else {
        wireframe_.DrawEdges(gl);
    }
    if (scene.Box != nullptr) DrawMarkerBox(gl, *scene.Box);
    if (scene.Hardpoint != nullptr) DrawHardpointMarker(gl, *scene.Hardpoint);
    DrawMarkedFaces(gl, scene.Faces, look.MarkedFaces, shown);
    if (look.HighlightFace >= 0 && static_cast<uint64_t>(look.HighlightFace) < scene.Faces.size())
        DrawHighlightedFace(gl, scene.Faces[static_cast<size_t>(look.HighlightFace)]);

    gl.glPopMatrix();
    // The context's default back for whoever draws next with it (the surface's triad).
    gl.glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // No flush: what draws next (the triad) joins the software renderer's pass, and reading the
    // pixels or showing them finishes it.
    return filled;
}

}  // namespace vexlor::view
