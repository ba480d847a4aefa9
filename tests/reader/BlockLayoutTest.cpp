// Where each block's bytes lie: the spans of every block type, counts and offsets that the file
// cannot hold, the block that owns a given offset, the names and values of single bytes, and the
// records and fields of the format that bytes belong to and lead back to.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "TestSupport.h"
#include "reader/BlockLayout.h"
#include "reader/ByteDescription.h"
#include "reader/CornerTargets.h"
#include "reader/RecordPlaces.h"
#include "samples/EveryBlockSample.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

using Model = EveryBlockSample;

class Layout : public ::testing::Test {
  protected:
    void SetUp() override { Load(document_, model_.Bytes); }

    BlockLayout Of(int64_t position, int32_t type) {
        return DescribeBlock(document_.Stream(), Model::kGlobalOffset, position, type);
    }
    static std::optional<FieldKind> KindAt(const BlockLayout& layout, int64_t offset) {
        const LayoutSpan* span = layout.SpanAt(offset);
        return span ? std::optional(span->Kind) : std::nullopt;
    }
    // The kind of every byte of [from, from + size), when it is one kind throughout.
    static std::optional<FieldKind> KindOfRange(const BlockLayout& layout, int64_t from,
                                                int64_t size) {
        const std::optional<FieldKind> first = KindAt(layout, from);
        for (int64_t at = from; at < from + size; ++at)
            if (KindAt(layout, at) != first) return std::nullopt;
        return first;
    }
    static void ExpectHeader(const BlockLayout& layout, int64_t p, FieldKind first) {
        const FieldKind kinds[] = {first,
                                   FieldKind::kBlockType,
                                   FieldKind::kSlotCount,
                                   FieldKind::kSlotTableOffset,
                                   FieldKind::kElementCount,
                                   FieldKind::kPayloadOffset};
        for (int field = 0; field < 6; ++field)
            EXPECT_EQ(KindOfRange(layout, p + 4 * field, 4), kinds[field]) << "field " << field;
    }
    int32_t NodeAt(int64_t offset) {
        return FindInnermostBlock(document_.Stream(), Model::kGlobalOffset,
                                  document_.Model().BlockTable, offset);
    }
    int32_t NodeOfBlock(int64_t position) const {
        const auto& table = document_.Model().BlockTable;
        for (size_t k = 1; k < table.size(); ++k)
            if (table[k].Offset == position) return static_cast<int32_t>(k);
        return -1;
    }
    ByteDescription Byte(const BlockLayout& layout, int64_t offset) {
        return DescribeByte(document_.Stream(), Model::kGlobalOffset, layout, offset,
                            NumberText("."));
    }
    void Patch(int64_t position, int32_t value) {
        std::vector<uint8_t> bytes = model_.Bytes;
        OptBuilder::PatchInt32(bytes, position, value);
        Load(document_, bytes);
    }

    Model model_;
    OptDocument document_;
};

TEST_F(Layout, GeometryBlocksHaveTheirHeaderAndPayloadArrays) {
    const int64_t v = model_.Vertices;
    const BlockLayout vertices = Of(v, 3);
    ExpectHeader(vertices, v, FieldKind::kBlockId);
    EXPECT_EQ(KindOfRange(vertices, v + 24, 24), FieldKind::kVertices);
    EXPECT_EQ(KindAt(vertices, v + 48), std::nullopt);
    EXPECT_EQ(vertices.Extent().First, v);
    EXPECT_EQ(vertices.Extent().Last, v + 47);

    const BlockLayout normals = Of(model_.Normals, 11);
    EXPECT_EQ(KindOfRange(normals, model_.Normals + 24, 36), FieldKind::kVertexNormals);
    EXPECT_EQ(normals.Extent().Last, model_.Normals + 59);

    const BlockLayout texVerts = Of(model_.TexVerts, 13);
    EXPECT_EQ(KindOfRange(texVerts, model_.TexVerts + 24, 16), FieldKind::kTextureVertices);
    EXPECT_EQ(texVerts.Extent().Last, model_.TexVerts + 39);
}

