// `vexlor repair` as a real process: its lines and JSON, the same as `vexlor diff` gives for the
// file and its repair, a second repair that changes nothing,
// and its refusals (the input as output, also through a link; an unwritable place; a file whose
// open found problems) that leave nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "CommandRun.h"
#include "SameBytes.h"
#include "TempFolder.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

namespace fs = std::filesystem;
const fs::path kSamples = fs::path(VEXLOR_SOURCE_DIR) / "samples";

class RepairCli : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    CommandRun Vexlor(const std::string& args) {
        return RunCaught("'" VEXLOR_BINARY "' " + args, dir_ / "run");
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            if (entry.path().filename() != "run") names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_ = TempFolderFor("repair-cli");
};

size_t CountLines(const std::string& text, const std::string& start) {
    size_t count = 0;
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, start.size(), start) == 0) ++count;
        const size_t end = text.find('\n', at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return count;
}

TEST_F(RepairCli, ListsItsChangesChecksTheCopyAndASecondRepairChangesNothing) {
    const std::string faulty = (kSamples / "faulty.opt").string();
    const CommandRun first = Vexlor("repair '" + faulty + "' -o '" + Path("once.opt") + "'");
    // The co-incident vertices stay: the copy's check still finds them.
    EXPECT_EQ(first.status, 1) << first.err;
    const size_t changes = CountLines(first.out, "offset ");
    EXPECT_GT(changes, 0u);
    EXPECT_GT(CountLines(first.out, "not mended: co-incident vertices"), 0u);
    EXPECT_NE(first.out.find("errors were detected!!"), std::string::npos);
    EXPECT_EQ(fs::file_size(Path("once.opt")), fs::file_size(faulty));

    const CommandRun json = Vexlor("repair '" + faulty + "' -o '" + Path("json.opt") + "' --json");
    EXPECT_EQ(json.status, 1);
    const nlohmann::json record = nlohmann::json::parse(json.out);
    EXPECT_EQ(record["changes"].size(), changes);
    EXPECT_EQ(record["changes"][0]["region"].get<std::string>().empty(), false);
    EXPECT_FALSE(record["notMended"].empty());
    EXPECT_FALSE(record["check"]["allOk"].get<bool>());
    EXPECT_TRUE(SameBytes(ReadWhole(Path("json.opt")), ReadWhole(Path("once.opt"))));

    // The file compared with its repair: exactly the repair's changes, line for line, and the
    // same JSON records but the repair's face number.
    const CommandRun diff = Vexlor("diff '" + faulty + "' '" + Path("once.opt") + "'");
    EXPECT_EQ(diff.status, 1) << diff.err;
    std::vector<std::string> compared = Lines(diff.out), listed;
    ASSERT_FALSE(compared.empty());
    compared.pop_back();  // the summary
    for (const std::string& line : Lines(first.out))
        if (line.rfind("offset ", 0) == 0) listed.push_back(line);
    std::sort(compared.begin(), compared.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(compared, listed);
    nlohmann::json fields = nlohmann::json::parse(
        Vexlor("diff --json '" + faulty + "' '" + Path("once.opt") + "'").out)["fields"];
    nlohmann::json written = record["changes"];
    for (nlohmann::json& change : written)
        change.erase("face");
    const auto byOffset = [](const nlohmann::json& a, const nlohmann::json& b) {
        return a["offset"] < b["offset"];
    };
    std::sort(fields.begin(), fields.end(), byOffset);
    std::sort(written.begin(), written.end(), byOffset);
    // Only what differs: a JSON patch from the repair's records to the comparison's.
    EXPECT_EQ(nlohmann::json::diff(written, fields), nlohmann::json::array());

    const CommandRun second =
        Vexlor("repair '" + Path("once.opt") + "' -o '" + Path("twice.opt") + "'");
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(CountLines(second.out, "offset "), 0u);
    EXPECT_TRUE(SameBytes(ReadWhole(Path("twice.opt")), ReadWhole(Path("once.opt"))));

    // A clean file's repair is its copy, and the copy checks clean.
    const std::string fighter = (kSamples / "fighter.opt").string();
    const CommandRun clean = Vexlor("repair '" + fighter + "' -o '" + Path("clean.opt") + "'");
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_TRUE(SameBytes(ReadWhole(Path("clean.opt")), ReadWhole(fighter)));
}

TEST_F(RepairCli, RefusesTheInputAnUnwritablePlaceAndAFileWithProblemsLeavingNothing) {
    fs::copy_file(kSamples / "faulty.opt", Path("in.opt"));
    const std::string before = ReadWhole(Path("in.opt"));
    fs::create_symlink(Path("in.opt"), Path("link.opt"));
    for (const std::string& out : {Path("in.opt"), Path("link.opt"), dir_.string() + "/./in.opt"}) {
        const CommandRun run = Vexlor("repair '" + Path("in.opt") + "' -o '" + out + "'");
        EXPECT_EQ(run.status, 2) << out;
        EXPECT_NE(run.err.find("Cannot write " + out + ": it is the same file as the input " +
                               Path("in.opt")),
                  std::string::npos)
            << run.err;
    }
    const CommandRun unwritable =
        Vexlor("repair '" + Path("in.opt") + "' -o '" + Path("missing/out.opt") + "'");
    EXPECT_EQ(unwritable.status, 2);
    EXPECT_NE(unwritable.err.find("Cannot create file"), std::string::npos) << unwritable.err;
    EXPECT_TRUE(SameBytes(ReadWhole(Path("in.opt")), before));
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.opt", "link.opt"}));

    // A file whose open found problems: refused with them named, written with --force.
    const auto broken = BuildBrokenSamples();
    ASSERT_FALSE(broken.empty());
    const std::string name = Path("broken.opt");
    {
        std::ofstream out(name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(broken.front().second.data()),
                  static_cast<std::streamsize>(broken.front().second.size()));
    }
    const CommandRun refused = Vexlor("repair '" + name + "' -o '" + Path("fixed.opt") + "'");
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("\n!! "), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(Path("fixed.opt")));
    const CommandRun forced =
        Vexlor("repair '" + name + "' -o '" + Path("fixed.opt") + "' --force");
    EXPECT_NE(forced.status, 2) << forced.err;
    EXPECT_EQ(fs::file_size(Path("fixed.opt")), broken.front().second.size());
}

}  // namespace
}  // namespace vexlor::testing
