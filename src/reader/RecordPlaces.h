// Between bytes and the records the schema names them: from a file offset to the block, region,
// record and field it lies in, and from a record (or one field of it) back to its bytes. What the
// hex view, the tree and the report ask of each other to link a byte to its meaning.
#pragma once

#include <cstdint>
#include <optional>

#include "reader/BlockLayout.h"
#include "reader/OptModel.h"
#include "reader/OptStream.h"

namespace vexlor {

// A record of a block, or one field of it, by its block and its place in the block's schema.
struct RecordRef {
    int64_t Block = -1;  // the block's position, as its BlockTable entry gives it
    int32_t Type = 0;    // the block's type; kTypeFileHeader for the file header
    int32_t Region = 0;  // the region of the block's schema; 0 is its header
    int64_t Record = 0;  // the record in the region, from 0
    int32_t Field = -1;  // the field of the record's schema; -1 for the whole record

    bool operator==(const RecordRef&) const = default;
};

// A face's index record (its four index groups), where a face of the draw tables and a finding
// about a face lead.
RecordRef FaceRecordRef(int64_t faceBlock, int32_t faceInBlock);

// What the byte at an offset is.
struct BytePlace {
    int32_t Node = -1;       // the tree node of its block; -1 when no block owns the byte
    RecordRef Record;        // the field it lies in
    int32_t Part = -1;       // which value of the field (corner 2, y); -1 for a field of one value
    int64_t FieldStart = 0;  // file position of the field in its record

    const FieldSchema* Field() const;
};

// The byte at `offset` in the innermost block that owns it (see FindInnermostBlock).
BytePlace PlaceOfByte(const OptStream& stream, const OptModel& model, int64_t offset);
// The byte at `offset` in one block's layout; Node is left -1. Nothing when the layout does not
// hold the byte.
std::optional<BytePlace> PlaceInLayout(const BlockLayout& layout, int64_t offset);

// The bytes of a record or field, cut to the file: [Begin, End), empty when none lie in it (a
// record beyond its region's count, a region the file cannot locate).
struct ByteRange {
    int64_t Begin = 0;
    int64_t End = 0;
    bool Empty() const { return End <= Begin; }
    int64_t Size() const { return Empty() ? 0 : End - Begin; }
};
ByteRange RangeOf(const OptStream& stream, int64_t globalOffset, const RecordRef& record);

}  // namespace vexlor
