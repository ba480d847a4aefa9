// How the OPT format is described as data: the file header, the header every block starts with,
// and for each block type the regions of its payload, where each lies and how its records are
// laid out, field by field (offset, size, value type, name, meaning). The table itself is
// FormatTables.h. The walk's readers, the hex view's tints, legend and byte descriptions, the
// tree's tool tips and the block's JSON all take their offsets and sizes from it; nothing else in
// the program knows one.
//
// A block is a list of regions. Region 0 is its header (one record at the block's position).
// Every other region is an array of records found through the header: at the file position a
// stored offset in a header field gives (plus a few bytes to skip), or right after the records of
// an earlier region (a face block's normals follow its index records, its soft vectors its
// normals), with its record count in a header field or exactly one record.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "reader/BlockTypes.h"

namespace vexlor {

// What a field holds. Every kind has its own tint in the hex view.
enum class FieldKind : uint8_t {
    // Block header.
    kBlockId,            // p + 0 of every block but a texture header: not read
    kTextureNameOffset,  // p + 0 of a texture header
    kBlockType,
    kSlotCount,
    kSlotTableOffset,
    kElementCount,
    kPayloadOffset,
    // File header (the root node).
    kUnread,
    kFileSize,
    kGlobalOffset,
    // Tables and payloads.
    kSlotTable,
    kFacePayloadStart,
    kFaceVertexIndices,
    kFaceEdgeIndices,
    kFaceTextureVertexIndices,
    kFaceVertexNormalIndices,
    kFaceNormals,
    kFaceSoftVectors,
    kVertices,
    kVertexNormals,
    kTextureVertices,
    kHardpointType,
    kHardpointPosition,
    kDescriptorMeshType,
    kDescriptorUnknown,
    kDescriptorSpan,
    kDescriptorCentre,
    kDescriptorMinima,
    kDescriptorMaxima,
    kDescriptorTargetGroup,
    kDescriptorTargetCentre,
    kTextureName,
    kLodDistances,
};
inline constexpr int kFieldKindCount = static_cast<int>(FieldKind::kLodDistances) + 1;

// How a field's bytes decode: as 4-byte values (one, or one per part), or as a whole.
enum class ValueKind : uint8_t {
    kInt32,
    kSingle,
    kStoredOffset,  // an int32 that AdjustOffset turns into a file position
    kText,          // the characters of a texture name
    kBytes,         // bytes nobody reads, shown as they are
};

// How a value kind is named in block JSON and the record inspector: "int32", "single", "stored
// offset", "text", "bytes".
std::string_view ValueKindName(ValueKind kind);

struct FieldSchema {
    std::string_view Name;   // "vertexIndices": the field's name in JSON, compares and repairs
    std::string_view Label;  // "vertex indices": how the hex view names it
    FieldKind Kind;
    ValueKind Value;
    int32_t Offset;  // from the start of its record
    int32_t Size;    // in bytes
    // The names of its 4-byte values when it has several ("x", "corner 2"); empty for one value.
    std::span<const std::string_view> Parts = {};
    std::string_view Meaning = {};

    constexpr int32_t End() const { return Offset + Size; }
};

// Where a region's record 0 lies.
enum class RegionAnchor : uint8_t {
    kBlock,         // at the block's position: the header
    kFileStart,     // at file position 0: the file header
    kStoredOffset,  // at the file position of the stored offset in header field AnchorField
    kAfterRegion,   // right after the records of region AnchorField of the same block
};

// How many records a region has.
enum class RegionCount : uint8_t {
    kOne,
    kCountField,    // as many as header field CountField gives
    kOneIfCounted,  // one, when header field CountField holds a count of 0 or more
};

struct RegionSchema {
    std::string_view Name;         // "vertices", "faceNormals": its name in JSON
    std::string_view ElementName;  // "vertex": how one of its records is called; empty for one
    RegionAnchor Anchor;
    int32_t AnchorField;  // a header field's offset, or an earlier region's index
    int32_t Skip;         // bytes from where the anchor points to record 0
    RegionCount Count;
    int32_t CountField;   // a header field's offset
    int32_t FirstNumber;  // the number the report gives record 0 (slots count from 1)
    int32_t RecordSize;   // from one record's start to the next one's
    std::span<const FieldSchema> Fields;
};

struct BlockSchema {
    int32_t Type;           // the block type code (kTypeFileHeader for the file header)
    std::string_view Name;  // "vertex block"
    std::span<const RegionSchema> Regions;
};

// The file header's place among the block types: it is no block and has no type code; nor have
// the blocks of types without a reader one schema of their own.
inline constexpr int32_t kTypeFileHeader = -1;
inline constexpr int32_t kTypeWithoutReader = -2;

// The file header, at the start of the file.
inline constexpr int64_t kFileSizeField = 4;      // file size - 8
inline constexpr int64_t kGlobalOffsetField = 8;  // global offset + 8
inline constexpr int64_t kMeshCountField = 14;
inline constexpr int64_t kMeshTableField = 18;  // stored offset of the mesh jump table
inline constexpr int64_t kFileHeaderSize = 22;
// What the two offset fields hold beyond the file size and the global offset.
inline constexpr int64_t kFileHeaderBias = 8;

// The header every block starts with, from the block's position.
inline constexpr int64_t kBlockIdField = 0;  // a texture header's name offset
inline constexpr int64_t kBlockTypeField = 4;
inline constexpr int64_t kSlotCountField = 8;
inline constexpr int64_t kSlotTableField = 12;
inline constexpr int64_t kCountField = 16;
inline constexpr int64_t kPayloadField = 20;
inline constexpr int64_t kBlockHeaderSize = 24;

// The header read as a jump block: its mesh count and mesh table lie where a block at this
// position keeps its slot count and slot table, so the root node lists the mesh jump table.
inline constexpr int64_t kRootBlockOffset = 6;
static_assert(kRootBlockOffset + kSlotCountField == kMeshCountField);
static_assert(kRootBlockOffset + kSlotTableField == kMeshTableField);

// The schema of blocks of `type`; a type without a reader gets the plain header.
const BlockSchema& SchemaOf(int32_t type);
const BlockSchema& FileHeaderSchema();
// Every block type the program reads, and the plain header of the others.
std::span<const BlockSchema> AllBlockSchemas();

// A region or field by its name; where the lookup is constant, a wrong name does not compile.
constexpr int32_t RegionIndex(std::span<const RegionSchema> regions, std::string_view name) {
    for (size_t k = 0; k < regions.size(); ++k)
        if (regions[k].Name == name) return static_cast<int32_t>(k);
    throw "no such region";  // NOLINT: only ever thrown while compiling
}
constexpr int32_t FieldIndex(const RegionSchema& region, std::string_view name) {
    for (size_t k = 0; k < region.Fields.size(); ++k)
        if (region.Fields[k].Name == name) return static_cast<int32_t>(k);
    throw "no such field";  // NOLINT: only ever thrown while compiling
}
constexpr const FieldSchema& FieldOf(const RegionSchema& region, std::string_view name) {
    for (const FieldSchema& field : region.Fields)
        if (field.Name == name) return field;
    throw "no such field";  // NOLINT: only ever thrown while compiling
}

}  // namespace vexlor
