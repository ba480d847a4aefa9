// The JSON record `vexlor check --json` writes for each of several files, one line each, for
// scripts that check a whole folder of models:
//   {"path", "size" (bytes), "meshes", "faces", "levels", "hardpoints",
//    "verdict" ("ok", "findings" or "unreadable"), "allOk", "errorCount", "warningCount",
//    "findings" (as FindingsJson.h writes them), "notOptFile" (why the file does not look like an
//    OPT file, or null), "errors" (the messages about the file, e.g. that it cannot be opened)}.
// What an unreadable file cannot tell is null ("findings" is then empty).
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "check/ConsistencyCheck.h"
#include "cli/ModelCounts.h"

namespace vexlor::cli {

nlohmann::json CheckRecord(const std::string& path, int64_t size, const ModelCounts& counts,
                           const CheckOutcome& outcome, const std::vector<CheckFinding>& findings,
                           const std::string& notOptReason, const std::vector<std::string>& errors);

nlohmann::json UnreadableRecord(const std::string& path, const std::vector<std::string>& errors);

}  // namespace vexlor::cli
