// `vexlor export` run as a process, as a user runs it: the files it writes and what assimp reads
// back from them, the format list, usage, read and write errors, warnings, and every sample and
// broken sample exported or refused cleanly (every glTF file left is validated).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "CommandRun.h"
#include "ExportTestSupport.h"
#include "export/ExportWriter.h"
#include "reader/OptDocument.h"

namespace vexlor::testing {
namespace {

const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

struct CliRun {
    int status = -1;  // -1: killed by a signal (a crash or the timeout)
    std::string out;
    std::vector<std::string> errors;  // the lines of standard error
};

class ExportCli : public ExportFolderTest {
  protected:
    // Runs `vexlor ARGS` in a folder of its own (beside the test folder, so that only the
    // exported files land in the test folder), with a time limit.
    CliRun Vexlor(const std::string& args) const {
        const fs::path outputs = dir_.string() + ".run";
        const CommandRun caught = RunCaught(
            "cd '" + dir_.string() + "' && timeout 120 '" VEXLOR_BINARY "' " + args, outputs);
        fs::remove_all(outputs);
        return {caught.status, caught.out, Lines(caught.err)};
    }
    static std::string Sample(const std::string& name) {
        return "'" + (kSamples / name).string() + "'";
    }
};

// The open's faces of one level: its count and bounding box, from the file's own draw tables.
struct Drawn {
    int64_t faces = 0;
    aiVector3D low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
};

Drawn DrawnFaces(const std::string& file, int32_t lod) {
    OptDocument document;
    EXPECT_TRUE(document.Open(file).Ok());
    Drawn drawn;
    for (const DrawFace& face : document.Model().DrawFaces) {
        if (lod != kAllLevels && face.Lod != lod) continue;
        ++drawn.faces;
        for (const Vec3& c : face.Corners) {
            drawn.low = aiVector3D(std::min(drawn.low.x, c.X), std::min(drawn.low.y, c.Y),
                                   std::min(drawn.low.z, c.Z));
            drawn.high = aiVector3D(std::max(drawn.high.x, c.X), std::max(drawn.high.y, c.Y),
                                    std::max(drawn.high.z, c.Z));
        }
    }
    return drawn;
}

void Bounds(const aiScene& scene, const aiNode& node, const aiMatrix4x4& parent, aiVector3D& low,
            aiVector3D& high, int64_t& faces) {
    const aiMatrix4x4 global = parent * node.mTransformation;
    for (unsigned int i = 0; i < node.mNumMeshes; ++i) {
        const aiMesh& mesh = *scene.mMeshes[node.mMeshes[i]];
        faces += mesh.mNumFaces;
        for (unsigned int v = 0; v < mesh.mNumVertices; ++v) {
            const aiVector3D p = global * mesh.mVertices[v];
            low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
    }
    for (unsigned int i = 0; i < node.mNumChildren; ++i)
        Bounds(scene, *node.mChildren[i], global, low, high, faces);
}

bool HasNode(const aiNode& node, const std::string& name) {
    if (name == node.mName.C_Str()) return true;
    for (unsigned int i = 0; i < node.mNumChildren; ++i)
        if (HasNode(*node.mChildren[i], name)) return true;
    return false;
}

TEST_F(ExportCli, WritesTheFighterInTheFormatOfItsExtensionWithTheChosenLevelAndScale) {
    const std::string fighter = (kSamples / "fighter.opt").string();
    CliRun run = Vexlor("export " + Sample("fighter.opt") + " -o fighter.glb");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.errors.empty()) << run.errors.front();
    {
        const Imported glb = Import(Path("fighter.glb"));
        ASSERT_NE(glb.scene, nullptr) << glb.importer->GetErrorString();
        // The type names come from the tables beside the program.
        EXPECT_TRUE(HasNode(*glb.scene->mRootNode, "mesh 0 Main hull"));
        EXPECT_TRUE(HasNode(*glb.scene->mRootNode, "mesh 3 LOD 1"));
        EXPECT_FALSE(HasNode(*glb.scene->mRootNode, "mesh 3 LOD 2"));
    }

    // All levels in metres, OBJ: polygons kept, y up, a material file beside it.
    run = Vexlor("export " + Sample("fighter.opt") + " --lod all --units metres -o fighter.obj");
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(fs::exists(Path("fighter.mtl")));
    const Imported obj = Import(Path("fighter.obj"));
    ASSERT_NE(obj.scene, nullptr) << obj.importer->GetErrorString();
    const Drawn drawn = DrawnFaces(fighter, kAllLevels);
    aiVector3D low(1e30f, 1e30f, 1e30f), high(-1e30f, -1e30f, -1e30f);
    int64_t faces = 0;
    Bounds(*obj.scene, *obj.scene->mRootNode, aiMatrix4x4(), low, high, faces);
    EXPECT_EQ(faces, drawn.faces);
    const aiVector3D upLow(drawn.low.x, drawn.low.z, -drawn.high.y);
    const aiVector3D upHigh(drawn.high.x, drawn.high.z, -drawn.low.y);
    EXPECT_LT((low - upLow / 41.0f).Length(), 1e-4f);
    EXPECT_LT((high - upHigh / 41.0f).Length(), 1e-4f);

    // --format chooses among the writers of one extension: ASCII STL rather than binary.
    EXPECT_EQ(
        Vexlor("export " + Sample("fighter.opt") + " --lod 2 --format stl -o fighter.stl").status,
        0);
    EXPECT_EQ(Read(Path("fighter.stl")).rfind("solid", 0), 0u);
    EXPECT_EQ(Vexlor("export " + Sample("fighter.opt") + " --lod 2 -o binary.stl").status, 0);
    EXPECT_NE(Read(Path("binary.stl")).rfind("solid", 0), 0u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"binary.stl", "fighter.glb", "fighter.mtl",
                                                   "fighter.obj", "fighter.stl"}));
}

