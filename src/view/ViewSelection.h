// What the view shows of a model besides the camera: the mesh drawn red, the level of detail
// drawn, the markers of a chosen hardpoint or mesh descriptor, the shaded mode and the
// highlighted face. The view side owns it; what a file holds never changes it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

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
};

// The draw index of the face that lies at `faceInBlock` in the face block at `blockOffset`; -1
// when no face does. A face block that two meshes share gives the first.
int64_t DrawIndexOfFace(std::span<const DrawFace> faces, int64_t blockOffset, int32_t faceInBlock);

// The colour of a hardpoint's point by its type code.
Vec3 HardpointColour(int32_t type);

// The selection for a chosen block: its mesh in red; for a hardpoint its point (in its type's
// colour, size 5) inside a box a 75th of the view's extent wide; for a mesh descriptor its box.
// Every other block shows no marker. The highlighted face goes.
void SelectBlock(ViewSelection& selection, const ShownBlock& block, int32_t extentMax,
                 int32_t extentMin);

}  // namespace vexlor::view
