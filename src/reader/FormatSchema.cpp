// Finding a block type's schema, and the table's own consistency, proven when it is compiled:
// every record's fields lie inside it in order without overlapping, every value field is as long
// as its values, and every region is found through a field or region the block has.
#include "reader/FormatSchema.h"

#include "reader/FormatTables.h"

namespace vexlor {

namespace {

constexpr bool FieldsFit(const RegionSchema& region) {
    int32_t end = 0;
    for (const FieldSchema& field : region.Fields) {
        if (field.Offset < end || field.Size <= 0 || field.End() > region.RecordSize) return false;
        const bool values = field.Value == ValueKind::kInt32 || field.Value == ValueKind::kSingle ||
                            field.Value == ValueKind::kStoredOffset;
        const auto count = static_cast<int32_t>(field.Parts.empty() ? 1 : field.Parts.size());
        if (values && field.Size != count * format::kValueSize) return false;
        end = field.End();
    }
    return true;
}

constexpr bool HeaderHolds(const RegionSchema& header, int32_t offset, ValueKind value) {
    for (const FieldSchema& field : header.Fields)
        if (field.Offset == offset && field.Value == value) return true;
    return false;
}

constexpr bool WellFormed(const BlockSchema& block) {
    const std::span<const RegionSchema> regions = block.Regions;
    if (regions.empty()) return false;
    const RegionSchema& header = regions[0];
    const bool headerFirst =
        header.Anchor == RegionAnchor::kBlock || header.Anchor == RegionAnchor::kFileStart;
    if (!headerFirst || header.Count != RegionCount::kOne) return false;
    for (size_t k = 0; k < regions.size(); ++k) {
        const RegionSchema& region = regions[k];
        if (!FieldsFit(region)) return false;
        if (k == 0) continue;
        switch (region.Anchor) {
            case RegionAnchor::kBlock:
            case RegionAnchor::kFileStart:
                return false;
            case RegionAnchor::kStoredOffset:
                if (!HeaderHolds(header, region.AnchorField, ValueKind::kStoredOffset))
                    return false;
                break;
            case RegionAnchor::kAfterRegion:
                if (region.AnchorField <= 0 || static_cast<size_t>(region.AnchorField) >= k)
                    return false;
                break;
        }
        if (region.Count != RegionCount::kOne &&
            !HeaderHolds(header, region.CountField, ValueKind::kInt32))
            return false;
    }
    return true;
}

constexpr bool AllWellFormed() {
    for (const BlockSchema& block : format::kBlockSchemas)
        if (!WellFormed(block)) return false;
    return WellFormed(format::kOtherBlock) && WellFormed(format::kFileHeader);
}
static_assert(AllWellFormed());

}  // namespace

std::string_view ValueKindName(ValueKind kind) {
    switch (kind) {
        case ValueKind::kInt32:
            return "int32";
        case ValueKind::kSingle:
            return "single";
        case ValueKind::kStoredOffset:
            return "stored offset";
        case ValueKind::kText:
            return "text";
        case ValueKind::kBytes:
            return "bytes";
    }
    return {};
}

const BlockSchema& SchemaOf(int32_t type) {
    for (const BlockSchema& block : format::kBlockSchemas)
        if (block.Type == type) return block;
    return format::kOtherBlock;
}

const BlockSchema& FileHeaderSchema() {
    return format::kFileHeader;
}

std::span<const BlockSchema> AllBlockSchemas() {
    return format::kBlockSchemas;
}

}  // namespace vexlor
