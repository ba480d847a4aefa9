// The export against an importer that did not write it: every format of `vexlor export --formats`
// that three.js has a loader for is written by `vexlor export` and read by that loader under Node
// (scripts/three-import.mjs), for samples/fighter.opt and a generated model of 2,000 faces. What
// three.js shows must match the open of the same OPT file: the triangles of each level of detail,
// the bounding box in metres with y up (formats whose world is z up are turned as their users turn
// them), one named object per mesh and level where the format has objects, the port wing on the
// model's left, the program's material colours shown alike in every format (glTF's linear
// numbers are the others' sRGB ones), and outward faces (the fighter's signed volume positive).
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "ExportTestSupport.h"
#include "export/ExportWriter.h"
#include "reader/OptDocument.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

using Json = nlohmann::json;

struct ThreeCase {
    const char* formatId;
    const char* extension;
    bool zUp;        // written in the OPT frame, as 3D printing and 3ds Max have it
    bool objects;    // one named object per mesh and level
    bool materials;  // named materials with colours
};

// gtest's messages name a case by its format, not by its bytes.
void PrintTo(const ThreeCase& c, std::ostream* out) {
    *out << c.formatId;
}

// The formats three.js reads, and those it cannot, with the reason.
const std::vector<ThreeCase> kReadable = {
    {"glb2", "glb", false, true, true},    {"gltf2", "gltf", false, true, true},
    {"obj", "obj", false, true, true},     {"objnomtl", "obj", false, true, false},
    {"fbx", "fbx", false, true, true},     {"fbxa", "fbx", false, true, true},
    {"collada", "dae", false, true, true}, {"stl", "stl", true, false, false},
    {"stlb", "stl", true, false, false},   {"ply", "ply", false, false, false},
    {"plyb", "ply", false, false, false},  {"3mf", "3mf", true, true, true},
    {"3ds", "3ds", true, true, true},
};
const std::map<std::string, std::string> kUnreadable = {
    {"x", "DirectX's .x: three.js dropped its loader"},
    {"stp", "STEP: three.js reads no CAD formats"},
    {"x3d", "X3D: three.js's VRMLLoader reads only VRML97's classic text, not X3D's XML"},
    {"assbin", "assimp's own dump: only assimp reads it"},
    {"assxml", "assimp's own dump: only assimp reads it"},
    {"assjson", "assimp's own dump: only assimp reads it"},
};

// What three.js must show, from the open's draw tables: triangles per "mesh/level" (a quad is
// two) and the box of all levels in metres, y up.
struct Expected {
    std::map<std::string, int64_t> levels;
    std::set<int> meshes;
    double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
};

Expected FromOpen(const std::string& file) {
    OptDocument document;
    EXPECT_TRUE(document.Open(file).Ok()) << file;
    Expected expected;
    double low[3] = {1e30, 1e30, 1e30}, high[3] = {-1e30, -1e30, -1e30};
    for (const DrawFace& face : document.Model().DrawFaces) {
        expected.levels[std::to_string(face.Mesh) + "/" + std::to_string(face.Lod)] +=
            face.IsQuad ? 2 : 1;
        expected.meshes.insert(face.Mesh);
        for (const Vec3& c : face.Corners)
            for (int i = 0; i < 3; ++i) {
                const double v = i == 0 ? c.X : i == 1 ? c.Y : c.Z;
                low[i] = std::min(low[i], v / 41.0);
                high[i] = std::max(high[i], v / 41.0);
            }
    }
    // x mirrored, y up: (x, y, z) -> (-x, z, -y).
    const double turnedLow[3] = {-high[0], low[2], -high[1]};
    const double turnedHigh[3] = {-low[0], high[2], -low[1]};
    std::copy(turnedLow, turnedLow + 3, expected.low);
    std::copy(turnedHigh, turnedHigh + 3, expected.high);
    return expected;
}

