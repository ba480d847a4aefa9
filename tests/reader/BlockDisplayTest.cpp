// What choosing a tree node shows: the report of that one block, line for line, the markers
// that hardpoints and mesh descriptors set, and the record each line shows.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "reader/FormatSchema.h"
#include "reader/RecordPlaces.h"

namespace vexlor::testing {
namespace {

using Lines = std::vector<std::string>;
std::string N(int64_t value) {
    return std::to_string(value);
}
const std::string kZeros(5, '\0');

struct Blocks {
    static constexpr int32_t kGlobalOffset = 0x2000;
    OptBuilder b{kGlobalOffset};
    int64_t vertices, normals, texVerts, faces, hardpoint, descriptor, texHeader, texPointer, fg,
        lod, root;
    std::vector<uint8_t> bytes;

    Blocks() {
        vertices = b.AddVertices({{1, 0.5f, -2}, {0, 0, 0}});
        normals = b.AddVertexNormals({{0, 0, 1}, {0, 0.6f, -0.8f}});
        texVerts = b.AddTextureVertices({{0.25f, 1}, {0.5f, 0}});
        FaceInput face;
        face.Vertex = {0, 1, 2, -1};
        face.Edge = {1, 2, 3, 4};
        face.TextureVertex = {5, 6, 7, -1};
        face.VertexNormal = {0, 1, 0, -1};
        face.Normal = {0, 0, -1};
        face.Soft1 = {1, 0, 0};
        face.Soft2 = {0, 1, 0};
        faces = b.AddFaces({face});
        hardpoint = b.AddHardpoint(5, {10, 0, -4});
        MeshDescriptorInput d;
        d.MeshType = 77;
        d.Unknown = 1234;
        d.Span = {1.5f, 2, 3};
        d.Centre = {0, 1, -2.25f};
        d.Minima = {-0.75f, 0, -3.75f};
        d.Maxima = {0.75f, 2, -0.75f};
        d.TargetGroup = 3;
        d.TargetCentre = {0, 0.5f, 0};
        descriptor = b.AddMeshDescriptor(d);
        texHeader = b.AddTexHeader("wood");
        texPointer = b.AddTexHeaderPointer(b.TextureNamePosition(texHeader));
        fg = b.AddJump(24, {});
        lod = b.AddLod({0, fg}, {100.5f, 0.001f});
        root = b.AddJump(0, {vertices, normals, texVerts, faces, hardpoint, descriptor, texHeader,
                             texPointer, lod});
        b.SetMeshes({root});
        bytes = b.Build();
    }
};

class BlockDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        document.Names().HardpointTypeNames[5] = "Ion cannon";
        Load(document, blocks.bytes);
    }
    Blocks blocks;
    OptDocument document;
};

TEST_F(BlockDisplay, TreeNodesAreTheBlocksInSlotOrder) {
    const OptModel& model = document.Model();
    ASSERT_EQ(model.Tree.Count(), 12);
    EXPECT_EQ(model.Tree.Node(10).Label, "Jumptype 21 at offset " + N(blocks.lod));
    EXPECT_EQ(model.Tree.Node(11).Label, "Jumptype 24 at offset " + N(blocks.fg) + ", curLOD is 2");
}

TEST_F(BlockDisplay, RootListsTheMeshJumpTable) {
    const int64_t table = blocks.b.MeshTablePosition();
    EXPECT_EQ(
        DisplayLines(document, 0),
        (Lines{"This block is in MESH 0", "  Jump block with 1 jumps at offset 6",
               "       Jump pointer 1 at offset " + N(table) + " is to offset " + N(blocks.root)}));
}

TEST_F(BlockDisplay, VertexBlock) {
    EXPECT_EQ(
        DisplayLines(document, 2),
        (Lines{"This block is in MESH 0", "", "VERTEX block (03) at offset " + N(blocks.vertices),
               "Number of vertices this mesh is 2", "", "   vertex 0 : XYZ is 1 , 0.5 , -2",
               "   vertex 1 : XYZ is 0 , 0 , 0"}));
}

TEST_F(BlockDisplay, VertexNormalBlock) {
    EXPECT_EQ(DisplayLines(document, 3),
              (Lines{"This block is in MESH 0", "",
                     "VERTEX NORMAL block (11) at offset " + N(blocks.normals), "",
                     "Number of vertex normals this mesh is 2", "   vertex normal 0 : 0 , 0 , 1",
                     "   vertex normal 1 : 0 , 0.6 , -0.8"}));
}

