// The model as the view draws it: the extent that frames it, and the arrays sent to OpenGL.
//
// The arrays hold every face of the draw tables as four corners (positions uploaded once per
// load), a colour per corner (red for the faces of the current mesh, cyan for the others;
// refilled when the current mesh changes) and the edges to draw (EdgeList.h: the edges of the
// faces that pass the level-of-detail filter, each shared edge once, in draw-table order so that
// later faces lie over earlier ones; refilled when the filter changes). Drawn as lines, the edges
// give the pixels of the faces drawn as outlined polygons, and OpenGL draws lines faster.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "reader/OptModel.h"

namespace vexlor::view {

struct ModelExtent {
    int32_t Max = 0;
    int32_t Min = 0;
};

// One common bound over x, y and z of the corners of every shown face, whatever the level of
// detail, reaching a third beyond the extreme coordinates. NaN coordinates are passed over;
// bounds that leave 32 bits are clamped. With no faces the bounds stay inverted.
ModelExtent ComputeModelExtent(std::span<const DrawFace> faces);
// R(v) + R(v) div 3, clamped to 32 bits.
int32_t ExtentBound(float v);

inline constexpr uint8_t kFaceRgba[4] = {0, 255, 255, 255};       // cyan
inline constexpr uint8_t kCurrentMeshRgba[4] = {255, 0, 0, 255};  // red

// A face is drawn when it was read at `showLod` (or `showLod` is 0) and all its corners are
// finite numbers.
bool HasFiniteCorners(const DrawFace& face);
inline bool IsDrawnAtLod(const DrawFace& face, int32_t showLod) {
    return (showLod == 0 || face.Lod == showLod) && HasFiniteCorners(face);
}

// Which faces a frame draws. A full frame draws those read at `ShowLod` (every level for 0); a
// coarse frame (while the mouse drags a model whose full frames are slow) draws each mesh at a
// level of its own: `LevelOfMesh`, indexed by the mesh's 16 bits, 0 drawing none of it. Faces
// with a corner that is not a finite number are never drawn.
struct FaceSelection {
    int32_t ShowLod = 0;
    std::span<const uint8_t> LevelOfMesh;  // empty for a full frame

    bool Draws(const DrawFace& face) const {
        if (LevelOfMesh.empty()) return IsDrawnAtLod(face, ShowLod);
        const auto mesh = static_cast<uint16_t>(face.Mesh);
        if (mesh >= LevelOfMesh.size() || LevelOfMesh[mesh] == 0) return false;
        return face.Lod == LevelOfMesh[mesh] && HasFiniteCorners(face);
    }
};

// Corners of face i are entries 4i ... 4i+3 of the position and colour arrays.
int64_t DrawableFaceCount(std::span<const DrawFace> faces);
// x, y, z of each corner, face after face.
void FillPositions(std::span<const DrawFace> faces, std::vector<float>& positions);
// RGBA of each corner: red exactly when the face belongs to `currentMesh` (compared in the 16
// bits that the draw tables keep).
void FillColours(std::span<const DrawFace> faces, int32_t currentMesh,
                 std::vector<uint8_t>& colours);

// Which of the wireframe's arrays a frame must fill again: the positions when another model (or
// the same model filled again) is drawn, the colours when the current mesh changes, the edges
// when the level of detail changes, a coarse frame's edges when another coarse choice is drawn.
// Everything after a new model, and after Forget (a lost context).
class WireframeUploads {
  public:
    struct Refill {
        bool Positions = false, Colours = false, Edges = false, CoarseEdges = false;
        bool operator==(const Refill&) const = default;
    };
    // What drawing `model` (filled for the `generation`-th time, with `faces` faces) for
    // `currentMesh` and `showLod` needs filled, noting it as done. A coarse frame (`coarseKey`
    // telling its choice of levels) leaves the full frame's edges as they are.
    Refill Plan(const void* model, uint64_t generation, int64_t faces, int32_t currentMesh,
                int32_t showLod, std::optional<int32_t> coarseKey = std::nullopt);
    void Forget() { *this = WireframeUploads{}; }

  private:
    const void* model_ = nullptr;
    uint64_t generation_ = 0;
    int64_t faces_ = -1;
    int32_t currentMesh_ = 0;
    int32_t showLod_ = 0;
    std::optional<int32_t> coarseKey_;
    bool coloured_ = false;
    bool edged_ = false;
};

}  // namespace vexlor::view
