// The spans of each block type, read from the block's header fields through the stream.
#include "BlockLayout.h"

#include <algorithm>
#include <array>

#include "BlockTypes.h"

namespace vexlor {

namespace {

constexpr int64_t kFaceIndexGroupBytes = 16;
constexpr int64_t kFaceIndexBytes = 64;
constexpr int64_t kFaceNormalBytes = 12;
constexpr int64_t kFaceSoftBytes = 24;

constexpr std::array<std::string_view, 3> kXyz{"x", "y", "z"};
constexpr std::array<std::string_view, 2> kUv{"u", "v"};
constexpr std::array<std::string_view, 4> kCorners{"corner 0", "corner 1", "corner 2", "corner 3"};
constexpr std::array<std::string_view, 6> kSoftParts{"soft vector 1 x", "soft vector 1 y",
                                                     "soft vector 1 z", "soft vector 2 x",
                                                     "soft vector 2 y", "soft vector 2 z"};

class LayoutBuilder {
  public:
    LayoutBuilder(const OptStream& stream, int64_t globalOffset, BlockLayout& layout)
        : stream_(stream), globalOffset_(globalOffset), layout_(layout) {}

    // A field of `size` bytes at `position`.
    void Field(int64_t position, FieldKind kind, ValueKind value, std::string_view label,
               int64_t size = 4) {
        LayoutSpan span;
        span.Kind = kind;
        span.Value = value;
        span.Label = label;
        span.Origin = position;
        span.ElementSize = size;
        span.Stride = size;
        Add(span, 1);
    }

    // `count` elements of `span` from its origin on; only what lies in the file is kept.
    void Array(LayoutSpan span, int64_t count) {
        if (count > 0) Add(span, count);
    }

    // The file position a stored offset in the field at `position` designates; false when the
    // field does not lie in the file.
    bool Target(int64_t position, int64_t& target) {
        const std::optional<int32_t> stored = stream_.WholeInt32At(position);
        if (!stored) return false;
        target = int64_t{*stored} - globalOffset_;
        return true;
    }
    bool Count(int64_t position, int32_t& count) {
        const std::optional<int32_t> stored = stream_.WholeInt32At(position);
        if (stored) count = *stored;
        return stored.has_value();
    }

  private:
    void Add(LayoutSpan span, int64_t count) {
        const int64_t end = span.Origin + (count - 1) * span.Stride + span.ElementSize;
        span.Begin = std::max<int64_t>(span.Origin, 0);
        span.End = std::min(end, stream_.Size());
        // Skip to the first element that starts in the file when the array begins before it.
        if (span.Begin > span.Origin &&
            (span.Begin - span.Origin) % span.Stride >= span.ElementSize)
            span.Begin += span.Stride - (span.Begin - span.Origin) % span.Stride;
        if (span.Begin < span.End) layout_.Spans.push_back(span);
    }

