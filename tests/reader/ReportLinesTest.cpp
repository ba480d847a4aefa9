// The report's lines held packed: every line comes back as it went in, byte for byte, however the
// chunks fall, by row and in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reader/ReportLines.h"

namespace vexlor {
namespace {

TEST(ReportLinesTest, EveryLineComesBackAsItWentInAcrossChunks) {
    std::vector<std::string> expected;
    // Lines of every length up to 300 bytes with zero bytes in them, enough to fill chunks of
    // every size, one line longer than the largest chunk, and empty lines.
    for (size_t k = 0; expected.size() < 200'000; ++k)
        expected.push_back(std::string(k % 301, static_cast<char>('a' + k % 26)) + '\0' +
                           std::to_string(k));
    expected.insert(expected.begin() + 1, "");
    expected.insert(expected.begin() + 150'000, std::string(size_t{5} << 20, 'w'));
    expected.push_back("");

    const ReportLines lines(expected);
    ASSERT_EQ(lines.size(), expected.size());
    size_t bytes = 0;
    auto walked = lines.begin();
    for (size_t row = 0; row < expected.size(); ++row, ++walked) {
        ASSERT_EQ(lines[row], expected[row]) << row;
        ASSERT_EQ(*walked, expected[row]) << row;
        ASSERT_EQ(walked.Row(), row);
        bytes += expected[row].size();
    }
    EXPECT_EQ(walked, lines.end());
    EXPECT_EQ(lines.ByteCount(), bytes);
    EXPECT_EQ(lines.LongestRow(), 150'000);
    EXPECT_EQ(*lines.At(150'001), expected[150'001]);
    EXPECT_EQ(lines.At(expected.size()), lines.end());
    EXPECT_EQ(lines[expected.size()], "");  // past the end: nothing

    const ReportLines none;
    EXPECT_EQ(none.LongestRow(), -1);
    EXPECT_EQ(none.begin(), none.end());
}

}  // namespace
}  // namespace vexlor
