// A changed field as JSON, the same keys for a repair's change and a comparison's differing field
// (see reader/FieldChange.h).
#pragma once

#include <nlohmann/json.hpp>

#include "reader/FieldChange.h"

namespace vexlor::cli {

// {"offset", "block", "blockOffset", "blockType", "mesh", "region", "record", "field", "old",
//  "new", "line"}: the values as their exact texts ("0 0 -1"), block and mesh null where none;
// "offsetB" and "blockB" follow "offset" and "block" only where the new value lies elsewhere.
nlohmann::ordered_json FieldChangeJson(const FieldPlace& place, std::string_view oldValue,
                                       std::string_view newValue,
                                       const FieldPlace* newPlace = nullptr);
nlohmann::ordered_json FieldChangeJson(const FieldChange& change);

}  // namespace vexlor::cli
