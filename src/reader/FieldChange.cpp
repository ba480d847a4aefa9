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
    return FloatText(v.x) + " " + FloatText(v.y) + " " + FloatText(v.z);
}

std::string FieldChangeText(const FieldChange& change) {
    return "offset " + std::to_string(change.Offset) + ": block " + std::to_string(change.Block) +
           " (" + std::string(SchemaOf(change.BlockType).Name) + " at " +
           std::to_string(change.BlockOffset) + "), mesh " + std::to_string(change.Mesh) + ", " +
           std::string(change.Region) + "[" + std::to_string(change.Record) + "]." +
           std::string(change.Field) + ": " + VectorText(change.Old) + " -> " +
           VectorText(change.New);
}

}  // namespace vexlor
