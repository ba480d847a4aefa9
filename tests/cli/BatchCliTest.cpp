// `vexlor` over several files, run as a real process on a folder of generated models: good ones,
// ones with findings, broken ones, a text file named like a model, and two that cannot be read
// (a link to nothing, a FIFO) in the middle.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>

#include "CommandRun.h"
#include "Deadline.h"
#include "SameBytes.h"
#include "reader/OptDocument.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;

using CliRun = CommandRun;

std::string Read(const fs::path& path) {
    return ReadWhole(path);
}

// mods/ as the tests find it; the names sort as: capitals first, then the subfolder "broken/"
// between "a-" and "c-", so the unreadable files sit in the middle. The check finds something in
// the faulty sample, the seam sample and the text file (its mesh table lies outside it).
const std::vector<std::string> kTopFiles{"mods/B-FAULTY.OPT", "mods/a-fighter.opt",
                                         "mods/c-gone.opt",   "mods/d-large.opt",
                                         "mods/e-seam.opt",   "mods/f-text.opt"};
const std::string kGoneMessage =
    "vexlor: Cannot open file mods/c-gone.opt (No such file or directory)\n";
// Each run takes a second or two; the deadline leaves room for a sanitizer build on a busy machine.
constexpr std::chrono::seconds kRunLimit(20);
const std::string kTimeout = "timeout -k 5 " + std::to_string(kRunLimit.count()) + " ";

class Batch : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("vexlor-batch-" + std::to_string(getpid()));
        fs::remove_all(dir_);
        const fs::path mods = dir_ / "mods";
        fs::create_directories(mods / "broken");
        WriteFile((mods / "B-FAULTY.OPT").string(), BuildFaultySample());
        WriteFile((mods / "a-fighter.opt").string(), BuildFighter(fighter_));
        fs::create_symlink(dir_ / "nowhere.opt", mods / "c-gone.opt");
        // Past the 4 MiB a file's waiting output keeps in memory: its report goes through a
        // temporary file.
        WriteFile((mods / "d-large.opt").string(), BuildLargeModel(5000, 2));
        WriteFile((mods / "e-seam.opt").string(), BuildSeamSample());
        std::ofstream(mods / "f-text.opt", std::ios::binary)
            << "Shopping list:\r\n- bread\r\n- milk\r\n- a new spaceship\r\n";
        std::ofstream(mods / "notes.txt") << "not a model";
        for (const auto& [name, bytes] : BuildBrokenSamples())
            WriteFile((mods / "broken" / name).string(), bytes);
        // Nothing ever writes to it: reading it must neither hang nor stop the others.
        ASSERT_EQ(mkfifo((mods / "broken" / "zz-pipe.opt").c_str(), 0600), 0);
        fs::create_directories(dir_ / "empty");
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    // Runs vexlor in the test folder; with `merged`, standard error goes into `out` too.
    static CliRun Vexlor(const std::string& args, bool merged = false) {
        // A runaway output stops at 1 GiB rather than filling the disk.
        const CliRun run = RunCaught("cd '" + dir_.string() + "' && ulimit -f 2097152 && " +
                                         kTimeout + "'" VEXLOR_BINARY "' " + args,
                                     dir_, merged);
        if (run.timedOut) Hung("vexlor " + args);
        return run;
    }
    // A run that outlives its deadline hangs, and the suite's other runs most likely with it: the
    // program ends at once, naming the run.
    [[noreturn]] static void Hung(const std::string& command) {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
        EndAsHung(kRunLimit, command);
    }

    // Every file the recursive run over mods/ reads, in order.
    static std::vector<std::string> RecursiveFiles() {
        std::vector<std::string> broken;
        for (const auto& entry : fs::directory_iterator(dir_ / "mods" / "broken"))
            broken.push_back("mods/broken/" + entry.path().filename().string());
        std::sort(broken.begin(), broken.end());
        std::vector<std::string> files(kTopFiles.begin(), kTopFiles.begin() + 2);
        files.insert(files.end(), broken.begin(), broken.end());
        files.insert(files.end(), kTopFiles.begin() + 2, kTopFiles.end());
        return files;
    }

    static inline fs::path dir_;
    static inline FighterLayout fighter_;
};