class ThreeImportFolder : public ExportFolderTest {
  protected:
    // `vexlor export` of `opt` with ARGS, then three.js's import; the JSON it printed.
    Json ExportAndImport(const std::string& opt, const std::string& formatId,
                         const std::string& extension, const std::string& args,
                         std::string* errors = nullptr) {
        const std::string out = Path(formatId + "." + extension);
        const std::string err = Path(formatId + ".err");
        const std::string run = "'" VEXLOR_BINARY "' export '" + opt + "' --lod all --format " +
                                formatId + " " + args + " -o '" + out + "' 2> '" + err + "'";
        EXPECT_EQ(std::system(run.c_str()), 0) << run << "\n" << Read(err);
        if (errors != nullptr) *errors = Read(err);
        const std::string command =
            "node '" VEXLOR_SOURCE_DIR "/scripts/three-import.mjs' '" + out + "' " + formatId;
        std::string printed;
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return Json();
        char buffer[4096];
        for (size_t n = 0; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            printed.append(buffer, n);
        EXPECT_EQ(::pclose(pipe), 0) << command << "\n" << printed;
        const size_t line = printed.rfind("\n{");  // loaders may warn on lines before it
        const Json json =
            Json::parse(line == std::string::npos ? printed : printed.substr(line), nullptr, false);
        EXPECT_FALSE(json.is_discarded()) << printed;
        return json;
    }
};

class ThreeImport : public ThreeImportFolder, public ::testing::WithParamInterface<ThreeCase> {
  protected:
    // Compares one import with the open and with the glTF file's colours.
    void Check(const std::string& opt, const Json& imported, const Json& reference, bool closed) {
        const ThreeCase& format = GetParam();
        const Expected expected = FromOpen(opt);
        int64_t all = 0;
        for (const auto& [level, triangles] : expected.levels)
            all += triangles;
        EXPECT_EQ(imported["triangles"].get<int64_t>(), all);
        if (format.objects) {
            using Levels = std::map<std::string, int64_t>;
            EXPECT_EQ(imported["levels"].get<Levels>(), expected.levels);
            EXPECT_EQ(imported["unnamed"].get<int64_t>(), 0);
            EXPECT_EQ(imported["meshes"].get<std::set<int>>(), expected.meshes);
        }
        if (format.objects && opt.find("fighter") != std::string::npos) {
            // The fighter's mesh 1 is its port wing (the ship's left), mesh 2 its starboard
            // wing. +x is the model's left in glTF's frame (its front faces +z) and in the z-up
            // one with the nose along -y: the port wing lies at +x in every format.
            EXPECT_GT(imported["centres"]["1"][0].get<double>(), 0) << "the port wing on the left";
            EXPECT_LT(imported["centres"]["2"][0].get<double>(), 0) << "starboard on the right";
        }

        std::vector<double> low = imported["min"].get<std::vector<double>>();
        std::vector<double> high = imported["max"].get<std::vector<double>>();
        ASSERT_EQ(low.size(), 3u);
        if (format.zUp) {  // turned as such a file's users turn it: z up becomes y up
            const std::vector<double> l = low, h = high;
            low = {l[0], l[2], -h[1]};
            high = {h[0], h[2], -l[1]};
        }
        // Every coordinate reads back as the 32-bit float written (a text format writes enough
        // digits for that), except in ASCII FBX, whose writer keeps 6 decimals.
        const auto tolerance = [&](double value) {
            return 3e-7 * std::fabs(value) +
                   (format.formatId == std::string("fbxa") ? 1e-6 : 1e-12);
        };
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(low[i], expected.low[i], tolerance(expected.low[i])) << i;
            EXPECT_NEAR(high[i], expected.high[i], tolerance(expected.high[i])) << i;
        }

        if (format.materials) {
            std::map<std::string, std::vector<double>> colours;
            for (const Json& material : reference["materials"])
                colours[material["name"]] = material["shown"].get<std::vector<double>>();
            ASSERT_FALSE(imported["materials"].empty());
            for (const Json& material : imported["materials"]) {
                std::string name = material["name"];
                // assimp's 3DS writer adds the material's number to its name: "Canopy_0".
                if (colours.count(name) == 0 && name.find('_') != std::string::npos)
                    name.erase(name.rfind('_'));
                ASSERT_EQ(colours.count(name), 1u) << name;
                // The colour shown, the same in every format. three.js's 3DS loader takes the
                // file's sRGB numbers for linear ones (other 3DS readers do not): there the
                // numbers are compared.
                const std::vector<double> rgb =
                    material[format.formatId == std::string("3ds") ? "rgb" : "shown"]
                        .get<std::vector<double>>();
                for (size_t i = 0; i < 3; ++i) {
                    EXPECT_NEAR(rgb[i], colours[name][i], 1.0 / 255) << name << " " << i;
                    EXPECT_GE(rgb[i], 0.4) << name << ": a light colour, never black";
                }
            }
        }
        if (closed) {
            const double volume = imported["volume"].get<double>();
            EXPECT_GT(volume, 0) << "faces turned inwards";
            EXPECT_NEAR(volume, reference["volume"].get<double>(),
                        1e-3 * reference["volume"].get<double>());
        }
    }
};

