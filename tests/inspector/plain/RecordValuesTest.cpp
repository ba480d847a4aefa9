// The record inspector's values of records the file holds only in part or not at all, and of the
// file header: what is in the file is shown, nothing past its end is read, and a count the file
// cannot hold costs nothing. This program links no Qt and runs without a display.
#include <gtest/gtest.h>

#include "inspector/plain/RecordValues.h"
#include "reader/BlockTypes.h"
#include "reader/OptDocument.h"
#include "samples/EveryBlockSample.h"

namespace vexlor::inspector {
namespace {

TEST(RecordValuesTest, ValuesCutByTheFilesEndShowTheirBytesAndRecordsBeyondItNone) {
    const testing::EveryBlockSample sample;
    OptDocument document;
    document.OpenBytes(sample.Bytes, "every.opt");
    const NumberText numbers;
    const auto values = [&](const OptDocument& d, const RecordRef& record) {
        return ValuesOfRecord(d.Stream(), d.Model().GlobalOffset, record, -1, numbers);
    };

    const RecordValues header = values(document, {6, kTypeFileHeader, 0, 0, -1});
    EXPECT_EQ(header.Title, "file header");
    ASSERT_EQ(header.Rows.size(), 6u);
    EXPECT_EQ(header.Rows[1].Name, "file size field (file size - 8)");
    EXPECT_EQ(header.Rows[1].Value, std::to_string(sample.Bytes.size() - 8));
    EXPECT_EQ(header.Rows[0].Type, "bytes");

    // The file cut in the middle of face 1's vertex indices: corner 1 has two of its bytes.
    const int64_t corner1 = sample.Faces + 24 + 4 + 64 + 4;
    std::vector<uint8_t> cut(sample.Bytes.begin(), sample.Bytes.begin() + corner1 + 2);
    OptDocument shortened;
    shortened.OpenBytes(cut, "cut.opt");
    const RecordValues face1 = values(shortened, {sample.Faces, kTypeFace, 2, 1, -1});
    EXPECT_EQ(face1.Title, "face 1 of the face block at " + std::to_string(sample.Faces));
    ASSERT_EQ(face1.Rows.size(), 16u);
    EXPECT_EQ(face1.Rows[1].Bytes, "01 00");
    EXPECT_EQ(face1.Rows[1].Value, "cut by the end of the file");
    EXPECT_EQ(face1.Rows[2].Bytes, "");
    EXPECT_EQ(face1.Rows[2].Value, "");
    EXPECT_FALSE(face1.Rows[2].Target.has_value());

    // A face beyond the block's count, and a header count of 2^31 - 1.
    EXPECT_TRUE(values(document, {sample.Faces, kTypeFace, 2, 2, -1}).Rows.empty());
    std::vector<uint8_t> huge = sample.Bytes;
    testing::OptBuilder::PatchInt32(huge, sample.Vertices + 16, INT32_MAX);
    OptDocument counted;
    counted.OpenBytes(huge, "huge.opt");
    EXPECT_TRUE(values(counted, {sample.Vertices, kTypeVertex, 1, INT32_MAX - 1, -1}).Rows.empty());
    EXPECT_EQ(values(counted, {sample.Vertices, kTypeVertex, 1, 1, -1}).Rows.size(), 3u);
}

}  // namespace
}  // namespace vexlor::inspector
