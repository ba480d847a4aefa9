// One whole frame of the view into the bound framebuffer: the designed wireframe frame (cleared
// black, the view box, the turn, scale and pan, the faces' edges red and cyan, the markers) or,
// in the shaded mode, the lit faces (ShadedRenderer.h) with the same edges drawn over them under
// the depth test; then the faces a panel marks and a highlighted face if one is picked. With
// nothing asked for, the frame is the designed one pixel for pixel.
#pragma once

#include <cstdint>
#include <span>

#include "reader/OptModel.h"
#include "view/FrameTransform.h"
#include "view/ShadedRenderer.h"
#include "view/ViewSelection.h"
#include "view/WireframeRenderer.h"

class QOpenGLFunctions_2_1;

namespace vexlor::view {

// What is drawn: the faces and what the view shows of them.
struct FrameScene {
    std::span<const DrawFace> Faces;
    int32_t CurrentMesh = 0;
    int32_t ShowLod = 0;
    const view::MarkerBox* Box = nullptr;  // none: not shown
    const view::HardpointMarker* Hardpoint = nullptr;
    // A coarse frame, drawn while the mouse drags: each mesh at the level this table gives
    // (indexed by the mesh's 16 bits), told apart from other choices by CoarseKey. Empty for the
    // full frame at ShowLod.
    std::span<const uint8_t> CoarseLevels;
    int32_t CoarseKey = 0;

    FaceSelection Shown() const { return {ShowLod, CoarseLevels}; }
};

// The highlight of a picked face: yellow, drawn over everything.
inline constexpr uint8_t kHighlightRgb[3] = {255, 255, 0};
// The faces a panel lists, under it: a dim amber that no mesh colour comes near.
inline constexpr uint8_t kMarkedRgb[3] = {150, 100, 0};

// How it is drawn, beyond the designed wireframe.
struct FrameLook {
    bool Shaded = false;
    int64_t HighlightFace = -1;            // draw index of a picked face; -1 for none
    std::span<const int64_t> MarkedFaces;  // draw indices of the faces a panel lists
};

class FrameRenderer {
  public:
    // With the context current.
    void Create();
    void Destroy();
    // The faces were filled again: upload them at the next frame.
    void Invalidate();

    // Needs a framebuffer with a depth buffer for the shaded mode. True when it filled arrays
    // (a new model, mesh, level or coarse choice) besides drawing.
    bool Draw(QOpenGLFunctions_2_1& gl, const ViewBox& box, const Camera& camera, int width,
              int height, const FrameScene& scene, const FrameLook& look);

  private:
    WireframeRenderer wireframe_;
    ShadedRenderer shaded_;
};

// The face filled in the highlight colour (with the frame's matrices set).
void DrawHighlightedFace(QOpenGLFunctions_2_1& gl, const DrawFace& face);
// The faces at `marked` among the `shown` ones filled in the marked colour, in one batch.
void DrawMarkedFaces(QOpenGLFunctions_2_1& gl, std::span<const DrawFace> faces,
                     std::span<const int64_t> marked, const FaceSelection& shown);

}  // namespace vexlor::view
