// `vexlor check` as a real process: the report list's lines, LF-terminated, and the exit status
// that says whether the run ended "All OK!!".
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "CheckTestSupport.h"
#include "CommandRun.h"
#include "TempFolder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

using CliRun = CommandRun;

CliRun Vexlor(const std::string& args) {
    const fs::path dir =
        fs::temp_directory_path() / ("vexlor-check-cli-" + std::to_string(getpid()));
    CliRun run = RunCaught("'" VEXLOR_BINARY "' " + args, dir);
    fs::remove_all(dir);
    return run;
}

// What the window's list would hold for the same file and mode, one LF-ended line each.
std::string ListText(const fs::path& file, VertexNormalCheck mode) {
    OptDocument document;
    EXPECT_TRUE(document.Open(file.string()).Ok());
    std::vector<std::string> lines;
    RunConsistencyCheck(document, mode, lines);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(CheckCli, PrintsTheListOfTheRunAndExitsByItsVerdict) {
    const fs::path fighter = kSamples / "fighter.opt";
    const CliRun clean = Vexlor("check '" + fighter.string() + "'");
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.out, ListText(fighter, VertexNormalCheck::WholeModel));
    EXPECT_TRUE(clean.out.ends_with("\nAll OK!!\n"));
    EXPECT_EQ(clean.err, "");

    const fs::path faulty = kSamples / "faulty.opt";
    for (const auto& [option, mode] : {std::pair{"", VertexNormalCheck::WholeModel},
                                       std::pair{" --vn whole", VertexNormalCheck::WholeModel},
                                       std::pair{" --vn mesh", VertexNormalCheck::MeshByMesh},
                                       std::pair{" --vn none", VertexNormalCheck::None}}) {
        const CliRun run = Vexlor("check '" + faulty.string() + "'" + option);
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_EQ(run.out, ListText(faulty, mode)) << option;
    }
    // Without the vertex normal test the faulty sample has one finding less.
    EXPECT_TRUE(Vexlor("check '" + faulty.string() + "' --vn none")
                    .out.ends_with("errors were detected!!\nNumber of errors = 5\n"));
}

// The warning lines of a run, in order.
std::vector<std::string> Warnings(const std::string& out) {
    std::vector<std::string> found;
    size_t start = 0;
    for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = out.substr(start, end - start);
        if (line.starts_with("WARNING!")) found.push_back(line);
    }
    return found;
}

TEST(CheckCli, TheTwoVertexNormalModesJudgeSeamsBetweenMeshesDifferently) {
    const fs::path seam = kSamples / "seam.opt";
    const CliRun whole = Vexlor("check '" + seam.string() + "' --vn whole");
    const CliRun mesh = Vexlor("check '" + seam.string() + "' --vn mesh");
    EXPECT_EQ(whole.out, ListText(seam, VertexNormalCheck::WholeModel));
    EXPECT_EQ(mesh.out, ListText(seam, VertexNormalCheck::MeshByMesh));
    EXPECT_NE(whole.out, mesh.out);
    // Across the whole model the seam of meshes 2 and 3 disagrees with their own normals.
    EXPECT_EQ(
        Warnings(whole.out),
        (std::vector<std::string>{"WARNING! Vertex normal anomaly, mesh 2, face 0, vertex 0!",
                                  "WARNING! Vertex normal anomaly, mesh 2, face 0, vertex 3!",
                                  "WARNING! Vertex normal anomaly, mesh 3, face 0, vertex 0!",
                                  "WARNING! Vertex normal anomaly, mesh 3, face 0, vertex 1!"}));
    EXPECT_NE(whole.out.find("Stored VN :" + Triple(0, 0, -1) +
                             "\nCalcd   VN :" + Triple(-0.70710677f, 0, -0.70710677f) + "\n"),
              std::string::npos);
    // Mesh by mesh the average stored at the seam of meshes 0 and 1 finds only one face.
    EXPECT_EQ(
        Warnings(mesh.out),
        (std::vector<std::string>{"WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 0!",
                                  "WARNING! Vertex normal anomaly, mesh 0, face 0, vertex 3!",
                                  "WARNING! Vertex normal anomaly, mesh 1, face 0, vertex 0!",
                                  "WARNING! Vertex normal anomaly, mesh 1, face 0, vertex 1!"}));
    EXPECT_NE(mesh.out.find("Stored VN :" + Triple(-0.70710677f, 0, -0.70710677f) +
                            "\nCalcd   VN :" + Triple(0, 0, -1) + "\n"),
              std::string::npos);
    for (const CliRun* run : {&whole, &mesh}) {
        EXPECT_EQ(run->status, 1);
        EXPECT_TRUE(run->out.ends_with("errors were detected!!\nNumber of errors = 4\n"));
    }
    const CliRun none = Vexlor("check '" + seam.string() + "' --vn none");
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.out.ends_with("\nAll OK!!\n"));
}

