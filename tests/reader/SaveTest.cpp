// The two saves: the exact bytes of the text report and of the PRJ file, and files that appear
// only when complete.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "TempFolder.h"
#include "TestSupport.h"
#include "reader/AtomicFile.h"

// Linked in place of fsync and umask (-Wl,--wrap): fsync fails with EIO while asked to, umask
// calls are counted.
namespace {
std::atomic<bool> failSync{false};
std::atomic<int> umaskCalls{0};
}  // namespace
extern "C" mode_t __real_umask(mode_t mask);
extern "C" mode_t __wrap_umask(mode_t mask) {
    ++umaskCalls;
    return __real_umask(mask);
}
extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd) {
    if (failSync) {
        errno = EIO;
        return -1;
    }
    return __real_fsync(fd);
}

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> TinyModel() {
    OptBuilder b(100);
    const int64_t vertices = b.AddVertices({{1, 0.5f, -2}, {0, 0, 0}, {1, 1, 0}});
    FaceInput face;
    face.Vertex = {0, 1, 2, -1};
    face.Normal = {0, 0, 1};
    face.Soft1 = {1, 0, 0};
    face.Soft2 = {0, 1, 0};
    const int64_t faces = b.AddFaces({face});
    b.SetMeshes({b.AddJump(0, {vertices, faces})});
    return b.Build();
}

TEST(SaveAscii, WritesTheCaptionAndEveryReportLineWithCrLf) {
    const std::vector<uint8_t> bytes = TinyModel();
    ASSERT_EQ(bytes.size(), 246u);
    OptDocument document;
    Load(document, bytes);
    const char* expected[] = {
        "OPTvexlor - C:\\models\\tiny.opt",
        "Global Offset (adjusted) =100 ,FileSize =246",
        " NumJumps, jumpToJumps:1 , 242",
        "-------------------------------------------",
        "Mesh 0: Offset is 210",
        "  Processing Jump block with 2 jumps at offset 210",
        "      first jump address is at offset 234",
        "",
        "VERTEX block (03) at offset 22",
        "Number of vertices this mesh is 3",
        "",
        "   vertex 0 : XYZ is 1 , 0.5 , -2",
        "   vertex 1 : XYZ is 0 , 0 , 0",
        "   vertex 2 : XYZ is 1 , 1 , 0",
        "",
        "FACE block (01) at offset 82",
        "",
        "Number of faces this block is 1",
        "-------------------------------------------------------",
        "FACE 0",
        "",
        "   face 0 vert indices are      0 , 1 , 2 , -1",
        "   face 0 edge indices are      0 , 0 , 0 , 0",
        "   face 0 tex.vert indices are  0 , 0 , 0 , 0",
        "   face 0 vert norm indices are -1 , -1 , -1 , -1",
        "",
        "  Face Normal is: 0 , 0 , 1",
        "",
        "  Softvector 1 is: 1 , 0 , 0",
        "  Softvector 2 is: 0 , 1 , 0",
        "",
        "",
        "============================================================",
        "MESH 0: Texture ??,  FACE 0 DETAILS:",
        "",
        "  vertex indices are 0 , 1 , 2 , -1",
        "   face 0 vert indices are      0 , 1 , 2 , -1",
        "              1.00               0.50              -2.00",
        "              0.00               0.00               0.00",
        "              1.00               1.00               0.00",
        "",
        "  Face Normal is: 0 , 0 , 1",
        "",
        "  vertex normal indices are -1 , -1 , -1 , -1",
    };
    std::string text;
    for (const char* line : expected)
        text += std::string(line) + "\r\n";
    EXPECT_EQ(ReportBytes(document, "OPTvexlor - C:\\models\\tiny.opt"), text);
}

void PutInt(std::vector<uint8_t>& out, int32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}
void PutCorner(std::vector<uint8_t>& out, V3 p) {
    for (float f : {p.X, p.Y, p.Z})
        PutInt(out, std::bit_cast<int32_t>(f));
}

TEST(SavePrj, WritesTheCountThenOneRecordPerFaceInWalkOrder) {
    OptBuilder b;
    const std::vector<V3> square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
    FaceInput quad;
    quad.Vertex = {0, 1, 2, 3};
    FaceInput triangle;
    triangle.Vertex = {3, 2, 1, -1};
    const int64_t mesh0 = b.AddJump(0, {b.AddVertices(square), b.AddFaces({quad, quad})});
    const int64_t low = b.AddJump(
        0, {b.AddVertices({{5, 5, 5}, {6, 5, 5}, {6, 6, 5}, {5, 6, 5}}), b.AddFaces({triangle})});
    const int64_t mesh1 = b.AddJump(0, {b.AddLod({0, low}, {1, 2})});
    b.SetMeshes({mesh0, mesh1});
    OptDocument document;
    Load(document, b.Build());

    std::vector<uint8_t> expected;
    PutInt(expected, 3);
    for (int i = 0; i < 2; ++i) {
        PutInt(expected, 0);
        for (const V3& corner : square)
            PutCorner(expected, corner);
    }
    PutInt(expected, 1);
    for (const V3& corner : std::vector<V3>{{5, 6, 5}, {6, 6, 5}, {6, 5, 5}, {6, 5, 5}})
        PutCorner(expected, corner);
    const std::vector<uint8_t> prj = PrjBytes(document);
    EXPECT_EQ(prj.size(), 4u + 3 * 52u);
    EXPECT_EQ(prj, expected);
    EXPECT_EQ(static_cast<int64_t>(document.Model().DrawFaces.size()), 3);
}

class SaveFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = testing::TempFolderFor(
            "save-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        Load(document_, TinyModel());
    }
    void TearDown() override { fs::remove_all(dir_); }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    size_t FilesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
    OptDocument document_;
};

TEST_F(SaveFiles, ReplaceAnExistingFileWithTheSameBytesAsInMemory) {
    const fs::path report = dir_ / "notes.txt";
    std::ofstream(report) << "old contents";
    ASSERT_TRUE(document_.SaveAscii(report.string(), "OPTvexlor - tiny.opt").Ok());
    EXPECT_EQ(Read(report), ReportBytes(document_, "OPTvexlor - tiny.opt"));
    ASSERT_TRUE(document_.SaveAscii(report.string(), "OPTvexlor - tiny.opt").Ok());
    EXPECT_EQ(Read(report), ReportBytes(document_, "OPTvexlor - tiny.opt"));

    const fs::path prj = dir_ / "model.PRJ";
    ASSERT_TRUE(document_.SavePrj(prj.string()).Ok());
    const std::vector<uint8_t> bytes = PrjBytes(document_);
    EXPECT_EQ(Read(prj), std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(FilesInDir(), 2u);  // no temporary files left behind
}

TEST_F(SaveFiles, FailToCreateInAMissingFolderOrOverAFolder) {
    const std::string missing = (dir_ / "no-such-folder" / "x.txt").string();
    const Result ascii = document_.SaveAscii(missing, "caption");
    EXPECT_FALSE(ascii.Ok());
    EXPECT_EQ(ascii.Message(), "Cannot create file " + missing);
    fs::create_directory(dir_ / "folder.PRJ");
    const Result prj = document_.SavePrj((dir_ / "folder.PRJ").string());
    EXPECT_FALSE(prj.Ok());
    EXPECT_EQ(prj.Message(), "Cannot create file " + (dir_ / "folder.PRJ").string());
    EXPECT_EQ(FilesInDir(), 1u);
}

// A read-only file, a folder or a FIFO in the target's place is refused before anything is
// written: the old file keeps its bytes and its mode, and nothing else appears in the folder.
TEST_F(SaveFiles, RefuseATargetThatIsReadOnlyOrNotARegularFile) {
    const fs::path readOnly = dir_ / "kept.txt";
    std::ofstream(readOnly) << "old contents";
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    const fs::path folder = dir_ / "folder.txt";
    fs::create_directory(folder);
    const fs::path fifo = dir_ / "pipe.PRJ";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const size_t files = FilesInDir();

    for (const fs::path& target : {readOnly, folder, fifo}) {
        for (const bool prj : {false, true}) {
            const Result result = prj ? document_.SavePrj(target.string())
                                      : document_.SaveAscii(target.string(), "caption");
            EXPECT_FALSE(result.Ok()) << target << prj;
            EXPECT_EQ(result.Message(), "Cannot create file " + target.string()) << prj;
            EXPECT_FALSE(result.Reason().empty()) << target << prj;
        }
    }
    EXPECT_EQ(Read(readOnly), "old contents");
    EXPECT_EQ(fs::status(readOnly).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(FilesInDir(), files);
}

// A replaced file keeps its mode; a new one gets what the umask leaves, which the save never sets
// (setting it to read it let other threads' files be created while it was 0).
TEST_F(SaveFiles, AReplacedFileKeepsItsModeAndANewOneTheUmasksWithoutSettingIt) {
    const fs::path report = dir_ / "shared.txt";
    std::ofstream(report) << "old contents";
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::group_write;
    fs::permissions(report, mode);
    const mode_t before = __real_umask(027);
    umaskCalls = 0;
    ASSERT_TRUE(document_.SaveAscii(report.string(), "caption").Ok());
    ASSERT_TRUE(document_.SavePrj((dir_ / "new.PRJ").string()).Ok());
    EXPECT_EQ(umaskCalls, 0);
    __real_umask(before);
    EXPECT_EQ(fs::status(report).permissions() & fs::perms::all, mode);
    EXPECT_NE(Read(report), "old contents");
    EXPECT_EQ(fs::status(dir_ / "new.PRJ").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A write that fails (a file size limit, as a full disk would), a failing fsync (the file is
// renamed into place only once its bytes are on the disk) and a save given up before its commit
// all leave the old file and no temporary file.
TEST_F(SaveFiles, AFailedOrAbandonedSaveLeavesTheOldFileAndNothingElse) {
    const fs::path report = dir_ / "notes.txt";
    std::ofstream(report) << "old contents";
    for (const bool sync : {false, true}) {
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = sync ? saved.rlim_cur : 100;
        setrlimit(RLIMIT_FSIZE, &small);
        failSync = sync;
        const Result result = document_.SaveAscii(report.string(), "caption");
        failSync = false;
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_FALSE(result.Ok()) << sync;
        EXPECT_EQ(result.Message(), "Cannot write file " + report.string());
        EXPECT_EQ(Read(report), "old contents") << sync;
        EXPECT_EQ(FilesInDir(), 1u) << sync;
    }
    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.Create(report.string()).Ok());
        abandoned.Write("new", 3);
        EXPECT_EQ(FilesInDir(), 2u);  // the temporary file beside it
    }
    EXPECT_EQ(Read(report), "old contents");
    EXPECT_EQ(FilesInDir(), 1u);
}

// Saving over a symbolic link writes the file it names (through a relative link, in another
// folder) and keeps the link; a link to a file without write permission is refused as that file
// would be.
TEST_F(SaveFiles, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    fs::create_directory(dir_ / "real");
    std::ofstream(dir_ / "real" / "notes.txt") << "old contents";
    fs::create_symlink("real/notes.txt", dir_ / "notes.txt");
    ASSERT_TRUE(document_.SaveAscii((dir_ / "notes.txt").string(), "caption").Ok());
    EXPECT_TRUE(fs::is_symlink(dir_ / "notes.txt"));
    EXPECT_EQ(Read(dir_ / "real" / "notes.txt"), ReportBytes(document_, "caption"));
    EXPECT_EQ(FilesInDir(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), {}), 1);

    fs::permissions(dir_ / "real" / "notes.txt", fs::perms::owner_read);
    const Result refused = document_.SavePrj((dir_ / "notes.txt").string());
    EXPECT_FALSE(refused.Ok());
    EXPECT_EQ(Read(dir_ / "real" / "notes.txt"), ReportBytes(document_, "caption"));
}

// A replaced file keeps its owner and group (as root, who may give them), and a target with other
// hard links is refused by name, both links keeping their bytes: a rename would split them.
TEST_F(SaveFiles, AReplacedFileKeepsItsOwnerAndAHardLinkedOneIsRefused) {
    const fs::path report = dir_ / "theirs.txt";
    std::ofstream(report) << "old contents";
    if (geteuid() == 0) {
        ASSERT_EQ(chown(report.c_str(), 4321, 4322), 0);
    }
    struct stat before {};
    ASSERT_EQ(stat(report.c_str(), &before), 0);
    ASSERT_TRUE(document_.SaveAscii(report.string(), "caption").Ok());
    struct stat after {};
    ASSERT_EQ(stat(report.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);

    fs::create_hard_link(report, dir_ / "other.txt");
    const std::string saved = Read(report);
    const Result refused = document_.SavePrj(report.string());
    EXPECT_EQ(refused.Message(), "Cannot create file " + report.string());
    EXPECT_NE(refused.Reason().find("other hard links"), std::string::npos) << refused.Reason();
    EXPECT_EQ(Read(report), saved);
    EXPECT_EQ(fs::hard_link_count(report), 2u);
    EXPECT_EQ(FilesInDir(), 2u);
}

// What a write ended by SIGKILL leaves (a save's file, an export's folder) is removed by the next
// write into its folder once its process is gone; a living process's, and anything not named as
// ours exactly, stays.
TEST_F(SaveFiles, TheNextWriteRemovesTheLeftoversOfDeadWritesOnly) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string alive = std::to_string(getpid());
    const std::vector<std::string> gone = {".vexlor-save-" + dead + "-a1B2c3"};
    const std::vector<std::string> kept = {
        ".vexlor-save-" + alive + "-a1B2c3", ".vexlor-save-" + dead + "-a1B2c",
        ".vexlor-save-" + dead + "-a1B2c3x", ".vexlor-save-0" + dead + "-a1B2c3",
        ".vexlor-other-" + dead + "-a1B2c3", "notes.txt"};
    for (const std::vector<std::string>* names : {&gone, &kept})
        for (const std::string& name : *names)
            std::ofstream(dir_ / name) << "x";
    fs::create_directory(dir_ / (".vexlor-export-" + dead + "-Zz9Yy8"));
    std::ofstream(dir_ / (".vexlor-export-" + dead + "-Zz9Yy8") / "ship.glb") << "x";
    fs::create_directory(dir_ / (".vexlor-export-" + alive + "-Zz9Yy8"));
    fs::create_directory(dir_ / (".vexlor-save-" + dead + "-Zz9Yy8"));  // a folder: not a save's

    ASSERT_TRUE(document_.SavePrj((dir_ / "new.PRJ").string()).Ok());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir_))
        left.push_back(entry.path().filename().string());
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {".vexlor-export-" + alive + "-Zz9Yy8",
                                     ".vexlor-save-" + dead + "-Zz9Yy8", "new.PRJ"});
    std::sort(left.begin(), left.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

}  // namespace
}  // namespace vexlor::testing