TEST_F(Batch, CheckOfAFolderGivesEachFilesRunInOrderThenASummaryAndExitsByTheWorstFile) {
    const CliRun run = Vexlor("check mods");
    std::string expected;
    for (const std::string& file : kTopFiles)
        expected += "==> " + file + " <==\n" + Vexlor("check " + file).out;
    EXPECT_TRUE(SameBytes(run.out, expected + "6 files: 2 OK, 3 with findings, 1 unreadable\n"));
    EXPECT_EQ(run.err, kGoneMessage);
    EXPECT_EQ(run.status, 2);

    const CliRun findings = Vexlor("check mods/B-FAULTY.OPT mods/a-fighter.opt mods/e-seam.opt");
    EXPECT_EQ(findings.status, 1);
    EXPECT_TRUE(findings.out.ends_with("\n3 files: 1 OK, 2 with findings, 0 unreadable\n"));
    const CliRun clean = Vexlor("check mods/a-fighter.opt mods/d-large.opt");
    EXPECT_EQ(clean.status, 0);
    EXPECT_TRUE(clean.out.ends_with("\nAll OK!!\n2 files: 2 OK, 0 with findings, 0 unreadable\n"));
    EXPECT_EQ(clean.err, "");
}

TEST_F(Batch, RecursiveReadsTheSubfoldersAndCountsWhatEachFileGivesAlone) {
    const CliRun run = Vexlor("check mods --recursive --vn mesh");
    std::string expected;
    size_t counts[3] = {0, 0, 0};
    for (const std::string& file : RecursiveFiles()) {
        const CliRun alone = Vexlor("check " + file + " --vn mesh");
        ASSERT_LE(alone.status, 2) << file;
        ++counts[alone.status];
        expected += "==> " + file + " <==\n" + alone.out;
    }
    EXPECT_EQ(counts[2], 2u);  // the link to nothing and the FIFO
    EXPECT_TRUE(SameBytes(run.out, expected + std::to_string(RecursiveFiles().size()) +
                                       " files: " + std::to_string(counts[0]) + " OK, " +
                                       std::to_string(counts[1]) +
                                       " with findings, 2 unreadable\n"));
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "vexlor: Cannot open file mods/broken/zz-pipe.opt (Not a regular file)\n" +
                           kGoneMessage);
}

TEST_F(Batch, OneJobAndFourJobsWriteTheSameBytes) {
    for (const std::string command :
         {"report mods --recursive", "tree mods --recursive", "check mods --recursive --json"}) {
        const CliRun one = Vexlor(command + " --jobs 1", true);
        const CliRun four = Vexlor(command + " --jobs 4", true);
        EXPECT_EQ(one.status, 2) << command;
        EXPECT_EQ(four.status, one.status) << command;
        EXPECT_TRUE(SameBytes(four.out, one.out)) << command;
    }
    // The large model's report alone is more than a waiting output keeps in memory.
    EXPECT_GT(Vexlor("report mods/d-large.opt").out.size(), size_t{5} << 20);
}

TEST_F(Batch, JsonGivesOneRecordPerFileWithTheSingleFileFindingsAndTheModelsCounts) {
    const CliRun run = Vexlor("check mods --json --vn mesh");
    EXPECT_EQ(run.status, 2);
    // Standard output holds the records only; the summary goes with the messages.
    EXPECT_EQ(run.err, kGoneMessage + "6 files: 2 OK, 3 with findings, 1 unreadable\n");
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), kTopFiles.size());
    for (size_t k = 0; k < lines.size(); ++k) {
        const std::string& file = kTopFiles[k];
        const nlohmann::json record = nlohmann::json::parse(lines[k]);
        EXPECT_EQ(record.at("path"), file);
        if (file == "mods/c-gone.opt") {
            EXPECT_EQ(record.at("verdict"), "unreadable");
            EXPECT_EQ(record.at("errors"),
                      nlohmann::json::array({"Cannot open file mods/c-gone.opt (No such file "
                                             "or directory)"}));
            for (const char* key : {"size", "meshes", "faces", "allOk", "errorCount"})
                EXPECT_TRUE(record.at(key).is_null()) << key;
            EXPECT_EQ(record.at("findings"), nlohmann::json::array());
            continue;
        }
        const CliRun alone = Vexlor("check " + file + " --json --vn mesh");
        const nlohmann::json single = nlohmann::json::parse(alone.out);
        EXPECT_EQ(record.at("findings"), single.at("findings")) << file;
        EXPECT_EQ(record.at("errorCount"), single.at("errorCount")) << file;
        EXPECT_EQ(record.at("allOk"), single.at("allOk")) << file;
        EXPECT_EQ(record.at("verdict"), alone.status == 0 ? "ok" : "findings") << file;
        EXPECT_EQ(record.at("size"), fs::file_size(dir_ / file)) << file;
        EXPECT_EQ(record.at("errors"), nlohmann::json::array()) << file;
        EXPECT_EQ(record.at("notOptFile").is_null(), file != "mods/f-text.opt") << file;
    }

    const nlohmann::json fighter = nlohmann::json::parse(lines[1]);
    int64_t faces = 0, hardpoints = 0;
    for (const FighterMesh& mesh : fighter_.Meshes) {
        for (const int32_t count : mesh.FaceCount)
            faces += count;
        hardpoints += static_cast<int64_t>(mesh.Hardpoints.size());
    }
    EXPECT_EQ(fighter.at("meshes"), fighter_.Meshes.size());
    EXPECT_EQ(fighter.at("faces"), faces);
    EXPECT_EQ(fighter.at("levels"), 3);
    EXPECT_EQ(fighter.at("hardpoints"), hardpoints);
    OptDocument large;
    ASSERT_TRUE(large.Open((dir_ / "mods/d-large.opt").string()).Ok());
    const nlohmann::json record = nlohmann::json::parse(lines[3]);
    EXPECT_EQ(record.at("meshes"), 2);
    EXPECT_EQ(record.at("faces"), large.Model().DrawFaces.size());
    EXPECT_EQ(record.at("levels"), 3);
    EXPECT_EQ(record.at("hardpoints"), 0);
}

