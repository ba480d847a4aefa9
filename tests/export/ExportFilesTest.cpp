// The files of an export appear together or not at all: side files with their main file,
// existing files replaced only by a complete export, nothing left behind by a failure.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <fstream>
#include <iterator>
#include <new>

#include "ExportTestModels.h"
#include "ExportTestSupport.h"
#include "export/ExportWriter.h"

namespace vexlor::testing {
namespace {

using Files = ExportFolderTest;

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Runs `work` with writes limited to `bytes` per file, as a full disk would limit them.
template <typename Work>
auto WithFileSizeLimit(rlim_t bytes, Work work) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    auto result = work();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    return result;
}

TEST_F(Files, ReplaceTheMainAndSideFilesTogetherKeepingTheirMode) {
    Write(Path("ship.gltf"), "old gltf");
    Write(Path("ship.bin"), "old bin");
    chmod(Path("ship.gltf").c_str(), 0640);
    const Expected<ExportSummary> result = ExportToFile(SmallModel(), Path("ship.gltf"));
    ASSERT_TRUE(result.Ok()) << result.Message() << ": " << result.Reason();
    EXPECT_EQ(result->Files, (std::vector<std::string>{Path("ship.gltf"), Path("ship.bin")}));
    EXPECT_NE(Read(Path("ship.gltf")), "old gltf");
    EXPECT_NE(Read(Path("ship.bin")), "old bin");
    EXPECT_NE(Read(Path("ship.gltf")).find("\"ship.bin\""), std::string::npos)
        << "the .gltf names its .bin";
    struct stat info {};
    stat(Path("ship.gltf").c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"ship.bin", "ship.gltf"}));
}

TEST_F(Files, ABareNameIsWrittenInTheWorkingFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    const Expected<ExportSummary> result = ExportToFile(SmallModel(), "ship.obj");
    fs::current_path(before);
    ASSERT_TRUE(result.Ok()) << result.Message();
    EXPECT_EQ(result->Files, (std::vector<std::string>{"ship.obj", "ship.mtl"}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"ship.mtl", "ship.obj"}));
}

TEST_F(Files, FailToCreateInAMissingFolderOverAFolderOrWhereNothingCanBeWritten) {
    const std::string missing = Path("no-such-folder/ship.glb");
    Expected<ExportSummary> result = ExportToFile(SmallModel(), missing);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot create file " + missing);
    EXPECT_FALSE(result.Reason().empty());

    fs::create_directory(Path("folder.glb"));
    result = ExportToFile(SmallModel(), Path("folder.glb"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot create file " + Path("folder.glb"));
    EXPECT_TRUE(fs::is_directory(Path("folder.glb")));

    // The kernel's own folders take no new files, not even from root.
    result = ExportToFile(SmallModel(), "/proc/vexlor-ship.glb");
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot create file /proc/vexlor-ship.glb");
    EXPECT_FALSE(fs::exists("/proc/vexlor-ship.glb"));
    EXPECT_EQ(Entries(), std::vector<std::string>{"folder.glb"});
}

TEST_F(Files, ASideFileThatCannotBeReplacedStopsTheWholeExport) {
    Write(Path("ship.gltf"), "old gltf");
    fs::create_directory(Path("ship.bin"));
    const Expected<ExportSummary> result = ExportToFile(SmallModel(), Path("ship.gltf"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot create file " + Path("ship.bin"));
    EXPECT_EQ(Read(Path("ship.gltf")), "old gltf");
    EXPECT_TRUE(fs::is_directory(Path("ship.bin")));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"ship.bin", "ship.gltf"}));
}

// The rule of the saves: a link stays a link and the file it names is replaced; a file without
// write permission is not replaced, not even by root.
TEST_F(Files, ALinkStaysALinkAndAReadOnlyFileIsKept) {
    fs::create_directory(Path("real"));
    Write(Path("real/ship.glb"), "old glb");
    fs::create_symlink("real/ship.glb", Path("ship.glb"));
    Expected<ExportSummary> result = ExportToFile(SmallModel(), Path("ship.glb"));
    ASSERT_TRUE(result.Ok()) << result.Message() << ": " << result.Reason();
    EXPECT_TRUE(fs::is_symlink(Path("ship.glb")));
    EXPECT_EQ(Read(Path("real/ship.glb")).substr(0, 4), "glTF");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"real", "ship.glb"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("real")), {}), 1);

    Write(Path("kept.stl"), "old stl");
    chmod(Path("kept.stl").c_str(), 0444);
    result = ExportToFile(SmallModel(), Path("kept.stl"));
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot create file " + Path("kept.stl"));
    EXPECT_EQ(Read(Path("kept.stl")), "old stl");
}

// Whatever fails while the scene is built (here memory, at its first step) fails the export as
// any other step does: a message, and nothing written.
TEST_F(Files, AFailureWhileTheSceneIsBuiltIsAFailedExport) {
    ExportOptions options;
    options.Progress = [](double fraction) {
        if (fraction > 0 && fraction < 0.5) throw std::bad_alloc();
        return true;
    };
    const Expected<ExportSummary> result =
        ExportToFile(LargeModel(10'000, 1), Path("ship.glb"), options);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Message(), "Cannot write file " + Path("ship.glb"));
    EXPECT_EQ(result.Reason(), "out of memory");
    EXPECT_TRUE(Entries().empty());
}

// A full disk, for each tested format: the export fails, the old files stay, nothing is added.
TEST_F(Files, AWriteThatFailsLeavesTheOldFilesAndNothingElse) {
    const ExportModel model = LargeModel(20'000, 2);
    for (const char* extension : {"glb", "gltf", "obj", "fbx", "stl", "ply", "dae", "3mf"}) {
        const std::string target = Path(std::string("ship.") + extension);
        Write(target, "old contents");
        const Expected<ExportSummary> result =
            WithFileSizeLimit(4096, [&] { return ExportToFile(model, target); });
        EXPECT_FALSE(result.Ok()) << extension;
        EXPECT_EQ(result.Message(), "Cannot write file " + target) << extension;
        EXPECT_FALSE(result.Reason().empty()) << extension;
        EXPECT_TRUE(result->Files.empty());
        EXPECT_EQ(Read(target), "old contents") << extension;
        fs::remove(target);
        EXPECT_TRUE(Entries().empty())
            << extension << ": " << (Entries().empty() ? "" : Entries()[0]);
    }
}

// The validator that the fixture runs is really there and really finds errors.
TEST_F(Files, TheGltfValidatorFindsErrors) {
    const std::string broken =
        (fs::temp_directory_path() / ("vexlor-broken-" + std::to_string(getpid()) + ".gltf"))
            .string();
    Write(broken, R"({"asset": {"version": "2.0"}, "buffers": [{"byteLength": 0}]})");
    std::string report;
    EXPECT_FALSE(ValidateGltf({broken}, report)) << report;
    EXPECT_NE(report.find("error"), std::string::npos) << report;
    fs::remove(broken);
    ASSERT_TRUE(ExportToFile(SmallModel(), Path("ship.glb")).Ok());
    EXPECT_TRUE(ValidateGltf({Path("ship.glb")}, report)) << report;
    EXPECT_NE(report.find("ship.glb: 0 errors"), std::string::npos) << report;
}

}  // namespace
}  // namespace vexlor::testing
