// Fills the faces for the shaded mode with OpenGL: flat lit faces in their mesh's colour (see
// ShadedFaces.h), with the depth test so that the nearest face shows. The corners' positions and
// colours are the wireframe's; the normals and the triangle lists (a coarse frame's in a buffer of
// their own) are uploaded once per load and level. The caller has set the frame's matrices.
//
// The fill is pushed back by a polygon offset, so that the wireframe's edges drawn over it with
// the same depth test show on the faces they belong to and stay hidden behind nearer ones.
#pragma once

#include <QOpenGLBuffer>
#include <QOpenGLShaderProgram>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "reader/OptModel.h"
#include "view/Projection.h"
#include "view/Wireframe.h"
#include "view/WireframeRenderer.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

// Depth settings under which the larger eye z (the viewer's side) wins, for a glOrtho box.
struct NearerWins {
    unsigned DepthFunction;  // GL_GEQUAL or GL_LEQUAL
    double ClearDepth;       // the depth that loses to every drawn one
    float Farther;  // polygon offset factor and units that move a fill away from the viewer
};
NearerWins DepthForBox(const ViewBox& box);

class ShadedRenderer {
  public:
    ShadedRenderer();
    ~ShadedRenderer();
    // With the context current. False when the shader cannot be built (nothing is then filled).
    bool Create();
    void Destroy();
    bool Ready() const { return program_ != nullptr; }
    // The faces were filled again: upload them at the next frame.
    void Invalidate() { ++generation_; }

    // The faces `shown` (a coarse frame's when it has levels per mesh, told apart by
    // `coarseKey`), from the corners `wireframe` has prepared for them, with the depth test as
    // `depth` says, which the caller has turned on. Nothing without the shader. True when it
    // filled arrays.
    bool DrawFill(QOpenGLFunctions_2_1& gl, const NearerWins& depth,
                  std::span<const DrawFace> faces, const FaceSelection& shown,
                  std::optional<int32_t> coarseKey, WireframeRenderer& wireframe);

  private:
    bool Prepare(std::span<const DrawFace> faces, const FaceSelection& shown,
                 std::optional<int32_t> coarseKey);

    std::unique_ptr<QOpenGLShaderProgram> program_;
    QOpenGLBuffer normals_{QOpenGLBuffer::VertexBuffer};
    FrameIndices triangles_;
    uint64_t generation_ = 1;
    WireframeUploads uploads_;
};

}  // namespace vexlor::view
