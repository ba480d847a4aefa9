// "Go to offset": the offset a user typed, as a decimal number or as 0x and hex digits, checked
// against the file's size, with a message that says what is wrong when it is no offset of the file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "reader/Result.h"

namespace vexlor::inspector {

// The offset of a byte of the file, or a failure whose message says what is wrong.
Expected<int64_t> ParseOffset(std::string_view text, int64_t fileSize);

}  // namespace vexlor::inspector