// An OBJ's material file is named after the output, with or without its extension; an output
// given as a symbolic link into another folder writes the file it names, and its side files
// beside the link, named after it, so that the output opens through the link.
TEST_F(ExportCli, SideFilesAreNamedAfterTheOutputAndOpenThroughALink) {
    CliRun run = Vexlor("export " + Sample("fighter.opt") + " -o shipA --format obj");
    EXPECT_EQ(run.status, 0) << ::testing::PrintToString(run.errors);
    EXPECT_NE(Read(Path("shipA")).find("mtllib shipA.mtl\n"), std::string::npos);
    fs::create_directory(Path("real"));
    fs::create_symlink("real/ship", Path("out"));
    run = Vexlor("export " + Sample("fighter.opt") + " -o out --format obj");
    EXPECT_EQ(run.status, 0) << ::testing::PrintToString(run.errors);
    EXPECT_TRUE(fs::is_symlink(Path("out")));
    EXPECT_NE(Read(Path("real/ship")).find("mtllib out.mtl\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(Path("out.mtl")));
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"out", "out.mtl", "real", "shipA", "shipA.mtl"}));

    fs::create_directory(Path("links"));
    fs::create_symlink("../real/real.gltf", Path("links/mylink.gltf"));
    run = Vexlor("export " + Sample("fighter.opt") + " -o " + Path("links/mylink.gltf"));
    EXPECT_EQ(run.status, 0) << ::testing::PrintToString(run.errors);
    EXPECT_TRUE(fs::is_symlink(Path("links/mylink.gltf")));
    EXPECT_NE(Read(Path("real/real.gltf")).find("\"mylink.bin\""), std::string::npos);
    const Imported imported = Import(Path("links/mylink.gltf"));
    ASSERT_NE(imported.scene, nullptr) << imported.importer->GetErrorString();
    EXPECT_GT(imported.scene->mNumMeshes, 0u);
}

