// A record's values from its block's schema and layout.
#include "inspector/plain/RecordValues.h"

#include "reader/BlockLayout.h"
#include "reader/BlockRegions.h"
#include "reader/ByteDescription.h"
#include "reader/CornerTargets.h"
#include "reader/FormatTables.h"

namespace vexlor::inspector {

namespace {

const BlockSchema& BlockOf(const RecordRef& record) {
    return record.Type == kTypeFileHeader ? FileHeaderSchema() : SchemaOf(record.Type);
}

std::string HexBytes(const OptStream& stream, int64_t start, int64_t size) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int64_t i = 0; i < size; ++i) {
        if (stream.BytesFrom(start + i) <= 0) break;
        const uint8_t byte = stream.ByteAt(start + i);
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

// The byte description's value without the type word it starts with ("int32 57" -> "57").
std::string ValueText(std::string_view described, std::string_view type) {
    const std::string_view word = type == "stored offset" ? "stored" : type;
    if (described.size() > word.size() && described.starts_with(word) &&
        described[word.size()] == ' ')
        described.remove_prefix(word.size() + 1);
    return std::string(described);
}

std::optional<CornerTable> TableOfField(const FieldSchema& field) {
    if (field.Kind == FieldKind::kFaceVertexIndices) return CornerTable::kVertices;
    if (field.Kind == FieldKind::kFaceVertexNormalIndices) return CornerTable::kVertexNormals;
    return std::nullopt;
}

}  // namespace

std::string ElementOf(const RecordRef& record) {
    const BlockSchema& block = BlockOf(record);
    if (record.Region < 0 || static_cast<size_t>(record.Region) >= block.Regions.size()) return {};
    const RegionSchema& region = block.Regions[static_cast<size_t>(record.Region)];
    if (record.Region == 0) return "header";
    if (region.ElementName.empty()) return "record";
    return std::string(region.ElementName) + ' ' +
           NumberText::IntText(region.FirstNumber + record.Record);
}

std::string RecordName(const RecordRef& record) {
    const std::string name = ElementOf(record);
    if (name.empty()) return {};
    if (record.Type == kTypeFileHeader)
        return record.Region == 0 ? "file header" : name + " of the file header";
    return name + " of the " + std::string(BlockOf(record).Name) + " at " +
           NumberText::IntText(record.Block);
}

RecordValues ValuesOfRecord(const OptStream& stream, int64_t globalOffset, const RecordRef& record,
                            int32_t mesh, const NumberText& numbers) {
    RecordValues values;
    values.Title = RecordName(record);
    RecordRef whole = record;
    whole.Field = -1;
    const ByteRange range = RangeOf(stream, globalOffset, whole);
    if (range.Empty()) return values;
    const bool header = record.Type == kTypeFileHeader;
    const BlockRegions regions = header
                                     ? LocateFileHeader(stream, globalOffset)
                                     : LocateBlock(stream, globalOffset, record.Block, record.Type);
    const BlockLayout layout = header
                                   ? DescribeFileHeader(stream, globalOffset)
                                   : DescribeBlock(stream, globalOffset, record.Block, record.Type);
    const RegionPlace& region = regions.Region(static_cast<size_t>(record.Region));
    const int64_t start = region.RecordOffset(record.Record);
    const std::span<const FieldSchema> fields = region.Schema->Fields;
    for (size_t f = 0; f < fields.size(); ++f) {
        const FieldSchema& field = fields[f];
        const bool wholeValue = field.Value == ValueKind::kText ||
                                field.Value == ValueKind::kBytes ||
                                field.Size <= format::kValueSize;
        const int32_t parts = wholeValue ? 1 : field.Size / format::kValueSize;
        const std::optional<CornerTable> table = TableOfField(field);
        CornerTargetList targets;
        if (table) targets = CornerTargets(stream, record, mesh, *table);
        for (int32_t part = 0; part < parts; ++part) {
            RecordValueRow row;
            row.Field = static_cast<int32_t>(f);
            row.Name = std::string(field.Label);
            if (!wholeValue && static_cast<size_t>(part) < field.Parts.size())
                row.Name += ", " + std::string(field.Parts[static_cast<size_t>(part)]);
            row.Offset = start + field.Offset + int64_t{part} * format::kValueSize;
            row.Type = std::string(ValueKindName(field.Value));
            const int64_t size = wholeValue ? field.Size : format::kValueSize;
            row.Bytes = HexBytes(stream, row.Offset, size);
            if (!wholeValue && !row.Bytes.empty() && stream.BytesFrom(row.Offset) < size)
                row.Value = "cut by the end of the file";
            else if (!row.Bytes.empty())
                row.Value =
                    ValueText(DescribeByte(stream, globalOffset, layout, row.Offset, numbers).Value,
                              row.Type);
            if (table && part < 4 && !row.Bytes.empty()) {
                row.Target = targets[static_cast<size_t>(part)];
                row.TargetText = row.Target ? ElementOf(*row.Target) : "none";
            }
            values.Rows.push_back(std::move(row));
        }
    }
    return values;
}

}  // namespace vexlor::inspector
