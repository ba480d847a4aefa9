// What the export does besides the round trips: the format list and choice, the level-of-detail
// choice, the scale and axes options, the scene's names, the warnings, malformed models (empty,
// short faces, coordinates that are not numbers, odd texture names) and the progress callback.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "ExportTestModels.h"
#include "ExportTestSupport.h"
#include "RoundTrip.h"
#include "export/ExportWriter.h"

namespace vexlor::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

ExportModel OneBlock(std::vector<ExportFace> faces,
                     std::optional<std::string> texture = std::string("Tex")) {
    ExportModel model;
    ExportMesh mesh;
    ExportLevel level;
    ExportFaceBlock block;
    block.Offset = 100;
    block.Texture = std::move(texture);
    block.Faces = std::move(faces);
    level.FaceBlocks.push_back(std::move(block));
    mesh.Levels.push_back(std::move(level));
    model.Meshes.push_back(std::move(mesh));
    return model;
}

// A unit square in the z = 0 plane, wound as OPT winds it (normal +z).
ExportFace Square(float x = 0, bool normals = true, bool uv = true) {
    return MakeFace({{x, 0, 0}, {x, 1, 0}, {x + 1, 1, 0}, {x + 1, 0, 0}}, normals, uv);
}

const aiNode* FindNode(const aiNode* node, const std::string& name) {
    if (name == node->mName.C_Str()) return node;
    for (unsigned int i = 0; i < node->mNumChildren; ++i)
        if (const aiNode* found = FindNode(node->mChildren[i], name)) return found;
    return nullptr;
}

aiVector3D GlobalPosition(const aiNode* node) {
    aiMatrix4x4 m;
    for (; node != nullptr; node = node->mParent)
        m = node->mTransformation * m;
    return {m.a4, m.b4, m.c4};
}