TEST_F(Layout, FaceBlockSplitsItsPayloadIntoIndexGroupsNormalsAndSoftVectors) {
    const int64_t p = model_.Faces;
    const int64_t payload = p + 24;
    const BlockLayout faces = Of(p, 1);
    ExpectHeader(faces, p, FieldKind::kBlockId);
    EXPECT_EQ(KindOfRange(faces, payload, 4), FieldKind::kFacePayloadStart);
    // Each face's 64 bytes of indices hold the four groups in file order; face 1 follows face 0.
    for (int64_t face = 0; face < 2; ++face) {
        const int64_t record = payload + 4 + 64 * face;
        EXPECT_EQ(KindOfRange(faces, record, 16), FieldKind::kFaceVertexIndices) << face;
        EXPECT_EQ(KindOfRange(faces, record + 16, 16), FieldKind::kFaceEdgeIndices) << face;
        EXPECT_EQ(KindOfRange(faces, record + 32, 16), FieldKind::kFaceTextureVertexIndices)
            << face;
        EXPECT_EQ(KindOfRange(faces, record + 48, 16), FieldKind::kFaceVertexNormalIndices) << face;
    }
    EXPECT_EQ(KindOfRange(faces, payload + 4 + 128, 24), FieldKind::kFaceNormals);
    EXPECT_EQ(KindOfRange(faces, payload + 4 + 152, 48), FieldKind::kFaceSoftVectors);
    EXPECT_EQ(faces.Extent().Last, payload + 4 + 200 - 1);
}

TEST_F(Layout, DescriptorHardpointTextureAndLodBlocksNameTheirFields) {
    const int64_t h = model_.Hardpoint;
    const BlockLayout hardpoint = Of(h, 22);
    EXPECT_EQ(KindOfRange(hardpoint, h + 24, 4), FieldKind::kHardpointType);
    EXPECT_EQ(KindOfRange(hardpoint, h + 28, 12), FieldKind::kHardpointPosition);

    const int64_t d = model_.Descriptor + 24;
    const BlockLayout descriptor = Of(model_.Descriptor, 25);
    const std::pair<int64_t, FieldKind> fields[] = {
        {0, FieldKind::kDescriptorMeshType},     {4, FieldKind::kDescriptorUnknown},
        {8, FieldKind::kDescriptorSpan},         {20, FieldKind::kDescriptorCentre},
        {32, FieldKind::kDescriptorMinima},      {44, FieldKind::kDescriptorMaxima},
        {56, FieldKind::kDescriptorTargetGroup}, {60, FieldKind::kDescriptorTargetCentre}};
    for (const auto& [at, kind] : fields)
        EXPECT_EQ(KindOfRange(descriptor, d + at, at == 0 || at == 4 || at == 56 ? 4 : 12), kind)
            << at;
    EXPECT_EQ(descriptor.Extent().Last, d + 71);

    const int64_t t = model_.TexHeader;
    const BlockLayout texHeader = Of(t, 20);
    ExpectHeader(texHeader, t, FieldKind::kTextureNameOffset);
    EXPECT_EQ(KindOfRange(texHeader, t + 24, 9), FieldKind::kTextureName);

    const BlockLayout texPointer = Of(model_.TexPointer, 7);
    EXPECT_EQ(KindOfRange(texPointer, t + 24, 9), FieldKind::kTextureName);

    const int64_t l = model_.Lod;
    const BlockLayout lod = Of(l, 21);
    EXPECT_EQ(KindOfRange(lod, l + 24, 8), FieldKind::kSlotTable);
    EXPECT_EQ(KindOfRange(lod, l + 32, 8), FieldKind::kLodDistances);

    // A type without a reader owns its header only.
    const BlockLayout unknown = Of(model_.Unknown, 2);
    EXPECT_EQ(unknown.Extent().First, model_.Unknown);
    EXPECT_EQ(unknown.Extent().Last, model_.Unknown + 23);
}

