// The table of the OPT format (its types are in FormatSchema.h): the file header, every block
// type the program reads with its header and the regions of its payload, and the PRJ file's face
// record. Plain constant data, so that the readers take their offsets from it at compile time.
#pragma once

#include <array>
#include <string_view>

#include "reader/FormatSchema.h"

namespace vexlor::format {

inline constexpr int32_t kValueSize = 4;  // an int32, a single or a stored offset
inline constexpr int32_t kVectorSize = 3 * kValueSize;
inline constexpr int32_t kTextureNameSize = 9;

inline constexpr std::array<std::string_view, 3> kXyz{"x", "y", "z"};
inline constexpr std::array<std::string_view, 2> kUv{"u", "v"};
inline constexpr std::array<std::string_view, 4> kCorners{"corner 0", "corner 1", "corner 2",
                                                          "corner 3"};
inline constexpr std::array<std::string_view, 3> kSoftVector1{"soft vector 1 x", "soft vector 1 y",
                                                              "soft vector 1 z"};
inline constexpr std::array<std::string_view, 3> kSoftVector2{"soft vector 2 x", "soft vector 2 y",
                                                              "soft vector 2 z"};

// A field of one 4-byte value.
constexpr FieldSchema Value(std::string_view name, std::string_view label, FieldKind kind,
                            ValueKind value, int64_t offset, std::string_view meaning = {}) {
    return {name, label, kind, value, static_cast<int32_t>(offset), kValueSize, {}, meaning};
}
// A field of three singles.
constexpr FieldSchema Vector(std::string_view name, std::string_view label, FieldKind kind,
                             int32_t offset, std::span<const std::string_view> parts = kXyz) {
    return {name, label, kind, ValueKind::kSingle, offset, kVectorSize, parts, {}};
}
// A block's header (or, at the file's start, the file header).
constexpr RegionSchema Header(std::span<const FieldSchema> fields,
                              RegionAnchor anchor = RegionAnchor::kBlock,
                              int64_t size = kBlockHeaderSize) {
    return {.Name = "header",
            .ElementName = {},
            .Anchor = anchor,
            .AnchorField = 0,
            .Skip = 0,
            .Count = RegionCount::kOne,
            .CountField = 0,
            .FirstNumber = 0,
            .RecordSize = static_cast<int32_t>(size),
            .Fields = fields};
}
// An array of records `skip` bytes after the stored offset in header field `anchor`, as many as
// header field `count` gives.
constexpr RegionSchema Array(std::string_view name, std::string_view element, int64_t anchor,
                             int64_t count, int32_t size, std::span<const FieldSchema> fields,
                             int32_t firstNumber = 0, int32_t skip = 0) {
    return {.Name = name,
            .ElementName = element,
            .Anchor = RegionAnchor::kStoredOffset,
            .AnchorField = static_cast<int32_t>(anchor),
            .Skip = skip,
            .Count = RegionCount::kCountField,
            .CountField = static_cast<int32_t>(count),
            .FirstNumber = firstNumber,
            .RecordSize = size,
            .Fields = fields};
}
// An array at the header's payload offset, as many as its count field gives.
constexpr RegionSchema Payload(std::string_view name, std::string_view element, int32_t size,
                               std::span<const FieldSchema> fields, int32_t firstNumber = 0) {
    return Array(name, element, kPayloadField, kCountField, size, fields, firstNumber);
}
// An array right after region `before`'s records, as many as the header's count field gives.
constexpr RegionSchema After(std::string_view name, std::string_view element, int32_t before,
                             int32_t size, std::span<const FieldSchema> fields) {
    RegionSchema region = Payload(name, element, size, fields);
    region.Anchor = RegionAnchor::kAfterRegion;
    region.AnchorField = before;
    return region;
}
// One record at the stored offset in header field `field`.
constexpr RegionSchema Single(std::string_view name, int64_t field, int32_t size,
                              std::span<const FieldSchema> fields) {
    return {.Name = name,
            .ElementName = {},
            .Anchor = RegionAnchor::kStoredOffset,
            .AnchorField = static_cast<int32_t>(field),
            .Skip = 0,
            .Count = RegionCount::kOne,
            .CountField = 0,
            .FirstNumber = 0,
            .RecordSize = size,
            .Fields = fields};
}

// The file header and the mesh jump table it points at.
inline constexpr std::array kFileHeaderFields{
    FieldSchema{"unread0", "not read", FieldKind::kUnread, ValueKind::kBytes, 0, 4},
    Value("fileSize", "file size field (file size - 8)", FieldKind::kFileSize, ValueKind::kInt32,
          kFileSizeField, "the file's size less 8"),
    Value("globalOffset", "global offset field (global offset + 8)", FieldKind::kGlobalOffset,
          ValueKind::kInt32, kGlobalOffsetField,
          "the global offset plus 8; a stored offset less the global offset is a file position"),
    FieldSchema{"unread12", "not read", FieldKind::kUnread, ValueKind::kBytes, 12, 2},
    Value("meshCount", "mesh count", FieldKind::kSlotCount, ValueKind::kInt32, kMeshCountField,
          "entries of the mesh jump table, one per mesh"),
    Value("meshTableOffset", "mesh table offset", FieldKind::kSlotTableOffset,
          ValueKind::kStoredOffset, kMeshTableField, "stored offset of the mesh jump table"),
};
inline constexpr std::array kMeshSlotFields{
    Value("meshOffset", "mesh jump table", FieldKind::kSlotTable, ValueKind::kStoredOffset, 0,
          "stored offset of the mesh's root jump block")};
inline constexpr RegionSchema kMeshTable =
    Array("meshes", "mesh", kMeshTableField, kMeshCountField, kValueSize, kMeshSlotFields);
inline constexpr std::array kFileHeaderRegions{
    Header(kFileHeaderFields, RegionAnchor::kFileStart, kFileHeaderSize), kMeshTable};

// The fields of the block header, by what the block does with them.
inline constexpr FieldSchema kUnreadId =
    Value("blockId", "block id (not read)", FieldKind::kBlockId, ValueKind::kInt32, kBlockIdField);
inline constexpr FieldSchema kTypeCode = Value("blockType", "block type", FieldKind::kBlockType,
                                               ValueKind::kInt32, kBlockTypeField, "type code");
inline constexpr FieldSchema kSlotCount =
    Value("slotCount", "slot count", FieldKind::kSlotCount, ValueKind::kInt32, kSlotCountField,
          "slots of the child pointer table");
inline constexpr FieldSchema kSlotTable =
    Value("slotTableOffset", "slot table offset", FieldKind::kSlotTableOffset,
          ValueKind::kStoredOffset, kSlotTableField, "stored offset of the child pointer table");
inline constexpr FieldSchema kUnfollowedSlotCount =
    Value("slotCount", "slot count (not followed)", FieldKind::kSlotCount, ValueKind::kInt32,
          kSlotCountField, "a data block's children are not walked");
inline constexpr FieldSchema kUnfollowedSlotTable =
    Value("slotTableOffset", "slot table offset (not followed)", FieldKind::kSlotTableOffset,
          ValueKind::kStoredOffset, kSlotTableField, "a data block's children are not walked");
constexpr FieldSchema Count(std::string_view name, std::string_view label,
                            std::string_view meaning = {}) {
    return Value(name, label, FieldKind::kElementCount, ValueKind::kInt32, kCountField, meaning);
}
constexpr FieldSchema PayloadOffset(std::string_view name, std::string_view label,
                                    std::string_view meaning = {}) {
    return Value(name, label, FieldKind::kPayloadOffset, ValueKind::kStoredOffset, kPayloadField,
                 meaning);
}
inline constexpr FieldSchema kUnreadCount = Count("count", "count (not read)");
inline constexpr FieldSchema kPayload =
    PayloadOffset("payloadOffset", "payload offset", "stored offset of the payload");
inline constexpr FieldSchema kUnreadPayload =
    PayloadOffset("payloadOffset", "payload offset (not read)");

// The child pointer table of a jump block: one stored offset per slot, 0 for an empty one.
inline constexpr std::array kSlotFields{Value("childOffset", "slot table", FieldKind::kSlotTable,
                                              ValueKind::kStoredOffset, 0,
                                              "stored offset of a child block; 0: empty")};
inline constexpr RegionSchema kSlots =
    Array("slots", "slot", kSlotTableField, kSlotCountField, kValueSize, kSlotFields, 1);

// Jump blocks (0) and texture jump blocks (24).
inline constexpr std::array kJumpHeader{kUnreadId,  kTypeCode,    kSlotCount,
                                        kSlotTable, kUnreadCount, kUnreadPayload};
inline constexpr std::array kJumpRegions{Header(kJumpHeader), kSlots};

// Level-of-detail blocks (21): a jump block whose slots are the levels, with their distances.
inline constexpr std::array kLodHeader{
    kUnreadId,
    kTypeCode,
    kSlotCount,
    kSlotTable,
    Count("detailLevelCount", "detail level count", "lo-res distances in the table"),
    PayloadOffset("distanceTableOffset", "distance table offset",
                  "stored offset of the lo-res distance table")};
inline constexpr std::array kDistanceFields{FieldSchema{
    "distance", "lo-res distances", FieldKind::kLodDistances, ValueKind::kSingle, 0, kValueSize}};
inline constexpr RegionSchema kDistances =
    Payload("distances", "level", kValueSize, kDistanceFields, 1);
inline constexpr std::array kLodRegions{Header(kLodHeader), kSlots, kDistances};

// Texture names: nine bytes, ending at the first zero byte.
inline constexpr std::array kTextureNameFields{FieldSchema{
    "name", "texture name", FieldKind::kTextureName, ValueKind::kText, 0, kTextureNameSize}};

// Texture headers (20): a jump block whose id field points at its texture's name.
inline constexpr std::array kTexHeaderHeader{
    Value("textureNameOffset", "texture name offset", FieldKind::kTextureNameOffset,
          ValueKind::kStoredOffset, kBlockIdField, "stored offset of the texture name"),
    kTypeCode,
    kSlotCount,
    kSlotTable,
    kUnreadCount,
    kUnreadPayload};
inline constexpr RegionSchema kTexHeaderName =
    Single("textureName", kBlockIdField, kTextureNameSize, kTextureNameFields);
inline constexpr std::array kTexHeaderRegions{Header(kTexHeaderHeader), kSlots, kTexHeaderName};

// Texture header pointers (7): the payload field points at a texture header's name.
inline constexpr std::array kTexPointerHeader{
    kUnreadId,
    kTypeCode,
    kUnfollowedSlotCount,
    kUnfollowedSlotTable,
    kUnreadCount,
    PayloadOffset("textureNameOffset", "texture name offset", "stored offset of the texture name")};
inline constexpr RegionSchema kTexPointerName =
    Single("textureName", kPayloadField, kTextureNameSize, kTextureNameFields);
inline constexpr std::array kTexPointerRegions{Header(kTexPointerHeader), kTexPointerName};

// Vertices (3), vertex normals (11) and texture vertices (13).
constexpr std::array<FieldSchema, 6> GeometryHeader(std::string_view count,
                                                    std::string_view label) {
    return {kUnreadId,           kTypeCode, kUnfollowedSlotCount, kUnfollowedSlotTable,
            Count(count, label), kPayload};
}
inline constexpr std::array kVertexHeader = GeometryHeader("vertexCount", "vertex count");
inline constexpr std::array kVertexFields{Vector("position", "vertices", FieldKind::kVertices, 0)};
inline constexpr RegionSchema kVertices = Payload("vertices", "vertex", kVectorSize, kVertexFields);
inline constexpr std::array kVertexRegions{Header(kVertexHeader), kVertices};

inline constexpr std::array kVertexNormalHeader =
    GeometryHeader("vertexNormalCount", "vertex normal count");
inline constexpr std::array kVertexNormalFields{
    Vector("normal", "vertex normals", FieldKind::kVertexNormals, 0)};
inline constexpr RegionSchema kVertexNormals =
    Payload("vertexNormals", "vertex normal", kVectorSize, kVertexNormalFields);
inline constexpr std::array kVertexNormalRegions{Header(kVertexNormalHeader), kVertexNormals};

inline constexpr std::array kTextureVertexHeader =
    GeometryHeader("textureVertexCount", "texture vertex count");
inline constexpr std::array kTextureVertexFields{
    FieldSchema{"uv", "texture vertices", FieldKind::kTextureVertices, ValueKind::kSingle, 0,
                2 * kValueSize, kUv}};
inline constexpr RegionSchema kTextureVertices =
    Payload("textureVertices", "texture vertex", 2 * kValueSize, kTextureVertexFields);
inline constexpr std::array kTextureVertexRegions{Header(kTextureVertexHeader), kTextureVertices};

// Faces (1): after a value nobody reads, three arrays with one record per face each: the index
// record, the face normal, the two soft vectors. Where the second and third start follows from
// the count the header gives, whatever the file holds.
inline constexpr std::array kFaceHeader = GeometryHeader("faceCount", "face count");
inline constexpr std::array kFacePayloadStartFields{
    FieldSchema{"unread", "face payload start (not read)", FieldKind::kFacePayloadStart,
                ValueKind::kInt32, 0, kValueSize}};
inline constexpr int32_t kIndexGroupSize = 4 * kValueSize;
inline constexpr std::array kFaceIndexFields{
    FieldSchema{"vertexIndices", "vertex indices", FieldKind::kFaceVertexIndices, ValueKind::kInt32,
                0, kIndexGroupSize, kCorners,
                "the corners' vertices; -1 in the fourth for a triangle"},
    FieldSchema{"edgeIndices", "edge indices", FieldKind::kFaceEdgeIndices, ValueKind::kInt32,
                kIndexGroupSize, kIndexGroupSize, kCorners},
    FieldSchema{"textureVertexIndices", "texture vertex indices",
                FieldKind::kFaceTextureVertexIndices, ValueKind::kInt32, 2 * kIndexGroupSize,
                kIndexGroupSize, kCorners},
    FieldSchema{"vertexNormalIndices", "vertex normal indices", FieldKind::kFaceVertexNormalIndices,
                ValueKind::kInt32, 3 * kIndexGroupSize, kIndexGroupSize, kCorners,
                "the corners' vertex normals; below 0 for none"}};
inline constexpr std::array kFaceNormalFields{
    Vector("normal", "face normals", FieldKind::kFaceNormals, 0)};
inline constexpr std::array kSoftVectorFields{
    Vector("softVector1", "soft vectors", FieldKind::kFaceSoftVectors, 0, kSoftVector1),
    Vector("softVector2", "soft vectors", FieldKind::kFaceSoftVectors, kVectorSize, kSoftVector2)};
// The value before the face arrays is there when the header's face count is 0 or more.
constexpr RegionSchema IfCounted(RegionSchema region) {
    region.Count = RegionCount::kOneIfCounted;
    region.CountField = static_cast<int32_t>(kCountField);
    return region;
}
inline constexpr RegionSchema kFacePayloadStart =
    IfCounted(Single("facePayloadStart", kPayloadField, kValueSize, kFacePayloadStartFields));
inline constexpr RegionSchema kFaceIndices =
    Array("faceIndices", "face", kPayloadField, kCountField, 4 * kIndexGroupSize, kFaceIndexFields,
          0, kFacePayloadStart.RecordSize);
// The regions of a face block, by index: what kAfterRegion names.
inline constexpr int32_t kFaceIndicesRegion = 2;
inline constexpr int32_t kFaceNormalsRegion = 3;
inline constexpr RegionSchema kFaceNormals =
    After("faceNormals", "face", kFaceIndicesRegion, kVectorSize, kFaceNormalFields);
inline constexpr RegionSchema kSoftVectors =
    After("softVectors", "face", kFaceNormalsRegion, 2 * kVectorSize, kSoftVectorFields);
inline constexpr std::array kFaceRegions{Header(kFaceHeader), kFacePayloadStart, kFaceIndices,
                                         kFaceNormals, kSoftVectors};
static_assert(&kFaceRegions[kFaceIndicesRegion].Fields[0] == &kFaceIndexFields[0]);
static_assert(&kFaceRegions[kFaceNormalsRegion].Fields[0] == &kFaceNormalFields[0]);

// Hardpoints (22) and mesh descriptors (25): one record at the payload offset.
inline constexpr FieldSchema kUnusedCount = Count("count", "count (not used)");
inline constexpr std::array kRecordHeader{
    kUnreadId, kTypeCode, kUnfollowedSlotCount, kUnfollowedSlotTable, kUnusedCount, kPayload};
inline constexpr std::array kHardpointFields{
    Value("type", "hardpoint type", FieldKind::kHardpointType, ValueKind::kInt32, 0,
          "index into the hardpoint type names"),
    Vector("position", "hardpoint position", FieldKind::kHardpointPosition, kValueSize)};
inline constexpr RegionSchema kHardpoint =
    Single("hardpoint", kPayloadField, kValueSize + kVectorSize, kHardpointFields);
inline constexpr std::array kHardpointRegions{Header(kRecordHeader), kHardpoint};

inline constexpr std::array kDescriptorFields{
    Value("meshType", "mesh type", FieldKind::kDescriptorMeshType, ValueKind::kInt32, 0,
          "index into the mesh type names"),
    Value("unknown", "unknown longint", FieldKind::kDescriptorUnknown, ValueKind::kInt32,
          kValueSize),
    Vector("span", "span", FieldKind::kDescriptorSpan, 8),
    Vector("centre", "centre", FieldKind::kDescriptorCentre, 20),
    Vector("minima", "minima", FieldKind::kDescriptorMinima, 32),
    Vector("maxima", "maxima", FieldKind::kDescriptorMaxima, 44),
    Value("targetGroup", "target group type", FieldKind::kDescriptorTargetGroup, ValueKind::kInt32,
          56),
    Vector("targetCentre", "target box centre", FieldKind::kDescriptorTargetCentre, 60)};
inline constexpr RegionSchema kDescriptor =
    Single("descriptor", kPayloadField, 72, kDescriptorFields);
inline constexpr std::array kDescriptorRegions{Header(kRecordHeader), kDescriptor};

// A block of a type without a reader: its header only.
inline constexpr std::array kOtherHeader{
    kUnreadId, kTypeCode, kUnfollowedSlotCount, kUnfollowedSlotTable, kUnreadCount, kUnreadPayload};
inline constexpr std::array kOtherRegions{Header(kOtherHeader)};

inline constexpr std::array kBlockSchemas{
    BlockSchema{kTypeJump, "jump block", kJumpRegions},
    BlockSchema{kTypeFgTextures, "texture jump block (FG textures)", kJumpRegions},
    BlockSchema{kTypeLod, "level-of-detail block", kLodRegions},
    BlockSchema{kTypeTexHeader, "texture header", kTexHeaderRegions},
    BlockSchema{kTypeFace, "face block", kFaceRegions},
    BlockSchema{kTypeVertex, "vertex block", kVertexRegions},
    BlockSchema{kTypeVertexNormal, "vertex normal block", kVertexNormalRegions},
    BlockSchema{kTypeTextureVertex, "texture vertex block", kTextureVertexRegions},
    BlockSchema{kTypeHardpoint, "hardpoint", kHardpointRegions},
    BlockSchema{kTypeMeshDescriptor, "mesh descriptor", kDescriptorRegions},
    BlockSchema{kTypeTexHeaderPointer, "texture header pointer", kTexPointerRegions},
};
inline constexpr BlockSchema kOtherBlock{kTypeWithoutReader, "block of a type without a reader",
                                         kOtherRegions};
inline constexpr BlockSchema kFileHeader{kTypeFileHeader, "file header", kFileHeaderRegions};

// The PRJ file that Save PRJ writes: a face count, then one record per face: its mesh and its
// four corners (a triangle repeats its third).
inline constexpr std::array kPrjFaceFields{
    Value("mesh", "mesh", FieldKind::kUnread, ValueKind::kInt32, 0),
    Vector("corner0", "corner 0", FieldKind::kUnread, kValueSize),
    Vector("corner1", "corner 1", FieldKind::kUnread, kValueSize + kVectorSize),
    Vector("corner2", "corner 2", FieldKind::kUnread, kValueSize + 2 * kVectorSize),
    Vector("corner3", "corner 3", FieldKind::kUnread, kValueSize + 3 * kVectorSize)};
inline constexpr int32_t kPrjFaceRecordSize = kValueSize + 4 * kVectorSize;

}  // namespace vexlor::format
