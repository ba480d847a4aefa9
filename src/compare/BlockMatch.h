// Which block of one file stands at the same place as a block of another: the same mesh, the same
// path of child slots from the mesh down, the same type. A tree node's slot is found in its
// parent's slot table (the tree keeps only the order of the children a walk reached, and an empty
// or unreadable slot leaves no child), so that a slot emptied in one file does not shift its
// siblings onto each other's places.
#pragma once

#include <cstdint>
#include <vector>

#include "reader/OptDocument.h"

namespace vexlor {

// For each tree node, the slot of its parent's slot table (or the mesh jump table) it was found
// through; -1 for the root, and below -1 for a child no readable slot leads to.
std::vector<int64_t> NodeSlots(const OptDocument& document);

// For each tree node of `b`, the node of `a` at the same place, or -1.
std::vector<int32_t> MatchNodes(const OptDocument& a, const OptDocument& b);

}  // namespace vexlor
