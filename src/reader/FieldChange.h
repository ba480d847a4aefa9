// One field of one record that differs between two versions of a file: where it lies (its file
// position, its block as a tree node and a file position, its mesh), which record and field the
// format's schema names it, and its two values. The repair lists what it writes this way, and the
// comparison of two files lists each differing field the same way, so that a file compared with
// its repair reads exactly as the repair's list of changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "reader/Vec3.h"

namespace vexlor {

// Where a changed field lies.
struct FieldPlace {
    int64_t Offset = 0;       // file position of the field's first byte
    int32_t Block = -1;       // the tree node of its block (as `vexlor tree` numbers them)
    int64_t BlockOffset = 0;  // file position of its block
    int32_t BlockType = 0;
    int32_t Mesh = -1;
    std::string_view Region;  // the schema's name of the record's array: "faceNormals"
    int64_t Record = 0;       // the record's index in that array
    std::string_view Field;   // the schema's name of the field: "normal"
};

struct FieldChange : FieldPlace {
    Vec3 Old;
    Vec3 New;
};

// The shortest text that reads back as the same float ("0.1", "-1", "1e-08").
std::string FloatText(float value);
// "0.1 -1 0": the three components.
std::string VectorText(const Vec3& v);

// "offset 2620: block 5 (face block at 810), mesh 0, faceNormals[3].normal: 0 0 1 -> 0 0 -1".
// `newPlace`, when the new value lies elsewhere in its file (a comparison of two files), adds
// that place: "offset 2620 (B 2644): block 5 (B 6) (...)".
std::string FieldChangeText(const FieldPlace& place, std::string_view oldValue,
                            std::string_view newValue, const FieldPlace* newPlace = nullptr);
std::string FieldChangeText(const FieldChange& change);

}  // namespace vexlor
