// Findings as JSON records.
#include "cli/FindingsJson.h"

#include <cmath>

namespace vexlor::cli {

namespace {

// A number, or null for one JSON cannot hold (NaN, infinities).
nlohmann::json Number(float x) {
    return std::isfinite(x) ? nlohmann::json(x) : nlohmann::json(nullptr);
}

nlohmann::json Vector(const std::optional<Vec3>& v) {
    if (!v) return nullptr;
    return nlohmann::json::array({Number(v->X), Number(v->Y), Number(v->Z)});
}

template <typename T>
nlohmann::json OrNull(T value) {
    return value >= 0 ? nlohmann::json(value) : nlohmann::json(nullptr);
}

nlohmann::json OrNull(const std::string& text) {
    return text.empty() ? nlohmann::json(nullptr) : nlohmann::json(text);
}

}  // namespace

nlohmann::json FindingJson(const CheckFinding& finding) {
    const WalkProblem* problem = finding.Problem ? &*finding.Problem : nullptr;
    return {{"kind", KindName(finding)},
            {"counted", finding.Counted},
            // Report lines are single-byte text; a byte above 127 stands for itself.
            {"line", nlohmann::json(finding.Text)},
            {"mesh", OrNull(finding.Mesh)},
            {"face", OrNull(finding.Face)},
            {"corner", OrNull(finding.Corner)},
            {"stored", Vector(finding.Stored)},
            {"computed", Vector(finding.Computed)},
            {"faceBlockOffset", OrNull(finding.BlockOffset)},
            {"faceInBlock", OrNull(finding.FaceInBlock)},
            {"faceRecordOffset", OrNull(finding.RecordOffset)},
            // A problem of the file: the block it was found in and the place it is about.
            {"block", problem != nullptr ? OrNull(problem->Block) : nullptr},
            {"offset", problem != nullptr ? OrNull(problem->Offset) : nullptr},
            // A non-finite or zero-length vector: which one, and its record's file position.
            {"field", OrNull(finding.Field)},
            {"fieldOffset", OrNull(finding.FieldOffset)}};
}

nlohmann::json CheckJson(const CheckOutcome& outcome, const std::vector<CheckFinding>& findings) {
    nlohmann::json records = nlohmann::json::array();
    for (const CheckFinding& finding : findings)
        records.push_back(FindingJson(finding));
    return {{"allOk", outcome.AllOk},
            {"errorCount", outcome.ErrorCount},
            {"warningCount", outcome.WarningCount},
            {"findings", records}};
}

}  // namespace vexlor::cli
