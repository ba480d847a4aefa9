// The walk over built files: tree labels and images, the BlockTable tied to the tree, levels of
// detail, the draw tables, and the rules for empty slots, texture headers and unknown types.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace vexlor::testing {
namespace {

std::string N(int64_t value) {
    return std::to_string(value);
}

FaceInput Quad(int32_t a, int32_t b, int32_t c, int32_t d) {
    FaceInput f;
    f.Vertex = {a, b, c, d};
    return f;
}
FaceInput Triangle(int32_t a, int32_t b, int32_t c) {
    FaceInput f;
    f.Vertex = {a, b, c, -1};
    return f;
}

const std::vector<V3> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

// One mesh that exercises every branch of the walk.
struct MixedMesh {
    OptBuilder b{0x1000};
    int64_t vertices, faces0, lodA, faces1, lodB, fgInLod, lod, descriptor, hardpoint, texHeader,
        texPointer, fgTop, unknown, root;

    MixedMesh() {
        vertices = b.AddVertices(kSquare);
        faces0 = b.AddFaces({Quad(0, 1, 2, 3), Triangle(0, 1, 2)});
        lodA = b.AddJump(0, {vertices, faces0});
        faces1 = b.AddFaces({Triangle(1, 2, 3)});
        lodB = b.AddJump(0, {faces1});
        fgInLod = b.AddJump(24, {});
        lod = b.AddLod({lodA, 0, lodB, fgInLod}, {10, 20, 30, 40});
        descriptor = b.AddMeshDescriptor({});
        hardpoint = b.AddHardpoint(5, {10, 0, -4});
        texHeader = b.AddTexHeader("wood", {0});
        texPointer = b.AddTexHeaderPointer(b.TextureNamePosition(texHeader));
        b.SetSlot(texHeader, 0, texPointer);
        fgTop = b.AddJump(24, {});
        unknown = b.AddDataBlock(2, 0, {});
        root = b.AddJump(0, {descriptor, lod, hardpoint, texHeader, fgTop, unknown});
        b.SetMeshes({root});
    }
};

TEST(Walk, BuildsTheTreeInPreOrderWithLabelsImagesAndBlockEntries) {
    MixedMesh m;
    OptDocument document;
    Load(document, m.b.Build());
    const OptModel& store = document.Model();

    struct Expected {
        int32_t parent;
        std::string label;
        int32_t image;
        int64_t offset;
        int32_t type;
    };
    const std::vector<Expected> expected = {
        {-1, "OPTfile", 0, 6, 0},
        {0, "Mesh0", 0, m.root, 0},
        {1, "Data block 25 at " + N(m.descriptor), 0, m.descriptor, 25},
        {1, "Jumptype 21 at offset " + N(m.lod), 1, m.lod, 21},
        {3, "Jumptype 0 at offset " + N(m.lodA) + ", curLOD is 1", 1, m.lodA, 0},
        {4, "Data block 3 at " + N(m.vertices), 0, m.vertices, 3},
        {4, "Data block 1 at " + N(m.faces0), 2, m.faces0, 1},
        {3, "Jumptype 0 at offset " + N(m.lodB) + ", curLOD is 3", 1, m.lodB, 0},
        {7, "Data block 1 at " + N(m.faces1), 2, m.faces1, 1},
        {3, "Jumptype 24 at offset " + N(m.fgInLod) + ", curLOD is 4", 1, m.fgInLod, 24},
        {1, "Data block 22 at " + N(m.hardpoint), 3, m.hardpoint, 22},
        {1, "Jumptype 20 at offset " + N(m.texHeader), 1, m.texHeader, 20},
        {11, "Data block 7 at " + N(m.texPointer), 0, m.texPointer, 7},
        {1, "Jumptype 24 at offset " + N(m.fgTop) + ", FG textures!", 1, m.fgTop, 24},
        {1, "Data block 2 at " + N(m.unknown), 0, m.unknown, 2},
    };
    ASSERT_EQ(store.Tree.Count(), static_cast<int32_t>(expected.size()));
    ASSERT_EQ(store.BlockTable.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        const TreeNode& node = store.Tree.Node(static_cast<int32_t>(k));
        EXPECT_EQ(node.Parent, expected[k].parent) << k;
        EXPECT_EQ(node.Label, expected[k].label) << k;
        EXPECT_EQ(node.ImageIndex, expected[k].image) << k;
        EXPECT_EQ(store.BlockTable[k].Offset, expected[k].offset) << k;
        EXPECT_EQ(store.BlockTable[k].Type, expected[k].type) << k;
        EXPECT_EQ(store.BlockTable[k].Mesh, 0) << k;
    }
}

TEST(Walk, TagsFacesWithTheLevelOfDetailCountingEmptySlots) {
    MixedMesh m;
    OptDocument document;
    Load(document, m.b.Build());
    const OptModel& store = document.Model();
    ASSERT_EQ(static_cast<int64_t>(store.DrawFaces.size()), 3);
    EXPECT_EQ(store.DrawFaces[0].Lod, 1);
    EXPECT_EQ(store.DrawFaces[1].Lod, 1);
    EXPECT_EQ(store.DrawFaces[2].Lod, 3);  // the empty second slot still counted
}

TEST(Walk, ResolvesTrianglesByRepeatingTheThirdCorner) {
    MixedMesh m;
    OptDocument document;
    Load(document, m.b.Build());
    const DrawFace& quad = document.Model().DrawFaces[0];
    const DrawFace& triangle = document.Model().DrawFaces[1];
    EXPECT_EQ(quad.IsQuad, 1);
    EXPECT_EQ(quad.Corners[3].Y, 1.0f);
    EXPECT_EQ(triangle.IsQuad, 0);
    EXPECT_EQ(triangle.Corners[3].X, 1.0f);
    EXPECT_EQ(triangle.Corners[3].Y, 1.0f);
}

TEST(Walk, ReportsTexHeaderChildrenBeforeItsNameAndEmptySlots) {
    MixedMesh m;
    OptDocument document;
    Load(document, m.b.Build());
    const std::vector<std::string> lines = ReportLines(document);
    const auto at = [&](const std::string& text) {
        return std::find(lines.begin(), lines.end(), text) - lines.begin();
    };
    const auto found = at(" Found JUMP BLOCK type 20 at offset " + N(m.texHeader));
    const auto pointer = at("TEX HEADER POINTER block (07) at offset " + N(m.texPointer));
    const auto header = at("TEX HEADER block (20) at offset " + N(m.texHeader));
    EXPECT_LT(found, pointer);
    EXPECT_LT(pointer, header);
    EXPECT_LT(header, static_cast<long>(lines.size()));
    EXPECT_LT(at("       Jump address 2 is null"), static_cast<long>(lines.size()));
    EXPECT_FALSE(Contains(lines, "Found DATA BLOCK"));  // list-only lines stay out of the file
}

TEST(Walk, SkipsAJumpBlockWithNoChildrenSilently) {
    OptBuilder b;
    const int64_t empty = b.AddJump(0, {});
    const int64_t negative = b.AddJump(0, {empty});
    const int64_t root = b.AddJump(0, {empty, negative});
    b.SetMeshes({root, empty});
    std::vector<uint8_t> bytes = b.Build();
    OptBuilder::PatchInt32(bytes, negative + 8, -3);
    OptDocument document;
    Load(document, bytes);
    const std::vector<std::string> lines = ReportLines(document);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("  Processing"); }),
              1);
    EXPECT_EQ(document.Model().Tree.Count(), 5);  // root, Mesh0, two jump nodes, Mesh1
}

