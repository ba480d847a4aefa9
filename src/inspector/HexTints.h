// The tint of each kind of block part in the hex view and its legend. Light colours, so that the
// black hex digits stay readable, and chosen so that the parts of any one block differ clearly.
#pragma once

#include <QColor>

#include "reader/BlockLayout.h"

namespace vexlor::inspector {

QColor TintOf(FieldKind kind);

}  // namespace vexlor::inspector