TEST_F(ExportCli, FormatsListsEveryWriterWithItsIdAndExtension) {
    const CliRun run = Vexlor("export --formats");
    EXPECT_EQ(run.status, 0);
    std::vector<std::string> expected;
    for (const ExportFormat& format : ExportFormats())
        expected.push_back(format.Id + "\t" + format.Extension + "\t" + format.Description);
    EXPECT_EQ(Lines(run.out), expected);
    for (const char* tested : {"glb2\tglb\t", "gltf2\tgltf\t", "obj\tobj\t", "fbx\tfbx\t",
                               "stlb\tstl\t", "plyb\tply\t", "collada\tdae\t", "3mf\t3mf\t"})
        EXPECT_NE(("\n" + run.out).find(std::string("\n") + tested), std::string::npos) << tested;
}

TEST_F(ExportCli, UsageReadAndWriteErrorsAreOneLineWithStatusTwoAndWriteNothing) {
    fs::create_directories(Path("sub"));
    const std::string fighter = Sample("fighter.opt");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"export", "vexlor: export needs FILE (see vexlor --help)"},
        {"export " + fighter, "vexlor: export needs -o OUT (see vexlor --help)"},
        {"export " + fighter + " -o x.glb --lod 0",
         "vexlor: --lod must be all or a level number from 1, not '0'"},
        {"export " + fighter + " -o x.glb --lod two",
         "vexlor: --lod must be all or a level number from 1, not 'two'"},
        {"export " + fighter + " -o x.glb --scale 0",
         "vexlor: --scale must be a number above 0 that keeps positions finite (such as 0.5 or "
         "1/41), not '0'"},
        {"export " + fighter + " -o x.glb --scale 1/0",
         "vexlor: --scale must be a number above 0 that keeps positions finite (such as 0.5 or "
         "1/41), not '1/0'"},
        {"export " + fighter + " -o x.glb --scale -2",
         "vexlor: --scale must be a number above 0 that keeps positions finite (such as 0.5 or "
         "1/41), not '-2'"},
        {"export " + fighter + " -o x.glb --scale 1e40",
         "vexlor: --scale must be a number above 0 that keeps positions finite (such as 0.5 or "
         "1/41), not '1e40'"},
        {"export " + fighter + " -o x.glb --scale 1e37",
         "vexlor: Invalid scale 1e+37: the model's"},
        {"export " + fighter + " -o x.glb --scale 1e-50",
         "vexlor: Invalid scale 1e-50: the model's coordinates down to"},
        {"export " + fighter + " -o x.glb --units feet",
         "vexlor: --units must be one of opt, metres, centimetres, millimetres, not 'feet'"},
        {"export " + fighter + " -o x.glb --units metres --scale 2",
         "vexlor: --units and --scale say the same: give one of them"},
        {"export " + fighter + " -o x.ply --up x", "vexlor: --up must be y or z, not 'x'"},
        {"export " + fighter + " -o x.ply --format glb2 --up z",
         "vexlor: --up is for OBJ, PLY and STL, whose files name no up axis; glb2 has its own "
         "frame"},
        {"export " + fighter + " -o x.dae --up y",
         "vexlor: --up is for OBJ, PLY and STL, whose files name no up axis; collada has its "
         "own frame"},
        {"export " + fighter + " -o x.glb --format nope",
         "vexlor: unknown export format 'nope' (see vexlor export --formats)"},
        {"export --formats " + fighter,
         "vexlor: --formats takes no FILE and no other option of export"},
        {"export missing.opt -o x.glb",
         "vexlor: Cannot open file missing.opt (No such file or directory)"},
        {"export " + fighter + " -o x.xyz", "vexlor: No export format for the extension .xyz"},
        {"export " + fighter + " -o x.glb --lod 7",
         "vexlor: Nothing to export: no faces in level of detail 7"},
        {"export " + fighter + " -o missing/x.glb", "vexlor: Cannot create file missing/x.glb"},
        {"export " + fighter + " -o sub", "vexlor: No export format: sub has no extension"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = Vexlor(args);
        EXPECT_EQ(run.status, 2) << args;
        ASSERT_EQ(run.errors.size(), 1u) << args;
        EXPECT_EQ(run.errors[0].substr(0, message.size()), message) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(Entries(), std::vector<std::string>{"sub"}) << args;
    }
}

