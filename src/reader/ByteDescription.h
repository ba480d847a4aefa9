// What one byte of the file is: the field of a block layout it belongs to and that field's value,
// decoded as the readers decode it (int32, single, a stored offset turned into a file position, a
// texture name). The hex view's tool tips show this.
#pragma once

#include <cstdint>
#include <string>

#include "reader/BlockLayout.h"
#include "reader/NumberText.h"
#include "reader/OptStream.h"

namespace vexlor {

struct ByteDescription {
    // "face 12, corner 2 (vertex indices)", "vertex count"; empty when the layout does not hold
    // the byte.
    std::string Field;
    // "int32 57", "single 0.5", "stored 1046 -> file position 22", "\"wood·····\"". For a byte no
    // field holds: the int32 and the single of the four bytes from it on.
    std::string Value;
    int64_t ValueStart = 0;  // the first byte of the value the byte belongs to
    int64_t ValueSize = 0;   // 0 when nothing of the value lies in the file
};

ByteDescription DescribeByte(const OptStream& stream, int64_t globalOffset,
                             const BlockLayout& layout, int64_t offset, const NumberText& numbers);

}  // namespace vexlor