TEST_F(Layout, RootNodeIsTheFileHeaderAndTheMeshJumpTable) {
    const BlockLayout header =
        DescribeNode(document_.Stream(), Model::kGlobalOffset, document_.Model().BlockTable, 0);
    EXPECT_TRUE(header.FileHeader);
    EXPECT_EQ(KindOfRange(header, 0, 4), FieldKind::kUnread);
    EXPECT_EQ(KindOfRange(header, 4, 4), FieldKind::kFileSize);
    EXPECT_EQ(KindOfRange(header, 8, 4), FieldKind::kGlobalOffset);
    EXPECT_EQ(KindOfRange(header, 12, 2), FieldKind::kUnread);
    EXPECT_EQ(KindOfRange(header, 14, 4), FieldKind::kSlotCount);
    EXPECT_EQ(KindOfRange(header, 18, 4), FieldKind::kSlotTableOffset);
    EXPECT_EQ(KindOfRange(header, model_.B.MeshTablePosition(), 4), FieldKind::kSlotTable);
    EXPECT_TRUE(
        DescribeNode(document_.Stream(), 0, document_.Model().BlockTable, 100000).Spans.empty());
}

TEST_F(Layout, CountsBeyondTheFileAreCutToItsEnd) {
    constexpr int32_t kHuge = std::numeric_limits<int32_t>::max();
    const auto size = static_cast<int64_t>(model_.Bytes.size());
    Patch(model_.Vertices + 16, kHuge);
    const BlockLayout vertices = Of(model_.Vertices, 3);
    EXPECT_EQ(vertices.Extent().Last, size - 1);
    EXPECT_EQ(vertices.Spans.size(), 7u);

    // With 2^31 faces the normals and soft vectors would start far beyond the end: only the
    // index groups are left, up to the end of the file.
    Patch(model_.Faces + 16, kHuge);
    const BlockLayout faces = Of(model_.Faces, 1);
    EXPECT_EQ(faces.Extent().Last, size - 1);
    EXPECT_FALSE(KindAt(faces, size - 1) == FieldKind::kFaceNormals);
    for (const LayoutSpan& span : faces.Spans)
        EXPECT_NE(span.Kind, FieldKind::kFaceSoftVectors);

    Patch(model_.Root + 8, kHuge);
    EXPECT_EQ(Of(model_.Root, 0).Extent().Last, size - 1);
}

TEST_F(Layout, NegativeCountsAndOffsetsOutsideTheFileLeaveOnlyTheHeader) {
    Patch(model_.Faces + 16, -5);
    EXPECT_EQ(Of(model_.Faces, 1).Extent().Last, model_.Faces + 23);
    Patch(model_.Vertices + 20, 0x7FFFFFF0);
    EXPECT_EQ(Of(model_.Vertices, 3).Extent().Last, model_.Vertices + 23);
    Patch(model_.Vertices + 20, model_.B.StoredOffset(0) - 12);  // payload 12 bytes before 0
    const BlockLayout early = Of(model_.Vertices, 3);
    EXPECT_EQ(KindAt(early, 0), FieldKind::kVertices);  // vertex 1 lies at 0 ... 11
    EXPECT_EQ(early.Extent().First, 0);

    // A block whose header the end of the file cuts: the fields that are there, nothing else.
    std::vector<uint8_t> cut(model_.Bytes.begin(), model_.Bytes.begin() + model_.Lod + 18);
    Load(document_, cut);
    const BlockLayout lod = Of(model_.Lod, 21);
    EXPECT_EQ(lod.Extent().Last, model_.Lod + 17);
    EXPECT_EQ(KindAt(lod, model_.Lod + 17), FieldKind::kElementCount);
    EXPECT_TRUE(Of(model_.Lod + 1000, 21).Spans.empty());
    EXPECT_TRUE(Of(-50, 3).Spans.empty());
}

