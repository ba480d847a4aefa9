// The edges the wireframe draws: the four sides 1-2, 2-3, 3-4, 4-1 of every face a frame draws,
// each edge that faces share drawn once.
//
// Two sides are one edge when their ends lie at the same two points, in either order (the
// corners' positions decide, not the file's edge indices, which nothing checks). A shared edge is
// drawn where the last face that has it (in draw-table order) would draw it, from that face's
// corners and so in its colour: drawing in draw-table order with the later face over the earlier,
// the edge's pixels end as that face left them anyway. Sides of no length (the fourth side of a
// triangle, whose fourth corner repeats the third) draw no pixel and are left out.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "reader/OptModel.h"
#include "view/Wireframe.h"

namespace vexlor::view {

// Corner pairs (indices into the position and colour arrays: 4i ... 4i+3 for face i) of the
// edges to draw, in draw order.
void FillEdgeList(std::span<const DrawFace> faces, const FaceSelection& shown,
                  std::vector<uint32_t>& corners);

}  // namespace vexlor::view