TEST(Walk, AFileWithNoMeshesWritesOnlyTheHeaderLines) {
    OptBuilder b(-8);  // global offset field 0
    OptDocument document;
    Load(document, b.Build());
    const std::vector<std::string> lines = ReportLines(document);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "Global Offset (adjusted) =-8 ,FileSize =22");
    EXPECT_EQ(lines[2], " NumJumps, jumpToJumps:0 , 8");
    EXPECT_EQ(document.Model().Tree.Count(), 1);
}

TEST(Walk, NumbersMeshesAndDrawEntriesAcrossMeshes) {
    OptBuilder b;
    std::vector<int64_t> roots;
    for (int mesh = 0; mesh < 2; ++mesh) {
        std::vector<FaceInput> faces(10, Quad(0, 1, 2, 3));
        const int64_t v = b.AddVertices(kSquare);
        const int64_t f = b.AddFaces(faces);
        roots.push_back(b.AddJump(0, {v, f}));
    }
    b.SetMeshes(roots);
    OptDocument document;
    Load(document, b.Build());
    const OptModel& store = document.Model();
    ASSERT_EQ(static_cast<int64_t>(store.DrawFaces.size()), 20);
    EXPECT_EQ(store.DrawFaces[9].Mesh, 0);
    EXPECT_EQ(store.DrawFaces[10].Mesh, 1);
    EXPECT_EQ(store.Tree.Node(0).Children.size(), 2u);
    EXPECT_EQ(store.Tree.Node(store.Tree.Node(0).Children[1]).Label, "Mesh1");
}

