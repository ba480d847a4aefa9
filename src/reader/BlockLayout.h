// Where the bytes of a block lie in the file: its header fields, jump slot table and payload parts,
// each as a span with what it holds and how its values decode, one span per field of each region
// of the block's schema. The hex view tints and names bytes from this, and "Go to offset" uses it
// to find the block that owns a byte.
//
// Counts come from the file and are not trusted. A span describes a whole array (where element 0
// would start, the element size and the stride between elements) and is cut to the bytes that lie
// in the file, so a count of 2^31 costs one span and no allocation.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "reader/FormatSchema.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"

namespace vexlor {

struct LayoutSpan {
    FieldKind Kind = FieldKind::kUnread;
    ValueKind Value = ValueKind::kInt32;
    std::string_view Label;        // what the span holds: "face count", "vertices"
    std::string_view ElementName;  // one element of an array: "vertex", "slot"; empty for a field
    std::span<const std::string_view> Parts;  // names of the 4-byte values of one element
    int64_t FirstNumber = 0;  // the number the report gives element 0 (slots count from 1)
    int64_t Origin = 0;       // file position of element 0; may lie outside the file
    int64_t ElementSize = 1;
    int64_t Stride = 1;  // from one element's start to the next one's, at least ElementSize
    int64_t Begin = 0;   // first byte in the file
    int64_t End = 0;     // one past the last byte in the file
    int32_t Region = 0;  // the region of the block's schema whose field it is
    const FieldSchema* Field = nullptr;

    bool Contains(int64_t offset) const {
        return offset >= Begin && offset < End && (offset - Origin) % Stride < ElementSize;
    }
};

// The first and the last byte a block owns.
struct BlockExtent {
    int64_t First = 0;
    int64_t Last = -1;
    bool Empty() const { return Last < First; }
    int64_t Size() const { return Empty() ? 0 : Last - First + 1; }
};

struct BlockLayout {
    int64_t Position = 0;  // the block's file position
    int32_t Type = 0;
    bool FileHeader = false;  // the root node: the file header and the mesh jump table
    std::vector<LayoutSpan> Spans;

    BlockExtent Extent() const;
    const LayoutSpan* SpanAt(int64_t offset) const;
};

// The spans of the block of `type` at file position `position`, cut to the file, in the order of
// its schema's regions and fields. Stored offsets are turned into file positions with
// `globalOffset`, as AdjustOffset does.
BlockLayout DescribeBlock(const OptStream& stream, int64_t globalOffset, int64_t position,
                          int32_t type);
// The file header, read as the walk reads it, and the mesh jump table it points at.
BlockLayout DescribeFileHeader(const OptStream& stream, int64_t globalOffset);
// The block of tree node `node`: node 0, the root, is the file header. An empty layout for a node
// the table does not hold.
BlockLayout DescribeNode(const OptStream& stream, int64_t globalOffset,
                         std::span<const BlockEntry> table, int32_t node);

// The tree node of the innermost block that owns the byte at `offset` (a header field, a slot
// table or a payload part); -1 when no block owns it (between blocks, outside the file). When
// several blocks own the byte, the one with the smallest extent wins, then the lowest node.
int32_t FindInnermostBlock(const OptStream& stream, int64_t globalOffset,
                           std::span<const BlockEntry> table, int64_t offset);

}  // namespace vexlor
