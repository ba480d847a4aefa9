// Files that are not OPT files at all are still walked, but their report opens with a line that
// says so, and the document says why; OPT files, whole or damaged, keep their report as it was.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "TestSupport.h"
#include "samples/SampleModels.h"

namespace vexlor::testing {
namespace {

const std::string kNotOpt = "!! this does not look like an OPT file: ";

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A PNG signature and image header, then junk.
std::vector<uint8_t> PngFile() {
    std::vector<uint8_t> bytes = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00,
                                  0x00, 0x0D, 'I',  'H',  'D',  'R',  0x00, 0x00, 0x01, 0x00,
                                  0x00, 0x00, 0x00, 0xC8, 0x08, 0x06, 0x00, 0x00, 0x00};
    for (int i = 0; i < 200; ++i)
        bytes.push_back(static_cast<uint8_t>(i * 37 + 11));
    return bytes;
}

std::vector<std::string> OpenAndReport(OptDocument& document, const std::vector<uint8_t>& bytes) {
    Load(document, bytes);
    return ReportLines(document);
}

TEST(NotOptFile, APngFileIsWalkedButItsReportFirstSaysWhyItIsNoOptFile) {
    OptDocument document;
    const std::vector<std::string> lines = OpenAndReport(document, PngFile());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], kNotOpt + "its mesh count 21060 is more than its 229 bytes can hold");
    EXPECT_EQ(lines[2].rfind("Global Offset (adjusted) =", 0), 0u) << lines[2];
    EXPECT_EQ(document.NotOptReason(), "its mesh count 21060 is more than its 229 bytes can hold");
    EXPECT_TRUE(document.OptLoaded());
}

TEST(NotOptFile, TextFilesAndRandomBytesAreNamedToo) {
    std::vector<std::vector<uint8_t>> files = {
        Bytes("This is a plain text file, not a model.\r\nIt has two lines.\r\n"),
        Bytes("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"),
        Bytes("#include <cstdio>\n\nint main() { std::puts(\"hello\"); }\n"),
        Bytes("\xEF\xBB\xBF\xC3\xA9t\xC3\xA9 \xC3\xA0 la plage, sans mod\xC3\xA8le 3D du tout.\n")};
    files.push_back({});
    files.push_back(Bytes("OPT"));
    std::mt19937 random(9);
    for (size_t size : {22u, 100u, 4096u}) {
        for (int i = 0; i < 50; ++i) {
            std::vector<uint8_t> bytes(size);
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(random());
            files.push_back(bytes);
        }
    }
    for (size_t i = 0; i < files.size(); ++i) {
        OptDocument document;
        const std::vector<std::string> lines = OpenAndReport(document, files[i]);
        ASSERT_GE(lines.size(), 2u) << i;
        EXPECT_EQ(lines[1], kNotOpt + document.NotOptReason()) << i;
        EXPECT_FALSE(document.NotOptReason().empty()) << i;
    }
}

TEST(NotOptFile, OptFilesWholeCutOrDamagedAreNotNamed) {
    // These break the header itself: a global offset, a mesh count or a mesh table position no
    // OPT file can have, or no room for a header at all.
    const std::set<std::string> brokenHeaders = {"global-offset-overflow.opt",
                                                 "huge-mesh-count.opt", "mesh-table-outside.opt",
                                                 "empty.opt", "header-only.opt"};
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files = BuildBrokenSamples();
    files.emplace_back("fighter.opt", BuildFighter());
    files.emplace_back("faulty.opt", BuildFaultySample());
    files.emplace_back("no meshes", OptBuilder(-8).Build());
    for (const auto& [name, bytes] : files) {
        OptDocument document;
        const std::vector<std::string> lines = OpenAndReport(document, bytes);
        ASSERT_GE(lines.size(), 2u) << name;
        const bool named = lines[1].starts_with(kNotOpt);
        EXPECT_EQ(named, brokenHeaders.contains(name)) << name << ": " << lines[1];
        EXPECT_EQ(document.NotOptReason().empty(), !named) << name;
        EXPECT_FALSE(Contains({lines.begin() + 2, lines.end()}, kNotOpt)) << name;
    }
}

TEST(NotOptFile, ADocumentSaysWhatTheFileItHasLoadedNowIs) {
    OptDocument document;
    EXPECT_EQ(document.NotOptReason(), "");
    Load(document, PngFile());
    EXPECT_NE(document.NotOptReason(), "");
    Load(document, BuildFighter());
    EXPECT_EQ(document.NotOptReason(), "");
}

}  // namespace
}  // namespace vexlor::testing