    const OptStream& stream_;
    int64_t globalOffset_;
    BlockLayout& layout_;
};

LayoutSpan ArraySpan(FieldKind kind, ValueKind value, std::string_view label,
                     std::string_view element, std::span<const std::string_view> parts,
                     int64_t origin, int64_t elementSize, int64_t stride = 0) {
    LayoutSpan span;
    span.Kind = kind;
    span.Value = value;
    span.Label = label;
    span.ElementName = element;
    span.Parts = parts;
    span.Origin = origin;
    span.ElementSize = elementSize;
    span.Stride = stride > 0 ? stride : elementSize;
    return span;
}

std::string_view ElementCountLabel(int32_t type) {
    switch (type) {
        case kTypeVertex:
            return "vertex count";
        case kTypeVertexNormal:
            return "vertex normal count";
        case kTypeTextureVertex:
            return "texture vertex count";
        case kTypeFace:
            return "face count";
        case kTypeLod:
            return "detail level count";
        case kTypeHardpoint:
        case kTypeMeshDescriptor:
            return "count (not used)";
        default:
            return "count (not read)";
    }
}

std::string_view PayloadOffsetLabel(int32_t type) {
    switch (type) {
        case kTypeVertex:
        case kTypeVertexNormal:
        case kTypeTextureVertex:
        case kTypeFace:
        case kTypeHardpoint:
        case kTypeMeshDescriptor:
            return "payload offset";
        case kTypeLod:
            return "distance table offset";
        case kTypeTexHeaderPointer:
            return "texture name offset";
        default:
            return "payload offset (not read)";
    }
}

void AddHeader(LayoutBuilder& out, int64_t p, int32_t type) {
    const bool jump = IsJumpType(type);
    if (type == kTypeTexHeader)
        out.Field(p, FieldKind::kTextureNameOffset, ValueKind::kStoredOffset,
                  "texture name offset");
    else
        out.Field(p, FieldKind::kBlockId, ValueKind::kInt32, "block id (not read)");
    out.Field(p + 4, FieldKind::kBlockType, ValueKind::kInt32, "block type");
    out.Field(p + 8, FieldKind::kSlotCount, ValueKind::kInt32,
              jump ? "slot count" : "slot count (not followed)");
    out.Field(p + 12, FieldKind::kSlotTableOffset, ValueKind::kStoredOffset,
              jump ? "slot table offset" : "slot table offset (not followed)");
    out.Field(p + 16, FieldKind::kElementCount, ValueKind::kInt32, ElementCountLabel(type));
    out.Field(p + 20, FieldKind::kPayloadOffset, ValueKind::kStoredOffset,
              PayloadOffsetLabel(type));
}

void AddSlotTable(LayoutBuilder& out, int64_t countField, int64_t tableField,
                  std::string_view label, std::string_view element, int64_t firstNumber) {
    int32_t count = 0;
    int64_t table = 0;
    if (!out.Count(countField, count) || !out.Target(tableField, table)) return;
    LayoutSpan span =
        ArraySpan(FieldKind::kSlotTable, ValueKind::kStoredOffset, label, element, {}, table, 4);
    span.FirstNumber = firstNumber;
    out.Array(span, count);
}

void AddTextureName(LayoutBuilder& out, int64_t nameField) {
    int64_t name = 0;
    if (!out.Target(nameField, name)) return;
    out.Field(name, FieldKind::kTextureName, ValueKind::kText, "texture name", kTextureNameBytes);
}

void AddFacePayload(LayoutBuilder& out, int64_t p) {
    int32_t count = 0;
    int64_t payload = 0;
    if (!out.Count(p + 16, count) || !out.Target(p + 20, payload) || count < 0) return;
    out.Field(payload, FieldKind::kFacePayloadStart, ValueKind::kInt32,
              "face payload start (not read)");
    const int64_t n = count;
    const int64_t indices = payload + 4;
    const std::pair<FieldKind, std::string_view> groups[] = {
        {FieldKind::kFaceVertexIndices, "vertex indices"},
        {FieldKind::kFaceEdgeIndices, "edge indices"},
        {FieldKind::kFaceTextureVertexIndices, "texture vertex indices"},
        {FieldKind::kFaceVertexNormalIndices, "vertex normal indices"}};
    int64_t group = 0;
    for (const auto& [kind, label] : groups) {
        out.Array(ArraySpan(kind, ValueKind::kInt32, label, "face", kCorners,
                            indices + kFaceIndexGroupBytes * group++, kFaceIndexGroupBytes,
                            kFaceIndexBytes),
                  n);
    }
    const int64_t normals = indices + kFaceIndexBytes * n;
    out.Array(ArraySpan(FieldKind::kFaceNormals, ValueKind::kSingle, "face normals", "face", kXyz,
                        normals, kFaceNormalBytes),
              n);
    out.Array(ArraySpan(FieldKind::kFaceSoftVectors, ValueKind::kSingle, "soft vectors", "face",
                        kSoftParts, normals + kFaceNormalBytes * n, kFaceSoftBytes),
              n);
}

// Vertices, vertex normals and texture vertices: one array of singles after the header.
void AddVectorPayload(LayoutBuilder& out, int64_t p, FieldKind kind, std::string_view label,
                      std::string_view element, std::span<const std::string_view> parts) {
    int32_t count = 0;
    int64_t payload = 0;
    if (!out.Count(p + 16, count) || !out.Target(p + 20, payload)) return;
    out.Array(ArraySpan(kind, ValueKind::kSingle, label, element, parts, payload,
                        4 * static_cast<int64_t>(parts.size())),
              count);
}

void AddHardpointPayload(LayoutBuilder& out, int64_t p) {
    int64_t payload = 0;
    if (!out.Target(p + 20, payload)) return;
    out.Field(payload, FieldKind::kHardpointType, ValueKind::kInt32, "hardpoint type");
    out.Array(ArraySpan(FieldKind::kHardpointPosition, ValueKind::kSingle, "hardpoint position", {},
                        kXyz, payload + 4, 12),
              1);
}

void AddDescriptorPayload(LayoutBuilder& out, int64_t p) {
    int64_t payload = 0;
    if (!out.Target(p + 20, payload)) return;
    const auto vector = [&](int64_t at, FieldKind kind, std::string_view label) {
        out.Array(ArraySpan(kind, ValueKind::kSingle, label, {}, kXyz, payload + at, 12), 1);
    };
    out.Field(payload, FieldKind::kDescriptorMeshType, ValueKind::kInt32, "mesh type");
    out.Field(payload + 4, FieldKind::kDescriptorUnknown, ValueKind::kInt32, "unknown longint");
    vector(8, FieldKind::kDescriptorSpan, "span");
    vector(20, FieldKind::kDescriptorCentre, "centre");
    vector(32, FieldKind::kDescriptorMinima, "minima");
    vector(44, FieldKind::kDescriptorMaxima, "maxima");
    out.Field(payload + 56, FieldKind::kDescriptorTargetGroup, ValueKind::kInt32,
              "target group type");
    vector(60, FieldKind::kDescriptorTargetCentre, "target box centre");
}

void AddLodDistances(LayoutBuilder& out, int64_t p) {
    int32_t count = 0;
    int64_t table = 0;
    if (!out.Count(p + 16, count) || !out.Target(p + 20, table)) return;
    LayoutSpan span = ArraySpan(FieldKind::kLodDistances, ValueKind::kSingle, "lo-res distances",
                                "level", {}, table, 4);
    span.FirstNumber = 1;
    out.Array(span, count);
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
    BlockLayout layout;
    layout.Position = position;
    layout.Type = type;
    LayoutBuilder out(stream, globalOffset, layout);
    AddHeader(out, position, type);
    if (IsJumpType(type)) AddSlotTable(out, position + 8, position + 12, "slot table", "slot", 1);
    switch (type) {
        case kTypeLod:
            AddLodDistances(out, position);
            break;
        case kTypeTexHeader:
            AddTextureName(out, position);
            break;
        case kTypeTexHeaderPointer:
            AddTextureName(out, position + 20);
            break;
        case kTypeFace:
            AddFacePayload(out, position);
            break;
        case kTypeVertex:
            AddVectorPayload(out, position, FieldKind::kVertices, "vertices", "vertex", kXyz);
            break;
        case kTypeVertexNormal:
            AddVectorPayload(out, position, FieldKind::kVertexNormals, "vertex normals",
                             "vertex normal", kXyz);
            break;
        case kTypeTextureVertex:
            AddVectorPayload(out, position, FieldKind::kTextureVertices, "texture vertices",
                             "texture vertex", kUv);
            break;
        case kTypeHardpoint:
            AddHardpointPayload(out, position);
            break;
        case kTypeMeshDescriptor:
            AddDescriptorPayload(out, position);
            break;
        default:
            break;
    }
    return layout;
}

BlockLayout DescribeFileHeader(const OptStream& stream, int64_t globalOffset) {
    BlockLayout layout;
    layout.Position = kRootBlockOffset;
    layout.FileHeader = true;
    LayoutBuilder out(stream, globalOffset, layout);
    out.Field(0, FieldKind::kUnread, ValueKind::kBytes, "not read");
    out.Field(4, FieldKind::kFileSize, ValueKind::kInt32, "file size field (file size - 8)");
    out.Field(8, FieldKind::kGlobalOffset, ValueKind::kInt32,
              "global offset field (global offset + 8)");
    out.Field(12, FieldKind::kUnread, ValueKind::kBytes, "not read", 2);
    out.Field(14, FieldKind::kSlotCount, ValueKind::kInt32, "mesh count");
    out.Field(18, FieldKind::kSlotTableOffset, ValueKind::kStoredOffset, "mesh table offset");
    AddSlotTable(out, 14, 18, "mesh jump table", "mesh", 0);
    return layout;
}

BlockLayout DescribeNode(const OptStream& stream, int64_t globalOffset,
                         std::span<const BlockEntry> table, int32_t node) {
    if (node < 0 || static_cast<size_t>(node) >= table.size()) return {};
    if (node == 0) return DescribeFileHeader(stream, globalOffset);
    const BlockEntry& entry = table[static_cast<size_t>(node)];
    return DescribeBlock(stream, globalOffset, entry.Offset, entry.Type);
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
