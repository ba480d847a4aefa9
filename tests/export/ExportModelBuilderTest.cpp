// The export model of built OPT files, as one walk over the open file gives it: meshes and their
// types, levels of detail with their distances, the texture in force for each face block, the
// corners with their vertex normals and texture vertices, bad vertex indices, hardpoints and
// descriptors, and the fighter sample against the open's own draw tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/ExportModelBuilder.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

FaceInput Face(std::array<int32_t, 4> vertex, std::array<int32_t, 4> normal = {-1, -1, -1, -1},
               std::array<int32_t, 4> uv = {-1, -1, -1, -1}) {
    FaceInput f;
    f.Vertex = vertex;
    f.VertexNormal = normal;
    f.TextureVertex = uv;
    f.Normal = {0, 0, 1};
    return f;
}

const std::vector<V3> kSquare = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};

ExportModel Built(const std::vector<uint8_t>& bytes, OptDocument& document) {
    document.OpenBytes(bytes, "model.opt");
    return BuildExportModel(document);
}

ExportModel Built(const std::vector<uint8_t>& bytes) {
    OptDocument document;
    return Built(bytes, document);
}

std::vector<std::optional<std::string>> Textures(const ExportLevel& level) {
    std::vector<std::optional<std::string>> textures;
    for (const ExportFaceBlock& block : level.FaceBlocks)
        textures.push_back(block.Texture);
    return textures;
}

