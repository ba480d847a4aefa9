// Draws the faces for the shaded mode with OpenGL: flat lit faces in their mesh's colour (see
// ShadedFaces.h) with the wireframe's edges over them, from buffers uploaded once per load (the
// triangle list again when the level of detail changes), with the depth test so that the nearest
// face shows. The caller has set the frame's matrices.
//
// The edges are drawn by the faces themselves: a fragment within about a pixel of its face's
// edge takes the mesh's full colour, as the wireframe's line would. So an edge hidden behind a
// nearer face stays hidden, and a frame costs the faces' triangles alone rather than the
// triangles and every edge again as a line.
#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLShaderProgram>
#include <cstdint>
#include <memory>
#include <span>

#include "OptModel.h"
#include "Projection.h"
#include "Wireframe.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

// Depth settings under which the larger eye z (the viewer's side) wins, for a glOrtho box.
struct NearerWins {
    unsigned DepthFunction;  // GL_GEQUAL or GL_LEQUAL
    double ClearDepth;       // the depth that loses to every drawn one
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

    // The faces drawn at `showLod` and their edges, those of `currentMesh` red. Leaves the depth
    // test off and the polygon mode at lines. False, with nothing drawn, without the shader.
    bool DrawFill(QOpenGLFunctions_2_1& gl, const ViewBox& box, std::span<const DrawFace> faces,
                  int32_t currentMesh, int32_t showLod);

  private:
    void Prepare(std::span<const DrawFace> faces, int32_t showLod);

    std::unique_ptr<QOpenGLShaderProgram> program_;
    QOpenGLBuffer positions_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer normals_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer edges_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer meshes_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer triangles_{QOpenGLBuffer::IndexBuffer};
    int32_t triangleCorners_ = 0;
    uint64_t generation_ = 1;
    WireframeUploads uploads_;
};

}  // namespace vexlor::view
