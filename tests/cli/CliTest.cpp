// The vexlor command line: its output contract and its exit statuses, run as a real process.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "CommandRun.h"
#include "TempFolder.h"
#include "TestSupport.h"
#include "reader/Version.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;

using CliRun = CommandRun;

class Cli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = testing::TempFolderFor(
            "cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "names");
        std::ofstream(dir_ / "names" / "Mesh_Type.ace", std::ios::binary) << "Hull\r\n";
        std::ofstream(dir_ / "names" / "Hardpoint_Type.ace", std::ios::binary)
            << "None\r\nLaser\r\n";

        OptBuilder b(0x40);
        const int64_t v = b.AddVertices({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
        FaceInput face;
        face.Vertex = {0, 1, 2, -1};
        const int64_t f = b.AddFaces({face});
        b.SetMeshes({b.AddJump(0, {v, f, b.AddHardpoint(1, {1, 2, 3})})});
        model_ = b.Build();
        WriteFile((dir_ / "model.opt").string(), model_);
        document_.Names().HardpointTypeNames[1] = "Laser";
        document_.Names().MeshTypeNames[0] = "Hull";
        Load(document_, model_, "model.opt");
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs vexlor in the test folder with the given arguments.
    // `prefix` goes before the program, e.g. "timeout 20 ".
    CliRun Vexlor(const std::string& args, const std::string& prefix = "") const {
        return RunCaught("cd '" + dir_.string() + "' && " + prefix + "'" VEXLOR_BINARY "' " + args,
                         dir_);
    }
    static std::string Read(const fs::path& path) { return ReadWhole(path); }

    fs::path dir_;
    std::vector<uint8_t> model_;
    OptDocument document_;
};

TEST_F(Cli, ReportIsTheSaveAsciiBytesOnStandardOutputOrInAFile) {
    const CliRun run = Vexlor("--names names report model.opt");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, ReportBytes(document_, "OPTvexlor - model.opt"));
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Vexlor("--names names report model.opt -o out.txt").status, 0);
    EXPECT_EQ(Read(dir_ / "out.txt"), run.out);
}

TEST_F(Cli, PrjIsWrittenToTheNameAsGiven) {
    EXPECT_EQ(Vexlor("prj model.opt -o out").status, 0);
    const std::vector<uint8_t> bytes = PrjBytes(document_);
    EXPECT_EQ(Read(dir_ / "out"), std::string(bytes.begin(), bytes.end()));
}

TEST_F(Cli, TreeListsEveryNodeWithItsBlockEntry) {
    const CliRun run = Vexlor("tree model.opt");
    EXPECT_EQ(run.status, 0);
    const OptModel& store = document_.Model();
    EXPECT_EQ(run.out,
              "0\t0\t0\t6\t0\t0\tOPTfile\n"
              "1\t1\t0\t" +
                  std::to_string(store.BlockTable[1].Offset) +
                  "\t0\t0\tMesh0\n"
                  "2\t2\t0\t22\t3\t0\tData block 3 at 22\n"
                  "3\t2\t2\t" +
                  std::to_string(store.BlockTable[3].Offset) + "\t1\t0\tData block 1 at " +
                  std::to_string(store.BlockTable[3].Offset) +
                  "\n"
                  "4\t2\t3\t" +
                  std::to_string(store.BlockTable[4].Offset) + "\t22\t0\tData block 22 at " +
                  std::to_string(store.BlockTable[4].Offset) + "\n");
}

TEST_F(Cli, BlockShowsTheListLinesOfOneNode) {
    const CliRun run = Vexlor("--names names block model.opt 4");
    EXPECT_EQ(run.status, 0);
    std::string expected;
    for (const std::string& line : DisplayLines(document_, 4))
        expected += line + "\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_NE(run.out.find("   hardpoint type is 1 : Laser\n"), std::string::npos);
}