bool Contains(const std::vector<std::string>& lines, const std::string& piece) {
    for (const std::string& line : lines)
        if (line.find(piece) != std::string::npos) return true;
    return false;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

using Formats = ExportFolderTest;

TEST_F(Formats, ListEveryWriterWithItsExtension) {
    const std::vector<ExportFormat> formats = ExportFormats();
    std::set<std::string> ids;
    for (const ExportFormat& format : formats) {
        EXPECT_TRUE(ids.insert(format.Id).second) << "twice: " << format.Id;
        EXPECT_FALSE(format.Extension.empty()) << format.Id;
        EXPECT_FALSE(format.Description.empty()) << format.Id;
    }
    for (const char* id : {"glb2", "gltf2", "obj", "fbx", "stlb", "plyb", "collada", "3mf"})
        EXPECT_EQ(ids.count(id), 1u) << id;
    EXPECT_EQ(ids.count("pbrt"), 0u)
        << "assimp 5.2's pbrt writer crashes on scenes without a camera";
    EXPECT_EQ(ids.count("gltf") + ids.count("glb"), 0u) << "glTF 1.0, which nothing reads";
    for (const ExportFormat& format : formats) {
        if (format.Id == "glb2") {
            EXPECT_EQ(format.Extension, "glb");
            EXPECT_TRUE(format.YUp);
            EXPECT_FALSE(format.KeepsPolygons);
            EXPECT_TRUE(format.KeepsNodes);
        }
        if (format.Id == "obj") {
            EXPECT_TRUE(format.KeepsPolygons);
            EXPECT_FALSE(format.KeepsNodes);
            EXPECT_TRUE(format.YUp) << "what Blender, three.js and f3d assume of OBJ";
        }
        if (format.Id == "3mf") {
            EXPECT_FALSE(format.YUp) << "3D printing's z up";
        }
    }
}

TEST_F(Formats, FollowTheExtension) {
    EXPECT_EQ(FormatForPath("ship.glb"), "glb2");
    EXPECT_EQ(FormatForPath("/some/where/SHIP.GLTF"), "gltf2");
    EXPECT_EQ(FormatForPath("a.b/ship.obj"), "obj");
    EXPECT_EQ(FormatForPath("ship.fbx"), "fbx");
    EXPECT_EQ(FormatForPath("ship.stl"), "stlb");
    EXPECT_EQ(FormatForPath("ship.ply"), "plyb");
    EXPECT_EQ(FormatForPath("ship.dae"), "collada");
    EXPECT_EQ(FormatForPath("ship.3mf"), "3mf");
    EXPECT_EQ(FormatForPath("ship.json"), "assjson");
    EXPECT_EQ(FormatForPath("ship"), "");
    EXPECT_EQ(FormatForPath("a.b/ship"), "");
    EXPECT_EQ(FormatForPath(".glb"), "");
    EXPECT_EQ(FormatForPath("ship.xyz"), "");
}

TEST_F(Formats, AnExplicitIdOverridesTheExtension) {
    ExportOptions options;
    options.FormatId = "stl";  // ASCII STL
    const Expected<ExportSummary> stl = ExportToFile(SmallModel(), Path("ship.model"), options);
    ASSERT_TRUE(stl.Ok()) << stl.Message();
    EXPECT_EQ(stl->FormatId, "stl");
    EXPECT_EQ(Read(Path("ship.model")).rfind("solid", 0), 0u);

    options.FormatId = "fbxa";
    const Expected<ExportSummary> fbx = ExportToFile(SmallModel(), Path("ship.fbx"), options);
    ASSERT_TRUE(fbx.Ok()) << fbx.Message();
    EXPECT_EQ(Read(Path("ship.fbx")).rfind("; FBX", 0), 0u);
}

TEST_F(Formats, RefuseUnknownOnesAndWriteNothing) {
    ExportOptions options;
    options.FormatId = "nope";
    Expected<ExportSummary> result = ExportToFile(SmallModel(), Path("ship.glb"), options);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Unknown export format nope");
    result = ExportToFile(SmallModel(), Path("ship"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "No export format: " + Path("ship") + " has no extension");
    result = ExportToFile(SmallModel(), Path("ship.xyz"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "No export format for the extension .xyz");
    EXPECT_TRUE(Entries().empty());
}

// Every writer assimp offers, on the small model: a file and no leftovers, or a clean failure.
TEST_F(Formats, EveryWriterWritesTheSmallModel) {
    for (const ExportFormat& format : ExportFormats()) {
        ExportOptions options;
        options.FormatId = format.Id;
        const std::string target = Path("all_" + format.Id + "." + format.Extension);
        const Expected<ExportSummary> result = ExportToFile(SmallModel(), target, options);
        EXPECT_TRUE(result.Ok()) << format.Id << ": " << result.Message() << ": "
                                 << result.Reason();
        if (!result.Ok()) continue;
        EXPECT_GT(fs::file_size(target), 0u) << format.Id;
        for (const std::string& file : result->Files)
            EXPECT_TRUE(fs::exists(file)) << file;
    }
    for (const std::string& name : Entries())
        EXPECT_NE(name.rfind(".vexlor-export-", 0), 0u) << name;
}

using Layout = ExportFolderTest;

TEST_F(Layout, ChoosesOneLevelOfDetailOrAll) {
    ExportOptions options;
    options.Lod = 2;
    const Expected<ExportSummary> second = ExportToFile(SmallModel(), Path("second.glb"), options);
    ASSERT_TRUE(second.Ok()) << second.Message();
    EXPECT_EQ(second->Faces, 7);  // the second level of mesh 0; mesh 1 has none
    Imported imported = Import(Path("second.glb"));
    ASSERT_NE(imported.scene, nullptr);
    EXPECT_NE(FindNode(imported.scene->mRootNode, "mesh 0 LOD 2"), nullptr);
    EXPECT_EQ(FindNode(imported.scene->mRootNode, "mesh 0 LOD 1"), nullptr);
    EXPECT_NE(FindNode(imported.scene->mRootNode, "mesh 1"), nullptr)
        << "every mesh keeps its node";
    EXPECT_NE(FindNode(imported.scene->mRootNode, "hardpoint 2: 8 Engine glow"), nullptr);

    const Expected<ExportSummary> first =
        ExportToFile(SmallModel(), Path("first.glb"));  // level 1 by default
    ASSERT_TRUE(first.Ok());
    EXPECT_EQ(first->Faces, 28);
    options.Lod = kAllLevels;
    const Expected<ExportSummary> all = ExportToFile(SmallModel(), Path("all.glb"), options);
    ASSERT_TRUE(all.Ok());
    EXPECT_EQ(all->Faces, 35);
    EXPECT_EQ(all->Triangles, 60);  // 25 quads split in two, 10 triangles
    EXPECT_EQ(all->Quads, 0);
    const Expected<ExportSummary> polygons = ExportToFile(SmallModel(), Path("all.obj"), options);
    ASSERT_TRUE(polygons.Ok());
    EXPECT_EQ(polygons->Quads, 25);
    EXPECT_EQ(polygons->Triangles, 10);

    options.Lod = 3;
    const Expected<ExportSummary> none = ExportToFile(SmallModel(), Path("none.glb"), options);
    EXPECT_FALSE(none.Ok());
    EXPECT_EQ(none.Message(), "Nothing to export: no faces in level of detail 3");
    options.Lod = -1;
    const Expected<ExportSummary> bad = ExportToFile(SmallModel(), Path("bad.glb"), options);
    EXPECT_FALSE(bad.Ok());
    EXPECT_EQ(bad.Message(), "Invalid level of detail -1");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"all.glb", "all.mtl", "all.obj", "first.glb",
                                                   "second.glb"}));
}

