// The per-file records of `vexlor check --json` over several files.
#include "cli/CheckRecord.h"

#include "cli/FindingsJson.h"

namespace vexlor::cli {

nlohmann::json CheckRecord(const std::string& path, int64_t size, const ModelCounts& counts,
                           const CheckOutcome& outcome, const std::vector<CheckFinding>& findings,
                           const std::string& notOptReason,
                           const std::vector<std::string>& errors) {
    nlohmann::json record = CheckJson(outcome, findings);
    record["path"] = path;
    record["size"] = size;
    record["meshes"] = counts.Meshes;
    record["faces"] = counts.Faces;
    record["levels"] = counts.Levels;
    record["hardpoints"] = counts.Hardpoints;
    record["verdict"] = outcome.AllOk ? "ok" : "findings";
    record["notOptFile"] =
        notOptReason.empty() ? nlohmann::json(nullptr) : nlohmann::json(notOptReason);
    record["errors"] = errors;
    return record;
}

nlohmann::json UnreadableRecord(const std::string& path, const std::vector<std::string>& errors) {
    return {{"path", path},
            {"size", nullptr},
            {"meshes", nullptr},
            {"faces", nullptr},
            {"levels", nullptr},
            {"hardpoints", nullptr},
            {"verdict", "unreadable"},
            {"allOk", nullptr},
            {"errorCount", nullptr},
            {"warningCount", nullptr},
            {"findings", nlohmann::json::array()},
            {"notOptFile", nullptr},
            {"errors", errors}};
}

}  // namespace vexlor::cli
