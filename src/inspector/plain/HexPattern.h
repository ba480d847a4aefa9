// Search in the file's bytes: the pattern typed as hex bytes, as an int32 or as a single (both
// little-endian, as the file stores them), found forwards or backwards from an offset, wrapping
// around the end of the file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "reader/Result.h"

namespace vexlor::inspector {

enum class HexSearchKind { kBytes, kInt32, kSingle };

// Bytes: pairs of hex digits, spaces between them allowed ("3F 80 00 00", "3f800000", "0x3F");
// int32: a whole number from -2147483648 to 4294967295, decimal or 0x hex; single: a decimal
// number ("." or "," before the decimals; "inf" and "nan" too). A failure's message says why the
// text is no pattern.
Expected<std::vector<uint8_t>> ParseHexPattern(std::string_view text, HexSearchKind kind);

struct HexHit {
    int64_t Offset = -1;   // -1 when the bytes do not hold the pattern
    bool Wrapped = false;  // found only after going round the end (or the start) of the file
};

// The first occurrence that starts at or after `from`, else the first from the start.
HexHit FindForward(std::span<const uint8_t> bytes, std::span<const uint8_t> pattern, int64_t from);
// The last occurrence that starts at or before `from`, else the last of the file.
HexHit FindBackward(std::span<const uint8_t> bytes, std::span<const uint8_t> pattern, int64_t from);

}  // namespace vexlor::inspector