TEST(ThreeImportFormats, EveryListedFormatIsImportedOrNamedWithItsReason) {
    std::set<std::string> covered;
    for (const ThreeCase& format : kReadable)
        covered.insert(format.formatId);
    for (const auto& [id, reason] : kUnreadable)
        covered.insert(id);
    std::set<std::string> listed;
    for (const ExportFormat& format : ExportFormats())
        listed.insert(format.Id);
    EXPECT_EQ(covered, listed);
}

TEST_P(ThreeImport, TheFighterInMetresAndAGeneratedModel) {
    const ThreeCase& format = GetParam();
    const std::string fighter = VEXLOR_SOURCE_DIR "/samples/fighter.opt";
    const Json reference = ExportAndImport(fighter, "glb2", "glb", "--units metres");
    const Json imported =
        ExportAndImport(fighter, format.formatId, format.extension, "--units metres");
    ASSERT_TRUE(imported.is_object() && reference.is_object());
    EXPECT_EQ(imported["unit"].get<double>(), 1.0) << "metres, declared where the format can";
    Check(fighter, imported, reference, true);

    const std::string generated = Path("generated.opt");
    const std::vector<uint8_t> bytes = BuildLargeModel(2000, 4);
    std::ofstream(generated, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const Json large =
        ExportAndImport(generated, format.formatId, format.extension, "--scale 1/41");
    const Json largeReference = ExportAndImport(generated, "glb2", "glb", "--scale 1/41");
    ASSERT_TRUE(large.is_object() && largeReference.is_object());
    Check(generated, large, largeReference, false);
}

// Without --units every format is written in metres, those without a unit of their own too, and
// --up chooses the up axis of those without one.
// With --units opt the numbers are OPT units: FBX and Collada say so (the importer comes back to
// metres), 3MF cannot and says millimetres, with a warning.
TEST_F(ThreeImportFolder, MetresByDefaultUpAsAskedAndOptUnitsDeclaredWhereTheFormatCan) {
    const std::string fighter = VEXLOR_SOURCE_DIR "/samples/fighter.opt";
    const Expected expected = FromOpen(fighter);
    for (const auto& [id, extension] : {std::pair{"glb2", "glb"}, std::pair{"obj", "obj"},
                                        std::pair{"stlb", "stl"}, std::pair{"plyb", "ply"}}) {
        const Json imported = ExportAndImport(fighter, id, extension, "");
        ASSERT_TRUE(imported.is_object()) << id;
        EXPECT_NEAR(imported["min"][0].get<double>(), expected.low[0], 1e-5) << id << ": metres";
        EXPECT_NEAR(imported["max"][0].get<double>(), expected.high[0], 1e-5) << id << ": metres";
    }
    // --up turns the formats that name no up axis: the fighter's height along z, or along y.
    for (const auto& [id, up] : {std::pair{"plyb", "z"}, std::pair{"stlb", "y"}}) {
        const Json imported = ExportAndImport(
            fighter, id, id == std::string("plyb") ? "ply" : "stl", std::string("--up ") + up);
        ASSERT_TRUE(imported.is_object()) << id;
        const size_t height = up == std::string("z") ? 2 : 1;
        EXPECT_NEAR(imported["max"][height].get<double>(), expected.high[1], 1e-5) << id;
        EXPECT_NEAR(imported["min"][height].get<double>(), expected.low[1], 1e-5) << id;
    }
    for (const auto& [id, extension] : {std::pair{"fbx", "fbx"}, std::pair{"collada", "dae"}}) {
        const Json imported = ExportAndImport(fighter, id, extension, "--units opt");
        ASSERT_TRUE(imported.is_object()) << id;
        EXPECT_NEAR(imported["max"][0].get<double>(), expected.high[0], 1e-5) << id << ": metres";
    }
    std::string errors;
    const Json printed = ExportAndImport(fighter, "3mf", "3mf", "--units opt", &errors);
    ASSERT_TRUE(printed.is_object());
    EXPECT_EQ(printed["unit"].get<double>(), 0.001);
    EXPECT_NE(errors.find("vexlor: warning: 3MF names no unit of OPT units (1/41 m): the file "
                          "says millimetres"),
              std::string::npos)
        << errors;
}

INSTANTIATE_TEST_SUITE_P(Formats, ThreeImport, ::testing::ValuesIn(kReadable),
                         [](const ::testing::TestParamInfo<ThreeCase>& info) {
                             return std::string(info.param.formatId);
                         });

}  // namespace
}  // namespace vexlor::testing
