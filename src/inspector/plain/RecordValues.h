// A record of a block field by field, as the format's schema describes it: each value's name,
// file position, type, raw bytes and decoded value, and for a face's vertex and vertex normal
// indices the record each index names. What the record inspector shows; plain C++, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reader/NumberText.h"
#include "reader/OptStream.h"
#include "reader/RecordPlaces.h"

namespace vexlor::inspector {

// One value of a record: a field of one value, or one part of a field of several (corner 2, y).
struct RecordValueRow {
    std::string Name;    // "vertex indices, corner 2", "vertex count"
    int64_t Offset = 0;  // its file position
    std::string Type;    // "int32", "single", "stored offset", "text", "bytes"
    std::string Bytes;   // "39 00 00 00": those of its bytes that lie in the file
    std::string Value;   // "57", "0.5", "1046 -> file position 22"; empty when not in the file
    int32_t Field = -1;  // the field of the record's schema
    // For a face's vertex or vertex normal index: the record it names, and that record's name in
    // its block ("vertex 12"), or "none".
    std::optional<RecordRef> Target;
    std::string TargetText;
};

struct RecordValues {
    std::string Title;  // "face 3 of the face block at 1234"
    std::vector<RecordValueRow> Rows;
};

// The record's name in its block: "face 3", "header", "record" (a block's one record).
std::string ElementOf(const RecordRef& record);
// The record's name: "face 3 of the face block at 1234", "header of the vertex block at 412",
// "file header".
std::string RecordName(const RecordRef& record);

// The values of `record` (its Field is ignored: the whole record), with the targets of a face's
// indices as the walk of mesh `mesh` (any mesh for -1) resolved them. No rows for a record the
// file does not locate.
RecordValues ValuesOfRecord(const OptStream& stream, int64_t globalOffset, const RecordRef& record,
                            int32_t mesh, const NumberText& numbers);

}  // namespace vexlor::inspector