bool Same(const Vec3& a, const Vec3& b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

TEST(ExportFace, HoldsFourCornersAndRefusesAFifth) {
    ExportFace face;
    face.Corners = {ExportCorner{{1, 2, 3}, {}, {}}, ExportCorner{{4, 5, 6}, Vec3{0, 0, 1}, {}}};
    face.Corners.emplace_back().Position = {7, 8, 9};
    face.Corners.resize(4);
    const ExportFace copy = face;
    ASSERT_EQ(copy.Corners.size(), 4u);
    EXPECT_TRUE(Same(copy.Corners[2].Position, {7, 8, 9}));
    EXPECT_TRUE(Same(copy.Corners[3].Position, {0, 0, 0}));  // added by resize: a new corner
    EXPECT_FALSE(copy.Corners[3].Normal);
    EXPECT_TRUE(Same(*copy.Corners[1].Normal, {0, 0, 1}));
    EXPECT_THROW(face.Corners.emplace_back(), std::length_error);
    face.Corners.clear();
    EXPECT_TRUE(face.Corners.empty());
}

TEST(ExportModelBuilder, NothingLoadedGivesAnEmptyModel) {
    OptDocument document;
    const ExportModel model = BuildExportModel(document);
    EXPECT_TRUE(model.Meshes.empty());
    EXPECT_TRUE(model.Warnings.empty());
}

TEST(ExportModelBuilder, LevelsAreTheWalksWithTheDistancesOfTheirType21Block) {
    OptBuilder b;
    const int64_t vertices = b.AddVertices(kSquare);
    const int64_t one = b.AddJump(0, {vertices, b.AddFaces({Face({0, 1, 2, 3})})});
    const int64_t three = b.AddJump(0, {b.AddFaces({Face({0, 1, 2, -1}), Face({0, 2, 3, -1})})});
    // The second slot is empty: its level is counted, holds no faces and is left out.
    const int64_t lod = b.AddLod({one, 0, three}, {900.5f, 300, 100});
    MeshDescriptorInput hull;
    hull.MeshType = 1;
    MeshDescriptorInput second;
    second.MeshType = 4;
    const int64_t root0 =
        b.AddJump(0, {b.AddMeshDescriptor(hull), lod, b.AddMeshDescriptor(second)});
    // A mesh without a type-21 block: all of its faces are level 1, without a distance.
    const int64_t root1 = b.AddJump(0, {b.AddVertices(kSquare), b.AddFaces({Face({0, 1, 2, 3})}),
                                        b.AddFaces({Face({3, 2, 1, 0})})});
    b.SetMeshes({root0, root1});

    OptDocument document;
    document.Names().MeshTypeNames[1] = "Main hull";
    const ExportModel model = Built(b.Build(), document);
    ASSERT_EQ(model.Meshes.size(), 2u);
    const ExportMesh& first = model.Meshes[0];
    EXPECT_EQ(first.Index, 0);
    EXPECT_EQ(first.TypeCode, 1);  // the first descriptor's
    EXPECT_EQ(first.TypeName, "Main hull");
    ASSERT_EQ(first.Levels.size(), 2u);
    EXPECT_EQ(first.Levels[0].Number, 1);
    EXPECT_EQ(first.Levels[0].Distance, 900.5f);
    EXPECT_EQ(first.Levels[0].FaceBlocks.size(), 1u);
    EXPECT_EQ(first.Levels[1].Number, 3);
    EXPECT_EQ(first.Levels[1].Distance, 100.0f);
    ASSERT_EQ(first.Levels[1].FaceBlocks.size(), 1u);
    EXPECT_EQ(first.Levels[1].FaceBlocks[0].Faces.size(), 2u);
    ASSERT_EQ(first.Descriptors.size(), 2u);
    EXPECT_EQ(first.Descriptors[1].TypeName, "");  // no name in the table for 4

    const ExportMesh& second_ = model.Meshes[1];
    EXPECT_EQ(second_.Index, 1);
    EXPECT_FALSE(second_.TypeCode);
    ASSERT_EQ(second_.Levels.size(), 1u);
    EXPECT_EQ(second_.Levels[0].Number, 1);
    EXPECT_FALSE(second_.Levels[0].Distance);
    EXPECT_EQ(second_.Levels[0].FaceBlocks.size(), 2u);
    EXPECT_EQ(model.FaceCount(), 5);
    EXPECT_TRUE(model.Warnings.empty());
}

TEST(ExportModelBuilder, AFaceBlockHasTheLastTextureMetBeforeItInItsLevel) {
    OptBuilder b;
    const int64_t vertices = b.AddVertices(kSquare);
    const auto faces = [&] { return b.AddFaces({Face({0, 1, 2, 3})}); };
    // Mesh 0: a texture at the root before the type-21 block counts for level 1; in level 1 a
    // header, faces, a pointer to another header's name, faces; level 2 has a texture after its
    // faces only, level 3 none: neither inherits level 1's.
    const int64_t rootTexture = b.AddTexHeader("Root");
    const int64_t canopy = b.AddTexHeader(std::string("Canopy\0xy", 9));
    const int64_t plate = b.AddTexHeader("HullPlate");  // nine characters, no zero byte
    const int64_t firstFaces = faces();
    const int64_t one = b.AddJump(0, {vertices, plate, firstFaces, 0, 0});
    b.SetSlot(one, 3, b.AddTexHeaderPointer(b.TextureNamePosition(canopy)));
    b.SetSlot(one, 4, faces());
    const int64_t two = b.AddJump(0, {faces(), b.AddTexHeader("Late")});
    const int64_t three = b.AddJump(0, {faces()});
    const int64_t lod = b.AddLod({one, two, three}, {3, 2, 1});
    const int64_t plainFaces = faces();
    const int64_t root0 = b.AddJump(0, {rootTexture, plainFaces, lod});
    // Mesh 1: textures do not carry over from mesh 0.
    const int64_t root1 = b.AddJump(0, {faces()});
    b.SetMeshes({root0, root1});

    const ExportModel model = Built(b.Build());
    ASSERT_EQ(model.Meshes.size(), 2u);
    const ExportMesh& mesh = model.Meshes[0];
    ASSERT_EQ(mesh.Levels.size(), 3u);
    using T = std::vector<std::optional<std::string>>;
    EXPECT_EQ(Textures(mesh.Levels[0]), (T{"Root", "HullPlate", "Canopy"}));
    EXPECT_EQ(mesh.Levels[0].FaceBlocks[1].Offset, firstFaces);
    EXPECT_EQ(Textures(mesh.Levels[1]), (T{std::nullopt}));
    EXPECT_EQ(Textures(mesh.Levels[2]), (T{std::nullopt}));
    EXPECT_EQ(Textures(model.Meshes[1].Levels[0]), (T{std::nullopt}));
}

TEST(ExportModelBuilder, CornersTakeTheirVertexNormalAndTextureVertexWhenTheIndexNamesOne) {
    OptBuilder b;
    const int64_t vertices = b.AddVertices({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}});
    const int64_t normals = b.AddVertexNormals({{0, 0, 1}, {0, 1, 0}});
    const int64_t uv = b.AddTextureVertices({{0.25f, 0.75f}, {0.5f, 1}});
    FaceInput quad = Face({0, 1, 2, 3}, {1, -1, 2000, 2001}, {1, 2, -3, 0});
    quad.Normal = {0, 0, -1};
    const FaceInput triangle = Face({3, 2, 1, -1}, {0, 0, 0, -1}, {0, 0, 0, 0});
    const int64_t root = b.AddJump(0, {vertices, normals, uv, b.AddFaces({quad, triangle})});
    b.SetMeshes({root});

    const ExportModel model = Built(b.Build());
    ASSERT_EQ(model.FaceCount(), 2);
    const ExportFaceBlock& block = model.Meshes[0].Levels[0].FaceBlocks[0];
    const ExportFace& q = block.Faces[0];
    ASSERT_EQ(q.Corners.size(), 4u);
    EXPECT_TRUE(Same(q.Normal, {0, 0, -1}));
    EXPECT_TRUE(Same(q.Corners[0].Position, {1, 2, 3}));
    EXPECT_TRUE(Same(q.Corners[3].Position, {10, 11, 12}));
    ASSERT_TRUE(q.Corners[0].Normal);
    EXPECT_TRUE(Same(*q.Corners[0].Normal, {0, 1, 0}));
    EXPECT_FALSE(q.Corners[1].Normal);  // -1: none
    // 2000 lies beyond the normals read but within the reader's zeroed table: a zero normal,
    // which the export replaces by the face normal; 2001 lies beyond the table.
    ASSERT_TRUE(q.Corners[2].Normal);
    EXPECT_TRUE(Same(*q.Corners[2].Normal, {0, 0, 0}));
    EXPECT_FALSE(q.Corners[3].Normal);
    ASSERT_TRUE(q.Corners[0].Uv);
    EXPECT_EQ(q.Corners[0].Uv->U, 0.5f);
    EXPECT_EQ(q.Corners[0].Uv->V, 1.0f);
    EXPECT_FALSE(q.Corners[1].Uv);  // 2: past the two texture vertices
    EXPECT_FALSE(q.Corners[2].Uv);  // negative
    const ExportFace& t = block.Faces[1];
    ASSERT_EQ(t.Corners.size(), 3u);
    EXPECT_TRUE(Same(t.Corners[2].Position, {4, 5, 6}));
    EXPECT_EQ(t.Corners[2].Uv->U, 0.25f);
    EXPECT_TRUE(model.Warnings.empty());
}

