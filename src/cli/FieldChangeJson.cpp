// A changed field as JSON (see FieldChangeJson.h).
#include "cli/FieldChangeJson.h"

namespace vexlor::cli {

namespace {

// -1 stands for "does not apply".
nlohmann::ordered_json OrNull(int64_t value) {
    return value < 0 ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(value);
}

}  // namespace

nlohmann::ordered_json FieldChangeJson(const FieldPlace& place, std::string_view oldValue,
                                       std::string_view newValue, const FieldPlace* newPlace) {
    nlohmann::ordered_json json = {{"offset", place.Offset}};
    if (newPlace != nullptr && newPlace->Offset != place.Offset) json["offsetB"] = newPlace->Offset;
    json["block"] = OrNull(place.Block);
    if (newPlace != nullptr && newPlace->Block != place.Block) json["blockB"] = newPlace->Block;
    json.update({{"blockOffset", place.BlockOffset},
                 {"blockType", place.BlockType},
                 {"mesh", OrNull(place.Mesh)},
                 {"region", place.Region},
                 {"record", place.Record},
                 {"field", place.Field},
                 {"old", oldValue},
                 {"new", newValue},
                 {"line", FieldChangeText(place, oldValue, newValue, newPlace)}});
    return json;
}

nlohmann::ordered_json FieldChangeJson(const FieldChange& change) {
    return FieldChangeJson(change, VectorText(change.Old), VectorText(change.New));
}

}  // namespace vexlor::cli
