// The spans of a block: each field of each region its schema gives, over the records the header
// claims, cut to the file.
#include "reader/BlockLayout.h"

#include <algorithm>

#include "reader/BlockRegions.h"

namespace vexlor {

namespace {

// `count` elements of `span` from its origin on; only what lies in the file is kept.
void Add(LayoutSpan span, int64_t count, int64_t fileSize, std::vector<LayoutSpan>& spans) {
    const int64_t end = span.Origin + (count - 1) * span.Stride + span.ElementSize;
    span.Begin = std::max<int64_t>(span.Origin, 0);
    span.End = std::min(end, fileSize);
    // Skip to the first element that starts in the file when the array begins before it.
    if (span.Begin > span.Origin && (span.Begin - span.Origin) % span.Stride >= span.ElementSize)
        span.Begin += span.Stride - (span.Begin - span.Origin) % span.Stride;
    if (span.Begin < span.End) spans.push_back(span);
}

BlockLayout LayoutOf(const OptStream& stream, const BlockRegions& regions) {
    BlockLayout layout;
    layout.Position = regions.Position();
    layout.FileHeader = regions.Schema().Type == kTypeFileHeader;
    // The root's BlockTable entry has the type of a jump block.
    layout.Type = layout.FileHeader ? kTypeJump : regions.Schema().Type;
    const std::span<const RegionPlace> places = regions.Regions();
    for (size_t r = 0; r < places.size(); ++r) {
        const RegionPlace& place = places[r];
        if (!place.Located || place.Count <= 0) continue;
        const RegionSchema& region = *place.Schema;
        for (const FieldSchema& field : region.Fields) {
            LayoutSpan span;
            span.Kind = field.Kind;
            span.Value = field.Value;
            span.Label = field.Label;
            span.ElementName = region.ElementName;
            span.Parts = field.Parts;
            span.FirstNumber = region.FirstNumber;
            span.Origin = place.Origin + field.Offset;
            span.ElementSize = field.Size;
            span.Stride = region.RecordSize;
            span.Region = static_cast<int32_t>(r);
            span.Field = &field;
            Add(span, place.Count, stream.Size(), layout.Spans);
        }
    }
    return layout;
}

}  // namespace

BlockExtent BlockLayout::Extent() const {
    BlockExtent extent;
    for (const LayoutSpan& span : Spans) {
        if (extent.Empty()) {
            extent = {span.Begin, span.End - 1};
        } else {
            extent.First = std::min(extent.First, span.Begin);
            extent.Last = std::max(extent.Last, span.End - 1);
        }
    }
    return extent;
}

const LayoutSpan* BlockLayout::SpanAt(int64_t offset) const {
    for (const LayoutSpan& span : Spans)
        if (span.Contains(offset)) return &span;
    return nullptr;
}

BlockLayout DescribeBlock(const OptStream& stream, int64_t globalOffset, int64_t position,
                          int32_t type) {
    BlockLayout layout = LayoutOf(stream, LocateBlock(stream, globalOffset, position, type));
    layout.Type = type;
    return layout;
}

BlockLayout DescribeFileHeader(const OptStream& stream, int64_t globalOffset) {
    return LayoutOf(stream, LocateFileHeader(stream, globalOffset));
}

BlockLayout DescribeNode(const OptStream& stream, int64_t globalOffset,
                         std::span<const BlockEntry> table, int32_t node) {
    const std::optional<BlockRegions> regions = LocateNode(stream, globalOffset, table, node);
    if (!regions) return {};
    BlockLayout layout = LayoutOf(stream, *regions);
    if (node > 0) layout.Type = table[static_cast<size_t>(node)].Type;
    return layout;
}

int32_t FindInnermostBlock(const OptStream& stream, int64_t globalOffset,
                           std::span<const BlockEntry> table, int64_t offset) {
    if (stream.BytesFrom(offset) <= 0) return -1;
    int32_t best = -1;
    int64_t bestSize = 0;
    for (size_t k = 0; k < table.size(); ++k) {
        const auto node = static_cast<int32_t>(k);
        const BlockLayout layout = DescribeNode(stream, globalOffset, table, node);
        if (layout.SpanAt(offset) == nullptr) continue;
        const int64_t size = layout.Extent().Size();
        if (best < 0 || size < bestSize) {
            best = node;
            bestSize = size;
        }
    }
    return best;
}

}  // namespace vexlor