// The block's fields by their names in the format's table, with numbers for positions, as a
// JSON reader that vexlor did not write (node's) reads them.
TEST_F(Cli, BlockJsonGivesTheBlocksFieldsAndRecordsByName) {
    const auto read = [&](const std::string& node, const std::string& script) {
        const CliRun run = Vexlor("--names names block model.opt " + node + " --json");
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string command =
            "cd '" + dir_.string() +
            "' && node -e 'const d = " + "JSON.parse(require(\"fs\").readFileSync(0, \"utf8\")); " +
            "const r = Object.fromEntries(d.regions.map(x => [x.name, x]));" + " console.log(" +
            script + ")' < run.out > read.txt";
        EXPECT_EQ(std::system(command.c_str()), 0) << run.out;
        return Read(dir_ / "read.txt");
    };
    const int64_t faces = document_.Model().BlockTable[3].Offset;
    const int64_t payload = OptBuilder::ReadInt32(model_, faces + 20) - 0x40;
    EXPECT_EQ(read("3",
                   "[d.kind, d.offset, r.header.records[0].fields.faceCount, "
                   "r.header.records[0].fields.payloadOffset.position, "
                   "r.faceIndices.records[0].offset, "
                   "r.faceIndices.records[0].fields.vertexIndices.join(\" \"), "
                   "r.faceNormals.offset, r.softVectors.records.length].join(\",\")"),
              "face block," + std::to_string(faces) + ",1," + std::to_string(payload) + "," +
                  std::to_string(payload + 4) + ",0 1 2 -1," + std::to_string(payload + 4 + 64) +
                  ",1\n");
    EXPECT_EQ(read("4",
                   "[r.hardpoint.records[0].fields.type, "
                   "r.hardpoint.records[0].fields.position.join(\" \"), "
                   "r.hardpoint.fields[1].name, r.hardpoint.fields[1].offset].join(\",\")"),
              "1,1 2 3,position,4\n");
    EXPECT_EQ(
        read("0", "[r.meshes.count, r.meshes.records[0].fields.meshOffset.position].join(\",\")"),
        "1," + std::to_string(document_.Model().BlockTable[1].Offset) + "\n");
    EXPECT_EQ(Vexlor("--names names block model.opt 5 --json").status, 2);
}

TEST_F(Cli, FailuresGiveOneLineOnStandardErrorAndStatusTwo) {
    for (const std::string args : {"tree missing.opt", "block model.opt 5", "block model.opt x",
                                   "block model.opt -1", "frobnicate model.opt", "prj model.opt",
                                   "tree", "report model.opt -o no-such-folder/out.txt"}) {
        const CliRun run = Vexlor(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
    }
    EXPECT_NE(Vexlor("tree missing.opt").err.find("Cannot open file missing.opt"),
              std::string::npos);
}

// With --json a failure is also one JSON object on standard output, for every command that takes
// --json and for a usage error on a line that holds --json; the line on standard error stays.
TEST_F(Cli, FailuresWithJsonAreAlsoOneJsonObjectOnStandardOutput) {
    std::ofstream(dir_ / "empty.opt", std::ios::binary).flush();
    const std::vector<std::pair<std::string, std::string>> cases{
        {"block model.opt 5 --json", "no tree node 5 (the tree has 5 nodes)"},
        {"check missing.opt --json", "Cannot open file missing.opt (No such file or directory)"},
        {"check model.opt --json -o no-such-folder/out.json", "Cannot create file "},
        {"diff model.opt empty.opt --json", "empty.opt is not an OPT file: it is empty"},
        {"repair missing.opt -o out.opt --json", "Cannot open file missing.opt"},
        {"block model.opt x --json", "Could not convert: INDEX = x"},
        {"diff model.opt model.opt --tolerance nan --json", "--tolerance: T must be a finite"},
        {"tree model.opt --json", "The following argument was not expected: --json"},
    };
    for (const auto& [args, message] : cases) {
        const CliRun run = Vexlor(args);
        EXPECT_EQ(run.status, 2) << args;
        ASSERT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << args << ": " << run.err;
        EXPECT_TRUE(run.err.starts_with("vexlor: " + message)) << args << ": " << run.err;
        const std::string error = run.err.substr(8, run.err.size() - 9);
        const nlohmann::json json = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_TRUE(json.is_object()) << args << ": " << run.out;
        EXPECT_EQ(json, nlohmann::json({{"error", error}, {"status", 2}})) << args;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << args;
    }
    // Findings are no failure: their JSON is the result.
    EXPECT_EQ(Vexlor("check empty.opt --json").out.find("\"error\""), std::string::npos);
}

TEST_F(Cli, AFileThatIsNoOptFileIsReportedWithALineSayingSo) {
    std::vector<uint8_t> png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00,
                                0x0D, 'I',  'H',  'D',  'R',  0x00, 0x00, 0x02, 0x00, 0x00, 0x00};
    png.resize(500, 0x5A);
    WriteFile((dir_ / "picture.png").string(), png);
    std::ofstream(dir_ / "notes.txt", std::ios::binary)
        << "Shopping list:\r\n- bread\r\n- milk\r\n- a new spaceship\r\n";

    const CliRun picture = Vexlor("report picture.png");
    EXPECT_EQ(picture.status, 0);
    EXPECT_TRUE(picture.out.starts_with(
        "OPTvexlor - picture.png\r\n"
        "!! this does not look like an OPT file: its mesh count 21060 is more than its 500 bytes "
        "can hold\r\n"
        "Global Offset (adjusted) =218103800 ,FileSize =169478677\r\n"))
        << picture.out.substr(0, 300);
    const CliRun text = Vexlor("report notes.txt");
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(
        text.out.starts_with("OPTvexlor - notes.txt\r\n!! this does not look like an OPT file: "))
        << text.out.substr(0, 300);
    EXPECT_EQ(Vexlor("report model.opt").out.find("does not look like"), std::string::npos);
}

