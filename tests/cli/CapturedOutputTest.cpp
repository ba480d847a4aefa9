// A file's output kept until its turn: in memory, then in a temporary file, and back whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/CapturedOutput.h"

namespace vexlor::cli {
namespace {

std::string CopiedOut(CapturedOutput& captured) {
    std::FILE* file = std::tmpfile();
    EXPECT_TRUE(captured.CopyTo(file));
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    EXPECT_EQ(std::fread(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
    return text;
}

TEST(CapturedOutput, OutputPastTheMemoryLimitGoesToATemporaryFileAndComesBackWholeAndInOrder) {
    CapturedOutput small(1000);
    std::string expected;
    for (int line = 0; line < 5000; ++line) {
        const std::string text = "line " + std::to_string(line) + "\r\n";
        small.Write(text.data(), text.size());
        expected += text;
    }
    EXPECT_TRUE(small.Spilled());
    EXPECT_FALSE(small.Failed());
    EXPECT_EQ(CopiedOut(small), expected);
    // Copied twice: the same bytes again.
    EXPECT_EQ(CopiedOut(small), expected);

    CapturedOutput roomy;
    roomy.Write(expected.data(), expected.size());
    EXPECT_FALSE(roomy.Spilled());
    EXPECT_EQ(CopiedOut(roomy), expected);
}

TEST(CapturedOutput, NoRoomForTheTemporaryFileIsAFailureWithItsReason) {
    const char* saved = std::getenv("TMPDIR");
    const std::string before = saved ? saved : "";
    setenv("TMPDIR", "/nonexistent-folder", 1);
    CapturedOutput captured(10);
    captured.Write("0123456789abcdef", 16);
    if (saved)
        setenv("TMPDIR", before.c_str(), 1);
    else
        unsetenv("TMPDIR");
    EXPECT_TRUE(captured.Failed());
    EXPECT_EQ(captured.Reason(),
              "cannot create a temporary file in /nonexistent-folder: No such file or directory");
    // Rewinding to write at an earlier place is not something standard output can do.
    CapturedOutput rewound;
    rewound.WriteAt(0, "x", 1);
    EXPECT_TRUE(rewound.Failed());
}

}  // namespace
}  // namespace vexlor::cli
