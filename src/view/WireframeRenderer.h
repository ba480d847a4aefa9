// Draws the wireframe with OpenGL: the faces from buffers that are uploaded once per load and
// brought up to date at frame time (colours when the current mesh changes, the edge list when
// the level of detail changes); and the marker box and the hardpoint point.
#pragma once

#include <QOpenGLBuffer>
#include <cstdint>
#include <span>

#include "OptModel.h"
#include "ViewSelection.h"
#include "Wireframe.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

void DrawMarkerBox(QOpenGLFunctions_2_1& gl, const MarkerBox& box);
void DrawHardpointMarker(QOpenGLFunctions_2_1& gl, const HardpointMarker& point);

class WireframeRenderer {
  public:
    // With the context current.
    void Create();
    void Destroy();
    // The draw tables were filled again: upload them at the next frame.
    void Invalidate() { ++generation_; }
    // The faces' edges alone, those of `currentMesh` red.
    void DrawFaces(QOpenGLFunctions_2_1& gl, std::span<const DrawFace> faces, int32_t currentMesh,
                   int32_t showLod);

  private:
    void Prepare(std::span<const DrawFace> faces, int32_t currentMesh, int32_t showLod);

    QOpenGLBuffer positions_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer colours_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer edges_{QOpenGLBuffer::IndexBuffer};
    int32_t edgeCorners_ = 0;
    uint64_t generation_ = 1;
    WireframeUploads uploads_;
};

}  // namespace vexlor::view