TEST(ExportModelBuilder, CornersWithABadVertexIndexAreLeftOutWithOneWarningPerFaceBlock) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    OptBuilder b;
    const int64_t vertices = b.AddVertices(kSquare);
    const int64_t bad = b.AddFaces({
        Face({0, 1, 2, 3}),
        Face({0, 1, 2001, 3}),   // one past the vertex table: the quad keeps three corners
        Face({-1, kMax, 2, 3}),  // two bad: two corners left, kept for the export to skip
        Face({kMin, 0, 1, -1}),
        Face({0, 1, 2, -5}),  // a fourth index below -1 is a bad corner, not a triangle
    });
    const int64_t good = b.AddFaces({Face({0, 1, 2, -1})});
    b.SetMeshes({b.AddJump(0, {vertices, bad, good})});

    const ExportModel model = Built(b.Build());
    const ExportLevel& level = model.Meshes[0].Levels[0];
    ASSERT_EQ(level.FaceBlocks.size(), 2u);
    std::vector<size_t> corners;
    for (const ExportFace& face : level.FaceBlocks[0].Faces)
        corners.push_back(face.Corners.size());
    EXPECT_EQ(corners, (std::vector<size_t>{4, 3, 2, 2, 3}));
    EXPECT_TRUE(Same(level.FaceBlocks[0].Faces[1].Corners[2].Position, {1, 0, 0}));
    EXPECT_EQ(
        model.Warnings,
        (std::vector<std::string>{"mesh 0, LOD 1, face block at offset " + std::to_string(bad) +
                                  ": 5 corners with a vertex index outside the vertex table "
                                  "left out"}));
}