TEST_F(BlockDisplay, TextureVertexBlock) {
    EXPECT_EQ(DisplayLines(document, 4),
              (Lines{"This block is in MESH 0", "",
                     "TEXTURE VERTEX block (13) at offset " + N(blocks.texVerts), "",
                     "Number of texture vertices this mesh is 2", "   texture vertex 0 : 0.25 , 1",
                     "   texture vertex 1 : 0.5 , 0"}));
}

TEST_F(BlockDisplay, FaceBlockNumbersFacesFromTheBlockStart) {
    EXPECT_EQ(DisplayLines(document, 5),
              (Lines{"This block is in MESH 0",
                     "",
                     "NB face numbers are from start of block only",
                     "",
                     "FACE block (01) at offset " + N(blocks.faces),
                     "",
                     "Number of faces this block is 1",
                     "-------------------------------------------------------",
                     "FACE 0",
                     "",
                     "   face 0 vert indices are      0 , 1 , 2 , -1",
                     "   face 0 edge indices are      1 , 2 , 3 , 4",
                     "   face 0 tex.vert indices are  5 , 6 , 7 , -1",
                     "   face 0 vert norm indices are 0 , 1 , 0 , -1",
                     "",
                     "  Face Normal is: 0 , 0 , -1",
                     "",
                     "  Softvector 1 is: 1 , 0 , 0",
                     "  Softvector 2 is: 0 , 1 , 0",
                     ""}));
}

TEST_F(BlockDisplay, HardpointGivesItsLinesAndItsTypeAndPositionToTheView) {
    EXPECT_EQ(
        DisplayLines(document, 6),
        (Lines{"This block is in MESH 0", "",
               "HARDPOINT block (22) at offset " + N(blocks.hardpoint), "",
               "   hardpoint type is 5 : Ion cannon", "", "   hardpoint co-ords are 10 , 0 , -4"}));
    std::vector<std::string> lines;
    const std::optional<ShownBlock> shown = document.DisplayBlock(6, lines);
    ASSERT_TRUE(shown && shown->Hardpoint);
    EXPECT_FALSE(shown->Descriptor);
    EXPECT_EQ(shown->Hardpoint->Type, 5);
    EXPECT_EQ(shown->Hardpoint->Position.X, 10.0f);
    EXPECT_EQ(shown->Hardpoint->Position.Z, -4.0f);

    const std::optional<ShownBlock> vertices = document.DisplayBlock(2, lines);
    ASSERT_TRUE(vertices);
    EXPECT_FALSE(vertices->Hardpoint || vertices->Descriptor);
}

TEST_F(BlockDisplay, MeshDescriptorLinesAndMarkerBox) {
    EXPECT_EQ(DisplayLines(document, 7),
              (Lines{"This block is in MESH 0", "",
                     "MESH DESCRIPTOR block (25) at offset " + N(blocks.descriptor), "",
                     "   Mesh type is 77 : (unknown type)", "", "   Unknown longint is 1234", "",
                     // "%20s %10f %4s %10f %4s %10f" with " , " between the numbers: a
                     // space, "  , " and a space, so three spaces, a comma and two spaces.
                     "      X,Y,Z span is:       1.50   ,        2.00   ,        3.00",
                     "    X,Y,Z centre is:       0.00   ,        1.00   ,       -2.25",
                     "   X,Y,Z minima are:      -0.75   ,        0.00   ,       -3.75",
                     "   X,Y,Z maxima are:       0.75   ,        2.00   ,       -0.75", "", "",
                     "Target group type is: 3",
                     " Target box centre :       0.00   ,        0.50   ,        0.00"}));
    // The saved report writes the same lines.
    EXPECT_TRUE(Contains(ReportLines(document),
                         "      X,Y,Z span is:       1.50   ,        2.00   ,        3.00"));
    std::vector<std::string> lines;
    const std::optional<ShownBlock> shown = document.DisplayBlock(7, lines);
    ASSERT_TRUE(shown && shown->Descriptor);
    EXPECT_FALSE(shown->Hardpoint);
    EXPECT_EQ(shown->Descriptor->Span.X, 1.5f);
    EXPECT_EQ(shown->Descriptor->Centre.Z, -2.25f);
    EXPECT_EQ(shown->Descriptor->TargetGroup, 3);
}

TEST_F(BlockDisplay, TextureNamesKeepAllNineCharacters) {
    const int64_t name = blocks.b.TextureNamePosition(blocks.texHeader);
    EXPECT_EQ(DisplayLines(document, 8),
              (Lines{"This block is in MESH 0", "",
                     "TEX HEADER block (20) at offset " + N(blocks.texHeader), "",
                     "Header name is wood" + kZeros}));
    EXPECT_EQ(DisplayLines(document, 9),
              (Lines{"This block is in MESH 0", "",
                     "TEX HEADER POINTER block (07) at offset " + N(blocks.texPointer), "",
                     "points to tex wood" + kZeros + " at offset " + N(name)}));
}