TEST_F(Layout, NamesMeshesLevelsHardpointsAndDescriptors) {
    ExportModel model = SmallModel();
    model.Meshes[1].Hardpoints[0].TypeName.clear();  // a type the table does not name
    ExportOptions options;
    options.Lod = kAllLevels;
    options.Scale = 1;  // OPT units
    ASSERT_TRUE(ExportToFile(model, Path("ship.gltf"), options).Ok());
    Imported imported = Import(Path("ship.gltf"));
    ASSERT_NE(imported.scene, nullptr);
    const aiNode* root = imported.scene->mRootNode;
    const aiNode* hull = FindNode(root, "mesh 0 Main hull");
    ASSERT_NE(hull, nullptr);
    EXPECT_EQ(hull->mParent, root);
    for (const char* child : {"mesh 0 LOD 1", "mesh 0 LOD 2", "hardpoint 0: 1 Laser cannon",
                              "hardpoint 1: 5 Missile launcher", "descriptor 0: 1 Main hull"}) {
        const aiNode* node = FindNode(root, child);
        ASSERT_NE(node, nullptr) << child;
        EXPECT_EQ(node->mParent, hull) << child;
    }
    const aiNode* engine = FindNode(root, "mesh 1");
    ASSERT_NE(engine, nullptr);
    const aiNode* glow = FindNode(root, "hardpoint 2: 8");
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->mParent, engine);
    // y up: (x, y, z) -> (x, z, -y).
    const aiVector3D at = GlobalPosition(FindNode(root, "hardpoint 1: 5 Missile launcher"));
    EXPECT_FLOAT_EQ(at.x, 0);
    EXPECT_FLOAT_EQ(at.y, -5);
    EXPECT_FLOAT_EQ(at.z, 20);
    const aiVector3D glowAt = GlobalPosition(glow);
    EXPECT_FLOAT_EQ(glowAt.z, -30) << "the engine sits behind (+y in OPT), so at -z in glTF";
    std::set<std::string> materials;
    for (unsigned int i = 0; i < imported.scene->mNumMaterials; ++i) {
        aiString name;
        imported.scene->mMaterials[i]->Get(AI_MATKEY_NAME, name);
        materials.insert(name.C_Str());
    }
    EXPECT_EQ(materials.count("Hull01"), 1u);
    EXPECT_EQ(materials.count("Wing_02"), 1u);
    EXPECT_EQ(materials.count("untextured"), 1u);
}

// 3DS readers light a material by its ambient and specular colours as well: without them f3d
// draws the model near black.
TEST_F(Layout, ThreeDsMaterialsHaveAmbientAndSpecularColours) {
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("ship.3ds")).Ok());
    Imported imported = Import(Path("ship.3ds"));
    ASSERT_NE(imported.scene, nullptr);
    ASSERT_GT(imported.scene->mNumMaterials, 0u);
    for (unsigned int i = 0; i < imported.scene->mNumMaterials; ++i) {
        const aiMaterial& material = *imported.scene->mMaterials[i];
        aiColor3D diffuse, ambient, specular;
        ASSERT_EQ(material.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse), AI_SUCCESS);
        ASSERT_EQ(material.Get(AI_MATKEY_COLOR_AMBIENT, ambient), AI_SUCCESS);
        ASSERT_EQ(material.Get(AI_MATKEY_COLOR_SPECULAR, specular), AI_SUCCESS);
        EXPECT_NEAR(ambient.r, diffuse.r, 1e-3) << i;
        EXPECT_NEAR(ambient.b, diffuse.b, 1e-3) << i;
        EXPECT_GT(specular.r, 0.1f) << i;
    }
}

