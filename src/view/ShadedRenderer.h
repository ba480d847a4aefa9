// Fills the faces for the shaded mode with OpenGL: flat lit faces in their mesh's colour (see
// ShadedFaces.h), from buffers uploaded once per load (the triangle list again when the level
// of detail changes), drawn with the depth test so that the nearest face shows. The caller has
// set the frame's matrices; the fill is pushed back a little in depth so that the wireframe drawn
// over it with the same depth test shows on the faces it bounds.
#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLShaderProgram>
#include <cstdint>
#include <memory>
#include <span>

#include "ModelStore.h"
#include "Projection.h"
#include "Wireframe.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

// Depth settings under which the larger eye z (the viewer's side) wins, for a glOrtho box.
struct NearerWins {
    unsigned DepthFunction;  // GL_GEQUAL or GL_LEQUAL
    double ClearDepth;       // the depth that loses to every drawn one
    float OffsetAway;        // the sign of a polygon offset that moves away from the viewer
};
NearerWins DepthForBox(const ViewBox& box);

class ShadedRenderer {
  public:
    ShadedRenderer();
    ~ShadedRenderer();
    // With the context current. False when the shader cannot be built (nothing is then filled).
    bool Create();
    void Destroy();
    // The faces were filled again: upload them at the next frame.
    void Invalidate() { ++generation_; }

    // Fills the faces drawn at `showLod`, those of `currentMesh` red. Leaves the depth test on
    // with the function that lets the nearer win, the polygon mode at lines and no offset, ready
    // for the wireframe.
    void DrawFill(QOpenGLFunctions_2_1& gl, const ViewBox& box, std::span<const DrawFace> faces,
                  int32_t currentMesh, int32_t showLod);

  private:
    void Prepare(std::span<const DrawFace> faces, int32_t showLod);

    std::unique_ptr<QOpenGLShaderProgram> program_;
    QOpenGLBuffer positions_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer normals_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer meshes_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer triangles_{QOpenGLBuffer::IndexBuffer};
    int32_t triangleCorners_ = 0;
    uint64_t generation_ = 1;
    WireframeUploads uploads_;
};

}  // namespace vexlor::view