TEST_F(Batch, AnOutputFolderGetsOneFileNamedAfterEachInputWithTheCommandsEnding) {
    fs::remove_all(dir_ / "out");
    const CliRun reports = Vexlor("report mods --recursive -o out/reports");
    EXPECT_EQ(reports.status, 2);
    EXPECT_EQ(reports.out, "");
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / "out" / "reports"))
        if (entry.is_regular_file())
            written.push_back(fs::relative(entry.path(), dir_ / "out" / "reports").string());
    std::sort(written.begin(), written.end());
    std::vector<std::string> expected;
    for (const std::string& file : RecursiveFiles()) {
        if (file == "mods/c-gone.opt" || file == "mods/broken/zz-pipe.opt") continue;
        std::string name = file.substr(5, file.size() - 9) + ".txt";
        expected.push_back(name);
        EXPECT_TRUE(SameBytes(Read(dir_ / "out" / "reports" / name), Vexlor("report " + file).out))
            << file;
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(written, expected);

    const CliRun trees = Vexlor("tree mods/a-fighter.opt mods/e-seam.opt -o out/trees");
    EXPECT_EQ(trees.status, 0);
    EXPECT_TRUE(SameBytes(Read(dir_ / "out/trees/a-fighter.tree.txt"),
                          Vexlor("tree mods/a-fighter.opt").out));
    EXPECT_TRUE(fs::exists(dir_ / "out/trees/e-seam.tree.txt"));

    const CliRun prj = Vexlor("prj mods -o out/prj");
    EXPECT_EQ(prj.status, 2);
    EXPECT_EQ(Vexlor("prj mods/B-FAULTY.OPT -o out/alone.PRJ").status, 0);
    EXPECT_TRUE(SameBytes(Read(dir_ / "out/prj/B-FAULTY.PRJ"), Read(dir_ / "out/alone.PRJ")));
    EXPECT_FALSE(fs::exists(dir_ / "out/prj/c-gone.PRJ"));

    // One file with -o: the output goes to OUT as named, the exit status stays the check's.
    const CliRun alone = Vexlor("check mods/e-seam.opt -o out/seam-check");
    EXPECT_EQ(alone.status, 1);
    EXPECT_EQ(alone.out, "");
    EXPECT_TRUE(SameBytes(Read(dir_ / "out/seam-check"), Vexlor("check mods/e-seam.opt").out));

    // The check keeps its summary on standard output; its lines and records go to the files.
    const CliRun checks = Vexlor("check mods/a-fighter.opt mods/e-seam.opt -o out/checks");
    EXPECT_EQ(checks.out, "2 files: 1 OK, 1 with findings, 0 unreadable\n");
    EXPECT_TRUE(
        SameBytes(Read(dir_ / "out/checks/e-seam.check.txt"), Vexlor("check mods/e-seam.opt").out));
    Vexlor("check mods/a-fighter.opt mods/e-seam.opt --json -o out/checks");
    EXPECT_EQ(nlohmann::json::parse(Read(dir_ / "out/checks/e-seam.check.json")).at("path"),
              "mods/e-seam.opt");
}

