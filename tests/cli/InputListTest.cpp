// The files a command line names: what folders give, in which order, when a run is one over
// several files, and where each file's output goes in an output folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/InputList.h"

namespace vexlor::cli {
namespace {

namespace fs = std::filesystem;

class Inputs : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vexlor-inputs-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "mods" / "sub" / "deeper");
        fs::create_directories(dir_ / "mods" / "inner.opt");
        for (const char* name :
             {"mods/b.opt", "mods/A.OPT", "mods/c.Opt", "mods/notes.txt", "mods/opt",
              "mods/sub/x.opt", "mods/sub/deeper/y.opt", "mods/inner.opt/z.opt", "single.opt"})
            std::ofstream(dir_ / name) << "x";
        fs::create_directory_symlink(dir_ / "mods" / "sub", dir_ / "mods" / "link");
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(fs::temp_directory_path());
        fs::remove_all(dir_);
    }

    static std::vector<std::string> Paths(const Expected<InputList>& list) {
        std::vector<std::string> paths;
        for (const Input& input : list->Files)
            paths.push_back(input.Path);
        return paths;
    }

    fs::path dir_;
};

TEST_F(Inputs, AFolderGivesItsOptFilesInAnyLetterCaseSortedByName) {
    const Expected<InputList> list = ListInputs({"mods"}, false);
    EXPECT_TRUE(list->Several);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"mods/A.OPT", "mods/b.opt", "mods/c.Opt"}));
}

TEST_F(Inputs, RecursiveAddsTheFoldersBelowButNotLinksToFolders) {
    const Expected<InputList> list = ListInputs({"mods/"}, true);
    EXPECT_EQ(Paths(list), (std::vector<std::string>{"mods/A.OPT", "mods/b.opt", "mods/c.Opt",
                                                     "mods/inner.opt/z.opt",
                                                     "mods/sub/deeper/y.opt", "mods/sub/x.opt"}));
    EXPECT_EQ(list->Files[4].Relative, "sub/deeper/y.opt");
}

TEST_F(Inputs, ArgumentsKeepTheirOrderAndFilesAreTakenAsNamed) {
    const Expected<InputList> list =
        ListInputs({"single.opt", "mods/notes.txt", "mods/sub"}, false);
    EXPECT_TRUE(list->Several);
    EXPECT_EQ(Paths(list),
              (std::vector<std::string>{"single.opt", "mods/notes.txt", "mods/sub/x.opt"}));
    EXPECT_EQ(list->Files[0].Relative, "single.opt");
}

// One file, or a folder named like a model, is the single-file run it always was (whose open then
// fails); a final slash makes such a folder a folder to look into.
TEST_F(Inputs, OnlySeveralArgumentsOrAFolderMakeARunOverSeveralFiles) {
    EXPECT_FALSE(ListInputs({"single.opt"}, true)->Several);
    EXPECT_FALSE(ListInputs({"missing.opt"}, false)->Several);
    const Expected<InputList> modelLike = ListInputs({"mods/inner.opt"}, true);
    EXPECT_FALSE(modelLike->Several);
    EXPECT_EQ(Paths(modelLike), (std::vector<std::string>{"mods/inner.opt"}));
    EXPECT_EQ(Paths(ListInputs({"mods/inner.opt/"}, false)),
              (std::vector<std::string>{"mods/inner.opt/z.opt"}));
}

TEST_F(Inputs, AMissingArgumentAmongSeveralIsAnErrorBeforeAnythingIsRead) {
    const Expected<InputList> list = ListInputs({"single.opt", "typo.opt", "mods"}, false);
    EXPECT_EQ(list.Message(), "no such file or folder: typo.opt");
    EXPECT_TRUE(list->Files.empty());
    // A link that leads nowhere is a file that cannot be opened, in its place.
    fs::create_symlink(dir_ / "nowhere", dir_ / "dangling.opt");
    EXPECT_TRUE(ListInputs({"single.opt", "dangling.opt"}, false).Ok());
}

TEST_F(Inputs, OutputsAreNamedAfterTheInputBelowItsFolderWithTheCommandsEnding) {
    const std::vector<Input> inputs{{"mods/A.OPT", "A.OPT", {}},
                                    {"mods/sub/deeper/y.opt", "sub/deeper/y.opt", {}},
                                    {"/elsewhere/model", "model", {}},
                                    {"mods/locked", "locked", "Cannot read folder mods/locked"}};
    const Expected<std::vector<std::string>> plan = PlanOutputs(inputs, "out", ".tree.txt");
    EXPECT_TRUE(plan.Ok());
    EXPECT_EQ(plan.Value(), (std::vector<std::string>{"out/A.tree.txt", "out/sub/deeper/y.tree.txt",
                                                      "out/model.tree.txt", ""}));
}

TEST_F(Inputs, TwoInputsThatWouldWriteOneOutputAreRefused) {
    const std::vector<Input> inputs{{"a/ship.opt", "ship.opt", {}},
                                    {"b/other.opt", "other.opt", {}},
                                    {"c/Ship.OPT", "Ship.OPT", {}},
                                    {"d/ship", "ship", {}},
                                    {"e/ship.OPT", "ship.OPT", {}}};
    EXPECT_TRUE(PlanOutputs({inputs[0], inputs[1], inputs[2]}, "out/", ".txt").Ok());
    EXPECT_EQ(PlanOutputs({inputs[0], inputs[1], inputs[3]}, "out", ".txt").Message(),
              "a/ship.opt and d/ship would both write out/ship.txt");
    EXPECT_EQ(PlanOutputs({inputs[4], inputs[0]}, "out", ".txt").Message(),
              "e/ship.OPT and a/ship.opt would both write out/ship.txt");
}

}  // namespace
}  // namespace vexlor::cli
