// The mends made to assimp's files after writing: unused glTF extensions blanked out without
// moving a byte, X3D without empty image textures, ASCII FBX values joined as Autodesk joins them.
// (OBJ's objects, 3MF's colours, digits and unit are proven by the three.js import.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "ExportTestModels.h"
#include "ExportTestSupport.h"
#include "export/ExportWriter.h"
#include "export/WriterRepairs.h"

namespace vexlor::testing {
namespace {

std::string WithoutSpaces(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

TEST(GltfExtensions, AnUnusedVolumeIsBlankedOutAndTheTextKeepsItsLength) {
    struct Case {
        std::string json, expected;  // expected without spaces
    };
    const Case cases[] = {
        // First, last, alone (an empty list is not allowed: the member goes), and used.
        {R"({"extensionsUsed":["V","N"]})", R"({"extensionsUsed":["N"]})"},
        {R"({"a":1,"extensionsUsed":["N", "V"],"x":{}})",
         R"({"a":1,"extensionsUsed":["N"],"x":{}})"},
        {R"({"a":1,"extensionsUsed":["V"]})", R"({"a":1})"},
        {R"({"extensionsUsed":["V"],"a":1})", R"({"a":1})"},
        {R"({"extensionsUsed":["V"],"m":{"extensions":{"V":{}}}})", ""},
        {R"({"asset":{}})", ""},
    };
    for (const Case& c : cases) {
        std::string json = c.json;
        EXPECT_EQ(detail::BlankUnusedExtension(json, "V"), !c.expected.empty()) << c.json;
        EXPECT_EQ(json.size(), c.json.size());
        EXPECT_EQ(WithoutSpaces(json), c.expected.empty() ? WithoutSpaces(c.json) : c.expected);
    }
}

using Repairs = ExportFolderTest;

TEST_F(Repairs, ExportedFilesCarryNoUnusedExtensionNoEmptyTextureAndJoinedFbxValues) {
    for (const char* name : {"ship.glb", "ship.gltf", "ship.x3d"})
        ASSERT_TRUE(ExportToFile(SmallModel(), Path(name)).Ok()) << name;
    EXPECT_EQ(Read(Path("ship.glb")).find("KHR_materials_volume"), std::string::npos);
    EXPECT_EQ(Read(Path("ship.gltf")).find("KHR_materials_volume"), std::string::npos);
    EXPECT_NE(Read(Path("ship.gltf")).find("FB_ngon_encoding"), std::string::npos)
        << "used by being listed: its readers rebuild the quads";
    EXPECT_EQ(Read(Path("ship.x3d")).find("ImageTexture"), std::string::npos);
    EXPECT_NE(Read(Path("ship.x3d")).find("<Material diffuseColor="), std::string::npos);

    ExportOptions ascii;
    ascii.FormatId = "fbxa";
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("ship.fbx"), ascii).Ok());
    const std::string fbx = Read(Path("ship.fbx"));
    EXPECT_NE(fbx.find(R"(P: "Lcl Scaling", "Lcl Scaling", "", "A",1,1,1)"), std::string::npos);
    EXPECT_NE(fbx.find(R"(P: "DefaultCamera", "KString", "", "", "Producer Perspective")"),
              std::string::npos)
        << "text values keep their spaces";
    const Imported imported = Import(Path("ship.fbx"));
    ASSERT_NE(imported.scene, nullptr) << imported.importer->GetErrorString();
    EXPECT_GT(imported.scene->mNumMeshes, 0u);
}

}  // namespace
}  // namespace vexlor::testing
