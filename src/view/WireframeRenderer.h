// Draws the wireframe with OpenGL: the faces' edges from buffers that are uploaded once per load
// and brought up to date at frame time (colours when the current mesh changes, the edge list when
// the level of detail changes; a coarse frame's edges in a buffer of their own, so that a drag
// that mixes coarse and full frames fills each once); and the marker box and the hardpoint point.
// The shaded mode fills the faces from the same positions and colours.
#pragma once

#include <QOpenGLBuffer>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "reader/OptModel.h"
#include "view/ViewSelection.h"
#include "view/Wireframe.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

void DrawMarkerBox(QOpenGLFunctions_2_1& gl, const MarkerBox& box);
void DrawHardpointMarker(QOpenGLFunctions_2_1& gl, const HardpointMarker& point);

// Data into an OpenGL buffer, replacing what it held.
template <typename T>
void Upload(QOpenGLBuffer& buffer, const std::vector<T>& data) {
    buffer.bind();
    buffer.allocate(data.data(), static_cast<int>(data.size() * sizeof(T)));
    buffer.release();
}

// An index buffer and how many indices it holds.
struct IndexBuffer {
    QOpenGLBuffer Buffer{QOpenGLBuffer::IndexBuffer};
    int32_t Count = 0;
    void Fill(const std::vector<uint32_t>& indices);
    // Draws its primitives with the arrays bound.
    void Draw(QOpenGLFunctions_2_1& gl, unsigned mode);
};

// The index buffers of the full frame and of a coarse one, and which the next frame draws.
class FrameIndices {
  public:
    void Create();
    void Destroy();
    // Makes the full frame's buffer, or the coarse one's, the one drawn, filled by `fill` first
    // where `refill` says so.
    void Choose(bool coarse, const WireframeUploads::Refill& refill,
                const std::function<void(std::vector<uint32_t>&)>& fill);
    IndexBuffer& Drawn() { return *drawn_; }

  private:
    IndexBuffer full_;
    IndexBuffer coarse_;
    IndexBuffer* drawn_ = &full_;
};

class WireframeRenderer {
  public:
    // With the context current.
    void Create();
    void Destroy();
    // The draw tables were filled again: upload them at the next frame.
    void Invalidate() { ++generation_; }
    // Brings the buffers up to date for the faces `shown` (a coarse frame's when it has levels per
    // mesh, told apart by `coarseKey`), those of `currentMesh` red. True when it filled any.
    bool Prepare(std::span<const DrawFace> faces, int32_t currentMesh, const FaceSelection& shown,
                 std::optional<int32_t> coarseKey);
    // After Prepare: the edges of the faces shown.
    void DrawEdges(QOpenGLFunctions_2_1& gl);
    // After Prepare: the corners' positions and colours as the vertex and colour arrays.
    void BindCorners(QOpenGLFunctions_2_1& gl);
    void ReleaseCorners(QOpenGLFunctions_2_1& gl);

  private:
    QOpenGLBuffer positions_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer colours_{QOpenGLBuffer::VertexBuffer};
    FrameIndices edges_;
    uint64_t generation_ = 1;
    WireframeUploads uploads_;
};

}  // namespace vexlor::view
