// Offsets to schema places and back, through the block's regions and layout.
#include "reader/RecordPlaces.h"

#include <algorithm>

#include "reader/BlockRegions.h"
#include "reader/FormatTables.h"

namespace vexlor {

RecordRef FaceRecordRef(int64_t faceBlock, int32_t faceInBlock) {
    return {faceBlock, kTypeFace, format::kFaceIndicesRegion, faceInBlock, -1};
}

const FieldSchema* BytePlace::Field() const {
    if (Record.Field < 0) return nullptr;
    const BlockSchema& block =
        Record.Type == kTypeFileHeader ? FileHeaderSchema() : SchemaOf(Record.Type);
    return &block.Regions[static_cast<size_t>(Record.Region)]
                .Fields[static_cast<size_t>(Record.Field)];
}

std::optional<BytePlace> PlaceInLayout(const BlockLayout& layout, int64_t offset) {
    const LayoutSpan* span = layout.SpanAt(offset);
    if (span == nullptr || span->Field == nullptr) return std::nullopt;
    const BlockSchema& block = layout.FileHeader ? FileHeaderSchema() : SchemaOf(layout.Type);
    const RegionSchema& region = block.Regions[static_cast<size_t>(span->Region)];
    BytePlace place;
    place.Record.Block = layout.Position;
    place.Record.Type = layout.FileHeader ? kTypeFileHeader : layout.Type;
    place.Record.Region = span->Region;
    place.Record.Record = (offset - span->Origin) / span->Stride;
    place.Record.Field = static_cast<int32_t>(span->Field - region.Fields.data());
    place.FieldStart = span->Origin + place.Record.Record * span->Stride;
    if (span->Parts.size() > 1)
        place.Part = static_cast<int32_t>((offset - place.FieldStart) / format::kValueSize);
    return place;
}

BytePlace PlaceOfByte(const OptStream& stream, const OptModel& model, int64_t offset) {
    const int32_t node = FindInnermostBlock(stream, model.GlobalOffset, model.BlockTable, offset);
    if (node < 0) return {};
    const std::optional<BytePlace> place =
        PlaceInLayout(DescribeNode(stream, model.GlobalOffset, model.BlockTable, node), offset);
    if (!place) return {};
    BytePlace found = *place;
    found.Node = node;
    return found;
}

ByteRange RangeOf(const OptStream& stream, int64_t globalOffset, const RecordRef& record) {
    const BlockRegions regions = record.Type == kTypeFileHeader
                                     ? LocateFileHeader(stream, globalOffset)
                                     : LocateBlock(stream, globalOffset, record.Block, record.Type);
    if (record.Region < 0 || static_cast<size_t>(record.Region) >= regions.Regions().size())
        return {};
    const RegionPlace& region = regions.Region(static_cast<size_t>(record.Region));
    const std::span<const FieldSchema> fields = region.Schema->Fields;
    if (!region.Located || record.Record < 0 || record.Record >= region.Count ||
        record.Field >= static_cast<int32_t>(fields.size()))
        return {};
    int64_t begin = region.RecordOffset(record.Record);
    int64_t end = begin + region.Schema->RecordSize;
    if (record.Field >= 0) {
        const FieldSchema& field = fields[static_cast<size_t>(record.Field)];
        begin += field.Offset;
        end = begin + field.Size;
    }
    return {std::max<int64_t>(begin, 0), std::min(end, stream.Size())};
}

}  // namespace vexlor
