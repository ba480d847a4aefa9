// What the view shows of a model besides the camera: the mesh drawn red, the level of detail
// drawn, the markers of a chosen hardpoint or mesh descriptor, the shaded mode and the
// highlighted face, and the faces a panel lists (a repair's changed faces, a comparison's
// differing ones). The view side owns it; what a file holds never changes it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "reader/BlockRecords.h"
#include "reader/OptModel.h"
#include "reader/Vec3.h"

namespace vexlor::view {

// A box drawn as outlines around its centre, with a 6-pixel point at the centre.
struct MarkerBox {
    Vec3 Centre;
    Vec3 Span;
    Vec3 Colour;
};

// A point of the given size.
struct HardpointMarker {
    Vec3 Position;
    Vec3 Colour;
    float Size = 0.0f;
};

struct ViewSelection {
    int32_t CurrentMesh = 0;  // its faces are red, all others cyan
    int32_t ShowLod = 1;      // 0 draws every level of detail
    std::optional<MarkerBox> Box;
    std::optional<HardpointMarker> Hardpoint;
    bool Shaded = false;         // lit faces in place of the wireframe
    int64_t HighlightFace = -1;  // draw index of the face drawn yellow; -1 for none
    // Draw indices of the faces a panel lists, filled in a fainter colour under the yellow one;
    // a chosen block leaves them, a new model clears them.
    std::vector<int64_t> MarkedFaces;
};

// The draw index of the face that lies at `faceInBlock` in the face block at `blockOffset`; -1
// when no face does. A face block that two meshes share gives the first.
int64_t DrawIndexOfFace(std::span<const DrawFace> faces, int64_t blockOffset, int32_t faceInBlock);

// The draw index of each face named by (face block position, place in the block) that the model
// holds, in the order of `places`; one look over the faces whatever the number of places.
std::vector<int64_t> DrawIndicesOfFaces(std::span<const DrawFace> faces,
                                        std::span<const std::pair<int64_t, int32_t>> places);

// The colour of a hardpoint's point by its type code.
Vec3 HardpointColour(int32_t type);

// The selection for a chosen block: its mesh in red; for a hardpoint its point (in its type's
// colour, size 5) inside a box a 75th of the view's extent wide; for a mesh descriptor its box.
// Every other block shows no marker. The highlighted face goes.
void SelectBlock(ViewSelection& selection, const ShownBlock& block, int32_t extentMax,
                 int32_t extentMin);

}  // namespace vexlor::view