TEST_F(Layout, KeepsOrTurnsTheAxesAsAsked) {
    ExportOptions options;
    options.Axes = ExportAxes::Opt;
    options.Scale = 1;  // OPT units
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("opt.glb"), options).Ok());
    Imported opt = Import(Path("opt.glb"));
    ASSERT_NE(opt.scene, nullptr);
    const aiVector3D kept =
        GlobalPosition(FindNode(opt.scene->mRootNode, "hardpoint 1: 5 Missile launcher"));
    EXPECT_FLOAT_EQ(kept.y, -20);
    EXPECT_FLOAT_EQ(kept.z, -5);

    options.Axes = ExportAxes::YUp;
    options.Scale = 2;
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("up.fbx"), options).Ok());
    Imported up = Import(Path("up.fbx"));
    ASSERT_NE(up.scene, nullptr);
    const aiVector3D turned =
        GlobalPosition(FindNode(up.scene->mRootNode, "hardpoint 1: 5 Missile launcher"));
    EXPECT_FLOAT_EQ(turned.y, -10);
    EXPECT_FLOAT_EQ(turned.z, 40);
}

TEST_F(Layout, RefusesAScaleThatIsNoPositiveNumber) {
    for (double scale : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        ExportOptions options;
        options.Scale = scale;
        const Expected<ExportSummary> result =
            ExportToFile(SmallModel(), Path("ship.glb"), options);
        EXPECT_FALSE(result.Ok()) << scale;
        EXPECT_EQ(result.Message().rfind("Invalid scale", 0), 0u) << result.Message();
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(Layout, WarnsWhereTheFormatKeepsNoNodes) {
    ExportModel model = SmallModel();
    model.Warnings.push_back("mesh 0: the builder's own warning");
    for (const char* name : {"ship.stl", "ship.obj", "ship.ply", "ship.3mf"}) {
        const Expected<ExportSummary> result = ExportToFile(model, Path(name));
        ASSERT_TRUE(result.Ok()) << name << ": " << result.Message();
        ASSERT_GE(result->Warnings.size(), 2u) << name;
        EXPECT_EQ(result->Warnings[0], "mesh 0: the builder's own warning");
        EXPECT_TRUE(Contains(result->Warnings, "3 hardpoints and 1 mesh descriptor left out"))
            << Joined(result->Warnings);
    }
    const Expected<ExportSummary> glb = ExportToFile(model, Path("ship.glb"));
    ASSERT_TRUE(glb.Ok());
    EXPECT_EQ(glb->Warnings, model.Warnings);
}

using Malformed = ExportFolderTest;

TEST_F(Malformed, AnEmptyModelFailsAndWritesNothing) {
    ExportModel empty;
    Expected<ExportSummary> result = ExportToFile(empty, Path("empty.glb"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Nothing to export: the model has no faces");

    ExportModel hollow = SmallModel();  // meshes, levels and blocks, but no faces
    for (ExportMesh& mesh : hollow.Meshes)
        for (ExportLevel& level : mesh.Levels)
            for (ExportFaceBlock& block : level.FaceBlocks)
                block.Faces.clear();
    result = ExportToFile(hollow, Path("hollow.obj"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Nothing to export: the model has no faces");
    EXPECT_TRUE(Entries().empty());
}

TEST_F(Malformed, FacesWithFewerThanThreeCornersAreLeftOutWithAWarning) {
    ExportFace two = Square(2);
    two.Corners.resize(2);
    ExportFace none = Square(4);
    none.Corners.clear();
    ExportModel model = OneBlock({Square(0), two, none, Square(6)});
    for (const char* name : {"short.glb", "short.obj", "short.stl"}) {
        const Expected<ExportSummary> result = ExportToFile(model, Path(name));
        ASSERT_TRUE(result.Ok()) << result.Message();
        EXPECT_EQ(result->Faces, 2);
        EXPECT_EQ(result->Warnings,
                  std::vector<std::string>{"mesh 0, LOD 1, face block at offset 100: 2 faces with "
                                           "fewer than 3 corners left out"});
    }

    ExportModel nothing = OneBlock({two, none});
    const Expected<ExportSummary> result = ExportToFile(nothing, Path("nothing.glb"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Nothing to export: no faces in level of detail 1");
    EXPECT_FALSE(fs::exists(Path("nothing.glb")));
}

TEST_F(Malformed, CoordinatesThatAreNoNumbersDoNotReachTheFile) {
    ExportFace nanCorner = Square(2);
    nanCorner.Corners[1].Position.Y = kNaN;
    ExportFace infCorner = Square(4);
    infCorner.Corners[3].Position.X = kInf;
    ExportFace badNormals = Square(6);
    badNormals.Normal = {kNaN, 0, 0};
    badNormals.Corners[0].Normal = Vec3{0, kNaN, 1};
    ExportFace badUv = Square(8);
    badUv.Corners[2].Uv = TexCoord{kInf, 0.5f};
    ExportModel model = OneBlock({Square(0), nanCorner, infCorner, badNormals, badUv});
    model.Meshes[0].Hardpoints.push_back({7, 7, "", {kNaN, 1, 2}});
    for (const char* name : {"odd.glb", "odd.gltf", "odd.obj", "odd.fbx", "odd.dae", "odd.ply",
                             "odd.stl", "odd.3mf"}) {
        const Expected<ExportSummary> result = ExportToFile(model, Path(name));
        ASSERT_TRUE(result.Ok()) << name << ": " << result.Message();
        EXPECT_EQ(result->Faces, 3) << name;
        EXPECT_TRUE(
            Contains(result->Warnings, "2 faces with a position that is not a number left out"))
            << Joined(result->Warnings);
        EXPECT_TRUE(Contains(result->Warnings, "1 texture vertices that are not numbers left out"))
            << Joined(result->Warnings);
        EXPECT_TRUE(Contains(result->Warnings,
                             "1 vertex normals that are not numbers replaced by the face normal"))
            << Joined(result->Warnings);
        Imported imported = Import(Path(name));
        ASSERT_NE(imported.scene, nullptr) << name << ": " << imported.importer->GetErrorString();
        for (unsigned int m = 0; m < imported.scene->mNumMeshes; ++m) {
            const aiMesh& mesh = *imported.scene->mMeshes[m];
            for (unsigned int v = 0; v < mesh.mNumVertices; ++v) {
                EXPECT_TRUE(std::isfinite(mesh.mVertices[v].x) &&
                            std::isfinite(mesh.mVertices[v].y) &&
                            std::isfinite(mesh.mVertices[v].z))
                    << name;
                if (mesh.mNormals != nullptr) {
                    EXPECT_NEAR(mesh.mNormals[v].Length(), 1.0f, 1e-4f) << name;
                }
                if (mesh.mTextureCoords[0] != nullptr) {
                    EXPECT_TRUE(std::isfinite(mesh.mTextureCoords[0][v].x) &&
                                std::isfinite(mesh.mTextureCoords[0][v].y))
                        << name;
                }
            }
        }
    }
    const Expected<ExportSummary> withNodes = ExportToFile(model, Path("nodes.glb"));
    EXPECT_TRUE(Contains(withNodes->Warnings,
                         "hardpoint 0: its position is not a number; placed at the origin"));
}

// A scale that makes a coordinate infinite, or one that is not zero zero, is refused whole,
// before anything is written.
TEST_F(Malformed, ScaledCoordinatesBeyondTheFloatRangeRefuseTheScale) {
    ExportFace huge = Square(0);
    huge.Corners[0].Position.X = 3e38f;
    ExportOptions options;
    options.Scale = 10;
    const Expected<ExportSummary> result =
        ExportToFile(OneBlock({huge, Square(2)}), Path("huge.glb"), options);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(),
              "Invalid scale 10: the model's coordinates up to 3e+38 would not be finite");
    options.Scale = 1e-50;
    const Expected<ExportSummary> tiny =
        ExportToFile(OneBlock({Square(0), Square(2)}), Path("tiny.glb"), options);
    EXPECT_FALSE(tiny.Ok());
    EXPECT_EQ(tiny.Message().rfind("Invalid scale 1e-50: the model's coordinates down to ", 0), 0u)
        << tiny.Message();
    EXPECT_NE(tiny.Message().find(" would become 0"), std::string::npos) << tiny.Message();
    EXPECT_TRUE(Entries().empty());
}

TEST_F(Malformed, FacesWithoutNormalsGetTheNormalOfTheirCorners) {
    // No vertex normals, a zero face normal on a quad and on a triangle, and a degenerate face
    // (all corners at one point); the written normals are unit vectors, the plane's where there
    // is one.
    ExportFace flat = Square(0, false, false);
    flat.Normal = {0, 0, 0};
    ExportFace point = MakeFace({{5, 5, 5}, {5, 5, 5}, {5, 5, 5}}, false, false);
    point.Normal = {0, 0, 0};
    ExportFace triangle = MakeFace({{0, 0, 2}, {0, 1, 2}, {1, 1, 3}}, false, false);
    triangle.Normal = {0, 0, 0};
    const ExportModel model = OneBlock({flat, point, triangle}, std::nullopt);
    for (const char* name : {"plain.glb", "plain.obj"}) {
        const Expected<ExportSummary> result = ExportToFile(model, Path(name));
        ASSERT_TRUE(result.Ok()) << result.Message();
        Imported imported = Import(Path(name));
        ASSERT_NE(imported.scene, nullptr);
        const bool glb = std::string(name) == "plain.glb";
        ExpectOptions expect;
        expect.yUp = true;
        expect.scale = 1.0 / 41;  // metres, the default
        expect.triangulate = glb;
        CompareOptions compare;
        compare.normals = true;
        compare.meshNames = !glb;
        compare.nodes = glb;
        for (const std::string& difference :
             Compare(*imported.scene, Expect(model, expect), compare))
            ADD_FAILURE() << name << ": " << difference;
    }
    // 3MF wants three different vertices: the face whose corners meet is left out.
    const Expected<ExportSummary> threeMf = ExportToFile(model, Path("plain.3mf"));
    ASSERT_TRUE(threeMf.Ok()) << threeMf.Message();
    EXPECT_TRUE(Contains(threeMf->Warnings, "1 triangle with a corner twice left out"))
        << Joined(threeMf->Warnings);
    Imported imported = Import(Path("plain.glb"));
    // The flat square's normal is +z in OPT, so +y in glTF.
    bool found = false;
    for (unsigned int m = 0; m < imported.scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *imported.scene->mMeshes[m];
        for (unsigned int v = 0; v < mesh.mNumVertices; ++v)
            if (mesh.mVertices[v].y == 0 && mesh.mNormals[v].y > 0.999f) found = true;
    }
    EXPECT_TRUE(found);
}

TEST_F(Malformed, TextureNamesBecomePlainMaterialNames) {
    ExportModel model;
    ExportMesh mesh;
    ExportLevel level;
    const std::vector<std::optional<std::string>> textures = {
        std::string("Tex 1\0\0\0\0", 9), std::string("Tex?1\0abc", 9), std::string(9, '\0'),
        std::string("\xe9t\xe9", 3), std::nullopt};
    float x = 0;
    for (const auto& texture : textures) {
        ExportFaceBlock block;
        block.Texture = texture;
        block.Faces = {Square(x)};
        x += 2;
        level.FaceBlocks.push_back(block);
    }
    mesh.Levels.push_back(level);
    model.Meshes.push_back(mesh);
    ASSERT_TRUE(ExportToFile(model, Path("names.obj")).Ok());
    Imported imported = Import(Path("names.obj"));
    ASSERT_NE(imported.scene, nullptr);
    std::set<std::string> materials;
    for (unsigned int i = 0; i < imported.scene->mNumMaterials; ++i) {
        aiString name;
        imported.scene->mMaterials[i]->Get(AI_MATKEY_NAME, name);
        materials.insert(name.C_Str());
    }
    for (const char* name : {"Tex_1", "Tex_1~2", "texture", "_t_", "untextured"})
        EXPECT_EQ(materials.count(name), 1u) << name;
    EXPECT_EQ(imported.scene->mNumMeshes, 5u);
}

using Progress = ExportFolderTest;

TEST_F(Progress, RunsFromZeroToOneAndCanCancel) {
    const ExportModel model = LargeModel(20'000, 4);
    std::vector<double> seen;
    ExportOptions options;
    options.Progress = [&](double fraction) {
        seen.push_back(fraction);
        return true;
    };
    ASSERT_TRUE(ExportToFile(model, Path("ship.glb"), options).Ok());
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(seen.front(), 0.0);
    EXPECT_EQ(seen.back(), 1.0);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_GE(seen[i], seen[i - 1]);

    const std::string before = Read(Path("ship.glb"));
    for (double stop : {0.0, 0.2, 0.5, 0.6, 0.95}) {
        ExportOptions cancelling;
        cancelling.Progress = [&](double fraction) { return fraction < stop; };
        const Expected<ExportSummary> result = ExportToFile(model, Path("ship.glb"), cancelling);
        EXPECT_FALSE(result.Ok()) << stop;
        EXPECT_EQ(result.Message(), "Export cancelled") << stop;
        EXPECT_EQ(Read(Path("ship.glb")), before) << stop;
        EXPECT_EQ(Entries(), std::vector<std::string>{"ship.glb"}) << stop;
    }
}

}  // namespace
}  // namespace vexlor::testing
