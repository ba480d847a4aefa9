// Following a block's schema through its header fields to each of its regions.
#include "reader/BlockRegions.h"

#include <algorithm>

#include "reader/FormatTables.h"

namespace vexlor {

namespace {

constexpr bool FitsRegions() {
    for (const BlockSchema& block : format::kBlockSchemas)
        if (block.Regions.size() > BlockRegions::kMostRegions) return false;
    return true;
}
static_assert(FitsRegions());

BlockRegions Locate(const OptStream& stream, int64_t globalOffset, const BlockSchema& schema,
                    int64_t position) {
    BlockRegions out(schema, position);
    const RegionSchema& header = schema.Regions.front();
    const int64_t base = header.Anchor == RegionAnchor::kFileStart ? 0 : position;
    for (const RegionSchema& region : schema.Regions) {
        RegionPlace place;
        place.Schema = &region;
        place.Located = true;
        place.Count = 1;
        if (region.Count != RegionCount::kOne) {
            const std::optional<int32_t> count = stream.WholeInt32At(base + region.CountField);
            place.Located =
                count.has_value() && (region.Count == RegionCount::kCountField || *count >= 0);
            if (place.Located && region.Count == RegionCount::kCountField) place.Count = *count;
        }
        switch (region.Anchor) {
            case RegionAnchor::kBlock:
                place.Origin = position;
                break;
            case RegionAnchor::kFileStart:
                place.Origin = 0;
                break;
            case RegionAnchor::kStoredOffset: {
                const std::optional<int32_t> stored =
                    stream.WholeInt32At(base + region.AnchorField);
                place.Located = place.Located && stored.has_value();
                if (stored) place.Origin = int64_t{*stored} - globalOffset + region.Skip;
                break;
            }
            case RegionAnchor::kAfterRegion: {
                const RegionPlace& before = out.Region(static_cast<size_t>(region.AnchorField));
                place.Located = place.Located && before.Located && before.Count >= 0;
                place.Origin =
                    before.RecordOffset(std::max<int64_t>(before.Count, 0)) + region.Skip;
                break;
            }
        }
        out.Add(place);
    }
    return out;
}

}  // namespace

int64_t RegionPlace::RecordsIn(const OptStream& stream) const {
    if (!Located || Count <= 0) return 0;
    return std::min(Count, stream.BytesFrom(Origin) / Schema->RecordSize);
}

BlockRegions LocateBlock(const OptStream& stream, int64_t globalOffset, int64_t position,
                         int32_t type) {
    return Locate(stream, globalOffset, SchemaOf(type), position);
}

BlockRegions LocateFileHeader(const OptStream& stream, int64_t globalOffset) {
    return Locate(stream, globalOffset, FileHeaderSchema(), kRootBlockOffset);
}

std::optional<BlockRegions> LocateNode(const OptStream& stream, int64_t globalOffset,
                                       std::span<const BlockEntry> table, int32_t node) {
    if (node < 0 || static_cast<size_t>(node) >= table.size()) return std::nullopt;
    if (node == 0) return LocateFileHeader(stream, globalOffset);
    const BlockEntry& entry = table[static_cast<size_t>(node)];
    return LocateBlock(stream, globalOffset, entry.Offset, entry.Type);
}

}  // namespace vexlor