TEST_F(ExportCli, BadIndicesAreWarnedAboutOnStandardErrorAndTheFileIsWrittenAllTheSame) {
    const CliRun run =
        Vexlor("export " + Sample("broken/bad-indices.opt") + " --lod all -o bad.gltf");
    // Its negative counts leave payloads unread, which the last line says.
    EXPECT_EQ(run.status, 1);
    ASSERT_GE(run.errors.size(), 2u);
    for (const std::string& line : run.errors)
        EXPECT_EQ(line.rfind("vexlor: warning: ", 0), 0u) << line;
    EXPECT_EQ(run.errors[0],
              "vexlor: warning: mesh 0, LOD 1, face block at offset 810: 10 corners with a vertex "
              "index outside the vertex table left out");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"bad.bin", "bad.gltf"}));
    const Imported imported = Import(Path("bad.gltf"));
    ASSERT_NE(imported.scene, nullptr) << imported.importer->GetErrorString();
}

// A file the walk could not read whole is exported as far as it was read, and says so: one line
// naming the file and what was cut, and status 1; a sound file stays at status 0.
TEST_F(ExportCli, AModelReadOnlyInPartIsWrittenWithALineSayingSoAndStatusOne) {
    const CliRun cut = Vexlor("export " + Sample("broken/truncated.opt") + " -o cut.glb");
    EXPECT_EQ(cut.status, 1);
    ASSERT_EQ(cut.errors.size(), 1u);
    EXPECT_TRUE(cut.errors[0].starts_with(
        "vexlor: warning: " + (kSamples / "broken/truncated.opt").string() +
        ": part of the model was not read: "))
        << cut.errors[0];
    EXPECT_TRUE(fs::exists(Path("cut.glb")));
    const CliRun sound = Vexlor("export " + Sample("fighter.opt") + " -o sound.glb");
    EXPECT_EQ(sound.status, 0);
    EXPECT_TRUE(sound.errors.empty());
}

// Every sample and every broken sample, to both glTF forms and all levels: written with 0 errors
// in the validator (at the end of the test) and only warnings on standard error (status 0, or 1
// and a last line saying what was not read), or refused with status 2 and one line, leaving no
// file behind; never a crash, never a hang.
TEST_F(ExportCli, EverySampleExportsWithWarningsOrIsRefusedCleanly) {
    std::vector<fs::path> files;
    for (const fs::path& folder : {kSamples, kSamples / "broken"})
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".opt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 17u);
    int written = 0;
    for (const fs::path& file : files) {
        for (const char* extension : {".glb", ".gltf"}) {
            const std::string target = file.stem().string() +
                                       (file.parent_path() == kSamples ? "" : "-broken") +
                                       extension;
            const std::vector<std::string> before = Entries();
            const CliRun run =
                Vexlor("export '" + file.string() + "' --lod all -o '" + target + "'");
            SCOPED_TRACE(file.filename().string() + " -> " + target);
            ASSERT_TRUE(run.status >= 0 && run.status <= 2) << "status " << run.status;
            if (run.status != 2) {
                for (const std::string& line : run.errors)
                    EXPECT_EQ(line.rfind("vexlor: warning: ", 0), 0u) << line;
                EXPECT_EQ(run.status == 1,
                          !run.errors.empty() &&
                              run.errors.back().find(": part of the model was not read: ") !=
                                  std::string::npos);
                EXPECT_TRUE(fs::exists(Path(target)));
                ++written;
            } else {
                ASSERT_FALSE(run.errors.empty());
                EXPECT_EQ(run.errors.back().rfind("vexlor: ", 0), 0u);
                EXPECT_NE(run.errors.back().rfind("vexlor: warning: ", 0), 0u) << run.errors.back();
                EXPECT_EQ(Entries(), before) << "a refused export leaves nothing";
            }
        }
    }
    EXPECT_GE(written, 2 * 10);
    for (const std::string& name : Entries())
        EXPECT_NE(name.rfind(".vexlor", 0), 0u) << name;
}

}  // namespace
}  // namespace vexlor::testing
