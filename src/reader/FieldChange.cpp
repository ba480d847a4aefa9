// The text form of a changed field (see FieldChange.h).
#include "reader/FieldChange.h"

#include <array>
#include <charconv>

#include "reader/FormatSchema.h"

namespace vexlor {

std::string FloatText(float value) {
    std::array<char, 32> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    return {text.data(), written.ptr};
}

std::string VectorText(const Vec3& v) {
    return FloatText(v.X) + " " + FloatText(v.Y) + " " + FloatText(v.Z);
}

std::string FieldChangeText(const FieldPlace& place, std::string_view oldValue,
                            std::string_view newValue, const FieldPlace* newPlace) {
    std::string text = "offset " + std::to_string(place.Offset);
    if (newPlace != nullptr && newPlace->Offset != place.Offset)
        text += " (B " + std::to_string(newPlace->Offset) + ")";
    text += ": ";
    if (place.Block >= 0) {
        text += "block " + std::to_string(place.Block);
        if (newPlace != nullptr && newPlace->Block != place.Block)
            text += " (B " + std::to_string(newPlace->Block) + ")";
        text += " (";
    }
    const BlockSchema& block =
        place.BlockType == kTypeFileHeader ? FileHeaderSchema() : SchemaOf(place.BlockType);
    text += std::string(block.Name) + " at " + std::to_string(place.BlockOffset) +
            (place.Block >= 0 ? ")" : "");
    if (place.Mesh >= 0) text += ", mesh " + std::to_string(place.Mesh);
    text += ", " + std::string(place.Region) + "[" + std::to_string(place.Record) + "]." +
            std::string(place.Field) + ": ";
    text += oldValue;
    text += " -> ";
    text += newValue;
    return text;
}

std::string FieldChangeText(const FieldChange& change) {
    return FieldChangeText(change, VectorText(change.Old), VectorText(change.New));
}

}  // namespace vexlor
