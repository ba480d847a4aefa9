// What the view shows of a model besides the camera: the mesh drawn red, the level of detail
// drawn, the markers of a chosen hardpoint or mesh descriptor, and a face highlighted. The view
// side owns it; what a file holds never changes it.
#pragma once

#include <cstdint>
#include <optional>

#include "BlockRecords.h"
#include "Vec3.h"

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

// A face by where it lies in the file: its face block and its place in that block.
struct FaceHighlight {
    int64_t BlockOffset = 0;
    int32_t FaceInBlock = 0;
};

struct ViewSelection {
    int32_t CurrentMesh = 0;  // its faces are red, all others cyan
    int32_t ShowLod = 1;      // 0 draws every level of detail
    std::optional<MarkerBox> Box;
    std::optional<HardpointMarker> Hardpoint;
    // Drawn filled in yellow over the wireframe, whatever the level of detail (a check finding's
    // face).
    std::optional<FaceHighlight> Highlight;
};

// The colour of a hardpoint's point by its type code.
Vec3 HardpointColour(int32_t type);

// The selection for a chosen block: its mesh in red; for a hardpoint its point (in its type's
// colour, size 5) inside a box a 75th of the view's extent wide; for a mesh descriptor its box.
// Every other block shows no marker. The highlighted face goes.
void SelectBlock(ViewSelection& selection, const ShownBlock& block, int32_t extentMax,
                 int32_t extentMin);

}  // namespace vexlor::view
