// Round trips: a model made by hand (two meshes, two levels, quads and triangles, vertex normals
// and texture vertices present and missing, two textures and none, hardpoints, a descriptor), a
// large one (about 200,000 faces), and the models that one walk builds from samples/fighter.opt
// and from a generated OPT file of about 200,000 faces are written in each tested format, read
// back with assimp's importer and compared with what the documented rules say the file holds:
// faces per level, corners, bounding box, and the corners, normals and texture coordinates of the
// faces. The OPT files' models are first held against the open's own draw tables (faces per level
// and their corners). Every glTF file written passes the Khronos validator with no error.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "ExportTestModels.h"
#include "ExportTestSupport.h"
#include "RoundTrip.h"
#include "export/ExportModelBuilder.h"
#include "export/ExportWriter.h"
#include "reader/OptDocument.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

struct FormatCase {
    const char* name;
    const char* extension;
    const char* formatId;                // what the extension must choose
    std::vector<const char*> sideFiles;  // extensions of the files written beside the main one
    bool yUp;
    bool triangulate;
    CompareOptions compare;
};

// gtest's messages name a case by its format, not by its bytes.
void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.name;
}

CompareOptions With(bool nodes, bool meshNames, bool normals, bool facetNormals, bool uvs,
                    bool materials) {
    CompareOptions o;
    o.nodes = nodes;
    o.meshNames = meshNames;
    o.normals = normals;
    o.facetNormals = facetNormals;
    o.uvs = uvs;
    o.materials = materials;
    return o;
}

const std::vector<FormatCase>& Cases() {
    static const std::vector<FormatCase> cases = {
        {"glb", "glb", "glb2", {}, true, true, With(true, false, true, false, true, true)},
        {"gltf", "gltf", "gltf2", {"bin"}, true, true, With(true, false, true, false, true, true)},
        {"obj", "obj", "obj", {"mtl"}, true, false, With(false, true, true, false, true, true)},
        {"fbx", "fbx", "fbx", {}, true, false, With(true, false, true, false, true, true)},
        {"stl", "stl", "stlb", {}, false, true, With(false, false, false, true, false, false)},
        {"ply", "ply", "plyb", {}, true, false, With(false, false, true, false, true, false)},
        {"dae", "dae", "collada", {}, true, false, With(true, false, true, false, true, true)},
        {"3mf", "3mf", "3mf", {}, false, true, With(false, false, false, false, false, false)},
    };
    return cases;
}

