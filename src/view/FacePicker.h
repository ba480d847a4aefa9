// Picking a face: the nearest drawn face under a window point. An index over the faces' boxes
// in model coordinates (a bounding volume hierarchy) is built once per model and level of
// detail; a pick then follows the line of sight through it, so turning, zooming and panning
// need no rebuild and a pick visits a few dozen boxes rather than every face.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "reader/OptModel.h"
#include "view/FrameTransform.h"

namespace vexlor::view {

// Where a face was hit: its draw index (-1 for none) and the eye depth of the hit.
struct PickHit {
    int64_t Face = -1;
    double Depth = 0;
    bool operator==(const PickHit&) const = default;
};

class FacePicker {
  public:
    // The index over the faces drawn at `showLod` (0 = every level). The faces are not kept:
    // a pick is given them again and must be given the same ones.
    void Build(std::span<const DrawFace> faces, int32_t showLod);
    // The index was built for these faces at this level.
    bool BuiltFor(std::span<const DrawFace> faces, int32_t showLod) const;
    void Clear() { *this = FacePicker{}; }

    // The nearest face under the window point (wx, wy) of `frame`: the one whose hit has the
    // largest eye z within the frame's depth range; of equally near faces the later one, which
    // the wireframe draws over the earlier. A quadrilateral is the two triangles 1-2-3, 1-3-4.
    PickHit Pick(std::span<const DrawFace> faces, const FrameTransform& frame, double wx,
                 double wy) const;

  private:
    struct Node {
        float Lo[3], Hi[3];
        uint32_t First;  // first face (leaf) or left child (inner node; the right follows it)
        uint32_t Count;  // faces of a leaf; 0 for an inner node
    };
    std::vector<Node> nodes_;
    std::vector<uint32_t> order_;  // face draw indices, leaf by leaf
    const DrawFace* faces_ = nullptr;
    size_t faceCount_ = 0;
    int32_t showLod_ = -1;
    bool built_ = false;
};

// The same answer by testing every face: the reference the index is checked against.
PickHit PickByScan(std::span<const DrawFace> faces, int32_t showLod, const FrameTransform& frame,
                   double wx, double wy);

}  // namespace vexlor::view