TEST_F(Cli, SavesOverAReadOnlyFileAFolderOrAFifoAreRefusedAndLeaveThemAlone) {
    std::ofstream(dir_ / "kept.txt") << "old contents";
    fs::permissions(dir_ / "kept.txt", fs::perms::owner_read);
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(mkfifo((dir_ / "pipe").c_str(), 0600), 0);
    for (const std::string target : {"kept.txt", "folder", "pipe"}) {
        for (const std::string command : {"report", "prj"}) {
            const CliRun run = Vexlor(command + " model.opt -o " + target);
            EXPECT_EQ(run.status, 2) << command << " " << target;
            EXPECT_TRUE(run.err.starts_with("vexlor: Cannot create file " + target + " ("))
                << run.err;
        }
    }
    EXPECT_EQ(Read(dir_ / "kept.txt"), "old contents");
    EXPECT_EQ(fs::status(dir_ / "kept.txt").permissions() & fs::perms::all, fs::perms::owner_read);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
}

TEST_F(Cli, AFolderOrAFifoIsNoFileToOpen) {
    fs::create_directory(dir_ / "folder.opt");
    const CliRun folder = Vexlor("tree folder.opt");
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.out, "");
    EXPECT_EQ(folder.err, "vexlor: Cannot open file folder.opt (Is a directory)\n");
    // Nothing ever writes to the FIFO: opening it must not wait for a writer.
    ASSERT_EQ(mkfifo((dir_ / "pipe.opt").c_str(), 0600), 0);
    const CliRun fifo = Vexlor("tree pipe.opt", "timeout 20 ");
    EXPECT_EQ(fifo.status, 2);
    EXPECT_EQ(fifo.err, "vexlor: Cannot open file pipe.opt (Not a regular file)\n");

    OptDocument document;
    Load(document, model_, "model.opt");
    const Result opened = document.Open((dir_ / "folder.opt").string());
    EXPECT_FALSE(opened.Ok());
    EXPECT_EQ(opened.Message(), "Cannot open file " + (dir_ / "folder.opt").string());
    EXPECT_EQ(document.CurrentFileName(), "model.opt");
    EXPECT_EQ(document.Model().Tree.Count(), 5);
}

TEST_F(Cli, TypeNamesComeFromTheDataFolderBesideTheProgramWhenTheWorkingFolderHasNone) {
    ASSERT_FALSE(fs::exists(dir_ / "data"));
    std::ifstream table(fs::path(VEXLOR_SOURCE_DIR) / "data" / "Hardpoint_Type.ace",
                        std::ios::binary);
    std::string first, second;
    std::getline(table, first, '\r');
    table.ignore(1);
    std::getline(table, second, '\r');
    ASSERT_FALSE(second.empty());
    const CliRun run = Vexlor("block model.opt 4");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("   hardpoint type is 1 : " + second + "\n"), std::string::npos)
        << run.out;
    const CliRun report = Vexlor("report model.opt");
    EXPECT_NE(report.out.find("   hardpoint type is 1 : " + second + "\r\n"), std::string::npos);
}

TEST_F(Cli, MissingNameTablesAreAWarningNotAFailure) {
    const CliRun run = Vexlor("--names nowhere block model.opt 4");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("nowhere/Mesh_Type.ace: File not found"), std::string::npos);
    EXPECT_NE(run.out.find("   hardpoint type is 1 : \n"), std::string::npos);
}

TEST_F(Cli, HelpListsTheCommandsAndEachCommandItsOptions) {
    const CliRun help = Vexlor("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"report", "prj", "tree", "block", "check"})
        EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
    EXPECT_NE(help.out.find("--names DIR"), std::string::npos);
    const CliRun report = Vexlor("report --help");
    EXPECT_EQ(report.status, 0);
    EXPECT_NE(report.out.find("-o OUT"), std::string::npos);
    EXPECT_NE(Vexlor("check -h").out.find("--vn whole|mesh|none"), std::string::npos);
    const CliRun version = Vexlor("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vexlor " VEXLOR_VERSION "\n");
}

TEST_F(Cli, UsageErrorsNameWhatIsWrong) {
    EXPECT_EQ(Vexlor("frobnicate model.opt").err,
              "vexlor: unknown command 'frobnicate' (see vexlor --help)\n");
    EXPECT_EQ(Vexlor("").err, "vexlor: no command given (see vexlor --help)\n");
    EXPECT_NE(Vexlor("report model.opt --bogus").err.find("--bogus"), std::string::npos);
    // Global options work before and after the command.
    EXPECT_EQ(Vexlor("block model.opt 4 --names names").out,
              Vexlor("--names names block model.opt 4").out);
}

}  // namespace
}  // namespace vexlor::testing
