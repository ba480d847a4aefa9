// The repair's plan as JSON (see RepairJson.h).
#include "cli/RepairJson.h"

#include "cli/FieldChangeJson.h"

namespace vexlor::cli {

namespace {

// -1 stands for "does not apply".
nlohmann::ordered_json OrNull(int64_t value) {
    return value < 0 ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(value);
}

}  // namespace

nlohmann::ordered_json RepairPlanJson(const RepairPlan& plan) {
    nlohmann::ordered_json changes = nlohmann::ordered_json::array();
    for (size_t i = 0; i < plan.Changes.size(); ++i) {
        nlohmann::ordered_json change = FieldChangeJson(plan.Changes[i]);
        change["face"] = OrNull(plan.Faces[i].Face);
        changes.push_back(std::move(change));
    }
    nlohmann::ordered_json kept = nlohmann::ordered_json::array();
    for (const NotMendable& item : plan.Kept) {
        kept.push_back({{"kind", FindingKindName(item.Kind)},
                        {"mesh", OrNull(item.Mesh)},
                        {"face", OrNull(item.Face)},
                        {"corner", OrNull(item.Corner)},
                        {"offset", OrNull(item.Offset)},
                        {"reason", item.Reason}});
    }
    return {{"changes", std::move(changes)}, {"notMended", std::move(kept)}};
}

}  // namespace vexlor::cli
