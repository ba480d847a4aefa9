// The record a face's corner index names: the vertex (or vertex normal) of the block that put it
// into the mesh tables, as the open's walk resolved the corner. What the record inspector shows
// for a vertex index. Found by a walk of its own, only when asked.
#pragma once

#include <array>
#include <optional>

#include "reader/FaceCorners.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"
#include "reader/RecordPlaces.h"

namespace vexlor {

// The record corner `corner` (0 ... 3) of the face at `face` (a face block's index record, see
// FaceRecordRef) took through its index in `table`, the first time the walk read that face in
// mesh `mesh` (any mesh for -1). Nothing when the index names no entry (none, or outside the
// table) or an entry no block of the walk wrote (the corner stands at the origin).
std::optional<RecordRef> CornerTarget(const OptStream& stream, const RecordRef& face, int32_t mesh,
                                      size_t corner, CornerTable table);
// The records of all four corners at once, by one walk.
using CornerTargetList = std::array<std::optional<RecordRef>, 4>;
CornerTargetList CornerTargets(const OptStream& stream, const RecordRef& face, int32_t mesh,
                               CornerTable table);

}  // namespace vexlor
