// What vexlor's writes leave behind as a real process: files open to no one else under a strict
// umask however many threads write, no temporary file or folder when a signal ends it mid-write,
// and never an output written over one of its inputs.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "CommandRun.h"
#include "Deadline.h"
#include "TempFolder.h"
#include "samples/OptBuilder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;

class Writes : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = TempFolderFor(::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::vector<std::string> Written() const {
        // The writer adds and removes files meanwhile: an entry gone is passed over.
        std::vector<std::string> names;
        std::error_code error;
        for (fs::recursive_directory_iterator entry(dir_ / "out", error), end;
             !error && entry != end; entry.increment(error))
            names.push_back(fs::relative(entry->path(), dir_ / "out").string());
        return names;
    }

    fs::path dir_;
};

// The umask is the kernel's to apply: a thread that read it by setting it left files, and the
// rest of the run, open to everyone.
TEST_F(Writes, ParallelOutputsUnderAStrictUmaskAreOpenToNoOneElse) {
    const std::vector<uint8_t> fighter = BuildFighter();
    fs::create_directories(dir_ / "in");
    for (int i = 0; i < 50; ++i)
        WriteFile((dir_ / "in" / ("ship" + std::to_string(i) + ".opt")).string(), fighter);
    const std::string command = "cd '" + dir_.string() +
                                "' && umask 077 && '" VEXLOR_BINARY
                                "' report in --jobs 4 -o out/reports > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir_ / "out")) {
        struct stat info {};
        ASSERT_EQ(lstat(entry.path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 077, 0u) << entry.path();
        files += entry.is_regular_file();
    }
    EXPECT_EQ(files, 50u);
}

// SIGINT, SIGTERM and SIGHUP each end a save or an export while its temporary file or folder is
// there: the process ends by the signal, and the output folder is as empty as before.
TEST_F(Writes, ASignalMidWriteLeavesNoTemporaryFiles) {
    const Deadline deadline(std::chrono::seconds(120));
    const std::vector<uint8_t> big = BuildLargeModel(60000, 4);
    WriteFile((dir_ / "big.opt").string(), big);
    WriteFile((dir_ / "big2.opt").string(), big);
    const struct {
        int signal;
        std::vector<std::string> arguments;
    } cases[] = {
        {SIGINT, {"report", "big.opt", "-o", "out/big.txt"}},
        {SIGTERM, {"export", "big.opt", "-o", "out/big.stp"}},
        {SIGHUP, {"prj", "big.opt", "big2.opt", "-o", "out/prj", "--jobs", "1"}},
        {SIGTERM, {"report", "big.opt", "big2.opt", "-o", "out/reports"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + strsignal(c.signal));
        std::vector<char*> argv{const_cast<char*>(VEXLOR_BINARY)};
        for (const std::string& a : c.arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        // The child starts with the signals' default actions, whatever ctest's are.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int s : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&defaults, s);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        const fs::path before = fs::current_path();
        fs::current_path(dir_);
        pid_t child = 0;
        const int spawned =
            posix_spawn(&child, VEXLOR_BINARY, nullptr, &attributes, argv.data(), environ);
        fs::current_path(before);
        posix_spawnattr_destroy(&attributes);
        ASSERT_EQ(spawned, 0);

        // Waits for the temporary file (or folder) to appear, then signals.
        bool writing = false;
        int status = 0;
        while (!writing && waitpid(child, &status, WNOHANG) == 0) {
            for (const std::string& name : Written())
                writing = writing || name.find(".vexlor-") != std::string::npos;
            if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ASSERT_TRUE(writing) << "the run ended before its temporary file was seen";
        kill(child, c.signal);
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
        for (const std::string& name : Written())
            EXPECT_EQ(name.find(".vexlor-"), std::string::npos) << name;
        fs::remove_all(dir_ / "out");
        fs::create_directories(dir_ / "out");
    }
}

// Every command's -o that names its input, by the same path, a symbolic link, a hard link or
// "../", and a batch whose output folder holds an input under the name it would write: status 2,
// a message naming both, the input byte for byte as it was, and nothing written.
TEST_F(Writes, AnOutputThatIsAnInputIsRefusedBeforeAnythingIsWritten) {
    const std::vector<uint8_t> fighter = BuildFighter();
    const std::string m = (dir_ / "m.opt").string();
    WriteFile(m, fighter);
    WriteFile((dir_ / "n.opt").string(), fighter);
    fs::create_symlink("m.opt", dir_ / "link.opt");
    fs::create_hard_link(dir_ / "m.opt", dir_ / "hard.opt");
    fs::create_symlink("../m.opt", dir_ / "out" / "m.txt");  // the batch's output for m.opt
    const std::string before = ReadWhole(m);
    const std::string up = (dir_ / "out" / ".." / "m.opt").string();
    const struct {
        std::string arguments;
        std::string output;
    } cases[] = {
        {"report m.opt -o m.opt", "m.opt"},
        {"prj m.opt -o hard.opt", "hard.opt"},
        {"tree m.opt -o link.opt", "link.opt"},
        {"check m.opt -o '" + up + "'", up},
        {"export m.opt -o m.opt --format glb2", "m.opt"},
        {"repair m.opt -o hard.opt", "hard.opt"},
        {"repair m.opt -o link.opt", "link.opt"},
        {"report m.opt n.opt -o out", "out/m.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandRun run = RunCaught(
            "cd '" + dir_.string() + "' && '" VEXLOR_BINARY "' " + c.arguments, dir_ / "runs");
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("Cannot write " + c.output + ": it is the same file as the input "),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("m.opt"), std::string::npos) << run.err;
        EXPECT_EQ(ReadWhole(m), before);
        // m.opt n.opt link.opt hard.opt out runs, and in out the link alone.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 6);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), {}), 1);
    }
}

}  // namespace
}  // namespace vexlor::testing
