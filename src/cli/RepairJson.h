// The repair's plan as JSON, for scripts: each change as a field-by-field comparison names it,
// and each flagged thing the repair does not write.
#pragma once

#include <nlohmann/json.hpp>

#include "repair/RepairPlan.h"

namespace vexlor::cli {

// {"changes": [each as FieldChangeJson gives it, with "face" added], "notMended": [{"kind", "mesh",
// "face", "corner", "offset",
//  "reason"}]}
nlohmann::ordered_json RepairPlanJson(const RepairPlan& plan);

}  // namespace vexlor::cli