TEST(CheckCli, UsageAndFileErrorsExitWithTwo) {
    const std::string fighter = "'" + (kSamples / "fighter.opt").string() + "'";
    const std::vector<std::string> calls{"check",
                                         "check " + fighter + " --vn",
                                         "check " + fighter + " --vn all",
                                         "report " + fighter + " --vn mesh",
                                         "check /nonexistent/model.opt",
                                         "check " + fighter + " extra"};
    for (const std::string& args : calls) {
        const CliRun run = Vexlor(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_TRUE(run.err.starts_with("vexlor: ")) << args;
    }
}

TEST(CheckCli, FaultySampleIsWhatTheGeneratorMakes) {
    const std::string bytes = ReadWhole(kSamples / "faulty.opt");
    const std::vector<uint8_t> built = BuildFaultySample();
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()), built);
}

// --json: one record per finding line of the plain output, in the same order and with the same
// text, counted exactly as the run counts, each pointing at the face it is about.
TEST(CheckCli, JsonHasARecordForEveryFindingLineThatLeadsToItsFace) {
    for (const char* sample : {"faulty.opt", "seam.opt", "broken/bad-indices.opt", "fighter.opt"}) {
        const fs::path file = kSamples / sample;
        const std::string quoted = "'" + file.string() + "'";
        const CliRun plain = Vexlor("check " + quoted + " --vn mesh");
        const CliRun json = Vexlor("check " + quoted + " --vn mesh --json");
        EXPECT_EQ(json.status, plain.status) << sample;
        const nlohmann::json parsed = nlohmann::json::parse(json.out);
        std::vector<std::string> findingLines;
        std::istringstream lines(plain.out);
        for (std::string line; std::getline(lines, line);) {
            for (const char* start : {"ERROR!", "WARNING!", "error!", "!!"})
                if (line.rfind(start, 0) == 0) findingLines.push_back(line);
        }
        const nlohmann::json& records = parsed.at("findings");
        ASSERT_EQ(records.size(), findingLines.size()) << sample;
        int counted = 0;
        const std::string bytes = ReadWhole(file);
        for (size_t i = 0; i < records.size(); ++i) {
            const nlohmann::json& record = records[i];
            EXPECT_EQ(record.at("line"), findingLines[i]) << sample;
            counted += record.at("counted").get<bool>() ? 1 : 0;
            if (record.at("face").is_null()) continue;
            // The record is the face's four vertex indices, as the face's line names the face.
            const auto at = record.at("faceRecordOffset").get<int64_t>();
            ASSERT_LE(at + 16, static_cast<int64_t>(bytes.size())) << sample;
            const std::string face = ", face " + std::to_string(record.at("face").get<int64_t>());
            EXPECT_NE(findingLines[i].find(face), std::string::npos) << findingLines[i];
            const int64_t block = record.at("faceBlockOffset").get<int64_t>();
            const int64_t inBlock = record.at("faceInBlock").get<int64_t>();
            EXPECT_EQ(OptBuilder::ReadInt32({bytes.begin(), bytes.end()}, block + 4), 1) << sample;
            EXPECT_EQ(at, OptBuilder::ReadInt32({bytes.begin(), bytes.end()}, block + 20) -
                              OptBuilder::ReadInt32({bytes.begin(), bytes.end()}, 8) + 8 + 4 +
                              64 * inBlock)
                << sample;
        }
        EXPECT_EQ(counted, parsed.at("errorCount").get<int>()) << sample;
        EXPECT_EQ(parsed.at("allOk").get<bool>(), plain.status == 0) << sample;
    }
}