TEST_F(Layout, GoToOffsetFindsTheInnermostBlockThatOwnsTheByte) {
    EXPECT_EQ(NodeAt(5), 0);                                 // file header
    EXPECT_EQ(NodeAt(model_.B.MeshTablePosition() + 1), 0);  // mesh jump table
    EXPECT_EQ(NodeAt(model_.Faces + 5), NodeOfBlock(model_.Faces));
    EXPECT_EQ(NodeAt(model_.Faces + 24 + 4 + 64 + 50), NodeOfBlock(model_.Faces));
    EXPECT_EQ(NodeAt(model_.Hardpoint + 39), NodeOfBlock(model_.Hardpoint));
    EXPECT_EQ(NodeAt(model_.Root + 24 + 4 * 3), 1);  // a slot of the mesh's root jump block
    EXPECT_EQ(NodeAt(model_.Lod + 36), NodeOfBlock(model_.Lod));
    EXPECT_EQ(NodeAt(model_.Gap + 3), -1);
    EXPECT_EQ(NodeAt(static_cast<int64_t>(model_.Bytes.size())), -1);
    EXPECT_EQ(NodeAt(-1), -1);
}

TEST_F(Layout, EveryNodeOfTheFighterOwnsItsHeader) {
    OptDocument fighter;
    Load(fighter, BuildFighter());
    const auto& table = fighter.Model().BlockTable;
    const int64_t global = fighter.Model().GlobalOffset;
    for (int32_t node = 1; node < fighter.Model().Tree.Count(); ++node) {
        const int64_t p = table[static_cast<size_t>(node)].Offset;
        const int32_t found = FindInnermostBlock(fighter.Stream(), global, table, p + 4);
        ASSERT_GE(found, 0) << node;
        EXPECT_EQ(table[static_cast<size_t>(found)].Offset, p) << node;
    }
}

TEST_F(Layout, ByteDescriptionNamesTheFieldAndDecodesItsValue) {
    const BlockLayout faces = Of(model_.Faces, 1);
    const int64_t payload = model_.Faces + 24;
    ByteDescription count = Byte(faces, model_.Faces + 17);
    EXPECT_EQ(count.Field, "face count");
    EXPECT_EQ(count.Value, "int32 2");
    EXPECT_EQ(count.ValueStart, model_.Faces + 16);

    ByteDescription offset = Byte(faces, model_.Faces + 20);
    EXPECT_EQ(offset.Field, "payload offset");
    EXPECT_EQ(offset.Value, "stored " + std::to_string(payload + Model::kGlobalOffset) +
                                " -> file position " + std::to_string(payload));

    ByteDescription corner = Byte(faces, payload + 4 + 64 + 12);
    EXPECT_EQ(corner.Field, "face 1, corner 3 (vertex indices)");
    EXPECT_EQ(corner.Value, "int32 57");

    EXPECT_EQ(Byte(faces, payload + 4 + 128 + 12 + 8).Field, "face 1, z (face normals)");
    EXPECT_EQ(Byte(faces, payload + 4 + 152 + 16).Field, "face 0, soft vector 2 y (soft vectors)");

    const BlockLayout vertices = Of(model_.Vertices, 3);
    ByteDescription y = Byte(vertices, model_.Vertices + 24 + 6);
    EXPECT_EQ(y.Field, "vertex 0, y (vertices)");
    EXPECT_EQ(y.Value, "single 0.5");

    EXPECT_EQ(Byte(Of(model_.Hardpoint, 22), model_.Hardpoint + 36).Field, "hardpoint position z");

    const BlockLayout lod = Of(model_.Lod, 21);
    EXPECT_EQ(Byte(lod, model_.Lod + 24).Value, "stored 0: an empty slot");
    EXPECT_EQ(Byte(lod, model_.Lod + 24).Field, "slot 1 (slot table)");
    EXPECT_EQ(Byte(lod, model_.Lod + 36).Field, "level 2 (lo-res distances)");

    ByteDescription name = Byte(Of(model_.TexHeader, 20), model_.TexHeader + 30);
    EXPECT_EQ(name.Field, "texture name");
    EXPECT_EQ(name.Value, "\"wood\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\"");
    EXPECT_EQ(name.ValueStart, model_.TexHeader + 24);
    EXPECT_EQ(name.ValueSize, 9);

    // A byte of no field: the raw values from it on.
    ByteDescription loose = Byte(faces, model_.Gap);
    EXPECT_EQ(loose.Field, "");
    EXPECT_EQ(loose.Value, "int32 -286331154, single -3.69731E28");
}