TEST(ExportModelBuilder, HardpointsAndDescriptorsKeepTheirValuesAndTypeNames) {
    OptBuilder b;
    MeshDescriptorInput d;
    d.MeshType = 3;
    d.Span = {2, 4, 6};
    d.Centre = {1, 2, 3};
    d.Minima = {0, 0, 0};
    d.Maxima = {2, 4, 6};
    d.TargetGroup = 7;
    d.TargetCentre = {1, 1, 1};
    const int64_t descriptor = b.AddMeshDescriptor(d);
    const int64_t laser = b.AddHardpoint(1, {10, -20, 30});
    const int64_t odd = b.AddHardpoint(-3, {0, 0, 0});
    b.SetMeshes({b.AddJump(0, {descriptor, laser, odd})});

    OptDocument document;
    document.Names().MeshTypeNames[3] = "Starboard wing";
    document.Names().HardpointTypeNames[1] = "Laser cannon";
    const ExportModel model = Built(b.Build(), document);
    ASSERT_EQ(model.Meshes.size(), 1u);
    const ExportMesh& mesh = model.Meshes[0];
    EXPECT_TRUE(mesh.Levels.empty());
    ASSERT_EQ(mesh.Hardpoints.size(), 2u);
    EXPECT_EQ(mesh.Hardpoints[0].Offset, laser);
    EXPECT_EQ(mesh.Hardpoints[0].Type, 1);
    EXPECT_EQ(mesh.Hardpoints[0].TypeName, "Laser cannon");
    EXPECT_TRUE(Same(mesh.Hardpoints[0].Position, {10, -20, 30}));
    EXPECT_EQ(mesh.Hardpoints[1].Type, -3);
    EXPECT_EQ(mesh.Hardpoints[1].TypeName, "");
    ASSERT_EQ(mesh.Descriptors.size(), 1u);
    const ExportDescriptor& e = mesh.Descriptors[0];
    EXPECT_EQ(e.Offset, descriptor);
    EXPECT_EQ(e.TypeName, "Starboard wing");
    EXPECT_EQ(mesh.TypeName, "Starboard wing");
    EXPECT_TRUE(Same(e.Span, {2, 4, 6}));
    EXPECT_TRUE(Same(e.Centre, {1, 2, 3}));
    EXPECT_TRUE(Same(e.Maxima, {2, 4, 6}));
    EXPECT_EQ(e.TargetGroup, 7);
    EXPECT_TRUE(Same(e.TargetCentre, {1, 1, 1}));
}

TEST(ExportModelBuilder, AWalkStoppedByItsBudgetIsSaidToHaveStopped) {
    OptBuilder b;
    int64_t below = b.AddJump(0, {b.AddVertices(kSquare), b.AddFaces({Face({0, 1, 2, 3})})});
    for (int i = 0; i < 40; ++i)
        below = b.AddJump(0, {below, below});
    b.SetMeshes({below});
    const ExportModel model = Built(b.Build());
    ASSERT_FALSE(model.Warnings.empty());
    EXPECT_EQ(model.Warnings.back().rfind("the walk stopped early", 0), 0u);
    EXPECT_GT(model.FaceCount(), 0);
}