// A NaN face normal is a counted finding in --json too, pointing at the face normal's bytes; a
// warning leaves "All OK!!" and status 0, is counted as a warning in --json, and fails --strict.
TEST(CheckCli, JsonCountsNonFiniteFindingsAndWarningsAndStrictFailsOnWarnings) {
    const fs::path dir = TempFolderFor("check-json-nan");
    fs::create_directories(dir);
    MeshParts nan = CleanSquare();
    nan.faces[0].Normal.X = std::numeric_limits<float>::quiet_NaN();
    MeshParts reversed = CleanSquare();
    reversed.faces[0].Normal = {0, 0, 1};
    reversed.normals = {{0, 0, 1}};
    const std::vector<uint8_t> nanBytes = BuildMeshes({nan});
    WriteFile((dir / "nan.opt").string(), nanBytes);
    WriteFile((dir / "reversed.opt").string(), BuildMeshes({reversed}));
    const std::string nanPath = "'" + (dir / "nan.opt").string() + "'";
    const std::string reversedPath = "'" + (dir / "reversed.opt").string() + "'";

    const CliRun json = Vexlor("check " + nanPath + " --json");
    EXPECT_EQ(json.status, 1);
    const nlohmann::json parsed = nlohmann::json::parse(json.out);
    EXPECT_FALSE(parsed.at("allOk").get<bool>());
    EXPECT_EQ(parsed.at("errorCount"), 1);
    EXPECT_EQ(parsed.at("warningCount"), 0);
    ASSERT_EQ(parsed.at("findings").size(), 1u);
    const nlohmann::json& finding = parsed.at("findings")[0];
    EXPECT_EQ(finding.at("kind"), "non-finite face normal");
    EXPECT_EQ(finding.at("field"), "face normal");
    EXPECT_TRUE(finding.at("counted").get<bool>());
    EXPECT_EQ(finding.at("stored")[0], nullptr);
    const auto at = finding.at("fieldOffset").get<int64_t>();
    EXPECT_TRUE(std::isnan(OptBuilder::ReadFloat(nanBytes, at)));
    EXPECT_EQ(OptBuilder::ReadFloat(nanBytes, at + 8), -1.0f);
    EXPECT_EQ(Vexlor("check " + nanPath + " --strict").status, 1);

    const CliRun plain = Vexlor("check " + reversedPath);
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.out.find("\nWARNING! face normal not consistent with vertex order, mesh 0, "
                             "face 0!\n"),
              std::string::npos);
    EXPECT_TRUE(plain.out.ends_with("\nAll OK!!\n"));
    const CliRun warned = Vexlor("check " + reversedPath + " --json");
    EXPECT_EQ(warned.status, 0);
    const nlohmann::json warnings = nlohmann::json::parse(warned.out);
    EXPECT_TRUE(warnings.at("allOk").get<bool>());
    EXPECT_EQ(warnings.at("warningCount"), 1);
    ASSERT_EQ(warnings.at("findings").size(), 1u);
    EXPECT_FALSE(warnings.at("findings")[0].at("counted").get<bool>());
    EXPECT_EQ(warnings.at("findings")[0].at("face"), 0);
    EXPECT_GT(warnings.at("findings")[0].at("faceRecordOffset").get<int64_t>(), 0);
    const CliRun strict = Vexlor("check " + reversedPath + " --strict");
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, plain.out);
    EXPECT_EQ(Vexlor("check '" + (kSamples / "fighter.opt").string() + "' --strict").status, 0);
    // Over several files, --strict gives the file with a warning the verdict "findings".
    const CliRun batch = Vexlor("check " + reversedPath + " '" +
                                (kSamples / "fighter.opt").string() + "' --json --strict");
    EXPECT_EQ(batch.status, 1);
    std::istringstream records(batch.out);
    std::string line;
    ASSERT_TRUE(std::getline(records, line));
    EXPECT_EQ(nlohmann::json::parse(line).at("verdict"), "findings");
    ASSERT_TRUE(std::getline(records, line));
    EXPECT_EQ(nlohmann::json::parse(line).at("verdict"), "ok");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vexlor::testing
