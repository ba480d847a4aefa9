// A block's regions and records as JSON, field by field from the format's table.
#include "cli/BlockJson.h"

#include <algorithm>
#include <cmath>

#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"
#include "reader/WalkOptions.h"

namespace vexlor::cli {

namespace {

using json = nlohmann::ordered_json;

json FieldSchemaJson(const FieldSchema& field) {
    json parts = json::array();
    for (const std::string_view part : field.Parts)
        parts.push_back(part);
    return {{"name", field.Name}, {"offset", field.Offset},
            {"size", field.Size}, {"type", ValueKindName(field.Value)},
            {"parts", parts},     {"meaning", field.Meaning}};
}

// Texture names are single-byte text: a byte above 127 stands for the character of that code.
std::string Latin1ToUtf8(const std::string& text) {
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

class ValueReader {
  public:
    ValueReader(const OptStream& stream, int64_t globalOffset, bool slots)
        : stream_(stream), globalOffset_(globalOffset), slots_(slots) {}

    json Field(const FieldSchema& field, int64_t at) const {
        if (stream_.BytesFrom(at) < field.Size || at < 0) return nullptr;
        switch (field.Value) {
            case ValueKind::kText:
                return Latin1ToUtf8(stream_.TextAt(at, field.Size));
            case ValueKind::kBytes: {
                json bytes = json::array();
                for (int32_t i = 0; i < field.Size; ++i)
                    bytes.push_back(stream_.ByteAt(at + i));
                return bytes;
            }
            default:
                break;
        }
        if (field.Parts.empty()) return Value(field.Value, at);
        json values = json::array();
        for (size_t part = 0; part < field.Parts.size(); ++part)
            values.push_back(
                Value(field.Value, at + format::kValueSize * static_cast<int64_t>(part)));
        return values;
    }

  private:
    json Value(ValueKind kind, int64_t at) const {
        if (kind == ValueKind::kSingle) {
            const float x = stream_.SingleAt(at);
            return std::isfinite(x) ? json(x) : json(nullptr);
        }
        const int32_t value = stream_.Int32At(at);
        if (kind == ValueKind::kInt32) return value;
        const json position = slots_ && value == 0 ? json(nullptr) : json(value - globalOffset_);
        return {{"stored", value}, {"position", position}};
    }

    const OptStream& stream_;
    int64_t globalOffset_;
    bool slots_;
};

json RegionJson(const OptStream& stream, int64_t globalOffset, const RegionPlace& place) {
    const RegionSchema& region = *place.Schema;
    json fields = json::array();
    for (const FieldSchema& field : region.Fields)
        fields.push_back(FieldSchemaJson(field));
    json out = {{"name", region.Name},
                {"located", place.Located},
                {"recordSize", region.RecordSize},
                {"fields", fields}};
    json records = json::array();
    if (place.Located) {
        out["offset"] = place.Origin;
        out["count"] = place.Count;
        const bool slots =
            !region.Fields.empty() && region.Fields.front().Kind == FieldKind::kSlotTable;
        const ValueReader reader(stream, globalOffset, slots);
        // The records that start in the file: those whole, and one the end of the file cuts.
        const int64_t started =
            place.Origin < 0
                ? 0
                : (stream.BytesFrom(place.Origin) + region.RecordSize - 1) / region.RecordSize;
        // As many as a walk reads from one block; the number left out is said.
        const int64_t listed = std::min({place.Count, started, WalkBudget{}.MostRecordsPerBlock});
        if (listed < std::min(place.Count, started))
            out["recordsLeftOut"] = std::min(place.Count, started) - listed;
        for (int64_t k = 0; k < listed; ++k) {
            const int64_t at = place.RecordOffset(k);
            json values = json::object();
            for (const FieldSchema& field : region.Fields)
                values[std::string(field.Name)] = reader.Field(field, at + field.Offset);
            records.push_back({{"index", k}, {"offset", at}, {"fields", values}});
        }
    }
    out["records"] = records;
    return out;
}

}  // namespace

std::optional<nlohmann::ordered_json> BlockJson(const OptDocument& document, int32_t node) {
    const OptModel& model = document.Model();
    if (!document.OptLoaded() || node < 0 || node >= model.Tree.Count()) return std::nullopt;
    const std::optional<BlockRegions> regions =
        LocateNode(document.Stream(), model.GlobalOffset, model.BlockTable, node);
    if (!regions) return std::nullopt;
    const BlockEntry& entry = model.BlockTable[static_cast<size_t>(node)];
    json out = {{"node", node},       {"offset", entry.Offset},
                {"type", entry.Type}, {"kind", regions->Schema().Name},
                {"mesh", entry.Mesh}, {"globalOffset", model.GlobalOffset}};
    json list = json::array();
    for (const RegionPlace& place : regions->Regions())
        list.push_back(RegionJson(document.Stream(), model.GlobalOffset, place));
    out["regions"] = list;
    return out;
}

}  // namespace vexlor::cli
