// The consistency check's findings as JSON, for scripts: one record per finding, in the order of
// the report's lines.
#pragma once

#include <nlohmann/json.hpp>
#include <vector>

#include "check/CheckFinding.h"
#include "check/ConsistencyCheck.h"

namespace vexlor::cli {

// {"kind", "counted", "line" (its text), "mesh", "face", "corner", "stored", "computed",
//  "faceBlockOffset", "faceInBlock", "faceRecordOffset", "block", "offset", "field",
//  "fieldOffset"}; values that do not apply are null. A finding that is not counted is a warning.
nlohmann::json FindingJson(const CheckFinding& finding);

// {"allOk", "errorCount", "warningCount" (the findings not counted), "findings": [...]}
nlohmann::json CheckJson(const CheckOutcome& outcome, const std::vector<CheckFinding>& findings);

}  // namespace vexlor::cli