TEST(Walk, OpeningASmallerModelBoundsTheDrawnFaces) {
    OptDocument document;
    MixedMesh big;
    Load(document, big.b.Build());
    OptBuilder small;
    const int64_t v = small.AddVertices(kSquare);
    small.SetMeshes({small.AddJump(0, {v, small.AddFaces({Quad(0, 1, 2, 3)})})});
    Load(document, small.Build());
    EXPECT_EQ(static_cast<int64_t>(document.Model().DrawFaces.size()), 1);
}

// A corner whose index lies beyond the vertices of its mesh takes what the tables hold there: what
// this file's own open left, never what another file or a chosen block put there before.
TEST(Walk, WhatAFileReportsDependsOnTheFileAloneNotOnWhatWasReadBefore) {
    OptBuilder other;
    const int64_t many = other.AddVertices(std::vector<V3>(10, V3{7, 7, 7}));
    other.SetMeshes({other.AddJump(0, {many})});
    OptBuilder b;
    const int64_t v = b.AddVertices(kSquare);
    b.SetMeshes({b.AddJump(0, {v, b.AddFaces({Quad(0, 1, 2, 5)})})});

    OptDocument fresh;
    Load(fresh, b.Build());
    OptDocument reused;
    Load(reused, other.Build());
    DisplayLines(reused, 2);  // the vertex block of 10
    Load(reused, b.Build());
    DisplayLines(reused, 2);  // this file's vertex block
    EXPECT_EQ(ReportBytes(reused), ReportBytes(fresh));
    EXPECT_EQ(PrjBytes(reused), PrjBytes(fresh));
    EXPECT_EQ(reused.Model().DrawFaces.back().Corners[3].X, 0.0f);
}

// Notes each event of a walk as a line.
class RecordingObserver : public WalkObserver {
  public:
    void MeshStarted(int32_t mesh, int64_t position) override {
        events.push_back("mesh " + N(mesh) + " at " + N(position));
    }
    void LodBlockEntered(const WalkPlace& place, int64_t position,
                         const std::vector<float>& distances) override {
        std::string line = At(place) + "levels at " + N(position) + ":";
        for (const float d : distances)
            line += " " + N(static_cast<int64_t>(d));
        events.push_back(line);
    }
    void TextureNamed(const WalkPlace& place, int64_t position, const std::string& name) override {
        events.push_back(At(place) + "texture " + name.substr(0, name.find('\0')) + " at " +
                         N(position));
    }
    void FacesRead(const WalkPlace& place, int64_t position, const MeshTables& tables,
                   int64_t first, int64_t count) override {
        std::string line = At(place) + "faces " + N(first) + "+" + N(count) + " at " + N(position);
        for (int64_t k = first; k < first + count; ++k)
            line += " " + N(tables.FaceTable[static_cast<size_t>(k)].VertexIndex[3]);
        events.push_back(line);
    }
    void HardpointRead(const WalkPlace& place, int64_t, const HardpointRecord& h) override {
        events.push_back(At(place) + "hardpoint " + N(h.Type));
    }
    void DescriptorRead(const WalkPlace& place, int64_t, const MeshDescriptorRecord&) override {
        events.push_back(At(place) + "descriptor");
    }
    std::vector<std::string> events;

  private:
    static std::string At(const WalkPlace& place) {
        return "  " + N(place.Mesh) + "/" + N(place.Lod) + " ";
    }
};

TEST(Walk, AnObserverIsToldWhatTheWalkReadsWhereItReadsIt) {
    MixedMesh m;
    OptDocument document;
    Load(document, m.b.Build());
    RecordingObserver observer;
    document.Observe(observer);
    const std::vector<std::string> expected{
        "mesh 0 at " + N(m.root),
        "  0/1 descriptor",
        "  0/1 levels at " + N(m.lod) + ": 10 20 30 40",
        "  0/1 faces 0+2 at " + N(m.faces0) + " 3 -1",
        "  0/3 faces 2+1 at " + N(m.faces1) + " -1",  // the empty second slot still counted
        "  0/5 hardpoint 5",
        "  0/5 texture wood at " + N(m.texPointer),  // the pointer below the header comes first
        "  0/5 texture wood at " + N(m.texHeader),
    };
    EXPECT_EQ(observer.events, expected);
}

}  // namespace
}  // namespace vexlor::testing