TEST_F(BlockDisplay, LevelOfDetailBlockListsSlotsAndDistances) {
    const int64_t p = blocks.lod;
    const int64_t table = OptBuilder::ReadInt32(blocks.bytes, p + 12) - Blocks::kGlobalOffset;
    const int64_t distances = OptBuilder::ReadInt32(blocks.bytes, p + 20) - Blocks::kGlobalOffset;
    EXPECT_EQ(
        DisplayLines(document, 10),
        (Lines{"This block is in MESH 0", "",
               "  Jump block type 21 with 2 jumps (Levels of Detail) at offset " + N(p),
               "       Jump pointer 1 at offset " + N(table) + " is null",
               "       Jump pointer 2 at offset " + N(table + 4) + " is to offset " + N(blocks.fg),
               "", "  Num detail levels is 2 at offset " + N(p + 16),
               "   Lo-res dist for level 1 is 100.5 at offset " + N(distances),
               "   Lo-res dist for level 2 is 0.001 at offset " + N(distances + 4)}));
}

TEST_F(BlockDisplay, TypeTwentyFourShowsOnlyItsMesh) {
    EXPECT_EQ(DisplayLines(document, 11), (Lines{"This block is in MESH 0"}));
}

TEST_F(BlockDisplay, ANodeThatDoesNotExistIsRefused) {
    std::vector<std::string> lines;
    EXPECT_FALSE(document.DisplayBlock(12, lines));
    EXPECT_FALSE(document.DisplayBlock(-1, lines));
    EXPECT_TRUE(lines.empty());
}

// A line that shows a record or field leads to its bytes, and a byte leads back to its line.
TEST_F(BlockDisplay, EachLineLeadsToTheRecordItShowsAndBack) {
    const OptStream& stream = document.Stream();
    const int64_t global = Blocks::kGlobalOffset;
    std::vector<std::string> lines;
    ReportLineMap map;
    document.DisplayBlock(5, lines, &map);  // the face block
    const int64_t p = blocks.faces;
    const int64_t record = OptBuilder::ReadInt32(blocks.bytes, p + 20) - global + 4;
    EXPECT_EQ(map.RecordOfLine(0), std::nullopt);                // "This block is in MESH 0"
    EXPECT_EQ(map.RecordOfLine(6), (RecordRef{p, 1, 0, 0, 4}));  // the face count
    const std::optional<RecordRef> edges = map.RecordOfLine(11);
    ASSERT_EQ(edges, (RecordRef{p, 1, 2, 0, 1})) << lines[11];
    EXPECT_EQ(RangeOf(stream, global, *edges).Begin, record + 16);
    EXPECT_EQ(RangeOf(stream, global, *map.RecordOfLine(18)).Begin, record + 64 + 12 + 12);
    EXPECT_EQ(map.LineOfRecord(FaceRecordRef(p, 0)), 7);
    const BytePlace normal = PlaceOfByte(stream, document.Model(), record + 64 + 5);
    EXPECT_EQ(lines[static_cast<size_t>(*map.LineOfRecord(normal.Record))],
              "  Face Normal is: 0 , 0 , -1");

    ReportLineMap descriptor;
    lines.clear();
    document.DisplayBlock(7, lines, &descriptor);
    const ByteRange minima = RangeOf(stream, global, *descriptor.RecordOfLine(10));
    EXPECT_EQ(minima.Begin,
              OptBuilder::ReadInt32(blocks.bytes, blocks.descriptor + 20) - global + 32);
    EXPECT_EQ(minima.Size(), 12);

    ReportLineMap root;
    lines.clear();
    document.DisplayBlock(0, lines, &root);
    EXPECT_EQ(RangeOf(stream, global, *root.RecordOfLine(2)).Begin, blocks.b.MeshTablePosition());

    // In the full report the face's detail lines show it too.
    ReportLineMap full;
    MemoryOutput bytes;
    CrLfLineOutput report(bytes);
    document.WriteReport(report, "caption", &full);
    const std::vector<std::string> all = ReportLines(document);
    size_t details = 0;
    while (details < all.size() && all[details] != "MESH 0: Texture ??,  FACE 0 DETAILS:")
        ++details;
    EXPECT_EQ(full.RecordOfLine(static_cast<int64_t>(details)), FaceRecordRef(p, 0));
}

TEST(BlockDisplayBeforeOpen, ShowsNothing) {
    // The window says "?? no opt loaded!" itself.
    OptDocument document;
    EXPECT_EQ(DisplayLines(document, 0), (Lines{"<no such node>"}));
}

}  // namespace
}  // namespace vexlor::testing