class RoundTrip : public ExportFolderTest, public ::testing::WithParamInterface<FormatCase> {
  protected:
    // Writes, checks the files written, validates glTF, reads back and compares.
    void Check(const ExportModel& model, const ExportOptions& options,
               const CompareOptions& compare, const std::vector<std::string>& materials) {
        const FormatCase& format = GetParam();
        const std::string target = Path(std::string("model.") + format.extension);
        const Expected<ExportSummary> result = ExportToFile(model, target, options);
        ASSERT_TRUE(result.Ok()) << result.Message() << ": " << result.Reason();
        EXPECT_EQ(result->FormatId, format.formatId);

        std::vector<std::string> files{target};
        for (const char* side : format.sideFiles)
            files.push_back(Path(std::string("model.") + side));
        EXPECT_EQ(result->Files, files);
        std::vector<std::string> names;
        for (const std::string& file : files)
            names.push_back(fs::path(file).filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(Entries(), names) << "only the files written, no temporary ones";

        ExpectOptions expect;
        expect.lod = options.Lod;
        // assimp's Collada importer applies the unit the file declares: metres come back.
        expect.scale = format.formatId == std::string("collada") ? 1.0 / 41 : options.Scale;
        expect.yUp = format.yUp;
        expect.triangulate = format.triangulate;
        const Expectation expected = Expect(model, expect);
        ASSERT_EQ(result->Faces, model.FaceCount() - SkippedFaces(model, options.Lod));

        const Imported imported = Import(target);
        ASSERT_NE(imported.scene, nullptr) << imported.importer->GetErrorString();
        for (const std::string& difference : Compare(*imported.scene, expected, compare, materials))
            ADD_FAILURE() << format.name << ": " << difference;
    }

    static int64_t SkippedFaces(const ExportModel& model, int32_t lod) {
        int64_t n = 0;
        for (const ExportMesh& mesh : model.Meshes)
            for (const ExportLevel& level : mesh.Levels)
                if (lod != kAllLevels && level.Number != lod)
                    for (const ExportFaceBlock& block : level.FaceBlocks)
                        n += static_cast<int64_t>(block.Faces.size());
        return n;
    }
};

TEST_P(RoundTrip, SmallModelAllLevels) {
    ExportOptions options;
    options.Lod = kAllLevels;
    Check(SmallModel(), options, GetParam().compare, {"Hull01", "Wing_02", "untextured"});
}

TEST_P(RoundTrip, SmallModelFirstLevelInMetres) {
    ExportOptions options;  // level 1 is the default
    options.Scale = 1.0 / 41.0;
    CompareOptions compare = GetParam().compare;
    compare.positionTolerance = 1e-5;
    Check(SmallModel(), options, compare, {"Hull01", "Wing_02"});
}

TEST_P(RoundTrip, LargeModel) {
    static const ExportModel model = LargeModel(200'000, 8);
    ExportOptions options;
    options.Lod = kAllLevels;
    CompareOptions compare = GetParam().compare;
    compare.sampleEvery = 101;
    compare.positionTolerance = 0.01;
    Check(model, options, compare, {"Plate0", "Trim0", "Trim1"});
}

// The model of an OPT file from one walk, after a check against what the open drew of the same
// file: the same faces in the same order, with the same mesh, level and corners.
ExportModel FromOptFile(OptDocument& document) {
    const ExportModel model = BuildExportModel(document);
    const std::vector<DrawFace>& drawn = document.Model().DrawFaces;
    size_t k = 0;
    for (const ExportMesh& mesh : model.Meshes)
        for (const ExportLevel& level : mesh.Levels)
            for (const ExportFaceBlock& block : level.FaceBlocks)
                for (const ExportFace& face : block.Faces) {
                    EXPECT_LT(k, drawn.size());
                    if (k >= drawn.size()) return model;
                    const DrawFace& d = drawn[k++];
                    EXPECT_EQ(d.Mesh, mesh.Index);
                    EXPECT_EQ(d.Lod, level.Number);
                    EXPECT_EQ(face.Corners.size(), d.IsQuad ? 4u : 3u);
                    for (size_t c = 0; c < face.Corners.size() && c < 4; ++c)
                        EXPECT_TRUE(face.Corners[c].Position.X == d.Corners[c].X &&
                                    face.Corners[c].Position.Y == d.Corners[c].Y &&
                                    face.Corners[c].Position.Z == d.Corners[c].Z);
                }
    EXPECT_EQ(k, drawn.size());
    return model;
}

TEST_P(RoundTrip, FighterSampleFileAllLevels) {
    static const ExportModel model = [] {
        OptDocument document;
        EXPECT_TRUE(LoadTypeNameTables(document.Names(), VEXLOR_SOURCE_DIR "/data/Mesh_Type.ace",
                                       VEXLOR_SOURCE_DIR "/data/Hardpoint_Type.ace")
                        .Ok());
        EXPECT_TRUE(document.Open(VEXLOR_SOURCE_DIR "/samples/fighter.opt").Ok());
        return FromOptFile(document);
    }();
    ExportOptions options;
    options.Lod = kAllLevels;
    Check(model, options, GetParam().compare, {"Canopy", "HullPlate", "WingSkin", "Exhaust"});
}

TEST_P(RoundTrip, GeneratedLargeOptFileAllLevels) {
    static const ExportModel model = [] {
        OptDocument document;
        document.OpenBytes(BuildLargeModel(200'000, 8), "large.opt");
        return FromOptFile(document);
    }();
    ASSERT_GE(model.FaceCount(), 200'000);
    ExportOptions options;
    options.Lod = kAllLevels;
    CompareOptions compare = GetParam().compare;
    compare.sampleEvery = 101;
    compare.positionTolerance = 0.01;
    Check(model, options, compare, {"untextured"});
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vexlor::testing
