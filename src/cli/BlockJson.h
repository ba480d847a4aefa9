// One block as JSON, for scripts: its header fields and the records of each region of its payload,
// as the format's table lays them out, each field by its name in the table and every position a
// number (`vexlor block FILE INDEX --json`).
#pragma once

#include <nlohmann/json.hpp>

#include "reader/OptDocument.h"

namespace vexlor::cli {

// {"node", "offset", "type", "kind", "mesh", "globalOffset", "regions": [{"name", "located",
//  "offset", "count", "recordSize", "fields": [{"name", "offset", "size", "type", "parts",
//  "meaning"}], "records": [{"index", "offset", "fields": {NAME: VALUE}}]}]}. A region whose count
// or position the file does not hold is not "located" and has no records; a record lists the
// fields that lie in the file (the others are null); the records are those that start in it.
// VALUE: a number, an array of numbers for a field of several values, {"stored", "position"} for
// a stored offset (position null for an empty slot), a string for a texture name; null for a
// single that is no number. Nothing for a node the tree does not have.
std::optional<nlohmann::ordered_json> BlockJson(const OptDocument& document, int32_t node);

}  // namespace vexlor::cli