TEST_F(Layout, ByteDescriptionOfAValueTheFileCutsShowsTheBytesThatAreThere) {
    std::vector<uint8_t> cut(model_.Bytes.begin(), model_.Bytes.begin() + model_.Vertices + 26);
    Load(document_, cut);
    const BlockLayout vertices = Of(model_.Vertices, 3);
    ByteDescription x = Byte(vertices, model_.Vertices + 25);
    EXPECT_EQ(x.Field, "vertex 0, x (vertices)");
    EXPECT_EQ(x.ValueSize, 2);
    EXPECT_EQ(x.Value, "bytes 00 00 (the value runs past the end of the file)");
    EXPECT_EQ(Byte(vertices, model_.Vertices + 26).Value, "");
}

// Every byte a block owns names its record and field, and that field's bytes hold it: the hex view
// can go from a byte to its record and from the record back to its bytes.
TEST_F(Layout, EveryOwnedByteLeadsToAFieldWhoseBytesHoldIt) {
    const OptModel& model = document_.Model();
    const auto size = static_cast<int64_t>(model_.Bytes.size());
    int64_t owned = 0;
    for (int64_t offset = 0; offset < size; ++offset) {
        const BytePlace place = PlaceOfByte(document_.Stream(), model, offset);
        if (place.Node < 0) continue;
        ++owned;
        const ByteRange field = RangeOf(document_.Stream(), Model::kGlobalOffset, place.Record);
        ASSERT_TRUE(offset >= field.Begin && offset < field.End) << offset;
        EXPECT_EQ(field.Begin, place.FieldStart) << offset;
    }
    EXPECT_EQ(owned, size - 8 - 4);  // all but the gap and the unread payload of type 2

    // Face 1's fourth vertex index: its record, field and value, and the record's bytes.
    const int64_t corner = model_.Faces + 24 + 4 + 64 + 12;
    const BytePlace place = PlaceOfByte(document_.Stream(), model, corner + 2);
    EXPECT_EQ(place.Node, NodeOfBlock(model_.Faces));
    EXPECT_EQ(place.Record, (RecordRef{model_.Faces, 1, 2, 1, 0}));
    EXPECT_EQ(place.Part, 3);
    EXPECT_EQ(place.Field()->Name, "vertexIndices");
    const ByteRange record =
        RangeOf(document_.Stream(), Model::kGlobalOffset, FaceRecordRef(model_.Faces, 1));
    EXPECT_EQ(record.Begin, corner - 12);
    EXPECT_EQ(record.Size(), 64);

    // A header field of the file header; records the region does not have lead nowhere.
    EXPECT_EQ(PlaceOfByte(document_.Stream(), model, 15).Field()->Name, "meshCount");
    EXPECT_TRUE(
        RangeOf(document_.Stream(), Model::kGlobalOffset, FaceRecordRef(model_.Faces, 2)).Empty());
    EXPECT_TRUE(
        RangeOf(document_.Stream(), Model::kGlobalOffset, FaceRecordRef(model_.Faces, -1)).Empty());
}

// A vertex index leads to the vertex record the open gave the corner; an index that names a
// vertex no block wrote, or none, leads nowhere.
TEST_F(Layout, ACornersIndexLeadsToTheRecordItTook) {
    const OptStream& stream = document_.Stream();
    const RecordRef first = FaceRecordRef(model_.Faces, 0);
    EXPECT_EQ(CornerTarget(stream, first, 0, 1, CornerTable::kVertices),
              (RecordRef{model_.Vertices, 3, 1, 1, -1}));
    EXPECT_EQ(CornerTarget(stream, first, 0, 1, CornerTable::kVertexNormals),
              (RecordRef{model_.Normals, 11, 1, 1, -1}));
    EXPECT_EQ(CornerTarget(stream, first, 0, 3, CornerTable::kVertices), std::nullopt);  // -1
    // Face 1's first corner names vertex 2 of a block of two.
    EXPECT_EQ(CornerTarget(stream, FaceRecordRef(model_.Faces, 1), -1, 0, CornerTable::kVertices),
              std::nullopt);
    EXPECT_EQ(CornerTarget(stream, first, 1, 1, CornerTable::kVertices), std::nullopt);  // mesh 1
}

}  // namespace
}  // namespace vexlor::testing
