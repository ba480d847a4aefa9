// Draws the wireframe with OpenGL: the faces from buffers that are uploaded once per load and
// brought up to date at frame time (colours when the current mesh changes, the edge list when
// the level of detail changes), then the marker box and the hardpoint point.
#pragma once

#include <QOpenGLBuffer>
#include <cstdint>

#include "ModelStore.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

void DrawMarkerBox(QOpenGLFunctions_2_1& gl, const MarkerBoxData& box);
void DrawHardpointMarker(QOpenGLFunctions_2_1& gl, const HardpointMarkerData& point);

class WireframeRenderer {
  public:
    // With the context current.
    void Create();
    void Destroy();
    // The draw tables were filled again: upload them at the next frame.
    void Invalidate() { ++generation_; }
    // The faces, then the markers whose flags are set. Nothing without a model.
    void DrawModel(QOpenGLFunctions_2_1& gl, const ModelStore* store);

    // How often the arrays were refilled; for tests of the change detection.
    struct Refills {
        int64_t positions = 0, colours = 0, edges = 0;
    };
    const Refills& RefillCounts() const { return refills_; }

  private:
    // What the buffers were filled from.
    struct Uploaded {
        const ModelStore* store = nullptr;
        uint64_t generation = 0;
        int64_t faces = -1;
        int32_t currentMesh = 0;
        int32_t showLod = 0;
        bool colours = false;
        bool edges = false;
    };
    void Prepare(const ModelStore& store);

    QOpenGLBuffer positions_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer colours_{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer edges_{QOpenGLBuffer::IndexBuffer};
    int32_t edgeCorners_ = 0;
    uint64_t generation_ = 1;
    Uploaded uploaded_;
    Refills refills_;
};

}  // namespace vexlor::view
