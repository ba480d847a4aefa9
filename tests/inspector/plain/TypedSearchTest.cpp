// The inspector's pieces that need no window: report lines matched in any case, typed search
// patterns read into the bytes a file would hold and found both ways, and offsets typed to go to.
// This program links no Qt and runs without a display.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "inspector/plain/HexPattern.h"
#include "inspector/plain/LineMatcher.h"
#include "inspector/plain/OffsetInput.h"

namespace vexlor::inspector {
namespace {

using namespace std::string_literals;

TEST(LineMatcherTest, FindsTheTextInAnyCaseAndZeroBytesAsDots) {
    const LineMatcher face("fAcE");
    EXPECT_EQ(face.Find("FACE block (01)"), 0u);
    EXPECT_EQ(face.Find("   face 3 vert"), 3u);
    EXPECT_EQ(face.Find("Surface", 0), 3u);
    EXPECT_EQ(face.Find("face face", 1), 5u);
    EXPECT_FALSE(face.Matches("fac"));
    EXPECT_FALSE(face.Matches("f a c e"));
    EXPECT_EQ(LineMatcher("aab").Find("aaab"), 1u);  // a partial match does not skip the real one
    EXPECT_EQ(LineMatcher("\xC9t\xC9").Find("l'\xE9t\xE9"), 2u);  // Latin-1 letters fold too
    EXPECT_EQ(LineMatcher("wood\xB7").Find("name is wood\0\0\0\0\0"s), 8u);
    EXPECT_FALSE(LineMatcher().Matches("anything"));

    std::vector<int32_t> rows;
    LineMatcher("x").MatchRows({"x", "y", "X", "xx"}, 1, 10, rows);
    EXPECT_EQ(rows, (std::vector<int32_t>{2, 3}));
}

TEST(HexPatternTest, TextsBecomeTheBytesTheFileWouldHold) {
    using Bytes = std::vector<uint8_t>;
    const auto bytes = [](const char* text, HexSearchKind kind) {
        return ParseHexPattern(text, kind).Value();
    };
    EXPECT_EQ(bytes("3F 80 00 00", HexSearchKind::kBytes), (Bytes{0x3F, 0x80, 0, 0}));
    EXPECT_EQ(bytes(" 3f800000 ", HexSearchKind::kBytes), (Bytes{0x3F, 0x80, 0, 0}));
    EXPECT_EQ(bytes("0x3F 0xee A", HexSearchKind::kBytes), (Bytes{0x3F, 0xEE, 0x0A}));
    EXPECT_EQ(bytes("-1", HexSearchKind::kInt32), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes("4294967295", HexSearchKind::kInt32), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytes("-2147483648", HexSearchKind::kInt32), (Bytes{0, 0, 0, 0x80}));
    EXPECT_EQ(bytes("0x2010", HexSearchKind::kInt32), (Bytes{0x10, 0x20, 0, 0}));
    EXPECT_EQ(bytes("1.5", HexSearchKind::kSingle), (Bytes{0, 0, 0xC0, 0x3F}));
    EXPECT_EQ(bytes("1,5", HexSearchKind::kSingle), (Bytes{0, 0, 0xC0, 0x3F}));
    EXPECT_EQ(bytes("-4", HexSearchKind::kSingle), (Bytes{0, 0, 0x80, 0xC0}));

    const auto error = [](const char* text, HexSearchKind kind) {
        return ParseHexPattern(text, kind).Message();
    };
    EXPECT_EQ(error("3G", HexSearchKind::kBytes),
              "\"3G\" is not hex bytes: type pairs of hex digits, like 3F 80 00 00");
    EXPECT_EQ(error("123", HexSearchKind::kBytes),
              "\"123\" is not hex bytes: type pairs of hex digits, like 3F 80 00 00");
    EXPECT_EQ(error("", HexSearchKind::kBytes), "Type the bytes to find in hex, like 3F 80 00 00");
    EXPECT_EQ(error("4294967296", HexSearchKind::kInt32), "\"4294967296\" does not fit in 32 bits");
    EXPECT_EQ(error("-2147483649", HexSearchKind::kInt32),
              "\"-2147483649\" does not fit in 32 bits");
    EXPECT_EQ(error("12a", HexSearchKind::kInt32), "\"12a\" is not a whole number");
    EXPECT_EQ(error("1.5", HexSearchKind::kInt32), "\"1.5\" is not a whole number");
    EXPECT_EQ(error("one", HexSearchKind::kSingle), "\"one\" is not a number");
    EXPECT_EQ(error("1e50", HexSearchKind::kSingle), "\"1e50\" is beyond the range of a single");
}

TEST(HexPatternTest, SearchesGoBothWaysAndWrapAroundTheFile) {
    const std::vector<uint8_t> bytes{1, 2, 3, 1, 2, 9, 1, 2};
    const std::vector<uint8_t> twelve{1, 2};
    EXPECT_EQ(FindForward(bytes, twelve, 0).Offset, 0);
    EXPECT_EQ(FindForward(bytes, twelve, 1).Offset, 3);
    const HexHit round = FindForward(bytes, twelve, 7);
    EXPECT_EQ(round.Offset, 0);
    EXPECT_TRUE(round.Wrapped);
    EXPECT_EQ(FindBackward(bytes, twelve, 5).Offset, 3);
    EXPECT_EQ(FindBackward(bytes, twelve, 100).Offset, 6);
    const HexHit back = FindBackward(bytes, twelve, -1);
    EXPECT_EQ(back.Offset, 6);
    EXPECT_TRUE(back.Wrapped);
    EXPECT_EQ(FindForward(bytes, std::vector<uint8_t>{2, 9, 1, 2, 3}, 0).Offset, -1);
    EXPECT_EQ(FindForward({}, twelve, 0).Offset, -1);
}

TEST(OffsetInputTest, JunkGetsAMessageThatSaysWhatAnOffsetIs) {
    EXPECT_EQ(ParseOffset("4095", 4096).Value(), 4095);
    EXPECT_EQ(ParseOffset("0X1f", 4096).Value(), 31);
    EXPECT_EQ(ParseOffset("0x0", 1).Value(), 0);
    EXPECT_EQ(ParseOffset("", 4096).Message(),
              "Type an offset: a decimal number, or 0x and hex digits");
    EXPECT_EQ(ParseOffset("  ", 4096).Message(),
              "Type an offset: a decimal number, or 0x and hex digits");
    for (const char* junk : {"12z", "0x", "0xg1", "1 2", "1.5", "ten", "+7"})
        EXPECT_EQ(ParseOffset(junk, 4096).Message(),
                  "\"" + std::string(junk) +
                      "\" is not an offset: type a decimal number, or 0x "
                      "and hex digits")
            << junk;
    EXPECT_EQ(ParseOffset("-5", 4096).Message(), "\"-5\" is not an offset: offsets start at 0");
    EXPECT_EQ(ParseOffset("0x1000", 4096).Message(),
              "Offset 0x1000 is past the end of the file: it is 4096 bytes long, its last offset "
              "is 4095");
    EXPECT_EQ(ParseOffset("99999999999999999999999", 4096).Message(),
              "Offset 99999999999999999999999 is past the end of the file: it is 4096 bytes long, "
              "its last offset is 4095");
}

}  // namespace
}  // namespace vexlor::inspector