TEST_F(Batch, ExportWritesEachModelIntoTheFolderAsItAloneWouldWithItsWarningsInItsTurn) {
    fs::remove_all(dir_ / "out");
    const CliRun several = Vexlor(
        "export mods/a-fighter.opt mods/c-gone.opt mods/e-seam.opt "
        "--format stl -o out/stl --jobs 2");
    EXPECT_EQ(several.status, 2);
    EXPECT_EQ(several.out, "");
    const CliRun fighter = Vexlor("export mods/a-fighter.opt --format stl -o out/fighter.stl");
    EXPECT_EQ(fighter.status, 0);
    EXPECT_TRUE(SameBytes(Read(dir_ / "out/stl/a-fighter.stl"), Read(dir_ / "out/fighter.stl")));
    EXPECT_TRUE(fs::exists(dir_ / "out/stl/e-seam.stl"));
    EXPECT_FALSE(fs::exists(dir_ / "out/stl/c-gone.stl"));
    // The fighter's warning (STL keeps no hardpoints), then the missing file's message.
    ASSERT_FALSE(fighter.err.empty());
    EXPECT_TRUE(fighter.err.starts_with("vexlor: warning: ")) << fighter.err;
    EXPECT_TRUE(several.err.starts_with(fighter.err + kGoneMessage)) << several.err;

    // Without --format a folder gets glTF binaries.
    EXPECT_EQ(Vexlor("export mods/a-fighter.opt mods/e-seam.opt -o out/glb").status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "out/glb/a-fighter.glb"));
    EXPECT_TRUE(fs::exists(dir_ / "out/glb/e-seam.glb"));
    const CliRun noOut = Vexlor("export mods/a-fighter.opt mods/e-seam.opt");
    EXPECT_EQ(noOut.status, 2);
    EXPECT_EQ(noOut.err, "vexlor: export needs -o OUT (see vexlor --help)\n");
}

TEST_F(Batch, ClashingOutputsAndArgumentsThatNameNothingStopTheRunBeforeItStarts) {
    fs::create_directories(dir_ / "other");
    fs::copy_file(dir_ / "mods/a-fighter.opt", dir_ / "other/a-fighter.opt",
                  fs::copy_options::overwrite_existing);
    const std::vector<std::pair<std::string, std::string>> refusals{
        {"report mods other -o clash",
         "vexlor: mods/a-fighter.opt and other/a-fighter.opt would both write "
         "clash/a-fighter.txt\n"},
        {"check mods/a-fighter.opt typo.opt", "vexlor: no such file or folder: typo.opt\n"},
        {"tree mods -o mods/a-fighter.opt",
         "vexlor: -o mods/a-fighter.opt is not a folder (with several inputs it names one)\n"},
        {"check empty", "vexlor: no OPT files in empty\n"},
        {"prj mods other", "vexlor: -o is required (see vexlor --help)\n"}};
    for (const auto& [args, message] : refusals) {
        const CliRun run = Vexlor(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(run.err, message) << args;
    }
    EXPECT_FALSE(fs::exists(dir_ / "clash"));
}

TEST_F(Batch, TheProgressLineIsShownOnATerminalOnly) {
    if (std::system("command -v script > /dev/null") != 0) GTEST_SKIP() << "no script(1) here";
    // Under script(1) standard error is a pseudo-terminal, whose bytes go to the typescript.
    const std::string command = "cd '" + dir_.string() + "' && script -qec \"" + kTimeout +
                                "'" VEXLOR_BINARY
                                "' check mods --jobs 2 > terminal.out\" terminal.log > /dev/null";
    const int status = WEXITSTATUS(std::system(command.c_str()));
    if (status == 124) Hung("vexlor check mods --jobs 2 (on a terminal)");
    EXPECT_EQ(status, 2);
    const std::string terminal = Read(dir_ / "terminal.log");
    EXPECT_NE(terminal.find("\rvexlor: 6/6 files, "), std::string::npos) << terminal;
    EXPECT_NE(terminal.find(" files/s\033[K"), std::string::npos);
    // Standard output went to a file, without the line; and without a terminal there is none.
    const CliRun piped = Vexlor("check mods --jobs 2");
    EXPECT_TRUE(SameBytes(Read(dir_ / "terminal.out"), piped.out));
    EXPECT_EQ(piped.err, kGoneMessage);
}

}  // namespace
}  // namespace vexlor::testing