// The fighter: every mesh, level, texture and hardpoint where the sample put it, and every face's
// corners as the open resolved them for the 3D view.
TEST(ExportModelBuilder, TheFighterIsWhatTheSampleBuiltAndWhatTheOpenDraws) {
    FighterLayout layout;
    OptDocument document;
    ASSERT_TRUE(LoadTypeNameTables(document.Names(), VEXLOR_SOURCE_DIR "/data/Mesh_Type.ace",
                                   VEXLOR_SOURCE_DIR "/data/Hardpoint_Type.ace")
                    .Ok());
    const ExportModel model = Built(BuildFighter(layout), document);
    EXPECT_TRUE(model.Warnings.empty());
    ASSERT_EQ(model.Meshes.size(), layout.Meshes.size());

    const std::vector<std::string> typeNames{"Main hull", "Port wing", "Starboard wing", "Engine"};
    const std::vector<std::vector<std::string>> textures{{"Canopy", "HullPlate", "HullPlate"},
                                                         {"WingSkin", "WingSkin", "WingSkin"},
                                                         {"WingSkin", "WingSkin", "WingSkin"},
                                                         {"Exhaust", "Exhaust", "Exhaust"}};
    const std::vector<float> distances{3000.0f, 750.5f, 125.25f};
    for (size_t m = 0; m < model.Meshes.size(); ++m) {
        const ExportMesh& mesh = model.Meshes[m];
        const FighterMesh& built = layout.Meshes[m];
        SCOPED_TRACE("mesh " + std::to_string(m));
        EXPECT_EQ(mesh.Index, static_cast<int32_t>(m));
        EXPECT_EQ(mesh.TypeCode, built.MeshType);
        EXPECT_EQ(mesh.TypeName, typeNames[m]);
        ASSERT_EQ(mesh.Levels.size(), 3u);
        for (size_t l = 0; l < 3; ++l) {
            const ExportLevel& level = mesh.Levels[l];
            EXPECT_EQ(level.Number, static_cast<int32_t>(l + 1));
            EXPECT_EQ(level.Distance, distances[l]);
            ASSERT_EQ(level.FaceBlocks.size(), 1u);
            EXPECT_EQ(level.FaceBlocks[0].Offset, built.Faces[l]);
            EXPECT_EQ(level.FaceBlocks[0].Texture, textures[m][l]);
            int32_t triangles = 0;
            for (const ExportFace& face : level.FaceBlocks[0].Faces)
                triangles += face.Corners.size() == 3 ? 1 : 0;
            EXPECT_EQ(static_cast<int32_t>(level.FaceBlocks[0].Faces.size()), built.FaceCount[l]);
            EXPECT_EQ(triangles, built.TriangleCount[l]);
        }
        ASSERT_EQ(mesh.Hardpoints.size(), built.Hardpoints.size());
        for (size_t h = 0; h < mesh.Hardpoints.size(); ++h) {
            EXPECT_EQ(mesh.Hardpoints[h].Type, built.Hardpoints[h].first);
            EXPECT_EQ(mesh.Hardpoints[h].Offset, built.Hardpoints[h].second);
            EXPECT_FALSE(mesh.Hardpoints[h].TypeName.empty());
        }
        ASSERT_EQ(mesh.Descriptors.size(), 1u);
        EXPECT_EQ(mesh.Descriptors[0].Offset, built.Descriptor);
    }

    // Faces in walk order are the open's draw faces in their order.
    const std::vector<DrawFace>& drawn = document.Model().DrawFaces;
    size_t k = 0;
    for (const ExportMesh& mesh : model.Meshes)
        for (const ExportLevel& level : mesh.Levels)
            for (const ExportFaceBlock& block : level.FaceBlocks)
                for (const ExportFace& face : block.Faces) {
                    ASSERT_LT(k, drawn.size());
                    const DrawFace& d = drawn[k++];
                    EXPECT_EQ(d.Mesh, mesh.Index);
                    EXPECT_EQ(d.Lod, level.Number);
                    EXPECT_EQ(d.BlockOffset, block.Offset);
                    EXPECT_EQ(face.Corners.size(), d.IsQuad ? 4u : 3u);
                    for (size_t c = 0; c < face.Corners.size(); ++c)
                        EXPECT_TRUE(Same(face.Corners[c].Position, d.Corners[c])) << k;
                    EXPECT_TRUE(Same(face.Normal, d.Normal));
                    for (const ExportCorner& corner : face.Corners) {
                        EXPECT_TRUE(corner.Normal);
                        EXPECT_TRUE(corner.Uv);
                    }
                }
    EXPECT_EQ(k, drawn.size());
}

}  // namespace
}  // namespace vexlor::testing
