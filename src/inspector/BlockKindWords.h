// What a tree node's block is, in words, for its tool tip: "vertices, 120 of them", "hardpoint:
// Laser cannon", "jump block, 4 slots". Counts and types are read from the block's header and
// payload as they stand in the file.
#pragma once

#include <QString>

#include "reader/OptModel.h"
#include "reader/OptStream.h"
#include "reader/TypeNames.h"

namespace vexlor::inspector {

QString BlockKindWords(const OptStream& stream, const OptModel& model, int32_t node,
                       const TypeNameTables& names);

// The problems charged to the node's block, one line each, at most `most` and then "and N more";
// empty when it has none.
QString ProblemsOfNode(const OptModel& model, int32_t node, int most = 3);

}  // namespace vexlor::inspector
