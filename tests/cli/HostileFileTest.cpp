// Files that claim far more than they hold, as vexlor meets them: every command ends with status
// 0, 1 or 2 within a 4 GiB address space (which a mapped 2 GiB file fits) and a deadline, and its
// output does not grow with the claim; a sparse file's repair is as sparse as the file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CommandRun.h"
#include "TempFolder.h"
#include "samples/SparseClaimant.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;

constexpr int64_t kTwoGiB = int64_t{1} << 31;

// The command under the address-space limit (not under the sanitizers, which reserve terabytes
// of it) and a deadline that only a hang reaches.
std::string Limited(const std::string& command) {
#if defined(__SANITIZE_ADDRESS__)
    return "timeout 300 " + command;
#else
    return "prlimit --as=4294967296 timeout 120 " + command;
#endif
}

class HostileFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = TempFolderFor(::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    CommandRun Run(const std::string& arguments) const {
        return RunCaught(
            "cd '" + dir_.string() + "' && " + Limited("'" VEXLOR_BINARY "' " + arguments),
            dir_ / "run");
    }

    fs::path dir_;
};

TEST_F(HostileFiles, ASparseFileClaimingTwoBillionMeshesIsCheapForEveryCommand) {
    WriteMeshCountClaimant((dir_ / "claim.opt").string(), kTwoGiB - 1);
    const std::string fighter = VEXLOR_SOURCE_DIR "/samples/fighter.opt";
    for (const std::string& command : std::vector<std::string>{
             "check claim.opt", "check --json claim.opt", "report claim.opt", "tree claim.opt",
             "block claim.opt 0", "block claim.opt 0 --json", "prj claim.opt -o out.prj",
             "diff claim.opt " + fighter, "export claim.opt --format glb2 -o out.glb",
             "repair --force claim.opt -o fixed.opt"}) {
        const CommandRun run = Run(command);
        EXPECT_TRUE(run.status >= 0 && run.status <= 2) << command << ": " << run.err;
        EXPECT_LT(run.out.size(), size_t{64} << 20) << command;
    }
    EXPECT_TRUE(Run("report claim.opt").out.find("!! walk stopped") != std::string::npos);
}

TEST_F(HostileFiles, ASparseFileOfZerosIsNotReadWholeAndItsRepairStaysSparse) {
    WriteZeros((dir_ / "zeros.opt").string(), kTwoGiB);
    EXPECT_EQ(Run("check zeros.opt").status, 1);
    const CommandRun repair = Run("repair --force zeros.opt -o fixed.opt");
    ASSERT_TRUE(repair.status >= 0 && repair.status <= 2) << repair.err;
    struct stat written {};
    ASSERT_EQ(stat((dir_ / "fixed.opt").c_str(), &written), 0);
    EXPECT_EQ(written.st_size, kTwoGiB);
    EXPECT_LT(written.st_blocks * 512, int64_t{1} << 20);
}

}  // namespace
}  // namespace vexlor::testing
